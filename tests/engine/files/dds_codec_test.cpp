#include <gtest/gtest.h>

#include "engine/files/image_codecs.h"
#include "tests/engine/files/image_fixtures.h"

namespace vek {
namespace {

using vektest::Bytes;
using vektest::DdsHeader;
using vektest::LogCapture;
using vektest::MakeDds;

Bytes Sequence(size_t n, u8 start = 1) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = u8(start + i * 3);
  return b;
}

TEST(DdsReader, UncompressedLevelsAreFlippedAndSwapped) {
  struct Case {
    u32 bits, alphaMask, format;
  };
  for (Case c : {Case{8, 0, 1u}, Case{16, 0xff00, 2u}, Case{24, 0, 4u}, Case{32, 0xff000000u, 6u},
                 Case{32, 0, 5u}}) {
    SCOPED_TRACE(c.bits);
    const u32 bytes = c.bits / 8;
    // 4 x 2 with two levels (4 x 2, then 2 x 1); the file holds rows top first.
    Bytes data = Sequence(bytes * (8 + 2));
    DdsHeader h;
    h.width = 4;
    h.height = 2;
    h.mipCount = 2;
    h.bitCount = c.bits;
    h.alphaMask = c.alphaMask;
    Bytes file = MakeDds(h, data);
    cImage image;
    ASSERT_EQ(ReadDDS(image, file.data(), file.size(), "t.dds"), 0u);
    EXPECT_EQ(image.GetFormat().id, c.format);
    ASSERT_EQ(image.GetLevelCount(), 2u);
    const u8* fileRow[3] = {data.data() + 4 * bytes, data.data(), data.data() + 8 * bytes};
    const u8* level0 = image.GetLevel(0);
    const u8* level1 = image.GetLevel(1);
    const u8* stored[3] = {level0, level0 + 4 * bytes, level1};  // bottom row first
    const u32 width[3] = {4, 4, 2};
    for (int r = 0; r < 3; ++r)
      for (u32 p = 0; p < width[r]; ++p)
        for (u32 b = 0; b < bytes; ++b) {
          u32 from = bytes >= 3 && (b == 0 || b == 2) ? 2 - b : b;  // blue, green, red in the file
          ASSERT_EQ(stored[r][p * bytes + b], fileRow[r][p * bytes + from]) << r << " " << p << " " << b;
        }
  }
}

TEST(DdsReader, MipCounts) {
  DdsHeader h;
  h.width = 8;
  h.height = 2;
  h.bitCount = 32;
  Bytes chain = Sequence(4 * (16 + 4 + 2 + 1));
  cImage image;
  h.mipCount = 0;  // no count: one level
  Bytes file = MakeDds(h, chain);
  ASSERT_EQ(ReadDDS(image, file.data(), file.size(), "t.dds"), 0u);
  EXPECT_EQ(image.GetLevelCount(), 1u);
  h.mipCount = 10000;  // clamped to the full chain
  file = MakeDds(h, chain);
  ASSERT_EQ(ReadDDS(image, file.data(), file.size(), "t.dds"), 0u);
  EXPECT_EQ(image.GetLevelCount(), 4u);
}

TEST(DdsReader, BlocksAreFlipped) {
  // DXT1 2 x 2: one 8-byte block; colour words kept, index rows reversed.
  DdsHeader h;
  h.width = h.height = 2;
  h.fourCC = "DXT1";
  Bytes block = {1, 2, 3, 4, 10, 11, 12, 13};
  Bytes file = MakeDds(h, block);
  cImage image;
  ASSERT_EQ(ReadDDS(image, file.data(), file.size(), "t.dds"), 0u);
  EXPECT_EQ(image.GetFormat().id, 7u);
  EXPECT_EQ(Bytes(image.GetLevel(0), image.GetLevel(0) + 8), (Bytes{1, 2, 3, 4, 13, 12, 11, 10}));

  // DXT1 4 x 8: two block rows, stored bottom first.
  h.width = 4;
  h.height = 8;
  Bytes two = {1, 2, 3, 4, 10, 11, 12, 13, 5, 6, 7, 8, 20, 21, 22, 23};
  file = MakeDds(h, two);
  ASSERT_EQ(ReadDDS(image, file.data(), file.size(), "t.dds"), 0u);
  EXPECT_EQ(Bytes(image.GetLevel(0), image.GetLevel(0) + 16),
            (Bytes{5, 6, 7, 8, 23, 22, 21, 20, 1, 2, 3, 4, 13, 12, 11, 10}));

  // DXT3: the explicit alpha rows (two bytes each) are reversed with the colour rows.
  h.width = h.height = 4;
  h.fourCC = "DXT3";
  Bytes dxt3 = {1, 2, 3, 4, 5, 6, 7, 8, 30, 31, 32, 33, 40, 41, 42, 43};
  file = MakeDds(h, dxt3);
  ASSERT_EQ(ReadDDS(image, file.data(), file.size(), "t.dds"), 0u);
  EXPECT_EQ(image.GetFormat().id, 8u);
  EXPECT_EQ(Bytes(image.GetLevel(0), image.GetLevel(0) + 16),
            (Bytes{7, 8, 5, 6, 3, 4, 1, 2, 30, 31, 32, 33, 43, 42, 41, 40}));

  // DXT5: end points kept, the four 12-bit rows of alpha indices reversed.
  h.fourCC = "DXT5";
  // rows 0xABC, 0xDEF, 0x123, 0x456 (row 0 in the lowest bits)
  Bytes dxt5 = {200, 100, 0xBC, 0xFA, 0xDE, 0x23, 0x61, 0x45, 30, 31, 32, 33, 40, 41, 42, 43};
  file = MakeDds(h, dxt5);
  ASSERT_EQ(ReadDDS(image, file.data(), file.size(), "t.dds"), 0u);
  EXPECT_EQ(image.GetFormat().id, 9u);
  // rows 0x456, 0x123, 0xDEF, 0xABC
  EXPECT_EQ(Bytes(image.GetLevel(0), image.GetLevel(0) + 16),
            (Bytes{200, 100, 0x56, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 30, 31, 32, 33, 43, 42, 41, 40}));
}

TEST(DdsReader, BadFilesFailWithAWarning) {
  struct Case {
    const char* what;
    DdsHeader header;
    size_t dataBytes;
    u32 result;
    size_t cut;  // bytes kept of the file; 0 keeps all
  };
  const Case cases[] = {
      {"cube map", {4, 4, 0, "", 32, 0, 0x200}, 64, 5, 0},
      {"16-bit without grey alpha", {4, 4, 0, "", 16, 0xf000, 0}, 32, 5, 0},
      {"odd bit count", {4, 4, 0, "", 12, 0, 0}, 64, 5, 0},
      {"other four-character code", {4, 4, 0, "ATI2", 0, 0, 0}, 64, 5, 0},
      {"no magic", {4, 4, 0, "", 32, 0, 0}, 64, 3, 3},
      {"short header", {4, 4, 0, "", 32, 0, 0}, 64, 3, 100},
      {"width 0", {0, 4, 0, "", 32, 0, 0}, 64, 3, 0},
      {"height beyond the limit", {4, 0x80000000u, 0, "", 32, 0, 0}, 64, 3, 0},
      {"level 0 cut short", {4, 4, 0, "", 32, 0, 0}, 63, 3, 0},
      {"mip chain cut short", {4, 4, 3, "", 32, 0, 0}, 64 + 16, 3, 0},
      {"blocks cut short", {8, 8, 1, "DXT5", 0, 0, 0}, 63, 3, 0},
      // 32768 x 32768 DXT5 states 1 GiB of blocks in a file of a few bytes.
      {"huge picture", {32768, 32768, 20, "DXT5", 0, 0, 0}, 16, 3, 0},
      {"huge and short", {16384, 2048, 1, "", 32, 0, 0}, 64, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = MakeDds(c.header, Sequence(c.dataBytes));
    if (c.cut) file.resize(c.cut);
    LogCapture log;
    cImage image(1, 5, 5, 1);
    EXPECT_EQ(ReadDDS(image, file.data(), file.size(), "bad.dds"), c.result);
    EXPECT_EQ(image.GetWidth(), 5u);  // untouched
    EXPECT_TRUE(log.Has("Invalid DDS file bad.dds")) << log.Text();
  }
}

}  // namespace
}  // namespace vek
