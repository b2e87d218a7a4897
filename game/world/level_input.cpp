// The play field's input: a left click becomes one task for the gardener, a right click
// cancels its work, Escape opens the escape window, and the mouse keeps the hover cell that
// marks where grass or flowers will be sown.
#include <cfloat>

#include "engine/input/input.h"
#include "game/app/garden_services.h"
#include "game/world/gardener_base.h"
#include "game/world/level.h"
#include "game/world/ware_manager.h"

namespace {

enum : vek::u32 { e_KeyDown = 1, e_ButtonDown = 4, e_MouseMove = 6 };
constexpr vek::u32 kEscape = 1;

// The ware ids of "flowers" and "grass", looked up while not yet known.
vek::i32 CoverId(int which) {
  static vek::i32 s_Ids[2] = {1000, 1000};
  if (s_Ids[which] == 1000 && g_pWareManager) s_Ids[which] = g_pWareManager->GetWareId(which == 0 ? "flowers" : "grass");
  return s_Ids[which];
}
bool IsCover(vek::u32 ware) {
  return ware != 1000 && (ware == static_cast<vek::u32>(CoverId(0)) || ware == static_cast<vek::u32>(CoverId(1)));
}

// The gardener's next click on the field sows grass or flowers: its seed, or the last seed
// queued after it, is one of them.
bool SowsCover(cGardenerBase& g) {
  bool sowing = IsCover(g.GetSeed());
  for (const cGardenerTask& t : g.GetTasks()) {
    if (t.cell.IsSentinel() && IsCover(t.id)) sowing = true;
    else if (sowing && t.id != 0 && !IsCover(t.id)) sowing = false;
  }
  return sowing;
}

}  // namespace

bool cLevel::ReadCursor(vek::vec2* p) const {
  vek::i32 x = 0, y = 0;
  const bool ok = m_CursorReader ? m_CursorReader(&x, &y) : vek::GetCursorClientPos(&x, &y);
  if (!ok) return false;
  *p = {static_cast<vek::f32>(x), 768.0f - static_cast<vek::f32>(y)};
  return true;
}

void cLevel::OnEvent(vek::u32 kind, vek::u32 value) {
  iGardenServices* s = GardenServices();
  if (kind == e_KeyDown) {
    if (value == kEscape) s->SwitchWindow("escape", 2);
    return;
  }
  if (kind == e_ButtonDown) {
    if (value == 1) {
      if (s->GetHintIndex() != -1) return;
      if (cGardenerBase* g = GetGardener()) {
        g->ReleaseTaskTargets();
        g->ClearSeed();
      }
      return;
    }
    if (value == 0) OnLeftClick();
    return;
  }
  if (kind == e_MouseMove) OnMouseMove();
}

void cLevel::OnLeftClick() {
  iGardenServices* s = GardenServices();
  if (s->IsTraining() && s->GetHintIndex() != -1 && s->IsHintAnimating()) return;
  if (s->IsTraining() && s->GetTrainingClickFlag() == 0 && s->GetMissionTime() < 2.0f) return;
  if (!IsObjectValid(m_GardenerId)) return;
  vek::vec2 p;
  if (!ReadCursor(&p)) return;
  cGardenerBase* g = GetGardener();
  s->PlaySound(13);
  if (!g) return;

  if (IsObjectValid(m_CarId) && FindObject(m_CarId)->HitTest(p)) {
    g->AddTaskByType(e_TypeCar);
    return;
  }
  if (IsObjectValid(m_PumpId) && FindObject(m_PumpId)->HitTest(p)) {
    g->AddTaskObject(m_PumpId);
    return;
  }
  cObject* const none = GetFirstObject();
  cObject* found = none;
  vek::f32 depth = FLT_MAX;
  for (cObject* o : m_Registry) {
    if (o->HitTest(p) && o->GetDepth() < depth) {
      found = o;
      depth = o->GetDepth();
    }
  }
  const cCell c = PointToCell(p.x, p.y);
  if (c.IsSentinel() && found == none) return;
  if (found == none) {
    found = FindObjectAt(c, e_TypeHole);
    if (found == none) {
      cObject* tool = FindObjectAt(c, e_TypeTool);
      if (tool != none && tool->GetType() == e_TypeToolWater && s->GetWaterFlag() == 0) tool = none;
      found = tool;
    }
    if (found == none) {
      cObject* plant = FindObjectAt(c, e_TypePlant);
      const bool thirstyFlowers =
          plant != none && plant->GetWareId() == static_cast<vek::u32>(CoverId(0)) && plant->GetStage() == 0;
      found = thirstyFlowers ? plant : none;
    }
    if (found == none) found = FindObjectAt(c, e_TypeAnimalProduct);
  }
  if (found == none) {
    g->AddTaskCell(c);
    // The grass lesson's spot is taken: the gardener goes to sow there.
    if (SowsCover(*g)) s->NextHintStep(5, 1);
    return;
  }
  if (found->IsType(e_TypeHole)) {
    cObject* plant = FindObjectAt(found->GetCell(), e_TypePlant);
    if (plant != none && plant->IsType(e_TypePlant)) found = plant;
  }
  const bool readyAnimal = (found->GetType() == e_TypeGoat && found->GetState() == 9) ||
                           (found->GetType() == e_TypeHive && found->IsReady());
  if (readyAnimal && g->GetHeldToolKind() != 2) {
    cObject* bin = FindObjectAt(kNoCell, e_TypeToolBin);
    if (bin != none && bin->HitTest(p)) found = bin;
  }
  if (found->IsType(e_TypeAnimalProduct) && IsCover(g->GetSeed())) {
    const auto& tasks = g->GetTasks();
    if (tasks.empty()) {
      g->AddTaskCell(found->GetCell());
      return;
    }
    bool binQueued = false;
    for (size_t k = tasks.size() - 1; k >= 1; --k) {
      cObject* o = FindObject(tasks[k].id);
      if (tasks[k].id != 0 && o != none && o->IsType(e_TypeToolBin)) {
        binQueued = true;
        break;
      }
    }
    if (binQueued) g->AddTaskObject(found->GetId());
    else g->AddTaskCell(found->GetCell());
    return;
  }
  g->AddTaskObject(found->GetId());
}

void cLevel::OnMouseMove() {
  vek::vec2 p;
  if (!ReadCursor(&p)) return;
  m_Hover = kNoCell;
  bool hit = false;
  for (cObject* o : m_Registry) {
    if (o->HitTest(p)) {
      hit = true;
      if (!o->IsSelected()) o->SetSelected(true);
    } else {
      o->SetSelected(false);
    }
  }
  if (hit) return;
  cGardenerBase* g = GetGardener();
  if (g && SowsCover(*g)) m_Hover = PointToCell(p.x, p.y);
}
