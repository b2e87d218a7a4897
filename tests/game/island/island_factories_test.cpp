// The island's factories with the play field: products set out as the field's wares in
// flight, by building id, to the next factory while the mission wants its product, else to
// the delivery car; arriving wares fill the factory by id.
#include <gtest/gtest.h>

#include <memory>

#include "game/app/player.h"
#include "game/island/island.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/plant.h"
#include "game/world/ware_manager.h"
#include "tests/support/world_harness.h"

cPlayer* CurrentPlayer();
void SetCurrentPlayer(cPlayer* player);

namespace {

class IslandFactoriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.BuildWares();
    SetCurrentPlayer(&player);
    island = std::make_unique<cIsland>();
    island->LoadBuildings({{"factory01", 4, kIslandKindFactory, {300.0f, 300.0f}},
                           {"factory01_1", 9, kIslandKindFactory, {600.0f, 400.0f}}});
    juice = island->FindFactoryByInput("plant02");
    lemonade = island->FindFactoryByInput("product01");
    ASSERT_TRUE(juice && lemonade);
    juice->SetState(2);
    lemonade->SetState(2);
    level = std::make_unique<cLevel>();
    level->Clear();
    island->SendProductsTo(level.get());
  }
  void TearDown() override {
    island.reset();
    level.reset();
    SetCurrentPlayer(nullptr);
  }
  // One run of the juice press to its end.
  void RunJuice() {
    juice->AddInput();
    ASSERT_TRUE(juice->Activate());
    for (int i = 0; i < juice->GetWorkSteps(); ++i) juice->Step();
  }
  vek::i32 Ware(const char* name) const { return g_pWareManager->GetWareId(name); }

  vektest::WorldHarness world;
  cPlayer player;
  std::unique_ptr<cIsland> island;
  std::unique_ptr<cLevel> level;
  cFactory* juice = nullptr;
  cFactory* lemonade = nullptr;
};

TEST_F(IslandFactoriesTest, JuiceGoesToTheLemonadeWorksOnlyWhileLemonadeIsWanted) {
  island->Show(e_islMap);  // factories work while the island is shown at all
  RunJuice();
  ASSERT_EQ(level->GetTransfers().size(), 1u);
  const cWareTransfer& toCar = level->GetTransfers().back();
  EXPECT_EQ(toCar.ware, Ware("product01"));
  EXPECT_EQ(toCar.source, cWareTransfer::e_Factory);
  EXPECT_EQ(toCar.sourceId, 5);  // serial number 4, plus one
  EXPECT_EQ(toCar.target, cWareTransfer::e_Car);
  EXPECT_EQ(juice->GetStock(), 0);
  ASSERT_EQ(player.produced.size(), static_cast<size_t>(Ware("product01") + 1));
  EXPECT_EQ(player.produced[static_cast<size_t>(Ware("product01"))], 1);

  cMissionTask task;
  task.ware = Ware("product01_1");
  task.count = 2;
  world.services.tasks.push_back(task);
  RunJuice();
  const cWareTransfer& toWorks = level->GetTransfers().back();
  EXPECT_EQ(toWorks.target, cWareTransfer::e_Factory);
  EXPECT_EQ(toWorks.targetId, 10);
  // The ware arrives: the lemonade works has it in stock; an id of no factory takes nothing.
  EXPECT_TRUE(island->AddFactoryInputById(static_cast<vek::u32>(toWorks.targetId)));
  EXPECT_EQ(lemonade->GetStock(), 1);
  EXPECT_FALSE(island->AddFactoryInputById(0));
  EXPECT_FALSE(island->AddFactoryInputById(77));
}

TEST_F(IslandFactoriesTest, WaresInFlightAndTheIslandsSparksMoveOnWhileTheIslandIsShown) {
  cMissionTask task;
  task.ware = Ware("product01_1");
  task.count = 2;
  world.services.tasks.push_back(task);
  island->Show(e_islMap);
  RunJuice();
  ASSERT_EQ(level->GetTransfers().size(), 1u);
  cParticles& parts = *world.services.particles;
  parts.AddLevelEmitter();
  parts.AddBurst({300.0f, 300.0f, 0.0f}, 30, 15.0f);
  for (int i = 0; i < 6; ++i) island->Update(1.0f / 30.0f);
  ASSERT_EQ(level->GetTransfers().size(), 1u);
  const cWareTransfer& flying = level->GetTransfers().front();
  EXPECT_TRUE(flying.IsStarted());
  EXPECT_GT(flying.elapsed, 0.0f);
  EXPECT_GT(parts.GetPool(3).GetQuadCount(), 0u);  // the burst sparkles over the map
  EXPECT_EQ(parts.GetPool(0).GetQuadCount(), 0u);  // the field's drift waits for the field
  // It lands while the map is still shown.
  for (int i = 0; i < 30; ++i) island->Update(1.0f / 30.0f);
  EXPECT_TRUE(level->GetTransfers().empty());
}

TEST_F(IslandFactoriesTest, EnoughInTheChainReleasesTheFieldsPlantsOfThatSort) {
  ASSERT_TRUE(world.LoadTestSheets());
  cMissionTask task;
  task.ware = Ware("plant02");
  task.count = 2;
  world.services.tasks.push_back(task);
  auto* orange = new cPlant(static_cast<vek::u32>(Ware("plant02")), level.get());
  auto* olive = new cPlant(static_cast<vek::u32>(Ware("plant01")), level.get());
  juice->AddInput();
  EXPECT_TRUE(orange->IsNeeded());  // one of two: still needed
  juice->AddInput();
  EXPECT_FALSE(orange->IsNeeded());
  EXPECT_TRUE(olive->IsNeeded());
  // A product reaching a second factory is only counted.
  lemonade->AddInput();
  EXPECT_EQ(lemonade->GetStock(), 1);
}

TEST_F(IslandFactoriesTest, BuildingsAreFoundOnTheScreenById) {
  island->ScrollTo(0.0f, 0.0f);
  vek::rectf r;
  ASSERT_TRUE(island->GetHouseScreenRect(10, &r));
  EXPECT_EQ(r.x, 600.0f - island->GetScroll().x);
  EXPECT_EQ(r.y, 400.0f - island->GetScroll().y);
  EXPECT_FALSE(island->GetHouseScreenRect(0, &r));
  EXPECT_EQ(island->FindBuildingById(5), juice);
  // Without a field the products are only counted.
  island->SendProductsTo(nullptr);
  island->Show(e_islMap);
  RunJuice();
  EXPECT_TRUE(level->GetTransfers().empty());
  EXPECT_EQ(juice->GetProduced(), 1);
}

}  // namespace
