#include "game/windows/controls/check_box_ctrl.h"

#include "engine/gui/gui_draw.h"
#include "game/app/sprite.h"
#include "game/windows/controls/control_sound.h"

using vek::f32;
using vek::u32;

// ---- cCheckBoxCtrl ----

cCheckBoxCtrl::cCheckBoxCtrl(const vek::string& name, vek::cWindow* window)
    : vek::cCheckBoxSysCtrl(name, window), m_HoverBox("", nullptr), m_HoverChecked("", nullptr) {}

void cCheckBoxCtrl::Draw() {
  if (m_Hover)
    (m_bChecked ? m_HoverChecked : m_HoverBox).Draw();
  else
    (m_bChecked ? m_Checked : m_Box).Draw();
  m_Label.Draw();
}

bool cCheckBoxCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evLButtonDown:
      PlayControlSound("click");
      break;
    case e_evMouseEnter:
      m_Hover = 1;
      PlayControlSound("mouse_in");
      break;
    case e_evMouseLeave:
      m_Hover = 0;
      break;
    default:
      break;
  }
  return vek::cCheckBoxSysCtrl::OnEvent(code, p1, p2);
}

void cCheckBoxCtrl::UpdateLayout() {
  vek::cCheckBoxSysCtrl::UpdateLayout();
  const std::pair<const vek::cImageCtrl*, vek::cImageCtrl*> pairs[] = {{&m_Box, &m_HoverBox},
                                                                       {&m_Checked, &m_HoverChecked}};
  for (const auto& [normal, hover] : pairs) {
    const vek::rectf r = normal->GetRect();
    const vek::rectf uv = normal->GetUVRect();
    hover->SetPos(r.x, r.y, 0);
    hover->SetSize(r.w, r.h, 0);
    hover->SetUVPos(uv.x, uv.y - uv.h, 0);
  }
}

void cCheckBoxCtrl::SetUVPos(f32 u, f32 v, int flags) {
  vek::cCheckBoxSysCtrl::SetUVPos(u, v, flags);
  UpdateLayout();
}

void cCheckBoxCtrl::SetUVSize(f32 du, f32 dv, int flags) {
  vek::cCheckBoxSysCtrl::SetUVSize(du, dv, flags);
  if (flags & e_cbNormal) m_HoverBox.SetUVSize(du, dv, flags);
  if (flags & e_cbPush) m_HoverChecked.SetUVSize(du, dv, flags);
  UpdateLayout();
}

void cCheckBoxCtrl::SetTexture(const vek::string& name, int flags) {
  vek::cCheckBoxSysCtrl::SetTexture(name, flags);
  if (flags & e_cbNormal) m_HoverBox.SetTexture(name);
  if (flags & e_cbPush) m_HoverChecked.SetTexture(name);
}

// ---- cCheckBoxUpCtrl ----

std::vector<cCheckBoxUpCtrl::cStar> cCheckBoxUpCtrl::GetStars() const {
  // A row of 22-pixel stars, each overlapping the one before by half, centred under the box
  // (y counts upward).
  std::vector<cStar> stars;
  const vek::rectf r = GetRect();
  const int n = m_MaxLevel;
  if (n <= 0) return stars;
  const f32 x0 = r.x + (r.w - 22.0f * (static_cast<f32>(n) / 2.0f + 1.0f)) / 2.0f;
  for (int i = 1; i <= n; ++i)
    stars.push_back(cStar{vek::rectf{x0 + 11.0f * static_cast<f32>(i), r.y - 22.0f, 22.0f, 22.0f}, i <= m_Level});
  return stars;
}

void cCheckBoxUpCtrl::Draw() {
  cCheckBoxCtrl::Draw();
  // Looked up at each drawing: sheets may be loaded after the control was made.
  const cSprite star = FindSprite("icons00", "star");
  const cSprite empty = FindSprite("icons00", "star_empty");
  for (const cStar& s : GetStars()) {
    const cSprite& sprite = s.filled ? star : empty;
    if (sprite.texture == 0) continue;
    vek::gui_draw::Quad(sprite.texture, s.rect, sprite.Frame(), 0xFFFFFFFFu);
  }
}

// ---- cSliderCtrlEx ----

cSliderCtrlEx::cSliderCtrlEx(const vek::string& name, vek::cWindow* window)
    : vek::cSliderSysCtrl(name, window), m_HoverThumb("", nullptr), m_HoverTrack("", nullptr) {}

void cSliderCtrlEx::Draw() {
  if (m_Hover) {
    m_HoverTrack.Draw();
    m_HoverThumb.Draw();
  } else {
    m_Track.Draw();
    m_Thumb.Draw();
  }
}

bool cSliderCtrlEx::OnEvent(u32 code, u32 p1, u32 p2) {
  if (code == e_evMouseEnter) {
    m_Hover = 1;
    PlayControlSound("mouse_in");
  } else if (code == e_evMouseLeave) {
    m_Hover = 0;
  }
  return vek::cSliderSysCtrl::OnEvent(code, p1, p2);
}

void cSliderCtrlEx::UpdateLayout() {
  vek::cSliderSysCtrl::UpdateLayout();
  const vek::rectf track = m_Track.GetRect();
  const vek::rectf trackUV = m_Track.GetUVRect();
  m_HoverTrack.SetPos(track.x, track.y, 0);
  m_HoverTrack.SetSize(track.w, track.h, 0);
  m_HoverTrack.SetUVPos(trackUV.x, trackUV.y - trackUV.h, 0);
  const vek::rectf thumb = m_Thumb.GetRect();
  const vek::rectf thumbUV = m_Thumb.GetUVRect();
  m_HoverThumb.SetPos(thumb.x, thumb.y, 0);
  m_HoverThumb.SetSize(thumb.w, thumb.h, 0);
  m_HoverThumb.SetUVPos(thumbUV.x, thumbUV.y - thumbUV.h, 0);
}

void cSliderCtrlEx::SetSize(f32 w, f32 h, int flags) {
  if (flags & e_sldImage)
    m_HoverThumb.SetSize(w, h, flags);
  else
    m_HoverTrack.SetSize(w, h, flags);
  vek::cSliderSysCtrl::SetSize(w, h, flags);
  UpdateLayout();
}

void cSliderCtrlEx::SetUVPos(f32 u, f32 v, int flags) {
  vek::cSliderSysCtrl::SetUVPos(u, v, flags);
  UpdateLayout();
}

void cSliderCtrlEx::SetUVSize(f32 du, f32 dv, int flags) {
  if (flags & e_sldImage)
    m_HoverThumb.SetUVSize(du, dv, flags);
  else
    m_HoverTrack.SetUVSize(du, dv, flags);
  vek::cSliderSysCtrl::SetUVSize(du, dv, flags);
  UpdateLayout();
}

void cSliderCtrlEx::SetTexture(const vek::string& name, int flags) {
  vek::cSliderSysCtrl::SetTexture(name, flags);
  if (flags & e_sldImage)
    m_HoverThumb.SetTexture(name);
  else
    m_HoverTrack.SetTexture(name);
}
