#include "game/app/game_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/core/format.h"
#include "game/app/level_table.h"
#include "game/app/rules_host.h"

namespace {

// The price of the next level of each upgrade by its present level.
constexpr vek::i32 kUpgradePrices[6][3] = {
    {200, 600, 1000}, {300, 500, 800}, {100, 700, 0}, {250, 400, 600}, {150, 400, 600}, {350, 500, 900},
};

int UpgradeLevel(const cPlayer* p, int upgrade) {
  return p && upgrade >= 0 && upgrade < static_cast<int>(p->upgradeLevels.size()) ? p->upgradeLevels[upgrade] : 0;
}

// Grows a counter vector to cover the index and counts it up.
void CountUp(std::vector<vek::i32>& counters, vek::i32 index) {
  if (counters.size() <= static_cast<size_t>(index)) counters.resize(static_cast<size_t>(index) + 1, 0);
  ++counters[static_cast<size_t>(index)];
}

}  // namespace

void cGameRules::SetMoney(vek::i32 value) {
  cPlayer* p = CurrentPlayer();
  if (!p) return;
  p->money = std::max(0, value);
  RulesWorld()->UpdateToolbars();
}

void cGameRules::SpendMoney(vek::i32 amount) {
  cPlayer* p = CurrentPlayer();
  if (!p || p->money < amount) return;
  p->money = std::max(0, p->money - amount);
  RulesWorld()->UpdateToolbars();
}

void cGameRules::SpendBank(vek::i32 amount) {
  cPlayer* p = CurrentPlayer();
  if (p && p->bank >= amount) p->bank -= amount;
}

vek::i32 cGameRules::GetMoney() const {
  const cPlayer* p = CurrentPlayer();
  return p ? p->money : 0;
}

bool cGameRules::CanBuyUpgrade(int upgrade) const {
  if (upgrade < 0) return false;
  if (upgrade > 5) return true;
  return UpgradeLevel(CurrentPlayer(), upgrade) < (upgrade == 2 ? 2 : 3);
}

vek::i32 cGameRules::GetUpgradePrice(int upgrade) const {
  if (upgrade > 5 || !CanBuyUpgrade(upgrade)) return 0;
  const int level = UpgradeLevel(CurrentPlayer(), upgrade);
  return level >= 0 && level < 3 ? kUpgradePrices[upgrade][level] : 0;
}

void cGameRules::BuyUpgrade(int upgrade) {
  cPlayer* p = CurrentPlayer();
  if (!p || upgrade < 0 || upgrade > 5 || p->upgradeLevels[upgrade] >= 3) return;
  ++p->upgradeLevels[upgrade];
  RulesWorld()->ApplyUpgrade(upgrade, p->upgradeLevels[upgrade]);
}

std::vector<int> cGameRules::GetUpgradesForSale() const {
  std::vector<int> sale;
  for (int u = 0; u < 6; ++u)
    if (CanBuyUpgrade(u)) sale.push_back(u);
  std::stable_sort(sale.begin(), sale.end(),
                   [this](int a, int b) { return GetUpgradePrice(a) < GetUpgradePrice(b); });
  return sale;
}

int cGameRules::GetTimeGrade() const {
  const cPlayer* p = CurrentPlayer();
  if (!p) return 0;
  const vek::f32 limit = p->mission.timeLimit;
  const vek::f32 elapsed = p->elapsedTime;
  if (limit < std::numeric_limits<vek::f32>::epsilon() || elapsed <= limit) return 0;
  return elapsed < 1.5f * limit ? 1 : 2;
}

vek::f32 cGameRules::GetTimeGradeProgress() const {
  const cPlayer* p = CurrentPlayer();
  if (!p) return 0.0f;
  const vek::f32 limit = p->mission.timeLimit;
  const vek::f32 elapsed = p->elapsedTime;
  if (limit < std::numeric_limits<vek::f32>::epsilon()) return 0.0f;
  if (elapsed < limit) return elapsed / limit;
  if (elapsed < 1.5f * limit) return (elapsed - limit) / (0.5f * limit);
  return 0.0f;
}

