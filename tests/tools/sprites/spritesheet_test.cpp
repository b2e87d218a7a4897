// The sprite-sheet maker: the picture and the area script it writes must agree (every frame the
// script names shows the frame the description made there, inside a transparent ring), bad
// descriptions stop the build with a message and leave no output, and the sheets of the data
// folder load without a graphics device.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
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

// Sheets and pictures with a "page" line: built into the work folder, then packed onto one
// page whose script makes each one's part and areas.
class SpritePages : public SpriteSheetTool {
 protected:
  int BuildNamed(const std::string& name, const std::string& description) {
    EXPECT_TRUE(WriteFileText(tmp / ("src/" + name + ".sheet"), description));
    return RunTool("build '" + tmp / ("src/" + name + ".sheet") + "' '" + tmp / "data" + "' '" + tmp / "work" +
                       "' rsvg-convert",
                   tmp / "err.txt");
  }
  int Page(const std::vector<std::string>& names) {
    std::string args = "page '" + tmp / "data" + "' '" + tmp / "work" + "'";
    for (const std::string& n : names) args += " '" + tmp / ("src/" + n + ".sheet") + "'";
    return RunTool(args, tmp / "err.txt");
  }
  std::string Err() { return ReadFileText(tmp / "err.txt"); }
};

TEST_F(SpritePages, EverySheetKeepsItsAreasOnTheSharedPage) {
  const std::string page = "page texture/t/page.png size=256x256\n";
  ASSERT_EQ(BuildNamed("a", "sheet texture/t/a.png\n" + page + "param g const 200\n"
                       "item walk template=cell.svg size=20x12 frames=6 columns=3 time=12\n"),
            0) << Err();
  // b's blocks (20 x 12 and 60 x 24) lie side by side: on a page its picture is just their
  // 80 x 24, not a power-of-two picture's layout of them (60 x 36).
  ASSERT_EQ(BuildNamed("b", "sheet texture/t/b.png\n" + page + "param g const 100\n"
                       "item idle template=cell.svg size=20x12\nitem run template=cell.svg size=20x12 frames=6 columns=3\n"),
            0) << Err();
  ASSERT_EQ(BuildNamed("c", "picture texture/t/c.png template=cell.svg size=24x16\n" + page + "param g const 50\n"), 0)
      << Err();
  // Nothing of theirs reaches the data folder before the page step.
  for (const char* f : {"a.png", "a.tex", "b.png", "c.png"}) EXPECT_FALSE(fs::exists(fs::path(tmp / "data/texture/t") / f)) << f;
  ASSERT_EQ(Page({"a", "b", "c"}), 0) << Err();
  const Rgba pic = ReadRgba(tmp / "data/texture/t/page.png");
  ASSERT_GT(pic.w, 0);
  EXPECT_LE(pic.w, 256);
  EXPECT_LE(pic.h, 256);

  // The parts: one per sheet or picture, inside the page, none touching another's ring.
  const std::string tex = ReadFileText(tmp / "data/texture/t/page.tex");
  struct Part {
    std::string name;
    int x, y, w, h;
  };
  std::vector<Part> parts;
  for (size_t p = tex.find("cTexturePart(\""); p != std::string::npos; p = tex.find("cTexturePart(\"", p + 1)) {
    Part part{};
    char name[64] = {};
    ASSERT_EQ(std::sscanf(tex.c_str() + p, "cTexturePart(\"%63[^\"]\", \"page\", recti(%d, %d, %d, %d))", name, &part.x,
                          &part.y, &part.w, &part.h),
              5);
    part.name = name;
    parts.push_back(part);
  }
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[1].w, 80);
  EXPECT_EQ(parts[1].h, 24);
  // The page ends where its last cells do: no side a power of two for its own sake.
  int right = 0, top = 0;
  for (const Part& a : parts) {
    right = std::max(right, a.x + a.w + 1);
    top = std::max(top, a.y + a.h + 1);
  }
  EXPECT_EQ(pic.w, right);
  EXPECT_EQ(pic.h, top);
  for (size_t i = 0; i < parts.size(); ++i) {
    const Part& a = parts[i];
    EXPECT_GE(a.x, 1) << a.name;
    EXPECT_GE(a.y, 1) << a.name;
    EXPECT_LE(a.x + a.w + 1, pic.w) << a.name;
    EXPECT_LE(a.y + a.h + 1, pic.h) << a.name;
    for (size_t j = i + 1; j < parts.size(); ++j) {
      const Part& b = parts[j];
      const bool apart = a.x + a.w + 1 <= b.x - 1 || b.x + b.w + 1 <= a.x - 1 || a.y + a.h + 1 <= b.y - 1 ||
                         b.y + b.h + 1 <= a.y - 1;
      EXPECT_TRUE(apart) << a.name << " and " << b.name;
    }
  }
  const Part& c = parts[2];
  EXPECT_EQ(c.name, "c");
  EXPECT_EQ(c.w, 24);
  EXPECT_EQ(c.h, 16);
  EXPECT_EQ(tex.find("cTextureInfo(\"c\""), std::string::npos) << "a picture has no areas";
  const int cTop = pic.h - (c.y + c.h);
  EXPECT_EQ(pic.At(c.x + 12, cTop + 8)[1], 50);
  // The ring repeats the part's edge: what filtering reads beyond the edge is the part's own.
  for (int y = 0; y < c.h; y += 5) {
    EXPECT_EQ(0, std::memcmp(pic.At(c.x - 1, cTop + y), pic.At(c.x, cTop + y), 4)) << y;
    EXPECT_EQ(0, std::memcmp(pic.At(c.x + c.w, cTop + y), pic.At(c.x + c.w - 1, cTop + y), 4)) << y;
  }

  // Each sheet's areas count in its own pixels: frame f of an area shows red 40 f at its
  // centre where the part and the area put it on the page.
  const struct {
    const char* sheet;
    const char* area;
    int frames, columns, green;
  } expected[] = {{"a", "walk", 6, 3, 200}, {"b", "idle", 1, 1, 100}, {"b", "run", 6, 3, 100}};
  for (const auto& e : expected) {
    SCOPED_TRACE(std::string(e.sheet) + " " + e.area);
    const auto part = std::find_if(parts.begin(), parts.end(), [&](const Part& p) { return p.name == e.sheet; });
    ASSERT_NE(part, parts.end());
    const size_t block = tex.find("cTextureInfo(\"" + std::string(e.sheet) + "\", false)");
    ASSERT_NE(block, std::string::npos);
    const size_t at = tex.find("sheet:AddNode(\"" + std::string(e.area) + "\"", block);
    ASSERT_NE(at, std::string::npos);
    int x = 0, y = 0, w = 0, h = 0, columns = 0, rows = 0;
    ASSERT_EQ(std::sscanf(tex.c_str() + tex.find("recti(", at), "recti(%d, %d, %d, %d), %d, %d", &x, &y, &w, &h,
                          &columns, &rows),
              6);
    ASSERT_EQ(columns, e.columns);
    ASSERT_EQ(columns * rows, e.frames);
    const int fw = w / columns, fh = h / rows;
    for (int f = 0; f < e.frames; ++f) {
      const int left = part->x + x + (f % columns) * fw;
      const int top = pic.h - (part->y + y + h) + (f / columns) * fh;
      const unsigned char* centre = pic.At(left + fw / 2, top + fh / 2);
      EXPECT_EQ(centre[0], 40 * f) << "frame " << f;
      EXPECT_EQ(centre[1], e.green) << "frame " << f;
      EXPECT_EQ(pic.At(left, top)[3], 0) << "frame " << f << " keeps its transparent ring";
    }
  }
}

