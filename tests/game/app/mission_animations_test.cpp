// The level and holes animations of the mission step: the level-animation flag, and the holes
// of a new layout brought into view one second into the next level.
#include "game/app/game_rules.h"
#include "tests/game/app/rules_fixture.h"

namespace vektest {
namespace {

struct AnimationWorld : iRulesWorld {
  void ShowHiddenHoles() override { ++revealed; }
  int GetActiveHint() override { return hint; }
  int GetHolesLayoutCount() override { return 5; }
  int revealed = 0, hint = -1;
};

class MissionAnimationsTest : public RulesWorldFixture<AnimationWorld> {
 protected:
  // A running level with one task that stays open.
  void Running() {
    player.mission.Clear();
    player.activeTasks = {{-1, 3, 5, nullptr, nullptr, nullptr, 0.0f}};
    player.nextPendingTask = 0;
  }
  // Mission steps until `done` holds; the number taken, or -1 after `limit`.
  template <class Done>
  int StepsUntil(Done done, int limit = 120) {
    for (int n = 1; n <= limit; ++n) {
      rules.UpdateMission();
      if (done()) return n;
    }
    return -1;
  }
  cMissionAnimations& anim() { return rules.Animations(); }
};

TEST_F(MissionAnimationsTest, TheLevelAnimationSetsItsFlagWhenItEndsAndEveryLevelStartRestartsIt) {
  EXPECT_TRUE(anim().IsLevelAnimationDone());  // no level ran yet
  for (int level : {0, 3}) {
    ASSERT_TRUE(rules.StartLevel(level));
    EXPECT_FALSE(anim().IsLevelAnimationDone()) << level;
    EXPECT_FLOAT_EQ(anim().LevelAnimation().current, 0.0f);
    EXPECT_FLOAT_EQ(anim().LevelAnimation().target, 1.0f);
    Running();
    // 1 s of fixed steps (one more when the sum of the steps falls short of 1.0).
    const int steps = StepsUntil([&] { return anim().IsLevelAnimationDone(); });
    EXPECT_GE(steps, 30) << level;
    EXPECT_LE(steps, 31) << level;
    EXPECT_TRUE(anim().IsLevelAnimationDone());
  }

  // It waits while a hint is shown and once the mission is done.
  ASSERT_TRUE(rules.StartLevel(1));
  Running();
  world.hint = 4;
  EXPECT_EQ(StepsUntil([&] { return anim().IsLevelAnimationDone(); }, 60), -1);
  world.hint = -1;
  player.mission.done = 1;
  EXPECT_EQ(StepsUntil([&] { return anim().IsLevelAnimationDone(); }, 60), -1);
}

TEST_F(MissionAnimationsTest, HolesAreShownOnceWhenTheHolesAnimationEnds) {
  // At rest from the start: no hole waits, the mission step shows none.
  EXPECT_FALSE(anim().IsHolesAnimationRunning());
  Running();
  StepsUntil([] { return false; }, 60);
  EXPECT_EQ(world.revealed, 0);

  // A level without a new layout ends: nothing to show.
  rules.ClearLevelFlag(2);
  rules.FinishLevel();
  EXPECT_FALSE(anim().IsHolesAnimationRunning());

  // A level that opens the next layout ends: its holes come in one second into the next level.
  rules.SetLevelFlag(2);
  rules.FinishLevel();
  EXPECT_TRUE(anim().IsHolesAnimationRunning());
  EXPECT_FLOAT_EQ(anim().HolesAnimation().current, 0.0f);
  EXPECT_FLOAT_EQ(anim().HolesAnimation().target, 1.0f);
  ASSERT_TRUE(rules.StartLevel(4));  // starting the level leaves it running
  EXPECT_TRUE(anim().IsHolesAnimationRunning());
  Running();
  const int steps = StepsUntil([&] { return world.revealed > 0; });
  EXPECT_GE(steps, 30);
  EXPECT_LE(steps, 31);
  EXPECT_FALSE(anim().IsHolesAnimationRunning());
  StepsUntil([] { return false; }, 60);
  EXPECT_EQ(world.revealed, 1);
}

TEST_F(MissionAnimationsTest, AWonLevelWithANewLayoutRestartsTheHolesAnimationFromTheMissionStep) {
  ASSERT_TRUE(rules.StartLevel(0));  // level 0 opens the next layout (level flag 2)
  ASSERT_TRUE(rules.GetLevelFlag(2));
  player.activeTasks.clear();
  player.nextPendingTask = static_cast<vek::i32>(player.mission.tasks.size());
  rules.UpdateMission();
  ASSERT_TRUE(player.mission.done);
  EXPECT_TRUE(anim().IsHolesAnimationRunning());
  // The done level runs no mission step: the holes wait for the next level.
  StepsUntil([] { return false; }, 60);
  EXPECT_EQ(world.revealed, 0);
  EXPECT_TRUE(anim().IsHolesAnimationRunning());
}

}  // namespace
}  // namespace vektest
