// The island as the game reaches it: the player's island.dat over the static buildings, the
// factories by ware id, the training tips' targets, and the window host's island questions.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "game/app/player.h"
#include "game/island/island.h"
#include "game/play/island_link.h"
#include "game/world/ware_manager.h"
#include "tests/support/temp_dir.h"
#include "tests/support/world_harness.h"
#include "game/app/window_host.h"
#include "game/app/game_rules.h"
#include "game/app/level_table.h"
#include "game/island/building_table.h"

cPlayer* CurrentPlayer();
void SetCurrentPlayer(cPlayer* player);

namespace {

class IslandLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.BuildWares();
    SetGardenServices(&services);
    SetCurrentPlayer(&player);
    island = std::make_unique<cIsland>();
    cIslandPaths paths;
    paths.markers = {{200.0f, 1800.0f}, {400.0f, 1700.0f}, {600.0f, 1600.0f}};
    paths.shipKeys = {{0.0f, 100.0f}, {1000.0f, 100.0f}};
    island->SetPaths(paths);
    link = std::make_unique<cIslandLink>(*island, std::vector<cIslandBuildingRecord>{
                                                      {"factory01", 4, kIslandKindFactory, {300.0f, 300.0f}},
                                                      {"factory01_1", 9, kIslandKindFactory, {600.0f, 400.0f}}});
    SetGardenIsland(link.get());
  }
  void TearDown() override {
    SetGardenIsland(nullptr);
    link.reset();
    island.reset();
    SetCurrentPlayer(nullptr);
    SetGardenServices(nullptr);
  }
  cFactory* Juice() const { return island->FindFactoryByInput("plant02"); }
  cFactory* Lemonade() const { return island->FindFactoryByInput("product01"); }
  vek::i32 Ware(const char* name) const { return g_pWareManager->GetWareId(name); }
  void WriteFile(const std::string& path, const vek::cBitStream& out) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.GetBytes().data()), out.GetByteCount());
  }

  vektest::WorldHarness world;
  vektest::FakeGardenServices services;
  vektest::TempDir tmp;
  cPlayer player;
  std::unique_ptr<cIsland> island;
  std::unique_ptr<cIslandLink> link;
};

TEST_F(IslandLinkTest, ThePlayersFileComesBackOverTheStaticBuildings) {
  Juice()->SetStock(3);
  Lemonade()->SetStock(1);
  vek::cBitStream out;
  link->WriteStates(out);
  const std::string saved = tmp / "island.dat";
  WriteFile(saved, out);

  // Another player's island in between: nothing of it stays.
  Juice()->SetStock(7);
  link->Load(tmp / "missing.dat");
  ASSERT_EQ(island->GetBuildings().size(), 2u);
  EXPECT_EQ(Juice()->GetStock(), 0);

  link->Load(saved);
  ASSERT_EQ(island->GetBuildings().size(), 2u);
  EXPECT_EQ(Juice()->GetStock(), 3);
  EXPECT_EQ(Lemonade()->GetStock(), 1);

  // A damaged file (a count far beyond its bytes) keeps the static island, with empty stocks.
  vek::cBitStream bad;
  bad.WriteInt(4000000);
  WriteFile(tmp / "bad.dat", bad);
  link->Load(tmp / "bad.dat");
  EXPECT_EQ(island->GetBuildings().size(), 2u);
  EXPECT_EQ(Juice()->GetStock(), 0);
}

TEST_F(IslandLinkTest, FactoriesByWareIdAndTheEndOfALevel) {
  EXPECT_EQ(link->GetFactoryProduct(Ware("plant02")), Ware("product01"));
  EXPECT_EQ(link->GetFactoryProduct(Ware("plant00")), -1);  // no factory takes it
  EXPECT_EQ(link->GetFactoryProduct(-1), -1);
  EXPECT_TRUE(link->AddFactoryInput(Ware("plant02")));
  EXPECT_TRUE(link->AddFactoryInput(Ware("plant02")));
  EXPECT_FALSE(link->AddFactoryInput(Ware("plant00")));
  EXPECT_EQ(link->GetFactoryStock(Ware("plant02")), 2);
  // By building id (serial number + 1), as the field's wares in flight name them.
  EXPECT_TRUE(link->AddFactoryInputById(10));
  EXPECT_FALSE(link->AddFactoryInputById(0));
  EXPECT_EQ(Lemonade()->GetStock(), 1);
  link->ClearLevel();
  EXPECT_EQ(Juice()->GetStock(), 0);
  EXPECT_EQ(Lemonade()->GetStock(), 0);
}

