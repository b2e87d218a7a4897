#include "engine/core/color.h"

namespace vek {
namespace {

u32 Channel(f32 v) {
  if (!(v > 0.0f)) return 0;  // also NaN
  if (v >= 1.0f) return 255;
  return static_cast<u32>(v * 255.0f) & 0xFF;
}

}  // namespace

u32 ColorFromFloats(f32 r, f32 g, f32 b, f32 a) {
  return Channel(a) << 24 | Channel(r) << 16 | Channel(g) << 8 | Channel(b);
}

}  // namespace vek
