#pragma once
// The island's part of the game's script interface: the island widget and its buildings, so
// that window files can ask what stands on the island and drive the editor.
#include <luabind/scope.hpp>

struct lua_State;

void RegisterGameIsland(lua_State* L);

namespace island_bindings {
// island_bindings_buildings.cpp: "cBuild", "cDecor", "cHouse", "cFactory".
luabind::scope BuildingClasses();
}  // namespace island_bindings
