// The island in the game object's start and end: made at the end of loading after the comics
// and the play field, registered while the game lives, a profile's buildings standing as its
// progress says, its island.dat saved with every game beside the field's level.dat and read
// back at the next start.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "game/app/game_hooks.h"
#include "game/app/garden_link_island.h"
#include "game/app/loading.h"
#include "game/app/player.h"
#include "game/island/island.h"
#include "game/play/island_link.h"
#include "game/app/garden_link.h"
#include "game/play/garden_world.h"
#include "game/play/play_steps.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/plant.h"
#include "tests/support/garden_fixture.h"

namespace {

namespace fs = std::filesystem;

class IslandWiringTest : public vektest::GardenFixture {
 protected:
  void SetUp() override {
    GardenFixture::SetUp();
    WriteData("conf/system.lua", R"(
      function LoadHardwareSettings() return 0 end
      function LoadSettings() return 0 end
      function WriteSettings(path) return 0 end
    )");
    WriteData("conf/splash.lua", "function FillSplash(s) s:AddNode(1.0):AddImage('nothing', 0, 0, 800, 600) return 0 end");
    WriteData("conf/loading.lua", "");
    WriteData("gui/game_loading.lua", R"(
      function FillWindow(w)
        cProgressBarSysCtrl('progress', w)
        cLabelCtrl('label', w)
        return 0
      end)");
    // The island's own files as the build makes them.
    for (const char* file : {"conf/island.pts", "conf/island.dat"})
      fs::copy_file(std::string(VEK_TEST_BIN_DIR) + "/data/" + file, Data(file), fs::copy_options::overwrite_existing);
    ClearWorldSaveFiles();
    InstallGardenComics();
    InstallGardenWorld();
    InstallGardenIsland();
  }
  void TearDown() override {
    GardenFixture::TearDown();
    ClearWorldSaveFiles();
  }
  void RunToMainMenu() {
    for (int i = 0; i < 2500 && !(GetLoadingWidget() && GetLoadingWidget()->IsFinished()); ++i) {
      Steps(1);
      Updates(1);
    }
    ASSERT_TRUE(GetLoadingWidget() && GetLoadingWidget()->IsFinished());
  }
  int WidgetIndex(const std::string& name) const {
    int i = 0;
    for (vek::cWidget* w : game->GetWidgets()) {
      if (w && w->GetName() == name) return i;
      ++i;
    }
    return -1;
  }
  cIsland* Island() const {
    auto* link = dynamic_cast<cIslandLink*>(GardenIsland());
    return link ? &link->GetIsland() : nullptr;
  }

  void WriteProfile(int progress) {
    cPlayer player("plr000");
    player.GetName() = "Ann";
    player.levelProgress = progress;
    ASSERT_TRUE(player.WriteProfile());
  }
};

TEST_F(IslandWiringTest, MadeAfterTheFieldWithTheProfilesBuildingsAndSavedBesideIt) {
  WriteProfile(3);
  StartGarden();
  RunToMainMenu();
  // Comics, play field, island: the order of the end of loading.
  const int comics = WidgetIndex("comics"), field = WidgetIndex("garden"), island = WidgetIndex("island");
  ASSERT_GE(comics, 0);
  EXPECT_LT(comics, field);
  EXPECT_LT(field, island);
  ASSERT_NE(Island(), nullptr);
  EXPECT_EQ(Island()->GetPaths().markers.size(), 45u);
  ASSERT_EQ(Island()->GetBuildings().size(), 45u);
  // The levels behind the profile have their buildings, and people live in the houses.
  EXPECT_EQ(garden->GetLink().CountBuiltBuildings(), 3);
  EXPECT_EQ(garden->GetLink().CountPeople(), garden->GetLink().SumHouseValues());

  cFactory* factory = nullptr;
  for (const auto& b : Island()->GetBuildings())
    if ((factory = dynamic_cast<cFactory*>(b.get()))) break;
  ASSERT_NE(factory, nullptr);
  factory->SetStock(4);
  EndGarden();
  EXPECT_EQ(GardenIsland(), nullptr);
  EXPECT_TRUE(fs::exists(App("profile/plr000/level.dat")));
  EXPECT_TRUE(fs::exists(App("profile/plr000/island.dat")));

  StartGarden();
  RunToMainMenu();
  ASSERT_NE(Island(), nullptr);
  int stocked = 0;
  for (const auto& b : Island()->GetBuildings())
    if (auto* f = dynamic_cast<cFactory*>(b.get()); f && f->GetStock() == 4) ++stocked;
  EXPECT_EQ(stocked, 1);
  EXPECT_EQ(Island()->GetBuildings().size(), 45u);  // read over the static buildings, not beside them
}

}  // namespace

