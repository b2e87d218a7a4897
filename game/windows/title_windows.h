#pragma once
// Building the game's windows as the application does when loading has finished: each window
// is named, gets its window function, runs its layout file "{StaticPath}/gui/<name>.lua" and
// that file's "FillWindow" with the window, and then receives e_wndAfterCreate.
#include "engine/core/types.h"

namespace vek {
class cWindow;
class cWindowFunction;
}
class cWindowHost;

// The window (the GUI owns it, the window its function); null when the window cannot be made.
// A layout file that is missing or fails leaves an empty window (logged).
vek::cWindow* CreateGameWindow(const vek::string& name, vek::cWindowFunction* function);

// The menus' shared look "{StaticPath}/gui/menu_look.lua", then the title windows in the game's order: "messagebox", "main", "escape", "profile_select",
// "options", "profile_add". The message box is handed to the host.
void CreateTitleWindows(cWindowHost* host);
