#include "engine/gui/label_sys_ctrl.h"

#include "engine/core/color.h"

namespace vek {

void cLabelSysCtrl::SetColor(f32 r, f32 g, f32 b) { m_Color = ColorFromFloats(r, g, b, 1.0f); }

void cLabelSysCtrl::GetColor(f32* rgba) const {
  if (!rgba) return;
  rgba[0] = static_cast<f32>((m_Color >> 16) & 0xFF) / 255.0f;
  rgba[1] = static_cast<f32>((m_Color >> 8) & 0xFF) / 255.0f;
  rgba[2] = static_cast<f32>(m_Color & 0xFF) / 255.0f;
  rgba[3] = static_cast<f32>((m_Color >> 24) & 0xFF) / 255.0f;
}

}  // namespace vek
