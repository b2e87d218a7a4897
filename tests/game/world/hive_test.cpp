#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "game/world/hive.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "tests/support/world_harness.h"

namespace {

class HiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    RegisterHiveMakers();
    RegisterPlantMakers();
    level = std::make_unique<cLevel>();
    level->Clear();
    flowers = new cSort("flowers", "Flowers");  // the ware manager owns it
    flowers->m_GrowthTime = 0.2f;
  }
  void TearDown() override {
    level.reset();
    for (eFieldKind k : {e_KindHive, e_KindBee, e_KindPlant, e_KindHole}) cLevel::SetMaker(k, nullptr);
  }
  // A hive on the cell with the bee the field makes for it.
  cHive* NewHive(const cCell& cell) {
    auto* hive = static_cast<cHive*>(level->Make(e_KindHive));
    hive->SetCell(cell);
    level->Make(e_KindBee);
    return hive;
  }
  cBee* BeeOf(const cHive* hive) {
    for (cObject* o : level->GetRegistry())
      if (o->GetType() == e_TypeBee && static_cast<cBee*>(o)->GetHiveId() == hive->GetId()) return static_cast<cBee*>(o);
    return nullptr;
  }
  cPlant* RipeFlowers(const cCell& cell) {
    auto* p = new cPlant(static_cast<vek::u32>(flowers->GetId()), level.get());
    p->SetCell(cell);
    for (int i = 0; i < 30 && p->GetStage() != 2; ++i) p->Update();
    EXPECT_EQ(p->GetStage(), 2);
    return p;
  }
  vek::u32 Bursts() { return world.services.particles->GetPool(3).GetEmitterCount(); }
  void Run(int steps) { world.Run(*level, steps); }

  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
  cSort* flowers = nullptr;
};

TEST_F(HiveTest, HoneyFillsTakesAndIsLostAfterAMinute) {
  cHive* hive = NewHive({0, 4});
  EXPECT_EQ(level->m_KindCounts[1], 1);
  hive->SetNeeded(false);
  EXPECT_FALSE(hive->AddHoney());  // no task wants honey
  hive->SetNeeded(true);
  EXPECT_FALSE(hive->TakeHoney());
  EXPECT_TRUE(hive->AddHoney());
  EXPECT_TRUE(hive->IsReady());
  EXPECT_FALSE(hive->AddHoney());  // full
  EXPECT_TRUE(hive->TakeHoney());
  EXPECT_EQ(hive->GetHoney(), 0);

  ASSERT_TRUE(hive->AddHoney());
  Run(30 * 60 - 2);
  EXPECT_TRUE(hive->IsReady());
  Run(4);
  EXPECT_EQ(hive->GetHoney(), 0);
  EXPECT_FALSE(hive->TakeHoney());

  hive->SetState(2);
  Run(1);
  EXPECT_EQ(level->m_KindCounts[1], 0);
}

TEST_F(HiveTest, AppearsWhileTheFieldIsInFrontThenBursts) {
  cHive* hive = NewHive({0, 4});
  Run(1);
  hive->SetState(cHive::e_Appearing);
  world.services.fieldFocused = false;
  Run(60);
  EXPECT_EQ(hive->GetState(), cHive::e_Appearing);
  EXPECT_FLOAT_EQ(hive->GetScale().current, 0.0f);
  world.services.fieldFocused = true;
  const vek::u32 before = Bursts();
  int steps = 0;
  while (hive->GetState() == cHive::e_Appearing && steps < 100) Run(1), ++steps;
  // 0.5 s of delay, then 1.0 of scale at 1.5 a second.
  EXPECT_NEAR(steps, 35, 1);
  EXPECT_EQ(hive->GetState(), cHive::e_Working);
  EXPECT_FLOAT_EQ(hive->GetScale().current, 1.0f);
  EXPECT_EQ(Bursts(), before + 1);
}