TEST_F(SpritePages, PageProblemsStopTheBuildNamingTheFile) {
  const std::string cell = "param g const 1\nitem a template=cell.svg size=20x12\n";
  // Too large for its page, alone.
  ASSERT_EQ(BuildNamed("big", "sheet texture/t/big.png\npage texture/t/small.png size=32x32\n"
                       "param g const 1\nitem a template=cell.svg size=20x12 frames=4\n"),
            0) << Err();
  EXPECT_EQ(Page({"big"}), 1);
  EXPECT_NE(Err().find("big.sheet: the sheet (80 x 12) is larger than its page texture/t/small.png (32 x 32)"),
            std::string::npos) << Err();
  EXPECT_FALSE(fs::exists(tmp / "data/texture/t/small.png"));
  // Each fits, all three do not.
  for (const char* n : {"p1", "p2", "p3"})
    ASSERT_EQ(BuildNamed(n, std::string("sheet texture/t/") + n + ".png\npage texture/t/small.png size=32x32\n" + cell),
              0) << Err();
  EXPECT_EQ(Page({"p1", "p2", "p3"}), 1);
  EXPECT_NE(Err().find("p3.sheet: the sheet does not fit on the page texture/t/small.png"), std::string::npos) << Err();
  EXPECT_FALSE(fs::exists(tmp / "data/texture/t/small.png"));
  ASSERT_EQ(Page({"p1", "p2"}), 0) << Err();
  // One page, one size; a sheet of another page is not gathered.
  ASSERT_EQ(BuildNamed("other", "sheet texture/t/other.png\npage texture/t/small.png size=64x64\n" + cell), 0);
  EXPECT_EQ(Page({"p1", "other"}), 1);
  EXPECT_NE(Err().find("other.sheet: gives the page texture/t/small.png another size"), std::string::npos) << Err();
  ASSERT_EQ(BuildNamed("elsewhere", "sheet texture/t/elsewhere.png\npage texture/t/big_page.png\n" + cell), 0);
  EXPECT_EQ(Page({"p1", "elsewhere"}), 1);
  EXPECT_NE(Err().find("elsewhere.sheet: lies on texture/t/big_page.png, not on texture/t/small.png"),
            std::string::npos) << Err();
  // Bad page lines stop the sheet's own build.
  const struct {
    const char* description;
    const char* message;
  } bad[] = {
      {"page texture/t/pg.png\nsheet texture/t/x.png\n", "page belongs to a sheet or picture"},
      {"sheet texture/t/x.png\npage texture/t/pg.jpg\n", "a page is a .png file"},
      {"sheet texture/t/x.png\npage texture/t/x.png\n", "the page needs a name of its own"},
      {"sheet texture/t/x.png\npage texture/t/pg.png\npage texture/t/pg.png\n", "a sheet lies on one page"},
      {"picture texture/t/x.jpg template=cell.svg size=20x12\npage texture/t/pg.png\n", "only a .png picture"},
  };
  for (const auto& c : bad) {
    EXPECT_EQ(BuildNamed("x", std::string(c.description) + cell), 1) << c.description;
    EXPECT_NE(Err().find(c.message), std::string::npos) << c.description << "\n" << Err();
  }
}

