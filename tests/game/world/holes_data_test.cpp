#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/app/sprite.h"
#include "game/world/holes_layouts.h"
#include "game/world/level.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/world_harness.h"

namespace {

std::vector<cHolesLayout> DataLayouts() {
  std::vector<cHolesLayout> layouts;
  cDataManagerGD::ReadTheme(std::string(VEK_TEST_BIN_DIR) + "/data/conf/holes.lvs", &layouts);
  return layouts;
}

// The field's cell of a hole of the file.
cCell FieldCell(const cHoleCell& h) { return {8 - h.row, h.column}; }

// The data set's holes layouts as the field places them: one for each stage the rules pick by
// level (0 to 4), each keeping the holes of the one before and adding enough for its missions.
TEST(HolesData, EveryStageHasAGrowingLayoutOffTheFixedCells) {
  vektest::WorldHarness world;
  const std::vector<cHolesLayout> layouts = DataLayouts();
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
      const int row = FieldCell(h).i, col = h.column;
      EXPECT_TRUE(row >= 1 && row <= 7) << "layout " << n;
      EXPECT_FALSE(row >= 2 && row <= 4 && col <= 2) << "car at layout " << n;
      EXPECT_FALSE(row >= 1 && row <= 3 && col >= 8) << "pump at layout " << n;
      EXPECT_FALSE(row == 5 && col >= 3 && col <= 5) << "tools at layout " << n;
      // A bought hive stands on (0, 4), then (2, 4), and takes the cell above it as well.
      EXPECT_FALSE(row <= 3 && col == 4) << "hive at layout " << n;
    }
  }
  EXPECT_LE(layouts.front().size(), 5u);
  // The last stage's missions want up to 30 plants: most of them are sown at once.
  EXPECT_GE(layouts.back().size(), 24u);
  EXPECT_GE(layouts[1].size(), 6u) << "the second level wants 9 plants";
}

// Where the field puts them, grown plants of every sort stand apart from each other, and the
// gardener at work on any of them stays below the fence along the field's top.
TEST(HolesData, GrownPlantsStandApartAndTheGardenerBelowTheFence) {
  vektest::WorldHarness world;
  vektest::HeadlessSprites sprites;
  ASSERT_TRUE(sprites.Load("texture/world/images00.png"));
  ASSERT_TRUE(sprites.Load("texture/world/gard10.png"));
  ASSERT_TRUE(sprites.Load("texture/world/gard11.png"));
  vek::vec2 plant{0.0f, 0.0f}, gardener{0.0f, 0.0f};
  for (const char* area : {"plant00", "plant01", "plant02", "plant03", "plant04", "plant05", "plant06", "plant07",
                           "grass", "flowers"}) {
    const cSprite s = FindSprite("images00", area);
    ASSERT_NE(s.texture, 0u) << area;
    plant = {std::max(plant.x, s.width), std::max(plant.y, s.height)};
  }
  for (const auto& [sheet, area] : {std::pair{"gard10", "water_work"}, std::pair{"gard10", "weed_work"},
                                    std::pair{"gard11", "harvest_work"}}) {
    const cSprite s = FindSprite(sheet, area);
    ASSERT_NE(s.texture, 0u) << area;
    gardener.y = std::max(gardener.y, s.height);
  }
  cLevel level;
  level.Clear();
  // Objects stand with their feet at the cell's point, centred on it.
  auto rect = [&](const cCell& c, const vek::vec2& size) {
    const vek::vec2 p = level.CellToPos(c.i, c.j);
    return vek::rectf{p.x - size.x * 0.5f, p.y, size.x, size.y};
  };
  auto overlap = [](const vek::rectf& a, const vek::rectf& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
  };
  const vek::f32 fence = cLevel::kFieldY + cLevel::kFieldH;
  const cHolesLayout last = DataLayouts().back();  // holds every other layout's holes
  for (size_t a = 0; a < last.size(); ++a) {
    const cCell ca = FieldCell(last[a]);
    ASSERT_TRUE(level.IsCellInside(ca));
    const vek::rectf ra = rect(ca, plant);
    EXPECT_LE(ra.y + ra.h, fence) << "the plant at " << ca.i << "," << ca.j << " reaches into the fence";
    const vek::rectf g = rect(ca, gardener);
    EXPECT_LE(g.y + g.h, fence) << "the gardener at " << ca.i << "," << ca.j << " stands in the fence";
    for (size_t b = a + 1; b < last.size(); ++b) {
      const cCell cb = FieldCell(last[b]);
      EXPECT_FALSE(overlap(ra, rect(cb, plant)))
          << "plants at " << ca.i << "," << ca.j << " and " << cb.i << "," << cb.j << " overlap";
    }
  }
}

}  // namespace
