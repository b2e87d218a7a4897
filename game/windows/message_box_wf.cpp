#include "game/windows/message_box_wf.h"

#include "engine/core/format.h"
#include "engine/gui/button_sys_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "game/windows/controls/button_ctrl.h"

using vek::u32;

namespace {

// Button captions: the game's button or the engine's push button.
void SetCaption(vek::cWindow* window, const char* name, const vek::string& text) {
  if (auto* button = cBaseWF::GetControlAs<cButtonCtrl>(window, name))
    button->SetText(text);
  else if (auto* sys = cBaseWF::GetControlAs<vek::cButtonSysCtrl>(window, name))
    sys->SetText(text);
}

}  // namespace

cMessageBoxWF::~cMessageBoxWF() {
  cWindowHost* host = GetWindowHost();
  if (host && host->GetMessageBox() == this) host->SetMessageBox(nullptr);
}

int cMessageBoxWF::SetIcon(const vek::string& image, const vek::string& icon) {
  if (!m_pWindow) return 1;
  if (auto* c = GetControlAs<vek::cImageCtrl>(m_pWindow, "image")) c->SetTexture(image);
  if (auto* c = GetControlAs<vek::cImageCtrl>(m_pWindow, "icon")) {
    c->SetTexture(icon);
    if (icon.empty() || icon == image)
      c->DisableState(vek::cCtrl::e_Visibility);
    else
      c->EnableState(vek::cCtrl::e_Visibility);
  }
  return 0;
}

int cMessageBoxWF::SetText(const vek::string& text, const vek::string& title) {
  if (!m_pWindow) return 1;
  if (auto* c = GetControlAs<vek::cLabelCtrl>(m_pWindow, "title")) c->SetText(title);
  if (auto* c = GetControlAs<vek::cLabelCtrl>(m_pWindow, "text")) {
    c->SetText(text);
    return 0;
  }
  const std::vector<vek::string> lines = vek::SplitString(text, "\n");
  for (unsigned i = 0;; ++i) {
    auto* line = GetControlAs<vek::cLabelCtrl>(m_pWindow, vek::Formatted("line%i", i));
    if (!line) break;
    line->SetText(i < lines.size() ? lines[i] : vek::string());
  }
  return 0;
}

int cMessageBoxWF::SetButtons(const vek::string& ok, const vek::string& cancel) {
  if (!m_pWindow) return 1;
  SetCaption(m_pWindow, "ok", ok);
  vek::cCtrl* okButton = GetControlByName(m_pWindow, "ok");
  if (vek::cCtrl* c = GetControlByName(m_pWindow, "cancel")) {
    if (cancel.empty()) {
      c->DisableState(vek::cCtrl::e_Visibility);
      if (okButton) okButton->SetPos((m_OkX + c->GetRect().x) / 2.0f, m_OkY, 0);
    } else {
      c->EnableState(vek::cCtrl::e_Visibility);
      SetCaption(m_pWindow, "cancel", cancel);
      if (okButton) okButton->SetPos(m_OkX, m_OkY, 0);
    }
  }
  return 0;
}

int cMessageBoxWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (IsReady()) {
    switch (message) {
      case vek::e_wndAfterCreate:
        m_pWindow = window;
        if (const vek::cCtrl* ok = GetControlByName(window, "ok")) {
          m_OkX = ok->GetRect().x;
          m_OkY = ok->GetRect().y;
        }
        break;
      case vek::e_wndShow:
        m_Pause.Take();
        break;
      case vek::e_wndHideImmediately:
        m_Pause.Release();
        break;
      case vek::e_wndKeyDown:
        if (p1 == kKeyEnter) {
          NotifyControl(window, "ok");
        } else if (p1 == kKeyEscape) {
          const vek::cCtrl* cancel = GetControlByName(window, "cancel");
          NotifyControl(window, cancel && cancel->GetState(vek::cCtrl::e_Visibility) ? "cancel" : "ok");
        }
        break;
      case vek::e_ntfButtonClick:
        if (window && window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
        if (IsControl(window, p2, "ok"))
          m_Result = 0;
        else if (IsControl(window, p2, "cancel"))
          m_Result = 1;
        break;
      default:
        break;
    }
  }
  return HandleMessage(window, message, p1, p2);
}
