#include "game/play/garden_world.h"

#include <algorithm>
#include <iterator>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/log.h"
#include "game/app/game_hooks.h"
#include "game/app/garden.h"
#include "game/app/player.h"
#include "game/app/ships.h"
#include "game/play/field_hints.h"
#include "game/play/field_targets.h"
#include "game/play/play_steps.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/world/balance.h"
#include "game/world/car.h"
#include "game/world/effects.h"
#include "game/world/gardener_base.h"
#include "game/world/holes_layouts.h"
#include "game/world/level.h"
#include "game/world/mission.h"
#include "game/world/particles.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"

namespace {

// The play field of the running game; null outside its life.
cLevel* g_pLevel = nullptr;

void MakeField(cGarden& garden) {
  g_pLevel = new cLevel();
  garden.SetLink(std::make_unique<cGardenWorld>(garden, g_pLevel));
}

// The wares, once the text table holds their names; once per run of the game.
void MakeWares(cGarden&) {
  if (g_pWareManager && g_pWareManager->GetCount() == 0) BuildProductTable();
}

void ReadLayouts(cGarden& garden) {
  cDataManagerGD::ReadTheme("{StaticPath}/conf/holes.lvs", &garden.HolesLayouts());
}

void EndWorld(cGarden& garden) {
  // The game's own link again: the field outlives the game object by a little (the engine
  // deletes its widgets last) and must not reach effect lists that are gone.
  garden.SetLink(nullptr);
  g_pLevel = nullptr;
}

}  // namespace

cGardenWorld::cGardenWorld(cGarden& garden, cLevel* level)
    : cGardenLink(garden),
      m_pLevel(level),
      m_pParticles(std::make_unique<cParticles>()),
      m_pBalance(std::make_unique<cBalance>()) {
  // The shop shows the prices the field charges.
  ToolbarAnimalPrices() = AnimalPrices();
  m_pParticles->LoadTextures();
  m_pFlyers = std::make_unique<cFlyerList>(level ? level->GetBatch() : nullptr, m_pParticles.get());
}

cGardenWorld::~cGardenWorld() {
  m_pFlyers.reset();
  if (m_pParticles) m_pParticles->ClearAll();
}

void cGardenWorld::ShowLevel() {
  cGardenLink::ShowLevel();  // the island's part
  if (vek::g_pGame && m_pLevel) vek::g_pGame->SetFocusWidget("garden");
}

bool cGardenWorld::HasGardener() { return m_pLevel && m_pLevel->IsObjectValid(m_pLevel->GetGardenerId()); }

bool cGardenWorld::IsFieldFocused() { return vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "garden"; }

void cGardenWorld::ClearLevel() {
  cGardenLink::ClearLevel();  // the island's part
  if (!m_pLevel) return;
  // What lived on the field goes; the gardener, the tools, the car, the pump and the holes
  // stay, so the next level's snapshot is taken from a whole field and the next level brings
  // in only the holes of a new layout.
  m_pLevel->ClearTransfers();
  m_pLevel->GetTexts().Clear();
  if (m_pFlyers) m_pFlyers->Clear();
  ResetGardenerWork();
  constexpr vek::u32 kLiving[] = {e_TypePlant, e_TypeAnimal, e_TypeHive, e_TypeBee, e_TypeAnimalProduct};
  for (cObject* o : m_pLevel->GetRegistry()) {
    if (o->GetType() == 0) continue;
    if (auto* bin = dynamic_cast<cToolBin*>(o))
      while (bin->GetCount() != 0) bin->TakeFirstItem();
    if (std::any_of(std::begin(kLiving), std::end(kLiving), [o](vek::u32 type) { return o->IsType(type); }))
      o->Remove();
  }
  m_pLevel->DeleteQueuedObjects();
}

// ---- the field's answers

void cGardenWorld::DecWareTask(vek::i32 ware) {
  cGardenLink::DecWareTask(ware);
  if (std::vector<cMissionTask>* tasks = GetActiveTasks())
    for (const cMissionTask& task : *tasks)
      if (task.ware == ware) UpdateTaskControl(task);
}

void cGardenWorld::DecKindTask(vek::i32 kind) {
  std::vector<cMissionTask>* tasks = GetActiveTasks();
  // The kind of a task that is used up becomes -1: note the tasks before counting them down.
  std::vector<size_t> counted;
  if (tasks)
    for (size_t i = 0; i < tasks->size(); ++i)
      if ((*tasks)[i].kind == kind) counted.push_back(i);
  cGardenLink::DecKindTask(kind);
  if (tasks)
    for (size_t i : counted)
      if (i < tasks->size()) UpdateTaskControl((*tasks)[i]);
}

bool cGardenWorld::FindFieldTarget(const vek::string& target, vek::f32* rect) {
  return m_pLevel && ::FindFieldTarget(*m_pLevel, target, rect);
}

int cGardenWorld::CheckHintStep(int hint, int step) {
  return m_pLevel ? FieldHintStep(*m_pLevel, *this, hint, step) : 0;
}

bool cGardenWorld::HintSituation(int hint) { return m_pLevel && FieldHintSituation(*m_pLevel, *this, hint); }

void cGardenWorld::StepWaterPump() {
  if (GetPumpState() != 0 || !IsFieldFocused()) return;
  const cSort* sort = g_pWareManager ? g_pWareManager->GetDefaultSort() : nullptr;
  const bool due = sort && !sort->m_NeedCounters.empty() && sort->m_NeedCounters[0] > 0;
  if (m_PumpTimer.Step(due)) cShips::OpenWaterPump();
}

