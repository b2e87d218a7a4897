#include "engine/gui/ctrl.h"

#include "engine/gui/gui.h"
#include "engine/gui/gui_host.h"
#include "engine/gui/window.h"

namespace vek {

bool RectContainsInclusive(const rectf& r, f32 x, f32 y) {
  return x >= r.x && x <= r.x + r.w && y >= r.y && y <= r.y + r.h;
}

cCtrl::cCtrl(const vek::string& name, cWindow* window) : m_Name(name) {
  if (window) {
    m_pGUI = window->GetGUI();
    m_pWindow = window;
    window->m_Controls.push_back(this);
    m_ID = static_cast<unsigned>(window->m_Controls.size() - 1);
  } else {
    m_pGUI = GetGuiHost() ? GetGuiHost()->GetGUI() : nullptr;
  }
}

cCtrl::~cCtrl() {
  if (m_pWindow) m_pWindow->ForgetControl(this);
  if (m_pGUI) m_pGUI->ReleaseOrphan(this);
}

bool cCtrl::OnEvent(u32 code, u32 /*p1*/, u32 /*p2*/) {
  if (code == e_evMouseEnter || code == e_evMouseLeave) Notify(code, 0);
  return code == e_evChar;
}

void cCtrl::SetPos(f32, f32, int) { UpdateLayout(); }
void cCtrl::MoveBy(f32, f32, int) { UpdateLayout(); }
void cCtrl::SetSize(f32, f32, int) { UpdateLayout(); }

void cCtrl::Notify(u32 message, u32 p1) {
  if (!m_pWindow) return;
  if (cWindowFunction* function = m_pWindow->GetFunction()) function->Call(m_pWindow, message, p1, m_ID);
}

void cCtrl::PostNotify(u32 message, u32 p1) {
  if (!m_pWindow || !m_pWindow->GetGUI()) return;
  m_pWindow->GetGUI()->PostMessage(m_pWindow->GetID(), message, p1, m_ID);
}

}  // namespace vek
