#pragma once
// "edit", the island editor's palette: a tool bar of the building catalogue filtered by the
// tabs "market", "house", "factory" and "special". Picking an item makes a new building of
// that kind and hands it to the island, which hangs it on the cursor for placing.
#include <vector>

#include "game/windows/base_wf.h"

class cBuild;
class cIsland;
class cToolbarCtrl;

class cEditWF : public cBaseWF {
 public:
  // The window's tab values.
  enum eTab : vek::i32 { e_tabMarket = 0, e_tabHouse = 1, e_tabFactory = 2, e_tabSpecial = 3 };

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  // Releases every tab but the one with that id.
  void ReleaseOtherTabs(vek::cWindow* window, vek::u32 controlId);

  // Whether a building category is listed under a tab.
  static bool TabLists(vek::i32 tab, vek::i32 category);
  // The category of catalogue entry i (-1 outside the catalogue).
  static vek::i32 GetCatalogueCategory(int index);
  // A new building copied from catalogue entry i, numbered one above the island's highest
  // and added to the island; null outside the catalogue.
  static cBuild* CreateBuilding(int index, cIsland& island);

  vek::i32 GetCategory() const { return m_Category; }
  cToolbarCtrl* GetToolbar() const { return m_pToolbar; }

 private:
  void FillToolbar();

  cToolbarCtrl* m_pToolbar = nullptr;
  std::vector<vek::u32> m_Tabs;
  vek::i32 m_Category = e_tabMarket;
};
