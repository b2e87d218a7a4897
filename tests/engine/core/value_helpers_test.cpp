#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "engine/core/color.h"
#include "engine/core/container_ptr.h"
#include "engine/core/geometry.h"
#include "engine/core/random.h"
#include "engine/core/tween.h"
#include "platform/os.h"

namespace {

using vek::vec2;

TEST(ValueHelpersTest, ColorFromFloatsTruncatesAndClamps) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float r, g, b, a;
    vek::u32 packed;
  } cases[] = {
      {1.0f, 0.5f, 0.0f, 1.0f, 0xFFFF7F00u},  // 0.5 x 255 truncates to 127
      {0.0f, 0.0f, 0.0f, 0.0f, 0x00000000u},
      {0.2f, 0.4f, 0.6f, 0.8f, 0xCC336699u},
      // Outside 0..1 clamps instead of wrapping (1.5 would wrap to 0x7E, -0.5 to 0x81).
      {1.5f, -0.5f, 2.0f, -1.0f, 0x00FF00FFu},
      {nan, 1.0f, nan, 1.0f, 0xFF00FF00u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vek::ColorFromFloats(c.r, c.g, c.b, c.a), c.packed) << std::hex << c.packed;
  }
}

TEST(ValueHelpersTest, RandomIsTheGamesGenerator) {
  vek::SetRandomSeed(0);
  EXPECT_EQ(vek::Random(0, 99), 1u);
  EXPECT_EQ(vek::GetRandomSeed(), 1u);

  vek::SetRandomSeed(7);
  EXPECT_EQ(vek::Random(3, 3), 3u);
  EXPECT_EQ(vek::GetRandomSeed(), 7u * 69069u + 1u);  // still advanced

  vek::SetRandomSeed(7);
  EXPECT_EQ(vek::Random(0, 0xFFFFFFFFu), 0u);
  EXPECT_EQ(vek::GetRandomSeed(), 7u);  // untouched

  // Only the low 15 bits of the seed are drawn, and the seed wraps.
  vek::SetRandomSeed(0xFFFFFFFFu);
  vek::u32 next = 0xFFFFFFFFu * 69069u + 1u;
  EXPECT_EQ(vek::Random(10, 100000), 10u + (next & 0x7FFF) % 99991u);
  // A range of negative values wraps back as two's complement.
  vek::SetRandomSeed(123);
  for (int i = 0; i < 100; ++i) {
    int v = static_cast<int>(vek::Random(static_cast<vek::u32>(-5), 5));
    EXPECT_GE(v, -5);
    EXPECT_LE(v, 5);
  }
}

TEST(ValueHelpersTest, GetDayTimeReadsTheClock) {
  auto os = std::make_unique<plat::FixedOs>();
  os->dayTime = 3600.0 * 13 + 60.0 * 5 + 7.25;
  plat::SetOs(std::move(os));
  EXPECT_FLOAT_EQ(vek::GetDayTime(), 47107.25f);
  plat::SetOs(nullptr);
}

TEST(ValueHelpersTest, RectangleEdgesAreOutside) {
  vek::rectf r{10.0f, 20.0f, 30.0f, 40.0f};
  EXPECT_TRUE(r.Contains(11.0f, 21.0f));
  EXPECT_TRUE(r.Contains(vec2(39.9f, 59.9f)));
  for (vec2 p : {vec2(10, 30), vec2(40, 30), vec2(20, 20), vec2(20, 60), vec2(5, 30)}) {
    EXPECT_FALSE(r.Contains(p)) << p.x << "," << p.y;
  }
}

TEST(ValueHelpersTest, EdgeCrossesRayCountsEdgesAboveThePoint) {
  // The point lies below the edge (0,10)-(10,0) and above (0,0)-(10,0).
  EXPECT_TRUE(vek::EdgeCrossesRay(vec2(0, 10), vec2(10, 0), vec2(2, 2)));
  EXPECT_TRUE(vek::EdgeCrossesRay(vec2(10, 0), vec2(0, 10), vec2(2, 2)));  // either direction
  EXPECT_FALSE(vek::EdgeCrossesRay(vec2(0, 0), vec2(10, 0), vec2(2, 2)));
  // Half-open in x: the right end counts, the left end does not.
  EXPECT_TRUE(vek::EdgeCrossesRay(vec2(0, 10), vec2(10, 10), vec2(10, 0)));
  EXPECT_FALSE(vek::EdgeCrossesRay(vec2(0, 10), vec2(10, 10), vec2(0, 0)));
  EXPECT_FALSE(vek::EdgeCrossesRay(vec2(5, 0), vec2(5, 10), vec2(5, -1)));  // vertical
}

TEST(ValueHelpersTest, PointInPolygonTestsTheClosingEdge) {
  // Only the closing edge (0,10)-(10,0) lies above the point: without it the point would be
  // outside.
  std::vector<vec2> triangle = {vec2(10, 0), vec2(0, 0), vec2(0, 10)};
  EXPECT_TRUE(vek::PointInPolygon(triangle, vec2(2, 2)));
  EXPECT_FALSE(vek::PointInPolygon(triangle, vec2(8, 8)));
  EXPECT_FALSE(vek::PointInPolygon(triangle, vec2(-1, 2)));

  // Data that repeats its first point at the end gives the same answers.
  std::vector<vec2> square = {vec2(0, 0), vec2(10, 0), vec2(10, 10), vec2(0, 10)};
  std::vector<vec2> closed = square;
  closed.push_back(square.front());
  for (vec2 p : {vec2(5, 5), vec2(0.5f, 9.5f), vec2(15, 5), vec2(5, -1), vec2(5, 11)}) {
    EXPECT_EQ(vek::PointInPolygon(square, p), vek::PointInPolygon(closed, p));
  }
  EXPECT_TRUE(vek::PointInPolygon(square, vec2(5, 5)));
  EXPECT_FALSE(vek::PointInPolygon(square, vec2(15, 5)));

  EXPECT_FALSE(vek::PointInPolygon({vec2(0, 0), vec2(10, 10)}, vec2(5, 5)));
  EXPECT_FALSE(vek::PointInPolygon({}, vec2(0, 0)));
}

