// Animals of the field: ostriches, peacocks and goats.
#include "game/world/animal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/core/random.h"
#include "game/app/garden_services.h"
#include "game/world/animal_product.h"
#include "game/world/gardener_base.h"
#include "game/world/level.h"
#include "game/world/mission.h"
#include "game/world/particles.h"
#include "game/world/plant.h"
#include "game/world/ware_manager.h"

namespace {

constexpr vek::f32 kStep = 1.0f / 30.0f;
constexpr vek::f32 kFloatEpsilon = 1.1920929e-7f;
constexpr vek::u32 kLoop = vek::cFrameAnimation::e_LoopForward;

// Counter slots of the field: ostriches, hives, goats, peacocks.
constexpr vek::i32 kSlotOstrich = 0, kSlotGoat = 2, kSlotPeacock = 3;

// Parameters by index: hunger, eating, search, idle, speed, product, laying, milk wait.
constexpr vek::f32 kBaseParams[8] = {30.0f, 2.0f, 20.0f, 3.0f, 30.0f, 5.0f, 0.5f, 0.0f};
constexpr vek::f32 kOstrichParams[8] = {17.0f, 1.5f, 40.0f, 0.0f, 20.0f, 16.0f, 0.5f, 0.0f};
constexpr vek::f32 kPeacockParams[8] = {20.0f, 2.0f, 40.0f, 0.0f, 20.0f, 16.0f, 0.5f, 0.0f};
constexpr vek::f32 kGoatParams[8] = {15.0f, 2.0f, 40.0f, 3.0f, 22.0f, 15.0f, 0.5f, 35.0f};

vek::f32 Param(const vek::f32 (&table)[8], vek::u32 index) { return index < 8 ? table[index] : 0.0f; }

vek::u32 WareNamed(const char* name) {
  return g_pWareManager ? static_cast<vek::u32>(g_pWareManager->GetWareId(name)) : kNoWare;
}

// A progress ring with an icon of "icons00" over it.
void DrawRingWithIcon(cLevel* level, vek::f32 progress, vek::f32 radius, const vek::vec2& centre,
                      const cSprite& icon) {
  level->DrawProgressRing(progress, radius, centre);
  vek::cQuadBatch* batch = level->GetBatch();
  if (!batch || !icon.texture || !icon.frames) return;
  vek::DrawQuad(batch, icon.texture,
                {centre.x - icon.width * 0.5f, centre.y - icon.height * 0.5f, icon.width, icon.height}, icon.frames[0],
                0xFFFFFFFFu);
}

vek::vec2 Centre(const vek::rectf& r) { return {r.x + r.w * 0.5f, r.y + r.h * 0.5f}; }

}  // namespace

// ---- cAnimal

cAnimal::cAnimal(cLevel* level) : cObject(level) {
  m_Scale.current = 1.0f;
  Restart(m_Voice, RandomFloat(700.0f, 1300.0f) * 40.0f / 1000.0f);
}

cAnimal::~cAnimal() = default;

vek::f32 cAnimal::RandomFloat(vek::f32 lo, vek::f32 hi) {
  return lo + (hi - lo) * static_cast<vek::f32>(vek::Random(0, 0x7FFF)) / 32768.0f;
}

void cAnimal::Restart(vek::cAnimatedFloat& timer, vek::f32 value, vek::f32 speed) {
  timer = vek::cAnimatedFloat{};
  timer.speed = speed;
  timer.SetTarget(value);
}

void cAnimal::SetPen(vek::i32 firstRow, vek::i32 firstColumn, vek::i32 lastRow, vek::i32 lastColumn) {
  m_Pen[0] = firstRow;
  m_Pen[1] = firstColumn;
  m_Pen[2] = lastRow;
  m_Pen[3] = lastColumn;
}

bool cAnimal::IsInPen(const cCell& c) const {
  return c.i >= m_Pen[0] && c.i <= m_Pen[2] && c.j >= m_Pen[1] && c.j <= m_Pen[3];
}

