#include "game/app/garden_link.h"

#include <algorithm>
#include <limits>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "game/app/garden.h"
#include "game/app/locale_gd.h"
#include "game/app/player.h"

namespace {

cPlayer* Current() { return CurrentPlayer(); }

}  // namespace

// ---- shared

void cGardenLink::PlaySound(vek::i32 id) {
  const auto& table = m_Garden.GetSoundTable();
  if (id >= 0 && static_cast<size_t>(id) < table.size()) {
    const auto i = static_cast<size_t>(id);
    if (m_SoundPlays.size() < table.size()) {
      m_SoundPlays.resize(table.size(), 0);
      m_SoundMissing.resize(table.size(), false);
    }
    ++m_SoundPlays[i];
    if (table[i] == 0 && !m_SoundMissing[i]) {
      m_SoundMissing[i] = true;
      vek::LogWarning("cGardenLink", "PlaySound: sound %i was not loaded and stays silent\n", id);
    }
  }
  m_Garden.PlaySound(id);
}

vek::u32 cGardenLink::GetSoundPlays(vek::i32 id) const {
  return id >= 0 && static_cast<size_t>(id) < m_SoundPlays.size() ? m_SoundPlays[static_cast<size_t>(id)] : 0;
}

void cGardenLink::SwitchWindow(const vek::string& name, vek::i32 mode) {
  // A hint whose text could not be placed stays hidden rather than an empty board over the
  // field that swallows the player's clicks.
  if (name == "hint" && !m_bHintPlaced) return;
  m_Garden.SwitchWindow(name, mode);
}

void cGardenLink::SendWindowMessage(const vek::string& window, vek::i32 p1, vek::i32 p2) {
  m_Garden.SendWindowMessage(window, p1, p2);
}

