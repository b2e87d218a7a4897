#pragma once
// What the garden world asks of the game application (money, sounds, hints, windows, the
// mission, the profile and the game-wide effect lists). The world reaches the game object
// only through this interface, so tests can run a field with a fake. cNullGardenServices
// answers everything with "nothing here" and is what GardenServices() gives while no game
// object has registered itself.
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/types.h"

namespace vek {
class cMusic;
}
class cParticles;
struct cBalance;
class cFlyerList;
struct cMissionTask;

// The hole cells of one level's layout, in reading order: {row, column}.
struct cHoleCell {
  vek::i32 row = 0;
  vek::i32 column = 0;
  bool operator==(const cHoleCell&) const = default;
};
using cHolesLayout = std::vector<cHoleCell>;

// A ship on its way to the island: progress 0..1 along the horizon, its heading (0 or
// above: to the right) and the people it brings (none for a ship passing by).
struct cShipView {
  vek::f32 progress = 0.0f;
  vek::i32 direction = 0;
  vek::i32 people = 0;
};

class iGardenServices {
 public:
  virtual ~iGardenServices() = default;

  // Money of the current player.
  virtual vek::i32 GetMoney() = 0;
  virtual void SpendMoney(vek::i32 amount) = 0;
  // Entry i of the game's sound table, once.
  virtual void PlaySound(vek::i32 index) = 0;

  // Hints and training.
  virtual void CheckHints() = 0;
  virtual void CloseHint() = 0;
  virtual vek::i32 GetHintIndex() = 0;        // -1 when no hint step is active
  virtual bool IsHintAnimating() = 0;         // the hint's animation has not reached its target
  // A lesson waits for the player: the field's timers of withering and spoiling hold.
  virtual bool IsFieldHeldByHint() { return false; }
  virtual bool IsTraining() = 0;
  virtual vek::i32 GetTrainingClickFlag() = 0;  // the player's flag that ends the training click gate

  // Windows.
  virtual void SwitchWindow(const vek::string& name, vek::i32 mode) = 0;
  virtual void HideAllWindows() = 0;

  // The running level.
  virtual vek::i32 GetPlayMode() = 0;  // 0 while a level is played, 2 in the after-level sequence
  virtual void UpdateMission() = 0;
  virtual vek::f32 GetMissionTime() = 0;
  virtual vek::i32 GetWaterFlag() = 0;
  virtual void UpdateShips() = 0;
  virtual void ClearShips() = 0;
  virtual vek::u32 GetShipCount() = 0;
  virtual cShipView GetShip(vek::u32 index) = 0;
  // The island works on while a level is played.
  virtual void StepIslandEffects() = 0;
  virtual void UpdateIslandTexts(vek::f32 dt) = 0;

  // The profile: the folder of the current player's slot ("" without a current player), the
  // version of the save being read, the holes layouts and the player's layout index.
  virtual vek::string GetProfilePath(vek::i32 slot) = 0;
  virtual vek::f32 GetSaveVersion() = 0;
  virtual const std::vector<cHolesLayout>& GetHolesLayouts() = 0;
  virtual vek::i32 GetHolesLayoutIndex() = 0;

  // An entry of the game's text table by field name ("" when unknown).
  virtual vek::string GetText(const vek::string& field) = 0;

  // Game-wide effect lists and the two music slots (null when none).
  virtual cParticles* GetParticles() = 0;
  virtual cFlyerList* GetFlyers() = 0;
  virtual vek::cMusic* GetMusicSlot(vek::i32 slot) = 0;
  virtual void SetMusicSlot(vek::i32 slot, vek::cMusic* music) = 0;

