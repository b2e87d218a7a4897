// Runs the font baker on a DejaVu font and reads its outputs back: the atlas as pixels, the
// script as text (the script host is not needed to check what it would build).
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/";

std::string Baker() { return std::string(VEK_TEST_BIN_DIR) + "/../tools/fontbake/fontbake"; }

// Runs the baker with the arguments (each quoted); the exit code, -1 when it did not exit.
int Bake(const std::vector<std::string>& args, const std::string& errFile) {
  std::string cmd = "'" + Baker() + "'";
  for (const std::string& a : args) cmd += " '" + a + "'";
  cmd += " 2>'" + errFile + "'";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct GlyphRecord {
  bool defined = false;
  float width = 0, offset = 0, advance = 0;
  int x = 0, y = 0, w = 0, h = 0;  // rectangle in atlas pixels from the top
  float u = 0, v = 0, du = 0, dv = 0;  // as the font turns it into texture coordinates
};

struct FontScript {
  std::string name, family, style, texture;
  int size = 0, lineHeight = 0, texW = 0, texH = 0;
  bool transform = false;
  int charCalls = 0;
  GlyphRecord glyphs[256];
};

// The byte of a one-character Lua string literal body ("A", "\128", "\"").
int LuaByte(const std::string& body) {
  if (body.size() == 1 && body[0] != '\\') return static_cast<unsigned char>(body[0]);
  if (body.size() == 2 && body[0] == '\\' && !std::isdigit(static_cast<unsigned char>(body[1])))
    return static_cast<unsigned char>(body[1]);
  if (body.size() == 4 && body[0] == '\\') return std::stoi(body.substr(1));
  return -1;
}

FontScript ParseScript(const std::string& text) {
  FontScript f;
  const std::regex ctor(R"re(^local font = cFont\("([^"]*)"\)$)re");
  const std::regex init(R"re(^font:Init\("([^"]*)", "([^"]*)", (\d+), (\d+)\)$)re");
  const std::regex tex(R"re(^font:Texture\("([^"]*)", (\d+), (\d+)\)$)re");
  const std::regex transform(R"re(^font:Transform\(0, 1, 1\)$)re");
  const std::regex ch(
      R"re(^font:Char\("(\\\d{3}|\\.|[^"\\])", (-?\d+), recti\((-?\d+), (-?\d+), (-?\d+), (-?\d+)\), (-?\d+), (-?\d+)\)( -- U\+[0-9A-F]{4})?$)re");
  std::istringstream in(text);
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (line.rfind("--", 0) == 0) continue;
    if (std::regex_match(line, m, ctor)) {
      f.name = m[1];
    } else if (std::regex_match(line, m, init)) {
      f.family = m[1];
      f.style = m[2];
      f.size = std::stoi(m[3]);
      f.lineHeight = std::stoi(m[4]);
    } else if (std::regex_match(line, m, tex)) {
      f.texture = m[1];
      f.texW = std::stoi(m[2]);
      f.texH = std::stoi(m[3]);
    } else if (std::regex_match(line, m, transform)) {
      f.transform = true;
    } else if (std::regex_match(line, m, ch)) {
      ++f.charCalls;
      const int b = LuaByte(m[1]);
      EXPECT_GE(b, 0) << line;
      if (b < 0) continue;
      GlyphRecord& g = f.glyphs[b];
      EXPECT_FALSE(g.defined) << "byte " << b << " defined twice";
      g.defined = true;
      g.width = std::stof(m[2]);
      g.x = std::stoi(m[3]);
      g.y = std::stoi(m[4]);
      g.w = std::stoi(m[5]);
      g.h = std::stoi(m[6]);
      g.offset = std::stof(m[7]);
      g.advance = std::stof(m[8]);
      g.u = static_cast<float>(g.x) / f.texW;
      g.du = static_cast<float>(g.w) / f.texW;
      g.dv = static_cast<float>(g.h) / f.texH;
      g.v = 1.0f - static_cast<float>(g.y) / f.texH - g.dv;
    } else if (!line.empty()) {
      ADD_FAILURE() << "unexpected line: " << line;
    }
  }
  return f;
}

struct Atlas {
  int w = 0, h = 0;
  std::vector<unsigned char> rgba;
  int Alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * w + x) * 4 + 3]; }
};

bool ReadAtlas(const std::string& path, Atlas* out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGBA;
  out->w = static_cast<int>(image.width);
  out->h = static_cast<int>(image.height);
  out->rgba.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, out->rgba.data(), 0, nullptr) != 0;
}

