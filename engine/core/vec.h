#pragma once
// Two- and three-component float vectors: the points of the 2-D drawing code, of the curves
// and of the 3-D scene layer. Plain values; the arithmetic that curves and tweens need.
#include <cmath>

#include "engine/core/types.h"

namespace vek {

// Lengths below this count as zero.
inline constexpr f32 kEpsilon = 1.1920929e-7f;

struct vec2 {
  f32 x = 0.0f;
  f32 y = 0.0f;

  vec2() = default;
  vec2(f32 ax, f32 ay) : x(ax), y(ay) {}

  vec2 operator+(const vec2& o) const { return vec2(x + o.x, y + o.y); }
  vec2 operator-(const vec2& o) const { return vec2(x - o.x, y - o.y); }
  vec2 operator*(f32 s) const { return vec2(x * s, y * s); }
  vec2& operator+=(const vec2& o) { x += o.x; y += o.y; return *this; }
  vec2& operator-=(const vec2& o) { x -= o.x; y -= o.y; return *this; }
  bool operator==(const vec2& o) const { return x == o.x && y == o.y; }
  bool operator!=(const vec2& o) const { return !(*this == o); }

  f32 Length() const { return std::sqrt(x * x + y * y); }
  // Divides by the length; a length below kEpsilon gives (0, 0).
  vec2& Normalize() {
    const f32 len = Length();
    if (len < kEpsilon) {
      x = y = 0.0f;
    } else {
      x /= len;
      y /= len;
    }
    return *this;
  }
};

inline vec2 operator*(f32 s, const vec2& v) { return v * s; }

struct vec3 {
  f32 x = 0.0f;
  f32 y = 0.0f;
  f32 z = 0.0f;

  vec3() = default;
  vec3(f32 ax, f32 ay, f32 az) : x(ax), y(ay), z(az) {}

  vec3 operator+(const vec3& o) const { return vec3(x + o.x, y + o.y, z + o.z); }
  vec3 operator-(const vec3& o) const { return vec3(x - o.x, y - o.y, z - o.z); }
  vec3 operator*(f32 s) const { return vec3(x * s, y * s, z * s); }
  vec3& operator+=(const vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
  vec3& operator-=(const vec3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
  bool operator==(const vec3& o) const { return x == o.x && y == o.y && z == o.z; }
  bool operator!=(const vec3& o) const { return !(*this == o); }

  f32 Length() const { return std::sqrt(x * x + y * y + z * z); }
  // Divides by the length; a length not above kEpsilon gives (0, 0, 0).
  vec3& Normalize() {
    const f32 len = Length();
    if (!(len > kEpsilon)) {
      x = y = z = 0.0f;
    } else {
      x /= len;
      y /= len;
      z /= len;
    }
    return *this;
  }
};

inline vec3 operator*(f32 s, const vec3& v) { return v * s; }
inline f32 Dot(const vec3& a, const vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline vec3 Cross(const vec3& a, const vec3& b) {
  return vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

}  // namespace vek