namespace {

// A rating: `count` things in grades of `per`; above the top grade the progress is full.
// The result: whether the count is at most four grades and one.
bool Rating(int count, int per, const char* key, vek::string* text, int* progress) {
  int grade = count / per;
  int within = count % per;
  if (grade >= 4) {
    grade = 4;
    within = per;
  }
  if (text) *text = RulesWorld()->GetText(vek::Formatted("%s%i", key, grade));
  if (progress) *progress = within;
  return count < 4 * per + 1;
}

}  // namespace

bool cGameRules::GetRate(vek::string* text, int* progress) const {
  const cPlayer* p = CurrentPlayer();
  const int count = p ? static_cast<int>(std::count(p->timeGrades.begin(), p->timeGrades.end(), 0)) : 0;
  return Rating(count, 5, "Rate", text, progress);
}

void cGameRules::RecordTimeGrade(int level, int grade) {
  cPlayer* p = CurrentPlayer();
  if (!p || level < 0 || level >= kLevelCount) return;
  grade = std::clamp(grade, 0, 2);
  const auto index = static_cast<size_t>(level);
  if (p->timeGrades.size() <= index) {
    p->timeGrades.resize(index, 2);
    p->timeGrades.push_back(grade);
  } else {
    p->timeGrades[index] = std::min(p->timeGrades[index], grade);
  }
}

bool cGameRules::GetIslandRate(vek::string* text, int* progress) const {
  return Rating(RulesWorld()->CountBuiltBuildings(), 10, "IslandRate", text, progress);
}

const char* cGameRules::GetMedalArea(int medal) {
  switch (medal) {
    case 1: return "silver";
    case 2: return "bronze";
    default: return "gold";
  }
}

const cSprite& cGameRules::GetMedalSprite(int medal) const {
  const int i = medal >= 0 && medal <= 2 ? medal : 0;
  if (m_MedalSprites[i].texture == 0) FindSprite(m_MedalSprites[i], "houses05", GetMedalArea(i));
  return m_MedalSprites[i];
}

std::vector<cPathKey> cGameRules::BuildWavyPath(vek::f32 ax, vek::f32 ay, vek::f32 bx, vek::f32 by,
                                                vek::f32 duration, int bends, vek::f32 amplitude) {
  std::vector<cPathKey> keys{{ax, ay, 0.0f}};
  const vek::f32 dx = bx - ax;
  const vek::f32 dy = by - ay;
  const vek::f32 length = std::sqrt(dx * dx + dy * dy);
  // The direction from a to b turned a quarter turn to the left (none when a is b).
  const vek::f32 sx = length > 0.0f ? -dy / length : 0.0f;
  const vek::f32 sy = length > 0.0f ? dx / length : 0.0f;
  for (int i = 0; i < bends; ++i) {
    const vek::f32 t = (static_cast<vek::f32>(i) + 0.5f) / static_cast<vek::f32>(bends);
    const vek::f32 side = i % 2 == 0 ? amplitude : -amplitude;
    keys.push_back({ax + dx * t + sx * side, ay + dy * t + sy * side, t * duration});
  }
  keys.push_back({bx, by, duration});
  return keys;
}

bool cGameRules::SetupLevelMissions(int level) {
  cPlayer* p = CurrentPlayer();
  if (!p) return false;
  iRulesWorld* world = RulesWorld();
  world->ResetTaskIndicators();
  world->SendWindowMessage("garden", 2, 20);
  m_LevelFlags = 0;
  p->mission.Clear();
  p->currentLevel = level >= 0 ? level : p->selectedLevel;
  m_SetupFlag = false;
  const cLevelRow* row = GetLevelRow(p->currentLevel);
  if (row) {
    p->mission.timeLimit = static_cast<vek::f32>(row->timeLimit);
    for (const cLevelTask& t : row->tasks) {
      cMissionTask task;
      task.ware = RulesHost()->GetWareId(t.ware);
      task.count = t.count;
      task.startTime = t.startTime;
      p->mission.tasks.push_back(task);
    }
    m_LevelFlags = row->flags;
    m_SetupFlag = row->setupFlag;
  }
  if (p->currentLevel == p->levelProgress) p->mission.name = GetLevelBuilding(p->currentLevel);
  if (world->IsBuildingBuilt("institute00") && (m_LevelFlags == 0 || GetLevelFlag(2))) m_LevelFlags |= 1u << 2;
  if (level >= 0) {
    p->activeTasks.clear();
    p->nextPendingTask = 0;
    p->elapsedTime = 0.0f;
    p->money = row ? std::max(0, row->money) : 0;
    world->UpdateToolbars();
  }
  if (RulesHost()->GetPumpState() != 0 && p->hintFlags.size() > 1 && p->hintFlags[1] != 0 && level >= 0)
    world->RefillToolCellWater();
  if (level >= 0) world->SwitchWindow("mission_start", 2);
  return true;
}

