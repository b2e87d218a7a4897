#include "engine/core/random.h"

#include "platform/os.h"

namespace vek {
namespace {
u32 g_Seed = 0;
}  // namespace

void SetRandomSeed(u32 seed) { g_Seed = seed; }

u32 GetRandomSeed() { return g_Seed; }

u32 Random(u32 min, u32 max) {
  u32 range = max - min;
  if (range == 0xFFFFFFFFu) return min;
  g_Seed = g_Seed * 69069u + 1u;
  return min + (g_Seed & 0x7FFFu) % (range + 1u);
}

f32 GetDayTime() { return static_cast<f32>(plat::GetOs().DayTimeSeconds()); }

}  // namespace vek
