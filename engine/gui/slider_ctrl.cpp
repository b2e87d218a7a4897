#include "engine/gui/slider_ctrl.h"

#include <cstdint>

#include "engine/gui/gui.h"

namespace vek {

bool cSliderCtrl::HitTest(f32 x, f32 y) const {
  return RectContainsInclusive(GetTrackRect(), x, y) || RectContainsInclusive(GetThumbRect(), x, y);
}

void cSliderCtrl::SetValue(f32 value) {
  if (value < m_Min) value = m_Min;
  if (value >= m_Max) value = m_Max;
  m_Value = value;
  UpdateLayout();
}

void cSliderCtrl::SetMinMax(f32 min, f32 max) {
  m_Min = min;
  m_Max = max < min ? min : max;
  SetValue(m_Value);
}

void cSliderCtrl::UpdateLayout() {
  const rectf t = GetTrackRect();
  const rectf h = GetThumbRect();
  const f32 f = m_Min < m_Max ? (m_Value - m_Min) / (m_Max - m_Min) : 0.0f;
  f32 x = 0.0f, y = 0.0f;
  if (!m_bVertical) {
    x = t.x + (t.w * f - h.w * 0.5f);
    if (x < t.x) x = t.x;
    if (x > t.x + t.w - h.w) x = t.x + t.w - h.w;
    y = (t.h - h.h) * 0.5f + t.y;
  } else {
    y = t.y + (t.h * f - h.h * 0.5f);
    if (y < t.y) y = t.y;
    if (y > t.y + t.h - h.h) y = t.y + t.h - h.h;
    x = (t.w - h.w) * 0.5f + t.x;
  }
  if (x == h.x && y == h.y) return;
  SetPos(x, y, e_sldImage);
}

bool cSliderCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evLButtonDown:
      m_bDragging = true;
      [[fallthrough]];
    case e_evMouseMove:
      if (m_bFocused && m_bDragging) {
        const rectf t = GetTrackRect();
        // Positions are signed halves of the parameter (a pointer past the start stays there).
        const f32 px = static_cast<f32>(static_cast<std::int16_t>(p2 & 0xFFFF));
        const f32 py = static_cast<f32>(static_cast<std::int16_t>(p2 >> 16));
        const f32 size = m_bVertical ? t.h : t.w;
        // A track without size gives no position to follow: the value stays.
        if (size > 0.0f) {
          const f32 fraction = m_bVertical ? (py - t.y) / t.h : (px - t.x) / t.w;
          SetValue(m_Min + (m_Max - m_Min) * fraction);
        }
        PostNotify(e_ntfSliderValue, static_cast<u32>(static_cast<i32>(m_Value)));
      }
      break;
    case e_evLButtonUp:
      m_bDragging = false;
      break;
    case e_evFocusGained:
      m_bFocused = true;
      break;
    case e_evFocusLost:
      m_bFocused = false;
      break;
    default:
      break;
  }
  return cCtrl::OnEvent(code, p1, p2);
}

}  // namespace vek
