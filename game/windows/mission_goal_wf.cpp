#include "game/windows/mission_goal_wf.h"

#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/windows/play_host.h"

using vek::u32;

int cMissionGoalWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  vek::cGUI* gui = window ? window->GetGUI() : nullptr;
  switch (message) {
    case vek::e_wndAfterCreate:
      m_Rows.clear();
      if (!FindTaskRows(window, m_Rows)) return ReportError(window, "wndAfterCreate");
      break;
    case vek::e_wndShow: {
      if (gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
      // Held once per showing: a second show without a hide does not pause twice.
      m_Pause.Take();
      const cPlayer* player = CurrentPlayer();
      const size_t active = player ? player->activeTasks.size() : 0;
      for (size_t i = 0; i < m_Rows.size(); ++i) {
        m_Rows[i].Show(i < active);
        if (i < active) FillTaskRow(m_Rows[i], player->activeTasks[i]);
      }
      break;
    }
    case vek::e_wndHideImmediately:
      m_Pause.Release();
      GetPlayHost()->NextHintStep(0, 11);
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "ok") && gui) gui->HideWindow(window->GetName());
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}
