#pragma once
// The one object through which the play field, the island, the windows and the game's rules
// reach the game application: the world's services, the rules' host and the rules' world. This
// class answers everything the application itself holds (money and the mission through the
// rules, hints and training tips, ships, sounds, windows, texts, the holes layouts, the music
// slots); what lives on the play field or the island is left at "nothing there" for the
// folders above the application, which derive from it and hand their object to
// cGarden::SetLink.
#include "game/app/building_catalogue.h"
#include "game/app/garden_services.h"
#include "game/app/rules_host.h"

class cGarden;

class cGardenLink : public iGardenServices, public iRulesHost, public iRulesWorld {
 public:
  explicit cGardenLink(cGarden& garden) : m_Garden(garden) {}
  cGarden& Garden() const { return m_Garden; }

  // ---- shared by the three interfaces
  // Plays entry id of the sound table and counts it; an entry that was never loaded is named
  // in the log once.
  void PlaySound(vek::i32 id) override;
  // How often entry id was asked for since the link was made.
  vek::u32 GetSoundPlays(vek::i32 id) const;
  void SwitchWindow(const vek::string& name, vek::i32 mode) override;
  void SendWindowMessage(const vek::string& window, vek::i32 p1, vek::i32 p2) override;
  // A text-table entry by field name; an unknown name gives the name itself.
  vek::string GetText(const vek::string& key) override;
  bool IsPaused() override;
  vek::i32 GetTrainingStep() override;
  void ClearShips() override;

  // ---- services of the world
  vek::i32 GetMoney() override;
  void SpendMoney(vek::i32 amount) override;
  void CheckHints() override;
  void CloseHint() override;
  vek::i32 GetHintIndex() override;
  bool IsHintAnimating() override;
  bool IsFieldHeldByHint() override;
  bool IsTraining() override;
  vek::i32 GetTrainingClickFlag() override { return 1; }
  void HideAllWindows() override;
  vek::i32 GetPlayMode() override;
  // The mission step of the application (see cGarden::UpdateMission).
  void UpdateMission() override;
  vek::f32 GetMissionTime() override;
  // The level animation of the running level has ended.
  bool IsLevelStartTweenDone() override;
  bool IsHolesAnimationRunning() override;
  // From the level number: 0 on level 0, 1 for levels 1-3, 2 for 4-11, 3 for 12-18, else 4.
  vek::i32 GetWaterFlag() override;
  void UpdateShips() override;
  vek::u32 GetShipCount() override;
  cShipView GetShip(vek::u32 index) override;
  void StepIslandEffects() override;
  void UpdateIslandTexts(vek::f32 dt) override;
  vek::string GetProfilePath(vek::i32 slot) override;
  vek::f32 GetSaveVersion() override;
  const std::vector<cHolesLayout>& GetHolesLayouts() override;
  vek::i32 GetHolesLayoutIndex() override;
  cParticles* GetParticles() override { return nullptr; }
  cFlyerList* GetFlyers() override { return nullptr; }
  vek::cMusic* GetMusicSlot(vek::i32 slot) override;
  void SetMusicSlot(vek::i32 slot, vek::cMusic* music) override;
  vek::i32 GetLevelProgress() override;
  vek::i32 GetCurrentLevel() override;
  void ShowTraining(vek::i32 step) override;
  void ShowHint(vek::i32 hint) override;
  bool IsIslandReady() override;
  bool HasIslandProgress() override;
  vek::i32 GetRateProgress() override;
  vek::i32 GetIslandRateProgress() override;
  bool AdvanceIsland() override;
  void CheckShips() override;
  void SaveBetweenLevels() override;
  void AskConfirm(const vek::string& text, const vek::string& icon, const vek::string& command) override;