void cGameRules::UpdateMission() {
  cPlayer* p = CurrentPlayer();
  if (!p) return;
  iRulesWorld* world = RulesWorld();
  if (!p->mission.done && world->GetActiveHint() < 0) {
    if (!p->activeTasks.empty()) p->elapsedTime += kStep;
    if (p->elapsedTime > 0.5f) world->BindTaskControls(p->activeTasks);
    m_Animations.StepLevelAnimation();
    const auto pending = static_cast<vek::i32>(p->mission.tasks.size());
    if (p->nextPendingTask < pending && static_cast<int>(p->activeTasks.size()) < kMaxActiveTasks) {
      const cMissionTask& next = p->mission.tasks[static_cast<size_t>(p->nextPendingTask)];
      // A player who has finished every issued task gets the next one at once: the clock
      // stands still without tasks, so waiting for its start time would never end.
      const bool due = next.startTime == 0.0f || next.startTime <= p->elapsedTime || p->activeTasks.empty();
      if (due) {
        p->activeTasks.push_back(next);
        world->UpdateNeedFlags(0);
        ++p->nextPendingTask;
      }
    }
    bool indicatorsDone = true;
    for (int i = 0; i < kMaxActiveTasks; ++i) {
      const int state = world->GetTaskIndicatorState(i);
      indicatorsDone = indicatorsDone && (state < 0 || state == 2);
    }
    if (p->activeTasks.empty() && p->nextPendingTask >= static_cast<vek::i32>(p->mission.tasks.size()) &&
        indicatorsDone && world->GetActiveHint() < 0 && world->GetCarState() == 1) {
      p->mission.done = 1;
      FinishLevel();
      p->SaveGame(-1);
      world->SwitchWindow("mission_finish", 2);
    }
    // The holes of a new layout come into view when their animation ends.
    if (m_Animations.StepHolesAnimation()) world->ShowHiddenHoles();
  }
  if (p->currentLevel > 0) {
    m_ShipTimer += kStep;
    if (m_ShipTimer >= 50.0f) {
      world->LaunchShip();
      m_ShipTimer = 0.0f;
    }
  }
}

cMissionTask* cGameRules::FindDirectTask(vek::i32 ware) const {
  cPlayer* p = CurrentPlayer();
  if (!p) return nullptr;
  for (auto& task : p->activeTasks)
    if (!task.IsEmpty() && task.ware == ware) return &task;
  return nullptr;
}

cMissionTask* cGameRules::FindTaskThroughChain(vek::i32 ware) const {
  if (cMissionTask* task = FindDirectTask(ware)) return task;
  iRulesWorld* world = RulesWorld();
  const vek::i32 product = world->GetFactoryProduct(ware);
  if (product < 0) return nullptr;
  if (cMissionTask* task = FindDirectTask(product)) return task;
  const vek::i32 next = world->GetFactoryProduct(product);
  return next < 0 ? nullptr : FindDirectTask(next);
}

cMissionTask* cGameRules::FindTaskForWare(vek::i32 ware) const {
  if (cMissionTask* task = FindDirectTask(ware)) return task;
  return RulesWorld()->IsPlantSort(ware) ? FindTaskThroughChain(ware) : nullptr;
}

