#include "game/world/level.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "engine/core/color.h"
#include "engine/app/game.h"
#include "engine/core/geometry.h"
#include "engine/input/input.h"
#include "engine/core/log.h"
#include "engine/sound/music.h"
#include "engine/sound/sound_manager.h"
#include "engine/gui/gui.h"
#include "engine/render/render.h"
#include "game/app/garden_services.h"
#include "game/world/gardener_base.h"
#include "game/world/particles.h"
#include "platform/gfx.h"

namespace {

constexpr vek::f32 kStep = 1.0f / 30.0f;

// A plain object of a kind whose class is not registered.
class cPlainObject final : public cObject {
 public:
  cPlainObject(cLevel* level, vek::u32 type) : cObject(level), m_Type(type) {}
  vek::u32 GetType() const override { return m_Type; }

 private:
  vek::u32 m_Type;
};

constexpr vek::u32 kKindType[e_KindCount] = {
    e_TypeGardener, e_TypeToolWater, e_TypeToolWeed, e_TypeToolBin, e_TypeWorkStation, e_TypeCar, e_TypeWaterPump,
    e_TypeHole,     e_TypePlant,     e_TypeOstrich,  e_TypePeacock, e_TypeGoat,        e_TypeHive, e_TypeBee};

cObjectMaker g_Makers[e_KindCount] = {};

}  // namespace

// ---- grid

void cLevelGrid::Resize(vek::i32 r, vek::i32 c) {
  if (r <= 0 || c <= 0) return;
  rows = r;
  columns = c;
  const size_t n = static_cast<size_t>(r) * static_cast<size_t>(c);
  values.resize(n, 1.0f);
  nodes.resize(n);
  for (size_t k = 0; k < n; ++k) nodes[k] = cNode{static_cast<vek::i32>(k / c), static_cast<vek::i32>(k % c)};
  extra.resize(n);
}

void cLevelGrid::Clear() {
  rows = columns = 0;
  values.clear();
  nodes.clear();
  extra.clear();
}

void cLoopSprite::Draw(vek::cQuadBatch* batch) const {
  if (!sprite.texture || !sprite.frames) return;
  const vek::i32 f = anim.m_Frame >= 0 && static_cast<vek::u32>(anim.m_Frame) < sprite.frameCount ? anim.m_Frame : 0;
  vek::DrawQuad(batch, sprite.texture, rect, sprite.frames[f], 0xFFFFFFFFu);
}

// ---- construction

cLevel::cLevel() : vek::cWidget("garden") {
  m_pTexts = std::make_unique<cFloatingTexts>(nullptr, "header24x24");
  new cObject(this);  // the null object: id 0, first in the registry for the field's whole life
  LoadSprites();
}

cLevel::~cLevel() {
  m_pTexts.reset();
  m_RemoveList.clear();
  m_DrawList.clear();
  m_Registry.Clear();  // the null object goes last, with the registry itself
}

void cLevel::SetMaker(eFieldKind kind, cObjectMaker maker) {
  if (kind < e_KindCount) g_Makers[kind] = maker;
}

cObject* cLevel::Make(eFieldKind kind) {
  if (kind >= e_KindCount) return nullptr;
  if (g_Makers[kind]) return g_Makers[kind](this);
  return new cPlainObject(this, kKindType[kind]);
}

void cLevel::LoadSprites() {
  m_Base = FindSprite("back", "base");
  m_Sky = FindSprite("back", "sky");
  m_Top = FindSprite("back", "top");
  m_Lighthouse = FindSprite("back", "lighthouse");
  m_Ship = FindSprite("back", "ship");
  m_ShipMirrored = m_Ship;
  if (m_Ship.frames) {
    m_ShipFrameMirrored = m_Ship.frames[0];
    m_ShipFrameMirrored.x += m_ShipFrameMirrored.w;
    m_ShipFrameMirrored.w = -m_ShipFrameMirrored.w;
    m_ShipMirrored.frames = &m_ShipFrameMirrored;
    m_ShipMirrored.frameCount = 1;
  }
  auto loop = [](cLoopSprite& s, const char* area, vek::f32 x, vek::f32 y) {
    s.sprite = FindSprite("back", area);
    s.anim = {};
    if (s.sprite.texture) {
      s.anim.m_Count = static_cast<vek::i32>(s.sprite.frameCount);
      s.anim.m_FrameTime = s.sprite.secondsPerFrame > 0.0f ? s.sprite.secondsPerFrame : kStep;
      s.anim.SetMode(vek::cFrameAnimation::e_LoopForward, true);
    }
    s.rect = {x, y, s.sprite.width, s.sprite.height};
  };
  loop(m_Ocean, "ocean", 0.0f, 768.0f - m_Sky.height - 32.0f);
  loop(m_Wave, "wave", 520.0f, 688.0f);
  loop(m_Light, "light", 560.0f, 688.0f);
  m_Highlight = FindSprite("images00", "highlight");
  m_Cloud = FindSprite("icons00", "cloud");
  m_Ring = FindSprite("icons00", "circle_need");
}

