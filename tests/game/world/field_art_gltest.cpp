// The field's figures drawn on the OpenGL device from the built sheets, where the game puts
// them: the car, the pump and the tools of a fresh field, plants of every sort from seedling to
// ripe, the gardener at work, the animals and a hive. The picture is saved under
// build/screenshots/ for a person to look at; the checks catch sheets that fail to load, areas
// drawn upside down or away from their object's feet.
#include <gtest/gtest.h>

#include <array>
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
#include "game/world/animal.h"
#include "game/world/balance.h"
#include "game/world/car.h"
#include "game/world/hive.h"
#include "game/world/holes_layouts.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "game/world/pump.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"
#include "tests/support/gl_game_fixture.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/world_harness.h"
#include "tests/support/image_compare.h"

namespace {

// A sheet on a shared page loads its page, once.
bool LoadSheet(const std::string& name) {
  if (vektest::LoadPageOf("texture/world/" + name)) return true;
  vek::cImage sheet;
  const std::string path = "{StaticPath}/texture/world/" + name;
  if (vek::cDataManager::ReadImage(path + ".png", &sheet) != 0) return false;
  new vek::cTexture(name, false, &sheet);
  return vek::GetScript()->LoadFile(vek::filename(path + ".tex"));
}

// A figure that only shows one frame of an area: the gardener's poses (its class is not part
// of this picture's subject).
class Pose : public cObject {
 public:
  Pose(cLevel* level, const char* sheet, const char* area, vek::i32 frame) : cObject(level) {
    EXPECT_TRUE(SetSprite(sheet, area, vek::cFrameAnimation::e_Stop)) << sheet << " " << area;
    m_Anim.m_Frame = frame < m_Anim.m_Count ? frame : m_Anim.m_Count - 1;
  }
  vek::u32 GetType() const override { return 0x10000000u; }
  void Update() override {}
};

class FieldArtGLTest : public vektest::GLGameFixture {
 protected:
  FieldArtGLTest() : GLGameFixture("field art gl test") {}
};

TEST_F(FieldArtGLTest, TheFiguresStandOnTheirFeet) {
  vek::CreateTextureInfos();
  lua_State* L = vek::GetScript()->GetState();
  luabind::module(L)[vek::bindings::TextureInfoClass()];
  vek::bindings::KeepTextureInfosNative(L);
  for (const char* name : {"back", "images00", "icons00", "part00", "part01", "part02", "car", "ostrich", "goat",
                           "peacock", "peacock00", "peacock01", "peacock02", "gard00", "gard06", "gard08", "gard09",
                           "gard10", "gard11"})
    ASSERT_TRUE(LoadSheet(name)) << name;

  CreateWareManager();
  BuildProductTable();
  vektest::FakeGardenServices services;
  SetGardenServices(&services);
  SetParticleSeed(0);
  services.particles->LoadTextures();
  cDataManagerGD::ReadTheme("{StaticPath}/conf/holes.lvs", &services.layouts);
  services.layoutIndex = 3;
  cObject::ResetMarker();
  RegisterPlantMakers();
  RegisterToolMakers();
  RegisterCarMakers();
  RegisterPumpMakers();
  RegisterHiveMakers();

  auto* level = new cLevel();
  level->Load(0);
  game->SetFocusWidget("garden");

  // Every sort in a row, ripe; one sort through its growth; grass and flowers.
  const char* const sorts[10] = {"plant00", "plant01", "plant02", "plant03", "plant04",
                                 "plant05", "plant06", "plant07", "grass",   "flowers"};
  std::vector<cPlant*> ripe;
  for (vek::i32 k = 0; k < 10; ++k) {
    auto* p = new cPlant(static_cast<vek::u32>(g_pWareManager->GetWareId(sorts[k])), level);
    p->SetCell(6, k);
    p->SetGrowth(1.0f);
    ripe.push_back(p);
  }
  for (vek::i32 k = 0; k < 8; ++k) {
    auto* p = new cPlant(static_cast<vek::u32>(g_pWareManager->GetWareId("plant05")), level);
    p->SetCell(4, k + 1);
    p->SetGrowth(k / 7.0f);
  }
  // The gardener at its work, walking and idle.
  const struct {
    const char* sheet;
    const char* area;
    vek::i32 frame;
    vek::f32 x, y;
  } poses[] = {{"gard10", "water_work", 3, 215.0f, 190.0f}, {"gard09", "seed_work", 4, 300.0f, 190.0f},
               {"gard11", "harvest_work", 3, 385.0f, 190.0f}, {"gard10", "weed_work", 3, 470.0f, 190.0f},
               {"gard08", "milking_work", 2, 555.0f, 190.0f}, {"gard00", "d", 0, 640.0f, 190.0f},
               {"gard06", "r", 2, 725.0f, 190.0f}};
  std::vector<cObject*> figures;
  for (const auto& p : poses) {
    figures.push_back(new Pose(level, p.sheet, p.area, p.frame));
    figures.back()->SetPosition(p.x, p.y);
  }
  auto* ostrich = new cOstrich(level);
  ostrich->SetPosition(260.0f, 40.0f);
  auto* goat = new cGoat(level);
  goat->SetPosition(400.0f, 40.0f);
  auto* peacock = new cPeacock(level);
  peacock->SetPosition(540.0f, 40.0f);
  auto* stay = new Pose(level, "peacock", "stay", 0);
  stay->SetPosition(660.0f, 40.0f);
  auto* hive = new cHive(level);
  hive->SetPosition(800.0f, 40.0f);

  for (int k = 0; k < 20; ++k) {
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
  vektest::SaveScreenshot(frame.get(), rect[2], rect[3], "field_art");

  // Rows from the bottom (y up), as the field counts them.
  auto pixel = [&](vek::f32 x, vek::f32 y) {
    const vek::u8* p = frame.get() + 3 * (static_cast<int>(y) * 1024 + static_cast<int>(x));
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  // A ripe tomato bush: red fruit in the lower half of its picture, above its feet.
  const vek::rectf tomato = ripe[0]->GetRect();
  bool red = false;
  for (vek::f32 y = tomato.y + 20.0f; y < tomato.y + tomato.h * 0.75f; y += 1.0f)
    for (vek::f32 x = tomato.x + 10.0f; x < tomato.x + tomato.w - 10.0f; x += 1.0f) {
      const auto c = pixel(x, y);
      red = red || (c[0] > 180 && c[1] < 90 && c[2] < 80);
    }
  EXPECT_TRUE(red) << "the ripe tomato shows red fruit";
  // The idle gardener: the straw hat at the top of its picture, the boots at the bottom.
  const vek::vec2 idle = figures[5]->GetPosition();
  const auto hat = pixel(idle.x, idle.y + 120.0f - 16.0f);
  EXPECT_GT(hat[0], 200) << "straw hat on top";
  EXPECT_GT(hat[1], 160) << "straw hat on top";
  const auto boot = pixel(idle.x - 6.0f, idle.y + 6.0f);
  EXPECT_LT(boot[2], 80) << "dark boots at the feet";
  // The delivery car parked at the left edge: its red cab.
  const auto cab = pixel(5.0f, 320.0f + 50.0f);
  EXPECT_GT(cab[0], 180) << "the car's red cab";
  EXPECT_LT(cab[1], 110) << "the car's red cab";

  game->SetFocusWidget("");
  delete level;
  SetGardenServices(nullptr);
  DestroyWareManager();
}

}  // namespace