vek::f32 cAnimal::GetParam(vek::u32 index) const { return Param(kBaseParams, index); }

vek::i32 cAnimal::GetSoundId(vek::i32) const { return -1; }

vek::f32 cAnimal::ProductInterval() const {
  const vek::f32 t = RandomFloat(950.0f, 1050.0f) * GetParam(e_ParamProduct) / 1000.0f;
  return GardenServices()->IsOpenField() ? t * 0.6f : t;
}

bool cAnimal::OnStateChange(vek::i32 from, vek::i32 to) {
  if (!m_bNeeded && (to == 3 || to == 4 || to == 6)) return false;
  if (to == 5 && GetParam(e_ParamIdle) < kFloatEpsilon) return false;
  if (from == 3) Restart(m_Voice, RandomFloat(700.0f, 1300.0f) * 40.0f / 1000.0f);
  if (from == 4) {
    Restart(m_Hunger, RandomFloat(950.0f, 1050.0f) * GetParam(e_ParamHunger) / 1000.0f);
    m_Walk.SetSpeed(GetParam(e_ParamSpeed));
    m_Food = 0;
  }
  if (from == 6) Restart(m_Product, ProductInterval());
  switch (to) {
    case 3:
      Restart(m_StateTimer, GetParam(e_ParamSearch));
      Restart(m_Voice, 10.0f);
      break;
    case 4:
      Restart(m_StateTimer, GetParam(e_ParamEating));
      StartMove(m_TextureName, "eat_l", kLoop, WalkWentRight());
      break;
    case 5:
      Restart(m_StateTimer, GetParam(e_ParamIdle));
      StartMove(m_TextureName, "stay", kLoop, false);
      break;
    case 6:
      Restart(m_StateTimer, GetParam(e_ParamLaying));
      break;
    case 7:
      m_Scale = vek::cAnimatedFloat{};
      m_Scale.current = 1.0f;
      m_Scale.speed = 1.5f;
      m_Scale.SetTarget(0.0f);
      break;
    case 8:
      Restart(m_StateTimer, 0.5f);
      Restart(m_Scale, 1.0f, 1.5f);
      break;
    case 2:
      Remove();
      break;
    default:
      break;
  }
  return true;
}

bool cAnimal::IsProductWanted() const {
  std::vector<cMissionTask>* tasks = GardenServices()->GetActiveTasks();
  if (!tasks) return false;
  return FindMissionTask(*tasks, static_cast<vek::i32>(GetProductWare())) ||
         FindMissionTaskByKind(*tasks, GetKind());
}

bool cAnimal::StepVoice() {
  const int step = m_Voice.Update(kStep);
  if (step == vek::e_TweenRunning) return false;
  Restart(m_Voice, RandomFloat(800.0f, 1200.0f) * m_Voice.target / 1000.0f);
  return step == vek::e_TweenArrived;
}

void cAnimal::Update() { CommonUpdate(); }