void cGardenWorld::ShowHiddenHoles() {
  if (m_pLevel) m_pLevel->ShowHiddenHoles();
}

void cGardenWorld::AddLayoutHoles() {
  if (m_pLevel) m_pLevel->AddLayoutHoles();
}

void cGardenWorld::BurstAt(const vek::string& object, int count) {
  vek::f32 r[4] = {};
  if (!m_pParticles || count <= 0 || !FindFieldTarget(object, r)) return;
  m_pParticles->AddBurst({r[0] + r[2] * 0.5f, r[1] + r[3] * 0.5f, 0.0f}, static_cast<vek::u32>(count), 15.0f);
}

void cGardenWorld::UpdateToolbars() {
  if (m_pLevel) m_pLevel->UpdateToolbars();
}

void cGardenWorld::UpdateNeedFlags(vek::i32 ware) {
  if (!m_pLevel) return;
  const cMissionTask* task = nullptr;
  std::vector<cMissionTask>* tasks = GetActiveTasks();
  if (ware != 0 && tasks) task = FindMissionTask(*tasks, ware);
  // A ware no task serves changes no mark; 0 (or the first ware's task gone) means all.
  if (ware != 0 && !task) return;
  m_pLevel->UpdateNeedFlags(task);
}

void cGardenWorld::ApplyUpgrade(int upgrade, int level) {
  if (upgrade != 0 || !m_pLevel) return;
  cGardenerBase* gardener = m_pLevel->IsObjectValid(m_pLevel->GetGardenerId()) ? m_pLevel->GetGardener() : nullptr;
  const std::vector<vek::f32>& speeds = m_pBalance->gardenerSpeed;
  if (gardener && level >= 0 && static_cast<size_t>(level) < speeds.size())
    gardener->SetSpeed(speeds[static_cast<size_t>(level)]);
}

void cGardenWorld::BindTaskControls(std::vector<cMissionTask>& tasks) { ::BindTaskControls(tasks); }

int cGardenWorld::GetTaskIndicatorState(int index) {
  iTaskIndicator* indicator = index >= 0 ? GetScoreTaskControl(static_cast<vek::u32>(index)) : nullptr;
  return indicator ? indicator->GetMoveState() : -1;
}

void cGardenWorld::ResetTaskIndicators() {
  // Looked up afresh (the score window may be a new one), and parked: indicators an abandoned
  // level left in place would otherwise hold the next level's end back.
  ResetScoreTaskControls();
  for (vek::u32 k = 0; k < 4; ++k)
    if (iTaskIndicator* indicator = GetScoreTaskControl(k)) indicator->SnapToTarget();
}

int cGardenWorld::GetCarState() {
  if (!m_pLevel || !m_pLevel->IsObjectValid(m_pLevel->GetCarId())) return 1;
  return m_pLevel->FindObject(m_pLevel->GetCarId())->GetState();
}

void cGardenWorld::RefillToolCellWater() {
  if (!m_pLevel) return;
  static const cCell kWaterToolCell{5, 4};
  cObject* found = m_pLevel->FindObjectAt(kWaterToolCell, e_TypeToolWater);
  if (found == m_pLevel->GetFirstObject()) return;
  if (auto* can = dynamic_cast<cToolWater*>(found)) can->SetAmount(can->GetCapacity());
}

void cGardenWorld::ResetGardenerWork() {
  if (m_pLevel && m_pLevel->IsObjectValid(m_pLevel->GetGardenerId()))
    if (cGardenerBase* gardener = m_pLevel->GetGardener()) gardener->ReleaseTaskTargets();
}

bool cGardenWorld::HasPlantSort(int offset) {
  // The plant sorts come first in the ware table; the products follow them.
  return IsPlantSort(offset);
}

bool cGardenWorld::IsPlantSort(vek::i32 ware) {
  return g_pWareManager && ware >= 0 && g_pWareManager->GetWare(static_cast<vek::u32>(ware)).GetType() == e_WareTypeSort;
}

vek::i32 cGardenWorld::GetWarePrice(vek::i32 ware) {
  return g_pWareManager && ware >= 0 ? g_pWareManager->GetWare(static_cast<vek::u32>(ware)).GetPrice() : 0;
}

vek::i32 cGardenWorld::CountTransfers(vek::i32 ware) { return m_pLevel ? m_pLevel->CountTransfers(ware) : 0; }

vek::i32 cGardenWorld::GetWareId(const vek::string& name) {
  return g_pWareManager ? g_pWareManager->GetWareId(name) : kNoWare;
}

vek::string cGardenWorld::GetWareName(vek::i32 id) {
  if (!g_pWareManager || id < 0 || id == kNoWare) return {};
  return g_pWareManager->GetWare(static_cast<vek::u32>(id)).GetName();
}

void InstallGardenWorld() {
  AddLoadingStep(eLoadingStep::Tables, &MakeWares);
  AddLoadingStep(eLoadingStep::Widgets, &MakeField);
  AddLoadingStep(eLoadingStep::Layouts, &ReadLayouts);
  AddShutdownStep(&EndWorld);
  // The field's file joins every save, after save.dat and before the island's.
  AddWorldSaveFile({"level.dat",
                    [](vek::cBitStream& out, int) {
                      if (g_pLevel) g_pLevel->WriteLevel(out);
                      return true;
                    },
                    [](const vek::string&, int slot) {
                      if (!g_pLevel) return true;
                      g_pLevel->Load(slot);
                      return !g_pLevel->WasFileRefused();
                    }});
}
