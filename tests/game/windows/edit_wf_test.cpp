// The island editor's palette: the tabs filter the building catalogue, a pick hangs a new
// building on the cursor (a second pick replaces the first), and the mouse over the palette
// clears the island's building highlight.
#include <gtest/gtest.h>

#include "engine/gui/gui.h"
#include "game/island/building_table.h"
#include "game/island/island.h"
#include "game/windows/controls/button_ctrl.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/windows/edit_wf.h"
#include "tests/game/windows/island_fixture.h"

namespace islandtest {
namespace {

bool CursorAt(vek::i32* x, vek::i32* y) {
  *x = 500;
  *y = 300;
  return true;
}

class Editor : public IslandFixture {
 protected:
  void SetUp() override {
    IslandFixture::SetUp();
    island = AddTestIsland({{100, 100}});
    island->SetCursorReader(&CursorAt);
    edit = Function<cEditWF>("edit");
    ASSERT_NE(edit, nullptr);
    bar = edit->GetToolbar();
    ASSERT_NE(bar, nullptr);
    gui->ShowWindow("edit");
    Settle();
  }
  // The catalogue names the tool bar lists, in order.
  std::vector<std::string> Listed() const {
    std::vector<std::string> names;
    for (unsigned i = 0; i < bar->GetItemCount(); ++i)
      names.push_back(BuildingTemplateRows()[bar->GetItemData(i)].name);
    return names;
  }
  bool Selected(const char* tab) const { return Control<cTabButtonCtrl>("edit", tab)->IsSelected(); }
  void Pick(unsigned item) { Send("edit", vek::e_ntfListChoose, item, bar->GetID()); }

  cIsland* island = nullptr;
  cEditWF* edit = nullptr;
  cToolbarCtrl* bar = nullptr;
};

TEST_F(Editor, TabsFilterTheCatalogue) {
  // The market tab chose itself when the window was made.
  EXPECT_TRUE(Selected("market"));
  EXPECT_EQ(edit->GetCategory(), cEditWF::e_tabMarket);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"market00", "market01", "market02", "market03", "market04", "market05"}));
  const struct {
    const char* tab;
    std::vector<std::string> names;
  } rows[] = {
      {"house", {"house00", "house01", "house02", "house03", "house04", "house05"}},
      {"factory", {"factory00", "factory01", "factory01_1", "factory02", "factory02_1", "factory03", "factory03_1"}},
      {"special", {"institute00", "animals00", "statue00"}},
      {"market", {"market00", "market01", "market02", "market03", "market04", "market05"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tab);
    Click("edit", row.tab);
    EXPECT_EQ(Listed(), row.names);
    // Each item holds its catalogue building, and the shelf under them covers every item
    // (a building item counts as 20, cut to the visible run).
    for (unsigned i = 0; i < bar->GetItemCount(); ++i) {
      ASSERT_NE(bar->GetItemBuilding(i), nullptr) << i;
      EXPECT_EQ(bar->GetItemBuilding(i)->GetName(), row.names[i]);
    }
    const unsigned run = bar->GetVisibleCount();
    EXPECT_FLOAT_EQ(bar->GetStripWidth(), (bar->GetItemWidth() + 3.0f) * static_cast<float>(run) - 3.0f);
    for (const char* tab : {"market", "house", "factory", "special"})
      EXPECT_EQ(Selected(tab), std::string(tab) == row.tab) << tab;
  }
  // The chosen tab again sends nothing: the list stays.
  Pick(0);
  Click("edit", "market");
  EXPECT_EQ(Listed().size(), 6u);
  EXPECT_EQ(island->GetPlacingState(), 1);
}

TEST_F(Editor, EveryBuildingOfTheCatalogueHasItsBuiltPicture) {
  cBuildingCatalogue& catalogue = EditorCatalogue();
  ASSERT_EQ(catalogue.GetCount(), static_cast<int>(kBuildingTemplateCount));
  for (int i = 0; i < catalogue.GetCount(); ++i) {
    const iCatalogueBuilding* b = catalogue.GetBuilding(i);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetName(), BuildingTemplateRows()[static_cast<size_t>(i)].name);
    EXPECT_EQ(b->GetPictureIndex(), 4) << b->GetName();
  }
}

