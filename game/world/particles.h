#pragma once
// The particle system: camera-facing textured squares in four fixed-size pools, fed by small
// emitter records. Each pool writes its live particles into one vertex array per update and
// draws them with one call. The generator is the system's own (state x 69069 + 1).
#include <memory>
#include <vector>

#include "engine/core/types.h"
#include "engine/core/vec.h"
#include "engine/render/quad_batch.h"

struct cParticle {
  vek::f32 life = 0.0f;
  vek::vec3 position;
  vek::f32 birthLife = 0.0f;
  vek::f32 size = 0.0f;
  vek::f32 sizeRate = 0.0f;
  vek::vec3 velocity;
  vek::vec3 acceleration;
  vek::u8 alphaOnly = 0;
  vek::u32 colors[3] = {0, 0, 0};  // birth, middle, death
};

class cParticleEmitter {
 public:
  enum : vek::u32 { e_Stop = 1u << 0, e_Burst = 1u << 2 };

  vek::f32 accumulator = 0.0f;
  vek::u32 flags = 0;
  vek::u32 toEmit = 0;
  vek::u32 emitted = 0;
  vek::f32 interval = 0.0f;
  vek::vec3 position;
  vek::f32 spread = 0.0f;
  vek::f32 life[2] = {1.0f, 2.0f};
  vek::f32 size[2] = {1.0f, 1.0f};
  vek::f32 sizeRate = 0.0f;
  vek::vec3 velocityMin, velocityMax;
  vek::vec3 acceleration;
  vek::u8 alphaOnly = 1;
  vek::u32 colors[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};

  void Stop() { flags |= e_Stop; }
  bool IsStopped() const { return (flags & e_Stop) != 0; }
  // Works out how many particles this update emits.
  void Step(vek::f32 dt);
};

// The shared generator of the emitters.
void SetParticleSeed(vek::u32 state);
vek::u32 GetParticleSeed();
// One draw in [0, 1).
vek::f32 ParticleRandom();

class cParticlePool {
 public:
  explicit cParticlePool(vek::u32 capacity);
  cParticlePool(const cParticlePool&) = delete;
  cParticlePool& operator=(const cParticlePool&) = delete;

  // The camera axes come from the view matrix (row-major 4 x 4).
  void SetView(const vek::f32* view) { m_pView = view; }
  void Update(vek::f32 dt);
  // Queues the quads of the last update with the texture; the caller flushes the batch with
  // the blending it wants (one draw call for the pool).
  void Draw(vek::cQuadBatch* batch, vek::u32 texture) const;
  // Deletes every emitter and ends every particle.
  void Clear();
  // Takes ownership.
  cParticleEmitter* AddEmitter(std::unique_ptr<cParticleEmitter> emitter);

  vek::u32 GetCapacity() const { return static_cast<vek::u32>(m_Particles.size()); }
  vek::u32 GetQuadCount() const { return m_QuadCount; }
  vek::u32 GetHighest() const { return m_Highest; }
  vek::u32 GetEmitterCount() const { return static_cast<vek::u32>(m_Emitters.size()); }
  vek::u32 CountLive() const;
  const std::vector<cParticle>& GetParticles() const { return m_Particles; }
  const std::vector<vek::cVertex2D>& GetVertices() const { return m_Vertices; }

 private:
  void Emit(cParticleEmitter& e, cParticle& p);
  void WriteQuad(const cParticle& p);

  std::vector<vek::cVertex2D> m_Vertices;  // one quad per particle
  vek::u32 m_QuadCount = 0;
  vek::vec3 m_Right{1.0f, 0.0f, 0.0f};
  vek::vec3 m_Up{0.0f, 1.0f, 0.0f};
  const vek::f32* m_pView = nullptr;
  vek::u32 m_Highest = 0;
  std::vector<std::unique_ptr<cParticleEmitter>> m_Emitters;
  std::vector<cParticle> m_Particles;
  std::vector<cParticleEmitter*> m_Serving;  // kept between updates to avoid allocations
};

class cParticles {
 public:
  static constexpr vek::u32 kPoolCount = 4;

  cParticles();
  // Looks the three textures up by name ("part01", "part00", "part02").
  void LoadTextures();

  cParticleEmitter* AddLevelEmitter();
  cParticleEmitter* AddFlyerTrail();
  cParticleEmitter* AddBurst(const vek::vec3& position, vek::u32 count, vek::f32 spread);
  cParticleEmitter* AddPlantBurst(const vek::vec3& position, vek::f32 spread);

  // Queues layer k: 0 pool 0 ("part01"), 1 pool 1 ("part02"), 2 pool 3 ("part00"), 3 pool 2
  // ("part01"), 4 pool 3 ("part00").
  void DrawLayer(vek::u32 layer, vek::cQuadBatch* batch) const;
  // Quads the layer would draw now (0 for a layer past the last).
  vek::u32 GetLayerQuads(vek::u32 layer) const;
  void ClearAll();

  cParticlePool& GetPool(vek::u32 i) { return *m_Pools[i]; }
  // View matrices: [0] pools 0 and 1, [1] pool 3, [2] pool 2.
  vek::f32 m_Views[3][16] = {};

 private:
  std::unique_ptr<cParticlePool> m_Pools[kPoolCount];
  vek::u32 m_Textures[3] = {0, 0, 0};  // part01, part00, part02
};
