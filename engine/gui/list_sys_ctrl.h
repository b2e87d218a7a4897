#pragma once
// A list of text rows with the system look: each row is a coloured label that takes the list's
// normal text colour, and its highlight colour while the cursor is over it; a selected row
// draws the list's selection frame behind its text. New rows copy the font, alignment, colour
// and size of the list's row template.
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"
#include "engine/gui/list_ctrl.h"

namespace vek {

class cListSysCtrl;

// One text row of a text list. Its hit area is the whole row, not only its text.
class cListItemSysCtrl : public cLabelSysCtrl {
 public:
  // Aligned Left and Middle.
  cListItemSysCtrl(const vek::string& name, cWindow* window);

  void Draw() override;
  // 32 and 33 switch to the list's highlight and normal colours; true only for characters.
  bool OnEvent(u32 code, u32 p1, u32 p2) override;
  bool HitTest(f32 x, f32 y) const override { return RectContainsInclusive(m_Rect, x, y); }
  const char* GetClassName() const override { return "cListItemSysCtrl"; }

  // Copies the template's size, font, colour and alignment, then lays the text out again.
  virtual void ApplyStyle(const cListItemSysCtrl& style);
  // For a list: keeps it and takes its normal colour; null changes nothing.
  virtual void SetList(cListSysCtrl* list);
  cListSysCtrl* GetList() const { return m_pList; }

 private:
  cListSysCtrl* m_pList = nullptr;
};

class cListSysCtrl : public cListCtrl {
 public:
  cListSysCtrl(const vek::string& name, cWindow* window);

  // Sizes the selection frame to a row, then stacks the rows.
  void UpdateLayout() override;
  // With e_lstSelection and e_frmBorder: the selection frame's border; otherwise the list's.
  void SetSize(f32 w, f32 h, int flags) override;
  // Both go to the selection frame with the caller's flags.
  void SetUVPos(f32 u, f32 v, int flags) override { m_Selection.SetUVPos(u, v, flags); }
  void SetUVSize(f32 du, f32 dv, int flags) override { m_Selection.SetUVSize(du, dv, flags); }
  const char* GetClassName() const override { return "cListSysCtrl"; }

  // Every row takes the template's style again (and its place in the list).
  virtual void ApplyStyleToItems();
  // With e_lstSelection: the selection frame's texture; otherwise nothing.
  virtual void SetTexture(const vek::string& name, int flags);
  virtual void SetFontPrt(const vek::string& fontName);
  virtual void SetAlign(int flags);
  // e_lstNormal: the normal colour (new rows take it; rows there take it when the cursor next
  // leaves them); e_lstHighlight: the highlight colour; both bits set both.
  virtual void SetColor(f32 r, f32 g, f32 b, int flags);
  // A new row with the text, styled by the template.
  virtual void InsertItem(unsigned index, const vek::string& text, unsigned data);
  virtual void SetItemText(unsigned index, const vek::string& text);
  // An empty text when index is not below the count.
  virtual const vek::string& GetItemText(unsigned index) const;

  cFrameCtrl& GetSelectionFrame() { return m_Selection; }
  const cListItemSysCtrl& GetTemplate() const { return m_Template; }
  u32 GetNormalColor() const { return m_NormalColor; }
  u32 GetHighlightColor() const { return m_HighlightColor; }

 private:
  cListItemSysCtrl* Row(unsigned index) const { return dynamic_cast<cListItemSysCtrl*>(GetItem(index)); }

  cFrameCtrl m_Selection{"", nullptr};
  cListItemSysCtrl m_Template{"", nullptr};
  u32 m_NormalColor = 0xFFFFFFFF;
  u32 m_HighlightColor = 0xFFFFFFFF;
};

}  // namespace vek