void cAnimal::CommonUpdate() {
  m_Anim.Update(kStep);
  if (m_State == -1) SetState(0);
  else if (m_State == 2) Remove();

  iGardenServices* s = GardenServices();
  if (m_State != 4 && m_State < 9) {
    const bool wanted = IsProductWanted();
    if (StepVoice() && wanted) {
      const vek::i32 sound = GetSoundId(m_State == 3 ? 0 : 1);
      if (sound >= 0) s->PlaySound(sound);
    }
  }

  cLevel* level = GetLevel();
  switch (m_State) {
    case 0:
      Restart(m_Hunger, RandomFloat(950.0f, 1050.0f) * GetParam(e_ParamHunger) / 1000.0f);
      Restart(m_Product, ProductInterval());
      if (m_bQuickStart) {
        // The first animal bought shows its product soon, so the player learns to collect it.
        if (GetType() == e_TypeOstrich && !s->IsHintShown(6)) {
          Restart(m_Hunger, 1.0f);
          Restart(m_Product, 1.8f);
        } else if (GetType() == e_TypeGoat && !s->IsHintShown(8)) {
          Restart(m_Product, 1.0f);
        } else {
          Restart(m_Product, 4.0f);
        }
        m_bQuickStart = false;
      }
      m_Walk.SetSpeed(GetParam(e_ParamSpeed));
      SetState(1);
      break;
    case 1:
      // A hunger refused while no task wanted the animal stays due, so an animal wanted again
      // gets hungry again (only arriving once, it would never eat again).
      if (m_Food == 0 && m_Hunger.Update(kStep) != vek::e_TweenRunning) SetState(3);
      break;
    case 3: {
      if (m_Food != 0 && level->IsObjectValid(m_Food)) break;  // on its way to the grass
      m_Food = FindFood();
      if (m_Food == 0) {
        // A hungry animal does not starve while a lesson waits for the player.
        if (!GardenServices()->IsFieldHeldByHint() && m_StateTimer.Update(kStep) != vek::e_TweenRunning) SetState(7);
        break;
      }
      const cCell cell = level->FindObject(m_Food)->GetCell();
      m_Walk.speed = GetParam(e_ParamSpeed) * 3.0f;
      Walk(level->CellToPos(cell.i, cell.j));
      break;
    }
    case 4: {
      auto* grass = level->IsObjectValid(m_Food) ? dynamic_cast<cPlant*>(level->FindObject(m_Food)) : nullptr;
      if (GetParam(e_ParamEating) < kFloatEpsilon || !grass) {
        SetState(3);
        break;
      }
      if (m_StateTimer.Update(kStep) == vek::e_TweenRunning) {
        grass->SetGrowth(1.0f - m_StateTimer.current / m_StateTimer.target);
      } else {
        grass->SetState(2);
        SetState(1);
      }
      break;
    }
    case 5:
      if (m_StateTimer.Update(kStep) != vek::e_TweenRunning) SetState(1);
      break;
    default:
      break;
  }
}

void cAnimal::Move(vek::f32 dt) {
  switch (m_State) {
    case 1:
    case 3: {
      const int step = m_Walk.Update(dt);
      if (step == vek::e_TweenAtRest) {
        if (m_Food != 0) break;
        const cCell next = ChooseNextCell();
        cLevel* level = GetLevel();
        if (level->IsCellInside(next) && level->GetCellValue(next.i, next.j) != 0.0f)
          Walk(level->CellToPos(next.i, next.j));
      } else {
        SetPosition(m_Walk.current);
        if (step == vek::e_TweenArrived) {
          if (m_State == 1) SetState(5);
          else if (m_Food != 0) SetState(4);
        }
      }
      break;
    }
    case 7:
      if (m_Scale.Update(dt) != vek::e_TweenRunning) {
        Burst(50, 50.0f);
        SetState(2);
      }
      break;
    case 8:
      if (!GardenServices()->IsFieldFocused()) break;
      if (m_StateTimer.Update(dt) == vek::e_TweenRunning) break;
      if (m_Scale.Update(dt) != vek::e_TweenRunning) {
        Burst(50, 50.0f);
        SetState(0);
      }
      break;
    default:
      break;
  }
}

void cAnimal::Burst(vek::u32 count, vek::f32 value) const {
  cParticles* parts = GardenServices()->GetParticles();
  if (!parts) return;
  const vek::vec2 c = Centre(GetRect());
  parts->AddBurst({c.x, c.y, 0.0f}, count, value);
}

void cAnimal::Calm() {
  // A claimed grass plant is given back, so other animals may eat it.
  if (cLevel* level = GetLevel(); m_Food != 0 && level->IsObjectValid(m_Food)) {
    if (auto* grass = dynamic_cast<cPlant*>(level->FindObject(m_Food)); grass && grass->GetEater() == m_Id)
      grass->SetEater(0);
  }
  m_Food = 0;
  SetState(1);
  m_Walk.SetSpeed(GetParam(e_ParamSpeed));
}