vek::string cGardenLink::GetText(const vek::string& key) {
#define LOCALE_GD_FIND(field, ...) \
  if (key == #field) return g_LocaleGD.field;
  LOCALE_GD_MESSAGES(LOCALE_GD_FIND)
  LOCALE_GD_KEYS(LOCALE_GD_FIND)
#undef LOCALE_GD_FIND
  return key;
}

bool cGardenLink::IsPaused() { return m_Garden.m_Paused != 0; }
vek::i32 cGardenLink::GetTrainingStep() { return m_Garden.Hints().GetTrainingStep(); }
void cGardenLink::ClearShips() { m_Garden.Ships().Clear(); }

// ---- services of the world

vek::i32 cGardenLink::GetMoney() { return m_Garden.Rules().GetMoney(); }
void cGardenLink::SpendMoney(vek::i32 amount) { m_Garden.Rules().SpendMoney(amount); }
void cGardenLink::CheckHints() { m_Garden.Hints().CheckHints(); }
void cGardenLink::CloseHint() { m_Garden.Hints().CloseHint(); }
vek::i32 cGardenLink::GetHintIndex() { return m_Garden.Hints().GetHint(); }
// Between two steps of a hint the field takes no clicks.
bool cGardenLink::IsHintAnimating() { return m_Garden.Hints().IsPausing(); }
bool cGardenLink::IsFieldHeldByHint() { return m_Garden.Hints().HoldsField(); }
bool cGardenLink::IsLevelStartTweenDone() { return m_Garden.Rules().Animations().IsLevelAnimationDone(); }
bool cGardenLink::IsHolesAnimationRunning() { return m_Garden.Rules().Animations().IsHolesAnimationRunning(); }
bool cGardenLink::IsTraining() { return m_Garden.m_iTraining != 0; }
void cGardenLink::HideAllWindows() { m_Garden.GetWindowHost().HideAllWindows(); }
vek::i32 cGardenLink::GetPlayMode() { return m_Garden.m_PlayMode; }
void cGardenLink::UpdateMission() { m_Garden.UpdateMission(); }

vek::f32 cGardenLink::GetMissionTime() {
  const cPlayer* p = Current();
  return p ? p->elapsedTime : 0.0f;
}

vek::i32 cGardenLink::GetWaterFlag() {
  const cPlayer* p = Current();
  const int level = p ? p->currentLevel : 0;
  if (level <= 0) return 0;
  if (level <= 3) return 1;
  if (level <= 11) return 2;
  if (level <= 18) return 3;
  return 4;
}

void cGardenLink::UpdateShips() { m_Garden.Ships().Update(); }
vek::u32 cGardenLink::GetShipCount() { return static_cast<vek::u32>(m_Garden.Ships().List().size()); }

cShipView cGardenLink::GetShip(vek::u32 index) {
  const auto& ships = m_Garden.Ships().List();
  if (index >= ships.size()) return {};
  // Ships sail from the left to the island on the right.
  return {ships[index].progress, 1, ships[index].people};
}

vek::string cGardenLink::GetProfilePath(vek::i32 slot) {
  const cPlayer* p = Current();
  return p && !m_Garden.IsStandInPlayer(p) ? p->GetProfilePath(slot) : vek::string();
}

vek::f32 cGardenLink::GetSaveVersion() {
  const cPlayer* p = Current();
  return p ? p->version : cPlayer::kVersion;
}

const std::vector<cHolesLayout>& cGardenLink::GetHolesLayouts() { return m_Garden.HolesLayouts(); }

vek::i32 cGardenLink::GetHolesLayoutIndex() {
  const cPlayer* p = Current();
  return p ? p->holesLayout : 0;
}

vek::cMusic* cGardenLink::GetMusicSlot(vek::i32 slot) {
  return slot == 0 || slot == 1 ? m_Garden.m_MusicSlots[slot] : nullptr;
}

void cGardenLink::SetMusicSlot(vek::i32 slot, vek::cMusic* music) {
  if (slot == 0 || slot == 1) m_Garden.m_MusicSlots[slot] = music;
}

vek::i32 cGardenLink::GetLevelProgress() {
  const cPlayer* p = Current();
  return p ? p->levelProgress : 0;
}

vek::i32 cGardenLink::GetCurrentLevel() {
  const cPlayer* p = Current();
  return p ? p->currentLevel : 0;
}

void cGardenLink::ShowTraining(vek::i32 step) {
  if (step < 0)
    m_Garden.Hints().EndTraining(-1);
  else
    m_Garden.Hints().ShowTraining(step, 0);
}

void cGardenLink::ShowHint(vek::i32 hint) { m_Garden.Hints().ShowHint(hint); }
bool cGardenLink::IsIslandReady() { return m_Garden.Rules().IsIslandReady(); }
bool cGardenLink::HasIslandProgress() { return m_Garden.Rules().HasIslandProgress(); }

vek::i32 cGardenLink::GetRateProgress() {
  int progress = 0;
  m_Garden.Rules().GetRate(nullptr, &progress);
  return progress;
}

vek::i32 cGardenLink::GetIslandRateProgress() {
  int progress = 0;
  m_Garden.Rules().GetIslandRate(nullptr, &progress);
  return progress;
}

bool cGardenLink::AdvanceIsland() { return m_Garden.Rules().AdvanceIsland(); }
void cGardenLink::CheckShips() { m_Garden.Rules().CheckShips(); }
void cGardenLink::SaveBetweenLevels() { m_Garden.Rules().SaveBetweenLevels(); }

void cGardenLink::AskConfirm(const vek::string& text, const vek::string& icon, const vek::string& command) {
  // The question box: the icon by name, "Yes" and "No".
  static const char* const kIcons[] = {"icon_error", "icon_info", "icon_warning", "icon_question"};
  int index = 3;
  for (int i = 0; i < 4; ++i)
    if (icon == kIcons[i]) index = i;
  ShowMessageBox(index, 2, text, command);
}

// ---- field life

bool cGardenLink::NextHintStep(vek::i32 hint, vek::i32 step) { return m_Garden.Hints().NextHintStep(hint, step); }
bool cGardenLink::IsHintShown(vek::i32 hint) { return m_Garden.Hints().IsHintShown(hint); }

void cGardenLink::MarkHint11Shown() {
  cPlayer* p = Current();
  if (p && p->hintFlags.size() > 11) p->hintFlags[11] = 1;
}

vek::i32 cGardenLink::GetUpgradeLevel(vek::i32 upgrade) {
  const cPlayer* p = Current();
  if (!p || upgrade < 0 || static_cast<size_t>(upgrade) >= p->upgradeLevels.size()) return 0;
  return p->upgradeLevels[static_cast<size_t>(upgrade)];
}

bool cGardenLink::IsTrainingDone(vek::i32 step) {
  const cPlayer* p = Current();
  if (!p || step < 0 || static_cast<size_t>(step) >= p->trainingFlags.size()) return true;
  return p->trainingFlags[static_cast<size_t>(step)] != 0;
}

void cGardenLink::EndTraining(vek::i32 step) { m_Garden.Hints().EndTraining(step); }

void cGardenLink::ClearTrainingStep() {
  // The step is forgotten without touching the window: ending a step that is not the active
  // one clears it and leaves the hint window as it is.
  const int active = m_Garden.Hints().GetTrainingStep();
  if (active >= 0) m_Garden.Hints().EndTraining(active + 1);
}

void cGardenLink::HideWindowIfShown(const vek::string& name) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (gui && gui->IsWindowShown(name)) gui->HideWindow(name);
}

