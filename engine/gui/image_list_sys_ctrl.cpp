#include "engine/gui/image_list_sys_ctrl.h"

#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/input/input.h"

namespace vek {

unsigned cImageListSysCtrl::GetVisibleCount() const {
  const f32 cell = m_ItemSize.y;
  if (!(cell > 0.0f) || !(m_Rect.h > 0.0f) || !(m_Rect.w > 0.0f)) return 0;
  const f32 rows = m_Rect.h / cell, columns = m_Rect.w / cell;
  if (rows >= 65536.0f || columns >= 65536.0f) return 4000000000u;
  return static_cast<unsigned>(rows) * static_cast<unsigned>(columns);
}

void cImageListSysCtrl::UpdateLayout() {
  f32 x = m_Rect.x;
  f32 y = m_Rect.y + m_Rect.h - m_ItemSize.y;
  for (unsigned i = m_FirstVisible; i < VisibleEnd(); ++i) {
    cCtrl* cell = m_Items[i].control;
    cell->SetPos(x, y, 0);
    cell->SetSize(m_ItemSize.x, m_ItemSize.y, 0);
    x += m_ItemSize.x;
    if (x + m_ItemSize.x > m_Rect.x + m_Rect.w) {
      y -= m_ItemSize.y;
      x = m_Rect.x;
    }
  }
  HighlightUnderCursor();
}

void cImageListSysCtrl::HighlightUnderCursor() {
  cGUI* gui = GetGUI();
  if (!gui) return;
  i32 cx = 0, cy = 0;
  if (GetCursorClientPos(&cx, &cy)) {
    m_CursorX = cx;
    m_CursorY = cy;
    m_bCursorRead = true;
  }
  if (!m_bCursorRead) return;
  i32 x = 0, y = 0;
  gui->ClientToGUI(m_CursorX, m_CursorY, &x, &y);
  for (unsigned i = m_FirstVisible; i < VisibleEnd(); ++i) {
    const bool holds = m_Items[i].control->HitTest(static_cast<f32>(x), static_cast<f32>(y));
    if (holds && m_Highlight != static_cast<int>(i)) {
      SetHighlight(static_cast<int>(i));
    } else if (!holds && m_Highlight == static_cast<int>(i)) {
      SetHighlight(-1);
    }
  }
}

void cImageListSysCtrl::InsertItem(unsigned index, const vek::string& texture, const rectf& uv, unsigned data) {
  auto* cell = new cImageCtrl("", nullptr);
  cell->SetTexture(texture);
  cell->SetUVPos(uv.x, uv.y, 0);
  cell->SetUVSize(uv.w, uv.h, 0);
  AddItem(index, cell, data);
}

}  // namespace vek
