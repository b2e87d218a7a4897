// The sprite-sheet maker: the picture and the area script it writes must agree (every frame the
// script names shows the frame the description made there, inside a transparent ring), bad
// descriptions stop the build with a message and leave no output, and the sheets of the data
// folder load without a graphics device.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/render/texture_info.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using vektest::ReadFileText;
using vektest::WriteFileText;

std::string Tool() { return std::string(VEK_TEST_BIN_DIR) + "/../tools/sprites/spritesheet"; }

int RunTool(const std::string& args, const std::string& errFile) {
  const std::string cmd = "'" + Tool() + "' " + args + " 2>'" + errFile + "'";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Rgba {
  int w = 0, h = 0;
  std::vector<unsigned char> px;  // rows from the top
  const unsigned char* At(int x, int yTop) const { return &px[(static_cast<size_t>(yTop) * w + x) * 4]; }
};

Rgba ReadRgba(const std::string& file) {
  Rgba out;
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, file.c_str())) return out;
  img.format = PNG_FORMAT_RGBA;
  out.px.resize(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, out.px.data(), 0, nullptr)) return Rgba{};
  out.w = static_cast<int>(img.width);
  out.h = static_cast<int>(img.height);
  return out;
}

// A template that fills its frame with a red level naming the frame, and a marker colour.
const char* kTemplate =
    "<?xml version=\"1.0\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" height=\"12\">\n"
    "  <defs><linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"rgb({{frame * 40}},{{g}},0)\"/></linearGradient></defs>\n"
    "  <rect x=\"0\" y=\"0\" width=\"{{w}}\" height=\"{{h}}\" fill=\"url(#g)\"/>\n"
    "</svg>\n";

class SpriteSheetTool : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(tmp / "src");
    ASSERT_TRUE(WriteFileText(tmp / "src/cell.svg", kTemplate));
  }
  int Build(const std::string& description) {
    EXPECT_TRUE(WriteFileText(tmp / "src/test.sheet", description));
    return RunTool("build '" + tmp / "src/test.sheet" + "' '" + tmp / "data" + "' '" + tmp / "work" + "' rsvg-convert",
                   tmp / "err.txt");
  }
  vektest::TempDir tmp;
};

TEST_F(SpriteSheetTool, PictureAndAreaScriptAgree) {
  ASSERT_EQ(Build("sheet texture/t/cells.png\n"
                  "param g const 200\n"
                  "item walk template=cell.svg size=20x12 frames=6 columns=3 time=12.5\n"
                  "item idle template=cell.svg size=20x12   # one frame\n"
                  "  param g list 100\n"),
            0)
      << ReadFileText(tmp / "err.txt");
  const Rgba pic = ReadRgba(tmp / "data/texture/t/cells.png");
  ASSERT_GT(pic.w, 0);
  EXPECT_EQ(pic.w & (pic.w - 1), 0) << "power-of-two width";
  EXPECT_EQ(pic.h & (pic.h - 1), 0) << "power-of-two height";

  const std::string tex = ReadFileText(tmp / "data/texture/t/cells.tex");
  EXPECT_NE(tex.find("local sheet = cTextureInfo(\"cells\", false)\n"), std::string::npos) << tex;
  struct Area {
    std::string name;
    int x, y, w, h, columns, rows;
    float time;
    int green;
  };
  std::vector<Area> areas;
  for (size_t p = tex.find("sheet:AddNode("); p != std::string::npos; p = tex.find("sheet:AddNode(", p + 1)) {
    Area a{};
    char name[64] = {};
    ASSERT_EQ(std::sscanf(tex.c_str() + p, "sheet:AddNode(\"%63[^\"]\", recti(%d, %d, %d, %d), %d, %d, %f)", name, &a.x,
                          &a.y, &a.w, &a.h, &a.columns, &a.rows, &a.time),
              8);
    a.name = name;
    areas.push_back(a);
  }
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas[0].name, "walk");
  EXPECT_EQ(areas[0].columns * areas[0].rows, 6);
  EXPECT_EQ(areas[0].columns, 3);
  EXPECT_EQ(areas[0].time, 12.5f);
  EXPECT_EQ(areas[0].w, 60);
  EXPECT_EQ(areas[0].h, 24);
  areas[0].green = 200;
  EXPECT_EQ(areas[1].name, "idle");
  EXPECT_EQ(areas[1].columns * areas[1].rows, 1);
  EXPECT_EQ(areas[1].time, 30.0f);
  areas[1].green = 100;

  // Frame f of an area (counted from its top row, rows bottom-up in the script) shows the red
  // level 40 f inside a one-pixel transparent ring.
  for (const Area& a : areas) {
    const int fw = a.w / a.columns, fh = a.h / a.rows;
    for (int f = 0; f < a.columns * a.rows; ++f) {
      const int left = a.x + (f % a.columns) * fw;
      const int top = pic.h - (a.y + a.h) + (f / a.columns) * fh;
      const unsigned char* centre = pic.At(left + fw / 2, top + fh / 2);
      EXPECT_EQ(centre[0], 40 * f) << a.name << " frame " << f;
      EXPECT_EQ(centre[1], a.green) << a.name << " frame " << f;
      EXPECT_EQ(centre[3], 255);
      EXPECT_EQ(pic.At(left + 1, top + 1)[3], 255) << "the art reaches the ring";
      for (int x = 0; x < fw; ++x) {
        EXPECT_EQ(pic.At(left + x, top)[3], 0) << a.name << " frame " << f << " top ring";
        EXPECT_EQ(pic.At(left + x, top + fh - 1)[3], 0) << a.name << " frame " << f << " bottom ring";
      }
      for (int y = 0; y < fh; ++y) {
        EXPECT_EQ(pic.At(left, top + y)[3], 0) << a.name << " frame " << f << " left ring";
        EXPECT_EQ(pic.At(left + fw - 1, top + y)[3], 0) << a.name << " frame " << f << " right ring";
      }
    }
  }
}

