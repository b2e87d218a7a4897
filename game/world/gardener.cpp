// The gardener: its queue, the checks of a task, its tools and seed, its walk and drawing.
// The work states are in gardener_work.cpp.
#include "game/world/gardener.h"

#include <cmath>

#include "engine/render/quad_batch.h"
#include "engine/sound/sound.h"
#include "game/app/garden_services.h"
#include "game/world/balance.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"

namespace {

// The need bubble's icons by index, areas of "icons00".
constexpr const char* kNeedIcons[5] = {"tool_bin", "tool_weed", "tool_water", "stock", "water_pump"};
// Game sounds.
constexpr vek::i32 kSoundWater = 4, kSoundWeed = 5, kSoundToolTake = 7;

}  // namespace

cGardener::cGardener(cLevel* level) : cGardenerBase(level) {
  SetSprite("gard00", "d", vek::cFrameAnimation::e_Stop);
  m_Cloud = FindSprite("icons00", "cloud");
  m_Ring = FindSprite("icons00", "circle_need");
  SetTweenAt(m_Walk, {});
  m_Walk.speed = UpgradeValue(GameBalance().gardenerSpeed, 0);
  if (!(m_Walk.speed > 0.0f)) m_Walk.speed = 1.0f;
  m_Walk.SetTarget(m_Walk.target);
  iGardenServices* s = GardenServices();
  if (const vek::u32 weed = s->GetSoundBuffer(kSoundWeed)) {
    m_WeedChannel = std::make_unique<vek::cSound>();
    m_WeedChannel->Init(weed);
  }
  if (const vek::u32 water = s->GetSoundBuffer(kSoundWater)) {
    m_WaterChannel = std::make_unique<vek::cSound>();
    m_WaterChannel->Init(water);
  }
}

cGardener::~cGardener() = default;

vek::f32 cGardener::UpgradeValue(const std::vector<vek::f32>& row, vek::i32 upgrade) {
  const vek::i32 level = GardenServices()->GetUpgradeLevel(upgrade);
  if (level < 0 || static_cast<size_t>(level) >= row.size()) return 0.0f;
  return row[static_cast<size_t>(level)];
}

// ---- helpers

cObject* cGardener::Find(vek::u32 id) const { return m_pLevel->FindObject(id); }

bool cGardener::IsValid(vek::u32 id) const { return m_pLevel->IsObjectValid(id); }

cObject* cGardener::HeldTool() const { return IsValid(m_HeldTool) ? Find(m_HeldTool) : nullptr; }

bool cGardener::IsCover(vek::u32 ware) const {
  if (ware == kNoWare || !g_pWareManager) return false;
  const vek::i32 id = static_cast<vek::i32>(ware);
  return id == g_pWareManager->GetWareId("grass") || id == g_pWareManager->GetWareId("flowers");
}

vek::i32 cGardener::SeedPrice() const {
  return g_pWareManager ? g_pWareManager->GetWare(m_Seed).GetPrice() : 0;
}

const char* cGardener::ToolSheet() const {
  switch (GetHeldToolKind()) {
    case 0:
      return "gard06";
    case 1:
      return "gard04";
    case 2:
      return "gard02";
    default:
      return "gard00";
  }
}

// ---- the queue

void cGardener::AddTaskCell(const cCell& cell) { m_Tasks.push_back({0, cell}); }

void cGardener::AddTaskAction(vek::u32 ware) { m_Tasks.push_back({ware, kNoCell}); }

void cGardener::AddTaskObject(vek::u32 id) {
  cObject* obj = Find(id);
  if (obj == m_pLevel->GetFirstObject()) return;
  if (obj->IsType(e_TypeHole)) {
    const vek::u32 plant = static_cast<cHole*>(obj)->GetPlantId();
    if (plant != 0 && IsValid(plant)) {
      id = plant;
      obj = Find(plant);
    }
  }
  const cGardenerTask task{id, obj->GetCell()};
  if (m_State == e_StateIdle && m_Tasks.empty() && !CanDoTask(task)) return;
  if (!m_Tasks.empty() && !m_Tasks.back().cell.IsSentinel() && m_Tasks.back().id == obj->GetId()) return;
  obj->IncBusy();
  m_Tasks.push_back(task);
}

