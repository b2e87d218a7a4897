// The island statistics: people, houses, markets and factories standing, the single
// buildings, the lock pictures of what is not there, and the pause it holds.
#include <gtest/gtest.h>

#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "game/island/island.h"
#include "game/windows/stat_garden_wf.h"
#include "game/windows/stat_island_wf.h"
#include "tests/game/windows/island_fixture.h"

namespace islandtest {
namespace {

class StatIsland : public IslandFixture {
 protected:
  void SetUp() override {
    IslandFixture::SetUp();
    island = AddTestIsland({{100, 100}});
    stat = Function<cStatIslandWF>("stat_island");
  }
  // Buildings of the catalogue by name, each in the given state.
  void Build(const std::vector<std::pair<const char*, vek::i32>>& buildings) {
    std::vector<cIslandBuildingRecord> records;
    vek::u32 n = 1;
    for (const auto& b : buildings) records.push_back({b.first, n++, kIslandKindHouse, {0, 0}});
    island->LoadBuildings(records);
    n = 1;
    for (const auto& b : buildings) island->FindHouse(b.first, static_cast<vek::i32>(n++))->SetState(b.second);
  }
  bool Visible(const std::string& name) const {
    return Control<vek::cCtrl>("stat_island", name)->GetState(vek::cCtrl::e_Visibility);
  }
  std::string Text(const std::string& name) const { return Control<vek::cLabelCtrl>("stat_island", name)->GetText(); }
  // Shown, lock shown, caption shown, count.
  std::string Kind(const std::string& kind) const {
    return std::string(Visible("img_" + kind) ? "img " : "") + (Visible("img_" + kind + "_lock") ? "lock " : "") +
           (Visible("lb_" + kind) ? "caption " : "") + Text("num_" + kind);
  }

  cIsland* island = nullptr;
  cStatIslandWF* stat = nullptr;
};

TEST_F(StatIsland, AnEmptyIslandShowsItsLocks) {
  gui->ShowWindow("stat_island");
  for (const char* kind : {"market", "factory", "institute", "animals", "statue"}) EXPECT_EQ(Kind(kind), "lock x0") << kind;
  EXPECT_EQ(Text("num_house"), "x0");
  EXPECT_EQ(Text("num_people"), "x0");
  EXPECT_EQ(services.calls, std::vector<std::string>{"EndTraining 6"});
}

TEST_F(StatIsland, CountsWhatStands) {
  Build({{"market00", 1}, {"market01", 2}, {"market02", 0}, {"house00", 2}, {"house01", 0},
         {"house02", 1}, {"house03", 1}, {"factory00", 0}, {"institute00", 2}, {"statue00", 0}});
  island->AddPeople(3, 1);
  gui->ShowWindow("stat_island");
  EXPECT_EQ(Kind("market"), "img caption x2");
  EXPECT_EQ(Kind("factory"), "lock x0");  // a building in state 0 is not counted
  EXPECT_EQ(Kind("institute"), "img caption x1");
  EXPECT_EQ(Kind("animals"), "lock x0");
  EXPECT_EQ(Kind("statue"), "lock x0");
  EXPECT_EQ(Text("num_house"), "x3");
  EXPECT_EQ(Text("num_people"), "x" + std::to_string(island->GetWalkers().GetWalkers().size()));
}

TEST_F(StatIsland, PeopleOnTheirWayCountFromTheHouseBuilt) {
  Build({{"house00", 2}});
  island->AddPeople(2, 1);
  const size_t walking = island->GetWalkers().GetWalkers().size();
  services.ships = {{0.4f, 1, 3}, {0.7f, 1, 0}};  // three people coming, and a ship passing by
  gui->ShowWindow("stat_island");
  EXPECT_EQ(Text("num_people"), "x" + std::to_string(walking + 3));
}

TEST_F(StatIsland, HoldsOnlyThePauseItRaised) {
  gui->ShowWindow("stat_island");
  EXPECT_EQ(game->GetPauseCount(), 1);
  EXPECT_TRUE(stat->GetPause().IsHeld());
  Settle();
  Click("stat_island", "ok");
  Settle();
  EXPECT_EQ(game->GetPauseCount(), 0);
  // A window that leaves without having raised the pause leaves another holder's pause alone.
  game->PauseWidget(true);
  Send("stat_island", vek::e_wndHideImmediately);
  Send("stat_garden", vek::e_wndHideImmediately);
  EXPECT_EQ(game->GetPauseCount(), 1);
}

TEST_F(StatIsland, MissingControlIsReported) {
  auto* bare = new cStatIslandWF();
  vek::cWindow* w = new vek::cWindow(gui, bare);
  w->SetName("bare_stat");
  new vek::cLabelCtrl("num_people", w);
  new vek::cLabelCtrl("num_house", w);
  bare->Call(w, vek::e_wndAfterCreate, 0, 0);
  EXPECT_TRUE(bare->IsFailed());
  EXPECT_NE(LogText().find("[bare_stat] wndAfterCreate"), std::string::npos);
}

}  // namespace
}  // namespace islandtest
