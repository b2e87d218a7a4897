#include <gtest/gtest.h>

#include "game/world/effects.h"
#include "game/world/particles.h"
#include "game/app/sprite.h"
#include "tests/support/world_harness.h"

namespace {

TEST(Effects, TweenTable) {
  vek::cAnimatedVec2 t;
  SetTweenAt(t, {1.0f, 2.0f});
  EXPECT_EQ(t.Update(0.5f), vek::e_TweenAtRest);
  EXPECT_FALSE(IsTweenMoving(t));
  t.start = {0.0f, 0.0f};
  t.target = {10.0f, 20.0f};
  t.duration = 1.0f;
  t.elapsed = 0.0f;
  EXPECT_EQ(t.Update(0.5f), vek::e_TweenRunning);
  EXPECT_EQ(t.current, (vek::vec2{5.0f, 10.0f}));
  EXPECT_TRUE(IsTweenMoving(t));
  EXPECT_EQ(t.Update(0.6f), vek::e_TweenArrived);
  EXPECT_EQ(t.current, (vek::vec2{10.0f, 20.0f}));
  EXPECT_EQ(t.elapsed, 1.0f);
  EXPECT_EQ(t.Update(0.1f), vek::e_TweenAtRest);
}

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(world.LoadTestSheets()); }
  vektest::WorldHarness world;
  vek::cQuadBatch batch;
};

TEST_F(EffectsTest, FlyerTrailAlphasAndArrival) {
  cFlyerList list(&batch, world.services.particles.get());
  cFlyer* f = list.Add("icons00", "target", 0.1f, 4);
  f->AddPoint({100.0f, 100.0f}, 0.0f);
  f->AddPoint({300.0f, 100.0f}, 2.0f);
  batch.Clear();
  list.Draw();
  ASSERT_EQ(batch.GetVertexCount(), 4 * vek::kQuadVertices);
  std::vector<vek::u32> alphas;
  for (vek::u32 k = 0; k < 4; ++k) alphas.push_back(batch.GetVertices()[vek::kQuadVertices * k].color >> 24);
  EXPECT_EQ(alphas, (std::vector<vek::u32>{66, 129, 192, 255}));  // tail first, head last
  list.Update(0.5f);
  EXPECT_GT(f->trail[0].x, 100.0f);
  EXPECT_GT(f->trail[3].x, f->trail[0].x);
  // Past its end the flyer bursts into particles and leaves the list.
  list.Update(2.0f);
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(world.services.particles->GetPool(3).GetEmitterCount(), 1u);
}

TEST_F(EffectsTest, FlyerWithOnePointAndTrailEmitter) {
  cFlyerList list(&batch, world.services.particles.get());
  list.m_bTrail = 1;
  cFlyer* f = list.Add("icons00", "target", 0.1f, 3);
  ASSERT_NE(f->emitter, nullptr);
  f->AddPoint({50.0f, 60.0f}, 0.0f);
  EXPECT_EQ(f->trail[2], (vek::vec2{50.0f, 60.0f}));
  cParticleEmitter* trail = f->emitter;
  list.Update(1.0f / 30.0f);
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_TRUE(trail->IsStopped());
  // A missing sprite makes a flyer that is never drawn.
  list.Add("icons00", "no such area", 0.1f, 2)->AddPoint({0.0f, 0.0f}, 5.0f);
  batch.Clear();
  list.Draw();
  EXPECT_EQ(batch.GetVertexCount(), 0u);
  list.Clear();
}

TEST_F(EffectsTest, FloatingTextLife) {
  cFloatingTexts texts(&batch, "no font");
  texts.Add("+$10", {200.0f, 200.0f});
  const vek::vec2 start = texts.m_Items.front().position;
  const struct {
    vek::f32 dt;
    size_t count;
    vek::u32 alpha;
  } steps[] = {{0.5f, 1, 255}, {0.4f, 1, 255}, {0.6f, 1, 127}, {0.5f, 0, 0}};
  vek::f32 t = 0.0f;
  for (const auto& s : steps) {
    texts.Update(s.dt);
    t += s.dt;
    ASSERT_EQ(texts.Size(), s.count) << t;
    if (s.count) {
      EXPECT_EQ(texts.m_Items.front().color >> 24, s.alpha) << t;
      EXPECT_NEAR(texts.m_Items.front().position.y - start.y, 12.0f * t, 1e-4f);
    }
  }
}

TEST_F(EffectsTest, FloatingTextsKeepWhatEarlierLayersQueued) {
  cFloatingTexts texts(&batch, "no font");
  batch.Clear();
  vek::DrawQuad(&batch, 1, {0.0f, 0.0f, 10.0f, 10.0f}, {0.0f, 0.0f, 1.0f, 1.0f}, 0xFFFFFFFFu);
  // No texts: the batch is left to its pass's own flush (a window's pass that was flushed
  // already must not be drawn a second time).
  texts.Draw();
  EXPECT_EQ(batch.GetUsed(), 1u);
  // With a text, the queued quad goes to the same flush as the text, not thrown away: the
  // batch is empty only after that (without a renderer nothing is drawn).
  texts.Add("+$10", {100.0f, 100.0f});
  texts.Draw();
  EXPECT_EQ(batch.GetUsed(), 0u);
}

TEST_F(EffectsTest, FadeSequenceAndSpriteAnims) {
  cFadeSequence seq(&batch);
  const cSprite ocean = FindSprite("back", "ocean");
  seq.m_Texture = ocean.texture;
  seq.m_pFrames = ocean.frames;
  seq.m_FrameCount = ocean.frameCount;
  seq.m_SpawnPeriod = 2.0f;
  seq.m_Lifetime = 3.0f;
  seq.m_FadeIn = 1.0f;
  for (int k = 0; k < 300; ++k) {
    seq.Update(1.0f / 30.0f);
    ASSERT_GE(seq.m_Items.size(), 1u);
    ASSERT_LE(seq.m_Items.size(), 2u);
  }
  EXPECT_FLOAT_EQ(seq.AlphaOf(3.0f), 0.0f);
  EXPECT_FLOAT_EQ(seq.AlphaOf(2.5f), 0.5f);
  EXPECT_FLOAT_EQ(seq.AlphaOf(0.1f), 1.0f);  // no fade-out: full alpha to the end

  cSpriteAnims anims(&batch);
  anims.Add({10.0f, 10.0f}, "back", "no such area");
  EXPECT_EQ(anims.Size(), 0u);
  anims.Add({10.0f, 10.0f}, "back", "wave");  // 2 frames at 4 per second: 0.5 s
  anims.Update(0.4f);
  EXPECT_EQ(anims.Size(), 1u);
  anims.Update(0.1f);
  EXPECT_EQ(anims.Size(), 0u);
}

}  // namespace
