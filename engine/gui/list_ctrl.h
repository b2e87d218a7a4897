#pragma once
// The logic of every list: an ordered list of rows, each a control of its own plus a data word,
// shown as a column of equal rows of which a run of consecutive rows is visible, with the row
// under the cursor highlighted and single or multiple selection. The list draws nothing of its
// own; its rows draw themselves.
//
// The list owns its row controls: they are made without a window, reached only through the
// list and deleted with their row. A row's selection mark is state bit 8 of its control (the
// bit e_Ignorable names; the list routes events to its rows itself). A row whose control has
// e_Disabled can be neither selected nor deselected.
#include <vector>

#include "engine/gui/ctrl.h"

namespace vek {

class cListCtrl : public cCtrl {
 public:
  // The selection mark on a row's control.
  static constexpr int kSelected = 8;

  cListCtrl(const vek::string& name, cWindow* window);
  ~cListCtrl() override;

  // Every visible row, top to bottom.
  void Draw() override;
  // Highlight on mouse moves, selection on a button-down; true only for characters.
  bool OnEvent(u32 code, u32 p1, u32 p2) override;
  // Stacks the visible rows from the top of the list, one item height each.
  void UpdateLayout() override;
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  // With e_lstItems: the size of one row; otherwise the list's size.
  void SetSize(f32 w, f32 h, int flags) override;
  bool HitTest(f32 x, f32 y) const override { return RectContainsInclusive(m_Rect, x, y); }
  rectf GetRect() const override { return m_Rect; }
  const char* GetClassName() const override { return "cListCtrl"; }

  // Inserts the row at index (appends when index is not below the count); the list takes
  // the control over. A null control, or one that a window holds, is refused (logged).
  virtual void AddItem(unsigned index, cCtrl* control, u32 data);
  virtual void DeleteItem(unsigned index);
  // Empties the list; the first visible row is kept.
  virtual void DeleteAllItems();
  virtual unsigned GetItemCount() const { return static_cast<unsigned>(m_Items.size()); }
  virtual void SetItemData(unsigned index, unsigned data);
  // 0 when index is not below the count.
  virtual unsigned GetItemData(unsigned index) const;
  // The first selected row at or after start; the count when there is none.
  virtual unsigned GetSelectedItem(unsigned start) const;
  virtual bool IsSelectedItem(unsigned index) const;
  // Sets or clears the mark; with notify the window function gets message 53 at once for
  // each row whose mark changed (in single selection the row that lost it first).
  virtual void SelectItem(unsigned index, bool select, bool notify);
  virtual void SetMultiselect(bool multiselect) { m_bMultiselect = multiselect; }
  virtual bool IsMultiselect() const { return m_bMultiselect; }
  // The list's height in whole item heights.
  virtual unsigned GetVisibleCount() const;
  // Ignored unless index is below the count.
  virtual void SetFirstVisible(unsigned index);
  virtual unsigned GetFirstVisible() const { return m_FirstVisible; }
  // Scrolls as little as needed to show the row; any index up to the count is accepted.
  virtual void EnsureVisible(unsigned index);
  virtual bool IsVisible(unsigned index) const;

  // The row's control; null when index is not below the count.
  cCtrl* GetItem(unsigned index) const { return index < m_Items.size() ? m_Items[index].control : nullptr; }
  // The highlighted row, -1 for none.
  int GetHighlight() const { return m_Highlight; }
  vec2 GetItemSize() const { return m_ItemSize; }

 protected:
  struct cItem {
    cCtrl* control;
    u32 data;
  };
  // One past the last visible row (never past the count).
  unsigned VisibleEnd() const;
  // Moves the highlight to the row (-1 for none): the old row gets 33, the new one 32.
  void SetHighlight(int row);

  rectf m_Rect;
  vec2 m_ItemSize{16.0f, 16.0f};
  std::vector<cItem> m_Items;
  int m_Highlight = -1;
  bool m_bMultiselect = false;
  unsigned m_FirstVisible = 0;
};

}  // namespace vek