vek::u32 cAnimal::FindFood() {
  cLevel* level = GetLevel();
  const vek::u32 grassId = WareNamed("grass");
  if (grassId == kNoWare) return 0;
  const bool searchStarted = m_StateTimer.target > 0.0f && m_StateTimer.current / m_StateTimer.target >= 0.3f;
  const bool penOnly = !searchStarted && !GardenServices()->IsOpenField();
  const cCell own = GetCell();
  vek::i32 best = std::abs(100 - own.i) + std::abs(100 - own.j);
  cPlant* found = nullptr;
  for (cObject* o : level->GetRegistry()) {
    if (!o->IsType(e_TypePlant) || o->GetState() == 2) continue;
    auto* plant = dynamic_cast<cPlant*>(o);
    if (!plant || plant->GetKind() != grassId || plant->GetEater() != 0) continue;
    const cCell c = plant->GetCell();
    if (penOnly && !IsInPen(c)) continue;
    const vek::i32 d = std::abs(c.i - own.i) + std::abs(c.j - own.j);
    if (d < best) {
      best = d;
      found = plant;
    }
  }
  if (!found) return 0;
  found->SetEater(m_Id);
  return found->GetId();
}

cCell cAnimal::ChooseNextCell() {
  const cCell own = GetCell();
  const vek::i32 di = vek::Random(0, 2000) >= 1000 ? 1 : -1;
  const vek::i32 dj = vek::Random(0, 2000) >= 1000 ? 1 : -1;
  const cCell step{own.i + di, own.j + dj};
  if (IsCellFree(step)) return step;
  for (const cCell d : {cCell{1, 1}, cCell{1, -1}, cCell{-1, 1}, cCell{-1, -1}}) {
    const cCell c{own.i + d.i, own.j + d.j};
    if (IsCellFree(c)) return c;
  }
  const vek::i32 j = static_cast<vek::i32>(vek::Random(static_cast<vek::u32>(m_Pen[1]), static_cast<vek::u32>(m_Pen[3])));
  const vek::i32 i = static_cast<vek::i32>(vek::Random(static_cast<vek::u32>(m_Pen[0]), static_cast<vek::u32>(m_Pen[2])));
  return {i, j};
}

bool cAnimal::IsCellFree(const cCell& c) const {
  cLevel* level = GetLevel();
  if (!level->IsCellInside(c)) return false;
  if (!GardenServices()->IsOpenField() && (level->GetCellValue(c.i, c.j) == 0.0f || !IsInPen(c))) return false;
  // Animals keep out of the beds between holes.
  auto holeAt = [level](vek::i32 i, vek::i32 j) {
    return level->FindObjectAt({i, j}, e_TypeHole) != level->GetFirstObject();
  };
  const cLevelGrid& grid = level->GetGrid();
  bool below = false, above = false, left = false, right = false;
  for (vek::i32 i = 0; i < grid.rows; ++i) {
    if (i == c.i || !holeAt(i, c.j)) continue;
    (i < c.i ? below : above) = true;
  }
  if (below && above) return false;
  for (vek::i32 j = 0; j < grid.columns; ++j) {
    if (j == c.j || !holeAt(c.i, j)) continue;
    (j < c.j ? left : right) = true;
  }
  return !(left && right);
}

void cAnimal::Walk(const vek::vec2& target) {
  m_Walk.current = GetPosition();
  m_Walk.SetTarget(target);
  const vek::vec2 d = target - m_Walk.start;
  StartMove(m_TextureName, d.y >= 0.0f ? "lu" : "ld", kLoop, d.x >= 0.0f);
}

bool cAnimal::StartMove(const vek::string& texture, const vek::string& area, vek::u32 mode, bool flip) {
  if (!SetSprite(texture, area, mode)) return false;
  if (flip) m_W = -m_W;
  return true;
}

vek::rectf cAnimal::GetRect() const {
  vek::f32 w = m_W, h = m_H;
  if (m_State == 7 || m_State == 8) {
    w *= m_Scale.current;
    h *= m_Scale.current;
  }
  return {std::trunc(m_X - w * 0.5f), std::trunc(m_Y), w, h};
}