vek::cQuadBatch* cLevel::GetBatch() const {
  if (m_pBatch) return m_pBatch;
  return vek::g_pGame ? vek::g_pGame->GetQuadBatch() : nullptr;
}

// ---- geometry

vek::vec2 cLevel::GetCellSize() const {
  if (m_Grid.rows <= 0 || m_Grid.columns <= 0) return {};
  return {kFieldW / static_cast<vek::f32>(m_Grid.columns), kFieldH / static_cast<vek::f32>(m_Grid.rows)};
}

vek::vec2 cLevel::CellToPos(vek::i32 i, vek::i32 j) const {
  if (!IsCellInside({i, j})) return {};
  const vek::vec2 s = GetCellSize();
  return {kFieldX + (static_cast<vek::f32>(j) + 0.5f) * s.x, kFieldY + static_cast<vek::f32>(i) * s.y + 0.1f};
}

cCell cLevel::PointToCell(vek::f32 x, vek::f32 y) const {
  if (m_Grid.rows <= 0 || m_Grid.columns <= 0) return kNoCell;
  if (!(kFieldX < x && x < kFieldX + kFieldW && kFieldY < y && y < kFieldY + kFieldH)) return kNoCell;
  const vek::vec2 s = GetCellSize();
  if (!(s.x > 0.0f) || !(s.y > 0.0f)) return kNoCell;
  return {static_cast<vek::i32>((y - kFieldY) / s.y), static_cast<vek::i32>((x - kFieldX) / s.x)};
}

vek::f32 cLevel::GetCellValue(vek::i32 i, vek::i32 j) const {
  if (!IsCellInside({i, j})) return 0.0f;
  return m_Grid.values[static_cast<size_t>(i) * static_cast<size_t>(m_Grid.columns) + static_cast<size_t>(j)];
}

void cLevel::SetCellValue(vek::i32 i, vek::i32 j, vek::f32 value) {
  if (!IsCellInside({i, j})) return;
  m_Grid.values[static_cast<size_t>(i) * static_cast<size_t>(m_Grid.columns) + static_cast<size_t>(j)] = value;
}

bool cLevel::IsCellFree(const cCell& c) const {
  if (!IsCellInside(c) || GetCellValue(c.i, c.j) == 0.0f) return false;
  return const_cast<cLevel*>(this)->FindObjectAt(c, 0) == GetFirstObject();
}

cCell cLevel::FindFreeCell(const cCell& c) const {
  if (IsCellFree(c)) return c;
  // Every ring that can reach a cell of the grid is searched, so a free cell is found
  // whenever one exists (a search bounded by the row count missed far columns).
  const vek::i32 rings = std::max(m_Grid.rows, m_Grid.columns);
  for (vek::i32 d = 1; d <= rings; ++d) {
    cCell best = kNoCell;
    vek::i32 bestScore = std::max(m_Grid.rows, m_Grid.columns);
    for (vek::i32 i = c.i + d; i >= c.i - d; --i) {
      for (vek::i32 j = c.j - d; j <= c.j + d; ++j) {
        if (i == c.i && j == c.j) continue;
        const cCell cand{i, j};
        if (!IsCellFree(cand)) continue;
        const vek::i32 score = std::max(std::abs(i - 4), std::abs(j - 4));
        if (score < bestScore || (score == bestScore && (i == 4 || j == 4))) {
          best = cand;
          bestScore = score;
        }
      }
    }
    if (!best.IsSentinel()) return best;
  }
  return c;
}

// ---- objects

cObject* cLevel::FindObjectAt(const cCell& c, vek::u32 mask) {
  if (mask & e_TypeGardener) {
    if (IsObjectValid(m_GardenerId)) {
      cObject* g = FindObject(m_GardenerId);
      const vek::vec2 p = g->GetPosition();
      if (c.IsSentinel() || PointToCell(p.x, p.y) == c) return g;
    }
    return GetFirstObject();
  }
  for (auto it = m_Registry.begin(); it != m_Registry.end(); ++it) {
    cObject* o = *it;
    if (o->IsType(mask) && (c.IsSentinel() || o->GetCell() == c)) return o;
  }
  return GetFirstObject();
}

