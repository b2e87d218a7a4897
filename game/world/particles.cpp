#include "game/world/particles.h"

#include <cmath>
#include <cstring>

#include "engine/render/texture_manager.h"

namespace {

vek::u32 g_ParticleState = 0;

vek::f32 RandomIn(vek::f32 lo, vek::f32 hi) { return lo + (hi - lo) * ParticleRandom(); }

vek::u8 Channel(vek::u32 c, int shift) { return static_cast<vek::u8>((c >> shift) & 0xFF); }

// Byte-wise a x wa + b x wb, each channel rounded.
vek::u32 Blend(vek::u32 a, vek::f32 wa, vek::u32 b, vek::f32 wb) {
  vek::u32 out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const vek::f32 v = static_cast<vek::f32>(Channel(a, shift)) * wa + static_cast<vek::f32>(Channel(b, shift)) * wb;
    const long r = std::lround(v);
    out |= static_cast<vek::u32>(r < 0 ? 0 : (r > 255 ? 255 : r)) << shift;
  }
  return out;
}

}  // namespace

void SetParticleSeed(vek::u32 state) { g_ParticleState = state; }
vek::u32 GetParticleSeed() { return g_ParticleState; }

vek::f32 ParticleRandom() {
  g_ParticleState = g_ParticleState * 69069u + 1u;
  return static_cast<vek::f32>(g_ParticleState & 0x7FFF) / 32768.0f;
}

void cParticleEmitter::Step(vek::f32 dt) {
  const bool burst = (flags & e_Burst) != 0;
  if (interval == 0.0f) {
    toEmit = 0;
    // A burst of nothing has nothing left to do.
    if (burst) flags |= e_Stop;
    return;
  }
  if (!burst) {
    accumulator += dt;
    const vek::u32 n = static_cast<vek::u32>(accumulator / interval);
    toEmit = n;
    accumulator -= static_cast<vek::f32>(n) * interval;
  } else if (toEmit == 0) {
    toEmit = static_cast<vek::u32>(1.0 / static_cast<double>(interval));
  }
}

cParticlePool::cParticlePool(vek::u32 capacity)
    : m_Vertices(static_cast<size_t>(capacity) * vek::kQuadVertices), m_Particles(capacity) {
  m_Serving.reserve(16);
}

cParticleEmitter* cParticlePool::AddEmitter(std::unique_ptr<cParticleEmitter> emitter) {
  m_Emitters.push_back(std::move(emitter));
  return m_Emitters.back().get();
}

vek::u32 cParticlePool::CountLive() const {
  vek::u32 n = 0;
  for (const cParticle& p : m_Particles)
    if (p.life > 0.0f) ++n;
  return n;
}

void cParticlePool::Emit(cParticleEmitter& e, cParticle& p) {
  p.life = p.birthLife = RandomIn(e.life[0], e.life[1]);
  p.size = RandomIn(e.size[0], e.size[1]);
  p.sizeRate = e.sizeRate;
  p.position = e.position;
  if (e.spread != 0.0f) {
    const vek::f32 r1 = ParticleRandom();
    const vek::f32 r2 = ParticleRandom();
    p.position.x += (r2 - 0.5f) * 2.0f * e.spread;
    p.position.y += (r1 - 0.5f) * 2.0f * e.spread;
  }
  const vek::f32 r1 = ParticleRandom(), r2 = ParticleRandom(), r3 = ParticleRandom();
  p.velocity = {e.velocityMin.x + (e.velocityMax.x - e.velocityMin.x) * r3,
                e.velocityMin.y + (e.velocityMax.y - e.velocityMin.y) * r2,
                e.velocityMin.z + (e.velocityMax.z - e.velocityMin.z) * r1};
  p.acceleration = e.acceleration;
  p.alphaOnly = e.alphaOnly;
  for (int k = 0; k < 3; ++k) p.colors[k] = e.colors[k];
  if (e.toEmit > 0) --e.toEmit;
  ++e.emitted;
  if ((e.flags & cParticleEmitter::e_Burst) && e.toEmit == 0) e.flags |= cParticleEmitter::e_Stop;
}

