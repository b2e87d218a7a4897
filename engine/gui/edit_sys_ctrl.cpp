#include "engine/gui/edit_sys_ctrl.h"

#include "engine/core/align.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/gui/window.h"

namespace vek {

cEditSysCtrl::cEditSysCtrl(const vek::string& name, cWindow* window)
    : cEditCtrl(name, window), m_Label("", nullptr), m_Frame("", nullptr) {
  m_Label.SetAlign(cAlign::Left | cAlign::Middle);
}

bool cEditSysCtrl::ShowsCaret() const {
  const cWindow* window = GetWindow();
  const cGUI* gui = GetGUI();
  return window && gui && gui->GetCaretBlink() && window->GetActiveControl() == this;
}

void cEditSysCtrl::Draw() {
  m_Frame.Draw();
  m_Label.Draw();
  if (ShowsCaret()) {
    const rectf text = m_Label.GetTextRect();
    gui_draw::Caret(m_Label.GetFont(), vec2(text.x + text.w, text.y), m_Label.GetColor());
  }
}

void cEditSysCtrl::UpdateLayout() {
  const rectf r = m_Frame.GetRect();
  const rectf border = m_Frame.GetBorder();
  m_Label.SetPos(r.x + border.x, r.y + border.y, 0);
  m_Label.SetSize(r.w - 2.0f * border.x, r.h - 2.0f * border.y, 0);
}

void cEditSysCtrl::SetPos(f32 x, f32 y, int flags) {
  m_Frame.SetPos(x, y, flags);
  UpdateLayout();
}

void cEditSysCtrl::MoveBy(f32 dx, f32 dy, int flags) {
  m_Frame.MoveBy(dx, dy, flags);
  UpdateLayout();
}

void cEditSysCtrl::SetSize(f32 w, f32 h, int flags) {
  m_Frame.SetSize(w, h, flags);
  UpdateLayout();
}

}  // namespace vek