  // Mission tasks and their indicators.
  // The level-start tween has ended (the training steps about tasks may show).
  virtual bool IsLevelStartTweenDone() { return true; }
  // The holes animation is running: holes of a new layout are made hidden until it ends.
  virtual bool IsHolesAnimationRunning() { return false; }
  // The training step the island's windows end (-1: whichever is active; the hint window is
  // hidden when it showed that step), and the active step forgotten without hiding anything.
  virtual void EndTraining(vek::i32 /*step*/) {}
  virtual void ClearTrainingStep() {}
  // The island map: the player's level progress and the level being played, training and
  // hints, the ratings' progress, window messages and the island's steps of the game.
  virtual vek::i32 GetLevelProgress() = 0;
  virtual vek::i32 GetCurrentLevel() = 0;
  virtual vek::i32 GetTrainingStep() = 0;  // -1 when none is active
  virtual void ShowTraining(vek::i32 step) = 0;  // -1 ends the active step
  virtual void ShowHint(vek::i32 hint) = 0;      // -1: the pending hint
  virtual bool IsPaused() = 0;
  virtual bool IsIslandReady() = 0;
  virtual bool HasIslandProgress() = 0;
  virtual vek::i32 GetRateProgress() = 0;
  virtual vek::i32 GetIslandRateProgress() = 0;
  virtual bool AdvanceIsland() = 0;
  virtual void CheckShips() = 0;
  // The island is back on its map after a level: the profile's main save takes what the level
  // paid and what was bought since, so that a profile loaded again before the next level starts
  // shows its bank as it is.
  virtual void SaveBetweenLevels() {}
  virtual void SendWindowMessage(const vek::string& window, vek::i32 p1, vek::i32 p2) = 0;
  // Asks the player to confirm a command (the message box with its text and icon).
  virtual void AskConfirm(const vek::string& text, const vek::string& icon, const vek::string& command) = 0;

  // Field life: training hint steps, the player's upgrades and training, the balance record,
  // the car's load and its sale.
  // Advances the hint's step when it is the one due; true when it advanced.
  virtual bool NextHintStep(vek::i32 /*hint*/, vek::i32 /*step*/) { return false; }
  // The current player's level of upgrade 0..5.
  virtual vek::i32 GetUpgradeLevel(vek::i32 /*upgrade*/) { return 0; }
  // Whether the current player has done the training step.
  virtual bool IsTrainingDone(vek::i32 /*step*/) { return true; }
  // Hides the named window when it is shown.
  virtual void HideWindowIfShown(const vek::string& /*name*/) {}
  // The game's balance record; null when there is none (GameBalance gives the defaults then).
  virtual const cBalance* GetBalance() { return nullptr; }
  virtual vek::u32 GetCarLoadCount() { return 0; }
  // Before a sale: false refuses it (the car stays parked).
  virtual bool PrepareCarLoad() { return true; }
  // The earnings of the load; the load is emptied.
  virtual vek::i32 SellCarLoad() { return 0; }
  // Adds to the current player's money, never below 0.
  virtual void AddMoney(vek::i32 /*amount*/) {}
  // The field's animals, purchases, transfers and need flags.
  // The level's open-field flag: animals roam and graze anywhere, products come sooner.
  virtual bool IsOpenField() { return false; }
  virtual bool IsHintShown(vek::i32 /*hint*/) { return true; }
  // The focused widget is the play field ("garden").
  virtual bool IsFieldFocused() { return true; }
  // The current player's active mission tasks (null without a player).
  virtual std::vector<cMissionTask>* GetActiveTasks() { return nullptr; }
  // The first active task a ware serves (directly or through its factory chain); null when none.
  virtual cMissionTask* FindTaskForWare(vek::i32 /*ware*/) { return nullptr; }
  virtual void DecWareTask(vek::i32 /*ware*/) {}
  virtual void DecKindTask(vek::i32 /*kind*/) {}
  virtual void CountAnimalBought(vek::i32 /*kind*/) {}
  // The price of animal kind 0 ostrich, 1 goat, 2 hive, 3 peacock (-1: the balance table's).
  virtual vek::i32 GetAnimalPrice(vek::i32 /*kind*/) { return -1; }
  // The highest plant sort index the player has unlocked.
  virtual vek::i32 GetHighestPlant() { return 0; }
  // Loads a ware into the car (never 1000, no ware) and counts its task down.
  virtual void AddToCarLoad(vek::i32 /*ware*/) {}
  // The screen rectangle of an island house or factory by id; false when there is none.
  virtual bool GetIslandHouseRect(vek::u32 /*id*/, vek::rectf* /*rect*/) { return false; }
  // A ware in flight has reached the island factory with that id.
  virtual void AddFactoryInput(vek::u32 /*id*/) {}

