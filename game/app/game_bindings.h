#pragma once
// The game's script interface. RegisterGame registers the application's classes and then
// calls every registration added with AddGameBindings, in the order added: the folders above
// the application (world, island, windows) register their classes this way, filled in by the
// program's entry before start-up.
struct lua_State;

using GameBindingFn = void (*)(lua_State*);
void AddGameBindings(GameBindingFn fn);
// Forgets every added registration (for tests).
void ClearGameBindings();

void RegisterGame(lua_State* L);