namespace {

TEST_F(IslandWiringTest, AWonLevelPlaysTheAfterLevelSequenceAndOpensTheNext) {
  WriteProfile(0);
  StartGarden();
  RunToMainMenu();
  ASSERT_TRUE(garden->StartLevel(0));
  // The island waits in its after-level mode while the field has the focus.
  EXPECT_EQ(Island()->GetMode(), e_islAfterLevel);
  EXPECT_EQ(FocusName(), "garden");
  cPlayer* p = CurrentPlayer();
  ASSERT_NE(p, nullptr);
  p->bank = 1000;
  garden->Rules().FinishLevel();
  game->SetFocusWidget("island");
  cHouse* house = Island()->FindHouseAtPlace(0);
  ASSERT_NE(house, nullptr);
  for (int i = 0; i < 300 && !house->IsAvailable(); ++i) Steps(1);
  ASSERT_TRUE(house->IsAvailable()) << "the level's building is offered";
  EXPECT_EQ(house->GetState(), 0);
  EXPECT_EQ(p->levelProgress, 0);
  house->OnEvent(48, 1);  // the player buys it
  for (int i = 0; i < 1500 && Island()->GetMode() != e_islMap; ++i) Steps(1);
  EXPECT_EQ(house->GetState(), 2);
  EXPECT_EQ(Island()->GetMode(), e_islMap);
  EXPECT_EQ(p->levelProgress, 1);
  // The end of the level left the gardener on the field: the next level's snapshot is taken.
  EXPECT_TRUE(garden->GetLink().HasGardener());
  EXPECT_TRUE(fs::exists(App("profile/plr000/1/save.dat"))) << LogText();
  EXPECT_TRUE(fs::exists(App("profile/plr000/1/island.dat"))) << LogText();
}

}  // namespace

namespace {

// A hint text that no hint window could take leaves the window hidden: an empty board over the
// field would swallow the player's clicks.
TEST_F(IslandWiringTest, AHintThatCouldNotBePlacedIsNotShownEmpty) {
  StartGarden();
  RunToMainMenu();
  vek::cGUI* gui = game->GetGUI();
  ASSERT_NE(gui->GetWindow("hint"), nullptr);
  cGardenLink& link = garden->GetLink();
  SetHintPlacer(nullptr);
  const vek::f32 rect[4] = {10, 10, 50, 50};
  link.ShowHintWindow("Pick a seed.", rect, 10, 60, 9, 1);
  link.SwitchWindow("hint", 2);
  EXPECT_FALSE(gui->IsWindowShown("hint"));
  EXPECT_NE(LogText().find("could not show: Pick a seed."), std::string::npos) << LogText();

  // Once a text is placed the hint shows again.
  SetHintPlacer([](const vek::string&, const vek::f32*, vek::f32, vek::f32, int, int) { return true; });
  link.ShowHintWindow("Pick a seed.", rect, 10, 60, 9, 1);
  link.SwitchWindow("hint", 2);
  EXPECT_TRUE(gui->IsWindowShown("hint"));
}

}  // namespace

namespace {

// A won level that opens the next holes layout: its holes stay on the field, and one second
// into the next level the new layout's holes come in, each with a burst; the old ones never
// went away.
TEST_F(IslandWiringTest, ANewLayoutsHolesComeInOneSecondIntoTheNextLevel) {
  fs::copy_file(std::string(VEK_TEST_BIN_DIR) + "/data/conf/holes.lvs", Data("conf/holes.lvs"),
                fs::copy_options::overwrite_existing);
  RegisterPlantMakers();  // the field's holes as the game makes them
  struct Makers {
    ~Makers() {
      for (eFieldKind k : {e_KindPlant, e_KindHole}) cLevel::SetMaker(k, nullptr);
    }
  } makers;
  WriteProfile(1);
  StartGarden();
  RunToMainMenu();
  auto* world = dynamic_cast<cGardenWorld*>(&garden->GetLink());
  ASSERT_TRUE(world && world->GetLevel());
  ASSERT_GE(garden->HolesLayouts().size(), 2u);
  const auto count = [&](bool shown) {
    int n = 0;
    for (cObject* o : world->GetLevel()->GetRegistry())
      if (auto* h = dynamic_cast<cHole*>(o); h && h->m_bShown == shown) ++n;
    return n;
  };
  const int first = static_cast<int>(garden->HolesLayouts()[0].size());
  const int second = static_cast<int>(garden->HolesLayouts()[1].size());
  ASSERT_LT(first, second);

  ASSERT_TRUE(garden->StartLevel(0));  // level 0 opens the next layout
  ASSERT_EQ(count(true), first);
  cPlayer* p = CurrentPlayer();
  ASSERT_NE(p, nullptr);
  p->bank = 700;
  garden->Rules().FinishLevel();
  EXPECT_EQ(count(true), first) << "the holes stay on the field";
  EXPECT_TRUE(garden->GetLink().HasGardener()) << "so does the gardener";
  EXPECT_TRUE(garden->Rules().Animations().IsHolesAnimationRunning());
  // The mission-finish window's award, then the island opens the next level and takes its
  // snapshot from the field.
  ASSERT_TRUE(garden->Rules().NextHolesLayout());
  p->levelProgress = 0;
  ASSERT_TRUE(garden->Rules().AdvanceIsland());
  EXPECT_TRUE(fs::exists(App("profile/plr000/1/level.dat")));

  p->bank = 0;
  ASSERT_TRUE(garden->StartLevel(1));
  EXPECT_EQ(p->bank, 700) << "the snapshot keeps the bank";
  EXPECT_EQ(count(true), first);
  EXPECT_EQ(count(false), second - first);
  EXPECT_FALSE(garden->Rules().Animations().IsLevelAnimationDone());
  garden->m_Paused = 0;  // the level's start window closed
  cParticlePool& bursts = world->GetParticles()->GetPool(3);
  const vek::u32 before = bursts.GetEmitterCount();
  for (int i = 0; i < 29; ++i) garden->UpdateMission();
  EXPECT_EQ(count(false), second - first);
  for (int i = 0; i < 2; ++i) garden->UpdateMission();
  EXPECT_EQ(count(true), second);
  EXPECT_EQ(bursts.GetEmitterCount(), before + static_cast<vek::u32>(second - first));
  EXPECT_TRUE(garden->Rules().Animations().IsLevelAnimationDone());
}

}  // namespace
