// The island map's pictures: the ocean, the waterfall, the two island halves, the buildings,
// ships and people, the dots and markers along the levels, and the floating texts.
#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/texture_manager.h"
#include "game/app/game_rules.h"
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/island/island.h"
#include "game/world/particles.h"

// The current profile (the rules host keeps it; its header clashes with the world's ware id).
cPlayer* CurrentPlayer();

using vek::f32;
using vek::i32;
using vek::u32;
using vek::vec2;

namespace {

constexpr f32 kEpsilon = 1.1920929e-7f;
constexpr f32 kPi = 3.14159265f;

vec2 TextureSize(u32 texture) {
  const vek::cTexture* t = vek::g_pTextureManager ? vek::g_pTextureManager->Get(texture) : nullptr;
  return t ? vec2{static_cast<f32>(t->GetWidth()), static_cast<f32>(t->GetHeight())} : vec2{};
}

u32 FindTexture(const char* name) { return vek::g_pTextureManager ? vek::g_pTextureManager->FindIndex(name) : 0; }

// The view shifted by minus the offset (row vectors: the translation in the last row).
void SetViewOffset(const vec2& offset) {
  if (!vek::g_pRender) return;
  f32 view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -offset.x, -offset.y, 0, 1};
  vek::g_pRender->SetTransform(vek::e_TransformView, view);
}

void Flush(vek::cQuadBatch* batch) {
  vek::FlushBatches(batch);
  batch->Clear();
}

void DrawCentred(vek::cQuadBatch* batch, const cSprite& s, const vec2& c, u32 color, u32 frame = 0) {
  if (!s.texture || !s.frames || s.frameCount == 0) return;
  vek::DrawQuad(batch, s.texture, {c.x - s.width * 0.5f, c.y - s.height * 0.5f, s.width, s.height},
                s.frames[frame % s.frameCount], color);
}

u32 WhiteAlpha(f32 a) { return static_cast<u32>(std::clamp(a, 0.0f, 1.0f) * 255.0f) << 24 | 0x00FFFFFFu; }

// A point along the ship path's polyline at t in 0..1, and the direction there.
void PathAt(const std::vector<vec2>& keys, f32 t, vec2& point, vec2& dir) {
  point = keys.front();
  dir = {};
  if (keys.size() < 2) return;
  f32 total = 0.0f;
  for (size_t i = 1; i < keys.size(); ++i) total += (keys[i] - keys[i - 1]).Length();
  f32 at = std::clamp(t, 0.0f, 1.0f) * total;
  for (size_t i = 1; i < keys.size(); ++i) {
    const vec2 d = keys[i] - keys[i - 1];
    const f32 len = d.Length();
    if (at <= len || i + 1 == keys.size()) {
      const f32 u = len > kEpsilon ? std::min(at / len, 1.0f) : 0.0f;
      point = keys[i - 1] + d * u;
      dir = len > kEpsilon ? d * (1.0f / len) : vec2{};
      return;
    }
    at -= len;
  }
}

}  // namespace

void cIsland::SetBatch(vek::cQuadBatch* batch) {
  m_pBatch = batch;
  m_Effects.m_pBatch = batch;
  m_Texts.m_pBatch = batch;
}

