#pragma once
// The garden world's part of the game's script interface.
struct lua_State;

// Registers the world's script functions (the type-tag predicates).
void RegisterGameWorld(lua_State* L);
