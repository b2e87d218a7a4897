#pragma once
// Shared checks of the image fuzz targets.
#include <cstring>
#include <memory>
#include <vector>

#include "engine/files/image.h"
#include "engine/files/image_codecs.h"

namespace vekfuzz {

// Pictures beyond 4 MiB are refused, so that a few bytes stating a huge picture cost little
// (a short JPEG still decodes to its full size).
constexpr vek::u64 kImageLimit = vek::u64(4) << 20;
// Larger pictures skip the PNG round trip, whose compression would dominate the run.
constexpr vek::u32 kRoundTripLimit = 256 << 10;

// Reads every byte of every level (the sanitizer checks the bounds), converts a copy as a
// texture would, and checks that a PNG written from a small picture reads back the same.
inline void Exercise(const vek::cImage& image) {
  volatile vek::u32 sum = 0;
  for (vek::u32 i = 0; i < image.GetLevelCount(); ++i) {
    const vek::u8* level = image.GetLevel(i);
    const vek::u32 size = image.GetLevelSize(i);
    vek::u32 levelSum = 0;
    for (vek::u32 b = 0; b < size; ++b) levelSum += level[b];
    sum = sum + levelSum;
  }
  std::unique_ptr<vek::cImage> copy = image.Clone();
  copy->SwapRedBlue();
  copy->ConvertRGBToXRGB();

  std::vector<vek::u8> png;
  if (image.GetLevelSize(0) > kRoundTripLimit || vek::WritePNG(image, png) != 0) return;
  vek::cImage back;
  if (vek::ReadPNG(back, png.data(), png.size(), "round trip") != 0 ||
      back.GetFormat().id != image.GetFormat().id || back.GetWidth() != image.GetWidth() ||
      back.GetHeight() != image.GetHeight() ||
      std::memcmp(back.GetLevel(0), image.GetLevel(0), image.GetLevelSize(0)) != 0)
    __builtin_trap();
}

}  // namespace vekfuzz