TEST_F(SpriteSheetTool, PictureIsAJpegWithoutAreas) {
  ASSERT_EQ(Build("picture texture/t/back.jpg template=cell.svg size=20x12\nparam g const 255\n"), 0)
      << ReadFileText(tmp / "err.txt");
  const std::string jpg = ReadFileText(tmp / "data/texture/t/back.jpg");
  ASSERT_GT(jpg.size(), 4u);
  EXPECT_EQ(static_cast<unsigned char>(jpg[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(jpg[1]), 0xD8);
  EXPECT_FALSE(fs::exists(tmp / "data/texture/t/back.tex"));
}

TEST_F(SpriteSheetTool, BadDescriptionsStopWithAMessage) {
  struct Case {
    const char* description;
    const char* message;
  };
  const Case cases[] = {
      {"sheet texture/t/x.png\nitem a template=cell.svg size=20x12 frames=3\n  param g list 1 2\n",
       "list of 2 values for 3 frames"},
      {"sheet texture/t/x.png\nitem a template=cell.svg size=20x12\n", "unknown parameter g"},
      {"sheet texture/t/x.png\nparam g const 1\nitem a template=cell.svg size=20x12 frames=5 columns=2\n",
       "frames must fill the grid"},
      {"sheet texture/t/x.png\nitem a template=none.svg size=20x12\n", "no template"},
      {"sheet texture/t/x.png\nparam g const 1\nitem a template=cell.svg size=20x12\nitem a template=cell.svg size=20x12\n",
       "named twice"},
      {"sheet texture/t/X.png\nitem a template=cell.svg size=20x12\n", "lower case"},
      {"sheet ../x.png\nitem a template=cell.svg size=20x12\n", "inside the data folder"},
      {"item a template=cell.svg size=20x12\n", "items belong to a sheet"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Build(c.description), 1) << c.description;
    EXPECT_NE(ReadFileText(tmp / "err.txt").find(c.message), std::string::npos)
        << c.description << "\n" << ReadFileText(tmp / "err.txt");
    EXPECT_FALSE(fs::exists(tmp / "data/texture/t/x.png")) << c.description;
    EXPECT_FALSE(fs::exists(tmp / "data/texture/t/x.tex")) << c.description;
  }
}

// The loading screen's seedling, as a headless test finds it.
TEST(SpriteSheetData, SheetsLoadWithoutAGraphicsDevice) {
  vektest::TempDir tmp;
  vek::SetPathToken(vek::e_AppPath, tmp.path());
  vek::CreateLogHolder(1024.0f, 768.0f);
  {
    vektest::HeadlessSprites sprites;
    ASSERT_TRUE(sprites.Load("texture/system/loading_sprout.png"));
    const vek::cTextureInfo* sheet = vek::FindTextureInfo("loading_sprout");
    ASSERT_NE(sheet, vek::g_pTextureInfos->Get(0));
    const vek::cTextureInfo::cItem& grow = sheet->GetByIndex(sheet->FindIndex("grow"));
    EXPECT_EQ(grow.frames.size(), 8u);
    EXPECT_EQ(grow.frameTime, 12.0f);
    // 64 x 80 frames on a 512 x 256 picture.
    EXPECT_FLOAT_EQ(grow.frames[0].w, 64.0f / 512.0f);
    EXPECT_FLOAT_EQ(grow.frames[0].h, 80.0f / 256.0f);
    EXPECT_EQ(sheet->GetByIndex(sheet->FindIndex("sway")).frames.size(), 8u);
  }
  vek::DestroyLogHolder();
}

}  // namespace
