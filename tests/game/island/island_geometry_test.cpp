// The island map's geometry rules.
#include <gtest/gtest.h>

#include "engine/core/random.h"
#include "game/island/island_geometry.h"
#include "game/island/island_walkers.h"

using vek::rectf;
using vek::vec2;

TEST(IslandGeometry, RectanglesOverlapOnlyWhenTheyShareArea) {
  const rectf a{0, 0, 10, 10};
  EXPECT_TRUE(RectsOverlap(a, {5, 5, 10, 10}));
  EXPECT_TRUE(RectsOverlap(a, {2, 2, 1, 1}));
  EXPECT_FALSE(RectsOverlap(a, {10, 0, 5, 5}));   // touching on the right
  EXPECT_FALSE(RectsOverlap(a, {0, -5, 5, 5}));   // touching below
  EXPECT_FALSE(RectsOverlap(a, {20, 20, 5, 5}));
}

TEST(IslandGeometry, RectanglesInAreas) {
  cIslandArea square{{{0, 0}, {100, 0}, {100, 100}, {0, 100}}, {}};
  cIslandArea thin{{{0, 0}, {100, 0}}, {}};  // fewer than three points hold nothing
  const std::vector<cIslandArea> areas = {thin, square};
  EXPECT_TRUE(IsRectInArea({10, 10, 20, 20}, square));
  EXPECT_FALSE(IsRectInArea({90, 10, 20, 20}, square));
  EXPECT_FALSE(IsRectInArea({10, 10, 20, 20}, thin));
  EXPECT_EQ(FindAreaForRect({10, 10, 20, 20}, areas), 1u);
  EXPECT_EQ(FindAreaForRect({200, 10, 20, 20}, areas), 2u);
}

TEST(IslandGeometry, EdgeCrossesRayAtTheEdgeEnds) {
  // The edge from (0, 10) to (10, 10); points below it count when left.x < p.x <= right.x.
  const vec2 a(0, 10), b(10, 10);
  EXPECT_TRUE(vek::EdgeCrossesRay(a, b, {10, 5}));   // at the right end's x
  EXPECT_FALSE(vek::EdgeCrossesRay(a, b, {0, 5}));   // at the left end's x
  EXPECT_FALSE(vek::EdgeCrossesRay(a, b, {5, 15}));  // above
  EXPECT_TRUE(vek::EdgeCrossesRay(b, a, {5, 5}));    // either direction
}

TEST(IslandGeometry, MarkerHitBoxIsStrictAndOnlyOpenMarkersAnswer) {
  const std::vector<vec2> markers = {{100, 100}, {300, 100}, {100, 100}};
  EXPECT_EQ(FindMarkerAt(markers, {100, 100}, 0, e_islMap), 0);
  EXPECT_EQ(FindMarkerAt(markers, {117.9f, 129.9f}, 0, e_islMap), 0);
  EXPECT_EQ(FindMarkerAt(markers, {118, 100}, 0, e_islMap), -1);  // exactly 18 beside
  EXPECT_EQ(FindMarkerAt(markers, {82, 100}, 0, e_islMap), -1);
  EXPECT_EQ(FindMarkerAt(markers, {100, 130}, 0, e_islMap), -1);
  EXPECT_EQ(FindMarkerAt(markers, {300, 100}, 0, e_islMap), -1);  // not open yet
  EXPECT_EQ(FindMarkerAt(markers, {300, 100}, 1, e_islMap), 1);
  EXPECT_EQ(FindMarkerAt(markers, {300, 100}, 0, e_islShowAll), 1);
  EXPECT_EQ(FindMarkerAt(markers, {300, 100}, -1, e_islShowAll2), 1);
  EXPECT_EQ(FindMarkerAt(markers, {100, 100}, -1, e_islMap), -1);
}

TEST(IslandGeometry, MarkersAndDotsShownByProgress) {
  struct Case {
    vek::u32 dots, markers;
    vek::i32 progress, mode;
    vek::u32 visibleMarkers, visibleDots;
  } cases[] = {
      {3, 2, 0, e_islMap, 1, 0},        // the first marker, no dot
      {3, 2, 1, e_islMap, 2, 3},        // both markers, the three dots between them
      {132, 45, 2, e_islMap, 3, 6},
      {132, 45, 44, e_islMap, 45, 132},
      {132, 45, 0, e_islShowAll, 45, 132},
      {132, 45, 0, e_islShowAll2, 45, 132},
      {132, 45, 5, e_islNone, 6, 0},
      {0, 1, 3, e_islMap, 1, 0},        // one marker: no dots
      {2, 5, 1, e_islMap, 2, 1},        // fewer dots than segments: one dot per segment
      {132, 45, -1, e_islMap, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VisibleMarkerCount(c.markers, c.progress, c.mode), c.visibleMarkers)
        << c.markers << " markers, progress " << c.progress << ", mode " << c.mode;
    EXPECT_EQ(VisibleDotCount(c.dots, c.markers, c.progress, c.mode), c.visibleDots)
        << c.dots << " dots, progress " << c.progress << ", mode " << c.mode;
  }
}

