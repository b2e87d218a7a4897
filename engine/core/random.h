#pragma once
// The game's random generator (a linear congruential generator over one 32-bit seed) and the
// time of day that seeds it.
#include "engine/core/types.h"

namespace vek {

// The one seed of the generator; the application seeds it at start-up.
void SetRandomSeed(u32 seed);
u32 GetRandomSeed();

// seed = seed x 69069 + 1; the result is min + (seed & 0x7FFF) mod (max - min + 1), so at
// most 32768 distinct values. When max - min is 0xFFFFFFFF the result is min and the seed
// is left alone.
u32 Random(u32 min, u32 max);

// Local time of day in seconds (with milliseconds).
f32 GetDayTime();

}  // namespace vek
