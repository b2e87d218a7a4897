#pragma once
// Particle pools filled to capacity for the frame benches.
#include <memory>

#include "game/world/particles.h"

namespace bench {

// Every slot of the pool alive for a long time.
inline void Fill(cParticlePool& pool) {
  auto e = std::make_unique<cParticleEmitter>();
  e->flags = cParticleEmitter::e_Burst;
  e->interval = 1.0f / static_cast<vek::f32>(pool.GetCapacity());
  e->life[0] = e->life[1] = 1000.0f;
  e->size[0] = 2.0f, e->size[1] = 6.0f;
  e->spread = 300.0f;
  e->position = {500.0f, 400.0f, 0.0f};
  pool.AddEmitter(std::move(e));
  pool.Update(0.01f);
  pool.Update(0.01f);
}

}  // namespace bench
