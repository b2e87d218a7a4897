#pragma once
// Small visual pieces of the field, the island and the windows: the point tween's helpers,
// sprites flying along splines, one-shot sprite animations, cross-fading frame sequences and
// rising, fading texts. Each list is stepped and drawn by its owner into a quad batch.
#include <list>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/tween.h"
#include "engine/core/types.h"
#include "engine/render/curve.h"
#include "engine/render/quad_batch.h"

class cParticleEmitter;
class cParticles;

// Puts the tween at rest on the point.
void SetTweenAt(vek::cAnimatedVec2& tween, const vek::vec2& p);
// Whether the current point differs from the target (exactly).
bool IsTweenMoving(const vek::cAnimatedVec2& tween);

class cFadeSequence {
 public:
  struct cItem {
    vek::f32 life = 0.0f;
    vek::rectf rect;
    vek::rectf frame;
  };
  explicit cFadeSequence(vek::cQuadBatch* batch) : m_pBatch(batch) {}
  void Update(vek::f32 dt);
  void Draw() const;
  // The alpha of an item with that much life left.
  vek::f32 AlphaOf(vek::f32 life) const;

  vek::cQuadBatch* m_pBatch = nullptr;
  std::list<cItem> m_Items;
  vek::u32 m_Texture = 0;
  const vek::rectf* m_pFrames = nullptr;
  vek::u32 m_FrameCount = 0;
  vek::f32 m_SpawnTimer = 0.0f;
  vek::f32 m_SpawnPeriod = 0.0f;
  vek::f32 m_Lifetime = 0.0f;
  vek::f32 m_FadeIn = 0.0f;
  vek::f32 m_FadeOut = 0.0f;
  vek::rectf m_Rect;
  vek::u32 m_Frame = 0;
  vek::u8 m_bEnabled = 1;
};

class cFlyer {
 public:
  // The point becomes a key at the parameter; the first key also places every trail point.
  void AddPoint(const vek::vec2& point, vek::f32 parameter);

  vek::f32 t = 0.0f;
  vek::curve_CatmullRomSpline<vek::vec2> spline;
  std::vector<vek::vec2> trail;
  vek::f32 spacing = 0.0f;
  vek::u32 texture = 0;
  const vek::rectf* frames = nullptr;
  vek::f32 width = 0.0f, height = 0.0f;
  vek::u32 frame = 0;
  vek::u32 frameCount = 0;
  vek::f32 frameTimer = 0.0f;
  vek::f32 frameTime = 0.0f;
  cParticleEmitter* emitter = nullptr;
};

class cFlyerList {
 public:
  // The particle system gives trails and arrival bursts (none: no particles).
  cFlyerList(vek::cQuadBatch* batch, cParticles* particles) : m_pBatch(batch), m_pParticles(particles) {}
  ~cFlyerList() { Clear(); }
  cFlyerList(const cFlyerList&) = delete;
  cFlyerList& operator=(const cFlyerList&) = delete;

  cFlyer* Add(const vek::string& texture, const vek::string& area, vek::f32 spacing, vek::u32 trailPoints);
  void Update(vek::f32 dt);
  void Draw() const;
  void Clear();
  size_t Size() const { return m_Flyers.size(); }
  std::list<cFlyer>& GetFlyers() { return m_Flyers; }

  vek::cQuadBatch* m_pBatch = nullptr;
  cParticles* m_pParticles = nullptr;
  vek::u8 m_bTrail = 0;

 private:
  std::list<cFlyer> m_Flyers;
};

class cSpriteAnims {
 public:
  struct cItem {
    vek::f32 t = 0.0f;
    vek::rectf rect;
    vek::u32 texture = 0;
    const vek::rectf* frames = nullptr;
    vek::u32 frameCount = 0;
    vek::f32 frameTime = 0.0f;
  };
  explicit cSpriteAnims(vek::cQuadBatch* batch) : m_pBatch(batch) {}
  void Add(const vek::vec2& centre, const vek::string& texture, const vek::string& area);
  void Update(vek::f32 dt);
  void Draw() const;
  size_t Size() const { return m_Items.size(); }

  vek::cQuadBatch* m_pBatch = nullptr;
  std::list<cItem> m_Items;
};

class cFloatingTexts {
 public:
  struct cItem {
    vek::f32 life = 0.0f;
    vek::string text;
    vek::vec2 position;
    vek::u32 color = 0xFFFFFFFFu;
  };
  // The font is looked up by name once.
  cFloatingTexts(vek::cQuadBatch* batch, const vek::string& fontName);
  void Add(const vek::string& text, const vek::vec2& centre);
  void Update(vek::f32 dt);
  // Draws the texts and flushes the batch; what earlier layers queued is drawn first, not lost.
  // Without texts it leaves the batch to its pass's own flush (flushing a pass that was drawn
  // already would draw it twice).
  void Draw() const;
  void Clear() { m_Items.clear(); }
  size_t Size() const { return m_Items.size(); }

  vek::cQuadBatch* m_pBatch = nullptr;
  vek::u32 m_Font = 0;
  std::list<cItem> m_Items;
};
