#include "engine/gui/list_ctrl.h"

#include <cstdint>

#include "engine/core/log.h"
#include "engine/gui/gui.h"

namespace vek {

namespace {

const char* const kSender = "cListCtrl";

// Positions travel as y << 16 | x, both halves signed as the window reads them.
f32 PositionX(u32 p2) { return static_cast<f32>(static_cast<std::int16_t>(p2 & 0xFFFF)); }
f32 PositionY(u32 p2) { return static_cast<f32>(static_cast<std::int16_t>(p2 >> 16)); }

}  // namespace

cListCtrl::cListCtrl(const vek::string& name, cWindow* window) : cCtrl(name, window) { m_Items.reserve(30); }

cListCtrl::~cListCtrl() {
  for (cItem& item : m_Items) delete item.control;
  m_Items.clear();
}

unsigned cListCtrl::GetVisibleCount() const {
  if (!(m_ItemSize.y > 0.0f) || !(m_Rect.h > 0.0f)) return 0;
  const f32 rows = m_Rect.h / m_ItemSize.y;
  return rows < 4.0e9f ? static_cast<unsigned>(rows) : 4000000000u;
}

unsigned cListCtrl::VisibleEnd() const {
  const unsigned count = GetItemCount();
  if (m_FirstVisible >= count) return m_FirstVisible;
  const unsigned visible = GetVisibleCount();
  return count - m_FirstVisible < visible ? count : m_FirstVisible + visible;
}

bool cListCtrl::IsVisible(unsigned index) const {
  return index >= m_FirstVisible && index - m_FirstVisible < GetVisibleCount();
}

void cListCtrl::UpdateLayout() {
  f32 y = m_Rect.y + m_Rect.h - m_ItemSize.y;
  for (unsigned i = m_FirstVisible; i < VisibleEnd(); ++i) {
    cCtrl* row = m_Items[i].control;
    row->SetPos(m_Rect.x, y, 0);
    row->SetSize(m_Rect.w, m_ItemSize.y, 0);
    y -= m_ItemSize.y;
  }
}

void cListCtrl::Draw() {
  for (unsigned i = m_FirstVisible; i < VisibleEnd(); ++i) m_Items[i].control->Draw();
}

void cListCtrl::SetPos(f32 x, f32 y, int /*flags*/) {
  m_Rect.x = x;
  m_Rect.y = y;
  UpdateLayout();
}

void cListCtrl::MoveBy(f32 dx, f32 dy, int /*flags*/) {
  m_Rect.x += dx;
  m_Rect.y += dy;
  UpdateLayout();
}

void cListCtrl::SetSize(f32 w, f32 h, int flags) {
  if (flags & e_lstItems) {
    m_ItemSize = vec2(w, h);
  } else {
    m_Rect.w = w;
    m_Rect.h = h;
  }
  UpdateLayout();
}

void cListCtrl::SetHighlight(int row) {
  if (row == m_Highlight) return;
  if (cCtrl* old = m_Highlight >= 0 ? GetItem(static_cast<unsigned>(m_Highlight)) : nullptr)
    old->OnEvent(e_evMouseLeave, 0, 0);
  m_Highlight = row;
  if (cCtrl* now = row >= 0 ? GetItem(static_cast<unsigned>(row)) : nullptr) now->OnEvent(e_evMouseEnter, 0, 0);
}

bool cListCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evMouseMove: {
      const f32 x = PositionX(p2), y = PositionY(p2);
      int hit = -1;
      for (unsigned i = m_FirstVisible; i < VisibleEnd(); ++i) {
        if (m_Items[i].control->HitTest(x, y)) hit = static_cast<int>(i);
      }
      SetHighlight(hit);
      if (cCtrl* row = m_Highlight >= 0 ? GetItem(static_cast<unsigned>(m_Highlight)) : nullptr)
        row->OnEvent(e_evMouseMove, p1, p2);
      break;
    }
    case e_evLButtonDown:
      if (m_Highlight >= 0 && static_cast<unsigned>(m_Highlight) < VisibleEnd()) {
        const unsigned row = static_cast<unsigned>(m_Highlight);
        const bool selected = IsSelectedItem(row);
        if (m_bMultiselect || !selected) SelectItem(row, !selected, true);
      }
      break;
    case e_evMouseLeave:
      SetHighlight(-1);
      break;
    default:
      break;
  }
  return cCtrl::OnEvent(code, p1, p2);
}