std::vector<cObject*> cLevel::ObjectsAtCell(const cCell& c) {
  std::vector<cObject*> out;
  for (cObject* o : m_Registry)
    if (o->GetCell() == c) out.push_back(o);
  return out;
}

void cLevel::DeleteQueuedObjects() {
  // Deleting may queue further ids (a destructor that removes what it owns): take the list.
  std::vector<vek::u32> ids;
  ids.swap(m_RemoveList);
  for (vek::u32 id : ids) {
    cObject* o = m_Registry.Find(id);
    if (o && o != GetFirstObject()) delete o;
  }
}

void cLevel::UpdateObjects() {
  if (m_Registry.Size() > 1)
    for (auto it = std::next(m_Registry.begin()); it != m_Registry.end(); ++it) (*it)->Update();
  DeleteQueuedObjects();
}

void cLevel::RemoveFromDrawList(cObject* o) {
  if (m_DrawList.empty()) return;
  auto it = std::find(m_DrawList.begin(), m_DrawList.end(), o);
  if (it != m_DrawList.end()) m_DrawList.erase(it);
}

void cLevel::SortByDepth() {
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (size_t k = 0; k + 1 < m_DrawList.size(); ++k) {
      if (m_DrawList[k]->GetDepth() < m_DrawList[k + 1]->GetDepth()) {
        std::swap(m_DrawList[k], m_DrawList[k + 1]);
        swapped = true;
      }
    }
  }
}

cGardenerBase* cLevel::GetGardener() {
  if (!IsObjectValid(m_GardenerId)) return nullptr;
  return dynamic_cast<cGardenerBase*>(FindObject(m_GardenerId));
}

// ---- set-up

void cLevel::Clear() {
  m_RemoveList.clear();
  m_DrawList.clear();
  m_Registry.Clear();
  m_GardenerId = m_PumpId = m_CarId = m_CarBackId = 0;
  m_Transfers.clear();
  m_CarPoint = {};
  for (vek::i32& n : m_KindCounts) n = 0;
  m_Grid.Clear();
  m_Grid.Resize(kRows, kColumns);
  std::fill(m_Grid.values.begin(), m_Grid.values.end(), 1.0f);
  iGardenServices* s = GardenServices();
  s->ClearShips();
  if (cFlyerList* flyers = s->GetFlyers()) flyers->Clear();
  if (cParticles* parts = s->GetParticles())
    for (vek::u32 pool : {0u, 1u, 3u}) parts->GetPool(pool).Clear();
  m_pTexts->Clear();
  m_Hover = kNoCell;
}

// ---- frame

void cLevel::Step() {
  iGardenServices* s = GardenServices();
  s->CheckHints();
  s->UpdateShips();
  if (cFlyerList* flyers = s->GetFlyers()) flyers->Update(kStep);
  if (s->GetPlayMode() != 0) return;
  s->UpdateMission();
  if (!m_DrawList.empty() && m_SortCounter % 3 == 0) {
    SortByDepth();
    m_SortCounter = 0;
  }
  ++m_SortCounter;
  UpdateObjects();
  s->StepIslandEffects();
}

void cLevel::Update(vek::f32 dt) {
  iGardenServices* s = GardenServices();
  if (cParticles* parts = s->GetParticles())
    for (vek::u32 pool : {0u, 1u, 3u}) parts->GetPool(pool).Update(dt);
  m_SkyOffset += dt / 100.0f;
  if (m_SkyOffset > 100.0f) m_SkyOffset = 0.0f;
  m_Ocean.Update(dt);
  m_Wave.Update(dt);
  m_Light.Update(dt);
  if (s->GetPlayMode() == 0) {
    UpdateTransfers(dt);  // the texts, the objects' moves and the wares in flight
    s->UpdateIslandTexts(dt);
  } else if (m_Registry.Size() > 1) {
    for (auto it = std::next(m_Registry.begin()); it != m_Registry.end(); ++it) (*it)->Move(dt);
  }
}

void cLevel::DrawSprite(const cSprite& sp, const vek::rectf& r, bool) {
  vek::cQuadBatch* batch = GetBatch();
  if (!batch || !sp.texture || !sp.frames) return;
  vek::DrawQuad(batch, sp.texture, r, sp.frames[0], 0xFFFFFFFFu);
}