void cAnimal::Draw() {
  cObject::Draw();
  if (m_State != 3 || m_Food != 0 || !m_StateTimer.IsRunning() || m_StateTimer.target <= 0.0f) return;
  DrawRingWithIcon(GetLevel(), m_StateTimer.current / m_StateTimer.target, 22.0f, Centre(GetRect()),
                   FindSprite("icons00", "grass"));
}

// ---- cOstrich

cOstrich::cOstrich(cLevel* level) : cAnimal(level) {
  if (level) ++level->m_KindCounts[kSlotOstrich];
  m_TextureName = "ostrich";
  StartMove(m_TextureName, "ld", kLoop, false);
  SetPen(0, 4, 3, 9);
}

cOstrich::~cOstrich() {
  if (m_pLevel) --m_pLevel->m_KindCounts[kSlotOstrich];
}

vek::f32 cOstrich::GetParam(vek::u32 index) const { return Param(kOstrichParams, index); }

vek::i32 cOstrich::GetSoundId(vek::i32 which) const { return which == 0 ? 16 : 17; }

vek::u32 cOstrich::GetProductWare() const { return WareNamed("egg"); }

namespace {

// The birds' own step: lay when the product timer has run out, then the shared step.
template <class tProduct>
void BirdUpdate(cAnimal* bird, vek::cAnimatedFloat& product, vek::cAnimatedFloat& stateTimer) {
  if (bird->GetState() == 1 && bird->GetFood() == 0 && product.Update(kStep) != vek::e_TweenRunning)
    bird->SetState(6);
  if (bird->GetState() != 6) return;
  if (stateTimer.Update(kStep) == vek::e_TweenRunning) return;
  cLevel* level = bird->GetLevel();
  new tProduct(level, level->FindFreeCell(bird->GetCell()));
  bird->SetState(1);
}

}  // namespace

void cOstrich::Update() {
  BirdUpdate<cEgg>(this, m_Product, m_StateTimer);
  if (m_State != 6) CommonUpdate();
}

// ---- cPeacock

cPeacock::cPeacock(cLevel* level) : cAnimal(level) {
  if (level) ++level->m_KindCounts[kSlotPeacock];
  m_TextureName = "peacock";
  StartMove(m_TextureName, "ld", kLoop, false);
  SetPen(0, 0, 7, 6);
}

cPeacock::~cPeacock() {
  if (m_pLevel) --m_pLevel->m_KindCounts[kSlotPeacock];
}

vek::f32 cPeacock::GetParam(vek::u32 index) const { return Param(kPeacockParams, index); }

vek::i32 cPeacock::GetSoundId(vek::i32 which) const { return which == 0 ? 18 : 19; }

vek::u32 cPeacock::GetProductWare() const { return WareNamed("nib"); }

bool cPeacock::StartMove(const vek::string& texture, const vek::string& area, vek::u32 mode, bool flip) {
  const char* sheet = area == "ld" ? "peacock00" : area == "lu" ? "peacock01" : area == "eat_l" ? "peacock02" : nullptr;
  return cAnimal::StartMove(sheet ? vek::string(sheet) : texture, area, mode, flip);
}

vek::rectf cPeacock::GetRect() const {
  vek::rectf r = cAnimal::GetRect();
  if (m_State == 4) return r;
  // The tail spreads behind the bird: its body sits off the sprite's centre.
  r.x += m_Walk.start.x <= m_Walk.target.x ? -40.0f : 40.0f;
  if (m_Walk.start.y < m_Walk.target.y) r.y -= 40.0f;
  return r;
}

void cPeacock::Update() {
  BirdUpdate<cNib>(this, m_Product, m_StateTimer);
  if (m_State != 6) CommonUpdate();
}

// ---- cGoat

