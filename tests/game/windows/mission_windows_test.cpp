// The mission briefing and the reminder: which task rows they list, the building row, the
// time limit's format, the title's level number, and how each holds the game still.
#include <gtest/gtest.h>

#include "game/windows/mission_goal_wf.h"
#include "game/windows/mission_start_wf.h"
#include "engine/render/texture_info.h"
#include "game/island/building_table.h"
#include "game/app/sprite.h"
#include "game/windows/upgrades_wf.h"
#include "tests/game/windows/play_fixture.h"

namespace playtest {
namespace {

TEST(MissionTexts, TimeLimitFormats) {
  const std::pair<vek::f32, const char*> cases[] = {{0.0f, "0:00"}, {59.9f, "0:59"}, {90.0f, "1:30"},
                                                    {65.0f, "1:05"}, {600.0f, "10:00"}, {-3.0f, "0:00"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatTimeLimit(seconds), text) << seconds;
}

class MissionStart : public PlayFixture {
 protected:
  void ShowStart() {
    gui->ShowWindow("mission_start");
    Step();
  }
  int ShownRows() const {
    int n = 0;
    for (int i = 0; i < 4; ++i) {
      const std::string k = std::to_string(i);
      const bool icon = Visible("mission_start", "icon" + k);
      EXPECT_EQ(icon, Visible("mission_start", "text" + k));
      EXPECT_EQ(icon, Visible("mission_start", "number" + k));
      n += icon ? 1 : 0;
    }
    return n;
  }
};

TEST_F(MissionStart, ListsTheLeadingRunOfTasksDueAtTheStart) {
  struct Case {
    std::vector<vek::f32> starts;
    int rows;
  };
  const Case cases[] = {
      {{}, 0}, {{5.0f}, 0}, {{0.0f, 0.0f}, 2}, {{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}, 4}, {{0.0f, 3.0f, 0.0f}, 1}};
  for (const Case& c : cases) {
    player.mission.tasks.clear();
    for (vek::f32 s : c.starts) player.mission.tasks.push_back(Task(Ware("plant00"), 3, s));
    ShowStart();
    EXPECT_EQ(ShownRows(), c.rows) << c.starts.size();
    gui->HideWindow("mission_start");
    Settle();
  }
}

TEST_F(MissionStart, FillsRowsTitleBuildingAndTime) {
  player.currentLevel = 0;
  player.mission.timeLimit = 65.0f;
  player.mission.name = "factory01";
  // The ware decides even when an animal kind is set too.
  player.mission.tasks = {Task(Ware("plant02"), 5, 0.0f, 3), Task(kNoWare, 2, 0.0f, 1)};
  ShowStart();
  EXPECT_EQ(Text("mission_start", "tasks"), "Level 1");
  EXPECT_EQ(Text("mission_start", "text0"), "Sort plant02");
  EXPECT_EQ(Text("mission_start", "number0"), "x5");
  EXPECT_EQ(Text("mission_start", "text1"), "Goat");
  EXPECT_EQ(Text("mission_start", "number1"), "x2");
  EXPECT_EQ(Text("mission_start", "number"), "$200");
  EXPECT_EQ(Control<vek::cImageCtrl>("mission_start", "icon")->GetUVRect().x, FindSprite("icons01", "factory01").Frame().x);
  EXPECT_EQ(Control<vek::cImageCtrl>("mission_start", "icon")->GetUVRect().y, FindSprite("icons01", "factory01").Frame().y);
  EXPECT_TRUE(Visible("mission_start", "build"));
  EXPECT_EQ(Text("mission_start", "time"), "1:05");
  // The title template survives the showing: the next level fills it again.
  gui->HideWindow("mission_start");
  Settle();
  player.currentLevel = 9;
  ShowStart();
  EXPECT_EQ(Text("mission_start", "tasks"), "Level 10");
}

TEST_F(MissionStart, TitleTemplateIsFilledSafely) {
  // A translated title with a wrong or extra placeholder takes the number once and reads
  // nothing more.
  player.currentLevel = 4;
  for (const auto& [layout, shown] : {std::pair{"Level %s %i %n", "Level 5 %i %n"}, std::pair{"%d%%", "5%"},
                                      std::pair{"No number", "No number"}}) {
    Control<vek::cLabelCtrl>("mission_start", "tasks")->SetText(layout);
    Function<cMissionStartWF>("mission_start")->Call(Window("mission_start"), vek::e_wndAfterCreate, 0, 0);
    ShowStart();
    EXPECT_EQ(Text("mission_start", "tasks"), shown) << layout;
    gui->HideWindow("mission_start");
    Settle();
  }
}

TEST_F(MissionStart, BuildingRowHiddenWithoutBuildingAndUnknownOnesCostNothing) {
  player.mission.name = "";
  ShowStart();
  for (const char* c : {"build", "icon", "text", "number"}) EXPECT_FALSE(Visible("mission_start", c)) << c;
  gui->HideWindow("mission_start");
  Settle();
  player.mission.name = "castle99";
  ShowStart();
  EXPECT_TRUE(Visible("mission_start", "build"));
  EXPECT_EQ(Text("mission_start", "number"), "$0");
  EXPECT_EQ(Text("mission_start", "text"), "");

  vek::string text = "old", sheet, area = "old";
  vek::i32 price = 7;
  GetBuildingInfo("castle99", text, price, sheet, area);
  EXPECT_EQ(sheet, "icons00");
  EXPECT_EQ(area, "");
  EXPECT_EQ(text, "");
  EXPECT_EQ(price, 7);
}

TEST_F(MissionStart, HoldsTheMissionUntilOk) {
  player.mission.tasks = {Task(Ware("plant00"), 1)};
  ShowStart();
  EXPECT_EQ(play.GetPauseState(), 1);
  Click("mission_start", "ok");
  Settle();
  EXPECT_FALSE(Shown("mission_start"));
  EXPECT_EQ(play.GetPauseState(), 0);
}

class MissionGoal : public PlayFixture {};

TEST_F(MissionGoal, ShowsActiveTasksAndBalancesThePause) {
  player.activeTasks = {Task(Ware("plant01"), 4), Task(kNoWare, 1, 0.0f, 3)};
  player.activeTasks[0].count = 2;  // the count still to go
  auto* hint = new vek::cWindow(gui, new vek::cWindowFunction());
  hint->SetName("hint");
  gui->ShowWindow("hint");
  gui->ShowWindow("mission_goal");
  Step();
  EXPECT_FALSE(Shown("hint"));
  EXPECT_EQ(game->GetPauseCount(), 1);
  EXPECT_EQ(Text("mission_goal", "text0"), "Sort plant01");
  EXPECT_EQ(Text("mission_goal", "number0"), "x2");
  EXPECT_EQ(Text("mission_goal", "text1"), "Peacock");
  EXPECT_TRUE(Visible("mission_goal", "icon1"));
  EXPECT_FALSE(Visible("mission_goal", "icon2"));
  EXPECT_FALSE(Visible("mission_goal", "number3"));
  // A second show while open does not pause twice; the close releases exactly once.
  gui->ShowWindow("mission_goal");
  Step();
  Click("mission_goal", "ok");
  Settle();
  EXPECT_FALSE(Shown("mission_goal"));
  EXPECT_EQ(game->GetPauseCount(), 0);
  EXPECT_TRUE(play.Called("NextHintStep 0 11"));

  player.activeTasks.clear();
  gui->ShowWindow("mission_goal");
  Step();
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(Visible("mission_goal", "icon" + std::to_string(i)));
}

}  // namespace
}  // namespace playtest

namespace playtest {
namespace {

// Every area the play windows look up is in the built sheets: a missing one would leave a
// blank picture.
TEST_F(PlayFixture, SheetsHoldEveryAreaTheWindowsLookUp) {
  for (const cBuildingTemplateRow& row : BuildingTemplateRows())
    EXPECT_NE(FindSprite("icons01", row.name).texture, 0u) << row.name;
  for (const char* area : {"lock", "gold", "silver", "bronze", "coin", "bank", "clock"})
    EXPECT_NE(FindSprite("icons01", area).texture, 0u) << area;
  // Each sort's four shop pictures (the fixture made the ten sorts the sheet has cells for).
  for (vek::u32 id = 0; id < 10; ++id) {
    vek::rectf frames[4];
    EXPECT_TRUE(SetupPlantButton(frames, nullptr, id)) << g_pWareManager->GetWare(id).GetName();
  }
  const vek::cTextureInfo* plants = vek::FindTextureInfo("gui_plants");
  ASSERT_NE(plants, nullptr);
  for (const char* animal : {"ostrich", "goat", "hive", "peacock"})
    EXPECT_EQ(plants->GetByIndex(plants->FindIndex(animal)).frames.size(), 4u) << animal;
  EXPECT_EQ(plants->GetByIndex(plants->FindIndex("factory_button")).frames.size(), 4u);
  for (int u = 0; u < 6; ++u) {
    vek::string sheet, area;
    GetUpgradeSprite(u, sheet, area);
    const vek::cTextureInfo* info = vek::FindTextureInfo(sheet);
    ASSERT_NE(info, nullptr) << sheet;
    for (const vek::string& a : {area, area + "_checked"}) {
      ASSERT_LT(info->FindIndex(a), info->GetCount()) << a;
      EXPECT_EQ(info->GetByIndex(info->FindIndex(a)).frames.size(), 2u) << a;  // plain and hovered
    }
  }
}

}  // namespace
}  // namespace playtest
