#include <gtest/gtest.h>

#include <climits>

#include "engine/files/image_codecs.h"
#include "tests/engine/files/image_fixtures.h"

namespace vek {
namespace {

using vektest::Bytes;
using vektest::LogCapture;
using vektest::MakeBmp;

// Pixel (x, y) of a picture, y counted from the top: blue, green, red in the file.
u8 Value(u32 x, u32 y, u32 channel) { return u8(x * 40 + y * 100 + channel * 7 + 1); }

// Rows as a BMP stores them (bottom row first unless topDown), padded to 4 bytes.
Bytes BmpRows(u32 w, u32 h, u32 bytes, bool topDown) {
  Bytes rows;
  u32 pitch = (w * bytes + 3) & ~3u;
  for (u32 r = 0; r < h; ++r) {
    u32 y = topDown ? r : h - 1 - r;
    for (u32 x = 0; x < w; ++x) {
      rows.push_back(Value(x, y, 2));  // blue
      rows.push_back(Value(x, y, 1));  // green
      rows.push_back(Value(x, y, 0));  // red
      if (bytes == 4) rows.push_back(Value(x, y, 3));
    }
    rows.resize(rows.size() + pitch - w * bytes, 0xEE);
  }
  return rows;
}

void ExpectPicture(const cImage& image, u32 w, u32 h, u32 bytes) {
  ASSERT_EQ(image.GetWidth(), w);
  ASSERT_EQ(image.GetHeight(), h);
  ASSERT_EQ(image.GetLevelCount(), 1u);
  for (u32 row = 0; row < h; ++row)  // row 0 is the bottom of the picture
    for (u32 x = 0; x < w; ++x)
      for (u32 c = 0; c < bytes; ++c)
        ASSERT_EQ(image.GetLevel(0)[(row * w + x) * bytes + c], Value(x, h - 1 - row, c))
            << "row " << row << " x " << x << " channel " << c;
}

TEST(BmpReader, ReadsBothRowOrders) {
  struct Case {
    u32 bits;
    bool topDown;
    u32 format;
  };
  for (Case c : {Case{24, false, 4u}, Case{24, true, 4u}, Case{32, false, 6u}, Case{32, true, 6u}}) {
    SCOPED_TRACE(testing::Message() << c.bits << (c.topDown ? " top-down" : " bottom-up"));
    // 3 pixels wide: 24-bit rows are 9 bytes of pixels and 3 of padding.
    Bytes rows = BmpRows(3, 2, c.bits / 8, c.topDown);
    if (c.bits == 24) {
      EXPECT_EQ(rows.size(), 24u);
    }
    Bytes file = MakeBmp(3, c.topDown ? -2 : 2, c.bits, rows);
    cImage image;
    ASSERT_EQ(ReadBMP(image, file.data(), file.size(), "t.bmp"), 0u);
    EXPECT_EQ(image.GetFormat().id, c.format);
    ExpectPicture(image, 3, 2, c.bits / 8);
  }
}

TEST(BmpReader, PixelsStartAtTheStatedOffset) {
  // A larger information header (as newer writers make) moves the pixels back.
  Bytes rows = BmpRows(2, 2, 3, false);
  Bytes file = MakeBmp(2, 2, 24, {});
  vektest::PutU32(file, 10, 54 + 84);
  vektest::PutU32(file, 14, 124);
  file.resize(54 + 84, 0);
  file.insert(file.end(), rows.begin(), rows.end());
  cImage image;
  ASSERT_EQ(ReadBMP(image, file.data(), file.size(), "v5.bmp"), 0u);
  ExpectPicture(image, 2, 2, 3);
}

TEST(BmpReader, BadFilesFailWithAWarning) {
  const Bytes good = MakeBmp(3, 2, 24, BmpRows(3, 2, 3, false));
  struct Case {
    const char* what;
    size_t at;   // byte to change (0 for none)
    u32 value;   // 32-bit value written there
    size_t size; // bytes kept of the file
  };
  const Case cases[] = {
      {"empty", 0, 0, 0},
      {"half a file header", 0, 0, 8},
      {"no information header", 0, 0, 14},
      {"short information header", 0, 0, 40},
      {"last row missing", 0, 0, 54 + 12},
      {"pixels cut short", 0, 0, good.size() - 4},
      {"width 0", 18, 0, 0},
      {"negative width", 18, u32(-3), 0},
      {"height 0", 22, 0, 0},
      {"smallest height", 22, u32(INT_MIN), 0},
      {"huge sides", 18, 1000000, 0},
      {"wider than the file", 18, 30000, 0},
      {"offset past the end", 10, 0x7FFFFFFF, 0},
      {"compressed", 30, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = good;
    if (c.at) vektest::PutU32(file, c.at, c.value);
    if (c.size || !std::strcmp(c.what, "empty")) file.resize(c.size);
    LogCapture log;
    cImage image(1, 5, 5, 1);
    EXPECT_EQ(ReadBMP(image, file.data(), file.size(), "bad.bmp"), 3u);
    EXPECT_EQ(image.GetWidth(), 5u);  // untouched
    EXPECT_EQ(image.GetFormat().id, 1u);
    EXPECT_TRUE(log.Has("Invalid BMP file bad.bmp")) << log.Text();
  }
  // Signature, plane count and bit depth.
  for (auto [at, value] : {std::pair<size_t, u32>{0, 0x4d43}, {26, 2}, {28, 16}, {28, 48}}) {
    Bytes file = good;
    vektest::PutU16(file, at, value);
    cImage image;
    EXPECT_EQ(ReadBMP(image, file.data(), file.size(), "bad.bmp"), 3u) << at << " " << value;
  }
}

}  // namespace
}  // namespace vek
