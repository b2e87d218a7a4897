#include "engine/gui/widget.h"

#include "engine/core/game.h"

namespace vek {

cWidget::cWidget(const vek::string& name) : m_Name(name) {
  if (g_pGame) g_pGame->GetWidgets().push_back(this);
}

cWidget::~cWidget() = default;

void cWidget::Render() {}

}  // namespace vek
