#include "engine/gui/list_sys_ctrl.h"

#include "engine/core/color.h"

namespace vek {

// ---------------------------------------------------------------------------------------------
// Rows

cListItemSysCtrl::cListItemSysCtrl(const vek::string& name, cWindow* window) : cLabelSysCtrl(name, window) {
  m_Align = 17;  // Left | Middle
  UpdateLayout();
}

void cListItemSysCtrl::Draw() {
  if (m_pList && GetState(cListCtrl::kSelected)) {
    cFrameCtrl& frame = m_pList->GetSelectionFrame();
    frame.SetPos(m_Rect.x, m_Rect.y, 0);
    frame.Draw();
  }
  cLabelSysCtrl::Draw();
}

bool cListItemSysCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  if (m_pList && code == e_evMouseEnter) m_Color = m_pList->GetHighlightColor();
  if (m_pList && code == e_evMouseLeave) m_Color = m_pList->GetNormalColor();
  return cCtrl::OnEvent(code, p1, p2);
}

void cListItemSysCtrl::ApplyStyle(const cListItemSysCtrl& style) {
  m_Rect.w = style.m_Rect.w;
  m_Rect.h = style.m_Rect.h;
  m_Font = style.m_Font;
  m_Color = style.m_Color;
  m_Align = style.m_Align;
  UpdateLayout();
}

void cListItemSysCtrl::SetList(cListSysCtrl* list) {
  if (!list) return;
  m_pList = list;
  m_Color = list->GetNormalColor();
}

// ---------------------------------------------------------------------------------------------
// The list

cListSysCtrl::cListSysCtrl(const vek::string& name, cWindow* window) : cListCtrl(name, window) {
  m_Template.SetList(this);
}

void cListSysCtrl::UpdateLayout() {
  m_Selection.SetSize(m_Rect.w, m_ItemSize.y, 0);
  cListCtrl::UpdateLayout();
}

void cListSysCtrl::SetSize(f32 w, f32 h, int flags) {
  if ((flags & e_lstSelection) && (flags & e_frmBorder)) {
    m_Selection.SetSize(w, h, flags);
    return;
  }
  cListCtrl::SetSize(w, h, flags);
}

void cListSysCtrl::ApplyStyleToItems() {
  for (unsigned i = 0; i < GetItemCount(); ++i) {
    if (cListItemSysCtrl* row = Row(i)) row->ApplyStyle(m_Template);
  }
  // The style carries the template's size: the shown rows take their place in the list again.
  UpdateLayout();
}

void cListSysCtrl::SetTexture(const vek::string& name, int flags) {
  if (flags & e_lstSelection) m_Selection.SetTexture(name);
}

void cListSysCtrl::SetFontPrt(const vek::string& fontName) {
  m_Template.SetFontPrt(fontName);
  ApplyStyleToItems();
}

void cListSysCtrl::SetAlign(int flags) {
  m_Template.SetAlign(flags);
  ApplyStyleToItems();
}

void cListSysCtrl::SetColor(f32 r, f32 g, f32 b, int flags) {
  if (flags & e_lstNormal) {
    m_NormalColor = ColorFromFloats(r, g, b, 1.0f);
    m_Template.SetColor(r, g, b);
  }
  if (flags & e_lstHighlight) m_HighlightColor = ColorFromFloats(r, g, b, 1.0f);
}

void cListSysCtrl::InsertItem(unsigned index, const vek::string& text, unsigned data) {
  auto* row = new cListItemSysCtrl("", nullptr);
  row->SetList(this);
  row->ApplyStyle(m_Template);
  row->SetText(text);
  AddItem(index, row, data);
}

void cListSysCtrl::SetItemText(unsigned index, const vek::string& text) {
  if (cListItemSysCtrl* row = Row(index)) row->SetText(text);
}

const vek::string& cListSysCtrl::GetItemText(unsigned index) const {
  static const vek::string kEmpty;
  const cListItemSysCtrl* row = Row(index);
  return row ? row->GetText() : kEmpty;
}

}  // namespace vek