void cGardener::AddTaskByType(vek::u32 mask) {
  for (cObject* o : m_pLevel->GetRegistry()) {
    if (o->IsType(mask)) {
      AddTaskObject(o->GetId());
      return;
    }
  }
}

void cGardener::DropFirstTask() {
  if (m_Tasks.empty()) return;
  const cGardenerTask front = m_Tasks.front();
  m_Tasks.pop_front();
  if (front.id != 0 && IsValid(front.id) && m_pLevel->IsCellInside(front.cell)) Find(front.id)->DecBusy();
}

void cGardener::ReleaseTaskTargets() {
  for (const cGardenerTask& t : m_Tasks)
    if (t.id != 0 && IsValid(t.id)) Find(t.id)->ResetBusy();
  m_Tasks.clear();
  SetState(e_StateIdle);
}

bool cGardener::CanDoTask(const cGardenerTask& task) {
  auto accept = [this] {
    HideNeed();
    return true;
  };
  const vek::i32 held = GetHeldToolKind();
  cObject* obj = Find(task.id);
  if (task.id == 0) {
    if (IsCover(m_Seed)) {
      if (m_pLevel->FindObjectAt(task.cell, e_TypePlant) == m_pLevel->GetFirstObject()) return accept();
      return false;
    }
    return accept();
  }
  if (obj->IsType(e_TypeTool)) {
    ClearSeed();
    return accept();
  }
  if (obj->IsType(e_TypeHole)) {
    if (m_Seed == kNoWare || IsCover(m_Seed)) return false;
    return accept();
  }
  if (obj->IsType(e_TypePlant)) {
    if (IsCover(m_Seed)) return false;
    if (m_Seed != kNoWare) return true;
    const vek::i32 stage = obj->GetStage();
    const bool usable = CanUseTool();
    if (stage == held && !usable) {
      if (held == 0) ShowNeed(e_NeedPump);
      else if (held == 2) ShowNeed(e_NeedStock);
    } else if (stage != held) {
      if (stage == 0) ShowNeed(e_NeedWater);
      else if (stage == 1) ShowNeed(e_NeedWeed);
      else if (stage == 2) ShowNeed(e_NeedBin);
    }
    if ((stage == held && usable) || (stage == -1 && held == 2)) {
      if (held == 2) ClearSeed();
      return accept();
    }
    return false;
  }
  if (obj->IsType(e_TypeCar)) {
    const auto* bin = dynamic_cast<const cToolBin*>(HeldTool());
    if (held == 2 && bin && bin->GetCount() != 0) return accept();
    return false;
  }
  if (obj->IsType(e_TypeWaterPump)) {
    const auto* can = dynamic_cast<const cToolWater*>(HeldTool());
    if (held == 0 && can && !can->IsFull() && GardenServices()->GetMoney() >= kWaterPrice) return accept();
    return false;
  }
  const bool goat = obj->IsType(e_TypeGoat);
  if (obj->IsType(e_TypeEgg) || obj->IsType(e_TypeNib) || goat || obj->IsType(e_TypeHive)) {
    const bool usable = CanUseTool();
    if (held == 2 && !usable) ShowNeed(e_NeedStock);
    else if (held != 2) ShowNeed(e_NeedBin);
    if (held == 2 && usable && (!goat || obj->GetState() == 9)) return accept();
    return false;
  }
  return accept();
}

void cGardener::OnArrive() {
  const vek::i32 state = m_State;
  BeginTask();
  if (m_State == state) SetState(e_StateIdle);
}