  // The gardener: the flag of the sowing-over hint, the produced-ware counters, and the
  // sample buffer of a game sound for its own looping channels (0 when none).
  virtual void MarkHint11Shown() {}
  virtual void CountProduced(vek::i32 /*ware*/) {}
  virtual vek::u32 GetSoundBuffer(vek::i32 /*sound*/) { return 0; }
};

// Every answer empty: no money, no hint, no player, nothing to draw.
class cNullGardenServices : public iGardenServices {
 public:
  vek::i32 GetMoney() override { return 0; }
  void SpendMoney(vek::i32) override {}
  void PlaySound(vek::i32) override {}
  void CheckHints() override {}
  void CloseHint() override {}
  vek::i32 GetHintIndex() override { return -1; }
  bool IsHintAnimating() override { return false; }
  bool IsTraining() override { return false; }
  vek::i32 GetTrainingClickFlag() override { return 1; }
  void SwitchWindow(const vek::string&, vek::i32) override {}
  void HideAllWindows() override {}
  vek::i32 GetPlayMode() override { return 0; }
  void UpdateMission() override {}
  vek::f32 GetMissionTime() override { return 0.0f; }
  vek::i32 GetWaterFlag() override { return 1; }
  void UpdateShips() override {}
  void ClearShips() override {}
  vek::u32 GetShipCount() override { return 0; }
  cShipView GetShip(vek::u32) override { return {}; }
  void StepIslandEffects() override {}
  void UpdateIslandTexts(vek::f32) override {}
  vek::string GetProfilePath(vek::i32) override { return {}; }
  vek::f32 GetSaveVersion() override { return 1.0f; }
  const std::vector<cHolesLayout>& GetHolesLayouts() override { return m_Layouts; }
  vek::i32 GetHolesLayoutIndex() override { return 0; }
  vek::string GetText(const vek::string&) override { return {}; }
  cParticles* GetParticles() override { return nullptr; }
  cFlyerList* GetFlyers() override { return nullptr; }
  vek::cMusic* GetMusicSlot(vek::i32) override { return nullptr; }
  void SetMusicSlot(vek::i32, vek::cMusic*) override {}

  // island
  vek::i32 GetLevelProgress() override { return 0; }
  vek::i32 GetCurrentLevel() override { return 0; }
  vek::i32 GetTrainingStep() override { return -1; }
  void ShowTraining(vek::i32) override {}
  void ShowHint(vek::i32) override {}
  bool IsPaused() override { return false; }
  bool IsIslandReady() override { return true; }
  bool HasIslandProgress() override { return false; }
  vek::i32 GetRateProgress() override { return 1; }
  vek::i32 GetIslandRateProgress() override { return 1; }
  bool AdvanceIsland() override { return false; }
  void CheckShips() override {}
  void SendWindowMessage(const vek::string&, vek::i32, vek::i32) override {}
  void AskConfirm(const vek::string&, const vek::string&, const vek::string&) override {}

 protected:
  std::vector<cHolesLayout> m_Layouts;
};

namespace garden_detail {
inline cNullGardenServices g_NullServices;
inline iGardenServices* g_pServices = nullptr;
}  // namespace garden_detail

// The registered services, or the null services when none are registered.
inline iGardenServices* GardenServices() {
  return garden_detail::g_pServices ? garden_detail::g_pServices : &garden_detail::g_NullServices;
}
// The game object registers itself here (a test registers its fake); null unregisters.
inline void SetGardenServices(iGardenServices* services) { garden_detail::g_pServices = services; }