cGoat::cGoat(cLevel* level) : cAnimal(level) {
  if (level) ++level->m_KindCounts[kSlotGoat];
  m_TextureName = "goat";
  StartMove(m_TextureName, "ld", kLoop, false);
  SetPen(3, 4, 7, 9);
}

cGoat::~cGoat() {
  if (m_pLevel) --m_pLevel->m_KindCounts[kSlotGoat];
}

vek::f32 cGoat::GetParam(vek::u32 index) const { return Param(kGoatParams, index); }

vek::i32 cGoat::GetSoundId(vek::i32 which) const { return which == 0 ? 14 : 15; }

vek::u32 cGoat::GetProductWare() const { return WareNamed("milk"); }

bool cGoat::OnStateChange(vek::i32 from, vek::i32 to) {
  if (!m_bNeeded && to == 9) return false;
  // The wait to be milked goes on while the gardener milks, in case the work is broken off.
  if (from == 9 && to == 6) m_MilkWait = m_StateTimer;
  if (!cAnimal::OnStateChange(from, to)) return false;
  if (from == 9) Restart(m_Voice, 40.0f);
  if (to == 9) {
    Restart(m_StateTimer, GetParam(e_ParamMilkWait));
    Restart(m_Voice, 10.0f);
  }
  if (from == 6 && to != 9) m_MilkWait = vek::cAnimatedFloat{};
  return true;
}

bool cGoat::IsBeingMilked() const {
  cGardenerBase* g = GetLevel()->GetGardener();
  if (!g) return false;
  const vek::i32 s = g->GetState();
  return s == 22 || s == 23;
}

void cGoat::ReleaseMilking() {
  if (m_State != 6) return;
  const vek::cAnimatedFloat wait = m_MilkWait;
  if (wait.IsRunning()) {
    SetState(9);
    if (m_State == 9) {
      m_StateTimer = wait;
      return;
    }
  }
  SetState(1);
}

bool cGoat::HitTest(const vek::vec2& p) const {
  if (m_State != 9) return false;
  if (cGardenerBase* g = GetLevel()->GetGardener())
    for (const cGardenerTask& t : g->GetTasks())
      if (t.id == m_Id) return false;
  const vek::rectf r = GetRect();
  const vek::f32 x0 = std::min(r.x, r.x + r.w), x1 = std::max(r.x, r.x + r.w);
  return p.x > x0 && p.x < x1 && p.y > r.y && p.y < r.y + r.h;
}

void cGoat::Update() {
  if ((m_State == 1 || m_State == 5) && m_Food == 0) {
    m_Product.Update(kStep);
    if (m_State == 5 && m_Product.current == m_Product.target) SetState(9);
  }
  if (m_State == 9) {
    if (m_Voice.Update(kStep) != vek::e_TweenRunning) {
      Restart(m_Voice, m_Voice.target);
      GardenServices()->PlaySound(14);
    }
    if (!GardenServices()->IsFieldHeldByHint() && m_StateTimer.Update(kStep) != vek::e_TweenRunning) SetState(1);
  } else if (m_State == 6) {
    // Milking: the gardener takes the goat back to state 1 when the milk is in the bin. Work
    // broken off (a right click, a hint, a full bin) lets it go again.
    m_MilkWait.Update(kStep);
    if (!IsBeingMilked()) ReleaseMilking();
  }
  CommonUpdate();
}

void cGoat::Draw() {
  cAnimal::Draw();
  if (m_State != 9 || m_StateTimer.target <= 0.0f) return;
  DrawRingWithIcon(GetLevel(), m_StateTimer.current / m_StateTimer.target, 21.0f, Centre(GetRect()),
                   FindSprite("icons00", "tool_bin"));
}

void RegisterAnimalMakers() {
  cLevel::SetMaker(e_KindOstrich, [](cLevel* level) -> cObject* { return new cOstrich(level); });
  cLevel::SetMaker(e_KindPeacock, [](cLevel* level) -> cObject* { return new cPeacock(level); });
  cLevel::SetMaker(e_KindGoat, [](cLevel* level) -> cObject* { return new cGoat(level); });
}