void cGardener::BeginTask() {
  if (m_Tasks.empty()) return;
  const cGardenerTask task = m_Tasks.front();
  DropFirstTask();
  cObject* obj = Find(task.id);
  iGardenServices* s = GardenServices();
  const vek::i32 held = GetHeldToolKind();
  if (task.id == 0 || !IsValid(task.id)) {
    if (IsCover(m_Seed)) {
      if (SeedPrice() <= s->GetMoney()) SetState(e_StateSow);
      else ClearSeed();
    }
    return;
  }
  if (obj->IsType(e_TypeTool)) {
    TakeTool(task.id);
    return;
  }
  if (obj->IsType(e_TypeHole)) {
    if (m_Seed == kNoWare) return;
    DropTool();
    if (SeedPrice() <= s->GetMoney()) SetState(e_StateSow);
    else ClearSeed();
    return;
  }
  if (obj->IsType(e_TypePlant)) {
    auto* plant = static_cast<cPlant*>(obj);
    if (m_Seed != kNoWare && !IsCover(plant->GetKind())) {
      // A seed for the hole under the plant: sow it next, which replaces the plant.
      cObject* hole = m_pLevel->FindObjectAt(obj->GetCell(), e_TypeHole);
      if (hole == m_pLevel->GetFirstObject()) return;
      m_Tasks.push_front({hole->GetId(), task.cell});
      return;
    }
    const vek::i32 stage = plant->GetStage();
    if (stage != held || !CanUseTool()) return;
    m_WorkTarget = task.id;
    plant->SetInWork(true);
    if (stage == 0) SetState(e_StateWater);
    else if (stage == 1) SetState(e_StateWeed);
    else if (stage == 2) SetState(e_StateHarvest);
    return;
  }
  if (obj->IsType(e_TypeCar)) {
    if (held == 2) SetState(e_StateCar);
    return;
  }
  if (obj->IsType(e_TypeWaterPump)) {
    if (held == 0) SetState(e_StatePump);
    return;
  }
  const bool binReady = held == 2 && CanUseTool();
  if (obj->IsType(e_TypeEgg) || obj->IsType(e_TypeNib)) {
    if (!binReady) return;
    m_ProductTarget = task.id;
    SetState(e_StatePickUp);
    return;
  }
  if (obj->IsType(e_TypeGoat)) {
    if (!binReady || obj->GetState() != 9) return;
    m_GoatTarget = task.id;
    obj->SetState(6);
    SetState(e_StateMilk);
    return;
  }
  if (obj->IsType(e_TypeHive)) {
    if (!binReady || !obj->IsReady()) return;
    m_HiveTarget = task.id;
    SetState(e_StateHoney);
  }
}

cCell cGardener::NearestGridCell() const {
  const cLevelGrid& grid = m_pLevel->GetGrid();
  if (grid.rows <= 0 || grid.columns <= 0) return kNoCell;
  const vek::vec2 size = m_pLevel->GetCellSize();
  const auto clampTo = [](vek::f32 v, vek::i32 n) { return v < 0.0f ? 0 : (v >= static_cast<vek::f32>(n) ? n - 1 : static_cast<vek::i32>(v)); };
  return {clampTo((m_Y - cLevel::kFieldY) / size.y, grid.rows), clampTo((m_X - cLevel::kFieldX) / size.x, grid.columns)};
}

vek::vec2 cGardener::WalkTarget(const cGardenerTask& task, cObject* obj) const {
  if (task.id != 0 && task.id == m_pLevel->GetPumpId() && IsValid(task.id)) {
    const vek::rectf r = obj->GetRect();
    return {r.x - 17.0f, r.y};
  }
  const vek::vec2 p = m_pLevel->CellToPos(task.cell.i, task.cell.j);
  if (task.id != 0 && IsValid(task.id) && obj->IsType(e_TypeGoat)) return {p.x + 30.0f, p.y};
  return p;
}

