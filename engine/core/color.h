#pragma once
// Colour packing.
#include "engine/core/types.h"

namespace vek {

// Packs four channels in 0..1 into alpha << 24 | red << 16 | green << 8 | blue, each channel
// value x 255 truncated. Values outside 0..1 are clamped (NaN counts as 0).
u32 ColorFromFloats(f32 r, f32 g, f32 b, f32 a);

}  // namespace vek
