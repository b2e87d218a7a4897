#include "engine/gui/button_sys_ctrl.h"

#include "engine/core/align.h"
#include "engine/gui/gui.h"

namespace vek {

cButtonSysCtrl::cButtonSysCtrl(const vek::string& name, cWindow* window)
    : cCtrl(name, window), m_Label("", nullptr), m_Normal("", nullptr), m_Pushed("", nullptr) {
  m_Label.SetAlign(cAlign::Center | cAlign::Middle);
}

void cButtonSysCtrl::Draw() {
  if (m_bPressed) {
    m_Pushed.Draw();
  } else {
    m_Normal.Draw();
  }
  m_Label.Draw();
}

bool cButtonSysCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evLButtonDown:
      m_bPressed = true;
      break;
    case e_evLButtonUp:
      if (m_bPressed) {
        m_bPressed = false;
        PostNotify(e_ntfButtonClick, 0);
      }
      break;
    case e_evMouseLeave:
      m_bPressed = false;
      break;
    default:
      break;
  }
  return cCtrl::OnEvent(code, p1, p2);
}

void cButtonSysCtrl::UpdateLayout() {
  const rectf r = m_Normal.GetRect();
  const rectf border = m_Normal.GetBorder();
  m_Label.SetPos(r.x, r.y, 0);
  m_Label.SetSize(r.w, r.h, 0);
  m_Pushed.SetPos(r.x, r.y, 0);
  m_Pushed.SetSize(r.w, r.h, 0);
  m_Pushed.SetSize(border.x, border.y, e_frmBorder);
}

void cButtonSysCtrl::SetPos(f32 x, f32 y, int flags) {
  m_Normal.SetPos(x, y, flags);
  UpdateLayout();
}

void cButtonSysCtrl::MoveBy(f32 dx, f32 dy, int flags) {
  m_Normal.MoveBy(dx, dy, flags);
  UpdateLayout();
}

void cButtonSysCtrl::SetSize(f32 w, f32 h, int flags) {
  m_Normal.SetSize(w, h, flags);
  UpdateLayout();
}

void cButtonSysCtrl::SetUVPos(f32 u, f32 v, int flags) {
  if (flags & e_btnNormal) m_Normal.SetUVPos(u, v, flags);
  if (flags & e_btnPush) m_Pushed.SetUVPos(u, v, flags);
}

void cButtonSysCtrl::SetUVSize(f32 du, f32 dv, int flags) {
  if (flags & e_btnNormal) m_Normal.SetUVSize(du, dv, flags);
  if (flags & e_btnPush) m_Pushed.SetUVSize(du, dv, flags);
}

void cButtonSysCtrl::SetTexture(const vek::string& name, int flags) {
  if (flags & e_btnNormal) m_Normal.SetTexture(name);
  if (flags & e_btnPush) m_Pushed.SetTexture(name);
}

}  // namespace vek