vek::i32 cGameRules::CountChainUnits(vek::i32 ware) const {
  iRulesWorld* world = RulesWorld();
  if (!world->IsPlantSort(ware)) return 0;
  vek::i32 units = 0;
  vek::i32 input = ware;
  for (int step = 0; step < 2; ++step) {
    const vek::i32 product = world->GetFactoryProduct(input);
    if (product < 0) break;
    units += world->GetFactoryStock(input) + world->CountTransfers(product);
    input = product;
  }
  return units;
}

void cGameRules::PrepareCarLoad() {
  cPlayer* p = CurrentPlayer();
  if (!p) return;
  // Each unit counted its task down as it was loaded: a task taking a ware directly wanted
  // the load's units of that ware on top of the count it still shows.
  const std::vector<vek::i32> loaded = p->carLoad;
  for (size_t i = 0; i < p->carLoad.size(); ++i) {
    const vek::i32 ware = p->carLoad[i];
    if (ware == kNoWare) continue;
    const cMissionTask* task = FindTaskThroughChain(ware);
    const auto kept = std::count(p->carLoad.begin(), p->carLoad.begin() + static_cast<std::ptrdiff_t>(i), ware);
    const auto onBoard = task && task->ware == ware ? std::count(loaded.begin(), loaded.end(), ware) : 0;
    if (!task || kept + CountChainUnits(ware) >= task->count + onBoard) p->carLoad[i] = kNoWare;
  }
}

vek::i32 cGameRules::SellCarLoad() {
  cPlayer* p = CurrentPlayer();
  if (!p) return 0;
  iRulesWorld* world = RulesWorld();
  vek::i32 earnings = 0;
  std::vector<cMissionTask*> sold;
  for (vek::i32 ware : p->carLoad) {
    if (ware == kNoWare) continue;
    if (cMissionTask* task = FindDirectTask(ware)) {
      earnings += world->GetWarePrice(ware);
      sold.push_back(task);
    } else {
      world->AddFactoryInput(ware);
    }
  }
  for (cMissionTask* task : sold) {
    if (task->count > 0 || task->IsEmpty()) continue;
    world->UpdateNeedFlags(task->ware);
    task->ware = kNoWare;
  }
  p->carLoad.clear();
  if (earnings != 0) world->PlaySound(0);
  return earnings;
}

void cGameRules::CountProduced(vek::i32 ware) {
  cPlayer* p = CurrentPlayer();
  if (p && ware >= 0 && ware < cPlayer::kMaxWareIds) CountUp(p->produced, ware);
}

void cGameRules::CountAnimalBought(vek::i32 kind) {
  cPlayer* p = CurrentPlayer();
  if (p && kind >= 0 && kind < cPlayer::kMaxAnimalKinds) CountUp(p->animalsBought, kind);
}

void cGameRules::DecWareTask(vek::i32 ware) {
  cPlayer* p = CurrentPlayer();
  if (!p) return;
  for (auto& task : p->activeTasks)
    if (task.ware == ware) --task.count;
}

void cGameRules::DecKindTask(vek::i32 kind) {
  cPlayer* p = CurrentPlayer();
  if (!p) return;
  for (auto& task : p->activeTasks) {
    if (task.kind != kind) continue;
    if (--task.count <= 0) task.kind = -1;
  }
}

void cGameRules::FinishLevel() {
  cPlayer* p = CurrentPlayer();
  if (!p) return;
  RulesWorld()->ClearLevel();
  p->carLoad.clear();
  m_LastTimeGrade = GetTimeGrade();
  if (p->currentLevel >= 0) {
    const auto index = static_cast<size_t>(p->currentLevel);
    if (p->levelTimes.size() <= index) p->levelTimes.resize(index + 1, 0.0f);
    p->levelTimes[index] = p->elapsedTime;
  }
  // A level that opens a new holes layout brings its holes in at the next level's start.
  if (GetLevelFlag(2)) m_Animations.RestartHolesAnimation();
}

int cGameRules::SortsForLevel(int level) {
  if (level < 1) return 0;
  if (level < 4) return 1;
  if (level < 9) return 2;
  if (level < 14) return 3;
  if (level < 19) return 4;
  if (level < 23) return 5;
  if (level < 31) return 6;
  return 7;
}