TEST_F(Editor, SpecialListsEveryOtherCategory) {
  for (vek::i32 c : {0, 4, 5, 6, 7}) EXPECT_TRUE(cEditWF::TabLists(cEditWF::e_tabSpecial, c)) << c;
  for (vek::i32 c : {1, 2, 3}) EXPECT_FALSE(cEditWF::TabLists(cEditWF::e_tabSpecial, c)) << c;
  EXPECT_EQ(cEditWF::GetCatalogueCategory(2), e_catFactory);
  EXPECT_EQ(cEditWF::GetCatalogueCategory(22), -1);
}

TEST_F(Editor, ASecondPickReplacesTheFirst) {
  const size_t before = island->GetBuildings().size();
  Pick(1);  // market01
  ASSERT_EQ(island->GetBuildings().size(), before + 1);
  const cBuild* first = island->GetBuildings().back().get();
  EXPECT_EQ(first->GetName(), "market01");
  EXPECT_EQ(first->GetNumber(), 1);
  EXPECT_EQ(island->GetPlacingState(), 1);
  Click("edit", "factory");
  Pick(0);  // factory00
  ASSERT_EQ(island->GetBuildings().size(), before + 1);
  const cBuild* second = island->GetBuildings().back().get();
  EXPECT_EQ(second->GetName(), "factory00");
  EXPECT_EQ(second->GetCategory(), e_catFactory);
  EXPECT_NE(dynamic_cast<const cFactory*>(second), nullptr);
}

TEST_F(Editor, ABuildingThatCannotBeMadeIsNotPlaced) {
  Pick(0);
  bar->AddBuildingItem(40);  // beyond the catalogue
  Pick(bar->GetItemCount() - 1);
  // The first is gone from the cursor and nothing hangs there now.
  EXPECT_TRUE(island->GetBuildings().empty());
  EXPECT_EQ(island->GetPlacingState(), 0);
  EXPECT_NE(LogText().find("no building 40"), std::string::npos);
  // A pick from another list of the window is not the palette's.
  Send("edit", vek::e_ntfListChoose, 0, bar->GetID() + 100);
  EXPECT_TRUE(island->GetBuildings().empty());
}

TEST_F(Editor, MissingTabsAndControlsThatAreNoTabs) {
  auto* function = new cEditWF();
  vek::cWindow* w = new vek::cWindow(gui, function);
  w->SetName("bare_edit");
  auto* toolbar = new cToolbarCtrl("toolbar", w);
  auto* market = new cTabButtonCtrl("market", w);
  auto* house = new cButtonCtrl("house", w);  // no tab; "factory" and "special" are missing
  function->Call(w, vek::e_wndAfterCreate, 0, 0);
  gui->ShowWindow("bare_edit");
  Settle();
  EXPECT_TRUE(market->IsSelected());
  EXPECT_EQ(toolbar->GetItemCount(), 6u);
  // Releasing the other tabs passes over the root control (the missing tabs' id 0) and the
  // button that is no tab.
  function->Call(w, vek::e_ntfCheckToggle, 1, market->GetID());
  EXPECT_NE(house->GetID(), 0u);
  EXPECT_TRUE(market->IsSelected());
  EXPECT_FALSE(function->IsFailed());
}

TEST_F(Editor, MissingToolbarIsReported) {
  auto* function = new cEditWF();
  vek::cWindow* w = new vek::cWindow(gui, function);
  w->SetName("no_toolbar");
  function->Call(w, vek::e_wndAfterCreate, 0, 0);
  EXPECT_TRUE(function->IsFailed());
  EXPECT_NE(LogText().find("[no_toolbar] wndAfterCreate"), std::string::npos);
}

}  // namespace
}  // namespace islandtest
