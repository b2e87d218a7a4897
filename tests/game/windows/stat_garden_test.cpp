// The garden statistics: a row per ware of the layout and per animal kind, the lock for what
// the player never had, the pause while the window is open, and the training step it ends.
#include <gtest/gtest.h>

#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/windows/stat_garden_wf.h"
#include "game/world/ware_manager.h"
#include "tests/game/windows/island_fixture.h"

namespace islandtest {
namespace {

class StatGarden : public IslandFixture {
 protected:
  void SetUp() override {
    IslandFixture::SetUp();
    CreateWareManager();
    plant00 = (new cSort("plant00", "Tomato"))->GetId();
    product00 = (new cProduct("product00", "Olive oil"))->GetId();
    egg = (new cWare("egg", "Egg"))->GetId();
    odd = (new cWare("no_row", "No row"))->GetId();
    // The layout is read again now that the wares exist.
    Send("stat_garden", vek::e_wndAfterCreate);
    AddTestSheet("icons00", 128, 64, {{"plant00", 0, 0, 32, 32}, {"goat", 32, 0, 32, 32}, {"egg", 64, 0, 32, 32}});
    AddTestSheet("icons01", 64, 64, {{"lock", 0, 0, 48, 48}});
    SetCurrentPlayer(&player);
    stat = Function<cStatGardenWF>("stat_garden");
  }
  void TearDown() override {
    SetCurrentPlayer(nullptr);
    DestroyWareManager();
    IslandFixture::TearDown();
  }
  // The row's picture: its texture and its size; the count's text and whether it is locked.
  struct Row {
    std::string texture;
    float w;
    std::string text;
    bool locked;
  };
  Row Look(const std::string& name) const {
    auto* image = Control<vek::cImageCtrl>("stat_garden", name);
    auto* count = Control<vek::cLabelSysCtrl>("stat_garden", "num_" + name);
    float rgba[4];
    count->GetColor(rgba);
    const bool locked = std::abs(rgba[0] - 195.0f / 255.0f) < 0.01f && std::abs(rgba[1] - 135.0f / 255.0f) < 0.01f;
    const std::string tex = image->GetTexture() == vek::gui_draw::FindTexture("icons01")   ? "icons01"
                            : image->GetTexture() == vek::gui_draw::FindTexture("icons00") ? "icons00"
                                                                                            : "other";
    return {tex, image->GetRect().w, count->GetText(), locked};
  }

  cPlayer player;
  cStatGardenWF* stat = nullptr;
  vek::i32 plant00 = 0, product00 = 0, egg = 0, odd = 0;
};

TEST_F(StatGarden, ANewPlayerSeesLocksEverywhere) {
  gui->ShowWindow("stat_garden");
  for (const char* name : {"plant00", "product00", "egg", "ostrich", "goat", "hive", "peacock"}) {
    const Row r = Look(name);
    EXPECT_EQ(r.texture, "icons01") << name;
    EXPECT_EQ(r.w, 48.0f) << name;
    EXPECT_EQ(r.text, "x0") << name;
    EXPECT_TRUE(r.locked) << name;
  }
  // Only wares whose picture and count the layout has get a row.
  EXPECT_NE(stat->GetWareImage(static_cast<size_t>(plant00)), nullptr);
  EXPECT_EQ(stat->GetWareImage(static_cast<size_t>(odd)), nullptr);
}

TEST_F(StatGarden, CountsShowTheWaresPicture) {
  player.produced.assign(static_cast<size_t>(egg) + 1, 0);
  player.produced[static_cast<size_t>(plant00)] = 12;
  player.produced[static_cast<size_t>(product00)] = 3;  // no area of its own in the sheet
  player.animalsBought = {0, 1};                        // one goat; the list ends before the hive
  gui->ShowWindow("stat_garden");
  Row r = Look("plant00");
  EXPECT_EQ(r.texture, "icons00");
  EXPECT_EQ(r.w, 32.0f);
  EXPECT_EQ(r.text, "x12");
  EXPECT_FALSE(r.locked);
  r = Look("goat");
  EXPECT_EQ(r.texture, "icons00");
  EXPECT_EQ(r.text, "x1");
  EXPECT_FALSE(r.locked);
  // Without an area the picture keeps its look; the count is still written.
  r = Look("product00");
  EXPECT_EQ(r.texture, "other");  // as the layout made it
  EXPECT_EQ(r.text, "x3");
  EXPECT_FALSE(r.locked);
  for (const char* locked : {"egg", "ostrich", "hive", "peacock"}) EXPECT_TRUE(Look(locked).locked) << locked;
}

TEST_F(StatGarden, PausesWhileOpenAndEndsItsTrainingStep) {
  const int before = game->GetPauseCount();
  gui->ShowWindow("stat_garden");
  EXPECT_EQ(game->GetPauseCount(), before + 1);
  EXPECT_EQ(services.calls, std::vector<std::string>{"EndTraining 5"});
  Settle();
  Click("stat_garden", "ok");
  Settle();
  EXPECT_FALSE(Shown("stat_garden"));
  EXPECT_EQ(game->GetPauseCount(), before);
}

}  // namespace
}  // namespace islandtest
