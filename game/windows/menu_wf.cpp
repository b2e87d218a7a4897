#include "game/windows/menu_wf.h"

#include "engine/app/game.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/widget.h"
#include "game/app/window_host.h"
#include "game/windows/controls/button_ctrl.h"
#include "platform/window.h"

using vek::u32;

namespace {

// Question icon, "Yes" and "No".
constexpr int kIconQuestion = 3;
constexpr int kButtonsYesNo = 2;

void Ask(const char* textKey, const char* command) {
  if (cWindowHost* host = GetWindowHost()) ShowMessageBox(kIconQuestion, kButtonsYesNo, host->GetText(textKey), command);
}

void Switch(const vek::string& name, int mode) {
  if (cWindowHost* host = GetWindowHost()) host->SwitchWindow(name, mode);
}

vek::string FocusName() { return vek::g_pGame ? vek::g_pGame->GetFocusWidgetName() : vek::string(); }

// The island map is the screen, and no level has been started from it.
bool OnTheIsland() {
  cWindowHost* host = GetWindowHost();
  return FocusName() == "island" && host && host->GetIslandMode() != 2;
}

}  // namespace

bool FocusWidgetIfPresent(const vek::string& name) {
  if (!vek::g_pGame) return false;
  for (vek::cWidget* w : vek::g_pGame->GetWidgets()) {
    if (w && w->GetName() == name) {
      if (vek::g_pGame->GetFocusWidgetName() != name) vek::g_pGame->SetFocusWidget(name);
      return true;
    }
  }
  return false;
}

// ---- cMainWF ----

int cMainWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate:
      m_pProfile = GetControlAs<vek::cLabelCtrl>(window, "lbProfile");
      if (!m_pProfile) return ReportError(window, "lbProfile or btProfile not found");
      m_Format = m_pProfile->GetText();
      break;
    case vek::e_wndActivate: {
      cWindowHost* host = GetWindowHost();
      const vek::string name = host ? host->GetPlayerName() : vek::string();
      if (name.empty())
        NotifyControl(window, "btProfile");
      else
        m_pProfile->SetText(SubstituteText(m_Format, name));
      break;
    }
    case vek::e_wndKeyDown:
      if (p1 == kKeyEscape) NotifyControl(window, "btExit");
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "btProfile"))
        Switch("profile_select", 1);
      else if (IsControl(window, p2, "btOptions"))
        Switch("options", 1);
      else if (IsControl(window, p2, "btHighscores"))
        Switch("highscores", 1);
      else if (IsControl(window, p2, "btHelp"))
        Switch("help", 1);
      else if (IsControl(window, p2, "btExit"))
        plat::GetWindow().PostQuit(0);
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

// ---- cEscapeWF ----

int cEscapeWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndShow:
      m_Pause.TakeIfClear();
      break;
    case vek::e_wndKeyDown:
      if (p1 == kKeyEscape) NotifyControl(window, "btResume");
      break;
    case vek::e_wndRButtonDown:
      NotifyControl(window, "btResume");
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "btOptions"))
        Switch("options", 2);
      else if (IsControl(window, p2, "btExit"))
        plat::GetWindow().PostQuit(0);
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

// ---- cMainGDWF ----

int cMainGDWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return cMainWF::Call(window, message, p1, p2);
  cWindowHost* host = GetWindowHost();
  if (message == vek::e_wndShow && host) {
    host->ShowIsland(0);
    FocusWidgetIfPresent("island");
    const cPlayer* player = host->Players().GetCurrent();
    if (m_bFirstShowing && player && host->IsIslandReady()) {
      const int place = player->levelProgress;
      if (place >= 0 && place < host->GetIslandPlaceCount()) {
        host->ScrollIslandToPlace(place);
        m_bFirstShowing = false;
      }
    }
  } else if (message == vek::e_ntfButtonClick && IsControl(window, p2, "btStart") && host) {
    if (const cPlayer* player = host->Players().GetCurrent()) {
      if (player->levelProgress == 0 && player->selectedLevel < 0) {
        host->HideAllWindows();
        host->StartComics(0);
      } else {
        host->ShowIsland(1);
        if (player->selectedLevel >= 0) Ask("MessageContinueLast", "continue_last");
      }
    }
  } else if (message == vek::e_ntfButtonClick && IsControl(window, p2, "btExit")) {
    // Asks first: the base's immediate quit is passed over.
    Ask("ConfirmExitGame", "exit_game");
    return HandleMessage(window, message, p1, p2);
  }
  return cMainWF::Call(window, message, p1, p2);
}

// ---- cEscapeGDWF ----

int cEscapeGDWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return cEscapeWF::Call(window, message, p1, p2);
  cWindowHost* host = GetWindowHost();
  switch (message) {
    case vek::e_wndAfterCreate:
      m_pRestart = GetControlByName(window, "btRestart");
      break;
    case vek::e_wndShow:
      if (m_pRestart) {
        if (OnTheIsland())
          m_pRestart->EnableState(vek::cCtrl::e_Disabled);
        else
          m_pRestart->DisableState(vek::cCtrl::e_Disabled);
      }
      // On the island the end button leads to the main menu and says so.
      if (auto* end = GetControlAs<cButtonCtrl>(window, "btEnd"); end && host)
        end->SetText(host->GetText(OnTheIsland() ? "MenuToMainMenu" : "MenuEndLevel"));
      break;
    case vek::e_wndHide:
      m_Pause.Release();
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "btResume")) {
        if (window && window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
        const vek::string focus = FocusName();
        if (!focus.empty()) Switch(focus, 2);
        Switch("score", 2);
      } else if (IsControl(window, p2, "btRestart")) {
        Ask("MessageExitLevel", "restart_level");
      } else if (IsControl(window, p2, "btEnd")) {
        if (OnTheIsland())
          Switch("main", 1);
        else
          Ask("MessageExitLevel", "exit_level");
      }
      break;
    default:
      break;
  }
  return cEscapeWF::Call(window, message, p1, p2);
}
