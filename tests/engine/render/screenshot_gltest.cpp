#include "engine/render/screenshot.h"

#include <vector>

#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "tests/engine/render/gl_fixture.h"

namespace {

using ScreenshotGLTest = vektest::GLRenderFixture;

TEST_F(ScreenshotGLTest, ShotWritesTheFrameJustDrawn) {
  // A texture of four coloured quarters, drawn off the picture's centre.
  vek::cImage image(vek::e_PixRGB, 32, 32, 1);
  vek::u8* p = image.GetLevel(0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x, p += 3) {
      p[0] = x < 16 ? 255 : 0;
      p[1] = y < 16 ? 255 : 0;
      p[2] = (x >= 16 && y >= 16) ? 255 : 0;
    }
  auto* t = new vek::cTexture("quarters", false, &image);
  ASSERT_FALSE(DrawAndRead(t, 40, 100).empty());
  ASSERT_TRUE(vek::shot());
  const std::string bytes = vektest::ReadFileText(tmp.path() + "/Home/Desktop/vek00.png");
  vek::cImage png;
  ASSERT_EQ(vek::ReadPNG(png, bytes.data(), bytes.size(), "vek00.png"), 0u);
  ASSERT_EQ(png.GetWidth(), static_cast<vek::u32>(kWidth));
  ASSERT_EQ(png.GetHeight(), static_cast<vek::u32>(kHeight));
  ASSERT_EQ(png.GetFormat().id, vek::u32(vek::e_PixRGB));
  // Rows bottom first, as the frame was read.
  const std::vector<vek::u8> got(png.GetLevel(0), png.GetLevel(0) + png.GetLevelSize(0));
  EXPECT_TRUE(got == frame);
  auto pixel = [&](int x, int y) {
    const vek::u8* q = png.GetLevel(0) + (y * kWidth + x) * 3;
    return std::vector<int>{q[0], q[1], q[2]};
  };
  EXPECT_EQ(pixel(40, 100), (std::vector<int>{255, 255, 0}));   // bottom-left quarter
  EXPECT_EQ(pixel(71, 131), (std::vector<int>{0, 0, 255}));     // top-right quarter
  EXPECT_EQ(pixel(0, 0), (std::vector<int>{0, 0, 255}));        // the clear colour
  EXPECT_EQ(pixel(56, 105), (std::vector<int>{0, 255, 0}));     // bottom-right quarter
}

}  // namespace
