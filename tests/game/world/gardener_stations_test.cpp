// The gardener at the delivery car and the hive (and, further down, at the animals).
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/game/world/gardener_fixture.h"

namespace {

using vektest::GardenerFixture;

class GardenerStationsTest : public GardenerFixture {
 protected:
  int Sounds(vek::i32 id) const {
    return static_cast<int>(std::count(world.services.sounds.begin(), world.services.sounds.end(), id));
  }
};

TEST_F(GardenerStationsTest, EmptyingTheBinIntoTheCar) {
  cObject* car = level->FindObject(level->GetCarId());
  Take(bin);
  // An empty bin has nothing for the car.
  gardener->AddTaskByType(e_TypeCar);
  EXPECT_TRUE(gardener->GetTasks().empty());

  const vek::u32 tomato = Ware("plant00"), olive = Ware("plant01");
  bin->AddItem(tomato);
  bin->AddItem(olive);
  ASSERT_EQ(car->GetState(), 1);
  gardener->AddTaskByType(e_TypeCar);
  ASSERT_EQ(gardener->GetTasks().size(), 1u);
  EXPECT_EQ(gardener->GetTasks().front().id, car->GetId());
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 28; }), 0);

  // The gardener waits, frozen, while the car is away.
  car->SetState(5);
  const vek::i32 frame = gardener->GetAnimation().m_Frame;
  for (int k = 0; k < 10 && car->GetState() != 1; ++k) {
    Run(1);
    EXPECT_EQ(gardener->GetState(), 28);
    EXPECT_EQ(gardener->GetAnimation().m_Frame, frame);
  }
  car->SetState(1);
  // The load goes in when the forward animation ends, not at the end of the backward one.
  ASSERT_GE(RunUntil([this] { return gardener->GetState() != 28; }), 0);
  EXPECT_EQ(gardener->GetState(), 29);
  EXPECT_EQ(world.services.carLoad, (std::vector<vek::i32>{static_cast<vek::i32>(tomato), static_cast<vek::i32>(olive)}));
  EXPECT_EQ(bin->GetCount(), 0);
  EXPECT_EQ(Sounds(22), 1);
  ASSERT_GE(RunIdle(100), 0);
  EXPECT_EQ(Sounds(22), 1);

  // A car gone from the field is not waited for: the gardener gives up, the bin keeps its wares.
  ASSERT_GE(RunUntil([car] { return car->GetState() == 1; }), 0);
  bin->AddItem(tomato);
  gardener->AddTaskByType(e_TypeCar);
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 28; }), 0);
  car->SetState(2);
  Run(2);
  EXPECT_EQ(gardener->GetState(), 3);
  EXPECT_EQ(bin->GetItems(), (std::vector<vek::u32>{tomato}));
}

TEST_F(GardenerStationsTest, TakingHoneyFromAFullHive) {
  auto* hive = dynamic_cast<cHive*>(level->Make(e_KindHive));
  ASSERT_NE(hive, nullptr);
  hive->SetCell(1, 4);
  Take(bin);

  // Not full yet: the task comes up and gives no work.
  gardener->AddTaskObject(hive->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(bin->GetCount(), 0);

  while (!hive->IsReady()) ASSERT_TRUE(hive->AddHoney());
  ASSERT_TRUE(hive->IsReady());
  gardener->AddTaskObject(hive->GetId());
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 20; }), 0);
  // The bin time at upgrade level 0, 0.9 s.
  EXPECT_NEAR(RunUntil([this] { return gardener->GetState() != 20; }), 27, 1);
  EXPECT_EQ(gardener->GetState(), 21);
  ASSERT_GE(RunIdle(100), 0);
  EXPECT_EQ(bin->GetItems(), (std::vector<vek::u32>{Ware("honey")}));
  EXPECT_EQ(world.services.produced, (std::vector<vek::i32>{static_cast<vek::i32>(Ware("honey"))}));
  EXPECT_EQ(hive->GetHoney(), 0);
  EXPECT_EQ(Sounds(21), 2);  // the lid opens and closes
  EXPECT_NE(std::find(world.services.hintSteps.begin(), world.services.hintSteps.end(), std::make_pair(10, 1)),
            world.services.hintSteps.end());

  // A full bin: the hive is refused with the "stock" bubble.
  while (!hive->IsReady()) ASSERT_TRUE(hive->AddHoney());
  while (!bin->IsFull()) bin->AddItem(Ware("plant00"));
  gardener->AddTaskObject(hive->GetId());
  EXPECT_TRUE(gardener->GetTasks().empty());
  ASSERT_TRUE(gardener->IsNeedShown());
  EXPECT_EQ(gardener->GetNeedFrame().x, FindSprite("icons00", "stock").frames[0].x);
}

