// The island's script classes as window files use them.
#include <gtest/gtest.h>
#include <lua.hpp>

#include <memory>

#include "engine/script/script_bind.h"
#include "game/app/bindings_parts.h"
#include "game/island/island.h"
#include "game/island/island_bindings.h"
#include "tests/support/world_harness.h"

TEST(IslandBindings, ScriptsReadTheBuildingsAndRunFactories) {
  vektest::WorldHarness world;
  lua_State* L = world.script.GetState();
  // Without its base the island is not registered, and says so.
  RegisterGameIsland(L);
  ASSERT_TRUE(world.script.DoString("missing = (cIsland == nil)", "before"));
  lua_getglobal(L, "missing");
  EXPECT_TRUE(lua_toboolean(L, -1));
  lua_pop(L, 1);

  // The application's classes (the island's base among them), then the island's.
  luabind::module(L)[game_bindings::AppClasses()];
  RegisterGameIsland(L);

  auto island = std::make_unique<cIsland>();
  island->LoadBuildings({{"house00", 0, kIslandKindHouse, {300.0f, 300.0f}},
                         {"factory00", 4, kIslandKindFactory, {600.0f, 400.0f}}});
  auto* f = island->FindFactoryByInput("plant01");
  ASSERT_NE(f, nullptr);
  f->SetState(2);
  f->SetStock(2);
  island->FindHouse("house00", 0)->SetState(2);
  luabind::globals(L)["island"] = island.get();
  ASSERT_TRUE(world.script.DoString(
      "local f = island:FindFactoryByInput('plant01')\n"
      "result = island:GetBuildingCount() .. ' ' .. island:GetBuilding(0):GetName() .. ' ' ..\n"
      "  tostring(island:IsHouseBuilt('house00')) .. ' ' .. f:GetCategory() .. ' ' .. f:GetOutput() .. ' ' ..\n"
      "  f:GetStock() .. ' ' .. tostring(f:Activate()) .. ' ' .. f:GetState() .. ' ' ..\n"
      "  tostring(island:GetBuilding(5) == nil)",
      "island"));
  lua_getglobal(L, "result");
  EXPECT_STREQ(lua_tostring(L, -1), "2 house00 true 3 product00 2 true 3 true");
  lua_pop(L, 1);
  luabind::globals(L)["island"] = luabind::object();
}
