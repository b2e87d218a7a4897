#include "game/windows/stat_island_wf.h"

#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "game/app/garden_services.h"
#include "game/island/building_table.h"
#include "game/island/island.h"
#include "game/windows/island_windows.h"
#include "game/windows/stat_garden_wf.h"

using vek::i32;
using vek::u32;

namespace {

// The training step whose arrow points at the island window's island statistics button.
constexpr i32 kStatIslandTraining = 6;
// The single buildings of the last three kinds.
const char* const kSingleBuildings[] = {"institute00", "animals00", "statue00"};

void Show(vek::cCtrl* c, bool shown) {
  if (shown)
    c->EnableState(vek::cCtrl::e_Visibility);
  else
    c->DisableState(vek::cCtrl::e_Visibility);
}

}  // namespace

const char* const cStatIslandWF::kKindNames[kKinds] = {"market", "factory", "institute", "animals", "statue"};

int cStatIslandWF::AfterCreate(vek::cWindow* window) {
  m_pPeople = GetControlByName(window, "num_people");
  m_pHouses = GetControlByName(window, "num_house");
  if (!m_pPeople || !m_pHouses) return ReportError(window, "wndAfterCreate");
  for (int k = 0; k < kKinds; ++k) {
    const vek::string kind = kKindNames[k];
    cKindRow& row = m_Rows[k];
    row.image = GetControlByName(window, "img_" + kind);
    row.lock = GetControlByName(window, "img_" + kind + "_lock");
    row.caption = GetControlByName(window, "lb_" + kind);
    row.count = GetControlByName(window, "num_" + kind);
    if (!row.image || !row.lock || !row.caption || !row.count) return ReportError(window, "wndAfterCreate");
  }
  return -1;
}

void cStatIslandWF::ShowKind(const cKindRow& row, i32 n) {
  const bool there = n > 0;
  Show(row.image, there);
  Show(row.lock, !there);
  Show(row.caption, there);
  SetStatCount(row.count, n, !there);
}

void cStatIslandWF::Refresh() {
  cIsland* island = FindIslandWidget();
  i32 people = 0, houses = 0, markets = 0, factories = 0;
  if (island) {
    people = static_cast<i32>(island->GetWalkers().GetWalkers().size());
    // The people a new house has sent for count from the moment it is built ("+1 people"),
    // also while their ship is still on its way.
    iGardenServices* s = GardenServices();
    for (vek::u32 i = 0; i < s->GetShipCount(); ++i) people += std::max(0, s->GetShip(i).people);
    for (const auto& b : island->GetBuildings()) {
      if (b->GetState() == 0) continue;
      switch (b->GetCategory()) {
        case e_catHouse: ++houses; break;
        case e_catMarket: ++markets; break;
        case e_catFactory: ++factories; break;
        default: break;
      }
    }
  }
  if (auto* label = dynamic_cast<vek::cLabelCtrl*>(m_pPeople)) label->SetText(vek::Formatted("x%i", people));
  if (auto* label = dynamic_cast<vek::cLabelCtrl*>(m_pHouses)) label->SetText(vek::Formatted("x%i", houses));
  ShowKind(m_Rows[0], markets);
  ShowKind(m_Rows[1], factories);
  for (int k = 0; k < 3; ++k) ShowKind(m_Rows[2 + k], island && island->IsHouseBuilt(kSingleBuildings[k]) ? 1 : 0);
}

int cStatIslandWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate:
      if (const int failed = AfterCreate(window); failed >= 0) return failed;
      break;
    case vek::e_wndShow:
      GardenServices()->EndTraining(kStatIslandTraining);
      m_Pause.Take();
      Refresh();
      break;
    case vek::e_wndHideImmediately:
      m_Pause.Release();
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "ok") && window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}