void cIsland::LookUpTextures() {
  m_Ocean = FindSprite("island01", "total");
  if (m_Ocean.texture) m_OceanFrames.Init(static_cast<i32>(m_Ocean.frameCount), m_Ocean.secondsPerFrame > 0.0f ? 1.0f / m_Ocean.secondsPerFrame : 2.0f, vek::cFrameAnimation::e_LoopForward);
  m_Waterfall = FindSprite("island02_0", "total");
  m_WaterfallTextures[0] = FindTexture("island02_0");
  m_WaterfallTextures[1] = FindTexture("island02_1");
  m_WaterfallShown = 0;
  if (m_Waterfall.texture)
    m_WaterfallFrames.Init(static_cast<i32>(m_Waterfall.frameCount),
                           m_Waterfall.secondsPerFrame > 0.0f ? 1.0f / m_Waterfall.secondsPerFrame : 2.0f,
                           vek::cFrameAnimation::e_LoopForward);
  m_Halves[0] = FindTexture("island00_0");
  m_Halves[1] = FindTexture("island00_1");
  m_HalfSizes[0] = TextureSize(m_Halves[0]);
  m_HalfSizes[1] = TextureSize(m_Halves[1]);
  m_Dot = FindSprite("houses05", "point");
  m_Marker = FindSprite("houses05", "mp");
  m_MarkerSelect = FindSprite("houses05", "mp_select");
  for (int g = 0; g < 3; ++g) m_Medals[g] = FindSprite("houses05", cGameRules::GetMedalArea(g));
  m_Ship = FindSprite("icons00", "ship");
  m_WalkerFront = FindSprite("peacock01", "white_front");
  m_WalkerBack = FindSprite("peacock01", "white_back");
  if (!vek::g_pTextureManager) return;  // headless: nothing to draw, nothing to report
  if (!m_Ocean.texture) vek::LogWarning("cIsland", "Texture for ocean waves not found.\n");
  if (!m_Waterfall.texture) vek::LogWarning("cIsland", "Texture for waterfall not found.\n");
  if (!m_Halves[0] || !m_Halves[1]) vek::LogWarning("cIsland", "Texture for island not found.\n");
  if (!m_WalkerFront.texture || !m_WalkerBack.texture)
    vek::LogWarning("cIsland", "Texture or area for people not found.\n");
  if (m_WalkerFront.texture && m_WalkerBack.texture)
    m_Walkers.SetFigure({m_WalkerFront.width, m_WalkerFront.height}, m_WalkerFront.frameCount, m_WalkerBack.frameCount,
                        m_WalkerFront.secondsPerFrame > 0.0f ? m_WalkerFront.secondsPerFrame : 0.1f);
  if (m_Halves[0] && m_Halves[1]) SetMapSize({m_HalfSizes[0].x, m_HalfSizes[0].y + m_HalfSizes[1].y});
}

void cIsland::StepWaters() {
  m_OceanFrames.Update(kStep);
  const i32 before = m_WaterfallFrames.m_Frame;
  if (m_WaterfallFrames.Update(kStep) > 0 && m_WaterfallFrames.m_Frame == 0 && before != 0)
    m_WaterfallShown ^= 1u;
}

void cIsland::Render() {
  if (!m_pBatch) return;
  DrawMap();
  if (vek::g_pGame && vek::g_pGame->GetGUI()) vek::g_pGame->GetGUI()->Draw();
  // Flyers above the windows.
  iGardenServices* s = GardenServices();
  vek::Begin2D(1024.0f, 768.0f);
  m_pBatch->Clear();
  vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
  if (cFlyerList* flyers = s->GetFlyers()) {
    flyers->m_pBatch = m_pBatch;
    flyers->Draw();
  }
  if (cParticles* parts = s->GetParticles()) parts->DrawLayer(2, m_pBatch);
  Flush(m_pBatch);
  vek::SetBlendMode(vek::e_BlendNone, 0.0f);
  vek::End2D();
}

