#include <gtest/gtest.h>

#include "game/play/water_pump_timer.h"

namespace {

// Steps until the timer runs out (0 when it did not within the limit).
int StepsToOpen(cWaterPumpTimer& t, bool due, int limit = 400) {
  for (int n = 1; n <= limit; ++n)
    if (t.Step(due)) return n;
  return 0;
}

TEST(WaterPumpTimer, RunsFiveSecondsOnceStartedAndOnlyOnce) {
  cWaterPumpTimer t;
  EXPECT_EQ(StepsToOpen(t, false), 0) << "no plant asked for water yet";
  EXPECT_FALSE(t.IsRunning());

  ASSERT_TRUE(!t.Step(true) && t.IsRunning());
  // Once started it runs on even when its moment passes, and opens after 150 steps in all.
  EXPECT_EQ(StepsToOpen(t, false), 149);
  EXPECT_FALSE(t.IsRunning());
  EXPECT_EQ(StepsToOpen(t, false), 0) << "it runs out once";
  EXPECT_EQ(StepsToOpen(t, true), 150) << "from rest it starts again";
}

}  // namespace
