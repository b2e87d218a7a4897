#pragma once
// Operations on mission tasks and task lists, and the binding of the active tasks to the
// score window's four task indicators. The records themselves (cMissionTask, cMission) and
// their place in save.dat belong to the player (game/app/player.h).
//
// The indicators and the factory-chain items are window controls; the world meets them
// through the small views below, which the windows register (tests register fakes).
// A task's pointers hold these views: indicator = its task indicator, chain = the chain item
// of the factory making its ware, indicator2 = the chain item of the factory making that
// factory's input.
#include <functional>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/types.h"
#include "game/app/player.h"

// A task indicator of the score window. States: 0 shown and at rest, 1 moving in, 2 parked,
// 3 moving out.
class iTaskIndicator {
 public:
  virtual ~iTaskIndicator() = default;
  virtual int GetMoveState() const = 0;
  virtual void SetText(const vek::string& text) = 0;
  virtual void SetIcon(const vek::string& sheet, const vek::string& area) = 0;
  virtual bool IsChecked() const = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual void StartMoveIn() = 0;
  virtual void StartMoveOut() = 0;
  // Straight to the parked place, with no move (a new level's indicators start there).
  virtual void SnapToTarget() = 0;
  // {x, y, w, h} on the screen.
  virtual vek::rectf GetRect() const = 0;
};

// The score window's factory-chain items (state 2: parked).
class iChainItems {
 public:
  virtual ~iChainItems() = default;
  // The first parked item; null when none.
  virtual void* FindParkedItem() = 0;
  // The item shows the island factory whose output is the ware (none: an empty item).
  virtual void ShowFactoryOf(void* item, vek::i32 ware) = 0;
  virtual void Hide(void* item) = 0;
  // The input ware of the island factory making the ware; kNoWare when there is no such factory.
  virtual vek::i32 GetFactoryInput(vek::i32 ware) = 0;
};

// Looks a control of a window up by window and control name (null when missing).
using TaskIndicatorFinder = std::function<iTaskIndicator*(const vek::string& window, const vek::string& control)>;
void SetTaskIndicatorFinder(TaskIndicatorFinder finder);
void SetChainItems(iChainItems* items);

// A task for the ware or animal name ("ostrich", "goat", "hive", "peacock" buy animals).
void InitMissionTask(cMissionTask& task, const vek::string& name, vek::i32 count, vek::f32 startTime);
void AddMissionTaskByName(cMission& mission, const vek::string& name, vek::i32 count, vek::f32 startTime);
void ResetMission(cMission& mission);

// True when the task may be issued at the current elapsed level time.
bool IsTaskTimeMet(const cMissionTask& task);
// The task's indicator shows the count still to go ("x0" at the least) and is checked once
// the count is used up.
void UpdateTaskControl(const cMissionTask& task);

// The first task (passing over empty ones) for the ware id, or of the animal kind.
cMissionTask* FindMissionTask(std::vector<cMissionTask>& tasks, vek::i32 ware);
cMissionTask* FindMissionTaskByKind(std::vector<cMissionTask>& tasks, vek::i32 kind);

// Task indicator i (0..3) of the score window; null when missing or i is above 3. Looked up
// once; ResetScoreTaskControls forgets the look-up (a new score window).
iTaskIndicator* GetScoreTaskControl(vek::u32 i);
void ResetScoreTaskControls();

// Binds unbound tasks to parked indicators, fills the factory chain of bound tasks and removes
// used-up tasks whose indicator has come to rest.
void BindTaskControls(std::vector<cMissionTask>& tasks);

// The icon and texts of a task: sheet "icons00"; area and text of its ware or animal kind,
// left as they were for an empty task; count := the task's count.
void GetTaskInfo(const cMissionTask& task, vek::string& text, vek::string& sheet, vek::string& area, vek::i32& count);
