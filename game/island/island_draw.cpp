// The island map's pictures: the ocean, the waterfall, the two island halves, the buildings,
// ships and people, the dots and markers along the levels, and the floating texts.
#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
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

// The island's two halves over the ocean, cell by cell (cells of the pictures' coverage, see
// vek::cCoverage): the ocean is left out under solid cells, solid cells are drawn without
// blending, clear cells not at all, so that no pixel of the backdrop is filled twice. The
// picture is the one that the ocean, the waterfall and the blended halves drawn whole give.
constexpr f32 kCell = static_cast<f32>(vek::kCoverageCell);

struct cHalf {
  u32 texture = 0;
  vec2 at, size;                          // on the map; a unit is a pixel of the picture
  const vek::cCoverage* cover = nullptr;  // null: not known, drawn whole over the ocean
};

bool Overlaps(const vek::rectf& a, const vek::rectf& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Whether the island covers map cell (column, row) fully, with nothing of the ocean showing.
bool OceanHidden(const cHalf (&halves)[2], i32 column, i32 row) {
  const f32 x = static_cast<f32>(column) * kCell, y = static_cast<f32>(row) * kCell;
  for (const cHalf& h : halves) {
    if (!h.texture || !h.cover) continue;
    if (x < h.at.x || y < h.at.y || x + kCell > h.at.x + h.size.x || y + kCell > h.at.y + h.size.y) continue;
    const f32 cx = (x - h.at.x) / kCell, cy = (y - h.at.y) / kCell;
    // Cells of a half that does not stand on the map's grid are not the map's cells.
    if (cx != std::floor(cx) || cy != std::floor(cy)) continue;
    return h.cover->At(static_cast<u32>(cx), static_cast<u32>(cy)) == vek::cCoverage::e_Solid;
  }
  return false;
}

// Calls emit(first, end) for each run of columns first..end-1 in [from, to) that pass keep.
template <class Keep, class Emit>
void Runs(i32 from, i32 to, Keep keep, Emit emit) {
  i32 start = -1;
  for (i32 c = from; c <= to; ++c) {
    const bool k = c < to && keep(c);
    if (k && start < 0) start = c;
    if (!k && start >= 0) {
      emit(start, c);
      start = -1;
    }
  }
}

// The part of the half from map x0..x1, y0..y1 as one quad.
void HalfQuad(vek::cQuadBatch* batch, const cHalf& h, f32 x0, f32 y0, f32 x1, f32 y1) {
  vek::DrawQuad(batch, h.texture, {x0, y0, x1 - x0, y1 - y0},
                {(x0 - h.at.x) / h.size.x, (y0 - h.at.y) / h.size.y, (x1 - x0) / h.size.x, (y1 - y0) / h.size.y},
                0xFFFFFFFFu);
}

// The visible cells of the half whose kind `pass` takes (solid or not), in runs along each
// row; a half without coverage is one quad, drawn with the blended ones.
template <class Pass>
void DrawHalf(vek::cQuadBatch* batch, const cHalf& h, const vek::rectf& view, bool blended, Pass pass) {
  if (!h.texture) return;
  if (!h.cover) {
    if (blended) HalfQuad(batch, h, h.at.x, h.at.y, h.at.x + h.size.x, h.at.y + h.size.y);
    return;
  }
  const i32 c0 = std::max(0, static_cast<i32>(std::floor((view.x - h.at.x) / kCell)));
  const i32 c1 = std::min(static_cast<i32>(h.cover->columns), static_cast<i32>(std::ceil((view.x + view.w - h.at.x) / kCell)));
  const i32 r0 = std::max(0, static_cast<i32>(std::floor((view.y - h.at.y) / kCell)));
  const i32 r1 = std::min(static_cast<i32>(h.cover->rows), static_cast<i32>(std::ceil((view.y + view.h - h.at.y) / kCell)));
  for (i32 r = r0; r < r1; ++r) {
    const f32 y0 = h.at.y + static_cast<f32>(r) * kCell, y1 = std::min(y0 + kCell, h.at.y + h.size.y);
    Runs(c0, c1, [&](i32 c) { return pass(c, r); },
         [&](i32 first, i32 end) {
           HalfQuad(batch, h, h.at.x + static_cast<f32>(first) * kCell, y0,
                    std::min(h.at.x + static_cast<f32>(end) * kCell, h.at.x + h.size.x), y1);
         });
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
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  // The windows go over the map: none of it is drawn where they cover the screen fully.
  if (gui) gui->PrepareCovers();
  DrawMap();
  if (gui) gui->Draw();
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

  const vek::rectf view{scroll.x, scroll.y, 1024.0f, kIslandScreenHeight};
  cHalf halves[2];
  for (int k = 0; k < 2; ++k) {
    if (!m_Halves[k]) continue;
    halves[k].texture = m_Halves[k];
    halves[k].size = m_HalfSizes[k];
    halves[k].at = {0.0f, k == 0 ? m_HalfSizes[1].y : 0.0f};
    const vek::cTexture* t = vek::g_pTextureManager ? vek::g_pTextureManager->Get(m_Halves[k]) : nullptr;
    // Only a coverage of the half's own size is used (not known for a page part).
    auto cells = [](f32 side) { return (static_cast<u32>(side) + vek::kCoverageCell - 1) / vek::kCoverageCell; };
    if (t && !t->GetCoverage().cells.empty() && t->GetCoverage().columns == cells(m_HalfSizes[k].x) &&
        t->GetCoverage().rows == cells(m_HalfSizes[k].y))
      halves[k].cover = &t->GetCoverage();
  }
  const vek::rectf waterfall = m_Waterfall.texture && m_Waterfall.frames
                                   ? vek::rectf{568.0f, 1666.0f, m_Waterfall.width, m_Waterfall.height}
                                   : vek::rectf{0.0f, 0.0f, 0.0f, 0.0f};
  // Solid cells under the waterfall are drawn after it, blended like the rest.
  auto underWaterfall = [&](const cHalf& h, i32 c, i32 r) {
    return waterfall.w > 0.0f && Overlaps(waterfall, {h.at.x + static_cast<f32>(c) * kCell,
                                                      h.at.y + static_cast<f32>(r) * kCell, kCell, kCell});
  };

  // The ocean: the visible part of the map tiled with the current wave frame, where the island
  // leaves it open.
  if (m_Ocean.texture && m_Ocean.frames && m_Ocean.width > 0.0f && m_Ocean.height > 0.0f) {
    // Tiles drawn texel for pixel sample their own frame's texels only. Scaled, they are cut
    // half a texel in from the frame's edges, so that they meet without the neighbouring
    // frame's edge showing through the filtering.
    vek::rectf uv = m_Ocean.frames[static_cast<u32>(std::max(0, m_OceanFrames.m_Frame)) % m_Ocean.frameCount];
    const vec2 px = TextureSize(m_Ocean.texture);
    f32 pixelScale[2], pixelOrigin[2];
    const bool texelPerPixel = vek::g_pRender && vek::g_pRender->UnitPixels(pixelScale, pixelOrigin) &&
                               std::fabs(uv.w * px.x - m_Ocean.width) < 1e-3f &&
                               std::fabs(uv.h * px.y - m_Ocean.height) < 1e-3f;
    if (px.x > 0.0f && px.y > 0.0f && !texelPerPixel) {
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
      // The tile's cell rows on screen.
      const i32 cr0 = static_cast<i32>(std::floor(std::max(y, view.y) / kCell));
      const i32 cr1 = static_cast<i32>(std::ceil(std::min(y + m_Ocean.height, view.y + view.h) / kCell));
      for (i32 c = 0; c < columns; ++c) {
        const f32 x = static_cast<f32>(c) * m_Ocean.width;
        if (x > scroll.x + 1024.0f || x + m_Ocean.width < scroll.x) continue;
        const i32 cc0 = static_cast<i32>(std::floor(std::max(x, view.x) / kCell));
        const i32 cc1 = static_cast<i32>(std::ceil(std::min(x + m_Ocean.width, view.x + view.w) / kCell));
        for (i32 cr = cr0; cr < cr1; ++cr) {
          const f32 y0 = std::max(y, static_cast<f32>(cr) * kCell);
          const f32 y1 = std::min(y + m_Ocean.height, static_cast<f32>(cr + 1) * kCell);
          if (y1 <= y0) continue;
          Runs(cc0, cc1, [&](i32 cc) { return !OceanHidden(halves, cc, cr); },
               [&](i32 first, i32 end) {
                 const f32 x0 = std::max(x, static_cast<f32>(first) * kCell);
                 const f32 x1 = std::min(x + m_Ocean.width, static_cast<f32>(end) * kCell);
                 if (x1 <= x0) return;
                 // The tile's texture coordinates at the piece's corners.
                 const f32 u0 = (x0 - x) / m_Ocean.width, u1 = (x1 - x) / m_Ocean.width;
                 const f32 v0 = (y0 - y) / m_Ocean.height, v1 = (y1 - y) / m_Ocean.height;
                 vek::DrawQuad(batch, m_Ocean.texture, {x0, y0, x1 - x0, y1 - y0},
                               {uv.x + uv.w * u0, uv.y + uv.h * v0, uv.w * (u1 - u0), uv.h * (v1 - v0)}, 0xFFFFFFFFu);
               });
        }
      }
    }
  }
  // The island's solid cells (those under the waterfall wait for it).
  for (const cHalf& h : halves)
    DrawHalf(batch, h, view, false, [&](i32 c, i32 r) {
      return h.cover->At(static_cast<u32>(c), static_cast<u32>(r)) == vek::cCoverage::e_Solid && !underWaterfall(h, c, r);
    });
  Flush(batch);
  vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
  if (m_Waterfall.texture && m_Waterfall.frames) {
    const u32 tex = m_WaterfallTextures[m_WaterfallShown] ? m_WaterfallTextures[m_WaterfallShown] : m_Waterfall.texture;
    const u32 f = static_cast<u32>(std::max(0, m_WaterfallFrames.m_Frame)) % m_Waterfall.frameCount;
    vek::DrawQuad(batch, tex, waterfall, m_Waterfall.frames[f], 0xFFFFFFFFu);
  }
  // The island's other cells that show, blended over the ocean and the waterfall.
  for (const cHalf& h : halves)
    DrawHalf(batch, h, view, true, [&](i32 c, i32 r) {
      const vek::cCoverage::eCell cell = h.cover->At(static_cast<u32>(c), static_cast<u32>(r));
      return cell == vek::cCoverage::e_Mixed || (cell == vek::cCoverage::e_Solid && underWaterfall(h, c, r));
    });

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
