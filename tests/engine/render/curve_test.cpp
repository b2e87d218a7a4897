#include "engine/render/curve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using vek::curve;
using vek::curve_CatmullRomSpline;
using vek::curve_Spline;
using vek::vec2;
using Spline = curve_CatmullRomSpline<vec2>;

#define EXPECT_VEC_NEAR(a, b, tol)      \
  do {                                  \
    const vec2 a_ = (a), b_ = (b);      \
    EXPECT_NEAR(a_.x, b_.x, tol);       \
    EXPECT_NEAR(a_.y, b_.y, tol);       \
  } while (0)

Spline Make(const std::vector<float>& params, const std::vector<vec2>& keys, unsigned mode = 0,
            float span = 0.0f) {
  Spline s;
  for (size_t i = 0; i < params.size(); ++i) s.AddKey(keys[i], params[i]);
  s.SetMode(mode);
  s.SetClosingSpan(span);
  return s;
}

TEST(Curve, AddKeyKeepsKeysSortedAndEqualParametersGoFirst) {
  curve<vec2> c;
  c.AddKey(vec2(2, 0), 2.0f);
  c.AddKey(vec2(0, 0), 0.0f);
  c.AddKey(vec2(1, 0), 1.0f);
  c.AddKey(vec2(9, 9), 1.0f);  // same parameter as an existing key: goes before it
  EXPECT_EQ(c.GetParams(), (std::vector<float>{0, 1, 1, 2}));
  std::vector<float> xs;
  for (const vec2& k : c.GetKeys()) xs.push_back(k.x);
  EXPECT_EQ(xs, (std::vector<float>{0, 9, 1, 2}));

  c.RemoveKey(1);
  c.RemoveKey(7);  // outside: nothing
  EXPECT_EQ(c.GetParams(), (std::vector<float>{0, 1, 2}));
  EXPECT_FALSE(c.IsChanged());
  c.Clear();
  EXPECT_EQ(c.GetKeyCount(), 0u);
  EXPECT_TRUE(c.IsChanged());
}

TEST(Curve, SegmentSearchIsTheCountOfSmallerParameters) {
  curve<vec2> c;
  for (float p : {0.0f, 1.0f, 2.0f}) c.AddKey(vec2(p, 0), p);
  const struct {
    float t;
    int u;
  } cases[] = {{-1, 0}, {0, 0}, {0.5f, 1}, {1, 1}, {1.5f, 2}, {2, 2}, {5, 3}};
  for (const auto& k : cases) EXPECT_EQ(c.FindSegment(k.t), k.u) << k.t;

  // The cached segment only speeds the search up: any order of queries, also after keys were
  // removed behind the cache, gives the count of smaller parameters.
  curve<vec2> d;
  for (int i = 0; i < 8; ++i) d.AddKey(vec2(), static_cast<float>(i % 4 == 3 ? i - 1 : i));
  std::vector<float> queries;
  for (int i = -4; i < 40; ++i) queries.push_back(static_cast<float>((i * 7) % 19) * 0.5f - 1.0f);
  for (int round = 0; round < 2; ++round) {
    for (float t : queries) {
      const auto& p = d.GetParams();
      const int expect = static_cast<int>(std::lower_bound(p.begin(), p.end(), t) - p.begin());
      ASSERT_EQ(d.FindSegment(t), expect) << t;
    }
    d.FindSegment(100.0f);  // cache at the end, then shrink the curve below it
    d.RemoveKey(7);
    d.RemoveKey(6);
  }
}

