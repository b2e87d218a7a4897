#include "game/windows/profile_wf.h"

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/app/game.h"
#include "engine/script/locale.h"
#include "engine/gui/edit_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/list_sys_ctrl.h"
#include "engine/gui/slider_ctrl.h"
#include "game/app/window_host.h"

using vek::u32;

// ---- cProfileSelectWF ----

void cProfileSelectWF::Rebuild(vek::cWindow* window) {
  cWindowHost* host = GetWindowHost();
  m_pList->DeleteAllItems();
  unsigned n = 0;
  if (host) {
    cPlayerList& players = host->Players();
    n = players.GetCount();
    for (unsigned i = 0; i < n; ++i) {
      const cPlayer* player = players.GetPlayer(i);
      m_pList->InsertItem(i, player->GetName(), 0);
      if (player == players.GetCurrent()) {
        m_pList->SelectItem(i, true, false);
        m_pList->EnsureVisible(i);
      }
    }
  }
  m_pSlider->SetMinMax(0.0f, n > 0 ? static_cast<vek::f32>(n - 1) : 0.0f);
  m_pSlider->SetValue(m_pSlider->GetMax() - static_cast<vek::f32>(m_pList->GetFirstVisible()));
  if (n == 0) NotifyControl(window, "btAdd");
}

void cProfileSelectWF::AskDelete(vek::cWindow* window) {
  cWindowHost* host = GetWindowHost();
  iMessageBox* box = host ? host->GetMessageBox() : nullptr;
  if (!box) return;
  const vek::cLocale& texts = vek::g_Locale;
  const unsigned count = m_pList->GetItemCount();
  if (count < 2) {
    box->SetText(host->GetText("ErrorOnePlayer"), texts.Error);
    box->SetButtons(texts.Ok, "");
    box->SetIcon("icon_error", "icon_head");
    box->SetCommand("");
    host->SwitchWindow("messagebox", 1);
    return;
  }
  const unsigned row = m_pList->GetSelectedItem(0);
  const cPlayer* player = host->Players().GetPlayer(row);
  if (row >= count || !player) return;
  m_DeleteFolder = player->GetFolder();
  box->SetText(SubstituteText(host->GetText("ConfirmDeletePlayer"), player->GetName()), texts.Warning);
  box->SetButtons(texts.Yes, texts.No);
  box->SetIcon("icon_warning", "icon_head");
  box->SetCommand(vek::Formatted("delete=%i", row));
  (void)window;
  host->SwitchWindow("messagebox", 1);
}

void cProfileSelectWF::DeleteRow(vek::cWindow* window, u32 row) {
  cWindowHost* host = GetWindowHost();
  const vek::string asked = std::move(m_DeleteFolder);
  m_DeleteFolder.clear();
  const unsigned count = m_pList->GetItemCount();
  if (!host || row >= count) return;
  cPlayerList& players = host->Players();
  const cPlayer* deleted = players.GetPlayer(row);
  if (!deleted) return;
  // Only the profile the question named goes: a row that holds another one by now is left.
  if (!asked.empty() && deleted->GetFolder() != asked) {
    vek::LogWarning("profile_select", "Row %u no longer holds the profile '%s' asked about; nothing deleted\n", row,
                    asked);
    Rebuild(window);
    return;
  }
  const vek::string folder = deleted->GetFolder();
  const unsigned next = row == 0 ? 1 : row - 1;
  if (const cPlayer* current = players.GetPlayer(next); next < count && current) {
    m_pList->SelectItem(next, true, false);
    players.ChangePlayerByFolder(current->GetFolder());
  }
  if (players.DeletePlayerByFolder(folder)) {
    m_pList->DeleteItem(row);
    return;
  }
  // Refused (the folder holds another profile): the list shows what is still there, and the
  // player is told once the question's box has left the screen.
  Rebuild(window);
  m_Refused = deleted->GetName();
}

int cProfileSelectWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  cWindowHost* host = GetWindowHost();
  switch (message) {
    case vek::e_wndAfterCreate:
      m_pList = GetControlAs<vek::cListSysCtrl>(window, "lstProfile");
      m_pSlider = GetControlAs<vek::cSliderCtrl>(window, "slProfile");
      if (!m_pList || !m_pSlider) return ReportError(window, "List or Slider not found");
      break;
    case vek::e_wndActivate:
      Rebuild(window);
      break;
    case vek::e_wndTimer:
      if (!m_Refused.empty() && host) {
        ShowMessageBox(0, 0, SubstituteText(host->GetText("ErrorDeletePlayer"), m_Refused), "");
        m_Refused.clear();
      }
      break;
    case vek::e_wndKeyDown:
      if (p1 == kKeyEscape) {
        if (m_pList->GetSelectedItem(0) != m_pList->GetItemCount() && host) host->SwitchWindow("main", 1);
      } else if (p1 == kKeyEnter) {
        NotifyControl(window, "btOk");
      }
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "btAdd")) {
        if (host) host->SwitchWindow("profile_add", 1);
      } else if (IsControl(window, p2, "btDelete")) {
        AskDelete(window);
      } else if (IsControl(window, p2, "btOk")) {
        const unsigned row = m_pList->GetSelectedItem(0);
        const cPlayer* player = host && row < m_pList->GetItemCount() ? host->Players().GetPlayer(row) : nullptr;
        if (player && player->GetName().empty()) {
          // A nameless player would send the main menu straight back here.
          ShowMessageBox(0, 0, host->GetText("ErrorEmptyPlayerName"), "");
        } else if (player) {
          host->Players().ChangePlayerByFolder(player->GetFolder());
          host->SwitchWindow("main", 1);
        }
      }
      break;
    case vek::e_ntfSliderValue:
      if (p2 == m_pSlider->GetID()) {
        const int max = static_cast<int>(m_pSlider->GetMax());
        const int first = max - static_cast<int>(p1);
        if (first >= 0) m_pList->SetFirstVisible(static_cast<unsigned>(first));
      }
      break;
    case kDeleteProfileMessage:
      DeleteRow(window, p1);
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

// ---- cProfileAddWF ----

void cProfileAddWF::CreateFromName() {
  cWindowHost* host = GetWindowHost();
  if (!host) return;
  vek::string name = m_pName->GetText();
  vek::TrimLeft(name);
  vek::TrimRight(name);
  cPlayerList& players = host->Players();
  vek::string message;
  if (name.empty()) message = host->GetText("ErrorEmptyPlayerName");
  // Names that differ only in case are one name: the message names the player who has it.
  if (const cPlayer* same = name.empty() ? nullptr : players.FindPlayer(name))
    message = SubstituteText(host->GetText("ErrorPlayerExist"), same->GetName());
  if (!message.empty()) {
    ShowMessageBox(0, 0, message, "");
    return;
  }
  cPlayer* player = players.CreatePlayer(name);
  if (!player) {
    ShowMessageBox(0, 0, host->GetText("ErrorCreatePlayer"), "");
    return;
  }
  players.AddPlayer(player);
  players.ChangePlayerByFolder(player->GetFolder());
  host->SwitchWindow("profile_select", 1);
}

void cProfileAddWF::Cancel() {
  cWindowHost* host = GetWindowHost();
  if (!host) return;
  if (host->Players().GetCount() == 0) {
    ShowMessageBox(1, 0, host->GetText("ErrorNoPlayerYet"), "");
    return;
  }
  host->SwitchWindow("profile_select", 1);
}

void cProfileAddWF::UpdateCancel(vek::cWindow* window) {
  cWindowHost* host = GetWindowHost();
  vek::cCtrl* cancel = GetControlByName(window, "cancel");
  if (!cancel || !host) return;
  if (host->Players().GetCount() == 0)
    cancel->EnableState(vek::cCtrl::e_Disabled);
  else
    cancel->DisableState(vek::cCtrl::e_Disabled);
}

int cProfileAddWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate:
      m_pName = GetControlAs<vek::cEditCtrl>(window, "name");
      if (!m_pName) return ReportError(window, "elements not found");
      break;
    case vek::e_wndShow: {
      const vek::string user = vek::g_pGame ? vek::g_pGame->GetUserName() : vek::string();
      m_pName->SetText(user.substr(0, m_pName->GetMaxLength()));
      UpdateCancel(window);
      break;
    }
    case vek::e_wndActivate:
      if (window) window->SetActiveControl(m_pName);
      break;
    case vek::e_wndKeyDown:
      if (p1 == kKeyEscape)
        Cancel();
      else if (p1 == kKeyEnter)
        NotifyControl(window, "ok");
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "ok"))
        CreateFromName();
      else
        Cancel();
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}
