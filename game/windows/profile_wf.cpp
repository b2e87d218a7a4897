#include "game/windows/profile_wf.h"

#include "engine/core/format.h"
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
      const vek::string& name = players.GetPlayer(i)->GetName();
      m_pList->InsertItem(i, name, 0);
      if (name == players.GetPlayerName()) {
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
  box->SetText(SubstituteText(host->GetText("ConfirmDeletePlayer"), player->GetName()), texts.Warning);
  box->SetButtons(texts.Yes, texts.No);
  box->SetIcon("icon_warning", "icon_head");
  box->SetCommand(vek::Formatted("delete=%i", row));
  (void)window;
  host->SwitchWindow("messagebox", 1);
}

void cProfileSelectWF::DeleteRow(u32 row) {
  cWindowHost* host = GetWindowHost();
  const unsigned count = m_pList->GetItemCount();
  if (!host || row >= count) return;
  cPlayerList& players = host->Players();
  const unsigned next = row == 0 ? 1 : row - 1;
  const cPlayer* deleted = players.GetPlayer(row);
  const cPlayer* current = players.GetPlayer(next);
  const vek::string deletedName = deleted ? deleted->GetName() : vek::string();
  if (next < count && current) {
    m_pList->SelectItem(next, true, false);
    players.ChangePlayer(current->GetName());
  }
  if (deleted) players.DeletePlayer(deletedName);
  m_pList->DeleteItem(row);
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
        if (player) {
          host->Players().ChangePlayer(player->GetName());
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
      DeleteRow(p1);
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
  vek::string message;
  if (name.empty()) message = host->GetText("ErrorEmptyPlayerName");
  if (host->Players().FindPlayer(name)) message = host->GetText("ErrorPlayerExist");
  if (!message.empty()) {
    ShowMessageBox(0, 0, message, "");
    return;
  }
  cPlayer* player = host->Players().CreatePlayer("");
  if (!player) {
    ShowMessageBox(0, 0, host->GetText("ErrorCreatePlayer"), "");
    return;
  }
  player->GetName() = name;
  host->Players().AddPlayer(player);
  host->Players().ChangePlayer(name);
  // Written at once: a game that ends without its normal close must still find the player.
  player->Save();
  host->SwitchWindow("profile_select", 1);
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
      break;
    }
    case vek::e_wndActivate:
      if (window) window->SetActiveControl(m_pName);
      break;
    case vek::e_wndKeyDown:
      if (p1 == kKeyEscape)
        NotifyControl(window, "cancel");
      else if (p1 == kKeyEnter)
        NotifyControl(window, "ok");
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "ok")) {
        CreateFromName();
      } else if (cWindowHost* host = GetWindowHost()) {
        host->SwitchWindow("profile_select", 1);
      }
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}
