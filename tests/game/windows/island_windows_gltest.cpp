// The island screen's windows and the two comics drawn by the engine's frame on the real
// OpenGL device in the game's own look, saved under build/screenshots/ to be looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "engine/script/script.h"
#include <lua.hpp>
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/window_host.h"
#include "game/windows/garden_comics.h"
#include "game/windows/hint_gd_wf.h"
#include "game/windows/island_windows.h"
#include "game/windows/title_windows.h"
#include "game/windows/windows_bindings.h"
#include "game/world/balance.h"
#include "game/world/ware_manager.h"
#include "platform/gfx.h"
#include "tests/support/gl_game_fixture.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/system_look.h"
#include "tests/support/image_compare.h"

namespace {

using vek::u8;

const std::string kShots = std::string(VEK_TEST_BIN_DIR) + "/../screenshots";

// A sky over a green island: what stands behind the windows where the island map draws.
class Backdrop : public vek::cWidget {
 public:
  using vek::cWidget::cWidget;
  void Render() override {
    vek::g_pRender->SetClearColor(0.49f, 0.76f, 0.26f, 1.0f);
    vek::g_pRender->Clear(plat::gfx::kClearTarget, 1.0f);
    vek::cWidget::Render();
  }
};

class RatedWorld : public iRulesWorld {
 public:
  vek::string GetText(const vek::string& key) override {
    if (key == "Rate1") return "Green Thumb";
    if (key == "IslandRate1") return "Fishing Village";
    return key;
  }
  int CountBuiltBuildings() override { return 14; }
  int GetIslandMode() override { return 1; }
};

class IslandWindowsGL : public vektest::GLGameFixture {
 protected:
  IslandWindowsGL() : GLGameFixture("island windows gl test") {}

  void SetUp() override {
    GLGameFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(vektest::LoadSystemLook());
    for (const char* name : {"title_panel", "title_button", "title_check", "title_slider", "title_field",
                             "title_select", "title_logo", "icon_head"})
      ASSERT_TRUE(LoadTexture(std::string("{StaticPath}/texture/title/") + name + ".png", name)) << name;
    for (const char* font : {"menu_header", "menu_text"}) {
      ASSERT_TRUE(LoadTexture(std::string("{StaticPath}/texture/fonts/") + font + ".png", font));
      ASSERT_TRUE(vek::GetScript()->LoadFile(vek::filename(std::string("{StaticPath}/texture/fonts/") + font + ".lua")));
    }
    for (const char* name : {"hint_arrow", "hint_glow", "island_face", "stat_people", "stat_house", "stat_market",
                             "stat_factory", "stat_institute", "stat_animals", "stat_statue", "stat_lock"})
      ASSERT_TRUE(LoadTexture(std::string("{StaticPath}/texture/gui/") + name + ".png", name)) << name;
    for (const char* name : {"comicsb0", "comicsb1", "comicsb2", "comicsb3", "comics_boat", "comics_landing",
                             "comics_islanders", "comics_digging", "comics_car", "comics_plans", "comics_town",
                             "comics_statue", "comics_rest"})
      ASSERT_TRUE(LoadTexture(std::string("{StaticPath}/texture/comics/") + name + ".png", name)) << name;
    // The game's texts, as the game's locale file gives them.
    lua_State* L = vek::GetScript()->GetState();
    lua_newtable(L);
    lua_setglobal(L, "locale");
    ASSERT_TRUE(vek::GetScript()->LoadFile(vek::filename("{StaticPath}/conf/locale.lua")));
    // The game's icon sheets: stars, houses, wares and animals; the lock and the medals.
    sprites = std::make_unique<vektest::HeadlessSprites>();
    ASSERT_TRUE(sprites->Load("texture/world/icons00.png"));
    ASSERT_TRUE(sprites->Load("texture/gui/icons01.png"));
    // The buildings' sheets, for the editor's shelf.
    for (const char* sheet : {"houses00", "houses01", "houses02", "houses03", "houses04", "houses05", "houses07",
                              "houses08", "houses09"})
      ASSERT_TRUE(sprites->Load(std::string("texture/island/") + sheet + ".png")) << sheet;
    RegisterGameWindows(L);
    host = std::make_unique<cWindowHost>();
    CreateTitleWindows(host.get());
    for (const char* name : {"hint", "hint_mp", "island", "edit", "stat_garden", "stat_island", "comics",
                             "comics00", "comics01", "comics02"})
      ASSERT_NE(CreateGameWindow(name, MakeIslandWindowFunction(name)), nullptr) << name;
    gui = game->GetGUI();
    new Backdrop("map");
    game->SetFocusWidget("map");
    host->SetCursor("pointer");
    std::filesystem::create_directories(kShots);
  }

  void TearDown() override {
    SetCurrentPlayer(nullptr);
    SetRulesWorld(nullptr);
    GLGameFixture::TearDown();
    sprites.reset();
    host.reset();
  }

  static bool LoadTexture(const std::string& path, const char* name) {
    vek::cImage image;
    // A picture on a shared page: the page, with its parts.
    if (vek::cDataManager::ReadImage(vek::filename(path), &image) != 0) return vektest::LoadPageOf(path);
    (new vek::cTexture(name, false, &image))->OnCreateContext();
    return true;
  }

  void Settle(int steps = 30) {
    for (int i = 0; i < steps; ++i) gui->Update(vek::kFixedStep);
  }