TEST(IslandGeometry, ScrollingIsLockedOnTheMapUntilLevelSeven) {
  EXPECT_FALSE(CanScroll(e_islMap, 6, -1));
  EXPECT_TRUE(CanScroll(e_islMap, 7, -1));
  EXPECT_TRUE(CanScroll(e_islMap, 7, 3));   // the scrolling tip itself
  EXPECT_FALSE(CanScroll(e_islMap, 7, 2));
  EXPECT_FALSE(CanScroll(e_islAfterLevel, 44, -1));
  EXPECT_FALSE(CanScroll(e_islNone, 44, -1));
  for (vek::i32 mode : {3, 4, 5}) EXPECT_TRUE(CanScroll(mode, 0, 2)) << mode;
}

TEST(IslandGeometry, ScrollClamping) {
  const vec2 map(1536, 2304);
  EXPECT_EQ(ClampScroll({-5, 9000}, map), vec2(0, 1536));
  EXPECT_EQ(ClampScroll({600, 10}, map), vec2(512, 10));
  EXPECT_EQ(ScrollToward({412, 1971}, map), vec2(0, 1536));
  EXPECT_EQ(ScrollToward({1000, 1000}, map), vec2(488, 616));
  // A map smaller than the screen keeps the offset at map size minus screen size.
  EXPECT_EQ(ClampScroll({50, 50}, {800, 600}), vec2(-224, -168));
}

TEST(IslandGeometry, AreaMeshesAndWalkerGround) {
  cIslandPaths paths;
  paths.areas = {{{{0, 0}, {200, 0}, {200, 100}, {0, 100}}, {{0, 1, 2}, {0, 2, 3}}}};
  paths.walkways = {{10, 10}, {300, 300}, {20, 20}};
  const auto mesh = BuildAreaMesh(paths.areas[0], 400.0f, 200.0f);
  ASSERT_EQ(mesh.size(), 6u);
  EXPECT_EQ(mesh[2].x, 200.0f);
  EXPECT_EQ(mesh[2].y, 100.0f);
  EXPECT_EQ(mesh[2].u, 0.5f);
  EXPECT_EQ(mesh[2].v, 0.5f);
  EXPECT_EQ(mesh[2].color, 0xFFFFFFFFu);
  EXPECT_EQ(BuildAreaMesh(paths.areas[0], 0.0f, 0.0f)[2].u, 0.0f);

  cIslandWalkers walkers;
  FillWalkerGround(walkers, paths);
  EXPECT_EQ(walkers.GetRegionCount(), 1u);
  EXPECT_EQ(walkers.FindRegion({100, 50}), 0u);
  EXPECT_EQ(walkers.FindLink(0, 1), 0u);  // the odd last point is left out
}

TEST(IslandGeometry, HousePlaceIsTheNearestMarkerOfTheSameBuilding) {
  const std::vector<vec2> markers = {{0, 0}, {100, 0}, {200, 0}, {300, 0}};
  const std::vector<vek::string> levels = {"house00", "market00", "house00", "house00"};
  EXPECT_EQ(FindHousePlace({90, 0}, "house00", markers, levels), 0);   // market00's marker is nearer
  EXPECT_EQ(FindHousePlace({100, 0}, "house00", markers, levels), 0);  // a tie: the lower level
  EXPECT_EQ(FindHousePlace({240, 0}, "house00", markers, levels), 2);
  EXPECT_EQ(FindHousePlace({0, 0}, "market00", markers, levels), 1);
  EXPECT_EQ(FindHousePlace({0, 0}, "statue00", markers, levels), -1);
}

TEST(IslandGeometry, PeoplePlaces) {
  EXPECT_EQ(PeoplePlaces(3, 0, {}), (std::vector<vec2>{{412, 1971}, {412, 1951}, {412, 1931}}));
  EXPECT_EQ(PeoplePlaces(5, 1, {}), std::vector<vec2>(5, vec2(290, 1588)));
  EXPECT_EQ(PeoplePlaces(1, 1, {{5, 5}}), std::vector<vec2>(1, vec2(290, 1588)));
  EXPECT_TRUE(PeoplePlaces(0, 1, {{5, 5}}).empty());
  // A crowd goes to the built buildings, drawn with the game's generator.
  const std::vector<vec2> built = {{10, 10}, {20, 20}, {30, 30}};
  vek::SetRandomSeed(0);
  const auto crowd = PeoplePlaces(40, 1, built);
  ASSERT_EQ(crowd.size(), 40u);
  vek::u32 seed = 0;
  int seen[3] = {};
  for (const vec2& p : crowd) {
    seed = seed * 69069u + 1u;
    EXPECT_EQ(p, built[(seed & 0x7FFFu) % 3]);
    ++seen[static_cast<int>(p.x) / 10 - 1];
  }
  for (int n : seen) EXPECT_GT(n, 0);
}
