#include "game/windows/base_wf.h"

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/render/curve.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "game/app/window_host.h"
#include "game/windows/controls/control_sound.h"

using vek::f32;
using vek::u32;

namespace {

// The fade's speed: a full fade takes half a second.
constexpr f32 kFadeSpeed = 2.0f;

// The world transform for the GUI: a uniform scale by s about the GUI screen's centre.
void SetCentreScale(const vek::cGUI* gui, f32 s) {
  if (!vek::g_pRender) return;
  const f32 cx = gui ? gui->GetWidth() * 0.5f : 512.0f;
  const f32 cy = gui ? gui->GetHeight() * 0.5f : 384.0f;
  f32 to[16], scale[16], back[16], m[16];
  vek::MatrixTranslation(to, -cx, -cy, 0.0f);
  vek::MatrixScaling(scale, s, s, 1.0f);
  vek::MatrixTranslation(back, cx, cy, 0.0f);
  vek::MatrixMultiply(m, to, scale);
  vek::MatrixMultiplyInPlace(m, m, back);
  vek::g_pRender->SetTransform(vek::e_TransformWorld, m);
}

void RestoreTransform() {
  if (!vek::g_pRender) return;
  f32 identity[16];
  vek::MatrixIdentity(identity);
  vek::g_pRender->SetTransform(vek::e_TransformWorld, identity);
}

}  // namespace

cBaseWF::cBaseWF() { m_Fade.speed = kFadeSpeed; }

int cBaseWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  return HandleMessage(window, message, p1, p2);
}

int cBaseWF::ReportError(vek::cWindow* window, const vek::string& text) {
  m_bFailed = true;
  if (text.empty()) return 0;
  vek::LogWarning("GUI", "[%s] %s\n", window ? window->GetName() : vek::string(), text);
  return 0;
}

bool cBaseWF::PaintsControlsAsTheyAre(const vek::cWindow* window) const {
  return window != nullptr && m_Fade.current >= 1.0f;
}

bool cBaseWF::IsReady() const {
  if (m_bFailed) return false;
  if (m_Fade.current == m_Fade.target) return true;
  return m_Fade.target != 0.0f;
}

int cBaseWF::HandleMessage(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  vek::cGUI* gui = window ? window->GetGUI() : nullptr;
  switch (message) {
    case vek::e_wndPaint: {
      const f32 v = m_Fade.current;
      const bool fading = v < 1.0f;
      if (fading) {
        const u32 alpha = static_cast<u32>((v < 0.0f ? 0.0f : v) * 255.0f);
        vek::SetColorFactor((alpha << 24) | 0x00FFFFFFu);
        SetCentreScale(gui, 1.1f - 0.1f * v);
      }
      vek::cWindowFunction::Call(window, message, p1, p2);
      if (fading) {
        RestoreTransform();
        vek::SetColorFactor(0xFFFFFFFFu);
      }
      return 0;
    }
    case vek::e_wndTimer:
      m_Fade.Update(vek::cGUI::ParamToTime(p1));
      if (m_Fade.current == 0.0f && gui && window) gui->CloseWindow(window->GetID());
      break;
    case vek::e_wndKeyDown:
      if (!IsReady() && p1 == kKeyEscape && gui && window) gui->HideWindow(window->GetName());
      return 0;
    case vek::e_wndShow:
      m_Fade.SetTarget(1.0f);
      break;
    case vek::e_wndHide:
      m_Fade.SetTarget(0.0f);
      return 0;
    case vek::e_wndHideImmediately:
      if (cWindowHost* host = GetWindowHost(); host && window) host->OnMessageBox(window->GetName());
      break;
    case vek::e_ntfEditChange:
      PlayControlSound("typing");
      break;
    default:
      break;
  }
  return vek::cWindowFunction::Call(window, message, p1, p2);
}

bool cBaseWF::NotifyControl(vek::cWindow* window, const vek::string& controlName) {
  if (!window) return false;
  const unsigned id = window->FindControl(controlName);
  if (vek::cWindowFunction* function = window->GetFunction()) function->Call(window, vek::e_ntfButtonClick, 0, id);
  return true;
}

vek::cCtrl* cBaseWF::GetControlByName(vek::cWindow* window, const vek::string& name) {
  if (!window) return nullptr;
  const unsigned id = window->FindControl(name);
  return id == 0 ? nullptr : window->GetControl(id);
}

bool cBaseWF::IsControl(vek::cWindow* window, u32 id, const vek::string& name) {
  return window && id != 0 && window->FindControl(name) == id;
}

int cBaseGDWF::ReportError(vek::cWindow* window, const vek::string& text) {
  m_bFailed = true;
  if (text.empty()) return 0;
  vek::LogWarning("GUI", "[%s] %s\n", window ? window->GetName() : vek::string(), text);
  return 0;
}

int cBaseGDWF::HandleMessage(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  switch (message) {
    case vek::e_wndShow:
      m_bClosePending = false;
      return 0;
    case vek::e_wndHide:
      m_bClosePending = true;
      return 0;
    case vek::e_wndTimer:
      if (m_bClosePending && window && window->GetGUI()) {
        window->GetGUI()->CloseWindow(window->GetID());
        m_bClosePending = false;
      }
      break;
    default:
      break;
  }
  return vek::cWindowFunction::Call(window, message, p1, p2);
}

vek::cCtrl* FindControl(const vek::string& windowName, const vek::string& controlName) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  vek::cWindow* window = gui ? gui->GetWindowById(gui->FindWindow(windowName)) : nullptr;
  if (!window) {
    vek::LogWarning("FindControl", "window '%s' not found\n", windowName);
    return nullptr;
  }
  const unsigned id = window->FindControl(controlName);
  vek::cCtrl* control = id == 0 ? nullptr : window->GetControl(id);
  if (!control) vek::LogWarning("FindControl", "control '%s' not found in wondow '%s'\n", controlName, windowName);
  return control;
}

void cPauseHold::Take() {
  if (m_bHeld || !vek::g_pGame) return;
  vek::g_pGame->PauseWidget(true);
  m_bHeld = true;
}

void cPauseHold::TakeIfClear() {
  if (m_bHeld || !vek::g_pGame || vek::g_pGame->GetPauseCount() != 0) return;
  Take();
}

void cPauseHold::Release() {
  if (!m_bHeld) return;
  m_bHeld = false;
  if (vek::g_pGame) vek::g_pGame->PauseWidget(false);
}

vek::string SubstituteText(const vek::string& format, const vek::string& value) {
  const size_t at = format.find("%s");
  if (at == vek::string::npos) return format;
  vek::string out = format.substr(0, at);
  out += value;
  out += format.substr(at + 2);
  return out;
}