TEST(ValueHelpersTest, VectorAndFloatHelpers) {
  vec2 v(3, 4);
  EXPECT_FLOAT_EQ(v.Length(), 5.0f);
  v.Normalize();
  EXPECT_FLOAT_EQ(v.x, 0.6f);
  EXPECT_FLOAT_EQ(v.y, 0.8f);
  vec2 tiny(1e-8f, 0.0f);
  EXPECT_EQ(tiny.Normalize(), vec2(0, 0));
  EXPECT_EQ(vec2(5, 7) - vec2(2, 3), vec2(3, 4));

  EXPECT_FLOAT_EQ(vek::Clamp(5, 0, 10), 5);
  EXPECT_FLOAT_EQ(vek::Clamp(-5, 0, 10), 0);
  EXPECT_FLOAT_EQ(vek::Clamp(15, 0, 10), 10);
  EXPECT_FLOAT_EQ(vek::Clamp(5, 10, 0), 0);  // high wins when low is above high
  EXPECT_FLOAT_EQ(vek::AbsValue(-2.5f), 2.5f);

  EXPECT_TRUE((vek::point{1, 2} == vek::point{1, 2}));
  EXPECT_TRUE((vek::point{1, 2} != vek::point{1, 3}));
  EXPECT_TRUE((vek::point{1, 2} != vek::point{0, 2}));

  float src[16], dst[16] = {};
  for (int i = 0; i < 16; ++i) src[i] = static_cast<float>(i) * 1.5f;
  vek::MatrixCopy(dst, src);
  EXPECT_EQ(std::vector<float>(dst, dst + 16), std::vector<float>(src, src + 16));
}

TEST(ValueHelpersTest, FloatTween) {
  vek::cAnimatedFloat t;
  t.current = 2.0f;
  t.SetTarget(2.0f);  // already there: arrives at once
  EXPECT_FLOAT_EQ(t.duration, 0.0f);
  EXPECT_FALSE(t.IsRunning());
  EXPECT_EQ(t.Update(0.1f), vek::e_TweenAtRest);

  t.speed = 2.0f;
  t.SetTarget(3.0f);  // 1 unit at 2 per second: half a second
  EXPECT_FLOAT_EQ(t.duration, 0.5f);
  EXPECT_TRUE(t.IsRunning());
  EXPECT_EQ(t.Update(0.25f), vek::e_TweenRunning);
  EXPECT_FLOAT_EQ(t.current, 2.5f);
  EXPECT_EQ(t.Update(0.5f), vek::e_TweenArrived);
  EXPECT_FLOAT_EQ(t.current, 3.0f);
  EXPECT_FLOAT_EQ(t.elapsed, 0.5f);
  EXPECT_EQ(t.Update(0.1f), vek::e_TweenAtRest);

  t.SetTarget(1.0f);  // downwards
  EXPECT_EQ(t.Update(0.25f), vek::e_TweenRunning);
  EXPECT_FLOAT_EQ(t.current, 2.5f);
}

TEST(ValueHelpersTest, Vec2Tween) {
  vek::cAnimatedVec2 t;
  t.speed = 5.0f;
  t.SetTarget(vec2(3, 4));  // 5 units: one second
  EXPECT_FLOAT_EQ(t.duration, 1.0f);
  EXPECT_EQ(t.Update(0.5f), vek::e_TweenRunning);
  EXPECT_FLOAT_EQ(t.current.x, 1.5f);
  EXPECT_FLOAT_EQ(t.current.y, 2.0f);

  // A new speed re-times the rest of the way from the current point.
  t.SetSpeed(25.0f);
  EXPECT_FLOAT_EQ(t.duration, 0.1f);
  EXPECT_FLOAT_EQ(t.elapsed, 0.0f);
  EXPECT_EQ(t.Update(0.2f), vek::e_TweenArrived);
  EXPECT_EQ(t.current, vec2(3, 4));
  EXPECT_EQ(t.Update(0.2f), vek::e_TweenAtRest);
  t.SetTarget(vec2(3, 4));
  EXPECT_FALSE(t.IsRunning());
}

struct Named {
  explicit Named(std::string n) : name(std::move(n)) {}
  std::string name;
};

TEST(ValueHelpersTest, ContainerLookUpsFallBackToTheFirstElement) {
  vek::cContainerPtr<Named> c(10, 2);
  EXPECT_EQ(c.Get(0), nullptr);  // nothing yet
  EXPECT_EQ(c.Add(new Named("a")), 2u);
  EXPECT_EQ(c.Add(new Named("default"), true), 0u);  // fills the first reserved slot
  EXPECT_EQ(c.Add(new Named("b")), 3u);
  EXPECT_EQ(c.Add(new Named("b")), 4u);
  EXPECT_EQ(c.Count(), 5u);

  EXPECT_EQ(c.FindIndex("b"), 3u);  // the first of equal names
  EXPECT_EQ(c.FindIndex("B"), 0u);  // exact comparison
  EXPECT_EQ(c.FindIndex("none"), 0u);
  EXPECT_EQ(c.FindItem("a")->name, "a");
  EXPECT_EQ(c.FindItem("none")->name, "default");
  EXPECT_EQ(c.Get(1)->name, "default");  // the empty reserved slot
  EXPECT_EQ(c.Get(99)->name, "default");
  EXPECT_EQ(c.Default()->name, "default");
}

}  // namespace
