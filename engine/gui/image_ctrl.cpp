#include "engine/gui/image_ctrl.h"

#include "engine/core/color.h"
#include "engine/gui/gui_draw.h"

namespace vek {

void cImageCtrl::Draw() { gui_draw::Quad(m_Texture, m_Rect, m_UV, m_Color); }

bool cImageCtrl::GetCover(rectf* area) const {
  if ((m_Color >> 24) != 0xFFu || !(m_Rect.w > 0.0f && m_Rect.h > 0.0f) || !gui_draw::DrawsSolid(m_Texture, m_UV)) return false;
  *area = m_Rect;
  return true;
}

void cImageCtrl::SetPos(f32 x, f32 y, int /*flags*/) {
  m_Rect.x = x;
  m_Rect.y = y;
  UpdateLayout();
}

void cImageCtrl::MoveBy(f32 dx, f32 dy, int /*flags*/) {
  m_Rect.x += dx;
  m_Rect.y += dy;
  UpdateLayout();
}

void cImageCtrl::SetSize(f32 w, f32 h, int /*flags*/) {
  m_Rect.w = w;
  m_Rect.h = h;
  UpdateLayout();
}

void cImageCtrl::SetUVPos(f32 u, f32 v, int /*flags*/) {
  m_UV.x = u;
  m_UV.y = v;
}

void cImageCtrl::SetUVSize(f32 du, f32 dv, int /*flags*/) {
  m_UV.w = du;
  m_UV.h = dv;
}

void cImageCtrl::SetTexture(const vek::string& name) { m_Texture = gui_draw::FindTexture(name); }

void cImageCtrl::SetColor(f32 r, f32 g, f32 b) { m_Color = ColorFromFloats(r, g, b, 1.0f); }

}  // namespace vek