namespace {

void FlushAndClear(vek::cQuadBatch* batch) {
  vek::FlushBatches(batch);
  batch->Clear();
}

// A particle layer: additive blending (source alpha, one), one draw call for the pool.
void DrawParticles(cParticles* parts, vek::u32 layer, vek::cQuadBatch* batch) {
  // An empty layer leaves the pass whole: what comes after it may share a draw with what
  // came before.
  if (!parts || parts->GetLayerQuads(layer) == 0) return;
  FlushAndClear(batch);
  if (vek::g_pRender) vek::g_pRender->SetAlphaBlend(plat::gfx::blend::SrcAlpha, plat::gfx::blend::One);
  parts->DrawLayer(layer, batch);
  FlushAndClear(batch);
  vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
}

}  // namespace

void cLevel::Render() {
  vek::cQuadBatch* batch = GetBatch();
  if (!batch) return;
  iGardenServices* s = GardenServices();
  cParticles* parts = s->GetParticles();
  if (parts && vek::g_pRender) {
    for (auto& view : parts->m_Views) vek::MatrixCopy(view, vek::g_pRender->GetView());
  }
  m_pTexts->m_pBatch = batch;

  vek::Begin2D(1024.0f, 768.0f);
  batch->Clear();
  vek::SetBlendMode(vek::e_BlendNone, 0.0f);
  if (m_Base.texture) {
    DrawSprite(m_Base, {0.0f, 0.0f, m_Base.width, m_Base.height});
    FlushAndClear(batch);
  }
  vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);

  if (m_Sky.texture && m_Sky.frames) {
    vek::rectf uv = m_Sky.frames[0];
    uv.x += m_SkyOffset;
    vek::DrawQuad(batch, m_Sky.texture, {0.0f, 768.0f - m_Sky.height, m_Sky.width, m_Sky.height}, uv, 0xFFFFFFFFu);
  }
  m_Ocean.Draw(batch);
  for (vek::u32 k = 0, n = s->GetShipCount(); k < n; ++k) {
    const cShipView ship = s->GetShip(k);
    const cSprite& sp = ship.direction >= 0 ? m_ShipMirrored : m_Ship;
    DrawSprite(sp, {150.0f + 630.0f * ship.progress - sp.width * 0.5f, 701.0f, sp.width, sp.height});
  }
  DrawSprite(m_Lighthouse, {560.0f, 688.0f, m_Lighthouse.width, m_Lighthouse.height});
  m_Wave.Draw(batch);
  m_Light.Draw(batch);
  DrawParticles(parts, 0, batch);
  DrawSprite(m_Top, {0.0f, 768.0f - m_Top.height, m_Top.width, m_Top.height});

  if (!m_Hover.IsSentinel() && m_Highlight.texture) {
    const vek::vec2 p = CellToPos(m_Hover.i, m_Hover.j);
    DrawSprite(m_Highlight, {p.x - m_Highlight.width * 0.5f, p.y, m_Highlight.width, m_Highlight.height});
  }
  if (cGardenerBase* g = GetGardener()) {
    const cSprite& marker = cObject::GetMarker();
    const vek::vec2 cell = GetCellSize();
    for (const cGardenerTask& t : g->GetTasks()) {
      if (t.id != 0 || t.cell.IsSentinel()) continue;
      const vek::vec2 p = CellToPos(t.cell.i, t.cell.j);
      DrawSprite(marker, {p.x + cell.x * 0.5f - marker.width, p.y, marker.width, marker.height});
    }
  }
  for (cObject* o : m_DrawList) o->Draw();
  DrawParticles(parts, 1, batch);
  m_pTexts->Draw();
  FlushAndClear(batch);  // the objects, when neither particles nor texts drew them
  vek::SetBlendMode(vek::e_BlendNone, 0.0f);
  vek::End2D();

  if (vek::g_pGame && vek::g_pGame->GetGUI()) vek::g_pGame->GetGUI()->Draw();

  vek::Begin2D(1024.0f, 768.0f);
  batch->Clear();
  vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
  if (cFlyerList* flyers = s->GetFlyers()) {
    flyers->m_pBatch = batch;
    flyers->Draw();
  }
  DrawParticles(parts, 2, batch);
  FlushAndClear(batch);
  vek::SetBlendMode(vek::e_BlendNone, 0.0f);
  vek::End2D();
}