TEST_F(HiveTest, BeesNeverShareAFlowerAndBringHoneyHome) {
  cHive* h1 = NewHive({0, 4});
  cHive* h2 = NewHive({2, 4});
  cBee* b1 = BeeOf(h1);
  cBee* b2 = BeeOf(h2);
  ASSERT_TRUE(b1 && b2);
  EXPECT_EQ(b1->GetCell(), h1->GetCell());
  cPlant* f1 = RipeFlowers({1, 6});
  Run(2);
  ASSERT_EQ(b1->GetState(), cBee::e_Flying);
  EXPECT_EQ(b1->GetTarget(), f1->GetId());
  EXPECT_EQ(b2->GetState(), cBee::e_AtHive);  // the only flowers are taken
  EXPECT_EQ(world.services.sounds, std::vector<vek::i32>{29});

  cPlant* f2 = RipeFlowers({3, 6});
  Run(1);
  EXPECT_EQ(b2->GetTarget(), f2->GetId());

  // b1: 2 columns and 1 row away at 30 a second, 3 s at the flowers, and back.
  int steps = 0;
  while (b1->GetState() != cBee::e_AtFlower && steps < 600) Run(1), ++steps;
  EXPECT_EQ(b1->GetPosition(), level->CellToPos(1, 6));
  Run(30 * 3 + 1);
  EXPECT_EQ(b1->GetState(), cBee::e_Flying);
  EXPECT_EQ(b1->GetTarget(), 0u);
  EXPECT_EQ(f1->GetState(), 1);  // the flowers grow anew
  while (b1->GetState() != cBee::e_AtHive && steps < 2000) Run(1), ++steps;
  EXPECT_TRUE(h1->IsReady());
  // With honey in the hive the bee stays home, even with ripe flowers about.
  Run(60);
  EXPECT_EQ(b1->GetState(), cBee::e_AtHive);
  EXPECT_EQ(b1->GetTarget(), 0u);
}

TEST_F(HiveTest, WithoutFlowersForTwoMinutesTheHiveVanishes) {
  cHive* hive = NewHive({0, 4});
  cBee* bee = BeeOf(hive);
  const vek::u32 hiveId = hive->GetId(), beeId = bee->GetId();
  Run(30 * 119);
  EXPECT_EQ(hive->GetState(), cHive::e_Working);
  int waited = 30 * 119;
  while (level->IsObjectValid(beeId) && waited < 30 * 121) Run(1), ++waited;
  EXPECT_NEAR(waited, 30 * 120, 3);
  EXPECT_EQ(hive->GetState(), cHive::e_Vanishing);
  const vek::u32 before = Bursts();
  int steps = 0;
  while (level->IsObjectValid(hiveId) && steps < 60) Run(1), ++steps;
  EXPECT_NEAR(steps, 21, 2);  // it shrinks at 1.5 a second
  EXPECT_EQ(Bursts(), before + 1);
  EXPECT_EQ(level->m_KindCounts[1], 0);
}

TEST_F(HiveTest, ABeeWhoseFlowersWentReturnsToWaiting) {
  cHive* hive = NewHive({0, 4});
  cBee* bee = BeeOf(hive);
  cPlant* f = RipeFlowers({0, 7});
  Run(2);
  ASSERT_EQ(bee->GetTarget(), f->GetId());
  f->SetState(2);
  Run(2);
  EXPECT_EQ(bee->GetState(), cBee::e_AtHive);
  EXPECT_EQ(bee->GetTarget(), 0u);
}

TEST_F(HiveTest, RecordKeepsHoneyAndTimerAndMendsDamage) {
  cHive* hive = NewHive({0, 4});
  hive->AddHoney();
  Run(30 * 10);
  vek::cBitStream s;
  ASSERT_TRUE(hive->Write(s));
  auto* loaded = static_cast<cHive*>(level->Make(e_KindHive));
  ASSERT_TRUE(loaded->Read(s));
  EXPECT_EQ(loaded->GetCell(), (cCell{0, 4}));
  EXPECT_EQ(loaded->GetHoney(), 1);
  EXPECT_FLOAT_EQ(loaded->GetFullTimer().current, hive->GetFullTimer().current);
  EXPECT_FLOAT_EQ(loaded->GetFullTimer().target, 60.0f);

  // Capacity 0 (always full), honey above it and a timer that cannot run.
  vek::cBitStream bad;
  for (vek::u32 v : {0u, 4u, 9u, 0u}) bad.WriteInt(v);
  for (vek::f32 v : {0.0f, 60.0f, std::numeric_limits<vek::f32>::quiet_NaN(), 1.0f, 0.0f, 60.0f}) bad.WriteFloat(v);
  auto* mended = static_cast<cHive*>(level->Make(e_KindHive));
  ASSERT_TRUE(mended->Read(bad));
  EXPECT_EQ(mended->GetCapacity(), 1);
  EXPECT_EQ(mended->GetHoney(), 1);
  EXPECT_TRUE(mended->GetFullTimer().IsRunning());
  EXPECT_FLOAT_EQ(mended->GetFullTimer().target, 60.0f);
}

}  // namespace
