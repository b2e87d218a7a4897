#include "engine/gui/label_ctrl.h"

#include <cmath>

#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"

namespace vek {

void cLabelCtrl::UpdateLayout() {
  const vec2 size = gui_draw::MeasureColorText(m_Font, m_Text);
  m_TextRect.w = size.x;
  m_TextRect.h = size.y;
  AlignRect(m_Rect, m_TextRect, m_Align);
  m_TextRect.x = std::trunc(m_TextRect.x);
  m_TextRect.y = std::trunc(m_TextRect.y);
}

void cLabelCtrl::Draw() {
  gui_draw::ColorText(m_Font, vec2(m_TextRect.x, m_TextRect.y), m_Text, m_Color);
}

void cLabelCtrl::SetPos(f32 x, f32 y, int /*flags*/) {
  m_Rect.x = x;
  m_Rect.y = y;
  UpdateLayout();
}

void cLabelCtrl::MoveBy(f32 dx, f32 dy, int /*flags*/) {
  m_Rect.x += dx;
  m_Rect.y += dy;
  UpdateLayout();
}

void cLabelCtrl::SetSize(f32 w, f32 h, int /*flags*/) {
  m_Rect.w = w;
  m_Rect.h = h;
  UpdateLayout();
}

void cLabelCtrl::SetText(const vek::string& text) {
  m_Text = text;
  UpdateLayout();
}

void cLabelCtrl::SetAlign(int flags) {
  m_Align = flags;
  UpdateLayout();
}

void cLabelCtrl::SetFontPrt(const vek::string& fontName) {
  m_Font = gui_draw::FindFont(fontName);
  UpdateLayout();
}

}  // namespace vek