void cListCtrl::AddItem(unsigned index, cCtrl* control, u32 data) {
  if (!control) {
    LogWarning(kSender, "AddItem: no control for the row of list '%s'\n", GetName());
    return;
  }
  if (control->GetWindow()) {
    LogWarning(kSender, "AddItem: control '%s' belongs to a window\n", control->GetName());
    return;
  }
  // The list owns its rows from now on, also one the GUI held for a script.
  if (control->GetGUI()) control->GetGUI()->ReleaseOrphan(control);
  if (index > m_Items.size()) index = static_cast<unsigned>(m_Items.size());
  m_Items.insert(m_Items.begin() + index, cItem{control, data});
  // The highlight keeps its index (the pointer has not moved), so another row now stands under
  // it: the row that had it is left and the one there now is entered, keeping the pairs whole.
  if (m_Highlight >= static_cast<int>(index)) {
    const unsigned row = static_cast<unsigned>(m_Highlight);
    if (row + 1 < m_Items.size()) m_Items[row + 1].control->OnEvent(e_evMouseLeave, 0, 0);
    m_Items[row].control->OnEvent(e_evMouseEnter, 0, 0);
  }
  UpdateLayout();
}

void cListCtrl::DeleteItem(unsigned index) {
  if (index >= m_Items.size()) return;
  if (m_Highlight == static_cast<int>(index)) {
    m_Highlight = -1;
  } else if (m_Highlight > static_cast<int>(index)) {
    // The highlighted row moves up one place with the rows below the deleted one.
    --m_Highlight;
  }
  cCtrl* control = m_Items[index].control;
  m_Items.erase(m_Items.begin() + index);
  delete control;
  UpdateLayout();
}

void cListCtrl::DeleteAllItems() {
  m_Highlight = -1;
  std::vector<cItem> items;
  items.swap(m_Items);
  m_Items.reserve(30);
  for (cItem& item : items) delete item.control;
  UpdateLayout();
}

void cListCtrl::SetItemData(unsigned index, unsigned data) {
  if (index < m_Items.size()) m_Items[index].data = data;
}

unsigned cListCtrl::GetItemData(unsigned index) const { return index < m_Items.size() ? m_Items[index].data : 0; }

unsigned cListCtrl::GetSelectedItem(unsigned start) const {
  for (unsigned i = start; i < m_Items.size(); ++i) {
    if (m_Items[i].control->GetState(kSelected)) return i;
  }
  return GetItemCount();
}

bool cListCtrl::IsSelectedItem(unsigned index) const {
  return index < m_Items.size() && m_Items[index].control->GetState(kSelected);
}

void cListCtrl::SelectItem(unsigned index, bool select, bool notify) {
  if (index >= m_Items.size() || m_Items[index].control->GetState(e_Disabled)) return;
  cCtrl* row = m_Items[index].control;
  if (m_bMultiselect) {
    if (row->GetState(kSelected) == select) return;
    if (select) {
      row->EnableState(kSelected);
    } else {
      row->DisableState(kSelected);
    }
    if (notify) Notify(e_ntfListChoose, index);
    return;
  }
  if (!select) {
    if (!row->GetState(kSelected)) return;
    row->DisableState(kSelected);
    if (notify) Notify(e_ntfListChoose, index);
    return;
  }
  const unsigned old = GetSelectedItem(0);
  if (old == index) return;
  if (old < m_Items.size()) {
    m_Items[old].control->DisableState(kSelected);
    if (notify) {
      Notify(e_ntfListChoose, old);
      // The window function may have changed the list; the row must still be there.
      if (index >= m_Items.size() || m_Items[index].control != row) return;
    }
  }
  row->EnableState(kSelected);
  if (notify) Notify(e_ntfListChoose, index);
}

void cListCtrl::SetFirstVisible(unsigned index) {
  if (index >= m_Items.size()) return;
  m_FirstVisible = index;
  UpdateLayout();
}

void cListCtrl::EnsureVisible(unsigned index) {
  if (index > m_Items.size()) return;
  if (index < m_FirstVisible) {
    m_FirstVisible = index;
    UpdateLayout();
  }
  const unsigned visible = GetVisibleCount();
  if (index - m_FirstVisible >= visible) {
    m_FirstVisible = index - visible + 1;
    UpdateLayout();
  }
}

}  // namespace vek