int Coverage(const Atlas& a, const GlyphRecord& g) {
  int sum = 0;
  for (int y = g.y; y < g.y + g.h; ++y)
    for (int x = g.x; x < g.x + g.w; ++x) sum += a.Alpha(x, y);
  return sum;
}

class FontBake : public ::testing::Test {
 protected:
  vektest::TempDir tmp;
  std::string Err() const { return vektest::ReadFileText(tmp / "err.txt"); }
};

TEST_F(FontBake, BakesAllGlyphsOfTheCodePage) {
  const std::string png = tmp / "fonts/sans16.png", lua = tmp / "fonts/sans16.lua";
  ASSERT_EQ(Bake({std::string(kDejaVu) + "DejaVuSans.ttf", "16", "sans16", png, lua}, tmp / "err.txt"), 0)
      << Err();
  EXPECT_EQ(Err(), "");

  Atlas atlas;
  ASSERT_TRUE(ReadAtlas(png, &atlas));
  const FontScript f = ParseScript(vektest::ReadFileText(lua));
  EXPECT_EQ(f.name, "sans16");
  EXPECT_EQ(f.family, "DejaVu Sans");
  EXPECT_EQ(f.size, 16);
  EXPECT_TRUE(f.transform);
  EXPECT_EQ(f.texture, "sans16");  // the atlas's file name: the texture's name once loaded
  EXPECT_EQ(f.texW, atlas.w);
  EXPECT_EQ(f.texH, atlas.h);
  EXPECT_EQ(atlas.w & (atlas.w - 1), 0);  // powers of two
  EXPECT_EQ(atlas.h & (atlas.h - 1), 0);
  EXPECT_GE(f.lineHeight, 16);
  EXPECT_LE(f.lineHeight, 24);

  EXPECT_EQ(f.charCalls, 256);
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const GlyphRecord& g = f.glyphs[b];
    ASSERT_TRUE(g.defined);
    // Rectangles lie inside the atlas; drawn glyphs are one line high and as wide as their quad.
    EXPECT_GE(g.x, 0);
    EXPECT_GE(g.y, 0);
    EXPECT_LE(g.x + g.w, atlas.w);
    EXPECT_LE(g.y + g.h, atlas.h);
    EXPECT_EQ(g.width, static_cast<float>(g.w));
    if (g.w > 0) {
      EXPECT_EQ(g.h, f.lineHeight);
    }
    EXPECT_GE(g.u, 0.0f);
    EXPECT_GE(g.v, 0.0f);
    EXPECT_LE(g.u + g.du, 1.0f);
    EXPECT_LE(g.v + g.dv, 1.0f);
  }

  // Drawn glyphs never share pixels.
  for (int a = 0; a < 256; ++a)
    for (int b = a + 1; b < 256; ++b) {
      const GlyphRecord &p = f.glyphs[a], &q = f.glyphs[b];
      if (p.w == 0 || q.w == 0) continue;
      const bool apart = p.x + p.w <= q.x || q.x + q.w <= p.x || p.y + p.h <= q.y || q.y + q.h <= p.y;
      EXPECT_TRUE(apart) << a << " and " << b;
    }

  const GlyphRecord& A = f.glyphs['A'];
  EXPECT_GT(A.advance, 0.0f);
  EXPECT_GT(A.w, 0);
  EXPECT_GT(Coverage(atlas, A), 0);
  EXPECT_GT(f.glyphs[' '].advance, 0.0f);  // a blank moves the pen and draws nothing
  EXPECT_EQ(f.glyphs[' '].w, 0);
  EXPECT_LT(f.glyphs['i'].advance, f.glyphs['W'].advance);  // proportional face

  // 0x80 is the euro sign in windows-1252 (DejaVu has it); 0xE9 is e acute.
  for (int b : {0x80, 0x9F, 0xE9, 0xFF}) {
    SCOPED_TRACE(b);
    EXPECT_GT(f.glyphs[b].advance, 0.0f);
    EXPECT_GT(Coverage(atlas, f.glyphs[b]), 0);
  }
  // Control bytes and the undefined positions draw and advance nothing.
  for (int b : {0x00, 0x0A, 0x1F, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(f.glyphs[b].w, 0) << b;
    EXPECT_EQ(f.glyphs[b].advance, 0.0f) << b;
  }

  // Everything outside the glyph rectangles is transparent.
  std::vector<bool> inGlyph(static_cast<size_t>(atlas.w) * atlas.h, false);
  for (const GlyphRecord& g : f.glyphs)
    for (int y = g.y; y < g.y + g.h; ++y)
      for (int x = g.x; x < g.x + g.w; ++x) inGlyph[static_cast<size_t>(y) * atlas.w + x] = true;
  int stray = 0;
  for (int y = 0; y < atlas.h; ++y)
    for (int x = 0; x < atlas.w; ++x)
      if (!inGlyph[static_cast<size_t>(y) * atlas.w + x] && atlas.Alpha(x, y) != 0) ++stray;
  EXPECT_EQ(stray, 0);
}

