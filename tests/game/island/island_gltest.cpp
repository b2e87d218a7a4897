// The island after a won level, drawn on the OpenGL device with the island's own art: the
// after-level sequence runs, the player buys the level's building, it rises and is finished
// with fireworks while islanders walk in from the pier, and the map then scrolls south. The
// pictures are saved under build/screenshots/ for a person to look at; the parts are checked
// where the island puts them.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/files/data_manager.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/script/script.h"
#include "engine/script/script_bind.h"
#include "game/app/player.h"
#include "game/island/island.h"
#include "game/world/particles.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/gl_game_fixture.h"
#include "tests/support/world_harness.h"
#include "tests/support/image_compare.h"

cPlayer* CurrentPlayer();
void SetCurrentPlayer(cPlayer* player);

namespace {

const char* const kIslandTextures[] = {"island00_0", "island00_1", "island01", "island02_0", "island02_1",
                                       "island030",  "island031",  "firework", "houses00",   "houses01",
                                       "houses02",   "houses03",   "houses04", "houses05",   "houses07",
                                       "houses08",   "houses09"};
// The statue, the hover glow and the islanders share the play field's peacock sheets.
// The flyers' and ships' icons and the sparks are the play field's too.
const char* const kWorldTextures[] = {"peacock01", "peacock02", "icons00", "part00", "part01", "part02"};

bool LoadTexture(const std::string& folder, const std::string& name, bool withAreas) {
  // A sheet on a shared page: the page, once, with its script.
  if (vektest::LoadPageOf("texture/" + folder + "/" + name)) return true;
  vek::cImage image;
  if (vek::cDataManager::ReadImage("{StaticPath}/texture/" + folder + "/" + name + ".png", &image) != 0) return false;
  new vek::cTexture(name, false, &image);
  return !withAreas || vek::GetScript()->LoadFile(vek::filename("{StaticPath}/texture/" + folder + "/" + name + ".tex"));
}

class IslandGLTest : public vektest::GLGameFixture {
 protected:
  IslandGLTest() : GLGameFixture("island gl test") {}

  // One frame of the island into build/screenshots/<name>.png; the frame's pixels stay for
  // the checks.
  void Shoot(cIsland& island, const std::string& name) {
    ASSERT_TRUE(vek::g_pRender->Begin() == 0);
    island.Render();
    vek::g_pRender->End();
    vek::g_pRender->SwapBuffers();
    vek::i32 rect[4] = {};
    frame = vek::g_pRender->ReadFrontBuffer(rect);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(rect[2], 1024);
    vektest::SaveScreenshot(frame.get(), rect[2], rect[3], name);
  }
  // The colour at a point of the map in the last frame (rows from the bottom, as GL reads).
  std::array<int, 3> MapPixel(const cIsland& island, vek::vec2 p) const {
    const int x = static_cast<int>(p.x - island.GetScroll().x);
    const int y = static_cast<int>(p.y - island.GetScroll().y);
    const vek::u8* c = frame.get() + 3 * (y * 1024 + x);
    return {c[0], c[1], c[2]};
  }

