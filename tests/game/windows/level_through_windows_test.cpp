// A level played through the play windows on the game's own rules and mission, with the
// mouse only: the briefing of level 1 from the level table, its tasks moving onto the score
// panel, the wares delivered, the result paid out with its medal, and the way on.
#include <gtest/gtest.h>

#include "game/app/level_table.h"
#include "game/windows/controls/mission_ctrl.h"
#include "game/windows/mission_finish_wf.h"
#include "game/windows/mission_start_wf.h"
#include "game/world/mission.h"
#include "tests/game/windows/play_fixture.h"

namespace playtest {
namespace {

// The application's part of the rules, as far as these windows meet it.
class WindowWorld : public iRulesWorld {
 public:
  explicit WindowWorld(cWindowHost* host) : m_pHost(host) {}
  void SwitchWindow(const vek::string& name, int mode) override { m_pHost->SwitchWindow(name, mode); }
  void SendWindowMessage(const vek::string& window, int p1, int p2) override {
    m_pHost->SendWindowMessage(window, p1, p2);
  }
  void BindTaskControls(std::vector<cMissionTask>& tasks) override { ::BindTaskControls(tasks); }
  int GetTaskIndicatorState(int index) override {
    iTaskIndicator* task = GetScoreTaskControl(static_cast<vek::u32>(index));
    return task ? task->GetMoveState() : -1;
  }
  bool HasPlantSort(int offset) override { return offset < 8; }
  int GetHolesLayoutCount() override { return 4; }
  vek::i32 GetWarePrice(vek::i32) override { return 10; }