TEST_F(FontBake, RefusesBadInputWithoutWritingFiles) {
  const std::string png = tmp / "out.png", lua = tmp / "out.lua";
  const std::string ttf = std::string(kDejaVu) + "DejaVuSans.ttf";
  const std::string notAFont = tmp / "text.ttf";
  ASSERT_TRUE(vektest::WriteFileText(notAFont, "plain text, no font"));
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{tmp / "missing.ttf", "16", "f", png, lua}, "cannot open the font"},
      {{notAFont, "16", "f", png, lua}, "cannot open the font"},
      {{ttf, "0", "f", png, lua}, "pixel size"},
      {{ttf, "16px", "f", png, lua}, "pixel size"},
      {{ttf, "16", "", png, lua}, "font name"},
      {{ttf, "16", "f", tmp / "out.bmp", lua}, ".png"},
      {{ttf, "16", "f"}, "usage"},
      {{ttf, "16", "f", png, lua, "outline=0"}, "outline=<1..8>"},
      {{ttf, "16", "f", png, lua, "border=2"}, "outline=<1..8>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    EXPECT_NE(Bake(c.args, tmp / "err.txt"), 0);
    EXPECT_NE(Err().find(c.says), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(png));
    EXPECT_FALSE(fs::exists(lua));
  }
}

TEST_F(FontBake, OutlineGivesEveryGlyphADarkRim) {
  const std::string ttf = std::string(kDejaVu) + "DejaVuSans-Bold.ttf";
  ASSERT_EQ(Bake({ttf, "24", "plain", tmp / "plain.png", tmp / "plain.lua"}, tmp / "err.txt"), 0) << Err();
  ASSERT_EQ(Bake({ttf, "24", "rim", tmp / "rim.png", tmp / "rim.lua", "outline=2"}, tmp / "err.txt"), 0) << Err();
  const FontScript plain = ParseScript(vektest::ReadFileText(tmp / "plain.lua"));
  const FontScript rim = ParseScript(vektest::ReadFileText(tmp / "rim.lua"));
  EXPECT_EQ(rim.lineHeight, plain.lineHeight + 4);
  const GlyphRecord &p = plain.glyphs['O'], &r = rim.glyphs['O'];
  EXPECT_EQ(r.w, p.w + 4);
  EXPECT_EQ(r.advance, p.advance + 2);
  Atlas atlas;
  ASSERT_TRUE(ReadAtlas(tmp / "rim.png", &atlas));
  // The rim: opaque and dark at the left edge of the O's middle row; the body stays white.
  int darkest = 255, whitest = 0;
  const int row = r.y + r.h / 2;
  for (int x = r.x; x < r.x + r.w; ++x) {
    const unsigned char* px = &atlas.rgba[(static_cast<size_t>(row) * atlas.w + x) * 4];
    if (px[3] < 250) continue;
    darkest = std::min(darkest, static_cast<int>(px[0]));
    whitest = std::max(whitest, static_cast<int>(px[0]));
  }
  EXPECT_LT(darkest, 0x60);
  EXPECT_GT(whitest, 0xF0);
}

TEST(SystemFont, IsBakedIntoTheDataFolder) {
  // The start-up loads texture/system/font_system.png and runs conf/sys_font.lua.
  const std::string data = std::string(VEK_TEST_BIN_DIR) + "/data/";
  Atlas atlas;
  ASSERT_TRUE(ReadAtlas(data + "texture/system/font_system.png", &atlas));
  const FontScript f = ParseScript(vektest::ReadFileText(data + "conf/sys_font.lua"));
  EXPECT_EQ(f.name, "system");
  EXPECT_EQ(f.texture, "font_system");
  EXPECT_EQ(f.texW, atlas.w);
  EXPECT_EQ(f.texH, atlas.h);
  EXPECT_EQ(f.charCalls, 256);
  // Fixed width: the console steps its caret and text by one character advance.
  for (int b = 0x20; b < 0x7F; ++b) EXPECT_EQ(f.glyphs[b].advance, f.glyphs['M'].advance) << b;
  EXPECT_GT(f.glyphs['_'].w, 0);  // the caret's glyph
}

}  // namespace