TEST_F(GardenerStationsTest, PickingUpAnEgg) {
  auto* egg = new cEgg(level.get(), {1, 4});
  const vek::u32 id = egg->GetId();
  // Without the bin the egg asks for it.
  gardener->AddTaskObject(id);
  EXPECT_TRUE(gardener->GetTasks().empty());
  EXPECT_EQ(gardener->GetNeedFrame().x, FindSprite("icons00", "tool_bin").frames[0].x);
  Take(bin);
  gardener->AddTaskObject(id);
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 17; }), 0);
  ASSERT_GE(RunIdle(100), 0);
  Run(1);
  EXPECT_EQ(bin->GetItems(), (std::vector<vek::u32>{Ware("egg")}));
  EXPECT_EQ(world.services.produced, (std::vector<vek::i32>{static_cast<vek::i32>(Ware("egg"))}));
  EXPECT_FALSE(level->IsObjectValid(id));
  EXPECT_NE(std::find(world.services.hintSteps.begin(), world.services.hintSteps.end(), std::make_pair(6, 1)),
            world.services.hintSteps.end());
}

TEST_F(GardenerStationsTest, MilkingAndBrokenOffMilking) {
  enum eBreak { e_None, e_RightClick, e_HintRelease, e_FullBin };
  const struct {
    const char* name;
    eBreak how;
  } cases[] = {{"milked", e_None}, {"right click", e_RightClick}, {"a hint", e_HintRelease}, {"full bin", e_FullBin}};
  for (const auto& c : cases) {
    MakeField();
    world.services.produced.clear();
    world.services.hintSteps.clear();
    Take(bin);
    auto* goat = dynamic_cast<cGoat*>(level->FindObject(level->AddGoat()));
    ASSERT_NE(goat, nullptr);
    goat->SetQuickStart(true);
    ASSERT_GE(RunUntil([goat] { return goat->GetState() == 9; }, 60 * 30), 0) << c.name;
    gardener->AddTaskObject(goat->GetId());
    ASSERT_EQ(gardener->GetTasks().size(), 1u) << c.name;
    ASSERT_GE(RunUntil([this] { return gardener->GetState() == 23; }), 0) << c.name;
    EXPECT_EQ(goat->GetState(), 6) << c.name;
    EXPECT_EQ(gardener->GetGoatTarget(), goat->GetId());
    if (c.how == e_None) {
      // GetParam (6) seconds of milking.
      EXPECT_NEAR(RunUntil([this] { return gardener->GetState() != 23; }), 15, 1) << c.name;
      EXPECT_EQ(goat->GetState(), 1) << c.name;
      EXPECT_EQ(bin->GetItems(), (std::vector<vek::u32>{Ware("milk")})) << c.name;
      EXPECT_EQ(world.services.produced, (std::vector<vek::i32>{static_cast<vek::i32>(Ware("milk"))}));
      continue;
    }
    Run(5);
    if (c.how == e_RightClick) level->OnEvent(4, 1);
    if (c.how == e_HintRelease) gardener->ReleaseTaskTargets();
    if (c.how == e_FullBin)
      while (!bin->IsFull()) bin->AddItem(Ware("plant00"));
    Run(1);
    EXPECT_EQ(gardener->GetState(), 3) << c.name;
    EXPECT_EQ(gardener->GetGoatTarget(), 0u) << c.name;
    EXPECT_EQ(goat->GetState(), 9) << c.name << ": waits again, its wait not yet over";
    EXPECT_TRUE(world.services.produced.empty()) << c.name;
    EXPECT_NE(std::find(world.services.hintSteps.begin(), world.services.hintSteps.end(), std::make_pair(8, 1)),
              world.services.hintSteps.end());
  }
}

}  // namespace