  // Draws a frame with the pointer at a GUI point and saves it as <name>.png.
  void Shot(const std::string& name, float x, float y) {
    Settle();
    gui->GetCursor()->SetPos(x, y);
    game->Frame();
    vek::i32 rect[4] = {};
    std::unique_ptr<u8[]> frame = vek::g_pRender->ReadFrontBuffer(rect);
    ASSERT_NE(frame, nullptr);
    vektest::SaveScreenshot(frame.get(), rect[2], rect[3], name);
    shots.push_back(name);
  }

  std::unique_ptr<cWindowHost> host;
  std::unique_ptr<vektest::HeadlessSprites> sprites;
  vek::cGUI* gui = nullptr;
  std::vector<std::string> shots;
};

TEST_F(IslandWindowsGL, EveryWindowOnTheScreen) {
  auto* hint = dynamic_cast<cHintGDWF*>(gui->GetWindow("hint")->GetFunction());
  ASSERT_NE(hint, nullptr);
  // A training step pointing at a spot, the rest of the screen dimmed.
  const vek::rectf target{620, 420, 120, 90};
  const vek::vec2 point{640, 440};
  hint->Place("Click the market to see\nwhat the islanders need.", &target, &point,
              cHintWF::kAlignLeft | cHintWF::kAlignBottom, true);
  gui->ShowWindow("hint");
  Shot("island_hint_target", 680, 460);
  hint->PlaceCentered("Welcome to the island! Every level\nyou finish builds a new house here.", true);
  Shot("island_hint_centred", 512, 300);
  gui->HideWindow("hint");
  Settle();

  // The island window with a player of some progress.
  RatedWorld world;
  SetRulesWorld(&world);
  cPlayer* player = host->Players().CreatePlayer("Ann");
  host->Players().AddPlayer(player);
  host->Players().ChangePlayer("Ann");
  player->levelProgress = 7;
  player->timeGrades = {0, 0, 0, 0, 0, 0, 0, 1};
  player->levelTimes = {65.7f, 80.0f, 99.0f, 120.0f, 61.0f, 75.0f, 90.0f, 200.0f};
  SetCurrentPlayer(player);
  host->SwitchWindow("island", 1);
  gui->ShowWindow("hint_mp");
  gui->GetWindow("hint_mp")->SetPos(440, 300);
  vek::cWindow* tip = gui->GetWindow("hint_mp");
  for (const auto& [name, text] : {std::pair{"day", "3"}, {"time", "1 : 39"}, {"medal", "Gold"}})
    if (auto* l = dynamic_cast<vek::cLabelCtrl*>(tip->GetControl(tip->FindControl(name)))) l->SetText(text);
  Shot("island_window", 540, 330);
  gui->HideWindow("hint_mp");

  // The statistics over the island window.
  CreateWareManager();
  BuildProductTable();
  player->produced.assign(40, 0);
  for (const char* ware : {"plant00", "plant01", "plant02", "product00", "grass", "egg"})
    player->produced[static_cast<size_t>(g_pWareManager->GetWareId(ware))] = 3 + 7 * (ware[0] == 'p');
  player->animalsBought = {2, 0, 1};
  gui->GetWindow("stat_garden")->GetFunction()->Call(gui->GetWindow("stat_garden"), vek::e_wndAfterCreate, 0, 0);
  host->SwitchWindow("stat_garden", 1);
  Shot("island_stat_garden", 520, 120);
  gui->HideWindow("stat_garden");
  host->SwitchWindow("stat_island", 1);
  Shot("island_stat_island", 520, 110);
  gui->HideWindow("stat_island");
  DestroyWareManager();
  gui->ShowWindow("edit");
  Shot("island_edit", 420, 170);
  // Every tab's shelf shows its buildings' pictures.
  vek::cWindow* edit = gui->GetWindow("edit");
  for (const char* tab : {"house", "factory", "special"}) {
    vek::cCtrl* button = edit->GetControl(edit->FindControl(tab));
    ASSERT_NE(button, nullptr) << tab;
    button->OnEvent(vek::cCtrl::e_evLButtonDown, 0, vek::PackPosition(0, 0));
    Shot(std::string("island_edit_") + tab, 420, 170);
  }
  host->HideAllWindows();
  Settle();

  // The opening comic: the first page with every picture in, then the second page.
  cGardenComics* comics = CreateGardenComics();
  comics->SetMode(cGardenComics::kOpening);
  game->SetFocusWidget("comics");
  for (int i = 0; i < 40; ++i) comics->Step();
  Shot("comics_opening_arriving", 512, 384);
  for (int i = 0; i < 120; ++i) comics->Step();
  Shot("comics_opening_page1", 900, 40);
  comics->NextPage();
  comics->OnEvent(cComics::kKeyPressed, 0);
  Shot("comics_opening_page2", 900, 40);
  comics->SetMode(cGardenComics::kEnding);
  game->SetFocusWidget("map");
  game->SetFocusWidget("comics");
  comics->OnEvent(cComics::kKeyPressed, 0);
  for (int i = 0; i < 30; ++i) comics->Step();
  Shot("comics_ending", 900, 40);

  for (const std::string& name : shots) EXPECT_TRUE(std::filesystem::exists(kShots + "/" + name + ".png")) << name;
}

}  // namespace
