#pragma once
// Shared checks of the image fuzz targets.
#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/image.h"
#include "engine/core/image_codecs.h"

namespace vekfuzz {

// Pictures beyond 16 MiB are refused, so that a few bytes stating a huge picture cost little.
constexpr vek::u64 kImageLimit = vek::u64(16) << 20;

// Reads every byte of every level (the sanitizer checks the bounds), converts a copy as a
// texture would, and checks that a PNG written from the picture reads back the same.
inline void Exercise(const vek::cImage& image) {
  volatile vek::u32 sum = 0;
  for (vek::u32 i = 0; i < image.GetLevelCount(); ++i) {
    const vek::u8* level = image.GetLevel(i);
    for (vek::u32 b = 0; b < image.GetLevelSize(i); ++b) sum = sum + level[b];
  }
  std::unique_ptr<vek::cImage> copy = image.Clone();
  copy->SwapRedBlue();
  copy->ConvertRGBToXRGB();

  std::vector<vek::u8> png;
  if (vek::WritePNG(image, png) != 0) return;
  vek::cImage back;
  if (vek::ReadPNG(back, png.data(), png.size(), "round trip") != 0 ||
      back.GetFormat().id != image.GetFormat().id || back.GetWidth() != image.GetWidth() ||
      back.GetHeight() != image.GetHeight() ||
      std::memcmp(back.GetLevel(0), image.GetLevel(0), image.GetLevelSize(0)) != 0)
    __builtin_trap();
}

}  // namespace vekfuzz
