// The island's pictures as the code looks them up: every building of the table gets its
// sprites from the built sheets with the frames its stages need, and the map's own areas
// (sea, waterfall, fireworks, marks, medals, islanders, glow) are there.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/render/texture_info.h"
#include "game/island/building_table.h"
#include "game/island/buildings.h"
#include "game/app/sprite.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/temp_dir.h"

namespace {

class IslandArtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vek::SetPathToken(vek::e_AppPath, tmp.path());
    vek::CreateLogHolder(1024.0f, 768.0f);
    sprites = std::make_unique<vektest::HeadlessSprites>();
    for (const char* n : {"houses00", "houses01", "houses02", "houses03", "houses04", "houses05", "houses07",
                          "houses08", "houses09", "island01", "island02_0", "island02_1", "firework"})
      ASSERT_TRUE(sprites->Load(std::string("texture/island/") + n + ".png")) << n;
    for (const char* n : {"peacock01", "peacock02"})
      ASSERT_TRUE(sprites->Load(std::string("texture/world/") + n + ".png")) << n;
  }
  void TearDown() override {
    sprites.reset();
    vek::DestroyLogHolder();
  }
  vektest::TempDir tmp;
  std::unique_ptr<vektest::HeadlessSprites> sprites;
};

TEST_F(IslandArtTest, EveryBuildingFindsItsSpritesWithTheFramesOfItsStages) {
  for (const cBuildingTemplateRow& t : BuildingTemplateRows()) {
    cHouse h(t.name, "", nullptr);
    for (const cBuildingSprite& s : t.sprites)
      if (s.area) {
        EXPECT_TRUE(h.AddSprite(s.texture, s.area)) << t.name << " " << s.texture << "/" << s.area;
      }
    ASSERT_TRUE(h.SetSprite(0)) << t.name;
    // Not built shows the stage-0 frame and built the stage-1 frame: both must exist.
    const vek::i32 frames = static_cast<vek::i32>(h.GetCurrentSprite().count);
    EXPECT_GT(frames, h.GetStageFrame(0)) << t.name;
    EXPECT_GT(frames, h.GetStageFrame(1)) << t.name;
    EXPECT_GE(frames, std::string(t.name) == "statue00" ? 5 : 7) << t.name;
    EXPECT_GE(h.GetWidth(), 40.0f) << t.name;
    EXPECT_GE(h.GetHeight(), 40.0f) << t.name;
  }
  // The mill's running picture loops over several frames.
  EXPECT_GE(FindSprite("houses07", "factory02_life").frameCount, 4u);
}

TEST_F(IslandArtTest, TheMapsOwnAreasAreThere) {
  const struct {
    const char* sheet;
    const char* area;
    vek::u32 minFrames;
  } areas[] = {{"island01", "total", 2},    {"island02_0", "total", 2}, {"island02_1", "total", 2},
               {"firework", "total", 2},    {"houses05", "point", 1},   {"houses05", "mp", 1},
               {"houses05", "mp_select", 1}, {"houses05", "gold", 1},   {"houses05", "silver", 1},
               {"houses05", "bronze", 1},   {"peacock01", "white_front", 2}, {"peacock01", "white_back", 2},
               {"peacock02", "hl", 1}};
  for (const auto& a : areas) {
    const cSprite r = FindSprite(a.sheet, a.area);
    EXPECT_NE(r.texture, 0u) << a.sheet << "/" << a.area;
    EXPECT_GE(r.frameCount, a.minFrames) << a.sheet << "/" << a.area;
  }
  // Both waterfall pictures share one frame layout, so swapping them keeps the frame.
  EXPECT_EQ(FindSprite("island02_0", "total").frameCount, FindSprite("island02_1", "total").frameCount);
}

}  // namespace
