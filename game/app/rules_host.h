#pragma once
// What the game's rules (profiles, saves, missions, the level table) ask of the application
// object: the application's own counters and flags that the save files carry, whether a save
// may be written now, the user's login name and the ware manager's names. The game object
// registers itself with SetRulesHost; tests register a fake. While none is registered,
// RulesHost() gives a host that keeps the values in itself and knows no wares.
#include <vector>

#include "engine/core/types.h"
#include "game/app/ware_id.h"

struct cMissionTask;


class iRulesHost {
 public:
  virtual ~iRulesHost() = default;

  // The number the next new profile folder gets ("plr%03i").
  virtual int GetPlayerCounter() = 0;
  virtual void SetPlayerCounter(int value) = 0;
  // The application's training state, kept in player.dat.
  virtual vek::i32 GetTraining() = 0;
  virtual void SetTraining(vek::i32 value) = 0;
  // The water pump's state, kept in save.dat (0 closed).
  virtual vek::i32 GetPumpState() = 0;
  virtual void SetPumpState(vek::i32 value) = 0;
  // False while the island has the focus or the game is paused: the main save then waits.
  virtual bool CanSaveMain() = 0;
  // The engine's user name (windows-1252).
  virtual vek::string GetUserName() = 0;
  // The ware manager: the id of a ware name (kNoWare when unknown) and the name of an id.
  virtual vek::i32 GetWareId(const vek::string& name) = 0;
  virtual vek::string GetWareName(vek::i32 id) = 0;
};

// What the rules ask of the application, the field, the island and the windows while a
// level runs. Every operation does nothing by default.
class iRulesWorld {
 public:
  virtual ~iRulesWorld() = default;
  // An entry of the game's text table by key.
  virtual vek::string GetText(const vek::string& key) { return key; }
  // The play field's tool bars enable and disable their buy buttons.
  virtual void UpdateToolbars() {}
  // An upgrade has reached a new level: living objects that it changes take it on.
  virtual void ApplyUpgrade(int /*upgrade*/, int /*level*/) {}
  // The number of island buildings that are built (state 1 or 2).
  virtual int CountBuiltBuildings() { return 0; }
  virtual bool IsBuildingBuilt(const vek::string& /*name*/) { return false; }
  // Windows.
  virtual void SwitchWindow(const vek::string& /*name*/, int /*mode*/) {}
  virtual void SendWindowMessage(const vek::string& /*window*/, int /*p1*/, int /*p2*/) {}
  // The score window's four task indicators go back to their resting places.
  virtual void ResetTaskIndicators() {}
  // The state of task indicator i (0..3) of the score window; -1 when it is missing.
  virtual int GetTaskIndicatorState(int /*index*/) { return -1; }
  // The score window's indicators take the active tasks (tasks already bound keep theirs);
  // an empty task whose indicator has finished is removed from the list.
  virtual void BindTaskControls(std::vector<cMissionTask>& /*tasks*/) {}
  // The field's "needed" marks of a ware (0: of every ware).
  virtual void UpdateNeedFlags(vek::i32 /*ware*/) {}
  // The delivery car's state (1: at home).
  virtual int GetCarState() { return 1; }
  // The water tool on the field's tool cell is filled up.
  virtual void RefillToolCellWater() {}
  // The active hint (-1 none) and whether the game is paused.
  virtual int GetActiveHint() { return -1; }
  // The end of a level on the field and the island: ware transfers and floating texts
  // cleared, the field's objects cleared away, every island factory idle and empty.
  virtual void ClearLevel() {}
  // A ship sets out for the island.
  virtual void LaunchShip() {}
  // Level start: the island shows the level (mode 2) and the field takes the focus.
  virtual void ShowLevel() {}
  // The holes animation has ended: every hole of the field not yet shown is shown, each with
  // a burst of particles.
  virtual void ShowHiddenHoles() {}
  // The field takes on the profile's holes layout: the holes it lacks are added, those it has
  // stay with their plants.
  virtual void AddLayoutHoles() {}
  // The island's display mode (2 while a level is played).
  virtual int GetIslandMode() { return 0; }
  virtual int GetHolesLayoutCount() { return 0; }
  // The active training step (-1 none).
  virtual int GetTrainingStep() { return -1; }
  // The field's gardener: whether there is one, and its work reset.
  virtual bool HasGardener() { return false; }
  virtual void ResetGardenerWork() {}
  // Whether the ware manager has a plant sort with this id offset.
  virtual bool HasPlantSort(int /*offset*/) { return false; }
  virtual void PlaySound(int /*id*/) {}
  // Ships: one under way; the island's house value and its people; a new ship with people.
  virtual bool IsShipUnderway() { return false; }
  virtual int SumHouseValues() { return 0; }
  virtual int CountPeople() { return 0; }
  virtual void ClearShips() {}
  virtual void SendShip(int /*people*/) {}