void cIsland::DrawMap() {
  vek::cQuadBatch* batch = m_pBatch;
  if (!batch) return;
  iGardenServices* s = GardenServices();
  const vec2 scroll{std::floor(m_Scroll.x), std::floor(m_Scroll.y)};
  vek::Begin2D(1024.0f, 768.0f);
  SetViewOffset(scroll);
  batch->Clear();
  vek::SetBlendMode(vek::e_BlendNone, 0.0f);

  // The ocean: the visible part of the map tiled with the current wave frame.
  if (m_Ocean.texture && m_Ocean.frames && m_Ocean.width > 0.0f && m_Ocean.height > 0.0f) {
    // Half a texel in from the frame's edges: the tiles meet without the neighbouring frame's
    // edge showing through the filtering.
    vek::rectf uv = m_Ocean.frames[static_cast<u32>(std::max(0, m_OceanFrames.m_Frame)) % m_Ocean.frameCount];
    const vec2 px = TextureSize(m_Ocean.texture);
    if (px.x > 0.0f && px.y > 0.0f) {
      uv.x += 0.5f / px.x;
      uv.w -= 1.0f / px.x;
      uv.y += 0.5f / px.y;
      uv.h -= 1.0f / px.y;
    }
    const i32 columns = static_cast<i32>(m_MapSize.x / m_Ocean.width) + 1;
    const i32 rows = static_cast<i32>(m_MapSize.y / m_Ocean.height) + 1;
    for (i32 r = 0; r < rows; ++r) {
      const f32 y = static_cast<f32>(r) * m_Ocean.height;
      if (y > scroll.y + kIslandScreenHeight || y + m_Ocean.height < scroll.y) continue;  // off screen
      for (i32 c = 0; c < columns; ++c) {
        const f32 x = static_cast<f32>(c) * m_Ocean.width;
        if (x > scroll.x + 1024.0f || x + m_Ocean.width < scroll.x) continue;
        vek::DrawQuad(batch, m_Ocean.texture, {x, y, m_Ocean.width, m_Ocean.height}, uv, 0xFFFFFFFFu);
      }
    }
    Flush(batch);
  }
  vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
  if (m_Waterfall.texture && m_Waterfall.frames) {
    const u32 tex = m_WaterfallTextures[m_WaterfallShown] ? m_WaterfallTextures[m_WaterfallShown] : m_Waterfall.texture;
    const u32 f = static_cast<u32>(std::max(0, m_WaterfallFrames.m_Frame)) % m_Waterfall.frameCount;
    vek::DrawQuad(batch, tex, {568.0f, 1666.0f, m_Waterfall.width, m_Waterfall.height}, m_Waterfall.frames[f],
                  0xFFFFFFFFu);
  }
  if (m_Halves[0])
    vek::DrawQuad(batch, m_Halves[0], {0.0f, m_HalfSizes[1].y, m_HalfSizes[0].x, m_HalfSizes[0].y},
                  {0.0f, 0.0f, 1.0f, 1.0f}, 0xFFFFFFFFu);
  if (m_Halves[1])
    vek::DrawQuad(batch, m_Halves[1], {0.0f, 0.0f, m_HalfSizes[1].x, m_HalfSizes[1].y}, {0.0f, 0.0f, 1.0f, 1.0f},
                  0xFFFFFFFFu);

  for (const auto& b : m_Buildings) b->DrawBack();
  for (const auto& b : m_Buildings) b->Draw();

  // Ships along their path, turned to their heading.
  if (m_Paths.shipKeys.size() >= 1 && m_Ship.texture && m_Ship.frames) {
    for (u32 k = 0, n = s->GetShipCount(); k < n; ++k) {
      vec2 p, d;
      PathAt(m_Paths.shipKeys, s->GetShip(k).progress, p, d);
      vek::DrawRotatedQuad(batch, m_Ship.texture,
                           {p.x - m_Ship.width * 0.5f, p.y - m_Ship.height * 0.5f, m_Ship.width, m_Ship.height},
                           m_Ship.frames[0], 0xFFFFFFFFu, std::atan2(d.y, d.x) + kPi * 0.5f);
    }
  }

  // People.
  for (const cWalker& w : m_Walkers.GetWalkers()) {
    const cSprite& sp = w.facingFront ? m_WalkerFront : m_WalkerBack;
    if (!sp.texture || !sp.frames || sp.frameCount == 0) continue;
    vek::DrawQuad(batch, sp.texture, {w.position.x, w.position.y, w.size.x, w.size.y}, sp.frames[w.frame % sp.frameCount],
                  WhiteAlpha(w.alpha));
  }
  m_Effects.Draw();
  for (const auto& b : m_Buildings) b->DrawFront();

  if (m_Mode != e_islNone) DrawMarkers();
  if (m_Mode == e_islAreas) DrawAreas();
  Flush(batch);

  // The floating texts sit on the screen, not on the map.
  SetViewOffset({});
  if (cParticles* parts = s->GetParticles()) parts->DrawLayer(0, batch);
  m_Texts.Draw();
  Flush(batch);
  vek::SetBlendMode(vek::e_BlendNone, 0.0f);
  vek::End2D();
}

