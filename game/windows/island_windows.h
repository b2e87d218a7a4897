#pragma once
// The island screen's windows and the comics: their window functions by window name, the
// comics widget, and the widgets these windows reach by name.
#include "engine/core/types.h"
#include "engine/core/vec.h"

namespace vek {
class cWindowFunction;
}
class cIsland;
class cGardenComics;

// The window function of "hint", "hint_mp", "island", "edit", "stat_garden", "stat_island" or
// "comics"; a plain window function for the comic pages "comics00" .. "comics02"; null for any
// other name.
vek::cWindowFunction* MakeIslandWindowFunction(const vek::string& windowName);
// The buildings the island editor offers, one per building template in template order (the
// index is the editor's item data); made on first use and kept for the program's life.
class cBuildingCatalogue;
cBuildingCatalogue& EditorCatalogue();
// The game's comics widget (the engine's widget list owns it); made once.
cGardenComics* CreateGardenComics();
// Plays comic `mode` (0 the opening, 1 the ending) from its first page: the comics widget
// takes the focus. False when there is no comics widget.
bool PlayGardenComics(vek::i32 mode);

// The island map widget and the comics widget of the engine's widget list; null when absent.
cIsland* FindIslandWidget();
cGardenComics* FindComicsWidget();

// The pointer has reached a window over the island: the island forgets the building under the
// pointer (its pointer-left event), so no building stays highlighted under the window.
void ClearIslandHover();
// Where level place i of the island stands on the screen (its map point less the view
// offset); false without an island or such a place.
bool GetIslandPlaceOnScreen(vek::u32 place, vek::vec2* point);
