#include "game/world/mission.h"

#include <array>
#include <string>

#include "engine/core/vec.h"
#include "game/app/garden_services.h"
#include "game/app/rules_host.h"
#include "game/world/particles.h"
#include "game/world/ware_manager.h"

namespace {

struct cAnimalTask {
  const char* name;     // task name, icon area
  const char* textKey;  // key of the game's text table
};
constexpr std::array<cAnimalTask, 4> kAnimals = {{
    {"ostrich", "Ostrich"},
    {"goat", "Goat"},
    {"hive", "Hive"},
    {"peacock", "Peacock"},
}};

TaskIndicatorFinder g_Finder;
iChainItems* g_pChainItems = nullptr;
std::vector<iTaskIndicator*> g_ScoreControls;  // empty until the first look-up

iTaskIndicator* Indicator(const cMissionTask& task) { return static_cast<iTaskIndicator*>(task.indicator); }

vek::string CountText(vek::i32 count) { return "x" + std::to_string(count); }

}  // namespace

void SetTaskIndicatorFinder(TaskIndicatorFinder finder) {
  g_Finder = std::move(finder);
  g_ScoreControls.clear();
}

void SetChainItems(iChainItems* items) { g_pChainItems = items; }

void InitMissionTask(cMissionTask& task, const vek::string& name, vek::i32 count, vek::f32 startTime) {
  task = cMissionTask();
  task.ware = g_pWareManager ? g_pWareManager->GetWareId(name) : kNoWare;
  task.count = count;
  task.startTime = startTime;
  for (size_t k = 0; k < kAnimals.size(); ++k)
    if (name == kAnimals[k].name) task.kind = static_cast<vek::i32>(k);
}

void AddMissionTaskByName(cMission& mission, const vek::string& name, vek::i32 count, vek::f32 startTime) {
  cMissionTask task;
  InitMissionTask(task, name, count, startTime);
  mission.tasks.push_back(task);
}

void ResetMission(cMission& mission) { mission.Clear(); }

bool IsTaskTimeMet(const cMissionTask& task) {
  return task.startTime <= 1.1920929e-7f || task.startTime <= GardenServices()->GetMissionTime();
}

void UpdateTaskControl(const cMissionTask& task) {
  iTaskIndicator* control = Indicator(task);
  if (!control) return;
  control->SetText(CountText(task.count < 0 ? 0 : task.count));
  if (task.count <= 0 && !control->IsChecked()) control->SetChecked(true);
}

cMissionTask* FindMissionTask(std::vector<cMissionTask>& tasks, vek::i32 ware) {
  for (auto& task : tasks)
    if (!task.IsEmpty() && task.ware == ware) return &task;
  return nullptr;
}

cMissionTask* FindMissionTaskByKind(std::vector<cMissionTask>& tasks, vek::i32 kind) {
  for (auto& task : tasks)
    if (!task.IsEmpty() && task.kind == kind) return &task;
  return nullptr;
}

iTaskIndicator* GetScoreTaskControl(vek::u32 i) {
  if (g_ScoreControls.empty()) {
    g_ScoreControls.resize(4, nullptr);
    for (size_t k = 0; k < 4 && g_Finder; ++k) g_ScoreControls[k] = g_Finder("score", "task" + std::to_string(k));
  }
  return i < 4 ? g_ScoreControls[i] : nullptr;
}

void ResetScoreTaskControls() { g_ScoreControls.clear(); }

void GetTaskInfo(const cMissionTask& task, vek::string& text, vek::string& sheet, vek::string& area, vek::i32& count) {
  sheet = "icons00";
  count = task.count;
  if (task.ware != kNoWare) {
    if (g_pWareManager) {
      const cWare& ware = g_pWareManager->GetWare(static_cast<vek::u32>(task.ware));
      area = ware.GetName();
      text = ware.GetDisplayName();
    }
    return;
  }
  if (task.kind == -1) return;
  if (task.kind < 0 || task.kind >= static_cast<vek::i32>(kAnimals.size())) {
    text.clear();
    return;
  }
  const cAnimalTask& animal = kAnimals[static_cast<size_t>(task.kind)];
  area = animal.name;
  text = GardenServices()->GetText(animal.textKey);
  if (text.empty()) text = animal.textKey;
}

namespace {

void BindOne(cMissionTask& task) {
  for (vek::u32 k = 0; k < 4; ++k) {
    iTaskIndicator* control = GetScoreTaskControl(k);
    if (!control || control->GetMoveState() != 2) continue;
    vek::string text, sheet, area;
    vek::i32 count = 0;
    GetTaskInfo(task, text, sheet, area, count);
    control->SetText(CountText(count));
    control->SetIcon(sheet, area);
    control->SetChecked(count <= 0);
    control->StartMoveIn();
    task.indicator = control;
    if (GardenServices()->IsLevelStartTweenDone()) GardenServices()->ShowTraining(4);
    return;
  }
}

bool IsProduct(vek::i32 ware) {
  return g_pWareManager && ware != kNoWare &&
         g_pWareManager->GetWare(static_cast<vek::u32>(ware)).GetType() == e_WareTypeProduct;
}

void FillChain(cMissionTask& task) {
  if (!g_pChainItems || !IsProduct(task.ware)) return;
  const vek::i32 input = g_pChainItems->GetFactoryInput(task.ware);
  if (!task.indicator2 && input != kNoWare && IsProduct(input)) {
    if (void* item = g_pChainItems->FindParkedItem()) {
      g_pChainItems->ShowFactoryOf(item, input);
      task.indicator2 = item;
    }
  }
  if (void* item = g_pChainItems->FindParkedItem()) {
    g_pChainItems->ShowFactoryOf(item, task.ware);
    task.chain = item;
  }
}

}  // namespace

void BindTaskControls(std::vector<cMissionTask>& tasks) {
  for (size_t i = 0; i < tasks.size();) {
    cMissionTask& task = tasks[i];
    if (!task.IsEmpty() && !task.indicator) BindOne(task);
    if (!task.IsEmpty() && task.indicator && !task.chain) FillChain(task);
    iTaskIndicator* control = Indicator(task);
    if (task.IsEmpty() && control && control->GetMoveState() == 0) {
      const vek::rectf r = control->GetRect();
      if (cParticles* particles = GardenServices()->GetParticles())
        particles->AddBurst(vek::vec3(r.x + r.w * 0.5f, r.y + r.h * 0.5f, 0.0f), 50, 30.0f);
      GardenServices()->PlaySound(26);
      control->SetChecked(false);
      control->StartMoveOut();
      if (g_pChainItems) {
        if (task.chain) g_pChainItems->Hide(task.chain);
        if (task.indicator2) g_pChainItems->Hide(task.indicator2);
      }
      tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    ++i;
  }
}
