#pragma once
// The game windows' part of the game's script interface: the game's control classes with
// their methods and constants, so that window files can make them.
struct lua_State;

void RegisterGameWindows(lua_State* L);
