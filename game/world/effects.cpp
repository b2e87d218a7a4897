#include "game/world/effects.h"

#include "engine/core/color.h"
#include "engine/render/font.h"
#include "game/world/particles.h"
#include "game/app/sprite.h"

void SetTweenAt(vek::cAnimatedVec2& tween, const vek::vec2& p) {
  tween.start = tween.target = tween.current = p;
  tween.elapsed = tween.duration = 0.0f;
}

bool IsTweenMoving(const vek::cAnimatedVec2& tween) { return tween.current != tween.target; }

static vek::u32 WhiteWithAlpha(vek::f32 a) { return vek::ColorFromFloats(1.0f, 1.0f, 1.0f, a); }

// ---- fade sequence

void cFadeSequence::Update(vek::f32 dt) {
  if (m_FrameCount == 0 || !m_bEnabled) return;
  m_SpawnTimer -= dt;
  if (m_SpawnTimer <= 0.0f) {
    if (++m_Frame >= m_FrameCount) m_Frame = 0;
    m_SpawnTimer = m_SpawnPeriod;
    m_Items.push_back(cItem{m_Lifetime, m_Rect, m_pFrames ? m_pFrames[m_Frame] : vek::rectf{}});
  }
  for (auto it = m_Items.begin(); it != m_Items.end();) {
    it->life -= dt;
    if (it->life > 0.0f) ++it;
    else it = m_Items.erase(it);
  }
}

vek::f32 cFadeSequence::AlphaOf(vek::f32 life) const {
  if (m_FadeIn != 0.0f && life >= m_Lifetime - m_FadeIn) return (m_Lifetime - life) / m_FadeIn;
  if (m_FadeOut != 0.0f && life < m_FadeOut) return life / m_FadeOut;
  return 1.0f;
}

void cFadeSequence::Draw() const {
  if (!m_pBatch) return;
  for (const cItem& item : m_Items) vek::DrawQuad(m_pBatch, m_Texture, item.rect, item.frame, WhiteWithAlpha(AlphaOf(item.life)));
}

// ---- flyers

void cFlyer::AddPoint(const vek::vec2& point, vek::f32 parameter) {
  spline.AddKey(point, parameter);
  if (spline.GetKeyCount() == 1)
    for (vek::vec2& p : trail) p = point;
}

cFlyer* cFlyerList::Add(const vek::string& texture, const vek::string& area, vek::f32 spacing, vek::u32 trailPoints) {
  cFlyer& f = m_Flyers.emplace_back();
  f.spacing = spacing;
  f.trail.assign(trailPoints, vek::vec2{});
  const cSprite rec = FindSprite(texture, area);
  if (rec.texture) {
    f.texture = rec.texture;
    f.frames = rec.frames;
    f.frameCount = rec.frameCount;
    f.width = rec.width;
    f.height = rec.height;
    f.frameTime = rec.secondsPerFrame;
  }
  if (m_bTrail && m_pParticles) f.emitter = m_pParticles->AddFlyerTrail();
  return &f;
}

void cFlyerList::Update(vek::f32 dt) {
  for (auto it = m_Flyers.begin(); it != m_Flyers.end();) {
    cFlyer& f = *it;
    f.t += dt;
    const vek::u32 n = static_cast<vek::u32>(f.trail.size());
    if (f.spline.IsPastEnd(static_cast<vek::f32>(n) * f.spacing + f.t)) {
      if (f.emitter) f.emitter->Stop();
      if (m_pParticles) {
        const vek::vec2 head = n ? f.trail[0] : vek::vec2{};
        m_pParticles->AddBurst({head.x, head.y, 0.0f}, 50, 15.0f);
      }
      it = m_Flyers.erase(it);
      continue;
    }
    for (vek::u32 i = 0; i < n; ++i) {
      const vek::f32 s = static_cast<vek::f32>(i) * f.spacing + f.t;
      if (s < 0.0f) f.trail[i] = f.spline.GetKey(0);
      else if (f.spline.IsPastEnd(s)) f.trail[i] = f.spline.GetKey(f.spline.GetKeyCount() - 1);
      else f.trail[i] = f.spline.GetPosition(s);
    }
    if (f.emitter && n) f.emitter->position = {f.trail[0].x, f.trail[0].y, 0.0f};
    f.frameTimer += dt;
    if (f.frameTimer > f.frameTime) {
      f.frameTimer -= f.frameTime;
      if (++f.frame >= f.frameCount) f.frame = 0;
    }
    ++it;
  }
}

