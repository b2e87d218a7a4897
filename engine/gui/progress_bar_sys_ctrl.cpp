#include "engine/gui/progress_bar_sys_ctrl.h"

namespace vek {

void cProgressBarSysCtrl::UpdateLayout() {
  m_Bar.SetSize(m_Size.x * m_Value, m_Size.y, 0);
  m_Bar.SetUVSize(m_FullUVWidth * m_Value, m_Bar.GetUVRect().h, 0);
}

void cProgressBarSysCtrl::SetPos(f32 x, f32 y, int /*flags*/) {
  m_Bar.SetPos(x, y, 0);
  UpdateLayout();
}

void cProgressBarSysCtrl::MoveBy(f32 dx, f32 dy, int /*flags*/) {
  m_Bar.MoveBy(dx, dy, 0);
  UpdateLayout();
}

void cProgressBarSysCtrl::SetSize(f32 w, f32 h, int /*flags*/) {
  m_Size = vec2(w, h);
  UpdateLayout();
}

void cProgressBarSysCtrl::SetUVSize(f32 du, f32 dv, int flags) {
  m_Bar.SetUVSize(du, dv, flags);
  m_FullUVWidth = du;
  UpdateLayout();
}

bool cProgressBarSysCtrl::HitTest(f32 x, f32 y) const {
  const rectf bar = m_Bar.GetRect();
  return RectContainsInclusive(rectf{bar.x, bar.y, m_Size.x, m_Size.y}, x, y);
}

void cProgressBarSysCtrl::SetValue(f32 value) {
  // Not-a-number shows nothing rather than an undefined width.
  if (!(value > 0.0f)) value = 0.0f;
  if (value > 1.0f) value = 1.0f;
  m_Value = value;
  UpdateLayout();
}

}  // namespace vek
