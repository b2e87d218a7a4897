// Step-by-step hints and one-shot training tips.
#include "game/app/hints.h"
#include "tests/game/app/rules_fixture.h"

namespace vektest {
namespace {

struct HintWorld : iRulesWorld {
  bool FindTarget(const vek::string& target, vek::f32* rect) override {
    if (missing.count(target)) return false;
    rect[0] = 100, rect[1] = 200, rect[2] = 50, rect[3] = 40;
    if (auto it = at.find(target); it != at.end()) rect[0] = it->second.x, rect[1] = it->second.y, rect[2] = rect[3] = 0;
    return true;
  }
  int CheckHintStep(int hint, int step) override {
    auto it = checks.find({hint, step});
    return it == checks.end() ? 0 : it->second;
  }
  bool HintSituation(int hint) override { return situations.count(hint) > 0; }
  void ShowHintWindow(const vek::string& text, const vek::f32* rect, vek::f32 x, vek::f32 y, int, int) override {
    shown.push_back(text);
    highlight = rect ? std::vector<vek::f32>(rect, rect + 4) : std::vector<vek::f32>{};
    arrow = {x, y};
    open = true;
  }
  void HideHintWindow() override { open = false; }
  bool IsPaused() override { return paused; }
  void ResetGardenerWork() override { ++resets; }
  int resets = 0;
  std::set<std::string> missing;
  std::map<std::string, vek::vec2> at;  // targets that are a point
  std::map<std::pair<int, int>, int> checks;
  std::set<int> situations;
  std::vector<std::string> shown;
  std::vector<vek::f32> highlight, arrow;
  bool open = false, paused = false;
};

class HintsTest : public RulesFixture {
 protected:
  void SetUp() override {
    RulesFixture::SetUp();
    host.training = 1;
    SetRulesWorld(&world);
    SetCurrentPlayer(&player);
  }
  void TearDown() override {
    SetCurrentPlayer(nullptr);
    RulesFixture::TearDown();
  }
  void Steps(int n) {
    for (int i = 0; i < n; ++i) hints.CheckHints();
  }
  HintWorld world;
  cPlayer player{"plr000"};
  cHints hints;
};

TEST_F(HintsTest, OnlyTheFirstOfTwoHintsIsShownTheOtherIsMarkedSeen) {
  player.hintFlags[0] = 1;
  player.elapsedTime = 3.0f;
  player.activeTasks = {{-1, host.wares["product00"], 1}, {-1, host.wares["egg"], 1}};
  Steps(1);
  EXPECT_EQ(hints.GetHint(), 3);
  EXPECT_TRUE(hints.IsHintShown(4));
  EXPECT_EQ(world.shown, std::vector<std::string>{"TrainingFactory0"});
  hints.CloseHint();
  Steps(5);
  EXPECT_EQ(hints.GetHint(), -1);  // hint 4 never comes back
}

TEST_F(HintsTest, WithTheSwitchOffHintsAreOnlyMarked) {
  host.training = 0;
  player.elapsedTime = 3.0f;
  Steps(1);
  EXPECT_TRUE(hints.IsHintShown(0));
  EXPECT_EQ(hints.GetHint(), -1);
  EXPECT_TRUE(world.shown.empty());
}

TEST_F(HintsTest, StepsAdvanceAfterAPauseThatWaitsWhilePaused) {
  hints.ShowHint(0);
  ASSERT_EQ(world.shown.size(), 1u);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(hints.NextHintStep(0, i)) << i;
  EXPECT_FALSE(hints.NextHintStep(0, 5));
  EXPECT_EQ(hints.GetStep(), 4);
  EXPECT_FALSE(world.open);
  EXPECT_TRUE(hints.IsPausing());
  world.paused = true;
  Steps(100);
  EXPECT_FALSE(world.open);
  world.paused = false;
  Steps(17);
  EXPECT_FALSE(world.open);
  Steps(1);
  EXPECT_TRUE(world.open);
  EXPECT_EQ(world.shown.back(), "TrainingPlants4");
  EXPECT_FALSE(hints.IsPausing());
}

TEST_F(HintsTest, PassedOverAndClosingSteps) {
  world.checks[{1, 0}] = 2;  // the gardener holds the can already
  world.checks[{1, 1}] = 2;  // and it is full
  hints.ShowHint(1);
  EXPECT_EQ(hints.GetStep(), 1);
  Steps(18);
  EXPECT_EQ(hints.GetStep(), 2);
  Steps(18);
  EXPECT_EQ(world.shown, std::vector<std::string>{"TrainingWater2"});
  // A hint with no closing step of its own ends after its last one.
  hints.CloseHint();
  player.hintFlags[11] = 0;
  hints.ShowHint(11);
  ASSERT_TRUE(hints.NextHintStep(11, 0));
  Steps(18);
  ASSERT_TRUE(hints.NextHintStep(11, 1));
  Steps(18);
  EXPECT_EQ(hints.GetHint(), -1);
  // A missing target closes the hint.
  world.missing.insert("control garden plants");
  hints.ShowHint(0);
  EXPECT_EQ(hints.GetHint(), -1);
}

TEST_F(HintsTest, AStartingHintEmptiesTheGardenersQueueEvenWhenItsFirstStepClosesIt) {
  world.checks[{4, 0}] = 1;  // no ostrich to buy: the lesson closes at once
  hints.ShowHint(4);
  EXPECT_EQ(hints.GetHint(), -1);
  EXPECT_EQ(world.resets, 1);
  hints.ShowHint(4);  // seen: nothing more
  host.training = 0;
  hints.ShowHint(7);  // hints off: only marked
  EXPECT_EQ(world.resets, 1);
}

TEST_F(HintsTest, AWaitingStepHoldsTheFieldAndEndsWhenItsThingOnTheFieldIsGone) {
  // No lesson, nothing held.
  EXPECT_FALSE(hints.HoldsField());
  EXPECT_TRUE(hints.GetShownKey().empty());
  hints.ShowHint(0);
  EXPECT_TRUE(hints.HoldsField());
  EXPECT_EQ(hints.GetShownKey(), "TrainingPlants0");
  ASSERT_TRUE(hints.NextHintStep(0, 0));
  EXPECT_TRUE(hints.HoldsField()) << "the pause before the next step";
  EXPECT_TRUE(hints.GetShownKey().empty());
  Steps(18);
  EXPECT_EQ(hints.GetShownKey(), "TrainingPlants1");
  // A control of the garden bar that is hidden a moment does not end it; the bed it points at
  // gone does.
  world.missing.insert("control garden plants");
  Steps(5);
  EXPECT_EQ(hints.GetHint(), 0);
  world.missing.insert("hole 0");
  Steps(1);
  EXPECT_EQ(hints.GetHint(), -1);
  EXPECT_FALSE(world.open);
  EXPECT_FALSE(hints.HoldsField());
  EXPECT_TRUE(hints.GetShownKey().empty());
  // The factory lesson's first step lets the player play on: it holds nothing.
  hints.ShowHint(3);
  EXPECT_EQ(hints.GetShownKey(), "TrainingFactory0");
  EXPECT_FALSE(hints.HoldsField());
  hints.CloseHint();
  // A tip says its own key.
  hints.ShowTraining(0, 0);
  EXPECT_EQ(hints.GetShownKey(), "HintBinUp");
  hints.EndTraining(-1);
  EXPECT_TRUE(hints.GetShownKey().empty());
}

TEST_F(HintsTest, TrainingTips) {
  hints.ShowTraining(0, 0);
  hints.EndTraining(0);
  hints.ShowTraining(0, 0);
  EXPECT_EQ(world.shown, std::vector<std::string>{"HintBinUp"});
  EXPECT_EQ(hints.GetTrainingStep(), -1);

  hints.ShowTraining(3, 0);
  hints.ShowTraining(3, 0);
  EXPECT_EQ(player.trainingFlags[3], 0);
  world.open = true;
  hints.EndTraining(5);
  EXPECT_EQ(hints.GetTrainingStep(), -1);
  EXPECT_TRUE(world.open);

  world.shown.clear();
  hints.ShowTraining(4, 0);
  EXPECT_EQ(player.trainingFlags[4], 2);
  hints.ShowTraining(4, 1);
  EXPECT_EQ(world.shown, (std::vector<std::string>{"HintNewTask0", "HintNewTask"}));
  for (int i = 0; i < 4 * 30 + 1; ++i) hints.StepTipTimer();
  EXPECT_EQ(hints.GetTrainingStep(), -1);
  EXPECT_FALSE(world.open);

  // A ship still out at sea: the arrow points from the screen's edge its way.
  world.at["ship"] = {1550, 749};
  EXPECT_TRUE(hints.ShowTraining(2, 0));
  EXPECT_EQ(world.arrow, (std::vector<vek::f32>{1024, 749}));
  hints.EndTraining(-1);
  world.at.clear();
  player.trainingFlags[2] = 0;

  // Nothing to point at: not started, so nothing waits for it.
  world.missing.insert("ship");
  hints.ShowTraining(2, 0);
  EXPECT_EQ(hints.GetTrainingStep(), -1);
  EXPECT_EQ(player.trainingFlags[2], 0);

  // While a hint runs, a tip is dropped and not marked.
  hints.ShowHint(2);
  hints.ShowTraining(7, 0);
  EXPECT_EQ(player.trainingFlags[7], 0);
  EXPECT_EQ(hints.GetTrainingStep(), -1);
}

TEST_F(HintsTest, HighlightsGrowAroundControlsAndLightTheGardenBarsButtonsAsTiles) {
  struct Case {
    const char* target;
    std::vector<vek::f32> from, to;
  };
  const Case cases[] = {
      // The garden bar's buttons: a 64 x 64 tile at the control, grown by 15.
      {"control garden but_0", {100, 560, 70, 50}, {85, 545, 94, 94}},
      // Any other control, the garden bar's shop rows among them: grown by 15 on every side.
      {"control garden plants", {28, 4, 386, 100}, {13, -11, 416, 130}},
      {"control score task0", {700, 650, 60, 40}, {685, 635, 90, 70}},
      {"control island but_rate", {10, 20, 0, 0}, {-5, 5, 30, 30}},
      // The field's objects keep the rectangle the field gives (a plant's is drawn in there).
      {"plant 0", {100, 200, 50, 40}, {100, 200, 50, 40}},
      {"hole 1", {100, 200, 50, 40}, {100, 200, 50, 40}},
      {"point 512 20", {512, 20, 0, 0}, {512, 20, 0, 0}},
  };
  for (const Case& c : cases) {
    std::vector<vek::f32> r = c.from;
    HintHighlight(c.target, r.data());
    EXPECT_EQ(r, c.to) << c.target;
  }
  // A shown step highlights the grown rectangle and points at its edge (Left | Top).
  hints.ShowHint(0);
  EXPECT_EQ(world.highlight, (std::vector<vek::f32>{85, 185, 80, 70}));
  EXPECT_EQ(world.arrow, (std::vector<vek::f32>{85, 255}));
}

}  // namespace
}  // namespace vektest
