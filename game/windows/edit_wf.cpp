#include "game/windows/edit_wf.h"

#include <memory>

#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "game/app/garden_services.h"
#include "game/island/building_table.h"
#include "game/island/buildings.h"
#include "game/island/island.h"
#include "game/windows/controls/button_ctrl.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/windows/island_windows.h"

using vek::i32;
using vek::u32;

namespace {

const char* const kTabNames[] = {"market", "house", "factory", "special"};

}  // namespace

bool cEditWF::TabLists(i32 tab, i32 category) {
  switch (tab) {
    case e_tabMarket: return category == e_catMarket;
    case e_tabHouse: return category == e_catHouse;
    case e_tabFactory: return category == e_catFactory;
    case e_tabSpecial: return category != e_catHouse && category != e_catMarket && category != e_catFactory;
    default: return false;
  }
}

i32 cEditWF::GetCatalogueCategory(int index) {
  if (index < 0 || index >= static_cast<int>(kBuildingTemplateCount)) return -1;
  const cBuildingTemplateRow& t = BuildingTemplateRows()[static_cast<size_t>(index)];
  return t.factory ? static_cast<i32>(e_catFactory) : BuildingCategoryFromName(t.name);
}

cBuild* cEditWF::CreateBuilding(int index, cIsland& island) {
  if (index < 0 || index >= static_cast<int>(kBuildingTemplateCount)) return nullptr;
  // The island makes it as it makes the buildings of its files: sprites, price, value, wares.
  std::unique_ptr<cHouse> house = island.MakeBuilding(BuildingTemplateRows()[static_cast<size_t>(index)].name);
  if (!house) return nullptr;
  i32 highest = 0;
  for (const auto& b : island.GetBuildings()) highest = std::max(highest, b->GetNumber());
  house->SetNumber(highest + 1);
  house->SetState(0);
  return island.AddBuilding(std::move(house));
}

void cEditWF::ReleaseOtherTabs(vek::cWindow* window, u32 controlId) {
  if (!window) return;
  for (u32 id : m_Tabs) {
    // A tab the layout lacks (id 0, the window's root) or a control of another kind is no tab.
    if (id == 0) continue;
    auto* tab = dynamic_cast<cTabButtonCtrl*>(window->GetControl(id));
    if (tab && tab->GetID() != controlId) tab->SetSelected(false);
  }
}

void cEditWF::FillToolbar() {
  m_pToolbar->DeleteAllItems();
  for (int i = 0; i < static_cast<int>(kBuildingTemplateCount); ++i)
    if (TabLists(m_Category, GetCatalogueCategory(i))) m_pToolbar->AddBuildingItem(i);
}

int cEditWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate: {
      m_pToolbar = GetControlAs<cToolbarCtrl>(window, "toolbar");
      if (!m_pToolbar) return ReportError(window, "wndAfterCreate");
      m_Tabs.clear();
      for (const char* name : kTabNames) m_Tabs.push_back(window->FindControl(name));
      // The market tab selects itself; its message fills the tool bar.
      if (vek::cCtrl* market = GetControlByName(window, "market"))
        market->OnEvent(vek::cCtrl::e_evLButtonDown, 0, vek::PackPosition(0, 0));
      break;
    }
    case vek::e_ntfCheckToggle: {
      ReleaseOtherTabs(window, p2);
      for (i32 tab = 0; tab < 4; ++tab)
        if (IsControl(window, p2, kTabNames[tab])) {
          m_Category = tab;
          break;
        }
      if (m_pToolbar) FillToolbar();
      break;
    }
    case vek::e_ntfListChoose: {
      if (!m_pToolbar || p2 != m_pToolbar->GetID()) break;
      cIsland* island = FindIslandWidget();
      if (!island) break;
      island->CancelPlacement();
      const int index = static_cast<int>(m_pToolbar->GetItemData(p1));
      if (cBuild* b = CreateBuilding(index, *island))
        island->BeginPlacement(b);
      else
        vek::LogWarning("GUI", "[edit] no building %i in the catalogue\n", index);
      break;
    }
    case vek::e_ntfMouseEnter:
      ClearIslandHover();
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}