void cGardener::TakeNextTask() {
  if (m_Tasks.empty()) {
    if (m_Texture == 0 || m_Anim.m_Mode != vek::cFrameAnimation::e_Stop || m_Anim.m_Frame != 0 ||
        m_pFrames != FindSprite(ToolSheet(), "d").frames)
      ShowSprite(ToolSheet(), "d", vek::cFrameAnimation::e_Stop);
    return;
  }
  const cGardenerTask front = m_Tasks.front();
  if (front.cell.IsSentinel() && front.id != kNoWare) {
    SetSeed(front.id);
    DropFirstTask();
    if (IsCover(front.id)) DropTool();
    return;
  }
  if (!CanDoTask(front)) {
    DropFirstTask();
    return;
  }
  if (GetCell() == front.cell) {
    OnArrive();
    return;
  }
  const vek::vec2 target = WalkTarget(front, Find(front.id));
  SetTweenAt(m_Walk, GetPosition());
  m_Walk.SetTarget(target);
  SetState(e_StateWalk);
  // Already standing on the walk's end (the pump's side, say) but on another cell: there is
  // no way to go, so the gardener arrives at once instead of waiting for a walk that never
  // moves.
  if (m_State == e_StateWalk && !m_Walk.IsRunning()) {
    SetPosition(m_Walk.current);
    OnArrive();
  }
}

void cGardener::Move(vek::f32 dt) {
  if (m_State != e_StateWalk) return;
  const int r = m_Walk.Update(dt);
  if (r == vek::e_TweenAtRest) {
    SetState(e_StateIdle);
  } else if (r == vek::e_TweenRunning) {
    SetPosition(m_Walk.current);
  } else {
    SetPosition(m_Walk.current);
    OnArrive();
  }
}

void cGardener::SetSpeed(vek::f32 speed) {
  m_Walk.speed = speed > 0.0f ? speed : m_Walk.speed;
  m_Walk.SetTarget(m_Walk.target);
}

// ---- tools and seed

vek::i32 cGardener::GetHeldToolKind() const {
  const auto* tool = dynamic_cast<const cTool*>(HeldTool());
  return tool ? tool->GetToolKind() : -1;
}

bool cGardener::CanUseTool() const {
  cObject* tool = HeldTool();
  if (!tool) return false;
  if (const auto* can = dynamic_cast<const cToolWater*>(tool)) return can->GetAmount() > 0;
  if (const auto* bin = dynamic_cast<const cToolBin*>(tool)) return !bin->IsFull();
  return tool->IsType(e_TypeToolWeed);
}

bool cGardener::TakeTool(vek::u32 id) {
  auto* tool = dynamic_cast<cTool*>(Find(id));
  iGardenServices* s = GardenServices();
  if (!tool || !tool->IsType(e_TypeTool)) return false;
  if (tool->GetType() == e_TypeToolWater && s->GetWaterFlag() == 0) return false;
  switch (tool->GetToolKind()) {
    case 0:
      s->NextHintStep(1, 0);
      break;
    case 1:
      s->NextHintStep(0, 4);
      break;
    case 2:
      s->NextHintStep(0, 6);
      s->NextHintStep(10, 0);
      s->NextHintStep(6, 0);
      s->NextHintStep(8, 0);
      break;
    default:
      break;
  }
  DropTool();
  ClearSeed();
  m_HeldTool = id;
  tool->SetTaken(true);
  SetPosition(m_X, m_Y);
  s->PlaySound(kSoundToolTake);
  return true;
}

void cGardener::DropTool() {
  if (m_HeldTool == 0) return;
  if (!IsValid(m_HeldTool)) {
    m_HeldTool = 0;
    return;
  }
  auto* tool = dynamic_cast<cTool*>(Find(m_HeldTool));
  // Beside the pump the gardener stands off the grid: the tool goes near it, on the grid's
  // nearest cell, and not to a far corner of the field.
  cCell own = GetCell();
  if (own.IsSentinel()) own = NearestGridCell();
  cCell c = own;
  // The tool goes on the gardener's own cell when nothing but the gardener stands there (the
  // carried tool itself aside) and the cell is not blocked; else on the nearest free cell.
  vek::i32 others = 0;
  bool gardenerHere = false;
  for (cObject* o : m_pLevel->ObjectsAtCell(c)) {
    if (o->GetId() == m_HeldTool) continue;
    ++others;
    gardenerHere = gardenerHere || o->IsType(e_TypeGardener);
  }
  if (!(others == 1 && gardenerHere && m_pLevel->GetCellValue(c.i, c.j) != 0.0f)) {
    c = m_pLevel->FindFreeCell(c);
    if (c.IsSentinel()) c = own;
  }
  Find(m_HeldTool)->SetCell(c);
  if (tool) tool->SetTaken(false);
  m_HeldTool = 0;
}