  // ---- field life: hints and training, the profile's upgrades, counters, car load and tasks
  bool NextHintStep(vek::i32 hint, vek::i32 step) override;
  bool IsHintShown(vek::i32 hint) override;
  void MarkHint11Shown() override;
  vek::i32 GetUpgradeLevel(vek::i32 upgrade) override;
  // Without a profile there is nothing to teach: every step counts as done.
  bool IsTrainingDone(vek::i32 step) override;
  void EndTraining(vek::i32 step) override;
  void ClearTrainingStep() override;
  void HideWindowIfShown(const vek::string& name) override;
  vek::u32 GetCarLoadCount() override;
  // The load is trimmed to what the tasks still need; false without a profile or a load.
  bool PrepareCarLoad() override;
  vek::i32 SellCarLoad() override;
  // Money never goes below 0 nor wraps past the largest amount.
  void AddMoney(vek::i32 amount) override;
  // Appends the ware (unless it is the no-ware id) and counts its tasks down.
  void AddToCarLoad(vek::i32 ware) override;
  // The level's open field is the third level flag (the institute's gift).
  bool IsOpenField() override;
  std::vector<cMissionTask>* GetActiveTasks() override;
  cMissionTask* FindTaskForWare(vek::i32 ware) override;
  void DecWareTask(vek::i32 ware) override;
  void DecKindTask(vek::i32 kind) override;
  void CountAnimalBought(vek::i32 kind) override;
  void CountProduced(vek::i32 ware) override;
  vek::i32 GetHighestPlant() override;
  // The loaded sample of a sound-table entry; 0 for an unknown or missing one.
  vek::u32 GetSoundBuffer(vek::i32 sound) override;
  // The shop price of animal kind 0 ostrich, 1 goat, 2 hive, 3 peacock; -1 for other kinds.
  vek::i32 GetAnimalPrice(vek::i32 kind) override;
  const cAnimalPrices& AnimalPrices() const { return m_AnimalPrices; }

  // ---- the rules' host
  int GetPlayerCounter() override;
  void SetPlayerCounter(int value) override;
  vek::i32 GetTraining() override;
  void SetTraining(vek::i32 value) override;
  vek::i32 GetPumpState() override;
  void SetPumpState(vek::i32 value) override;
  // Not while the island has the focus or the game is paused.
  bool CanSaveMain() override;
  vek::string GetUserName() override;
  vek::i32 GetWareId(const vek::string&) override { return kNoWare; }
  vek::string GetWareName(vek::i32) override { return {}; }

  // ---- the rules' world, as far as the application holds it
  int GetActiveHint() override;
  int GetHolesLayoutCount() override;
  void LaunchShip() override;
  bool IsShipUnderway() override;
  void SendShip(int people) override;

  // ---- what only the play field knows, asked by the application's mission step
  // One fixed step of the water pump's timer (the pump opens once the first plants grow).
  virtual void StepWaterPump() {}
  // The island map's view goes back to its start (after a change of profile).
  virtual void ResetIslandView();

  // ---- the island (garden_link_island.cpp): answered through the registered island
  // (GardenIsland()), "no island" while none is registered
  bool GetIslandHouseRect(vek::u32 id, vek::rectf* rect) override;
  void AddFactoryInput(vek::u32 id) override;
  int CountBuiltBuildings() override;
  bool IsBuildingBuilt(const vek::string& name) override;
  int GetIslandMode() override;
  int SumHouseValues() override;
  int CountPeople() override;
  void AddPeople(int people) override;
  vek::i32 GetFactoryProduct(vek::i32 input) override;
  vek::i32 GetFactoryStock(vek::i32 input) override;
  bool AddFactoryInput(vek::i32 input) override;
  // Level start: the island waits in its after-level mode.
  void ShowLevel() override;
  // Level end: the island's factories idle and empty.
  void ClearLevel() override;
  // The island's targets ("level house", "level place", "ship"), the windows' controls
  // ("control <window> <name>", "task <n>", "clock medal") and "point <x> <y>"; any other
  // name is the play field's (FindFieldTarget).
  bool FindTarget(const vek::string& target, vek::f32* rect) override;
  virtual bool FindFieldTarget(const vek::string& /*target*/, vek::f32* /*rect*/) { return false; }
  // The hint window "hint", through the registered placer.
  void ShowHintWindow(const vek::string& text, const vek::f32* rect, vek::f32 x, vek::f32 y, int placement,
                      int flag) override;
  void HideHintWindow() override;

 private:
  cGarden& m_Garden;
  cAnimalPrices m_AnimalPrices;
  std::vector<vek::u32> m_SoundPlays;
  std::vector<bool> m_SoundMissing;
  // False after a hint text the hint window could not take: the window is not shown empty.
  bool m_bHintPlaced = true;
};
