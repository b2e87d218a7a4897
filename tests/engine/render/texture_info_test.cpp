#include <luabind/luabind.hpp>

#include <string>
#include <vector>

#include "engine/app/script_bindings.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "tests/engine/render/render_fixture.h"

namespace {

using vek::cTextureInfo;
using vek::f32;
using vek::rectf;
using vek::recti;

std::vector<f32> Flat(const std::vector<rectf>& frames) {
  std::vector<f32> out;
  for (const rectf& r : frames) out.insert(out.end(), {r.x, r.y, r.w, r.h});
  return out;
}

class TextureInfoTest : public vektest::RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ASSERT_EQ(render->Init(Settings()), 0);
    vek::CreateTextureManager();
    vek::cImage image(vek::e_PixARGB, 256, 128, 1);
    new vek::cTexture("sheet", false, &image);
    vek::CreateTextureInfos();
    infos = vek::g_pTextureInfos;
    ASSERT_NE(infos, nullptr);
  }
  void TearDown() override {
    if (vek::GetScript()) vek::DestroyScript();
    vek::DestroyTextureInfoTable();
    RenderFixture::TearDown();
  }

  vek::cTextureInfoTable* infos = nullptr;
};

TEST_F(TextureInfoTest, RegistryAndDefaultSheet) {
  ASSERT_EQ(infos->Count(), 1u);
  cTextureInfo* def = infos->Get(0);
  EXPECT_EQ(def->name, "unnamed");
  ASSERT_EQ(def->GetCount(), 1u);
  EXPECT_EQ(def->GetByIndex(0).name, "unnamed");
  EXPECT_EQ(def->GetByIndex(0).frameTime, 30.0f);
  EXPECT_EQ(Flat(def->GetByIndex(0).frames), (std::vector<f32>{0, 0, 1, 1}));

  Mark();
  vek::CreateTextureInfos();
  const std::string log = LogSinceMark();
  EXPECT_NE(log.find("CreateTextureInfos: Already exist"), std::string::npos);
  EXPECT_NE(log.find("CreateTextureInfos: Ok"), std::string::npos);
  EXPECT_EQ(vek::g_pTextureInfos, infos);
  EXPECT_EQ(infos->Count(), 1u);

  // A second sheet asking for the reserved slot is appended like any other.
  auto* a = new cTextureInfo("sheet", true);
  EXPECT_EQ(infos->Find("sheet"), 1u);
  EXPECT_EQ(vek::FindTextureInfo("sheet"), a);
  EXPECT_EQ(vek::FindTextureInfo("nothing"), def);  // the default sheet

  // Look-ups: the first item is 0, an absent name gives the item count, an index past the end
  // the whole-texture default item.
  EXPECT_EQ(a->AddNodeGrid("first", rectf{0, 0, 1, 1}, 1, 1, 12.0f), 0);
  EXPECT_EQ(a->AddNodeGrid("second", rectf{0.5f, 0.5f, 0.5f, 0.5f}, 1, 1, 30.0f), 1);
  EXPECT_EQ(a->FindIndex("second"), 1u);
  EXPECT_EQ(a->FindIndex("absent"), 2u);
  EXPECT_EQ(a->GetByIndex(2).name, "unnamed");
  EXPECT_EQ(Flat(a->GetByIndex(99).frames), (std::vector<f32>{0, 0, 1, 1}));
  EXPECT_EQ(Flat({a->GetFirstArea("second")}), (std::vector<f32>{0.5f, 0.5f, 0.5f, 0.5f}));
  EXPECT_EQ(Flat({a->GetFirstArea("absent")}), (std::vector<f32>{0, 0, 1, 1}));
}

TEST_F(TextureInfoTest, GridsAndPixelRects) {
  auto* s = new cTextureInfo("sheet", false);
  struct Grid {
    rectf rect;
    int columns, rows;
    std::vector<f32> frames;
  };
  const std::vector<Grid> grids = {
      {{0.125f, 0.25f, 0.375f, 0.5f}, 0, -2, {0.125f, 0.25f, 0.375f, 0.5f}},  // counts below 1 count as 1
      {{0, 0, 1, 1}, 2, 2, {0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0.5f, 0.5f, 0.5f, 0, 0.5f, 0.5f}},
      {{0, 0, 1, 0.5f}, 1, 2, {0, 0.25f, 1, 0.25f, 0, 0, 1, 0.25f}},  // top row first
  };
  for (const Grid& g : grids) {
    const int i = s->AddNodeGrid("g", g.rect, g.columns, g.rows, 10.0f);
    EXPECT_EQ(Flat(s->GetByIndex(static_cast<vek::u32>(i)).frames), g.frames) << i;
  }

  // Pixels of the 256 x 128 texture become texture coordinates.
  const int p = s->AddNode("pixels", recti{64, 0, 32, 32}, 1, 1, 15.0f);
  EXPECT_EQ(Flat(s->GetByIndex(static_cast<vek::u32>(p)).frames), (std::vector<f32>{0.25f, 0, 0.125f, 0.25f}));
  EXPECT_EQ(s->GetByIndex(static_cast<vek::u32>(p)).frameTime, 15.0f);

  // A sheet whose texture is not loaded warns and adds the whole texture, whatever was asked.
  auto* lost = new cTextureInfo("not_loaded", false);
  Mark();
  const int q = lost->AddNode("x", recti{64, 0, 32, 32}, 4, 4, 5.0f);
  EXPECT_NE(LogSinceMark().find("cTextureInfo: [AddNode] Can't find texture with this name: not_loaded"),
            std::string::npos);
  EXPECT_EQ(Flat(lost->GetByIndex(static_cast<vek::u32>(q)).frames), (std::vector<f32>{0, 0, 1, 1}));
  EXPECT_EQ(lost->GetByIndex(static_cast<vek::u32>(q)).frameTime, 30.0f);
}