void cLevel::DrawProgressRing(vek::f32 progress, vek::f32 radius, const vek::vec2& centre) {
  vek::cQuadBatch* batch = GetBatch();
  if (!batch || !m_Ring.texture || !m_Ring.frames) return;
  constexpr vek::f32 kPi = 3.14159265f;
  constexpr vek::u32 kSegments = 32;
  const vek::rectf& uv = m_Ring.frames[0];
  vek::DrawPie(batch, m_Ring.texture, centre, radius, kSegments, 0.0f, 2.0f * kPi, uv, 0xFFFFFFFFu);
  const vek::u32 color = progress < 0.5f ? vek::ColorFromFloats(2.0f * progress, 1.0f, 0.0f, 1.0f)
                                         : vek::ColorFromFloats(1.0f, 2.0f * (1.0f - progress), 0.0f, 1.0f);
  // The arc: a band from radius - 1 inwards, from the top, its sweep a whole turn at 1.0.
  const vek::f32 outer = radius - 1.0f, inner = outer * 0.6f;
  const vek::f32 sweep = 2.0f * kPi * std::clamp(progress, 0.0f, 1.0f);
  if (outer <= 0.0f || sweep <= 0.0f) return;
  vek::cVertex2D* v = vek::AddBatch(batch, m_Ring.texture, kSegments * vek::kQuadVertices);
  if (!v) return;
  auto at = [&](vek::f32 angle, vek::f32 r) {
    const vek::f32 c = std::cos(angle), s = std::sin(angle);
    // The texture's centre is the ring's centre, its edge the outer radius.
    return vek::cVertex2D{centre.x + c * r, centre.y + s * r, color,
                          uv.x + uv.w * (0.5f + 0.5f * c * r / radius), uv.y + uv.h * (0.5f + 0.5f * s * r / radius)};
  };
  for (vek::u32 k = 0; k < kSegments; ++k) {
    const vek::f32 a0 = kPi * 0.5f + sweep * static_cast<vek::f32>(k) / kSegments;
    const vek::f32 a1 = kPi * 0.5f + sweep * static_cast<vek::f32>(k + 1) / kSegments;
    const vek::cVertex2D o0 = at(a0, outer), o1 = at(a1, outer), i0 = at(a0, inner), i1 = at(a1, inner);
    v[0] = i0, v[1] = o0, v[2] = i1, v[3] = o1;  // one quad of the band
    v += vek::kQuadVertices;
  }
}

// ---- activation

void cLevel::Activate() {
  iGardenServices* s = GardenServices();
  s->HideAllWindows();
  s->SwitchWindow("garden", 2);
  s->SwitchWindow("score", 2);
  if (vek::cMusic* first = s->GetMusicSlot(0); first && first->IsPlaying()) first->Fade(false, 1.0f);
  vek::cMusic* second = s->GetMusicSlot(1);
  if (second && second->IsPlaying()) second->Pause();
  static int s_Toggle = 0;
  const char* name = s_Toggle ? "music1" : "music0";
  s_Toggle ^= 1;
  vek::cSoundManager* sound = vek::GetSound();
  if (!sound) return;
  // The named music, else the first one loaded; slot 0 of the list is the built-in empty
  // music, which is no music to play.
  const vek::cContainerPtr<vek::cMusic>& musics = sound->GetMusics();
  vek::u32 index = musics.FindIndex(name);
  if (index == 0 && musics.Count() > 1) index = 1;
  vek::cMusic* music = index ? musics.Get(index) : nullptr;
  if (!music || music == musics.Get(0)) {
    vek::LogWarning("cLevel", "Activate: no level music loaded\n");
    return;
  }
  s->SetMusicSlot(1, music);
  music->Fade(true, 1.0f);
  music->SetLoop();
  music->Play();
}

void cLevel::Deactivate() {
  iGardenServices* s = GardenServices();
  if (vek::g_pGame && vek::g_pGame->GetGUI()) {
    vek::cGUI* gui = vek::g_pGame->GetGUI();
    gui->HideWindow("garden");
    if (const unsigned id = gui->FindWindow("score")) gui->CloseWindow(id);
  }
  s->CloseHint();
  s->ClearShips();
  if (cFlyerList* flyers = s->GetFlyers()) flyers->Clear();
  if (cParticles* parts = s->GetParticles())
    for (vek::u32 pool : {0u, 1u, 3u}) parts->GetPool(pool).Clear();
}
