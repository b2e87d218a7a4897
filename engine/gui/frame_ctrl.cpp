#include "engine/gui/frame_ctrl.h"

#include "engine/core/color.h"
#include "engine/gui/gui_draw.h"

namespace vek {

void cFrameCtrl::Draw() { gui_draw::Frame(m_Texture, m_Rect, m_UV, m_Border, m_UVBorder, m_bInner, m_Color); }

bool cFrameCtrl::GetCover(rectf* area) const {
  if (!m_bInner || (m_Color >> 24) != 0xFFu) return false;
  const rectf centre{m_Rect.x + m_Border.x, m_Rect.y + m_Border.y, m_Rect.w - 2.0f * m_Border.x,
                     m_Rect.h - 2.0f * m_Border.y};
  const rectf uv{m_UV.x + m_UVBorder.x, m_UV.y + m_UVBorder.y, m_UV.w - 2.0f * m_UVBorder.x,
                 m_UV.h - 2.0f * m_UVBorder.y};
  if (!(centre.w > 0.0f && centre.h > 0.0f) || !gui_draw::DrawsSolid(m_Texture, uv)) return false;
  *area = centre;
  return true;
}

void cFrameCtrl::SetPos(f32 x, f32 y, int /*flags*/) {
  m_Rect.x = x;
  m_Rect.y = y;
  UpdateLayout();
}

void cFrameCtrl::MoveBy(f32 dx, f32 dy, int /*flags*/) {
  m_Rect.x += dx;
  m_Rect.y += dy;
  UpdateLayout();
}

void cFrameCtrl::SetSize(f32 w, f32 h, int flags) {
  if (flags & e_frmBorder) {
    m_Border = vec2(w, h);
  } else {
    m_Rect.w = w;
    m_Rect.h = h;
  }
  UpdateLayout();
}

void cFrameCtrl::SetUVPos(f32 u, f32 v, int /*flags*/) {
  m_UV.x = u;
  m_UV.y = v;
  UpdateLayout();
}

void cFrameCtrl::SetUVSize(f32 du, f32 dv, int flags) {
  if (flags & e_frmBorder) {
    m_UVBorder = vec2(du, dv);
  } else {
    m_UV.w = du;
    m_UV.h = dv;
  }
}

void cFrameCtrl::SetTexture(const vek::string& name) { m_Texture = gui_draw::FindTexture(name); }

void cFrameCtrl::SetColor(f32 r, f32 g, f32 b) { m_Color = ColorFromFloats(r, g, b, 1.0f); }

}  // namespace vek
