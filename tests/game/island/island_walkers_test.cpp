// Walker route planning, walking and fading.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/random.h"
#include "game/island/island_walkers.h"

using vek::vec2;

namespace {

std::vector<vec2> Box(float x0, float y0, float x1, float y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// Three regions side by side; the arrival target lies in the last. Two links lead from the
// first into the second (one high, one low), one from the second into the third.
struct ThreeRegions : ::testing::Test {
  void SetUp() override {
    vek::SetRandomSeed(12345);
    for (auto box : {Box(0, 1500, 100, 1700), Box(100, 1500, 200, 1700), Box(200, 1500, 300, 1700)})
      walkers.AddRegion(box.data(), static_cast<vek::u32>(box.size()));
    walkers.SetLinks({{90, 1690}, {110, 1690}, {90, 1510}, {110, 1510}, {190, 1600}, {210, 1600}});
    walkers.SetFigure({16, 24}, 4, 3, 0.1f);
  }
  cIslandWalkers walkers;
};

}  // namespace

TEST_F(ThreeRegions, RegionsLinksAndBounds) {
  EXPECT_EQ(walkers.FindRegion({50, 1600}), 0u);
  EXPECT_EQ(walkers.FindRegion({250, 1600}), 2u);
  EXPECT_EQ(walkers.FindRegion({350, 1600}), 3u);
  EXPECT_EQ(walkers.FindLink(0, 1), 0u);
  EXPECT_EQ(walkers.FindLink(1, 2), 4u);
  EXPECT_EQ(walkers.FindLink(1, 0), 6u);
  const vek::rectf b = walkers.GetBounds();
  EXPECT_EQ(b.x, 0.0f);
  EXPECT_EQ(b.y, 1500.0f);
  EXPECT_EQ(b.w, 300.0f);
  EXPECT_EQ(b.h, 200.0f);
  walkers.ClearRegions();
  EXPECT_EQ(walkers.GetBounds().w, 0.0f);
}

TEST_F(ThreeRegions, ArrivalTakesTheNearerOfTwoLinksAndEndsAtTheTarget) {
  cWalker& w = walkers.AddWalker({20, 1520});
  ASSERT_TRUE(walkers.RouteToArrival(w));
  const std::vector<vec2> expected = {{20, 1520}, {90, 1510}, {110, 1510},
                                      {190, 1600}, {210, 1600}, {290, 1588}};
  EXPECT_EQ(w.points, expected);
  // A quarter of each step's length.
  EXPECT_NEAR(w.distances[1], std::sqrt(70.0f * 70.0f + 10.0f * 10.0f) / 4.0f, 1e-4f);
  EXPECT_NEAR(w.distances[2] - w.distances[1], 5.0f, 1e-4f);

  cWalker& high = walkers.AddWalker({20, 1680});
  ASSERT_TRUE(walkers.RouteToArrival(high));
  EXPECT_EQ(high.points[1], vec2(90, 1690));
}

TEST_F(ThreeRegions, ArrivalFailsWithoutAChainOrOffTheGround) {
  walkers.SetLinks({{90, 1690}, {110, 1690}});  // no way from the second region on
  cWalker& w = walkers.AddWalker({20, 1520});
  EXPECT_FALSE(walkers.RouteToArrival(w));
  EXPECT_EQ(w.points.size(), 1u);
  cWalker& off = walkers.AddWalker({-50, 1520});
  EXPECT_FALSE(walkers.RouteToArrival(off));
  EXPECT_EQ(off.points.size(), 1u);
}

TEST(IslandWalkers, ALongChainOfRegionsGrowsTheRoute) {
  // Twenty narrow regions in a row, each linked to the next: 40 route points.
  cIslandWalkers walkers;
  std::vector<vec2> links;
  for (int i = 0; i < 20; ++i) {
    const float x0 = -100.0f + 20.0f * i;
    auto box = Box(x0, 1500, x0 + 20, 1700);
    walkers.AddRegion(box.data(), 4);
    if (i < 19) {
      links.push_back({x0 + 18, 1600});
      links.push_back({x0 + 22, 1600});
    }
  }
  walkers.SetLinks(links);
  cWalker& w = walkers.AddWalker({-95, 1600});
  ASSERT_TRUE(walkers.RouteToArrival(w));
  ASSERT_EQ(w.points.size(), 40u);
  EXPECT_EQ(w.points.back(), cIslandWalkers::ArrivalTarget());
  // The walker covers the whole route and arrives (within one step of 4/3 units).
  for (int step = 0; step < 300; ++step) {
    walkers.Update(1.0f / 30.0f);
    if (w.t > w.distances.back()) break;
    ASSERT_EQ(walkers.FindRegion(w.position) < 20u, true) << step;
  }
  EXPECT_NEAR(w.position.x, 290.0f, 1.4f);
  EXPECT_NEAR(w.position.y, 1588.0f, 1.4f);
}

TEST_F(ThreeRegions, StrollNearALinkCrossesItAndSkipsTheTarget) {
  cWalker& w = walkers.AddWalker({20, 1520});
  ASSERT_TRUE(walkers.RouteToStroll(w, {40, 1690}));  // 50 units from the high link
  EXPECT_EQ(w.points, (std::vector<vec2>{{20, 1520}, {90, 1690}, {110, 1690}}));
  ASSERT_TRUE(walkers.RouteToStroll(w, {40, 1600}));  // far from every link
  EXPECT_EQ(w.points, (std::vector<vec2>{{20, 1520}, {40, 1600}}));
  // Into another region, or off the ground: refused, the walker keeps its place.
  EXPECT_FALSE(walkers.RouteToStroll(w, {150, 1600}));
  EXPECT_FALSE(walkers.RouteToStroll(w, {150, 1400}));
  EXPECT_EQ(w.points.size(), 1u);
  // To where it stands: one step that counts 1.0.
  ASSERT_TRUE(walkers.RouteToStroll(w, w.position));
  EXPECT_EQ(w.distances, (std::vector<float>{0.0f, 1.0f}));
}

TEST_F(ThreeRegions, NoStrollUsesTheLinkIntoTheGuardedRegion) {
  auto guarded = Box(300, 1750, 400, 1900);  // holds the guarded point
  walkers.AddRegion(guarded.data(), 4);
  walkers.SetLinks({{90, 1600}, {350, 1800}, {190, 1600}, {210, 1600}});
  cWalker& w = walkers.AddWalker({20, 1520});
  ASSERT_TRUE(walkers.RouteToStroll(w, {60, 1600}));
  EXPECT_EQ(w.points, (std::vector<vec2>{{20, 1520}, {60, 1600}}));
}

TEST_F(ThreeRegions, ANewWalkerPlansAStrollInItsFirstUpdate) {
  cWalker& w = walkers.AddWalker({50, 1600});
  EXPECT_EQ(w.points.size(), 1u);
  EXPECT_EQ(w.size, vec2(16, 24));
  walkers.Update(1.0f / 30.0f);
  EXPECT_GE(w.points.size(), 2u);
  EXPECT_EQ(w.points[0], vec2(50, 1600));
  EXPECT_EQ(w.t, 0.0f);
}

TEST(IslandWalkers, ARandomPointOffTheGroundIsTheCentre) {
  cIslandWalkers walkers;
  vek::SetRandomSeed(1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(walkers.RandomPointNear({5, 5}, 128.0f), vec2(5, 5));
}

TEST_F(ThreeRegions, WalkersFadeBehindBuildingsAndComeBack) {
  cWalker& w = walkers.AddWalker({10, 1600});
  ASSERT_TRUE(walkers.RouteToStroll(w, {90, 1600}));
  vek::rectf* house = walkers.AddObstacle();
  *house = {0, 1500, 100, 200};
  const float dt = 0.1f;
  for (int i = 0; i < 20; ++i) walkers.Update(dt);
  EXPECT_GT(w.alpha, 0.0f);
  EXPECT_LE(w.alpha, dt + 1e-5f);
  const float faded = w.alpha;
  walkers.RemoveObstacle(house);
  walkers.RemoveObstacle(nullptr);
  EXPECT_EQ(walkers.GetObstacleCount(), 0u);
  for (int i = 0; i < 5; ++i) walkers.Update(dt);
  EXPECT_NEAR(w.alpha, faded + 0.5f, 1e-4f);
  for (int i = 0; i < 20; ++i) walkers.Update(dt);
  EXPECT_EQ(w.alpha, 1.0f);
}

TEST_F(ThreeRegions, FramesTurnWithTheFrameTime) {
  cWalker& w = walkers.AddWalker({50, 1600});
  ASSERT_TRUE(walkers.RouteToStroll(w, {50, 1520}));  // downwards: facing front
  w.frameTimer = 0.0f;
  for (int i = 0; i < 5; ++i) walkers.Update(0.06f);  // a frame every second update
  EXPECT_TRUE(w.facingFront);
  EXPECT_EQ(w.frame, 2u);
}
