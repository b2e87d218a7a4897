#pragma once
// A grid of image cells on the list logic: cells fill rows from the top left, as many to a row
// as fit the list's width, and the highlight follows the real cursor whenever the cells are
// placed again.
#include "engine/gui/list_ctrl.h"

namespace vek {

class cImageListSysCtrl : public cListCtrl {
 public:
  cImageListSysCtrl(const vek::string& name, cWindow* window) : cListCtrl(name, window) {}

  // Rows times columns, cells counted as squares of the item height.
  unsigned GetVisibleCount() const override;
  void UpdateLayout() override;
  const char* GetClassName() const override { return "cImageListSysCtrl"; }

  // Makes an image cell (no name, no window) showing the texture's uv rectangle, and inserts
  // it as the list's AddItem does.
  virtual void InsertItem(unsigned index, const vek::string& texture, const rectf& uv, unsigned data);

 private:
  // Brings the highlight up to date from the system cursor over the placed cells.
  void HighlightUnderCursor();

  // The last cursor position read, in client pixels.
  i32 m_CursorX = 0, m_CursorY = 0;
  bool m_bCursorRead = false;
};

}  // namespace vek
