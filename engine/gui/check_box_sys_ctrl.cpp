#include "engine/gui/check_box_sys_ctrl.h"

#include "engine/core/align.h"
#include "engine/gui/gui.h"

namespace vek {

cCheckBoxSysCtrl::cCheckBoxSysCtrl(const vek::string& name, cWindow* window)
    : cCtrl(name, window), m_Label("", nullptr), m_Box("", nullptr), m_Checked("", nullptr) {
  m_Label.SetAlign(cAlign::Left | cAlign::Middle);
}

void cCheckBoxSysCtrl::Draw() {
  if (m_bChecked) {
    m_Checked.Draw();
  } else {
    m_Box.Draw();
  }
  m_Label.Draw();
}

bool cCheckBoxSysCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  if (code == e_evLButtonDown) {
    SetCheck(!IsChecked());
    PostNotify(e_ntfCheckToggle, IsChecked() ? 1u : 0u);
  }
  return cCtrl::OnEvent(code, p1, p2);
}

void cCheckBoxSysCtrl::UpdateLayout() {
  const rectf r = m_Box.GetRect();
  m_Checked.SetPos(r.x, r.y, 0);
  m_Checked.SetSize(r.h, r.h, 0);
  m_Label.SetPos(r.x + r.h, r.y, 0);
  m_Label.SetSize(r.w - r.h, r.h, 0);
  m_Box.SetSize(r.h, r.h, 0);
}

void cCheckBoxSysCtrl::SetPos(f32 x, f32 y, int flags) {
  m_Box.SetPos(x, y, flags);
  UpdateLayout();
}

void cCheckBoxSysCtrl::MoveBy(f32 dx, f32 dy, int flags) {
  m_Box.MoveBy(dx, dy, flags);
  UpdateLayout();
}

void cCheckBoxSysCtrl::SetSize(f32 /*w*/, f32 h, int flags) {
  m_Box.SetSize(h, h, flags);
  UpdateLayout();
}

void cCheckBoxSysCtrl::SetUVPos(f32 u, f32 v, int flags) {
  if (flags & e_cbNormal) m_Box.SetUVPos(u, v, flags);
  if (flags & e_cbPush) m_Checked.SetUVPos(u, v, flags);
}

void cCheckBoxSysCtrl::SetUVSize(f32 du, f32 dv, int flags) {
  if (flags & e_cbNormal) m_Box.SetUVSize(du, dv, flags);
  if (flags & e_cbPush) m_Checked.SetUVSize(du, dv, flags);
}

bool cCheckBoxSysCtrl::HitTest(f32 x, f32 y) const { return m_Box.HitTest(x, y) || m_Label.HitTest(x, y); }

void cCheckBoxSysCtrl::SetTexture(const vek::string& name, int flags) {
  if (flags & e_cbNormal) m_Box.SetTexture(name);
  if (flags & e_cbPush) m_Checked.SetTexture(name);
}

}  // namespace vek
