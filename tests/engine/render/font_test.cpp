#include <cstdio>
#include <map>
#include <regex>
#include <string>

#include "engine/app/script_bindings.h"
#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "engine/script/script.h"
#include "tests/engine/render/render_fixture.h"

namespace {

using vek::cFont;
using vek::f32;
using vek::recti;

class FontTest : public vektest::RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ASSERT_EQ(render->Init(Settings()), 0);
    vek::CreateTextureManager();
    vek::CreateFontManager();
    fonts = vek::GetFonts();
    ASSERT_NE(fonts, nullptr);
  }
  void TearDown() override {
    if (vek::GetScript()) vek::DestroyScript();
    vek::DestroyFontManager();
    RenderFixture::TearDown();
  }

  // A script host with the engine's classes.
  void OpenScript() {
    ASSERT_TRUE(vek::CreateScript());
    ASSERT_TRUE(vek::RegisterEngine(vek::GetScript()));
  }
  bool Run(const std::string& code) { return vek::GetScript()->DoString(code, "=test"); }

  static std::vector<f32> Glyph(const cFont& f, char c) {
    const f32* g = f.GetGlyph(static_cast<vek::u8>(c));
    return std::vector<f32>(g, g + cFont::e_GlyphValues);
  }

  vek::cFontManager* fonts = nullptr;
};

TEST_F(FontTest, ManagerLifecycleAndLookUps) {
  ASSERT_EQ(fonts->Count(), 1u);
  EXPECT_EQ(fonts->Default()->GetName(), "unnamed");
  EXPECT_EQ(fonts->Default()->GetLineHeight(), 0.0f);
  EXPECT_EQ(fonts->Default()->GetTexture(), 0u);
  EXPECT_NE(Log().find("CreateFontManager: Ok"), std::string::npos);

  Mark();
  vek::CreateFontManager();
  EXPECT_NE(LogSinceMark().find("CreateFontManager: Already exist"), std::string::npos);
  EXPECT_EQ(vek::GetFonts(), fonts);

  cFont* first = new cFont("title");
  new cFont("body");
  cFont* second = new cFont("title");
  EXPECT_EQ(fonts->Find("title"), 1u);  // two of one name: the first
  EXPECT_EQ(fonts->GetAt(fonts->Find("title")), first);
  EXPECT_EQ(fonts->GetAt(3), second);
  EXPECT_EQ(fonts->Find("missing"), 0u);  // the empty font, which draws nothing
  EXPECT_EQ(fonts->Find("Title"), 0u);
  EXPECT_EQ(fonts->GetAt(42), fonts->Default());
  EXPECT_EQ(vek::GetFont(42), fonts->Default());

  Mark();
  vek::DestroyFontManager();
  EXPECT_EQ(vek::GetFonts(), nullptr);
  EXPECT_EQ(vek::GetFont(1), nullptr);
  EXPECT_NE(LogSinceMark().find("DestroyFontManager: Ok"), std::string::npos);
  vek::DestroyFontManager();
  EXPECT_NE(LogSinceMark().find("DestroyFontManager: Not exist"), std::string::npos);
}

