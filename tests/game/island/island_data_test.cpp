// The island files that the build writes into the data folder.
#include <gtest/gtest.h>

#include <cmath>

#include "game/island/building_table.h"
#include "game/island/island_files.h"
#include "game/island/island_geometry.h"
#include "game/island/island_walkers.h"

using vek::vec2;

namespace {

const std::string kConf = std::string(VEK_TEST_BIN_DIR) + "/data/conf/";

float TwiceArea(const vec2& a, const vec2& b, const vec2& c) {
  return std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
}

}  // namespace

TEST(IslandData, GeometryFillsEveryAreaAndLeadsPeopleFromThePier) {
  cIslandPaths paths;
  ASSERT_TRUE(LoadIslandPaths((kConf + "island.pts").c_str(), paths));
  EXPECT_EQ(paths.markers.size(), 45u);
  EXPECT_EQ(MarkerDots(paths.markers).size(), 44u * 3u);
  EXPECT_GE(paths.shipKeys.size(), 2u);
  ASSERT_FALSE(paths.areas.empty());
  cIslandWalkers ground;
  for (const cIslandArea& area : paths.areas) {
    // The triangles cover the outline exactly (shoelace area against their sum).
    float outline = 0.0f, filled = 0.0f;
    const size_t n = area.outline.size();
    for (size_t i = 0; i < n; ++i) {
      const vec2& p = area.outline[i];
      const vec2& q = area.outline[(i + 1) % n];
      outline += p.x * q.y - q.x * p.y;
    }
    for (const cAreaTriangle& t : area.triangles)
      filled += TwiceArea(area.outline[t.a], area.outline[t.b], area.outline[t.c]);
    EXPECT_NEAR(filled, std::fabs(outline), 1.0f);
    ground.AddRegion(area.outline.data(), static_cast<vek::u32>(n));
  }
  ground.SetLinks(paths.walkways);
  // People step ashore at the pier and walk to the arrival point.
  cWalker& w = ground.AddWalker({412.0f, 1971.0f});
  EXPECT_TRUE(ground.RouteToArrival(w));
  EXPECT_GT(w.points.size(), 2u);
  // The first seven markers lie in the first view (the top of the map), which the player
  // cannot scroll away from before level 7: well inside it, below the panels at its top and
  // clear of its bottom edge, so that the town rather than the sea fills the view.
  const float top = 2154.0f;
  for (int i = 0; i < 7; ++i) {
    EXPECT_GE(paths.markers[i].y, top - 768.0f + 250.0f) << i;
    EXPECT_LE(paths.markers[i].y, top - 300.0f) << i;
  }
}

TEST(IslandData, EveryLevelHasItsCatalogueBuildingNearItsOwnMarker) {
  cIslandPaths paths;
  ASSERT_TRUE(LoadIslandPaths((kConf + "island.pts").c_str(), paths));
  std::vector<cIslandBuildingRecord> buildings;
  ASSERT_EQ(LoadIslandBuildings((kConf + "island.dat").c_str(), buildings), eIslandFileRead::Ok);
  ASSERT_EQ(buildings.size(), 45u);
  std::vector<vek::string> levelBuildings;
  for (const cIslandBuildingRecord& b : buildings) levelBuildings.push_back(b.name);
  for (vek::u32 level = 0; level < buildings.size(); ++level) {
    const cIslandBuildingRecord& b = buildings[level];
    EXPECT_EQ(b.number, level);
    const vek::i32 row = FindBuildingTemplateRow(b.name);
    ASSERT_GE(row, 0) << b.name;
    EXPECT_EQ(b.kind, BuildingTemplateRows()[row].factory ? kIslandKindFactory : kIslandKindHouse);
    // Of the markers whose level has a building of this name, its own is the nearest to the
    // building (taken as some 80 units square).
    EXPECT_EQ(FindHousePlace(b.position + vec2(40, 40), b.name, paths.markers, levelBuildings),
              static_cast<vek::i32>(level))
        << b.name;
  }
  EXPECT_EQ(buildings.back().name, "statue00");
}
