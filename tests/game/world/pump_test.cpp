#include <gtest/gtest.h>

#include <memory>

#include "game/world/level.h"
#include "game/world/pump.h"
#include "tests/support/world_harness.h"

namespace {

class PumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    RegisterPumpMakers();
    level = std::make_unique<cLevel>();
    level->Clear();
    level->SetBatch(&world.services.batch);
    level->BuildFixedObjects();
    pump = static_cast<cWaterPump*>(level->FindObject(level->GetPumpId()));
    world.Run(*level, 1);
  }
  void TearDown() override {
    level.reset();
    cLevel::SetMaker(e_KindPump, nullptr);
  }
  vek::u32 Drawn() {
    world.services.batch.Clear();
    pump->Draw();
    return world.services.batch.GetVertexCount();
  }

  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
  cWaterPump* pump = nullptr;
};

TEST_F(PumpTest, WaterRunsOnlyWhilePumping) {
  ASSERT_EQ(pump->GetState(), cWaterPump::e_Idle);
  const vek::u32 idle = Drawn();
  EXPECT_FALSE(pump->GetWater().IsPlaying());
  pump->SetState(cWaterPump::e_Pumping);
  world.Run(*level, 4);
  EXPECT_TRUE(pump->GetWater().IsPlaying());
  EXPECT_NE(pump->GetWater().anim.m_Frame, 0);  // 3 frames at 10 a second, looping
  EXPECT_GT(Drawn(), idle);                     // the water is drawn as well
  world.Run(*level, 60);
  EXPECT_EQ(pump->GetState(), cWaterPump::e_Pumping);  // the gardener ends it, not the pump
  pump->SetState(cWaterPump::e_Idle);
  EXPECT_FALSE(pump->GetWater().IsPlaying());
  EXPECT_EQ(Drawn(), idle);
}

TEST_F(PumpTest, StandsAtTheRightEdgeAndHidesWithoutWater) {
  const vek::rectf r = pump->GetRect();
  EXPECT_EQ(r.x + r.w, 1024.0f);
  EXPECT_EQ(r.y, 251.0f);
  EXPECT_EQ(r.w, 80.0f);
  const vek::vec2 mid{r.x + r.w * 0.5f, r.y + r.h * 0.5f};
  EXPECT_TRUE(pump->HitTest(mid));
  EXPECT_GT(Drawn(), 0u);
  world.services.waterFlag = 0;
  EXPECT_FALSE(pump->HitTest(mid));
  EXPECT_EQ(pump->GetRect().w, 0.0f);
  EXPECT_EQ(Drawn(), 0u);
}

}  // namespace
