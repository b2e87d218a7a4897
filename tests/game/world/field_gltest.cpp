// The play field drawn on the OpenGL device with the world's own art: background, holes of a
// level's layout, sparkles, a flying ware and money texts. The picture is saved under
// build/screenshots/ for a person to look at, and its parts are checked where the field puts
// them.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/files/data_manager.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "engine/render/render.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "engine/script/script_bind.h"
#include "game/world/holes_layouts.h"
#include "game/world/level.h"
#include "game/world/ware_manager.h"
#include "tests/game/world/test_objects.h"
#include "tests/support/gl_game_fixture.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/world_harness.h"
#include "tests/support/image_compare.h"

namespace {


class Hole : public cObject {
 public:
  explicit Hole(cLevel* level) : cObject(level) { SetSprite("images00", "hole", 0); }
  vek::u32 GetType() const override { return e_TypeHole; }
};
cObject* MakeHole(cLevel* level) { return new Hole(level); }

// A sheet of the built data folder, as the game loads it: the picture, then its area script.
// A sheet on a shared page loads its page, once.
bool LoadSheet(const std::string& name) {
  if (vektest::LoadPageOf("texture/world/" + name)) return true;
  vek::cImage sheet;
  const std::string path = "{StaticPath}/texture/world/" + name;
  if (vek::cDataManager::ReadImage(path + ".png", &sheet) != 0) return false;
  new vek::cTexture(name, false, &sheet);
  return vek::GetScript()->LoadFile(vek::filename(path + ".tex"));
}

class FieldGLTest : public vektest::GLGameFixture {
 protected:
  FieldGLTest() : GLGameFixture("field gl test") {}
};

TEST_F(FieldGLTest, AStartedLevelShowsTheGarden) {
  vek::CreateTextureInfos();
  lua_State* L = vek::GetScript()->GetState();
  luabind::module(L)[vek::bindings::TextureInfoClass()];
  vek::bindings::KeepTextureInfosNative(L);
  for (const char* name : {"back", "images00", "icons00", "part00", "part01", "part02"})
    ASSERT_TRUE(LoadSheet(name)) << name;
  vek::cImage font;
  ASSERT_EQ(vek::cDataManager::ReadImage("{StaticPath}/texture/fonts/header24x24.png", &font), 0u);
  new vek::cTexture("header24x24", false, &font);
  ASSERT_TRUE(vek::GetScript()->LoadFile("{StaticPath}/texture/fonts/header24x24.lua"));

  CreateWareManager();
  vektest::FakeGardenServices services;
  SetGardenServices(&services);
  SetParticleSeed(0);
  services.particles->LoadTextures();
  cDataManagerGD::ReadTheme("{StaticPath}/conf/holes.lvs", &services.layouts);
  ASSERT_EQ(services.layouts.size(), 5u);
  services.layoutIndex = 2;
  services.ships.push_back({0.35f, 1});
  cObject::ResetMarker();
  cLevel::SetMaker(e_KindHole, &MakeHole);

  auto* level = new cLevel();
  level->Load(0);  // no profile: a fresh field with the layout's holes
  game->SetFocusWidget("garden");
  for (int k = 0; k < 3; ++k) {
    services.particles->AddLevelEmitter()->position = {250.0f + 260.0f * k, 160.0f, 0.0f};
  }
  services.particles->AddPlantBurst({500.0f, 420.0f, 0.0f}, 20.0f);
  cFlyer* f = services.flyers->Add("icons00", "target", 0.08f, 6);
  f->AddPoint({200.0f, 250.0f}, 0.0f);
  f->AddPoint({520.0f, 560.0f}, 1.5f);
  f->AddPoint({900.0f, 700.0f}, 3.0f);
  for (int k = 0; k < 45; ++k) {
    if (k == 30) {  // half a second old when the picture is taken: still opaque
      level->GetTexts().Add("+$50", {300.0f, 300.0f});
      level->GetTexts().Add("-$20", {700.0f, 520.0f});
    }
    level->Step();
    level->Update(1.0f / 30.0f);
  }
  ASSERT_TRUE(vek::g_pRender->Begin() == 0);
  level->Render();
  vek::g_pRender->End();
  vek::g_pRender->SwapBuffers();

  vek::i32 rect[4] = {};
  std::unique_ptr<vek::u8[]> frame = vek::g_pRender->ReadFrontBuffer(rect);
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(rect[2], 1024);
  vektest::SaveScreenshot(frame.get(), rect[2], rect[3], "field");

  // Where the field puts things: soil inside the bed, a hole's dark pit, the sky at the top.
  auto pixel = [&](int x, int y) {
    const vek::u8* p = frame.get() + 3 * (y * 1024 + x);
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  const cHoleCell& h = services.layouts[2][0];
  const vek::vec2 pit = level->CellToPos(8 - h.row, h.column) + vek::vec2{0.0f, 18.0f};
  const auto hole = pixel(static_cast<int>(pit.x), static_cast<int>(pit.y));
  EXPECT_LT(hole[0], 90) << "a hole's pit is dark";
  const auto sky = pixel(100, 750);
  EXPECT_GT(sky[2], sky[0]) << "blue sky at the top";
  const auto soil = pixel(160, 140);
  EXPECT_GT(soil[0], soil[2]) << "brown soil in the bed";

  game->SetFocusWidget("");
  delete level;
  cLevel::SetMaker(e_KindHole, nullptr);
  services.flyers->Clear();
  SetGardenServices(nullptr);
  DestroyWareManager();
}

}  // namespace