  // Hints and training tips. The rectangle of a named target (x, y from the bottom left,
  // width, height): "control <window> <name>", "hole <n>", "plant <n>", "plant stage <n>",
  // "plant00 hole", "tool weed", "bin", "car", "can", "pump", "egg", "goat", "hive",
  // "free cell", "free cell hive", "point <x> <y>", and for the tips "bin corner",
  // "level house", "ship", "level place", "task <n>", "clock medal", "flowers". False when
  // it is not there.
  virtual bool FindTarget(const vek::string& /*target*/, vek::f32* /*rect*/) { return false; }
  // What a hint step asks of the field before it is shown: 0 show it, 1 close the hint,
  // 2 pass over it (its condition is the field's: the money for an animal, the can held...).
  virtual int CheckHintStep(int /*hint*/, int /*step*/) { return 0; }
  // Whether the field's situation for a hint holds (hints 1, 5, 6, 8, 10 and 11).
  virtual bool HintSituation(int /*hint*/) { return false; }
  // The hint window: shown with a text, a highlight (null: none), an arrow point, its
  // placement (align flags) and a flag; hidden; whether it is shown.
  virtual void ShowHintWindow(const vek::string& /*text*/, const vek::f32* /*rect*/, vek::f32 /*x*/,
                              vek::f32 /*y*/, int /*placement*/, int /*flag*/) {}
  virtual void HideHintWindow() {}
  virtual bool IsPaused() { return false; }

  // Ships: a ship's trailing emitter (null: none) moved to a point and finished; people
  // arriving on the island; a burst of particles at the centre of the first object of a kind
  // ("can", "pump").
  virtual void* AddShipEmitter() { return nullptr; }
  virtual void MoveEmitter(void* /*emitter*/, vek::f32 /*x*/, vek::f32 /*y*/) {}
  virtual void FinishEmitter(void* /*emitter*/) {}
  virtual void AddPeople(int /*people*/) {}
  virtual void BurstAt(const vek::string& /*object*/, int /*count*/) {}

  // Wares and factories: whether an id is a plant sort; a ware's price; the product of the
  // island factory that takes a ware as input (-1 when none takes it); that factory's input
  // stock; the queued transfers of a ware on the field; a ware handed to the factory that
  // takes it (false when none does).
  virtual bool IsPlantSort(vek::i32 /*ware*/) { return false; }
  virtual vek::i32 GetWarePrice(vek::i32 /*ware*/) { return 0; }
  virtual vek::i32 GetFactoryProduct(vek::i32 /*input*/) { return -1; }
  virtual vek::i32 GetFactoryStock(vek::i32 /*input*/) { return 0; }
  virtual vek::i32 CountTransfers(vek::i32 /*ware*/) { return 0; }
  virtual bool AddFactoryInput(vek::i32 /*ware*/) { return false; }
  virtual bool IsFieldFocused() { return true; }
};

// Keeps every value in itself; knows no wares; always lets the main save be written.
class cPlainRulesHost : public iRulesHost {
 public:
  int GetPlayerCounter() override { return playerCounter; }
  void SetPlayerCounter(int value) override { playerCounter = value; }
  vek::i32 GetTraining() override { return training; }
  void SetTraining(vek::i32 value) override { training = value; }
  vek::i32 GetPumpState() override { return pumpState; }
  void SetPumpState(vek::i32 value) override { pumpState = value; }
  bool CanSaveMain() override { return canSaveMain; }
  vek::string GetUserName() override { return userName; }
  vek::i32 GetWareId(const vek::string&) override { return kNoWare; }
  vek::string GetWareName(vek::i32) override { return {}; }

  int playerCounter = 0;
  vek::i32 training = 0;
  vek::i32 pumpState = 0;
  bool canSaveMain = true;
  vek::string userName;
};

class cPlayer;
// The profile the rules act on (null without one) and the world they reach.
cPlayer* CurrentPlayer();
void SetCurrentPlayer(cPlayer* player);
iRulesWorld* RulesWorld();
void SetRulesWorld(iRulesWorld* world);

// The registered host, or the plain one when none is registered.
iRulesHost* RulesHost();
// The game object registers itself here (a test its fake); null unregisters.
void SetRulesHost(iRulesHost* host);