TEST_F(FontTest, GlyphDefinitions) {
  vek::cImage image(vek::e_PixARGB, 256, 128, 1);
  new vek::cTexture("atlas", false, &image);

  struct Case {
    const char* name;
    const char* texture;  // the texture named by Texture
    int w, h;             // the size given to Texture
    std::vector<f32> a;   // the glyph of "A" after Char("A", 5, {64, 32, 32, 16}, -1, 6)
  };
  const std::vector<Case> cases = {
      // A loaded texture: its own size converts the rectangle; v counts from the bottom.
      {"loaded", "atlas", 1, 1, {5, 0.25f, 0.625f, 0.125f, 0.125f, -1, 6}},
      // Not loaded: texture 0, the given size converts.
      {"not loaded", "missing", 128, 64, {5, 0.5f, 0.25f, 0.25f, 0.25f, -1, 6}},
      // Not loaded and no size: the pixel values are kept.
      {"no size", "missing", 0, 64, {5, 64, 32, 32, 16, -1, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cFont& font = *new cFont("f");  // owned by the manager
    font.Texture(c.texture, c.w, c.h);
    EXPECT_EQ(font.GetTexture(), std::string(c.texture) == "atlas" ? vek::g_pTextureManager->FindIndex("atlas") : 0u);
    font.Char("AB", 5, recti{64, 32, 32, 16}, -1, 6);
    EXPECT_EQ(Glyph(font, 'A'), c.a);
    EXPECT_EQ(Glyph(font, 'B'), std::vector<f32>(7, 0.0f));  // only the first byte
  }
  EXPECT_EQ(vek::g_pTextureManager->FindIndex("atlas"), 1u);

  cFont& font = *new cFont("g");
  font.Texture("atlas", 0, 0);
  EXPECT_EQ(font.GetTextureWidth(), 256u);
  EXPECT_EQ(font.GetTextureHeight(), 128u);
  font.Char("", 9, recti{1, 2, 3, 4}, 1, 1);  // nothing
  for (int b = 0; b < 256; ++b) EXPECT_EQ(Glyph(font, static_cast<char>(b)), std::vector<f32>(7, 0.0f)) << b;
  font.Char("\xFF", 3, recti{0, 0, 256, 128}, 0, 4);
  EXPECT_EQ(Glyph(font, '\xFF'), (std::vector<f32>{3, 0, 0, 1, 1, 0, 4}));
  font.Init("Face", "Bold", 12, 17.0f);
  font.Transform(2.0f, 3.0f, 4.0f);
  EXPECT_EQ(font.GetLineHeight(), 17.0f);
  EXPECT_EQ(font.GetSpacing(), 2.0f);
}

// Glyph advances and widths as the baked script states them.
struct ScriptGlyph {
  float width = 0, advance = 0;
  int x = 0, y = 0, w = 0, h = 0;
};

std::map<unsigned char, ScriptGlyph> ParseChars(const std::string& text) {
  std::map<unsigned char, ScriptGlyph> glyphs;
  const std::regex line(R"re(font:Char\("(\\\d{3}|[^"\\]|\\.)", (-?\d+), recti\((\d+), (\d+), (\d+), (\d+)\), (-?\d+), (-?\d+)\))re");
  for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) {
    const std::string c = (*it)[1];
    const unsigned char byte = c.size() == 4 ? static_cast<unsigned char>(std::stoi(c.substr(1))) : c.back();
    ScriptGlyph g;
    g.width = std::stof((*it)[2]);
    g.x = std::stoi((*it)[3]);
    g.y = std::stoi((*it)[4]);
    g.w = std::stoi((*it)[5]);
    g.h = std::stoi((*it)[6]);
    g.advance = std::stof((*it)[8]);
    glyphs[byte] = g;
  }
  return glyphs;
}

TEST_F(FontTest, SystemFontLoadsThroughItsScript) {
  const std::string data = std::string(VEK_TEST_BIN_DIR) + "/data";
  vek::SetPathToken(vek::e_StaticPath, data);
  vek::cImage atlas;
  ASSERT_EQ(vek::cDataManager::ReadImage("{StaticPath}/texture/system/font_system.png", &atlas), 0u);
  new vek::cTexture("font_system", false, &atlas);
  OpenScript();
  Mark();
  ASSERT_TRUE(vek::GetScript()->LoadFile("{StaticPath}/conf/sys_font.lua")) << LogSinceMark();
  EXPECT_EQ(LogSinceMark().find("error"), std::string::npos) << LogSinceMark();

  const vek::u32 index = fonts->Find("system");
  ASSERT_EQ(index, 1u);
  const cFont* font = fonts->GetAt(index);
  EXPECT_EQ(font->GetTexture(), vek::g_pTextureManager->FindIndex("font_system"));
  EXPECT_EQ(font->GetTextureWidth(), atlas.GetWidth());
  EXPECT_GT(font->GetLineHeight(), 0.0f);

  const auto glyphs = ParseChars(vektest::ReadFileText(data + "/conf/sys_font.lua"));
  ASSERT_EQ(glyphs.size(), 256u);
  const std::string word = "Orchardia";
  float expected = 0.0f;
  for (size_t i = 0; i < word.size(); ++i) {
    const ScriptGlyph& g = glyphs.at(static_cast<unsigned char>(word[i]));
    expected += i + 1 < word.size() ? g.advance + font->GetSpacing() : g.width;
  }
  EXPECT_EQ(vek::MeasureText(index, word).x, expected);
  EXPECT_EQ(vek::MeasureText(index, word).y, font->GetLineHeight());
  // The atlas rectangle of "O" in texture coordinates, v from the bottom.
  const ScriptGlyph& o = glyphs.at('O');
  const float tw = static_cast<float>(atlas.GetWidth()), th = static_cast<float>(atlas.GetHeight());
  EXPECT_EQ(Glyph(*font, 'O')[cFont::e_U], o.x / tw);
  EXPECT_FLOAT_EQ(Glyph(*font, 'O')[cFont::e_V], 1.0f - o.y / th - o.h / th);
}

TEST_F(FontTest, ScriptFontsBelongToTheManager) {
  OpenScript();
  ASSERT_TRUE(Run("local f = cFont('scripted'); f:Init('a', 'b', 1, 12.5); f = nil; collectgarbage(); "
                  "collectgarbage()"));
  const vek::u32 index = fonts->Find("scripted");
  ASSERT_EQ(index, 1u);
  EXPECT_EQ(fonts->GetAt(index)->GetName(), "scripted");  // still alive after the collection
  EXPECT_EQ(fonts->GetAt(index)->GetLineHeight(), 12.5f);
  ASSERT_TRUE(Run("local m = GetFonts(); "
                  "assert(m:Count() == 2); assert(m:Find('scripted') == 1); assert(m:Find('x') == 0); "
                  "assert(m:Default():GetName() == 'unnamed'); assert(m:GetAt(7):GetName() == 'unnamed'); "
                  "local g = cFont('g'); g:Texture('none', 10, 10); g:Transform(1, 1, 1); "
                  "g:Char('A', 4, recti(5, 0, 5, 5), 0, 5); assert(g:GetName() == 'g')"));
  EXPECT_FLOAT_EQ(fonts->GetAt(2)->GetGlyph('A')[cFont::e_U], 0.5f);
  // Deleting the manager deletes the script's fonts; closing the state afterwards is clean.
  vek::DestroyFontManager();
  vek::DestroyScript();
}

}  // namespace
