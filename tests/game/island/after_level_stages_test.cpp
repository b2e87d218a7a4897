// The after-level sequence's timing, driven step by step as the island does.
#include <gtest/gtest.h>

#include <vector>

#include "game/island/after_level_stages.h"

namespace {

struct Event {
  int step, stage;
  bool acts;
  bool operator==(const Event&) const = default;
};

// Runs up to `steps` fixed steps; `act` may give the next stages their targets.
template <class Act>
std::vector<Event> RunSteps(cAfterLevelStages& stages, int steps, Act act) {
  std::vector<Event> events;
  for (int i = 1; i <= steps && !stages.IsFinished(); ++i) {
    const cAfterLevelStages::cEnded e = stages.Step();
    if (e.stage < 0) continue;
    events.push_back({i, e.stage, e.acts});
    act(e.stage, e.acts);
  }
  return events;
}

}  // namespace

TEST(AfterLevelStages, StagesEndAfterTheirSecondsAndPassOnByOneStep) {
  cAfterLevelStages stages;
  stages.Reset();
  stages.Start(0, 1.0f);
  // Stage 1 hands stage 2 its two seconds and stage 2 gives stage 3 1.2 s; the rest only
  // pass the sequence on.
  const auto events = RunSteps(stages, 400, [&](int stage, bool acts) {
    if (stage == 0 && acts) stages.Start(1, 2.0f);
    if (stage == 1 && acts) stages.Start(2, 1.2f);
  });
  ASSERT_EQ(events.size(), 6u);
  const int ends[] = {30, 90, 126, 127, 128, 129};
  const bool acted[] = {true, true, true, false, false, false};
  for (int s = 0; s < 6; ++s) {
    EXPECT_EQ(events[s].stage, s);
    EXPECT_NEAR(events[s].step, ends[s], 1) << s;
    EXPECT_EQ(events[s].acts, acted[s]) << s;
  }
  EXPECT_TRUE(stages.IsFinished());
}

TEST(AfterLevelStages, TheSequenceWaitsAtAStageAtRestUntilTheBuildingStartsIt) {
  cAfterLevelStages stages;
  stages.Reset();
  stages.Start(0, 1.0f);
  // The level's building is not built: stage 4 leaves stage 5 at rest.
  const auto before = RunSteps(stages, 300, [&](int stage, bool) {
    if (stage == 3) stages.Start(4, 0.0f);
  });
  ASSERT_EQ(before.size(), 4u);
  EXPECT_FALSE(stages.IsFinished());
  for (int i = 0; i < 100; ++i) EXPECT_EQ(stages.Step().stage, -1);
  // The building's completion starts stage 5 with two seconds.
  stages.Start(4, 2.0f);
  const auto after = RunSteps(stages, 300, [](int, bool) {});
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].stage, 4);
  EXPECT_TRUE(after[0].acts);
  EXPECT_NEAR(after[0].step, 60, 1);
  EXPECT_EQ(after[1], (Event{after[0].step + 1, 5, false}));
  EXPECT_TRUE(stages.IsFinished());
  // The last stage reports its end once; later steps only find the sequence finished.
  EXPECT_EQ(stages.Step().stage, -1);
  EXPECT_TRUE(stages.IsFinished());
}

TEST(AfterLevelStages, ResetStopsEverything) {
  cAfterLevelStages stages;
  EXPECT_EQ(stages.Step().stage, -1);
  stages.Start(0, 0.1f);
  stages.Reset();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(stages.Step().stage, -1);
  EXPECT_FALSE(stages.IsFinished());
  stages.Start(7, 1.0f);  // no such stage: nothing
  EXPECT_EQ(stages.GetTarget(7), 0.0f);
}

TEST(AfterLevelStages, AStageStartedAheadKeepsItsTime) {
  // The building is finished while the first stage still runs: its stage (the fifth) keeps
  // its two seconds and acts, instead of being cut to a silent step when the stage before
  // it ends.
  cAfterLevelStages stages;
  stages.Reset();
  stages.Start(0, 1.0f);
  std::vector<Event> seen;
  for (int i = 1; i <= 400 && !stages.IsFinished(); ++i) {
    if (i == 20) stages.Start(4, 2.0f);
    const cAfterLevelStages::cEnded e = stages.Step();
    if (e.stage >= 0) seen.push_back({i, e.stage, e.acts});
  }
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[4].stage, 4);
  EXPECT_TRUE(seen[4].acts);
  EXPECT_NEAR(seen[4].step, seen[3].step + 60, 1);  // its two seconds follow the stage before
}
