#include <gtest/gtest.h>

#include <algorithm>

#include "game/world/holes_layouts.h"
#include "tests/support/world_harness.h"

namespace {

// The data set's holes layouts as the field places them: one for each stage the rules pick by
// level (0 to 4), each keeping the holes of the one before and adding enough for its missions.
TEST(HolesData, EveryStageHasAGrowingLayoutOffTheFixedCells) {
  vektest::WorldHarness world;
  std::vector<cHolesLayout> layouts;
  cDataManagerGD::ReadTheme(std::string(VEK_TEST_BIN_DIR) + "/data/conf/holes.lvs", &layouts);
  ASSERT_EQ(layouts.size(), 5u);
  size_t previous = 0;
  for (size_t n = 0; n < layouts.size(); ++n) {
    const cHolesLayout& l = layouts[n];
    EXPECT_GT(l.size(), previous) << "layout " << n;
    if (n > 0) {
      for (const cHoleCell& h : layouts[n - 1])
        EXPECT_NE(std::find(l.begin(), l.end(), h), l.end()) << "layout " << n << " lost a hole";
    }
    previous = l.size();
    ASSERT_FALSE(l.empty()) << "layout " << n;
    for (const cHoleCell& h : l) {
      const int row = 8 - h.row, col = h.column;  // the field's cell
      EXPECT_TRUE(row >= 1 && row <= 7) << "layout " << n;
      EXPECT_FALSE(row >= 2 && row <= 4 && col <= 2) << "car at layout " << n;
      EXPECT_FALSE(row >= 1 && row <= 3 && col >= 8) << "pump at layout " << n;
      EXPECT_FALSE(row == 5 && col >= 3 && col <= 5) << "tools at layout " << n;
    }
  }
  EXPECT_LE(layouts.front().size(), 5u);
  // The last stage's missions want up to 30 plants: most of them are sown at once.
  EXPECT_GE(layouts.back().size(), 24u);
  EXPECT_GE(layouts[1].size(), 6u) << "the second level wants 9 plants";
}

}  // namespace