bool cGardener::SetSeed(vek::u32 ware) {
  ClearSeed();
  m_Seed = ware;
  m_SeedIcon = g_pWareManager ? FindSprite("icons00", g_pWareManager->GetWare(ware).GetName()) : cSprite{};
  return true;
}

void cGardener::ClearSeed() { m_Seed = kNoWare; }

// ---- the need bubble

void cGardener::ShowNeed(vek::i32 icon) {
  if (m_Tasks.size() > 1) return;
  if (icon < 0 || icon > 4) return;
  const cSprite rec = FindSprite("icons00", kNeedIcons[icon]);
  if (rec.texture && rec.frames) {
    m_NeedTexture = rec.texture;
    m_NeedFrame = rec.frames[0];
    m_NeedW = rec.width;
    m_NeedH = rec.height;
  }
  m_NeedTimer.start = m_NeedTimer.target = m_NeedTimer.current = 0.0f;
  m_NeedTimer.elapsed = m_NeedTimer.duration = 0.0f;
  m_NeedTimer.SetTarget(kNeedSeconds);
}

void cGardener::HideNeed() {
  m_NeedTexture = 0;
  m_NeedTimer.start = m_NeedTimer.target = m_NeedTimer.current = 0.0f;
  m_NeedTimer.elapsed = m_NeedTimer.duration = 0.0f;
}

// ---- cObject

void cGardener::SetPosition(vek::f32 x, vek::f32 y) {
  m_X = x;
  m_Y = y;
  if (cObject* tool = HeldTool()) tool->SetPosition(x, y + 15.0f);
}

vek::rectf cGardener::GetRect() const {
  return {std::trunc(m_X - m_W * 0.5f), std::trunc(m_Y + 15.0f), m_W, m_H};
}

void cGardener::Draw() {
  cObject::Draw();
  vek::cQuadBatch* batch = m_pLevel->GetBatch();
  if (!batch) return;
  constexpr vek::u32 kWhite = 0xFFFFFFFFu;
  if (IsNeedShown()) {
    const cSprite& cloud = m_Cloud;
    if (cloud.texture && cloud.frames) {
      const vek::rectf r = GetRect();
      const vek::f32 bw = cloud.width, bh = cloud.height;
      const vek::rectf c{r.x + (r.w - bw) * 0.5f - bw * 0.5f, r.y + r.h, bw, bh};
      vek::DrawQuad(batch, cloud.texture, c, cloud.frames[0], kWhite);
      vek::DrawQuad(batch, m_NeedTexture,
                    {c.x + (bw - m_NeedW) * 0.5f, c.y + (bh - m_NeedH) * 0.5f + 4.0f, m_NeedW, m_NeedH}, m_NeedFrame,
                    kWhite);
    }
  }
  const bool sowing = m_State >= e_StateSow && m_State <= e_StateSow + 2;
  if (!sowing && m_Seed != kNoWare && m_SeedIcon.texture && m_SeedIcon.frames) {
    const vek::rectf icon{m_X - m_SeedIcon.width * 0.5f, m_Y + 120.0f, m_SeedIcon.width, m_SeedIcon.height};
    const cSprite& ring = m_Ring;
    if (ring.texture && ring.frames)
      vek::DrawPie(batch, ring.texture, {icon.x + icon.w * 0.5f, icon.y + icon.h * 0.5f}, 21.0f, 32, 0.0f, 6.2831854f,
                   ring.frames[0], kWhite);
    vek::DrawQuad(batch, m_SeedIcon.texture, icon, m_SeedIcon.frames[0], kWhite);
  }
}

void RegisterGardenerMaker() {
  cLevel::SetMaker(e_KindGardener, [](cLevel* level) -> cObject* { return new cGardener(level); });
}