TEST_F(IslandLinkTest, TipTargetsOnTheScreen) {
  island->ScrollTo(0.0f, 0.0f);
  const vek::vec2 scroll = island->GetScroll();
  vek::f32 r[4] = {};
  struct Case {
    int progress;
    const char* target;
    bool found;
    vek::vec2 point;
  };
  const Case cases[] = {
      {1, "level place", true, vek::vec2{400.0f, 1700.0f} - scroll},
      {2, "level place", true, vek::vec2{600.0f, 1600.0f} - scroll},
      {3, "level place", false, {}},  // beyond the places
      {0, "flowers", false, {}},      // not the island's
  };
  for (const Case& c : cases) {
    player.levelProgress = c.progress;
    ASSERT_EQ(link->FindTarget(c.target, r), c.found) << c.target << " " << c.progress;
    if (c.found) {
      EXPECT_EQ(vek::vec2(r[0], r[1]), c.point) << c.progress;
    }
  }
  EXPECT_FALSE(link->FindTarget("ship", r));  // no ship under way
  services.ships.push_back({0.25f, 1});
  ASSERT_TRUE(link->FindTarget("ship", r));
  EXPECT_FLOAT_EQ(r[0], 250.0f - scroll.x + 20.0f);
  EXPECT_FLOAT_EQ(r[1], 100.0f - scroll.y - 5.0f);
}

TEST_F(IslandLinkTest, TheRulesReachTheIslandsBuildings) {
  const cGameRules rules;
  // The place of level 1 with that level's building on it.
  const vek::string name = GetLevelBuilding(1);
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(rules.FindHouseAtPlace(1), nullptr);
  auto house = island->MakeBuilding(name);
  ASSERT_NE(house, nullptr);
  house->SetPosition(400.0f - house->GetWidth() * 0.5f, 1700.0f - house->GetHeight() * 0.5f);
  cBuild* placed = island->AddBuilding(std::move(house));
  EXPECT_EQ(rules.FindHouseAtPlace(1), placed);
  EXPECT_EQ(rules.FindHouseAtPlace(-1), nullptr);
  cBuild* made = rules.CreateBuilding(0);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetNumber(), 10);  // one above the highest, on the island
  EXPECT_EQ(island->GetBuildings().size(), 4u);
  EXPECT_EQ(rules.CreateBuilding(static_cast<int>(kBuildingTemplateCount)), nullptr);
  EXPECT_EQ(rules.CreateBuilding(-1), nullptr);
  SetGardenIsland(nullptr);
  EXPECT_EQ(rules.FindHouseAtPlace(1), nullptr);
  EXPECT_EQ(rules.CreateBuilding(0), nullptr);
}

TEST_F(IslandLinkTest, TheWindowHostAsksTheRegisteredIsland) {
  cWindowHost host;
  EXPECT_EQ(host.GetIslandPlaceCount(), 3);
  host.ShowIsland(e_islMap);
  EXPECT_EQ(host.GetIslandMode(), e_islMap);
  host.ScrollIslandToPlace(2);
  const vek::vec2 on = vek::vec2{600.0f, 1600.0f} - island->GetScroll();
  EXPECT_TRUE(on.x >= 0.0f && on.x < 1024.0f && on.y >= 0.0f && on.y < 768.0f) << on.x << " " << on.y;
  host.ShowIsland(e_islNone);
  // No comics player: the opening comic leads straight to the map.
  SetComicsPlayer(nullptr);
  host.StartComics(0);
  EXPECT_EQ(host.GetIslandMode(), e_islMap);
  SetGardenIsland(nullptr);
  EXPECT_EQ(host.GetIslandMode(), 0);
  EXPECT_EQ(host.GetIslandPlaceCount(), 0);
  EXPECT_FALSE(host.IsIslandReady());
}

// The main menu makes the island its backdrop and then asks whether to centre the map on the
// player's level: from level 7 on it is, whatever mode the island was in before.
TEST_F(IslandLinkTest, TheMenusBackdropIsCentredOnTheLevelFromLevelSevenOn) {
  cWindowHost host;
  for (const auto& [progress, ready] : {std::pair{3, false}, std::pair{7, true}, std::pair{12, true}}) {
    player.levelProgress = progress;
    host.ShowIsland(e_islMap);
    host.ShowIsland(e_islNone);
    EXPECT_EQ(host.IsIslandReady(), ready) << progress;
  }
  player.levelProgress = 3;
  host.ShowIsland(e_islAfterLevel);
  EXPECT_TRUE(host.IsIslandReady()) << "after a level the island is always ready";
  host.ShowIsland(e_islNone);
}

}  // namespace
