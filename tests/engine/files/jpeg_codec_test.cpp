#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/files/image_codecs.h"
#include "tests/engine/files/image_fixtures.h"

namespace vek {
namespace {

using vektest::Bytes;
using vektest::LogCapture;
using vektest::MakeJpeg;

// 16 x 16: the top half red, the bottom half blue (rows top first, as the compressor takes them).
Bytes RedOverBlue() {
  Bytes pixels;
  for (u32 y = 0; y < 16; ++y)
    for (u32 x = 0; x < 16; ++x) {
      pixels.push_back(y < 8 ? 255 : 0);
      pixels.push_back(0);
      pixels.push_back(y < 8 ? 0 : 255);
    }
  return pixels;
}

void ExpectNear(const u8* pixel, std::initializer_list<int> want) {
  int i = 0;
  for (int v : want) EXPECT_NEAR(pixel[i++], v, 12) << "channel " << i - 1;
}

TEST(JpegReader, ReadsColourGreyAndCmyk) {
  Bytes rgb = MakeJpeg(16, 16, 3, JCS_RGB, RedOverBlue());
  cImage image;
  ASSERT_EQ(ReadJPEG(image, rgb.data(), rgb.size(), "t.jpg"), 0u);
  EXPECT_EQ(image.GetFormat().id, 4u);
  ASSERT_EQ(image.GetWidth(), 16u);
  ASSERT_EQ(image.GetHeight(), 16u);
  ASSERT_EQ(image.GetLevelCount(), 1u);
  ExpectNear(image.GetLevel(0), {0, 0, 255});                 // bottom row: blue
  ExpectNear(image.GetLevel(0) + 15 * 16 * 3, {255, 0, 0});   // top row: red

  Bytes greyPixels(8 * 4);
  for (size_t i = 0; i < greyPixels.size(); ++i) greyPixels[i] = i < 8 ? 200 : 40;
  Bytes grey = MakeJpeg(8, 4, 1, JCS_GRAYSCALE, greyPixels);
  ASSERT_EQ(ReadJPEG(image, grey.data(), grey.size(), "g.jpg"), 0u);
  EXPECT_EQ(image.GetFormat().id, 1u);
  EXPECT_EQ(image.GetWidth(), 8u);
  ExpectNear(image.GetLevel(0), {40});
  ExpectNear(image.GetLevel(0) + 3 * 8, {200});

  // Four components have no format: the image is made of format 0, which no texture takes.
  Bytes cmyk = MakeJpeg(8, 8, 4, JCS_CMYK, Bytes(8 * 8 * 4, 100));
  ASSERT_EQ(ReadJPEG(image, cmyk.data(), cmyk.size(), "c.jpg"), 0u);
  EXPECT_EQ(image.GetFormat().id, 0u);
  EXPECT_EQ(image.GetWidth(), 8u);
  EXPECT_EQ(image.GetHeight(), 8u);
}

TEST(JpegReader, ShortFileEndsThePicture) {
  Bytes rgb = MakeJpeg(16, 16, 3, JCS_RGB, RedOverBlue());
  size_t scan = 0;  // the start-of-scan marker
  for (size_t i = 0; i + 1 < rgb.size() && !scan; ++i)
    if (rgb[i] == 0xFF && rgb[i + 1] == 0xDA) scan = i;
  ASSERT_GT(scan, 0u);
  rgb.resize(scan + (rgb.size() - scan) / 2);
  cImage image;
  EXPECT_EQ(ReadJPEG(image, rgb.data(), rgb.size(), "short.jpg"), 0u);
  EXPECT_EQ(image.GetWidth(), 16u);
  EXPECT_EQ(image.GetHeight(), 16u);
}

// Rewrites the frame header's height and width.
Bytes WithSizes(Bytes jpeg, u32 width, u32 height) {
  for (size_t i = 2; i + 8 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = u8(height >> 8);
      jpeg[i + 6] = u8(height);
      jpeg[i + 7] = u8(width >> 8);
      jpeg[i + 8] = u8(width);
      break;
    }
  return jpeg;
}

// A progressive file whose scans are repeated until there are more than a thousand.
Bytes EndlessScans() {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = 16;
  cinfo.image_height = 16;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  Bytes pixels = RedOverBlue();
  while (cinfo.next_scanline < 16) {
    JSAMPROW row = pixels.data() + cinfo.next_scanline * 48;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes file(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);

  size_t scans = 0;
  for (size_t i = 0; i + 1 < file.size() && !scans; ++i)
    if (file[i] == 0xFF && file[i + 1] == 0xDA) scans = i;
  Bytes all(file.begin() + scans, file.end() - 2);
  Bytes out(file.begin(), file.end() - 2);
  for (int i = 0; i < 120; ++i) out.insert(out.end(), all.begin(), all.end());
  out.push_back(0xFF);
  out.push_back(0xD9);
  return out;
}

TEST(JpegReader, BadFilesFailWithAWarning) {
  Bytes good = MakeJpeg(16, 16, 3, JCS_RGB, RedOverBlue());
  struct Case {
    const char* what;
    Bytes file;
    const char* message;
  };
  const Case cases[] = {
      {"empty", {}, "Invalid JPEG file bad.jpg: no picture in the file"},
      {"not a JPEG", Bytes(64, 0x42), "Internal error in JPEG file: bad.jpg"},
      {"cut in the header", Bytes(good.begin(), good.begin() + 100), "Internal error in JPEG file: bad.jpg"},
      {"width 0", WithSizes(good, 0, 16), "Internal error in JPEG file: bad.jpg"},
      {"side beyond the limit", WithSizes(good, 60000, 16), "Invalid JPEG file bad.jpg: picture too large"},
      {"picture too large", WithSizes(good, 20000, 20000), "Invalid JPEG file bad.jpg: picture too large"},
      {"endless scans", EndlessScans(), "Invalid JPEG file bad.jpg: too many scans"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LogCapture log;
    cImage image(1, 5, 5, 1);
    EXPECT_EQ(ReadJPEG(image, c.file.data(), c.file.size(), "bad.jpg"), 4u);
    EXPECT_EQ(image.GetWidth(), 5u);  // untouched
    EXPECT_TRUE(log.Has(c.message)) << log.Text();
  }
}

}  // namespace
}  // namespace vek
