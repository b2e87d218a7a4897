#include "game/windows/play_windows.h"

#include "engine/files/filename.h"
#include "engine/core/log.h"
#include "engine/script/script.h"
#include "game/windows/garden_bar_wf.h"
#include "game/windows/mission_finish_wf.h"
#include "game/windows/mission_goal_wf.h"
#include "game/windows/mission_start_wf.h"
#include "game/windows/score_wf.h"
#include "game/windows/title_windows.h"
#include "game/windows/upgrades_wf.h"

namespace {
const char* const kPlayWindows[] = {"score", "mission_start", "mission_goal", "garden", "mission_finish", "up"};
}

vek::cWindowFunction* MakePlayWindowFunction(const vek::string& name) {
  if (name == "score") return new cScoreWF();
  if (name == "mission_start") return new cMissionStartWF();
  if (name == "mission_goal") return new cMissionGoalWF();
  if (name == "garden") return new cGardenWF();
  if (name == "mission_finish") return new cMissionFinishWF();
  if (name == "up") return new cUpWF();
  return nullptr;
}

void CreatePlayWindows() {
  if (vek::cScript* script = vek::GetScript(); !script || !script->LoadFile(vek::filename("{StaticPath}/gui/play_look.lua")))
    vek::LogWarning("CreatePlayWindows", "no play look: '{StaticPath}/gui/play_look.lua' did not run\n");
  for (const char* name : kPlayWindows) CreateGameWindow(name, MakePlayWindowFunction(name));
}
