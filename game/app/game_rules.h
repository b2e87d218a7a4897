#pragma once
// The game's rules on the current profile: money and bank, upgrades, the time grade and the
// ratings, the level set-up from the level table, the mission step that issues tasks and ends
// a level, the task counters, and the level result. The application object owns one and
// forwards to it; what the rules need of the field, the island and the windows they reach
// through RulesWorld(), the profile through CurrentPlayer().
#include <vector>

#include "engine/core/types.h"
#include "game/app/mission_animations.h"
#include "game/app/player.h"
#include "game/app/sprite.h"

class cBuild;
class cHouse;

// A key of a wavy flight path.
struct cPathKey {
  vek::f32 x, y, time;
};

class cGameRules {
 public:
  static constexpr vek::f32 kStep = 1.0f / 30.0f;
  static constexpr int kMaxActiveTasks = 4;

  // Money and bank.
  void SetMoney(vek::i32 value);
  void SpendMoney(vek::i32 amount);
  void SpendBank(vek::i32 amount);
  vek::i32 GetMoney() const;

  // Upgrades 0..5.
  bool CanBuyUpgrade(int upgrade) const;
  vek::i32 GetUpgradePrice(int upgrade) const;
  void BuyUpgrade(int upgrade);
  std::vector<int> GetUpgradesForSale() const;

  // The time grade of the level in progress (0 in time, 1 within half again, 2 beyond) and
  // the fill of the level clock.
  int GetTimeGrade() const;
  vek::f32 GetTimeGradeProgress() const;
  // Keeps a finished level's grade in the profile's grade list, which the player's rating and
  // the island's medals read. A level played again keeps its better grade; levels below it
  // that the list does not cover yet (a profile from before grades were kept) count as bronze.
  void RecordTimeGrade(int level, int grade);
  // The player's rating from the levels finished in time, and the island's from its
  // buildings: the text of the grade, the progress within it, and whether the top is not yet
  // passed.
  bool GetRate(vek::string* text, int* progress) const;
  bool GetIslandRate(vek::string* text, int* progress) const;
  // The sprite area of a medal: "gold", "silver" or "bronze" (any other number: gold).
  static const char* GetMedalArea(int medal);
  // The medal's sprite on the island's house sheet (any other number: gold). Each is looked
  // up once and kept; one not found yet (the sheet not loaded) is looked up again next time.
  const cSprite& GetMedalSprite(int medal) const;
  // From a to b over `duration` seconds with `bends` bends of `amplitude` to each side.
  static std::vector<cPathKey> BuildWavyPath(vek::f32 ax, vek::f32 ay, vek::f32 bx, vek::f32 by,
                                             vek::f32 duration, int bends, vek::f32 amplitude);

  // The level set-up: the mission of the level (negative: the level selected on the island,
  // keeping the running state).
  bool SetupLevelMissions(int level);
  bool GetLevelFlag(int flag) const { return flag >= 1 && flag <= 4 && (m_LevelFlags >> (flag - 1) & 1u) != 0; }
  bool GetSetupFlag() const { return m_SetupFlag; }
  // An award given out (or dropped) by the level result.
  void SetLevelFlag(int flag) {
    if (flag >= 1 && flag <= 4) m_LevelFlags |= 1u << (flag - 1);
  }
  void ClearLevelFlag(int flag) {
    if (flag >= 1 && flag <= 4) m_LevelFlags &= ~(1u << (flag - 1));
  }

  // The mission step, once per fixed step while the game is not paused.
  void UpdateMission();
  // The first active task for a ware; null when none.
  cMissionTask* FindTaskForWare(vek::i32 ware) const;
  // Units of a plant sort already inside its factory chain.
  vek::i32 CountChainUnits(vek::i32 ware) const;
  // Before the car leaves: what no task still needs is taken out of the load.
  void PrepareCarLoad();
  // When the car arrives: the earnings of the wares tasks take; the rest goes to the
  // factories. The load is emptied.
  vek::i32 SellCarLoad();
  void CountProduced(vek::i32 ware);
  void CountAnimalBought(vek::i32 kind);
  void DecWareTask(vek::i32 ware);
  void DecKindTask(vek::i32 kind);

  // The level result; the time grade it stored.
  void FinishLevel();
  int GetLastTimeGrade() const { return m_LastTimeGrade; }
  // The plant sorts and the holes layout a level gives.
  static int SortsForLevel(int level);
  static int HolesForLevel(int level, int layoutCount);

  // Starts a level (0..44) from its snapshot, or with -1 continues the main save on the level
  // selected on the island.
  bool StartLevel(int level);
  // Opens the next level and takes its snapshot; false without a gardener on the field.
  bool AdvanceIsland();
  // Writes the main save between levels (no level in play, the island not in its after-level
  // sequence); nothing otherwise.
  bool SaveBetweenLevels();
  // Awards of the mission-finish window; true when something was given.
  bool NextHolesLayout();
  bool AwardNextSort();
  bool AwardNextAnimal();
  bool IsIslandReady() const;
  // The same question for the island in `mode` (0 title backdrop, 1 map, 2 after a level).
  bool IsIslandReadyIn(int mode) const;
  bool HasIslandProgress() const;
  // Sends a ship with new people when the island's houses have room for more.
  void CheckShips();
  // A building's price limited by the bank: the price when the bank covers it, else the bank
  // less 5 (the whole bank when it is below 5).
  vek::i32 ClampToBank(vek::i32 price) const;

  // The island's buildings (null without an island): the one standing on a level's place, and
  // a new one from catalogue entry `index` for the editor, put on the island.
  cHouse* FindHouseAtPlace(int place) const;
  cBuild* CreateBuilding(int index) const;

  // Seconds until the next ship.
  vek::f32 GetShipTimer() const { return m_ShipTimer; }

  // The level and holes animations the mission step runs.
  cMissionAnimations& Animations() { return m_Animations; }
  const cMissionAnimations& Animations() const { return m_Animations; }

 private:
  // The active task a ware serves directly, or through one or two factory steps.
  cMissionTask* FindTaskThroughChain(vek::i32 ware) const;
  cMissionTask* FindDirectTask(vek::i32 ware) const;

  vek::u32 m_LevelFlags = 0;
  bool m_SetupFlag = false;
  int m_LastTimeGrade = 0;
  vek::f32 m_ShipTimer = 0.0f;
  cMissionAnimations m_Animations;
  mutable cSprite m_MedalSprites[3];
};
