#include "engine/gui/widget.h"

#include <algorithm>

#include "engine/core/game.h"
#include "engine/gui/gui.h"

namespace vek {

cWidget::cWidget(const vek::string& name) : m_Name(name) {
  if (g_pGame) g_pGame->GetWidgets().push_back(this);
}

cWidget::~cWidget() {
  // A deleted widget leaves the list (shut-down deletes whatever is still listed) and gives up
  // the focus, so that nothing reaches it afterwards.
  if (!g_pGame) return;
  std::list<cWidget*>& widgets = g_pGame->GetWidgets();
  widgets.remove(this);
  g_pGame->ForgetWidget(this);
}

void cWidget::Render() {
  if (g_pGame && g_pGame->GetGUI()) g_pGame->GetGUI()->Draw();
}

}  // namespace vek