 private:
  cWindowHost* m_pHost;
};

// Ware names as the game's ware manager has them.
class WareHost : public cPlainRulesHost {
 public:
  vek::i32 GetWareId(const vek::string& name) override { return g_pWareManager->GetWareId(name); }
  vek::string GetWareName(vek::i32 id) override { return g_pWareManager->GetWare(static_cast<vek::u32>(id)).GetName(); }
};

class LevelThroughWindows : public PlayFixture {
 protected:
  void SetUp() override {
    PlayFixture::SetUp();
    world = std::make_unique<WindowWorld>(host);
    SetRulesWorld(world.get());
    SetRulesHost(&wares);
    ResetScoreTaskControls();
    player.upgradeLevels.assign(6, 0);
    player.lastSort = 0;
    Focus("garden");
    host->SwitchWindow("score", 2);
    host->SwitchWindow("garden", 2);
    Settle();
  }
  void TearDown() override {
    SetRulesHost(nullptr);
    SetRulesWorld(nullptr);
    ResetScoreTaskControls();
    PlayFixture::TearDown();
  }
  // One fixed step of the game: the mission runs while nothing holds it, then the GUI.
  void Play(int steps = 1) {
    for (int i = 0; i < steps; ++i) {
      if (play.GetPauseState() == 0 && game->GetPauseCount() == 0) play.Rules().UpdateMission();
      Step();
    }
  }
  // From the briefing's "ok" to the result shown, delivering every task as it comes.
  void PlayToTheResult() {
    Click("mission_start", "ok");
    for (int i = 0; i < 3000 && !Shown("mission_finish"); ++i) {
      Play();
      for (cMissionTask& task : player.activeTasks)
        if (task.ware != kNoWare && task.count > 0 && task.indicator) {
          play.Rules().DecWareTask(task.ware);
          player.carLoad.push_back(task.ware);
          player.money += play.Rules().SellCarLoad();
          break;
        }
    }
  }
  std::unique_ptr<WindowWorld> world;
  WareHost wares;
};

TEST_F(LevelThroughWindows, FirstLevelFromBriefingToTheIsland) {
  cGameRules& rules = play.Rules();
  ASSERT_TRUE(rules.SetupLevelMissions(0));
  const cLevelRow& row = *GetLevelRow(0);
  Settle();
  ASSERT_TRUE(Shown("mission_start"));
  EXPECT_EQ(play.GetPauseState(), 1);
  EXPECT_EQ(Text("mission_start", "tasks"), "Level 1");
  EXPECT_EQ(Text("mission_start", "number0"), "x" + std::to_string(row.tasks[0].count));
  EXPECT_EQ(Text("mission_start", "time"), FormatTimeLimit(static_cast<vek::f32>(row.timeLimit)));
  Play(30);
  EXPECT_EQ(player.elapsedTime, 0.0f);  // held by the briefing
  Click("mission_start", "ok");
  Settle();
  EXPECT_FALSE(Shown("mission_start"));
  EXPECT_EQ(play.GetPauseState(), 0);

  // The task comes onto the score panel.
  Play(90);
  ASSERT_EQ(player.activeTasks.size(), 1u);
  auto* indicator = Control<cTaskCtrl>("score", "task0");
  EXPECT_EQ(indicator->GetMoveState(), cTaskCtrl::e_moveIn);
  EXPECT_EQ(indicator->GetText(), "x" + std::to_string(row.tasks[0].count));
  // A click on it shows what is still to do, and holds the level meanwhile.
  Click("score", "task0");
  EXPECT_TRUE(Shown("mission_goal"));
  const vek::f32 held = player.elapsedTime;
  Play(30);
  EXPECT_EQ(player.elapsedTime, held);
  Click("mission_goal", "ok");
  Settle();

  // The harvest is delivered; the indicator leaves and the level ends.
  const vek::i32 ware = player.activeTasks[0].ware;
  for (int i = 0; i < row.tasks[0].count; ++i) {
    rules.DecWareTask(ware);
    player.carLoad.push_back(ware);
  }
  player.money += rules.SellCarLoad();
  const vek::i32 money = player.money;
  for (int i = 0; i < 300 && !Shown("mission_finish"); ++i) Play();
  ASSERT_TRUE(Shown("mission_finish"));
  EXPECT_EQ(play.GetPauseState(), 2);
  const vek::f32 left = static_cast<vek::f32>(row.timeLimit) - player.elapsedTime;
  // The payment runs by itself; "ok" then goes on.
  Step(30 * 12);
  auto* finish = Function<cMissionFinishWF>("mission_finish");
  ASSERT_TRUE(finish->IsFinished());
  EXPECT_EQ(player.bank, money + cMissionFinishWF::TimeBonus(left));
  EXPECT_EQ(player.money, 0);
  EXPECT_TRUE(Visible("mission_finish", "imgMedal"));
  Click("mission_finish", "ok");
  Step(60);
  EXPECT_FALSE(Shown("mission_finish"));
  if (Shown("up")) {
    Click("up", "ch0");
    Click("up", "done");
    Step(60);
    EXPECT_FALSE(Shown("up"));
  }
  EXPECT_EQ(play.GetPauseState(), 0);
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
}

TEST_F(LevelThroughWindows, AnUpgradeAwardEndsInTheUpgradesWindow) {
  cGameRules& rules = play.Rules();
  ASSERT_TRUE(rules.SetupLevelMissions(1));
  rules.SetLevelFlag(cMissionFinishWF::e_AwardUpgrade);
  player.bank = 400;
  Settle();
  PlayToTheResult();
  ASSERT_TRUE(Shown("mission_finish"));
  Click("mission_finish", "ok");  // completes the payment
  Step(3);
  Click("mission_finish", "ok");
  Step(60);
  ASSERT_TRUE(Shown("up"));
  EXPECT_EQ(play.GetPauseState(), 3);
  const vek::i32 bank = player.bank;
  Click("up", "ch0");  // the cheapest: the basket, $100
  Click("up", "done");
  Step(90);
  EXPECT_FALSE(Shown("up"));
  EXPECT_EQ(player.bank, bank - 100);
  EXPECT_EQ(player.upgradeLevels[2], 1);
  EXPECT_EQ(play.GetPauseState(), 0);
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
}

}  // namespace
}  // namespace playtest
