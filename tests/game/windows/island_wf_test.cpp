// The island window: the player's and the island's ratings with their stars and houses, the
// panels hidden until the player has made progress, and the buttons to the statistics.
#include <gtest/gtest.h>

#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/windows/island_wf.h"
#include "tests/game/windows/island_fixture.h"

namespace islandtest {
namespace {

class CountingWorld : public iRulesWorld {
 public:
  vek::string GetText(const vek::string& key) override { return key; }
  int CountBuiltBuildings() override { return built; }
  int GetIslandMode() override { return mode; }
  int built = 0;
  int mode = 1;
};

// Star areas of the test sheet, 32 pixels apart on a 256-pixel row.
constexpr float kStar = 0, kStarEmpty = 32, kHouse = 64, kHouseEmpty = 96;

class IslandWindow : public IslandFixture {
 protected:
  void SetUp() override {
    IslandFixture::SetUp();
    AddTestSheet("icons00", 256, 32,
                 {{"star", 0, 0, 32, 32}, {"star_empty", 32, 0, 32, 32}, {"house", 64, 0, 32, 32},
                  {"house_empty", 96, 0, 32, 32}});
    SetRulesWorld(&world);
    SetCurrentPlayer(&player);
    AddPlayer("Ann");
  }
  void TearDown() override {
    SetCurrentPlayer(nullptr);
    SetRulesWorld(nullptr);
    IslandFixture::TearDown();
  }
  std::string Text(const char* name) const { return Control<vek::cLabelCtrl>("island", name)->GetText(); }
  // The area (pixels from the sheet's left) each star of a row shows.
  std::vector<float> Row(const char* prefix, int n) const {
    std::vector<float> areas;
    for (int i = 0; i < n; ++i)
      areas.push_back(Control<vek::cImageCtrl>("island", prefix + std::to_string(i))->GetUVRect().x * 256.0f);
    return areas;
  }
  bool Visible(const char* name) const {
    return Control<vek::cCtrl>("island", name)->GetState(vek::cCtrl::e_Visibility);
  }

  CountingWorld world;
  cPlayer player;
};

TEST_F(IslandWindow, PanelsStayHiddenForANewPlayer) {
  Send("island", kRefreshMessage);
  for (const char* name : {"frame", "decor", "profile", "rate", "but_rate", "face", "star0", "star4",
                           "island_frame", "island_decor", "island_rate", "but_island_rate", "island_face",
                           "island_star0", "island_star9"})
    EXPECT_FALSE(Visible(name)) << name;
  // After the level sequence (island mode 2) or with a level opened, both show.
  world.mode = 2;
  Send("island", kRefreshMessage);
  EXPECT_TRUE(Visible("but_rate"));
  EXPECT_TRUE(Visible("island_star9"));
  world.mode = 1;
  player.levelProgress = 1;
  Send("island", kRefreshMessage);
  EXPECT_TRUE(Visible("frame"));
  EXPECT_EQ(Text("profile"), "Ann");
}

TEST_F(IslandWindow, RatingsStarsAndHouses) {
  player.levelProgress = 3;
  const struct {
    int inTime, built;
    const char *rate, *islandRate;
    int stars, houses;
  } rows[] = {
      {0, 0, "Rate0", "IslandRate0", 0, 0},   {7, 9, "Rate1", "IslandRate0", 2, 9},
      {20, 40, "Rate4", "IslandRate4", 5, 10}, {26, 55, "Rate4", "IslandRate4", 5, 10},
      {12, 23, "Rate2", "IslandRate2", 2, 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.inTime << " levels in time, " << row.built << " buildings");
    player.timeGrades.assign(static_cast<size_t>(row.inTime), 0);
    player.timeGrades.push_back(1);  // a level beyond the time counts for nothing
    world.built = row.built;
    gui->ShowWindow("island");
    EXPECT_EQ(Text("rate"), row.rate);
    EXPECT_EQ(Text("island_rate"), row.islandRate);
    const std::vector<float> stars = Row("star", 5), houses = Row("island_star", 10);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(stars[static_cast<size_t>(i)], i < row.stars ? kStar : kStarEmpty) << i;
    for (int i = 0; i < 10; ++i)
      EXPECT_EQ(houses[static_cast<size_t>(i)], i < row.houses ? kHouse : kHouseEmpty) << i;
    // The refresh message gives the same display.
    const std::vector<float> before = Row("star", 5);
    Send("island", kRefreshMessage);
    EXPECT_EQ(Row("star", 5), before);
    gui->HideWindow("island");
    Settle();
  }
}

TEST_F(IslandWindow, ButtonsOpenTheStatistics) {
  player.levelProgress = 2;
  gui->ShowWindow("island");
  Settle();
  services.calls.clear();
  Click("island", "but_rate");
  ASSERT_FALSE(services.calls.empty());
  EXPECT_EQ(services.calls.front(), "NextHintStep 14 0");
  EXPECT_TRUE(Shown("stat_garden"));
  gui->HideWindow("stat_garden");
  Settle();
  services.calls.clear();
  Click("island", "but_island_rate");
  EXPECT_EQ(services.calls, (std::vector<std::string>{"NextHintStep 13 0", "EndTraining 6"}));
  EXPECT_TRUE(Shown("stat_island"));
}

TEST_F(IslandWindow, MissingStarIsReported) {
  auto* bare = new cIslandWF();
  vek::cWindow* w = new vek::cWindow(gui, bare);
  w->SetName("bare_island");
  for (const char* name : {"profile", "rate", "but_rate", "face", "star0", "star1"}) new vek::cImageCtrl(name, w);
  bare->Call(w, vek::e_wndAfterCreate, 0, 0);
  EXPECT_TRUE(bare->IsFailed());
  EXPECT_NE(LogText().find("[bare_island] wndAfterCreate"), std::string::npos);
}

}  // namespace
}  // namespace islandtest