  std::unique_ptr<vek::u8[]> frame;
};

TEST_F(IslandGLTest, AWonLevelRaisesItsBuildingWithFireworksAndPeopleArrive) {
  vek::CreateTextureInfos();
  lua_State* L = vek::GetScript()->GetState();
  luabind::module(L)[vek::bindings::TextureInfoClass()];
  vek::bindings::KeepTextureInfosNative(L);
  for (const char* name : kIslandTextures) {
    const std::string n = name;
    const bool picture = n == "island00_0" || n == "island00_1" || n == "island030" || n == "island031";
    ASSERT_TRUE(LoadTexture("island", n, !picture)) << n;
  }
  for (const char* name : kWorldTextures) ASSERT_TRUE(LoadTexture("world", name, true)) << name;
  ASSERT_TRUE(LoadTexture("fonts", "header24x24", false));
  ASSERT_TRUE(vek::GetScript()->LoadFile("{StaticPath}/texture/fonts/header24x24.lua"));

  vektest::FakeGardenServices services;
  SetGardenServices(&services);
  services.particles->LoadTextures();
  services.ships.push_back({0.55f, 0});
  // Level 11 has just been won; the levels before it have their medals.
  cPlayer player;
  player.levelProgress = player.currentLevel = 11;
  player.timeGrades = {0, 1, 0, 2, 0, 0, 1, 0, 2, 0, 1};
  player.bank = 900;
  SetCurrentPlayer(&player);
  services.levelProgress = services.currentLevel = 11;
  services.islandProgress = true;
  services.rateProgress = 5;
  services.islandRateProgress = 10;

  auto batch = std::make_unique<vek::cQuadBatch>();
  auto island = std::make_unique<cIsland>();
  island->SetBatch(batch.get());
  // The pointer rests mid-screen: the map scrolls only where the test says.
  island->SetCursorReader([](vek::i32* x, vek::i32* y) {
    *x = 512;
    *y = 384;
    return true;
  });
  ASSERT_EQ(island->GetMapSize(), vek::vec2(1536.0f, 2154.0f));
  ASSERT_TRUE(island->LoadPaths("{StaticPath}/conf/island.pts"));
  std::vector<cIslandBuildingRecord> records;
  ASSERT_EQ(LoadIslandBuildings("{StaticPath}/conf/island.dat", records), eIslandFileRead::Ok);
  island->LoadBuildings(records);
  ASSERT_EQ(island->GetBuildings().size(), 45u);

  auto steps = [&](int n) {
    for (int k = 0; k < n; ++k) {
      island->Step();
      island->Update(1.0f / 30.0f);  // its own pools: bursts and trails
    }
  };
  island->Show(e_islAfterLevel);
  island->Activate();  // the earlier levels' buildings stand; the view goes to the new one
  cHouse* house = island->FindHouseAtPlace(11);
  ASSERT_NE(house, nullptr);
  EXPECT_EQ(house->GetName(), "factory01_1");
  EXPECT_GT(house->GetWidth(), 40.0f);  // its size comes from the sheet
  island->AddPeople(10, 0);  // a boatload walks in from the pier
  steps(140);  // the level's stars fly; the house is on offer
  // The bursts and the trails behind the stars are alive in the island's pool.
  EXPECT_GT(services.particles->GetPool(3).GetQuadCount(), 0u);
  ASSERT_TRUE(house->IsAvailable());
  ASSERT_EQ(house->GetState(), 0);
  EXPECT_EQ(island->FindHouseAtPlace(3)->GetState(), 2);  // the earlier levels' buildings stand
  // Islanders stroll out from the built houses.
  island->AddPeople(30, 1);
  for (int k = 0; k < 240; ++k) island->StepEffects();
  Shoot(*island, "island_after_level");

  // The player buys it: the construction plays.
  house->OnEvent(48, 1);
  EXPECT_EQ(house->GetState(), 1);
  EXPECT_EQ(player.bank, 900 - house->GetPrice());
  for (int k = 0; k < 8 && house->GetFrame() < 2; ++k) steps(5);
  EXPECT_EQ(house->GetFrame(), 2);
  Shoot(*island, "island_building");

  // Finished: fireworks over it, the sequence goes on with the island's rating.
  for (int k = 0; k < 300 && house->GetState() != 2; ++k) steps(1);
  ASSERT_EQ(house->GetState(), 2);
  steps(8);
  EXPECT_GE(island->GetFireworks().size(), 1u);
  EXPECT_EQ(services.levelProgress, 11) << "the next level opens once the sequence ends";
  Shoot(*island, "island_fireworks");
  const vek::vec2 centre = house->GetPosition() + vek::vec2{house->GetWidth() * 0.5f, 8.0f};
  const auto wall = MapPixel(*island, centre);
  EXPECT_FALSE(wall[1] > wall[0] + 30 && wall[1] > wall[2] + 30) << "the building stands on the grass, not behind it";

  // The sequence ends on the map with the next level open; the player scrolls south.
  for (int k = 0; k < 30 * 8 && island->GetMode() == e_islAfterLevel; ++k) steps(1);
  EXPECT_EQ(island->GetMode(), e_islMap);
  EXPECT_EQ(services.levelProgress, 12);
  island->ScrollTo(1100.0f, 400.0f);
  steps(10);
  Shoot(*island, "island_map_south");
  const auto sea = MapPixel(*island, {1510.0f, 30.0f});
  EXPECT_GT(sea[2], sea[0] + 60) << "open sea off the south-east shore";

  // The harbour: a ship on its way in, the newcomers walking up from the pier.
  services.particles->ClearAll();  // the rating's sparks belong to the island window, not shown here
  island->ScrollTo(700.0f, 2000.0f);
  island->AddPeople(8, 0);
  steps(45);
  Shoot(*island, "island_harbour");
  const auto pier = MapPixel(*island, {400.0f, 1900.0f});
  EXPECT_GT(pier[0], pier[2] + 40) << "the wooden pier";

  // The area view shades each ground area's triangles over the map.
  const cIslandArea& area = island->GetPaths().areas.at(0);
  ASSERT_FALSE(area.triangles.empty());
  const cAreaTriangle& t = area.triangles[0];
  const vek::vec2 mid = (area.outline[t.a] + area.outline[t.b] + area.outline[t.c]) * (1.0f / 3.0f);
  island->ScrollTo(mid.x, mid.y);
  steps(1);
  Shoot(*island, "island_areas");
  const auto plain = MapPixel(*island, mid);
  island->Show(e_islAreas);
  Shoot(*island, "island_areas");
  const auto shaded = MapPixel(*island, mid);
  for (int c = 0; c < 3; ++c) EXPECT_LT(shaded[c] + 10, plain[c] + 1) << "channel " << c << " is shaded";
  island.reset();
  services.flyers->Clear();
  SetCurrentPlayer(nullptr);
  SetGardenServices(nullptr);
}

}  // namespace
