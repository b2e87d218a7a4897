#include "engine/gui/window.h"

#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/gui/gui_host.h"
#include "engine/input/input.h"

namespace vek {

namespace {

const char* const kSender = "cWindow";

// Positions travel as y << 16 | x; both halves are signed so that a pointer left of or below
// the GUI area stays outside instead of wrapping to a large coordinate.
f32 PositionX(u32 p2) { return static_cast<f32>(static_cast<std::int16_t>(p2 & 0xFFFF)); }
f32 PositionY(u32 p2) { return static_cast<f32>(static_cast<std::int16_t>(p2 >> 16)); }

bool TakesEvents(const cCtrl* c) {
  return c && c->GetState(cCtrl::e_Visibility) && !c->GetState(cCtrl::e_Ignorable);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The default window function

int cWindowFunction::Call(cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!window) return 0;
  switch (message) {
    case e_wndPaint: {
      gui_draw::BeginPass();
      for (unsigned id = 1; id < window->GetControlCount(); ++id) {
        cCtrl* c = window->GetControl(id);
        if (c && c->GetState(cCtrl::e_Visibility)) c->Draw();
      }
      gui_draw::EndPass();
      return 0;
    }
    case e_wndTimer: {
      // Index loop: a handler may add controls; deleted ones leave empty slots.
      for (unsigned id = 0; id < window->GetControlCount(); ++id) {
        if (cCtrl* c = window->GetControl(id)) window->SendControlEvent(c, cCtrl::e_evTimer, p1, p2);
      }
      f32 timer = window->GetHoverTimer();
      if (timer > 0.0f) {
        timer -= cGUI::ParamToTime(p1);
        if (timer <= 0.0f) {
          window->SetHoverTimer(-1.0f);
          const cCtrl* hovered = window->GetHoveredControl();
          if (cGUI* gui = window->GetGUI())
            gui->SendMessage(window->GetID(), e_wndHover, 0, hovered ? hovered->GetID() : 0);
        } else {
          window->SetHoverTimer(timer);
        }
      }
      return 0;
    }
    case e_wndChar: {
      cCtrl* active = window->GetActiveControl();
      if (!active) return 0;
      return window->SendControlEvent(active, cCtrl::e_evChar, p1, p2) ? 0 : 1;
    }
    case e_wndMouseMove: {
      const f32 x = PositionX(p2), y = PositionY(p2);
      cCtrl* hit = nullptr;
      for (unsigned id = window->GetControlCount(); id-- > 1;) {
        cCtrl* c = window->GetControl(id);
        if (TakesEvents(c) && c->HitTest(x, y)) {
          hit = c;
          break;
        }
      }
      cCtrl* old = window->GetHoveredControl();
      if (hit != old) {
        window->SetHoveredControl(hit);
        if (old) window->SendControlEvent(old, cCtrl::e_evMouseLeave, 0, 0);
        if (hit) {
          window->SendControlEvent(hit, cCtrl::e_evMouseEnter, 0, 0);
          window->SetHoverTimer(0.5f);
        } else {
          window->SetHoverTimer(-1.0f);
        }
      }
      // The handlers above may have changed the hover; the move goes to the current one.
      hit = window->GetHoveredControl();
      bool consumed = false;
      if (hit) consumed = !window->SendControlEvent(hit, cCtrl::e_evMouseMove, p1, p2);
      cCtrl* active = window->GetActiveControl();
      if (active && active != hit) window->SendControlEvent(active, cCtrl::e_evMouseMove, p1, p2);
      return consumed ? 1 : 0;
    }
    case e_wndLButtonDown: {
      cCtrl* hovered = window->GetHoveredControl();
      if (hovered && !hovered->GetState(cCtrl::e_Disabled) &&
          !window->SendControlEvent(hovered, cCtrl::e_evLButtonDown, p1, p2)) {
        // The control may have been deleted by its own handler.
        if (window->GetHoveredControl() == hovered) window->SetActiveControl(hovered);
        return 1;
      }
      return 0;
    }
    case e_wndLButtonUp: {
      cCtrl* hovered = window->GetHoveredControl();
      if (hovered) window->SendControlEvent(hovered, cCtrl::e_evLButtonUp, p1, p2);
      cCtrl* active = window->GetActiveControl();
      if (active && active != hovered) window->SendControlEvent(active, cCtrl::e_evLButtonUp, p1, p2);
      return 0;
    }
    case e_wndHide:
      if (cGUI* gui = window->GetGUI()) gui->CloseWindow(window->GetID());
      return 0;
    case e_wndActivate: {
      // Hover and enter events are brought up to date under a resting pointer.
      cGUI* gui = window->GetGUI();
      i32 cx = 0, cy = 0;
      if (gui && GetCursorClientPos(&cx, &cy)) {
        i32 x = 0, y = 0;
        gui->ClientToGUI(cx, cy, &x, &y);
        gui->SendMessage(window->GetID(), e_wndMouseMove, 0, PackPosition(x, y));
      }
      return 0;
    }
    case e_wndDeactivate: {
      window->SetActiveControl(nullptr);
      cCtrl* hovered = window->GetHoveredControl();
      window->SetHoveredControl(nullptr);
      window->SetHoverTimer(-1.0f);
      if (hovered) window->SendControlEvent(hovered, cCtrl::e_evMouseLeave, 0, 0);
      return 0;
    }
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------------------------
// cWindow

cWindow::cWindow(cGUI* gui, cWindowFunction* function) {
  iGuiHost* host = GetGuiHost();
  if (!gui && host) gui = host->GetGUI();
  m_pGUI = gui;
  if (function && gui && gui->IsFunctionOwned(function, this)) {
    LogWarning(kSender, "The window function belongs to another window already\n");
    function = nullptr;
  }
  if (function) {
    // Script-made functions wait with the engine's GUI until a window takes them.
    if (gui) gui->ReleaseFunction(function);
    if (host && host->GetGUI() && host->GetGUI() != gui) host->GetGUI()->ReleaseFunction(function);
    m_pFunction = function;
  } else {
    m_pFunction = new cWindowFunction();
  }
  new cCtrl("unnamed", this);
  if (gui) {
    gui->AddWindow(this);
  } else {
    LogWarning(kSender, "No GUI to register the window with\n");
  }
}

cWindow::~cWindow() {
  m_bDestroying = true;
  if (m_pGUI) m_pGUI->RemoveWindow(this);
  for (cCtrl* c : m_Controls) {
    if (!c) continue;
    c->m_pWindow = nullptr;
    delete c;
  }
  m_Controls.clear();
  m_pActive = m_pHovered = nullptr;
  delete m_pFunction;
  m_pFunction = nullptr;
}

unsigned cWindow::AddControl(cCtrl* control) {
  if (!control) return 0;
  if (control->m_pWindow == this) {
    for (unsigned id = 0; id < m_Controls.size(); ++id)
      if (m_Controls[id] == control) return id;
  } else if (control->m_pWindow) {
    LogWarning(kSender, "AddControl: control '%s' belongs to another window\n", control->GetName());
    return 0;
  }
  // A control without a window is taken over: this window owns it from now on.
  if (control->m_pGUI) control->m_pGUI->ReleaseOrphan(control);
  m_Controls.push_back(control);
  control->m_pWindow = this;
  control->m_pGUI = m_pGUI;
  control->m_ID = static_cast<unsigned>(m_Controls.size() - 1);
  return control->m_ID;
}

unsigned cWindow::FindControl(const vek::string& name) const {
  for (unsigned id = 0; id < m_Controls.size(); ++id) {
    if (m_Controls[id] && m_Controls[id]->GetName() == name) return id;
  }
  return 0;
}

cCtrl* cWindow::GetControl(unsigned id) const { return id < m_Controls.size() ? m_Controls[id] : nullptr; }

void cWindow::SetActiveControl(cCtrl* control) {
  if (control == m_pActive) return;
  cCtrl* old = m_pActive;
  if (old) SendControlEvent(old, cCtrl::e_evFocusLost, 0, 0);
  m_pActive = control;
  if (control) SendControlEvent(control, cCtrl::e_evFocusGained, 0, 0);
}

void cWindow::SetPos(f32 x, f32 y) {
  const f32 dx = x - m_X, dy = y - m_Y;
  for (unsigned id = 0; id < m_Controls.size(); ++id) {
    if (cCtrl* c = m_Controls[id]) c->MoveBy(dx, dy, 0);
  }
  m_X = x;
  m_Y = y;
}

bool cWindow::SendControlEvent(cCtrl* control, u32 code, u32 p1, u32 p2) {
  if (!TakesEvents(control)) return true;
  return control->OnEvent(code, p1, p2);
}

void cWindow::ForgetControl(cCtrl* control) {
  if (m_bDestroying) return;
  for (cCtrl*& c : m_Controls) {
    if (c == control) c = nullptr;
  }
  if (m_pActive == control) m_pActive = nullptr;
  if (m_pHovered == control) {
    m_pHovered = nullptr;
    m_HoverTimer = -1.0f;
  }
}

}  // namespace vek
