#include "engine/gui/slider_sys_ctrl.h"

namespace vek {

void cSliderSysCtrl::Draw() {
  m_Track.Draw();
  m_Thumb.Draw();
}

void cSliderSysCtrl::UpdateLayout() {
  // The placement moves the thumb through SetPos, which lays out again; that second pass finds
  // the thumb in place. Running it only once also ends the placement for values that never
  // compare equal (not-a-number from a script).
  if (m_bPlacing) return;
  m_bPlacing = true;
  cSliderCtrl::UpdateLayout();
  m_bPlacing = false;
}

void cSliderSysCtrl::SetPos(f32 x, f32 y, int flags) {
  if (flags & e_sldImage) {
    m_Thumb.SetPos(x, y, flags);
  } else {
    m_Track.SetPos(x, y, flags);
  }
  UpdateLayout();
}

void cSliderSysCtrl::MoveBy(f32 dx, f32 dy, int flags) {
  if (flags & e_sldImage) {
    m_Thumb.MoveBy(dx, dy, flags);
  } else {
    m_Track.MoveBy(dx, dy, flags);
  }
  UpdateLayout();
}

void cSliderSysCtrl::SetSize(f32 w, f32 h, int flags) {
  if (flags & e_sldImage) {
    m_Thumb.SetSize(w, h, flags);
  } else {
    m_Track.SetSize(w, h, flags);
  }
  UpdateLayout();
}

void cSliderSysCtrl::SetUVPos(f32 u, f32 v, int flags) {
  if (flags & e_sldImage) {
    m_Thumb.SetUVPos(u, v, flags);
  } else {
    m_Track.SetUVPos(u, v, flags);
  }
}

void cSliderSysCtrl::SetUVSize(f32 du, f32 dv, int flags) {
  if (flags & e_sldImage) {
    m_Thumb.SetUVSize(du, dv, flags);
  } else {
    m_Track.SetUVSize(du, dv, flags);
  }
}

void cSliderSysCtrl::SetTexture(const vek::string& name, int flags) {
  if (flags & e_sldImage) {
    m_Thumb.SetTexture(name);
  } else {
    m_Track.SetTexture(name);
  }
}

}  // namespace vek
