#pragma once
// The data set's GUI look for tests that draw or lay out real windows.

namespace vektest {

// Loads the system textures "font_system", "gui_system" and "cursor_pointer" from
// {StaticPath}/texture/system/ and runs {StaticPath}/conf/sys_font.lua (the font "system").
// False when a file is missing or unreadable.
bool LoadSystemLook();

}  // namespace vektest
