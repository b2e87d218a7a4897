#include "engine/gui/cursor.h"

#include "engine/core/align.h"
#include "engine/gui/gui_draw.h"

namespace vek {

cCursor::cCursor(cGUI* gui) : m_pGUI(gui) { m_Animation.Init(1, 30.0f, cFrameAnimation::e_LoopForward); }

void cCursor::Set(const vek::string& texture, const vec2& size, int align, int rows, int columns) {
  m_Texture = gui_draw::FindTexture(texture);
  m_Width = size.x;
  m_Height = size.y;
  m_Align = align;
  // An empty grid counts as one cell: the frame size divides by it.
  m_Rows = rows > 0 ? rows : 1;
  m_Columns = columns > 0 ? columns : 1;
  m_Animation.Init(m_Rows * m_Columns, 30.0f, cFrameAnimation::e_LoopForward);
}

rectf cCursor::GetUVRect() const {
  if (m_Rows <= 1 && m_Columns <= 1) return rectf{0.0f, 0.0f, 1.0f, 1.0f};
  const int frame = m_Animation.GetFrame() >= 0 ? m_Animation.GetFrame() : 0;
  const f32 du = 1.0f / static_cast<f32>(m_Columns);
  const f32 dv = 1.0f / static_cast<f32>(m_Rows);
  const f32 u = static_cast<f32>(frame % m_Columns) / static_cast<f32>(m_Columns);
  // Rows run from the top of the image down; v counts from the bottom.
  const f32 v = 1.0f - (static_cast<f32>(frame / m_Columns) / static_cast<f32>(m_Rows) + dv);
  return rectf{u, v, du, dv};
}

rectf cCursor::GetScreenRect() const {
  f32 x = m_X, y = m_Y;
  if (m_Align & cAlign::Right) {
    x -= m_Width;
  } else if (m_Align & cAlign::Center) {
    x -= m_Width / 2.0f;
  }
  if (m_Align & cAlign::Top) {
    y -= m_Height;
  } else if (m_Align & cAlign::Middle) {
    y -= m_Height / 2.0f;
  }
  return rectf{x, y, m_Width, m_Height};
}

void cCursor::Draw() {
  gui_draw::BeginPass();
  gui_draw::Quad(m_Texture, GetScreenRect(), GetUVRect(), 0xFFFFFFFF);
  gui_draw::EndPass();
}

}  // namespace vek