void cFlyerList::Draw() const {
  if (!m_pBatch) return;
  for (const cFlyer& f : m_Flyers) {
    const vek::u32 n = static_cast<vek::u32>(f.trail.size());
    if (!f.frames || n == 0) continue;
    const vek::u32 step = 255 / n;
    const vek::u32 frame = f.frame < f.frameCount ? f.frame : 0;
    for (vek::u32 k = n; k-- > 0;) {
      const vek::u32 alpha = (255 - step * k) & 0xFF;
      const vek::vec2 p = f.trail[k];
      vek::DrawQuad(m_pBatch, f.texture, {p.x - f.width * 0.5f, p.y - f.height * 0.5f, f.width, f.height}, f.frames[frame],
                    (alpha << 24) | 0x00FFFFFFu);
    }
  }
}

void cFlyerList::Clear() {
  for (cFlyer& f : m_Flyers)
    if (f.emitter) f.emitter->Stop();
  m_Flyers.clear();
}

// ---- sprite animations

void cSpriteAnims::Add(const vek::vec2& centre, const vek::string& texture, const vek::string& area) {
  const cSprite rec = FindSprite(texture, area);
  if (!rec.texture) return;
  m_Items.push_back(cItem{0.0f, {centre.x - rec.width * 0.5f, centre.y - rec.height * 0.5f, rec.width, rec.height},
                          rec.texture, rec.frames, rec.frameCount, rec.secondsPerFrame});
}

void cSpriteAnims::Update(vek::f32 dt) {
  for (auto it = m_Items.begin(); it != m_Items.end();) {
    it->t += dt;
    // A frame time of 0 would never end: such an item shows its one picture once.
    const bool done = it->frameTime > 0.0f ? !(it->t / it->frameTime < static_cast<vek::f32>(it->frameCount)) : true;
    if (done) it = m_Items.erase(it);
    else ++it;
  }
}

void cSpriteAnims::Draw() const {
  if (!m_pBatch) return;
  for (const cItem& item : m_Items) {
    vek::u32 frame = item.frameTime > 0.0f ? static_cast<vek::u32>(item.t / item.frameTime) : 0;
    if (frame >= item.frameCount) frame = item.frameCount - 1;
    vek::DrawQuad(m_pBatch, item.texture, item.rect, item.frames[frame], 0xFFFFFFFFu);
  }
}

// ---- floating texts

cFloatingTexts::cFloatingTexts(vek::cQuadBatch* batch, const vek::string& fontName) : m_pBatch(batch) {
  m_Font = vek::GetFonts() ? vek::GetFonts()->FindIndex(fontName) : 0;
}

void cFloatingTexts::Add(const vek::string& text, const vek::vec2& centre) {
  const vek::vec2 size = vek::MeasureText(m_Font, text);
  m_Items.push_back(cItem{2.0f, text, centre - size * 0.5f, 0xFFFFFFFFu});
}

void cFloatingTexts::Update(vek::f32 dt) {
  for (auto it = m_Items.begin(); it != m_Items.end();) {
    it->life -= dt;
    if (!(it->life > 0.0f)) {
      it = m_Items.erase(it);
      continue;
    }
    it->position.y += 12.0f * dt;
    if (it->life < 1.0f) it->color = WhiteWithAlpha(it->life);
    ++it;
  }
}

void cFloatingTexts::Draw() const {
  if (!m_pBatch || m_Items.empty()) return;
  // What earlier layers queued goes out first, in order, in the same flush.
  for (const cItem& item : m_Items) vek::DrawText(m_pBatch, m_Font, item.position, item.text, item.color);
  vek::FlushBatches(m_pBatch);
  m_pBatch->Clear();
}
