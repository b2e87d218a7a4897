#include <gtest/gtest.h>

#include <zlib.h>

#include "engine/files/image_codecs.h"
#include "tests/engine/files/image_fixtures.h"

namespace vek {
namespace {

using vektest::Bytes;
using vektest::LogCapture;
using vektest::MakePng;
using vektest::PngFixture;

TEST(PngWriter, RoundTripKeepsEveryFormatAndRowOrder) {
  for (u32 id : {1u, 2u, 4u, 6u}) {
    SCOPED_TRACE(id);
    cImage image(id, 5, 3, 1);
    for (u32 b = 0; b < image.GetLevelSize(0); ++b) image.GetLevel(0)[b] = u8(b * 11 + 3);
    Bytes png;
    ASSERT_EQ(WritePNG(image, png), 0u);

    // The file holds the top of the picture (the image's last row) first.
    png_image raw{};
    raw.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&raw, png.data(), png.size()));
    const u32 bytes = image.GetFormat().bytes;
    raw.format = bytes == 1 ? PNG_FORMAT_GRAY : bytes == 2 ? PNG_FORMAT_GA
                 : bytes == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
    Bytes pixels(PNG_IMAGE_SIZE(raw));
    ASSERT_TRUE(png_image_finish_read(&raw, nullptr, pixels.data(), 0, nullptr));
    ASSERT_EQ(pixels.size(), image.GetLevelSize(0));
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 5 * bytes),
              Bytes(image.GetLevel(0) + 2 * 5 * bytes, image.GetLevel(0) + 3 * 5 * bytes));

    cImage back;
    ASSERT_EQ(ReadPNG(back, png.data(), png.size(), "t.png"), 0u);
    EXPECT_EQ(back.GetFormat().id, id);
    EXPECT_EQ(back.GetWidth(), 5u);
    EXPECT_EQ(back.GetHeight(), 3u);
    EXPECT_EQ(Bytes(back.GetLevel(0), back.GetLevel(0) + back.GetLevelSize(0)),
              Bytes(image.GetLevel(0), image.GetLevel(0) + image.GetLevelSize(0)));
  }
}

TEST(PngWriter, RefusesFormatsWithoutAPngColourType) {
  Bytes png;
  for (u32 id : {0u, 3u, 5u, 7u, 9u}) EXPECT_EQ(WritePNG(cImage(id, 4, 4, 1), png), 3u) << id;
  EXPECT_EQ(WritePNG(cImage(6, 0, 4, 1), png), 3u);  // no level data
}

TEST(PngReader, TransformsGiveTheFormatByColourType) {
  struct Case {
    const char* what;
    PngFixture fixture;
    u32 format;
    Bytes firstPixel;  // bottom-left pixel after the transformations
  };
  PngFixture grey;
  grey.width = 2;
  grey.height = 2;
  grey.colorType = PNG_COLOR_TYPE_GRAY;
  grey.rows = {{10, 20}, {30, 40}};
  PngFixture greyTrns = grey;
  greyTrns.trnsGrey = 30;
  PngFixture grey1 = grey;
  grey1.depth = 1;
  grey1.rows = {{0x80}, {0x40}};
  PngFixture palette = grey;
  palette.colorType = PNG_COLOR_TYPE_PALETTE;
  palette.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  palette.rows = {{0, 1}, {2, 0}};
  PngFixture paletteTrns = palette;
  paletteTrns.trns = {128, 255};
  PngFixture rgb16 = grey;
  rgb16.colorType = PNG_COLOR_TYPE_RGB;
  rgb16.depth = 16;
  rgb16.rows = {Bytes(12, 0x11), {0xAB, 0xCD, 0x12, 0x34, 0x56, 0x78, 0, 0, 0, 0, 0, 0}};
  PngFixture interlaced = grey;
  interlaced.interlace = true;
  interlaced.width = interlaced.height = 9;
  interlaced.rows.assign(9, Bytes(9, 0));
  interlaced.rows[8][0] = 77;

  const Case cases[] = {
      {"grey", grey, 1, {30}},
      {"grey with transparency", greyTrns, 2, {30, 0}},
      {"1-bit grey", grey1, 1, {0, 255}},
      {"palette", palette, 4, {0, 0, 255}},
      {"palette with transparency", paletteTrns, 6, {0, 0, 255, 255}},
      {"16-bit RGB", rgb16, 4, {0xAB, 0x12, 0x56}},
      {"interlaced", interlaced, 1, {77}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = MakePng(c.fixture);
    ASSERT_FALSE(file.empty());
    cImage image;
    ASSERT_EQ(ReadPNG(image, file.data(), file.size(), "t.png"), 0u);
    EXPECT_EQ(image.GetFormat().id, c.format);
    EXPECT_EQ(image.GetWidth(), c.fixture.width);
    EXPECT_EQ(image.GetLevelCount(), 1u);
    EXPECT_EQ(Bytes(image.GetLevel(0), image.GetLevel(0) + c.firstPixel.size()), c.firstPixel);
  }
}

// Rewrites the IHDR's width and height and its CRC, so that only the sizes lie.
Bytes WithSizes(Bytes png, u32 width, u32 height) {
  vektest::PutU32(png, 16, __builtin_bswap32(width));
  vektest::PutU32(png, 20, __builtin_bswap32(height));
  u32 crc = crc32(0, png.data() + 12, 17);
  vektest::PutU32(png, 29, __builtin_bswap32(crc));
  return png;
}

TEST(PngReader, BadFilesFailWithAWarning) {
  cImage source(6, 16, 16, 1);
  for (u32 b = 0; b < source.GetLevelSize(0); ++b) source.GetLevel(0)[b] = u8(b * 7);
  Bytes good;
  ASSERT_EQ(WritePNG(source, good), 0u);

  struct Case {
    const char* what;
    Bytes file;
    u32 result;
    const char* message;
  };
  Bytes badSig = good;
  badSig[1] = 'Q';
  Bytes badCrc = good;
  badCrc[45] ^= 0xFF;  // inside the first data chunk
  const Case cases[] = {
      {"empty", {}, 3, "Invalid PNG format: Unknown signature in file bad.png"},
      {"bad signature", badSig, 3, "Invalid PNG format: Unknown signature in file bad.png"},
      {"signature only", Bytes(good.begin(), good.begin() + 8), 4, "Internal error in PNG file: bad.png"},
      {"cut in the header", Bytes(good.begin(), good.begin() + 20), 4, "Internal error in PNG file"},
      {"cut in the data", Bytes(good.begin(), good.end() - 40), 4, "Internal error in PNG file"},
      {"no end chunk", Bytes(good.begin(), good.end() - 12), 4, "Internal error in PNG file"},
      {"damaged data", badCrc, 4, "Internal error in PNG file"},
      {"width beyond the limit", WithSizes(good, 100000, 16), 4, "Internal error in PNG file"},
      {"picture too large", WithSizes(good, 30000, 30000), 4, "Invalid PNG file bad.png: picture too large"},
      {"more rows than data", WithSizes(good, 16, 4000), 4, "Internal error in PNG file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LogCapture log;
    cImage image(1, 5, 5, 1);
    EXPECT_EQ(ReadPNG(image, c.file.data(), c.file.size(), "bad.png"), c.result);
    EXPECT_EQ(image.GetWidth(), 5u);  // untouched
    EXPECT_TRUE(log.Has(c.message)) << log.Text();
  }
}

}  // namespace
}  // namespace vek
