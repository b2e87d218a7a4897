#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "engine/files/filename.h"
#include "engine/files/image_codecs.h"
#include "tests/engine/files/file_test_support.h"
#include "tests/engine/files/image_fixtures.h"

namespace vek {
namespace {

using vektest::Bytes;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

using FileReader = u32 (*)(cImage&, const filename&);

TEST(ImageFiles, ReadersGoThroughTheFileLayer) {
  filetest::TokenFolders tokens;
  std::filesystem::create_directories(tokens / "Data");
  cImage source(6, 4, 2, 1);
  for (u32 b = 0; b < source.GetLevelSize(0); ++b) source.GetLevel(0)[b] = u8(b * 5);
  Bytes png;
  ASSERT_EQ(WritePNG(source, png), 0u);
  vektest::DdsHeader dds;
  dds.width = 4;
  dds.height = 2;
  dds.bitCount = 24;
  struct Case {
    const char* ext;
    Bytes bytes;
    FileReader reader;
  };
  const Case cases[] = {
      {"png", png, ReadPNG},
      {"bmp", vektest::MakeBmp(4, 2, 24, Bytes(24, 9)), ReadBMP},
      {"dds", vektest::MakeDds(dds, Bytes(24, 9)), ReadDDS},
      {"jpg", vektest::MakeJpeg(4, 2, 3, JCS_RGB, Bytes(24, 9)), ReadJPEG},
  };
  std::vector<filetest::ZipMember> members;
  for (const Case& c : cases) {
    ASSERT_TRUE(vektest::WriteFileText(tokens / "Data/pic." + c.ext, Text(c.bytes)));
    members.push_back({std::string("sub/pic.") + c.ext, Text(c.bytes), true});
  }
  ASSERT_TRUE(filetest::WriteZip(tokens / "Data/pics.zip", members));

  for (const Case& c : cases) {
    SCOPED_TRACE(c.ext);
    for (std::string path : {"{StaticPath}/pic.", "{StaticPath}/pics.zip/sub/pic."}) {
      cImage image;
      ASSERT_EQ(c.reader(image, filename(path + c.ext)), 0u) << path;
      EXPECT_EQ(image.GetWidth(), 4u);
      EXPECT_EQ(image.GetHeight(), 2u);
    }
    cImage untouched(1, 5, 5, 1);
    EXPECT_EQ(c.reader(untouched, filename(std::string("{StaticPath}/missing.") + c.ext)), 2u);
    EXPECT_EQ(c.reader(untouched, filename(std::string("{StaticPath}/pics.zip/missing.") + c.ext)), 2u);
    EXPECT_EQ(untouched.GetWidth(), 5u);
  }

  // A file larger than any picture is refused before it is read (a sparse file costs nothing).
  ASSERT_TRUE(vektest::WriteFileText(tokens / "Data/big.dds", "DDS "));
  std::filesystem::resize_file(tokens / "Data/big.dds", u64(300) << 20);
  filetest::LogCapture log;
  cImage image;
  EXPECT_EQ(ReadDDS(image, filename("{StaticPath}/big.dds")), 3u);
  EXPECT_NE(log.Text().find("file too large"), std::string::npos) << log.Text();
}

TEST(ImageFiles, WritePngToDisk) {
  filetest::TokenFolders tokens;
  std::filesystem::create_directories(tokens / "Data");
  cImage image(4, 3, 2, 1);
  for (u32 b = 0; b < image.GetLevelSize(0); ++b) image.GetLevel(0)[b] = u8(b * 13);
  ASSERT_EQ(WritePNG(image, filename("{StaticPath}/shot.png")), 0u);
  cImage back;
  ASSERT_EQ(ReadPNG(back, filename("{StaticPath}/shot.png")), 0u);
  EXPECT_EQ(Bytes(back.GetLevel(0), back.GetLevel(0) + back.GetLevelSize(0)),
            Bytes(image.GetLevel(0), image.GetLevel(0) + image.GetLevelSize(0)));

  // A format without a PNG colour type creates no file.
  EXPECT_EQ(WritePNG(cImage(5, 2, 2, 1), filename("{StaticPath}/xrgb.png")), 3u);
  EXPECT_NE(access((tokens / "Data/xrgb.png").c_str(), F_OK), 0);
  // A folder that does not exist, and an archive (read only), cannot take the file.
  EXPECT_EQ(WritePNG(image, filename("{StaticPath}/no/such/folder/shot.png")), 5u);
  ASSERT_TRUE(filetest::WriteZip(tokens / "Data/pics.zip", {{"a.txt", "aaa", true}}));
  EXPECT_EQ(WritePNG(image, filename("{StaticPath}/pics.zip/shot.png")), 5u);
}

}  // namespace
}  // namespace vek
