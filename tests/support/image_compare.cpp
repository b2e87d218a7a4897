#include "tests/support/image_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/files/image.h"
#include "engine/files/image_codecs.h"

namespace vektest {

namespace {

std::vector<vek::u8> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<vek::u8>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteImage(const vek::cImage& image, const std::string& path) {
  std::vector<vek::u8> png;
  ASSERT_EQ(vek::WritePNG(image, png), 0u);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                              static_cast<std::streamsize>(png.size()));
}

}  // namespace

void SaveScreenshot(const vek::u8* rgb, int width, int height, const std::string& name) {
  vek::cImage image(vek::e_PixRGB, static_cast<vek::u32>(width), static_cast<vek::u32>(height), 1);
  std::copy(rgb, rgb + image.GetLevelSize(0), image.GetLevel(0));
  const std::string folder = std::string(VEK_TEST_BIN_DIR) + "/../screenshots";
  std::filesystem::create_directories(folder);
  WriteImage(image, folder + "/" + name + ".png");
}

void ExpectFrameMatchesPicture(const vek::u8* rgb, int width, int height, const std::string& expectedPath,
                               int tolerance) {
  vek::cImage actual(vek::e_PixRGB, static_cast<vek::u32>(width), static_cast<vek::u32>(height), 1);
  std::copy(rgb, rgb + actual.GetLevelSize(0), actual.GetLevel(0));
  const std::string actualPath = expectedPath.substr(0, expectedPath.size() - 4) + "_actual.png";

  const std::vector<vek::u8> file = ReadBytes(expectedPath);
  vek::cImage expected;
  if (file.empty() || vek::ReadPNG(expected, file.data(), file.size(), "expected") != 0) {
    WriteImage(actual, actualPath);
    FAIL() << "no expected picture " << expectedPath << "; the frame drawn is in " << actualPath;
  }
  ASSERT_EQ(expected.GetWidth(), static_cast<vek::u32>(width));
  ASSERT_EQ(expected.GetHeight(), static_cast<vek::u32>(height));
  ASSERT_EQ(expected.GetFormat().id, vek::u32(vek::e_PixRGB));
  int off = 0, worst = 0;
  for (vek::u32 i = 0; i < actual.GetLevelSize(0); ++i) {
    const int d = std::abs(int(actual.GetLevel(0)[i]) - int(expected.GetLevel(0)[i]));
    worst = std::max(worst, d);
    if (d > tolerance) ++off;
  }
  if (off) WriteImage(actual, actualPath);
  EXPECT_EQ(off, 0) << "channels off by more than " << tolerance << " (worst " << worst
                    << "); the frame drawn is in " << actualPath;
}

}  // namespace vektest