TEST(Curve, StepCurveAndReparametrize) {
  curve_Spline<vec2> c;  // the plain spline evaluates as steps too
  for (int i = 0; i < 5; ++i) c.AddKey(vec2(static_cast<float>(i), 0), static_cast<float>(i * i));
  EXPECT_EQ(c.GetPosition(-3.0f).x, 0.0f);
  EXPECT_EQ(c.GetPosition(2.0f).x, 2.0f);  // segment 2: key 2, no interpolation
  EXPECT_EQ(c.GetPosition(100.0f).x, 4.0f);
  EXPECT_EQ(c.GetDerivative(2.0f), vec2());
  EXPECT_EQ(c.GetSecondDerivative(2.0f), vec2());

  c.Reparametrize(10.0f);
  EXPECT_EQ(c.GetParams(), (std::vector<float>{0, 2.5f, 5, 7.5f, 10}));
  EXPECT_FALSE(c.IsPastEnd(10.0f));
  EXPECT_TRUE(c.IsPastEnd(10.5f));

  curve<vec2> one;
  one.AddKey(vec2(3, 4), 7.0f);
  one.Reparametrize(10.0f);  // one key: no division by zero
  EXPECT_EQ(one.GetParam(0), 0.0f);
}

TEST(CatmullRom, PassesThroughItsKeys) {
  const Spline s = Make({0, 1, 3, 3.5f, 6}, {{0, 0}, {1, 2}, {4, -1}, {5, 5}, {2, 2}});
  for (unsigned i = 0; i < s.GetKeyCount(); ++i) {
    Spline c = s;  // evaluation moves the cache; work on copies
    EXPECT_VEC_NEAR(c.GetPosition(s.GetParam(i)), s.GetKey(i), 1e-5f);
  }
}

TEST(CatmullRom, DerivativesMatchTheChangeOfPosition) {
  for (unsigned mode : {0u, 2u}) {
    Spline s = Make({0, 1, 3, 3.5f, 6}, {{0, 0}, {1, 2}, {4, -1}, {5, 5}, {2, 2}}, mode, 1.5f);
    const float h = 1e-3f;
    for (float t : {-0.7f, 0.4f, 2.2f, 3.2f, 4.9f, 6.6f, 7.0f}) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " t " << t);
      const vec2 d = s.GetDerivative(t);
      const vec2 numeric = (s.GetPosition(t + h) - s.GetPosition(t - h)) * (0.5f / h);
      EXPECT_VEC_NEAR(d, numeric, 2e-2f);
      const vec2 dd = s.GetSecondDerivative(t);
      const vec2 numeric2 = (s.GetDerivative(t + h) - s.GetDerivative(t - h)) * (0.5f / h);
      EXPECT_VEC_NEAR(dd, numeric2, 5e-2f);
    }
  }
}

TEST(CatmullRom, OpenAndClampedEnds) {
  // Keys on a line at equal steps: the open spline is that line, also beyond both ends.
  Spline line = Make({0, 1, 2, 3}, {{0, 0}, {2, 1}, {4, 2}, {6, 3}});
  for (float t : {-2.0f, -0.5f, 0.25f, 1.5f, 2.75f, 3.5f, 5.0f}) {
    EXPECT_VEC_NEAR(line.GetPosition(t), vec2(2 * t, t), 1e-4f);
    EXPECT_VEC_NEAR(line.GetDerivative(t), vec2(2, 1), 1e-4f);
    EXPECT_VEC_NEAR(line.GetSecondDerivative(t), vec2(0, 0), 1e-4f);
  }

  // Before the first parameter an open spline continues along the first segment's direction;
  // a clamped one stays on the first key with the derivative it has there.
  Spline open = Make({0, 1, 2}, {{0, 0}, {1, 0}, {1, 1}});
  const vec2 before = open.GetPosition(-0.5f);
  EXPECT_NEAR(before.y, 0.0f, 1e-5f);
  EXPECT_LT(before.x, 0.0f);
  Spline clamped = Make({0, 1, 2}, {{0, 0}, {1, 0}, {1, 1}}, 1);
  EXPECT_VEC_NEAR(clamped.GetPosition(-0.5f), vec2(0, 0), 1e-6f);
  EXPECT_VEC_NEAR(clamped.GetPosition(9.0f), vec2(1, 1), 1e-6f);
  const vec2 startSlope = clamped.GetDerivative(0.0f);
  EXPECT_GT(startSlope.x, 0.0f);
  EXPECT_VEC_NEAR(clamped.GetDerivative(-3.0f), startSlope, 1e-6f);
  EXPECT_TRUE(clamped.IsPastEnd(2.5f));
}

