#include <gtest/gtest.h>

#include <memory>

#include "game/play/field_hints.h"
#include "game/world/animal.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"
#include "tests/game/world/test_objects.h"
#include "tests/support/world_harness.h"

namespace {

constexpr int kShow = 0, kClose = 1, kPass = 2;

using vektest::StagedPlant;

class FieldHintsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    world.BuildWares();
    RegisterPlantMakers();
    RegisterToolMakers();
    cLevel::SetMaker(e_KindGardener, [](cLevel* l) -> cObject* { return new vektest::RecordingGardener(l); });
    level = std::make_unique<cLevel>();
    level->Clear();
    level->BuildFixedObjects();
    level->PlaceFixedDefaults();
    gardener = static_cast<vektest::RecordingGardener*>(level->GetGardener());
    ASSERT_NE(gardener, nullptr);
  }
  void TearDown() override {
    level.reset();
    for (eFieldKind k : {e_KindPlant, e_KindHole, e_KindToolWater, e_KindToolWeed, e_KindToolBin, e_KindGardener})
      cLevel::SetMaker(k, nullptr);
  }
  void Plant(const char* sort, vek::i32 stage) {
    new StagedPlant(static_cast<vek::u32>(g_pWareManager->GetWareId(sort)), level.get(), stage);
  }
  void Task(const char* ware) {
    cMissionTask t;
    t.ware = g_pWareManager->GetWareId(ware);
    t.count = 3;
    world.services.tasks.push_back(t);
  }
  template <class T>
  T* Tool(vek::u32 type) {
    return dynamic_cast<T*>(level->FindObjectAt(kNoCell, type));
  }
  bool Situation(int hint) { return FieldHintSituation(*level, world.services, hint); }
  int Step(int hint, int step) { return FieldHintStep(*level, world.services, hint, step); }

  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
  vektest::RecordingGardener* gardener = nullptr;
};

TEST_F(FieldHintsTest, TheWaterLessonFollowsTheCanAndThePlants) {
  Plant("plant01", 1);
  EXPECT_FALSE(Situation(1)) << "no plant wants water";
  Plant("plant01", 0);
  EXPECT_TRUE(Situation(1));

  world.services.money = 4;
  EXPECT_EQ(Step(1, 0), kClose) << "no money for water";
  world.services.money = 5;
  EXPECT_EQ(Step(1, 0), kShow);
  gardener->held = 0;
  EXPECT_EQ(Step(1, 0), kPass) << "the can is in hand already";

  auto* can = Tool<cToolWater>(e_TypeToolWater);
  ASSERT_NE(can, nullptr);
  can->SetAmount(0);
  EXPECT_EQ(Step(1, 1), kShow);
  can->SetAmount(can->GetCapacity());
  EXPECT_EQ(Step(1, 1), kPass) << "a full can needs no pump";
  EXPECT_EQ(Step(1, 2), kShow);
}

TEST_F(FieldHintsTest, BinAndAnimalStepsAskTheFieldAndTheMoney) {
  auto* bin = Tool<cToolBin>(e_TypeToolBin);
  ASSERT_NE(bin, nullptr);
  for (int hint : {6, 8, 10}) EXPECT_EQ(Step(hint, 0), kShow) << hint;
  gardener->held = 2;
  for (int hint : {6, 8, 10}) EXPECT_EQ(Step(hint, 0), kPass) << hint;
  while (bin->AddItem(static_cast<vek::u32>(g_pWareManager->GetWareId("egg")))) {
  }
  ASSERT_TRUE(bin->IsFull());
  for (int hint : {6, 8, 10}) EXPECT_EQ(Step(hint, 0), kClose) << "a full bin takes nothing: " << hint;
  EXPECT_EQ(Step(0, 6), kShow);
  EXPECT_EQ(bin->GetCount(), 0) << "the first lesson's bin step starts from an empty bin";

  // The shop's animals, by the prices of the fake: ostrich 100, goat 200, hive 300, peacock 400.
  world.services.money = 250;
  EXPECT_EQ(Step(4, 0), kShow);
  EXPECT_EQ(Step(7, 0), kShow);
  EXPECT_EQ(Step(9, 0), kClose);
  EXPECT_EQ(Step(12, 0), kClose);
}

TEST_F(FieldHintsTest, TheBetterSeedHintWaitsForItsLevelAndTasks) {
  world.services.currentLevel = 5;
  world.services.money = 100000;
  Plant("plant00", 2);
  Task("plant02");
  EXPECT_TRUE(Situation(11));
  EXPECT_EQ(Step(11, 0), kShow);
  world.services.currentLevel = 4;
  EXPECT_FALSE(Situation(11));
  world.services.currentLevel = 5;
  Task("plant00");
  EXPECT_FALSE(Situation(11)) << "plant00 is still wanted";
  world.services.money = 0;
  EXPECT_EQ(Step(11, 0), kClose);
  // Situations the field does not hold, and steps it has nothing to say about.
  for (int hint : {0, 2, 3, 4, 7, 9, 12, 99}) EXPECT_FALSE(Situation(hint)) << hint;
  EXPECT_EQ(Step(0, 3), kShow);
}

}  // namespace
