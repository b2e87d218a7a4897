#include "engine/render/screenshot.h"

#include <sys/stat.h>

#include <filesystem>

#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "tests/engine/render/render_fixture.h"

namespace {

namespace fs = std::filesystem;

class ScreenshotTest : public vektest::RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    desktop = os->desktopFolder;
    ASSERT_EQ(render->Init(Settings()), 0);
  }
  void Touch(const std::string& name) { vektest::WriteFileText(desktop + "/" + name, "x"); }
  bool Has(const std::string& name) const { return fs::exists(desktop + "/" + name); }

  std::string desktop;
};

TEST_F(ScreenshotTest, FirstFreeNumberInTheDesktopFolder) {
  // The folder does not exist yet: it is made.
  ASSERT_FALSE(fs::exists(desktop));
  render->SetClearColor(1.0f, 0.5f, 0.0f, 1.0f);
  render->Clear(plat::gfx::kClearTarget, 1.0f);
  Mark();
  EXPECT_TRUE(vek::shot());
  EXPECT_TRUE(Has("vek00.png"));
  // The message names the file, not its path.
  EXPECT_NE(LogSinceMark().find("COM: Creating Screen Shot vek00.png... Ok"), std::string::npos) << LogSinceMark();
  struct stat st;
  ASSERT_EQ(::stat((desktop + "/vek00.png").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  // The file holds the frame: the client area in the clear colour.
  const std::string bytes = vektest::ReadFileText(desktop + "/vek00.png");
  vek::cImage image;
  ASSERT_EQ(vek::ReadPNG(image, bytes.data(), bytes.size(), "vek00.png"), 0u);
  EXPECT_EQ(image.GetWidth(), 1024u);
  EXPECT_EQ(image.GetHeight(), 768u);
  const vek::u8* p = image.GetLevel(0);
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{255, 127, 0}));

  for (const char* n : {"vek01.png", "vek02.png", "vek03.png", "vek04.png"}) Touch(n);
  EXPECT_TRUE(vek::shot());
  EXPECT_TRUE(Has("vek05.png"));
  fs::remove(desktop + "/vek02.png");
  EXPECT_TRUE(vek::shot());
  EXPECT_EQ(vektest::ReadFileText(desktop + "/vek02.png").substr(1, 3), "PNG");
  // A folder with a screenshot's name counts as taken.
  fs::create_directory(desktop + "/vek06.png");
  EXPECT_TRUE(vek::shot());
  EXPECT_TRUE(Has("vek07.png"));
}

TEST_F(ScreenshotTest, FullFolderWritesNothing) {
  fs::create_directories(desktop);
  for (int n = 0; n < 100; ++n) Touch("vek" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".png");
  Mark();
  EXPECT_FALSE(vek::shot());
  EXPECT_NE(LogSinceMark().find("Destination folder (" + desktop + ") is full. Erase it."), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(desktop), fs::directory_iterator()), 100);
}

TEST_F(ScreenshotTest, FailuresAreReported) {
  // No frame to read.
  render->Free();
  Mark();
  EXPECT_FALSE(vek::shot());
  EXPECT_NE(LogSinceMark().find("Creating Screen Shot vek00.png failed! Can't get buffer data."), std::string::npos);
  EXPECT_FALSE(fs::exists(desktop)) << "the folder is made only for a picture";

  // The desktop cannot be made: its place is taken by a file.
  ASSERT_EQ(render->Init(Settings()), 0);
  fs::remove_all(desktop);
  fs::create_directories(fs::path(desktop).parent_path());
  ASSERT_TRUE(vektest::WriteFileText(desktop, "not a folder"));
  Mark();
  EXPECT_FALSE(vek::shot());
  EXPECT_NE(LogSinceMark().find("Creating Screen Shot vek00.png failed! Error writing in file."), std::string::npos);
}

}  // namespace
