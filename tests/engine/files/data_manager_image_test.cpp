#include <gtest/gtest.h>

#if __has_include("engine/files/image_codecs.h")
#include <filesystem>
#include <vector>

#include "engine/files/data_manager.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "tests/engine/files/file_test_support.h"

namespace {

using vek::cDataManager;

// A 2 x 1 24-bit BMP: blue, green, red bytes in the file, rows padded to 4 bytes.
std::string TinyBmp() {
  const unsigned char bytes[] = {
      'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                     // file header
      40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,      // info header
      8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      3, 2, 1, 6, 5, 4, 0, 0};                                           // pixels, padding
  return std::string(reinterpret_cast<const char*>(bytes), sizeof(bytes));
}

TEST(DataManagerImageTest, ChoosesTheReaderByExtension) {
  filetest::TokenFolders tokens;
  std::filesystem::create_directories(tokens / "Data");
  ASSERT_TRUE(vektest::WriteFileText(tokens / "Data/tiny.bmp", TinyBmp()));
  ASSERT_TRUE(vektest::WriteFileText(tokens / "Data/tiny.tga", TinyBmp()));
  ASSERT_TRUE(filetest::WriteZip(tokens / "Data/pics.zip", {{"tiny.bmp", TinyBmp(), true}}));

  vek::cImage image;
  EXPECT_EQ(cDataManager::ReadImage("{StaticPath}/tiny.bmp", &image), 0u);
  EXPECT_EQ(image.GetWidth(), 2u);
  EXPECT_EQ(image.GetFormat().id, 4u);

  vek::cImage fromZip;
  EXPECT_EQ(cDataManager::ReadImage("{StaticPath}/pics.zip/TINY.BMP", &fromZip), 0u);
  EXPECT_EQ(fromZip.GetHeight(), 1u);

  EXPECT_EQ(cDataManager::ReadImage("{StaticPath}/tiny.tga", &image), cDataManager::InternalError);
  EXPECT_EQ(cDataManager::ReadImage("{StaticPath}/missing.png", &image), 2u);
  EXPECT_EQ(cDataManager::ReadImage("{StaticPath}/tiny.bmp", nullptr), cDataManager::NoOutput);
  // A file name keeps its extension in lower case, so an upper-case extension still matches.
  EXPECT_EQ(cDataManager::ReadImage("{StaticPath}/TINY.BMP", &image), 0u);
}

}  // namespace
#endif
