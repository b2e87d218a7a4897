#include <gtest/gtest.h>

#include "game/world/particles.h"
#include "tests/support/world_harness.h"

namespace {

TEST(Particles, GeneratorFirstDraws) {
  SetParticleSeed(0);
  EXPECT_EQ(ParticleRandom(), 1.0f / 32768.0f);
  EXPECT_EQ(GetParticleSeed(), 1u);
  EXPECT_EQ(ParticleRandom(), 3534.0f / 32768.0f);
  EXPECT_EQ(GetParticleSeed(), 69070u);
}

class ParticlesTest : public ::testing::Test {
 protected:
  void SetUp() override { SetParticleSeed(0); }
  cParticles parts;
};

TEST_F(ParticlesTest, BurstOfNothingStopsAtOnce) {
  cParticleEmitter* e = parts.AddBurst({0, 0, 0}, 0, 1.0f);
  EXPECT_EQ(e->interval, 0.0f);
  EXPECT_TRUE(e->IsStopped());
  parts.GetPool(3).Update(0.1f);
  EXPECT_EQ(parts.GetPool(3).GetEmitterCount(), 0u);
  EXPECT_EQ(parts.GetPool(3).CountLive(), 0u);
}

TEST_F(ParticlesTest, BurstIntoAFullPoolWaitsForFreeSlots) {
  cParticlePool& pool = parts.GetPool(3);  // 1000 slots: fill 980 with long-lived particles
  cParticleEmitter* filler = parts.AddBurst({0, 0, 0}, 980, 0.0f);
  filler->life[0] = filler->life[1] = 100.0f;
  pool.Update(0.01f);
  ASSERT_EQ(pool.CountLive(), 980u);
  cParticleEmitter* burst = parts.AddBurst({0, 0, 0}, 50, 15.0f);
  pool.Update(0.01f);
  EXPECT_EQ(pool.CountLive(), 1000u);
  EXPECT_EQ(burst->emitted, 20u);
  EXPECT_EQ(burst->toEmit, 30u);
  EXPECT_FALSE(burst->IsStopped());
  for (cParticle& p : const_cast<std::vector<cParticle>&>(pool.GetParticles())) p.life = std::min(p.life, 0.005f);
  pool.Update(0.01f);  // every slot frees; the burst goes on into the freed ones in later updates
  pool.Update(0.01f);
  EXPECT_EQ(burst->emitted, 50u);
  EXPECT_TRUE(burst->IsStopped());
  pool.Update(0.01f);
  EXPECT_EQ(pool.GetEmitterCount(), 0u);
}

TEST_F(ParticlesTest, PlantBurstEmitsNineAndQuadsFollow) {
  cParticlePool& pool = parts.GetPool(1);
  parts.AddPlantBurst({100, 100, 0}, 0.0f);
  pool.Update(0.01f);
  EXPECT_EQ(pool.CountLive(), 9u);
  EXPECT_EQ(pool.GetQuadCount(), 0u);  // drawn from the next update on
  pool.Update(0.01f);
  EXPECT_EQ(pool.GetQuadCount(), 9u);
  vek::cQuadBatch batch;
  pool.Draw(&batch, 0);
  EXPECT_EQ(batch.GetUsed(), 1u);  // one record: one draw call for the pool
  EXPECT_EQ(batch.GetVertexCount(), 9 * vek::kQuadVertices);
}

TEST_F(ParticlesTest, AmbientFadesInAndOutAndSizeNeverNegative) {
  cParticlePool& pool = parts.GetPool(0);
  cParticleEmitter* e = parts.AddLevelEmitter();
  pool.Update(0.1f);  // one particle
  ASSERT_EQ(pool.CountLive(), 1u);
  e->Stop();
  cParticle& p = const_cast<cParticle&>(pool.GetParticles()[0]);
  auto alphaAt = [&](vek::f32 life) {
    p.life = life + 0.001f;
    pool.Update(0.001f);
    return pool.GetVertices()[0].color >> 24;
  };
  const vek::f32 birth = p.birthLife;
  EXPECT_EQ(alphaAt(birth), 0u);
  EXPECT_EQ(alphaAt(birth * 0.5f), 255u);
  EXPECT_EQ(alphaAt(0.0001f), 0u);

  p.life = 5.0f;
  p.size = 0.1f;
  p.sizeRate = -10.0f;
  pool.Update(0.1f);
  EXPECT_EQ(p.size, 0.0f);
}

}  // namespace
