#pragma once
// A headless garden world for tests: textures in memory with the sizes of the data set,
// sprite areas from `.tex` scripts, fonts, the ware manager, fixed random seeds, and the game
// application's services replaced by a recording fake. No graphics device is made.
#include <algorithm>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "engine/script/script.h"
#include "engine/render/quad_batch.h"
#include "game/app/garden_services.h"
#include "game/world/balance.h"
#include "game/app/player.h"
#include "game/world/effects.h"
#include "game/world/particles.h"

class cLevel;

namespace vektest {

// Records what the world asked for; every answer can be set by the test.
class FakeGardenServices : public cNullGardenServices {
 public:
  FakeGardenServices();
  ~FakeGardenServices() override;

  vek::i32 GetMoney() override { return money; }
  void SpendMoney(vek::i32 amount) override {
    if (money >= amount) money -= amount;
  }
  void PlaySound(vek::i32 index) override { sounds.push_back(index); }
  void CheckHints() override { calls.push_back("CheckHints"); }
  void CloseHint() override { calls.push_back("CloseHint"); }
  vek::i32 GetHintIndex() override { return hintIndex; }
  bool IsHintAnimating() override { return hintAnimating; }
  bool IsFieldHeldByHint() override { return fieldHeld; }
  bool IsTraining() override { return training; }
  vek::i32 GetTrainingClickFlag() override { return trainingClickFlag; }
  void SwitchWindow(const vek::string& name, vek::i32 mode) override {
    calls.push_back("SwitchWindow " + name + " " + std::to_string(mode));
  }
  void HideAllWindows() override { calls.push_back("HideAllWindows"); }
  vek::i32 GetPlayMode() override { return playMode; }
  void UpdateMission() override { calls.push_back("UpdateMission"); }
  vek::f32 GetMissionTime() override { return missionTime; }
  vek::i32 GetWaterFlag() override { return waterFlag; }
  void UpdateShips() override { calls.push_back("UpdateShips"); }
  void ClearShips() override { calls.push_back("ClearShips"); }
  vek::u32 GetShipCount() override { return static_cast<vek::u32>(ships.size()); }
  cShipView GetShip(vek::u32 i) override { return ships[i]; }
  void StepIslandEffects() override { calls.push_back("StepIslandEffects"); }
  vek::string GetProfilePath(vek::i32) override { return profilePath; }
  vek::f32 GetSaveVersion() override { return saveVersion; }
  const std::vector<cHolesLayout>& GetHolesLayouts() override { return layouts; }
  vek::i32 GetHolesLayoutIndex() override { return layoutIndex; }
  vek::string GetText(const vek::string& field) override {
    auto it = texts.find(field);
    return it == texts.end() ? vek::string{} : it->second;
  }
  cParticles* GetParticles() override { return particles.get(); }
  cFlyerList* GetFlyers() override { return flyers.get(); }
  vek::cMusic* GetMusicSlot(vek::i32 slot) override { return music[slot & 1]; }
  void SetMusicSlot(vek::i32 slot, vek::cMusic* m) override { music[slot & 1] = m; }
  bool IsLevelStartTweenDone() override { return levelStartDone; }
  bool IsHolesAnimationRunning() override { return holesAnimationRunning; }

  // island
  vek::i32 GetLevelProgress() override { return levelProgress; }
  vek::i32 GetCurrentLevel() override { return currentLevel; }
  vek::i32 GetTrainingStep() override { return trainingStep; }
  void ShowTraining(vek::i32 step) override {
    trainingStep = step;
    calls.push_back("ShowTraining " + std::to_string(step));
  }
  void ShowHint(vek::i32 hint) override { calls.push_back("ShowHint " + std::to_string(hint)); }
  bool IsPaused() override { return paused; }
  bool IsIslandReady() override { return islandReady; }
  bool HasIslandProgress() override { return islandProgress; }
  vek::i32 GetRateProgress() override { return rateProgress; }
  vek::i32 GetIslandRateProgress() override { return islandRateProgress; }
  bool AdvanceIsland() override {
    calls.push_back("AdvanceIsland");
    ++levelProgress;
    return true;
  }
  void CheckShips() override { calls.push_back("CheckShips"); }
  void SaveBetweenLevels() override { calls.push_back("SaveBetweenLevels"); }
  void SendWindowMessage(const vek::string& w, vek::i32 p1, vek::i32 p2) override {
    calls.push_back("Message " + w + " " + std::to_string(p1) + " " + std::to_string(p2));
  }
  void AskConfirm(const vek::string& text, const vek::string& icon, const vek::string& command) override {
    calls.push_back("AskConfirm " + text + " " + icon + " " + command);
  }
  // animals, purchases, transfers, need flags
  bool IsOpenField() override { return openField; }
  bool IsHintShown(vek::i32 hint) override { return shownHints.count(hint) != 0; }
  bool IsFieldFocused() override { return fieldFocused; }
  std::vector<cMissionTask>* GetActiveTasks() override { return &tasks; }
  cMissionTask* FindTaskForWare(vek::i32 ware) override {
    for (cMissionTask& t : tasks)
      if (!t.IsEmpty() && t.ware == ware) return &t;
    return nullptr;
  }
  void DecWareTask(vek::i32 ware) override { decWares.push_back(ware); }
  void DecKindTask(vek::i32 kind) override { decKinds.push_back(kind); }
  void CountAnimalBought(vek::i32 kind) override { animalsBought.push_back(kind); }
  vek::i32 GetAnimalPrice(vek::i32 kind) override { return kind >= 0 && kind < 4 ? animalPrices[kind] : -1; }
  vek::i32 GetHighestPlant() override { return highestPlant; }
  // As the game's: loads the ware (1000, no ware, never) and counts its task down.
  void AddToCarLoad(vek::i32 ware) override {
    if (ware != 1000) carLoad.push_back(ware);
    DecWareTask(ware);
  }
  bool GetIslandHouseRect(vek::u32 id, vek::rectf* r) override {
    auto it = houseRects.find(id);
    if (it == houseRects.end()) return false;
    *r = it->second;
    return true;
  }
  void AddFactoryInput(vek::u32 id) override { factoryInputs.push_back(id); }
  bool openField = false;
  std::set<vek::i32> shownHints;
  std::vector<std::pair<vek::i32, vek::i32>> hintSteps;
  bool fieldFocused = true;
  std::vector<cMissionTask> tasks;
  std::vector<vek::i32> decWares, decKinds, animalsBought, carLoad;
  vek::i32 animalPrices[4] = {100, 200, 300, 400};  // ostrich, goat, hive, peacock
  vek::i32 highestPlant = 0;
  std::map<vek::u32, vek::rectf> houseRects;
  std::vector<vek::u32> factoryInputs;

