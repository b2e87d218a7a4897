// The gardener's work with the animals: milking a waiting goat, breaking the milking off, and
// picking an egg up into the bin.
#include <gtest/gtest.h>

#include "game/world/animal.h"
#include "game/world/animal_product.h"
#include "tests/game/world/gardener_fixture.h"

namespace {

class AnimalWorkTest : public vektest::GardenerFixture {
 protected:
  void SetUp() override {
    RegisterAnimalMakers();
    GardenerFixture::SetUp();
  }
  // A goat that waits to be milked (its first milk comes early).
  cGoat* WaitingGoat() {
    auto* g = new cGoat(level.get());
    g->SetCell(6, 7);
    g->SetQuickStart(true);
    EXPECT_GE(RunUntil([g] { return g->GetState() == 9; }, 300), 0);
    return g;
  }
};

TEST_F(AnimalWorkTest, MilkingPutsMilkInTheBinAndTheGoatWandersAgain) {
  Take(bin);
  cGoat* g = WaitingGoat();
  gardener->AddTaskObject(g->GetId());
  ASSERT_GE(RunUntil([g] { return g->GetState() == 6; }), 0);
  EXPECT_FALSE(g->HitTest(g->GetPosition())) << "a goat being milked takes no clicks";
  ASSERT_GE(RunUntil([g] { return g->GetState() != 6; }), 0);
  EXPECT_EQ(g->GetState(), 1);
  EXPECT_EQ(bin->CountItems(Ware("milk")), 1);
  EXPECT_TRUE(g->GetProductTimer().IsRunning()) << "the next milk is on its way";
}

TEST_F(AnimalWorkTest, MilkingBrokenOffNeverLeavesTheGoatBeingMilked) {
  int broken = 0;
  for (int after : {0, 5, 10}) {  // the milking itself lasts half a second (15 steps)
    MakeField();
    Take(bin);
    cGoat* g = WaitingGoat();
    gardener->AddTaskObject(g->GetId());
    ASSERT_GE(RunUntil([g] { return g->GetState() == 6; }), 0) << after;
    Run(after);
    if (g->GetState() != 6) continue;  // milked already
    ++broken;
    gardener->ReleaseTaskTargets();  // a right click or a hint
    Run(1);
    EXPECT_NE(g->GetState(), 6) << after;
    EXPECT_EQ(bin->CountItems(Ware("milk")), 0) << after;
    const vek::u32 id = g->GetId();
    for (int n = 0; n < 60 * 30 && level->IsObjectValid(id); ++n) {
      Run(1);
      ASSERT_TRUE(!level->IsObjectValid(id) || g->GetState() != 6) << after << " at step " << n;
    }
  }
  EXPECT_EQ(broken, 3) << "every break came before the milk";
}

TEST_F(AnimalWorkTest, AnEggIsPickedUpIntoTheBin) {
  Take(bin);
  auto* egg = new cEgg(level.get(), {2, 6});
  const vek::u32 id = egg->GetId();
  gardener->AddTaskObject(id);
  ASSERT_GE(RunUntil([&] { return !level->IsObjectValid(id); }), 0);
  EXPECT_EQ(bin->CountItems(Ware("egg")), 1);
}

}  // namespace
