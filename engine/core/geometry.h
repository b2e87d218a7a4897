#pragma once
// Small geometric values: the 2-D vector, integer points, float rectangles, the polygon
// containment test and a few float helpers.
#include <vector>

#include "engine/core/types.h"
#include "engine/core/vec.h"

namespace vek {

// An integer point; equal when both coordinates are.
struct point {
  i32 x = 0;
  i32 y = 0;
  bool operator==(const point& o) const { return x == o.x && y == o.y; }
  bool operator!=(const point& o) const { return !(*this == o); }
};

// A float rectangle {x, y, w, h}.
struct rectf {
  f32 x = 0.0f;
  f32 y = 0.0f;
  f32 w = 0.0f;
  f32 h = 0.0f;

  // Strictly inside: a point on any edge is outside.
  bool Contains(f32 px, f32 py) const { return x < px && px < x + w && y < py && py < y + h; }
  bool Contains(const vec2& p) const { return Contains(p.x, p.y); }
};

f32 AbsValue(f32 v);
// The larger of value and low, then the smaller of that and high (high wins when low > high).
f32 Clamp(f32 value, f32 low, f32 high);

// Whether the upward ray test counts the edge a-b for the point p: with left the end of
// smaller x (b when b.x <= a.x), true when left.x < p.x <= right.x and p lies strictly below
// the edge.
bool EdgeCrossesRay(const vec2& a, const vec2& b, const vec2& p);

// Whether the point lies inside the polygon (odd number of crossed edges, the closing edge
// from the last point back to the first included). Fewer than 3 points contain nothing.
bool PointInPolygon(const std::vector<vec2>& polygon, const vec2& p);

// Copies a 4 x 4 matrix (16 floats).
void MatrixCopy(f32* dst, const f32* src);

}  // namespace vek