int cGameRules::HolesForLevel(int level, int layoutCount) {
  int holes = level < 1 ? 0 : level < 4 ? 1 : level < 12 ? 2 : level < 19 ? 3 : 4;
  if (layoutCount > 0) holes = std::min(holes, layoutCount - 1);
  return holes;
}

bool cGameRules::StartLevel(int level) {
  cPlayer* p = CurrentPlayer();
  if (!p) return false;
  iRulesWorld* world = RulesWorld();
  m_Animations.RestartLevelAnimation();
  p->LoadGame(level);
  world->ShowLevel();
  SetupLevelMissions(level);
  // The unlocks of the level being played (the selected one when the main save continues).
  p->lastSort = SortsForLevel(p->currentLevel);
  p->holesLayout = HolesForLevel(p->currentLevel, world->GetHolesLayoutCount());
  // The snapshot's field was laid out with the layout of the level before; a level whose
  // layout is a larger one gets its holes now, so the field played is the one a continued
  // game loads from the main save.
  world->AddLayoutHoles();
  CheckShips();
  world->SwitchWindow("garden", 1);
  world->UpdateToolbars();
  return true;
}

bool cGameRules::AdvanceIsland() {
  cPlayer* p = CurrentPlayer();
  if (!p) return false;
  ++p->levelProgress;
  iRulesWorld* world = RulesWorld();
  if (!world->HasGardener()) return false;
  if (!p->SaveGame(p->levelProgress)) return false;
  world->ResetGardenerWork();
  p->selectedLevel = -1;
  return true;
}

bool cGameRules::SaveBetweenLevels() {
  cPlayer* p = CurrentPlayer();
  if (!p || p->selectedLevel >= 0 || RulesWorld()->GetIslandMode() == 2) return false;
  return p->SaveGame(-1);
}

bool cGameRules::NextHolesLayout() {
  cPlayer* p = CurrentPlayer();
  if (!p || p->holesLayout >= RulesWorld()->GetHolesLayoutCount() - 1) return false;
  ++p->holesLayout;
  return true;
}

bool cGameRules::AwardNextSort() {
  cPlayer* p = CurrentPlayer();
  iRulesWorld* world = RulesWorld();
  if (!p || !world->HasPlantSort(p->lastSort + 1)) return false;
  ++p->lastSort;
  world->PlaySound(12);
  world->SendWindowMessage("garden", 1, 0);
  return true;
}

bool cGameRules::AwardNextAnimal() {
  cPlayer* p = CurrentPlayer();
  if (!p || p->animalKinds + 1 >= 4) return false;
  ++p->animalKinds;
  RulesWorld()->PlaySound(12);
  RulesWorld()->SendWindowMessage("garden", 1, 0);
  return true;
}

bool cGameRules::IsIslandReady() const { return IsIslandReadyIn(RulesWorld()->GetIslandMode()); }

bool cGameRules::IsIslandReadyIn(int mode) const {
  const cPlayer* p = CurrentPlayer();
  iRulesWorld* world = RulesWorld();
  if (mode == 2) return true;
  if (mode != 1 || !p) return false;
  const int step = world->GetTrainingStep();
  return p->levelProgress >= 7 && (step < 0 || step == 3);
}

bool cGameRules::HasIslandProgress() const {
  const cPlayer* p = CurrentPlayer();
  return (p && p->levelProgress > 0) || RulesWorld()->GetIslandMode() == 2;
}

void cGameRules::CheckShips() {
  iRulesWorld* world = RulesWorld();
  if (world->IsShipUnderway()) return;
  const int room = world->SumHouseValues() - world->CountPeople();
  if (room <= 0) return;
  world->ClearShips();
  world->SendShip(room);
}

vek::i32 cGameRules::ClampToBank(vek::i32 price) const {
  const cPlayer* p = CurrentPlayer();
  const vek::i32 bank = p ? p->bank : 0;
  if (price <= bank) return price;
  return bank < 5 ? bank : bank - 5;
}