TEST_F(TextureInfoTest, ScriptOverloads) {
  ASSERT_TRUE(vek::CreateScript());
  ASSERT_TRUE(vek::RegisterEngine(vek::GetScript()));
  lua_State* L = vek::GetScript()->GetState();
  luabind::module(L)[vek::bindings::TextureInfoClass()];
  vek::bindings::KeepTextureInfosNative(L);

  struct Case {
    const char* call;
    std::vector<f32> firstFrame;
    size_t frames;
    f32 frameTime;
  };
  const std::vector<Case> cases = {
      {"s:AddNode('a')", {0, 0, 1, 1}, 1, 30},
      {"s:AddNode('a', recti(64, 0, 32, 32))", {0.25f, 0, 0.125f, 0.25f}, 1, 30},
      {"s:AddNode('a', recti(0, 0, 64, 64), 2, 2)", {0, 0.25f, 0.125f, 0.25f}, 4, 30},
      {"s:AddNode('a', recti(0, 0, 64, 64), 2, 1, 12.5)", {0, 0, 0.125f, 0.5f}, 2, 12.5f},
      {"s:AddNode('a', rectf(0.5, 0.5, 0.5, 0.5))", {0.5f, 0.5f, 0.5f, 0.5f}, 1, 30},
      {"s:AddNode('a', rectf(0, 0, 1, 1), 4, 1)", {0, 0, 0.25f, 1}, 4, 30},
      {"s:AddNode('a', rectf(0, 0, 1, 1), 1, 4, 8)", {0, 0.75f, 1, 0.25f}, 4, 8},
      {"s:AddNode('a', 2, 2)", {0, 0.5f, 0.5f, 0.5f}, 4, 30},
      {"s:AddNode('a', 2, 1, 24)", {0, 0, 0.5f, 1}, 2, 24},
  };
  ASSERT_TRUE(vek::GetScript()->DoString("s = cTextureInfo('sheet', false)", "=test"));
  cTextureInfo* s = vek::FindTextureInfo("sheet");
  ASSERT_NE(s, infos->Get(0));
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.call);
    const std::string code = "assert(" + std::string(c.call) + " == " + std::to_string(i) + ")";
    ASSERT_TRUE(vek::GetScript()->DoString(code, "=test"));
    const cTextureInfo::cItem& item = s->GetByIndex(static_cast<vek::u32>(i));
    ASSERT_EQ(item.frames.size(), c.frames);
    EXPECT_EQ(Flat({item.frames[0]}), c.firstFrame);
    EXPECT_EQ(item.frameTime, c.frameTime);
  }
  // The registry owns the sheet: a collection leaves it alone.
  ASSERT_TRUE(vek::GetScript()->DoString("s = nil collectgarbage() collectgarbage()", "=test"));
  EXPECT_EQ(vek::FindTextureInfo("sheet"), s);
  EXPECT_EQ(s->GetCount(), cases.size());
}

TEST_F(TextureInfoTest, ASheetOnAPageCountsInItsOwnPixels) {
  ASSERT_TRUE(vek::CreateScript());
  ASSERT_TRUE(vek::RegisterEngine(vek::GetScript()));
  lua_State* L = vek::GetScript()->GetState();
  luabind::module(L)[vek::bindings::TextureInfoClass()];
  vek::bindings::KeepTextureInfosNative(L);
  // What a page's script says for one sheet: its part of the page "sheet" (256 x 128), then
  // its areas in its own pixels.
  ASSERT_TRUE(vek::GetScript()->DoString("cTexturePart('part', 'sheet', recti(128, 64, 64, 32))\n"
                                         "local s = cTextureInfo('part', false)\n"
                                         "s:AddNode('a', recti(32, 0, 32, 32), 2, 1, 12)\n",
                                         "=page"));
  const vek::cTexture* part = vek::g_pTextureManager->FindItem("part");
  ASSERT_TRUE(part->IsPagePart());
  EXPECT_EQ(part->GetPage(), vek::g_pTextureManager->FindIndex("sheet"));
  EXPECT_EQ(part->GetWidth(), 64u);
  EXPECT_EQ(part->GetHeight(), 32u);
  EXPECT_EQ(Flat({part->GetPageRect()}), (std::vector<f32>{0.5f, 0.5f, 0.25f, 0.25f}));
  const cTextureInfo* s = vek::FindTextureInfo("part");
  ASSERT_NE(s, infos->Get(0));
  EXPECT_EQ(Flat(s->GetByIndex(0).frames), (std::vector<f32>{0.5f, 0, 0.25f, 1, 0.75f, 0, 0.25f, 1}));
  // A part has no pixels of its own: the device round trip leaves it alone.
  vek::g_pTextureManager->DeleteContexts();
  vek::g_pTextureManager->CreateContexts();
  EXPECT_EQ(part->GetWidth(), 64u);
  EXPECT_EQ(part->GetContext(), nullptr);

  // A page that is not loaded, or a rectangle off the page: a texture that draws as the
  // default, with a warning.
  ASSERT_TRUE(vek::GetScript()->DoString("cTexturePart('lost', 'no page', recti(0, 0, 8, 8))\n"
                                         "cTexturePart('off', 'sheet', recti(250, 0, 16, 16))\n",
                                         "=page"));
  for (const char* name : {"lost", "off"}) {
    const vek::cTexture* t = vek::g_pTextureManager->FindItem(name);
    ASSERT_EQ(t->name, name);
    EXPECT_FALSE(t->IsPagePart()) << name;
    EXPECT_EQ(t->GetWidth(), 0u) << name;
  }
}

}  // namespace
