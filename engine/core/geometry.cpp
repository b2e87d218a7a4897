#include "engine/core/geometry.h"

#include <cmath>
#include <cstring>

namespace vek {

f32 AbsValue(f32 v) { return std::fabs(v); }

f32 Clamp(f32 value, f32 low, f32 high) {
  f32 v = value > low ? value : low;
  return v < high ? v : high;
}

bool EdgeCrossesRay(const vec2& a, const vec2& b, const vec2& p) {
  const vec2& left = b.x <= a.x ? b : a;
  const vec2& right = b.x <= a.x ? a : b;
  if (!(left.x < p.x && p.x <= right.x)) return false;
  return (right.x - left.x) * (p.y - left.y) - (p.x - left.x) * (right.y - left.y) < 0.0f;
}

bool PointInPolygon(const std::vector<vec2>& polygon, const vec2& p) {
  size_t n = polygon.size();
  if (n < 3) return false;
  size_t crossings = 0;
  for (size_t i = 0; i < n; ++i) {
    // The last edge closes the polygon (a repeated first point makes it empty: never counted).
    if (EdgeCrossesRay(polygon[i], polygon[(i + 1) % n], p)) ++crossings;
  }
  return (crossings & 1) != 0;
}

void MatrixCopy(f32* dst, const f32* src) { std::memcpy(dst, src, 16 * sizeof(f32)); }

}  // namespace vek
