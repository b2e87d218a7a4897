#pragma once
// The play windows: the score panel, the mission briefing and reminder, the garden bar, the
// level result and the upgrades window, each with its window function and its layout file
// "{StaticPath}/gui/<name>.lua" (which loads the play look itself).
#include "engine/core/types.h"

namespace vek {
class cWindowFunction;
}

// The window function of a play window by the window's name; null for any other name.
vek::cWindowFunction* MakePlayWindowFunction(const vek::string& name);

// Builds every play window as the game does (CreateGameWindow with its function).
void CreatePlayWindows();