TEST(CatmullRom, ClosedLoop) {
  Spline s = Make({0, 1, 2}, {{0, 0}, {4, 0}, {4, 4}}, 2, 1.0f);
  // Half way along the closing segment, between the last key and the first.
  const vec2 p = s.GetPosition(2.5f);
  EXPECT_GT(p.x, 0.0f);
  EXPECT_LT(p.x, 4.0f);
  EXPECT_GT(p.y, 0.0f);
  EXPECT_LT(p.y, 4.0f);
  EXPECT_VEC_NEAR(s.GetPosition(3.0f), vec2(0, 0), 1e-5f);  // one period on: the first key
  EXPECT_FALSE(s.IsPastEnd(1000.0f));
  EXPECT_EQ(s.GetClosingSpan(), 1.0f);
  s.SetMode(0);
  EXPECT_EQ(s.GetClosingSpan(), 0.0f);

  // Two keys: the neighbours two places before the first key wrap round properly.
  Spline two = Make({0, 1}, {{0, 0}, {2, 0}}, 2, 1.0f);
  EXPECT_VEC_NEAR(two.GetPosition(-0.5f), vec2(1, 0), 1e-5f);
  EXPECT_VEC_NEAR(two.GetPosition(1.5f), vec2(1, 0), 1e-5f);
  EXPECT_VEC_NEAR(two.GetPosition(0.0f), vec2(0, 0), 1e-5f);
}

TEST(CatmullRom, DegenerateCurvesStayFinite) {
  Spline none;
  EXPECT_EQ(none.GetPosition(1.0f), vec2());
  EXPECT_EQ(none.GetDerivative(1.0f), vec2());
  EXPECT_TRUE(none.IsPastEnd(0.0f));
  none.SetMode(2);
  EXPECT_EQ(none.GetPosition(1.0f), vec2());
  curve<vec2> plain;
  EXPECT_EQ(plain.GetPosition(0.0f), vec2());

  for (unsigned mode : {0u, 1u, 2u}) {
    Spline one = Make({5}, {{3, 4}}, mode, 1.0f);
    for (float t : {-10.0f, 5.0f, 20.0f}) {
      EXPECT_EQ(one.GetPosition(t), vec2(3, 4));
      EXPECT_EQ(one.GetDerivative(t), vec2());
      EXPECT_EQ(one.GetSecondDerivative(t), vec2());
    }
  }

  // Equal parameters at the ends, and a closing span that leaves the wrap segment empty.
  const auto finite = [](const vec2& v) { return std::isfinite(v.x) && std::isfinite(v.y); };
  Spline ends = Make({0, 0, 1, 1}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}});
  EXPECT_EQ(ends.GetPosition(-1.0f), ends.GetKey(0));
  EXPECT_EQ(ends.GetPosition(2.0f), ends.GetKey(3));
  EXPECT_EQ(ends.GetDerivative(2.0f), vec2());
  Spline same = Make({1, 1}, {{0, 0}, {1, 0}}, 1);
  EXPECT_TRUE(finite(same.GetPosition(1.0f)));
  EXPECT_TRUE(finite(same.GetSecondDerivative(1.0f)));
  Spline closed = Make({0, 1}, {{0, 0}, {1, 0}}, 2, 0.0f);  // wrap from 1 back to 0 takes no time
  for (float t : {-0.5f, 0.0f, 0.5f, 1.5f}) {
    EXPECT_TRUE(finite(closed.GetPosition(t))) << t;
    EXPECT_TRUE(finite(closed.GetDerivative(t))) << t;
  }
}

}  // namespace