vek::u32 cGardenLink::GetCarLoadCount() {
  const cPlayer* p = Current();
  return p ? static_cast<vek::u32>(p->carLoad.size()) : 0;
}

bool cGardenLink::PrepareCarLoad() {
  const cPlayer* p = Current();
  if (!p || p->carLoad.empty()) return false;
  m_Garden.Rules().PrepareCarLoad();
  return true;
}

vek::i32 cGardenLink::SellCarLoad() { return m_Garden.Rules().SellCarLoad(); }

void cGardenLink::AddMoney(vek::i32 amount) {
  if (!Current()) return;
  const vek::i64 sum = static_cast<vek::i64>(m_Garden.Rules().GetMoney()) + amount;
  m_Garden.Rules().SetMoney(static_cast<vek::i32>(std::clamp<vek::i64>(sum, 0, std::numeric_limits<vek::i32>::max())));
}

void cGardenLink::AddToCarLoad(vek::i32 ware) {
  cPlayer* p = Current();
  if (!p) return;
  if (ware != kNoWare) p->carLoad.push_back(ware);
  DecWareTask(ware);
}

bool cGardenLink::IsOpenField() { return m_Garden.Rules().GetLevelFlag(3); }

std::vector<cMissionTask>* cGardenLink::GetActiveTasks() {
  cPlayer* p = Current();
  return p ? &p->activeTasks : nullptr;
}

cMissionTask* cGardenLink::FindTaskForWare(vek::i32 ware) { return m_Garden.Rules().FindTaskForWare(ware); }
void cGardenLink::DecWareTask(vek::i32 ware) { m_Garden.Rules().DecWareTask(ware); }
void cGardenLink::DecKindTask(vek::i32 kind) { m_Garden.Rules().DecKindTask(kind); }
void cGardenLink::CountAnimalBought(vek::i32 kind) { m_Garden.Rules().CountAnimalBought(kind); }
void cGardenLink::CountProduced(vek::i32 ware) { m_Garden.Rules().CountProduced(ware); }

vek::i32 cGardenLink::GetHighestPlant() {
  const cPlayer* p = Current();
  return p ? p->lastSort : 0;
}

vek::u32 cGardenLink::GetSoundBuffer(vek::i32 sound) {
  const auto& table = m_Garden.GetSoundTable();
  if (sound < 0 || static_cast<size_t>(sound) >= table.size() || table[static_cast<size_t>(sound)] <= 0) return 0;
  return static_cast<vek::u32>(table[static_cast<size_t>(sound)]);
}

vek::i32 cGardenLink::GetAnimalPrice(vek::i32 kind) {
  return kind >= 0 && kind < 4 ? ::GetAnimalPrice(m_AnimalPrices, kind) : -1;
}

// ---- the rules' host

int cGardenLink::GetPlayerCounter() { return static_cast<int>(m_Garden.GetPlayerCounter()); }
void cGardenLink::SetPlayerCounter(int value) { m_Garden.SetPlayerCounter(static_cast<vek::u32>(value)); }
// The switch of the options window, kept in each profile.
vek::i32 cGardenLink::GetTraining() { return m_Garden.m_iTraining; }
void cGardenLink::SetTraining(vek::i32 value) { m_Garden.m_iTraining = value; }
vek::i32 cGardenLink::GetPumpState() { return m_Garden.m_PumpState; }
void cGardenLink::SetPumpState(vek::i32 value) { m_Garden.m_PumpState = value; }

bool cGardenLink::CanSaveMain() {
  if (m_Garden.m_Paused != 0) return false;
  return !vek::g_pGame || vek::g_pGame->GetFocusWidgetName() != "island";
}

vek::string cGardenLink::GetUserName() { return vek::g_pGame ? vek::g_pGame->GetUserName() : vek::string(); }

// ---- the rules' world

int cGardenLink::GetActiveHint() { return m_Garden.Hints().GetHint(); }
int cGardenLink::GetHolesLayoutCount() { return static_cast<int>(m_Garden.HolesLayouts().size()); }
void cGardenLink::LaunchShip() { m_Garden.Ships().Add(0, &m_Garden.Hints()); }

bool cGardenLink::IsShipUnderway() {
  for (const cShip& ship : m_Garden.Ships().List())
    if (ship.people > 0) return true;
  return false;
}

void cGardenLink::SendShip(int people) { m_Garden.Ships().Add(people, &m_Garden.Hints()); }