void cIsland::DrawMarkers() {
  vek::cQuadBatch* batch = m_pBatch;
  iGardenServices* s = GardenServices();
  const i32 progress = s->GetLevelProgress();
  const size_t markers = m_Paths.markers.size();
  const u32 dots = VisibleDotCount(static_cast<u32>(m_Dots.size()), static_cast<u32>(markers), progress, m_Mode);
  for (u32 i = 0; i < dots; ++i) DrawCentred(batch, m_Dot, m_Dots[i], 0xFFFFFFFFu);
  const cPlayer* player = CurrentPlayer();
  const u32 shown = VisibleMarkerCount(static_cast<u32>(markers), progress, m_Mode);
  for (size_t i = 0; i < shown; ++i) {
    const vec2 at = m_Paths.markers[i] + vec2{0.0f, 15.0f};
    const bool hovered = static_cast<i32>(i) == m_HoveredMarker;
    if (hovered) DrawCentred(batch, m_MarkerSelect, at, 0xFFFFFFFFu);
    if (player && i < player->timeGrades.size()) {
      const i32 grade = player->timeGrades[i];
      const cSprite& medal = m_Medals[grade >= 0 && grade < 3 ? grade : 0];
      const bool pressed = hovered && static_cast<i32>(i) == m_PressedMarker && m_Mode == e_islMap;
      DrawCentred(batch, medal, at - vec2{0.0f, pressed ? 3.0f : 0.0f}, 0xFFFFFFFFu);
    } else {
      const f32 alpha = m_Mode == e_islMap ? 0.9f * m_Pulse.current + 0.1f : 1.0f;
      DrawCentred(batch, m_Marker, at, WhiteAlpha(alpha));
    }
  }
}

void cIsland::DrawAreas() {
  vek::cQuadBatch* batch = m_pBatch;
  if (!m_Dot.texture || !m_Dot.frames) return;
  const vek::rectf& uv = m_Dot.frames[0];
  for (size_t a = 0; a < m_Paths.areas.size(); ++a) {
    const u32 color = a == m_PlacedArea ? 0xFFFF8040u : 0xFFFFFFFFu;
    const cIslandArea& area = m_Paths.areas[a];
    for (const vec2& p : area.outline)
      vek::DrawQuad(batch, m_Dot.texture, {p.x - 2.0f, p.y - 2.0f, 4.0f, 4.0f}, uv, color);
    // The area's triangles, shaded: each one a quad whose last corner repeats its third, all
    // sampling the dot's solid middle. Indices were checked against the outline on reading.
    const f32 mu = uv.x + uv.w * 0.5f, mv = uv.y + uv.h * 0.5f;
    const size_t n = area.outline.size();
    for (const cAreaTriangle& t : area.triangles) {
      if (t.a >= n || t.b >= n || t.c >= n) continue;
      vek::cVertex2D* v = vek::AddBatch(batch, m_Dot.texture, vek::kQuadVertices);
      if (!v) break;
      const vec2 corners[4] = {area.outline[t.a], area.outline[t.b], area.outline[t.c], area.outline[t.c]};
      for (int i = 0; i < 4; ++i) v[i] = {corners[i].x, corners[i].y, 0x5C000000u, mu, mv};
    }
  }
  for (const vec2& p : m_Paths.walkways)
    vek::DrawQuad(batch, m_Dot.texture, {p.x - 1.0f, p.y - 1.0f, 2.0f, 2.0f}, uv, 0xFFC00000u);
}
