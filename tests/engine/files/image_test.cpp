#include "engine/files/image.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vek {
namespace {

TEST(PixelFormat, TableRows) {
  struct Row {
    u32 id, flags, bytes, channels, alpha;
  };
  const Row rows[] = {
      {0, 0, 0, 0, 0},       {1, 0x20001, 1, 1, 0},  {2, 0x20001, 2, 2, 1},
      {3, 0x20001, 2, 3, 0}, {4, 0x20001, 3, 3, 0},  {5, 0x20001, 4, 4, 0},
      {6, 0x20001, 4, 4, 1}, {7, 0x20003, 8, 3, 0},  {8, 0x20003, 16, 4, 1},
      {9, 0x20003, 16, 4, 1},
  };
  for (const Row& r : rows) {
    const PixelFormatInfo& f = GetFormatInfo(r.id);
    EXPECT_EQ(f.id, r.id);
    EXPECT_EQ(f.flags, r.flags) << r.id;
    EXPECT_EQ(f.bytes, r.bytes) << r.id;
    EXPECT_EQ(f.channels, r.channels) << r.id;
    EXPECT_EQ(f.alpha, r.alpha) << r.id;
  }
  // An id past the table reads row 0.
  for (u32 id : {10u, 11u, 0xFFFFFFFFu}) {
    EXPECT_EQ(GetFormatInfo(id).id, 0u);
    EXPECT_EQ(GetFormatInfo(id).bytes, 0u);
  }
}

TEST(PixelFormat, SizesPitchesAndChains) {
  struct Size {
    u32 id, w, h, bytes;
  };
  const Size sizes[] = {
      {7, 1, 1, 8},       {8, 2, 2, 16},    {7, 64, 64, 2048}, {9, 8, 4, 32},
      {4, 3, 5, 45},      {6, 256, 64, 65536}, {1, 7, 3, 21}, {0, 64, 64, 0},
      {12, 64, 64, 0},    {6, 65536, 65536, 0xFFFFFFFFu},  // saturates, never wraps
  };
  for (const Size& s : sizes) EXPECT_EQ(GetImageSize(s.id, s.w, s.h), s.bytes) << s.id << " " << s.w;

  struct Pitch {
    u32 id, w, bytes;
  };
  const Pitch pitches[] = {{9, 2, 16}, {4, 10, 30}, {7, 16, 32}, {7, 1, 8}, {1, 7, 7}, {6, 3, 12}};
  for (const Pitch& p : pitches) EXPECT_EQ(GetImagePitch(p.id, p.w), p.bytes) << p.id << " " << p.w;

  struct Chain {
    u32 w, h, levels;
  };
  const Chain chains[] = {{256, 64, 9}, {0, 0, 1}, {1, 1, 1}, {2, 1, 2}, {3, 3, 2}, {1024, 768, 11}};
  for (const Chain& c : chains) EXPECT_EQ(MipLevelCount(c.w, c.h), c.levels) << c.w << "x" << c.h;
}

TEST(Image, CreateLevels) {
  cImage plain;
  EXPECT_EQ(plain.GetFormat().id, 0u);
  EXPECT_EQ(plain.GetWidth(), 1u);
  EXPECT_EQ(plain.GetHeight(), 1u);
  EXPECT_EQ(plain.GetLevelCount(), 1u);
  EXPECT_EQ(plain.GetLevelSize(0), 0u);

  cImage image;
  ASSERT_TRUE(image.Create(6, 256, 64, 10000));
  ASSERT_EQ(image.GetLevelCount(), 9u);
  EXPECT_EQ(image.GetLevelSize(0), 256u * 64 * 4);
  EXPECT_EQ(image.GetLevelSize(2), 64u * 16 * 4);
  EXPECT_EQ(image.GetLevelSize(8), 4u);  // 1 x 1
  for (u32 i = 0; i < 9; ++i) EXPECT_NE(image.GetLevel(i), nullptr);
  EXPECT_EQ(image.GetLevel(9), nullptr);

  ASSERT_TRUE(image.Create(4, 8, 8, 0));
  EXPECT_EQ(image.GetLevelCount(), 1u);
  EXPECT_EQ(image.GetFormat().bytes, 3u);

  ASSERT_TRUE(image.Create(6, 0, 16, 3));
  EXPECT_EQ(image.GetLevelCount(), 0u);
  EXPECT_EQ(image.GetLevel(0), nullptr);

  // Beyond the limits nothing is allocated and the image holds no levels.
  EXPECT_FALSE(image.Create(6, kMaxImageSide + 1, 1, 1));
  EXPECT_EQ(image.GetLevelCount(), 0u);
  EXPECT_FALSE(image.Create(6, 16384, 16384, 1));
  EXPECT_EQ(image.GetLevelCount(), 0u);
}

void Fill(cImage& image) {
  for (u32 i = 0; i < image.GetLevelCount(); ++i)
    for (u32 b = 0; b < image.GetLevelSize(i); ++b) image.GetLevel(i)[b] = u8(b * 7 + i * 31);
}

TEST(Image, CloneCopiesEveryLevel) {
  cImage image(8, 16, 8, 100);
  Fill(image);
  std::unique_ptr<cImage> copy = image.Clone();
  ASSERT_EQ(copy->GetLevelCount(), image.GetLevelCount());
  EXPECT_EQ(copy->GetFormat().id, 8u);
  EXPECT_EQ(copy->GetWidth(), 16u);
  EXPECT_EQ(copy->GetHeight(), 8u);
  for (u32 i = 0; i < image.GetLevelCount(); ++i) {
    ASSERT_NE(copy->GetLevel(i), image.GetLevel(i));
    EXPECT_EQ(std::memcmp(copy->GetLevel(i), image.GetLevel(i), image.GetLevelSize(i)), 0) << i;
  }
}

TEST(Image, SwapRedBlueEveryLevel) {
  for (u32 id : {4u, 5u, 6u}) {
    cImage image(id, 4, 4, 3);
    Fill(image);
    std::unique_ptr<cImage> before = image.Clone();
    image.SwapRedBlue();
    u32 bytes = image.GetFormat().bytes;
    for (u32 i = 0; i < 3; ++i) {
      const u8* a = before->GetLevel(i);
      const u8* b = image.GetLevel(i);
      for (u32 p = 0; p < image.GetLevelSize(i); p += bytes) {
        EXPECT_EQ(b[p], a[p + 2]) << id << " level " << i;
        EXPECT_EQ(b[p + 1], a[p + 1]);
        EXPECT_EQ(b[p + 2], a[p]);
      }
    }
  }
  // Block-compressed and grey pictures are left alone.
  for (u32 id : {1u, 2u, 7u, 9u}) {
    cImage image(id, 8, 8, 2);
    Fill(image);
    std::unique_ptr<cImage> before = image.Clone();
    image.SwapRedBlue();
    for (u32 i = 0; i < 2; ++i)
      EXPECT_EQ(std::memcmp(before->GetLevel(i), image.GetLevel(i), image.GetLevelSize(i)), 0);
  }
}

TEST(Image, ConvertRGBToXRGBEveryLevel) {
  cImage image(4, 4, 2, 10);
  ASSERT_EQ(image.GetLevelCount(), 3u);
  Fill(image);
  std::unique_ptr<cImage> before = image.Clone();
  image.ConvertRGBToXRGB();
  EXPECT_EQ(image.GetFormat().id, 5u);
  const u32 pixels[] = {8, 2, 1};
  for (u32 i = 0; i < 3; ++i) {
    EXPECT_EQ(image.GetLevelSize(i), pixels[i] * 4);
    for (u32 p = 0; p < pixels[i]; ++p) {
      EXPECT_EQ(image.GetLevel(i)[p * 4], before->GetLevel(i)[p * 3]) << "level " << i;
      EXPECT_EQ(image.GetLevel(i)[p * 4 + 1], before->GetLevel(i)[p * 3 + 1]);
      EXPECT_EQ(image.GetLevel(i)[p * 4 + 2], before->GetLevel(i)[p * 3 + 2]);
      EXPECT_EQ(image.GetLevel(i)[p * 4 + 3], 255);
    }
  }
  // Other formats are not touched.
  cImage argb(6, 2, 2, 1);
  argb.ConvertRGBToXRGB();
  EXPECT_EQ(argb.GetFormat().id, 6u);
}

}  // namespace
}  // namespace vek
