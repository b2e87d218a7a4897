#include "engine/gui/toolbar_sys_ctrl.h"

#include "engine/gui/gui.h"

namespace vek {

bool cToolbarSysCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  if (code != e_evLButtonDown) return cImageListSysCtrl::OnEvent(code, p1, p2);
  if (m_Highlight >= 0 && static_cast<unsigned>(m_Highlight) < VisibleEnd()) {
    const unsigned cell = static_cast<unsigned>(m_Highlight);
    if (!m_Items[cell].control->GetState(e_Disabled)) Notify(e_ntfListChoose, cell);
  }
  return cCtrl::OnEvent(code, p1, p2);
}

}  // namespace vek
