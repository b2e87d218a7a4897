#include "engine/gui/widget.h"

#include <algorithm>

#include "engine/gui/gui.h"
#include "engine/gui/gui_host.h"

namespace vek {

cWidget::cWidget(const vek::string& name) : m_Name(name) {
  if (iGuiHost* host = GetGuiHost()) host->GetWidgets().push_back(this);
}

cWidget::~cWidget() {
  // A deleted widget leaves the list (shut-down deletes whatever is still listed) and gives up
  // the focus, so that nothing reaches it afterwards.
  iGuiHost* host = GetGuiHost();
  if (!host) return;
  std::list<cWidget*>& widgets = host->GetWidgets();
  widgets.remove(this);
  host->ForgetWidget(this);
}

void cWidget::Render() {
  if (iGuiHost* host = GetGuiHost(); host && host->GetGUI()) host->GetGUI()->Draw();
}

}  // namespace vek