  vek::i32 levelProgress = 0;
  vek::i32 currentLevel = 0;
  vek::i32 trainingStep = -1;
  bool paused = false;
  bool islandReady = true;
  bool islandProgress = false;
  vek::i32 rateProgress = 1;
  vek::i32 islandRateProgress = 1;

  vek::i32 money = 0;
  std::vector<vek::i32> sounds;
  std::vector<std::string> calls;
  vek::i32 hintIndex = -1;
  bool hintAnimating = false;
  bool fieldHeld = false;
  bool training = false;
  vek::i32 trainingClickFlag = 1;
  vek::i32 playMode = 0;
  vek::f32 missionTime = 10.0f;
  vek::i32 waterFlag = 1;
  std::vector<cShipView> ships;
  vek::string profilePath;
  vek::f32 saveVersion = 1.0f;
  std::vector<cHolesLayout> layouts;
  vek::i32 layoutIndex = 0;
  std::map<std::string, std::string> texts;
  vek::cQuadBatch batch;
  std::unique_ptr<cParticles> particles;
  std::unique_ptr<cFlyerList> flyers;
  vek::cMusic* music[2] = {nullptr, nullptr};
  bool levelStartDone = true;
  bool holesAnimationRunning = false;

  // field life
  bool NextHintStep(vek::i32 hint, vek::i32 step) override {
    hintSteps.emplace_back(hint, step);
    return hint == advanceHint && step == advanceStep;
  }
  vek::i32 GetUpgradeLevel(vek::i32 upgrade) override { return upgrade >= 0 && upgrade < 6 ? upgrades[upgrade] : 0; }
  bool IsTrainingDone(vek::i32 step) override { return step < 0 || step >= 10 || trainingDone[step]; }
  void HideWindowIfShown(const vek::string& name) override { calls.push_back("Hide " + name); }
  const cBalance* GetBalance() override { return &balance; }
  vek::u32 GetCarLoadCount() override { return static_cast<vek::u32>(carLoad.size()); }
  bool PrepareCarLoad() override { return carLoadAccepted; }
  vek::i32 SellCarLoad() override {
    calls.push_back("SellCarLoad");
    carLoad.clear();
    return saleEarnings;
  }
  void AddMoney(vek::i32 amount) override { money = std::max(0, money + amount); }
  vek::i32 advanceHint = -1, advanceStep = -1;  // the one hint step that advances
  vek::i32 upgrades[6] = {0, 0, 0, 0, 0, 0};
  bool trainingDone[10] = {true, true, true, true, true, true, true, true, true, true};
  cBalance balance;
  bool carLoadAccepted = true;
  vek::i32 saleEarnings = 0;

  // the gardener
  void MarkHint11Shown() override { hint11Marked = true; }
  void CountProduced(vek::i32 ware) override { produced.push_back(ware); }
  bool hint11Marked = false;
  std::vector<vek::i32> produced;
};

// The world's services as a test needs them; one at a time.
class WorldHarness {
 public:
  static constexpr vek::f32 kStep = 1.0f / 30.0f;

  WorldHarness();
  ~WorldHarness();
  WorldHarness(const WorldHarness&) = delete;
  WorldHarness& operator=(const WorldHarness&) = delete;

  // A texture of the given size in memory under the name, then its area script.
  bool LoadSheet(const std::string& name, vek::u32 width, vek::u32 height, const std::string& texScript);
  // Every sheet of the world's test data (tests/game/world/data/sheets.txt: name width height).
  bool LoadTestSheets();
  // The product table with English display names.
  void BuildWares();
  // n fixed steps and frame updates of the field.
  void Run(cLevel& level, int steps);

  FakeGardenServices services;
  vek::cScript script;
};

}  // namespace vektest
