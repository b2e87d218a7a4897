#include "game/windows/score_wf.h"

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/gui/window.h"
#include "game/app/game_rules.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/window_host.h"
#include "game/windows/controls/display_ctrl.h"
#include "game/windows/controls/mission_ctrl.h"
#include "game/windows/play_host.h"
#include "game/world/effects.h"

using vek::f32;
using vek::u32;

namespace {

vek::string FocusName() {
  return vek::g_pGame ? vek::g_pGame->GetFocusWidgetName() : vek::string();
}

vek::cCtrl* Named(vek::cWindow* window, const char* name) { return cBaseWF::GetControlByName(window, name); }

}  // namespace

int cScoreWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (IsFailed()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate: {
      m_pMoney = Named(window, "money");
      m_pClock = dynamic_cast<cClockCtrl*>(Named(window, "clock"));
      m_pClockBack = Named(window, "clock_back");
      m_pClockMedal = Named(window, "clock_medal");
      m_pMenu = Named(window, "menu");
      m_Tasks.clear();
      for (int i = 0; i < 4; ++i) {
        auto* task = dynamic_cast<cTaskCtrl*>(Named(window, ("task" + std::to_string(i)).c_str()));
        if (task) {
          task->SetIconCheck("icons00", "success");
          const vek::rectf r = task->GetRect();
          task->m_InPos = {r.x, r.y};
          task->m_OutPos = {kTaskOutX, r.y};
          task->SnapToTarget();
        }
        m_Tasks.push_back(task);
      }
      const char* frame[5] = {"frmMoney", "money", "imgMoney", "decMoney0", "decMoney1"};
      for (int i = 0; i < 5; ++i) m_pMoneyFrame[i] = Named(window, frame[i]);
      bool complete = m_pMoney && m_pClock && m_pClockBack && m_pClockMedal;
      for (vek::cCtrl* c : m_pMoneyFrame) complete = complete && c;
      if (!complete) return ReportError(window, "wndAfterCreate");
      if (auto* image = dynamic_cast<vek::cImageCtrl*>(m_pClockMedal)) image->SetTexture("icons01");
      ShowControl(Named(window, "dump_fps"), false);
      ShowControl(Named(window, "dump_time"), false);
      break;
    }
    case vek::e_wndPaint: {
      const int result = HandleMessage(window, message, p1, p2);
      // The window's own pass is drawn: the texts float over it in a pass of their own.
      vek::gui_draw::BeginPass();
      if (cFloatingTexts* texts = GetPlayHost()->GetFloatingTexts()) texts->Draw();
      return result;
    }
    case vek::e_wndTimer:
      OnTimer(vek::cGUI::ParamToTime(p1));
      break;
    case vek::e_wndShow:
      OnShow();
      ApplyMoneyFrameRule();
      break;
    case vek::e_ntfButtonClick:
      if (cBaseWF::IsControl(window, p2, "menu")) {
        if (cWindowHost* host = GetWindowHost()) host->SwitchWindow("escape", 2);
      } else {
        for (cTaskCtrl* task : m_Tasks)
          if (task && task->GetID() == p2) {
            if (cWindowHost* host = GetWindowHost()) host->SwitchWindow("mission_goal", 2);
            break;
          }
      }
      break;
    case kRefreshMessage:
      ApplyMoneyFrameRule();
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

void cScoreWF::OnTimer(f32 seconds) {
  cPlayHost* host = GetPlayHost();
  const cPlayer* player = CurrentPlayer();
  if (player) {
    const bool garden = FocusName() == "garden";
    SetControlText(m_pMoney, std::to_string(garden ? player->money : player->bank));
  }
  if (m_pClock) m_pClock->value = host->Rules().GetTimeGradeProgress();

  // Looked up until found: a sheet loaded after the first timer still brings the medals.
  bool medals = m_Medals[0].texture && m_Medals[1].texture && m_Medals[2].texture;
  if (!medals) {
    for (int i = 0; i < 3; ++i) FindSprite(m_Medals[i], "icons01", cGameRules::GetMedalArea(i));
    medals = m_Medals[0].texture && m_Medals[1].texture && m_Medals[2].texture;
  }
  const int grade = host->Rules().GetTimeGrade();
  if (medals && grade != m_LastGrade) {
    const cSprite& medal = m_Medals[grade >= 0 && grade <= 2 ? grade : 0];
    if (m_pClockMedal && medal.frameCount > 0) {
      m_pClockMedal->SetUVPos(medal.frames[0].x, medal.frames[0].y, 0);
      m_pClockMedal->SetUVSize(medal.frames[0].w, medal.frames[0].h, 0);
    }
    if (grade == 1) host->ShowTraining(7);
    if (grade == 2) host->ShowTraining(8);
    m_LastGrade = grade;
    BurstAt(m_pClockMedal, 30, 15.0f);
  }
  if (cFloatingTexts* texts = host->GetFloatingTexts()) texts->Update(seconds);
  if (player && player->elapsedTime > 0.5f)
    for (cTaskCtrl* task : m_Tasks)
      if (task) task->UpdateMove(seconds);
}

void cScoreWF::OnShow() {
  const bool island = FocusName() == "island";
  // On the island the menu button stands between the island window's two panels, which
  // would otherwise cover it; on the field it stands beside the money.
  if (m_pMenu) m_pMenu->SetPos(island ? kIslandMenuX : kFieldMenuX, m_pMenu->GetRect().y, 0);
  ShowControl(m_pClock, !island);
  ShowControl(m_pClockBack, !island);
  ShowControl(m_pClockMedal, !island);
  if (island)
    for (cTaskCtrl* task : m_Tasks)
      if (task) task->SnapToTarget();
}

void cScoreWF::ApplyMoneyFrameRule() {
  cWindowHost* host = GetWindowHost();
  const bool hide = FocusName() == "island" && host && host->GetIslandMode() == 1;
  for (vek::cCtrl* c : m_pMoneyFrame) ShowControl(c, !hide);
}