void cParticlePool::WriteQuad(const cParticle& p) {
  vek::u32 color;
  if (p.alphaOnly) {
    const vek::f32 a = p.life < 0.0f ? 0.0f : (p.life > 1.0f ? 1.0f : p.life);
    color = (static_cast<vek::u32>(std::lround(a * 255.0f)) << 24) | 0x00FFFFFFu;
  } else {
    const vek::f32 f = p.birthLife != 0.0f ? 2.0f * p.life / p.birthLife : 0.0f;
    color = f <= 1.0f ? Blend(p.colors[2], 1.0f - f, p.colors[1], f) : Blend(p.colors[1], 2.0f - f, p.colors[0], f - 1.0f);
  }
  const vek::vec3 r = m_Right * p.size, u = m_Up * p.size;
  // The corners in the batch's quad order (left-bottom, right-bottom, left-top, right-top);
  // the field is drawn flat, so depth plays no part.
  const vek::vec3 c[4] = {p.position - r - u, p.position + r - u, p.position - r + u, p.position + r + u};
  static constexpr vek::f32 kU[4] = {0.0f, 1.0f, 0.0f, 1.0f};
  static constexpr vek::f32 kV[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  vek::cVertex2D* v = &m_Vertices[static_cast<size_t>(m_QuadCount) * vek::kQuadVertices];
  for (vek::u32 k = 0; k < vek::kQuadVertices; ++k) v[k] = vek::cVertex2D{c[k].x, c[k].y, color, kU[k], kV[k]};
  ++m_QuadCount;
}

void cParticlePool::Update(vek::f32 dt) {
  m_QuadCount = 0;
  if (m_pView) {
    m_Right = {m_pView[0], m_pView[4], m_pView[8]};
    m_Up = {m_pView[1], m_pView[5], m_pView[9]};
  }
  m_Serving.clear();
  for (size_t k = 0; k < m_Emitters.size();) {
    cParticleEmitter& e = *m_Emitters[k];
    if (e.IsStopped()) {
      m_Emitters.erase(m_Emitters.begin() + static_cast<std::ptrdiff_t>(k));
      continue;
    }
    e.Step(dt);
    if (e.toEmit > 0 && !e.IsStopped()) m_Serving.push_back(&e);
    ++k;
  }
  const vek::u32 previousHighest = m_Highest;
  vek::u32 highest = 0;
  size_t turn = 0;
  const vek::u32 capacity = GetCapacity();
  for (vek::u32 i = 0; i < capacity; ++i) {
    cParticle& p = m_Particles[i];
    if (p.life > 0.0f) {
      p.life -= dt;
      if (p.life > 0.0f) {
        p.velocity += p.acceleration * dt;
        p.position += p.velocity * dt;
        p.size += p.sizeRate * dt;
        if (p.size < 0.0f) p.size = 0.0f;
      } else {
        p.size = 0.0f;
      }
      WriteQuad(p);
      highest = i;
    } else if (!m_Serving.empty()) {
      if (turn >= m_Serving.size()) turn = 0;
      cParticleEmitter& e = *m_Serving[turn];
      Emit(e, p);
      highest = i;
      if (e.toEmit == 0) {
        m_Serving.erase(m_Serving.begin() + static_cast<std::ptrdiff_t>(turn));
      } else {
        ++turn;
      }
    } else if (i >= previousHighest) {
      break;
    }
  }
  m_Highest = highest;
}

void cParticlePool::Draw(vek::cQuadBatch* batch, vek::u32 texture) const {
  if (!batch || m_QuadCount == 0) return;
  const vek::u32 n = m_QuadCount * vek::kQuadVertices;
  vek::cVertex2D* out = vek::AddBatch(batch, texture, n);
  if (out) std::memcpy(out, m_Vertices.data(), sizeof(vek::cVertex2D) * n);
}

void cParticlePool::Clear() {
  m_Emitters.clear();
  m_Serving.clear();
  for (cParticle& p : m_Particles) p.life = 0.0f;
  m_Highest = 0;
  m_QuadCount = 0;
}

cParticles::cParticles() {
  static constexpr vek::u32 kCapacity[kPoolCount] = {240, 1500, 120, 1000};
  for (vek::u32 i = 0; i < kPoolCount; ++i) m_Pools[i] = std::make_unique<cParticlePool>(kCapacity[i]);
  m_Pools[0]->SetView(m_Views[0]);
  m_Pools[1]->SetView(m_Views[0]);
  m_Pools[3]->SetView(m_Views[1]);
  m_Pools[2]->SetView(m_Views[2]);
  // Until an owner copies its view: the flat screen's axes.
  for (auto& m : m_Views) m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void cParticles::LoadTextures() {
  static const char* const kNames[3] = {"part01", "part00", "part02"};
  for (int i = 0; i < 3; ++i) m_Textures[i] = vek::g_pTextureManager ? vek::g_pTextureManager->FindIndex(kNames[i]) : 0;
}

cParticleEmitter* cParticles::AddLevelEmitter() {
  auto e = std::make_unique<cParticleEmitter>();
  e->interval = 0.1f;
  e->life[0] = 4.0f, e->life[1] = 8.0f;
  e->size[0] = 2.0f, e->size[1] = 4.0f;
  e->sizeRate = 1.0f;
  e->velocityMin = {-2.0f, 10.0f, 0.0f};
  e->velocityMax = {2.0f, 15.0f, 0.0f};
  e->alphaOnly = 0;
  e->colors[0] = 0x00FFFFFFu, e->colors[1] = 0xFFFFFFFFu, e->colors[2] = 0x00FFFFFFu;
  return m_Pools[0]->AddEmitter(std::move(e));
}

cParticleEmitter* cParticles::AddFlyerTrail() {
  auto e = std::make_unique<cParticleEmitter>();
  e->interval = 1.0f / 45.0f;
  e->spread = 6.0f;
  e->life[0] = 3.0f, e->life[1] = 5.0f;
  e->size[0] = 1.0f, e->size[1] = 4.0f;
  e->sizeRate = -0.2f;
  e->velocityMin = {-5.0f, -5.0f, -5.0f};
  e->velocityMax = {5.0f, 5.0f, 5.0f};
  e->acceleration = {0.0f, -7.0f, 0.0f};
  return m_Pools[3]->AddEmitter(std::move(e));
}

cParticleEmitter* cParticles::AddBurst(const vek::vec3& position, vek::u32 count, vek::f32 spread) {
  auto e = std::make_unique<cParticleEmitter>();
  e->interval = count ? 1.0f / static_cast<vek::f32>(count) : 0.0f;
  e->flags = cParticleEmitter::e_Burst | (count ? 0u : cParticleEmitter::e_Stop);
  e->position = position;
  e->spread = spread;
  e->life[0] = 2.0f, e->life[1] = 4.0f;
  e->size[0] = 2.0f, e->size[1] = 8.0f;
  e->sizeRate = -0.5f;
  e->velocityMin = {-20.0f, -20.0f, -20.0f};
  e->velocityMax = {20.0f, 20.0f, 20.0f};
  e->acceleration = {0.0f, -15.0f, 0.0f};
  return m_Pools[3]->AddEmitter(std::move(e));
}

cParticleEmitter* cParticles::AddPlantBurst(const vek::vec3& position, vek::f32 spread) {
  auto e = std::make_unique<cParticleEmitter>();
  e->interval = 0.1f;
  e->flags = cParticleEmitter::e_Burst;
  e->position = position;
  e->spread = spread;
  e->life[0] = 1.3f, e->life[1] = 1.8f;
  e->size[0] = 8.0f, e->size[1] = 10.0f;
  e->sizeRate = -0.2f;
  e->velocityMin = {0.0f, 7.0f, 0.0f};
  e->velocityMax = {0.0f, 12.0f, 0.0f};
  e->acceleration = {0.0f, -5.0f, 0.0f};
  return m_Pools[1]->AddEmitter(std::move(e));
}

namespace {
constexpr vek::u32 kLayerPool[5] = {0, 1, 3, 2, 3};
}  // namespace

vek::u32 cParticles::GetLayerQuads(vek::u32 layer) const {
  return layer < 5 ? m_Pools[kLayerPool[layer]]->GetQuadCount() : 0;
}

void cParticles::DrawLayer(vek::u32 layer, vek::cQuadBatch* batch) const {
  static constexpr vek::u32 kTexture[5] = {0, 2, 1, 0, 1};
  static constexpr const vek::u32* kPool = kLayerPool;
  if (layer >= 5) return;
  m_Pools[kPool[layer]]->Draw(batch, m_Textures[kTexture[layer]]);
}

void cParticles::ClearAll() {
  for (auto& pool : m_Pools) pool->Clear();
}
