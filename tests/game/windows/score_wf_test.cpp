// The score panel: money or bank by the screen in focus, the level clock and the medal clock
// through the grades, the task indicators' places, the clicks it answers, and every play
// window staying inert when its layout lacks its controls.
#include <gtest/gtest.h>

#include "game/windows/controls/display_ctrl.h"
#include "game/windows/controls/mission_ctrl.h"
#include "game/app/sprite.h"
#include "game/windows/score_wf.h"
#include "game/windows/title_windows.h"
#include "tests/game/windows/play_fixture.h"

namespace playtest {
namespace {

class Score : public PlayFixture {
 protected:
  void SetUp() override {
    PlayFixture::SetUp();
    Focus("garden");
    gui->ShowWindow("score");
    Step();
  }
  cScoreWF* Wf() const { return Function<cScoreWF>("score"); }
  vek::rectf MedalUV() const { return Control<vek::cImageCtrl>("score", "clock_medal")->GetUVRect(); }
};

TEST_F(Score, MoneyInTheGardenBankOnTheIsland) {
  player.money = 125;
  player.bank = 900;
  Step();
  EXPECT_EQ(Text("score", "money"), "125");
  player.money = 80;  // every timer rewrites it
  Step();
  EXPECT_EQ(Text("score", "money"), "80");
  Focus("island");
  Step();
  EXPECT_EQ(Text("score", "money"), "900");
}

TEST_F(Score, MedalClockFollowsTheGradeOncePerChange) {
  player.mission.timeLimit = 100.0f;
  player.elapsedTime = 50.0f;
  Step();
  auto* clock = Control<cClockCtrl>("score", "clock");
  EXPECT_FLOAT_EQ(clock->value, 0.5f);
  EXPECT_EQ(Wf()->GetLastGrade(), 0);
  EXPECT_EQ(MedalUV().x, FindSprite("icons01", "gold").Frame().x);

  struct Case {
    vek::f32 elapsed, fill;
    int grade;
    const char* area;
    const char* training;
  };
  for (const Case& c : {Case{120.0f, 0.4f, 1, "silver", "ShowTraining 7"}, Case{160.0f, 0.0f, 2, "bronze", "ShowTraining 8"}}) {
    player.elapsedTime = c.elapsed;
    Step();
    EXPECT_NEAR(clock->value, c.fill, 1e-5f) << c.area;
    EXPECT_EQ(Wf()->GetLastGrade(), c.grade);
    EXPECT_EQ(MedalUV().x, FindSprite("icons01", c.area).Frame().x) << c.area;
    EXPECT_EQ(MedalUV().y, FindSprite("icons01", c.area).Frame().y) << c.area;
    EXPECT_TRUE(play.Called(c.training));
  }
  // No change, no second training call.
  play.calls.clear();
  Step();
  EXPECT_TRUE(play.calls.empty());
}

TEST_F(Score, WithoutLimitTheClockStaysEmptyAndGold) {
  player.mission.timeLimit = 0.0f;
  player.elapsedTime = 500.0f;
  Step();
  EXPECT_EQ(Control<cClockCtrl>("score", "clock")->value, 0.0f);
  EXPECT_EQ(Wf()->GetLastGrade(), 0);
}

TEST_F(Score, TaskIndicatorsParkOffScreenAndMoveOnlyOnceTheLevelRuns) {
  auto* task = Control<cTaskCtrl>("score", "task1");
  ASSERT_NE(task, nullptr);
  EXPECT_FLOAT_EQ(task->GetRect().x, cScoreWF::kTaskOutX);
  EXPECT_EQ(task->GetMoveState(), cTaskCtrl::e_moveOut);
  const vek::f32 in = task->m_InPos.x;
  EXPECT_LT(in + task->GetRect().w, 1024.0f);
  task->StartMoveIn();
  player.elapsedTime = 0.2f;  // the level's first half second: no motion yet
  Step(5);
  EXPECT_FLOAT_EQ(task->GetRect().x, cScoreWF::kTaskOutX);
  player.elapsedTime = 1.0f;
  Step(60);
  EXPECT_FLOAT_EQ(task->GetRect().x, in);
  // Shown over the island: clocks hidden, indicators snapped back out at once.
  Focus("island");
  gui->HideWindow("score");
  Step(3);
  gui->ShowWindow("score");
  Step();
  EXPECT_FALSE(Visible("score", "clock"));
  EXPECT_FALSE(Visible("score", "clock_medal"));
  EXPECT_FLOAT_EQ(task->GetRect().x, cScoreWF::kTaskOutX);
}

TEST_F(Score, TaskClickOpensTheGoalsMenuOpensEscape) {
  auto* task = Control<cTaskCtrl>("score", "task0");
  task->SnapToInPos();
  Click("score", "task0");
  EXPECT_TRUE(Shown("mission_goal"));
  gui->HideWindow("mission_goal");
  Settle();
  Click("score", "menu");
  EXPECT_TRUE(Shown("escape"));
}

TEST_F(Score, TheMenuButtonStandsClearOfTheIslandWindowsPanels) {
  auto menuRect = [&] { return Control<vek::cCtrl>("score", "menu")->GetRect(); };
  const vek::rectf field = menuRect();
  Focus("island");
  gui->HideWindow("score");
  Settle();
  gui->ShowWindow("score");
  // The island window's panels span x 8..428 and 596..1016 at the top of the screen.
  const vek::rectf island = menuRect();
  EXPECT_GE(island.x, 428.0f);
  EXPECT_LE(island.x + island.w, 596.0f);
  EXPECT_EQ(island.y, field.y);
  Focus("garden");
  gui->HideWindow("score");
  Settle();
  gui->ShowWindow("score");
  EXPECT_EQ(menuRect().x, field.x);  // beside the money again on the field
}

TEST_F(Score, MoneyFrameHiddenOnlyOnTheIslandInItsFirstMode) {
  Focus("island");
  host->islandMode = 1;
  host->SendWindowMessage("score", 0, 0);
  EXPECT_FALSE(Visible("score", "frmMoney"));
  EXPECT_FALSE(Visible("score", "money"));
  EXPECT_FALSE(Visible("score", "decMoney1"));
  host->islandMode = 2;
  host->SendWindowMessage("score", 0, 0);
  EXPECT_TRUE(Visible("score", "frmMoney"));
  EXPECT_TRUE(Visible("score", "imgMoney"));
}

// A play window whose layout lacks its controls warns once, with its name, and stays inert.
TEST_F(PlayFixture, EveryPlayWindowWithoutItsControlsIsInert) {
  for (const char* name : {"score", "mission_start", "mission_goal", "garden", "mission_finish", "up"}) {
    const std::string bare = std::string("bare_") + name;
    vek::cWindow* w = CreateGameWindow(bare, MakePlayWindowFunction(name));
    ASSERT_NE(w, nullptr);
    EXPECT_NE(LogText().find("[" + bare + "] wndAfterCreate"), std::string::npos) << name;
    gui->ShowWindow(bare);
    Step(3);
    EXPECT_EQ(play.GetPauseState(), 0) << name;
    EXPECT_EQ(game->GetPauseCount(), 0) << name;
  }
}

}  // namespace
}  // namespace playtest