// A tall part and four small ones fill a 40 x 60 page exactly (cells of 20 x 40 and 20 x 20
// with their rings), stacking two small ones beside the tall one: shelves of the tallest part's
// height could not hold them there. Without a size given, the page is just as small.
TEST_F(SpritePages, PageHoldsWhatFitsAndIsNoLargerThanItsParts) {
  struct Part {
    std::string name;
    int x, y, w, h, green;
  };
  const auto build = [&](const std::string& pageLine) {
    int green = 10;
    for (const char* n : {"tall", "s1", "s2", "s3", "s4"}) {
      const std::string size = std::string(n) == "tall" ? "18x38" : "18x18";
      ASSERT_EQ(BuildNamed(n, std::string("picture texture/t/") + n + ".png template=cell.svg size=" + size + "\n" +
                                  pageLine + "param g const " + std::to_string(green) + "\n"),
                0) << Err();
      green += 40;
    }
  };
  const auto parts = [&] {
    std::vector<Part> out;
    const std::string tex = ReadFileText(tmp / "data/texture/t/fill.tex");
    for (size_t p = tex.find("cTexturePart(\""); p != std::string::npos; p = tex.find("cTexturePart(\"", p + 1)) {
      Part part{};
      char name[64] = {};
      EXPECT_EQ(std::sscanf(tex.c_str() + p, "cTexturePart(\"%63[^\"]\", \"fill\", recti(%d, %d, %d, %d))", name,
                            &part.x, &part.y, &part.w, &part.h),
                5);
      part.name = name;
      part.green = 10 + 40 * static_cast<int>(out.size());
      out.push_back(part);
    }
    return out;
  };
  const std::vector<std::string> names = {"tall", "s1", "s2", "s3", "s4"};

  build("page texture/t/fill.png\n");
  ASSERT_EQ(Page(names), 0) << Err();
  Rgba pic = ReadRgba(tmp / "data/texture/t/fill.png");
  EXPECT_EQ(pic.w * pic.h, 40 * 60) << pic.w << " x " << pic.h;

  build("page texture/t/fill.png size=40x60\n");
  ASSERT_EQ(Page(names), 0) << Err();
  pic = ReadRgba(tmp / "data/texture/t/fill.png");
  ASSERT_EQ(pic.w, 40);
  ASSERT_EQ(pic.h, 60);
  // Every pixel of the page is a part's or its ring's, and the ring repeats the part's edge:
  // each part's colour, never a neighbour's, all round it (corners too).
  const std::vector<Part> all = parts();
  ASSERT_EQ(all.size(), 5u);
  for (const Part& p : all) {
    SCOPED_TRACE(p.name);
    const int top = pic.h - (p.y + p.h);
    for (int y = top - 1; y <= top + p.h; ++y)
      for (int x = p.x - 1; x <= p.x + p.w; ++x) {
        ASSERT_TRUE(x >= 0 && y >= 0 && x < pic.w && y < pic.h) << x << ", " << y;
        EXPECT_EQ(pic.At(x, y)[1], p.green) << x << ", " << y;
        EXPECT_EQ(pic.At(x, y)[3], 255) << x << ", " << y;
      }
  }
  // The same sheets give the same bytes.
  const std::string png = ReadFileText(tmp / "data/texture/t/fill.png"), tex = ReadFileText(tmp / "data/texture/t/fill.tex");
  ASSERT_EQ(Page(names), 0) << Err();
  EXPECT_TRUE(ReadFileText(tmp / "data/texture/t/fill.png") == png);
  EXPECT_EQ(ReadFileText(tmp / "data/texture/t/fill.tex"), tex);

  // One small part more does not fit; the message names it.
  ASSERT_EQ(BuildNamed("s5", "picture texture/t/s5.png template=cell.svg size=18x18\npage texture/t/fill.png "
                             "size=40x60\nparam g const 1\n"),
            0) << Err();
  std::vector<std::string> more = names;
  more.push_back("s5");
  EXPECT_EQ(Page(more), 1);
  EXPECT_NE(Err().find("s5.sheet: the sheet does not fit on the page texture/t/fill.png (40 x 60) beside the others"),
            std::string::npos) << Err();
}

// A sheet on a page packs its blocks tightly but not into a long strip: 23 blocks of 20 x 20
// take 80 x 120 (4 % more than one row of 460 x 20, and nearly square), and on a page too
// narrow for that the layout that fits it.
TEST_F(SpritePages, SheetOnAPageTakesASquarishLayoutThatFitsThePage) {
  std::string items = "param g const 1\n";
  for (int i = 0; i < 23; ++i) items += "item i" + std::to_string(i) + " template=cell.svg size=20x20\n";
  const struct {
    const char* page;
    int w, h;
  } cases[] = {{"page texture/t/sq.png size=512x512\n", 80, 120}, {"page texture/t/sq.png size=64x256\n", 60, 160}};
  for (const auto& c : cases) {
    ASSERT_EQ(BuildNamed("icons", std::string("sheet texture/t/icons.png\n") + c.page + items), 0) << Err();
    const Rgba pic = ReadRgba(tmp / "work/paged/icons.png");
    EXPECT_EQ(pic.w, c.w) << c.page;
    EXPECT_EQ(pic.h, c.h) << c.page;
    EXPECT_EQ(Page({"icons"}), 0) << Err();
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
