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
  EXPECT_EQ(gardener->GetNeedFrame().x, LookupSprite("icons00", "stock").frames[0].x);
}

}  // namespace
