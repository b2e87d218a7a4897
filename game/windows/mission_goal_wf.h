#pragma once
// The reminder "mission_goal", opened from a task indicator of the score panel: the tasks
// active now with their icons, names and the counts still to go. The level stands still
// while it is open; "ok" closes it.
#include <vector>

#include "game/windows/base_wf.h"
#include "game/windows/mission_start_wf.h"

class cMissionGoalWF : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  const cPauseHold& GetPause() const { return m_Pause; }

 private:
  std::vector<cTaskRow> m_Rows;
  cPauseHold m_Pause;
};
