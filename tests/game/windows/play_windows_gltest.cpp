// Every play window drawn by the engine's frame on the real OpenGL device in the game's own
// look, over a plain meadow with the score panel and the garden bar around it, saved under
// build/screenshots/ to be looked at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <lua.hpp>


#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "game/app/game_rules.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/window_host.h"
#include "game/windows/controls/check_box_ctrl.h"
#include "game/windows/controls/mission_ctrl.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/windows/garden_bar_wf.h"
#include "game/windows/play_host.h"
#include "game/windows/play_windows.h"
#include "game/windows/title_windows.h"
#include "game/windows/windows_bindings.h"
#include "game/world/effects.h"
#include "game/world/ware_manager.h"
#include "platform/gfx.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/gl_game_fixture.h"
#include "tests/support/system_look.h"
#include "tests/support/image_compare.h"

namespace {

using vek::u8;

const std::string kShots = std::string(VEK_TEST_BIN_DIR) + "/../screenshots";

// A meadow: what the field would show around the windows; what flies (coins, medals, stars)
// is drawn over the windows, as the field does.
class Meadow : public vek::cWidget {
 public:
  Meadow(const vek::string& name, cFlyerList* flyers) : vek::cWidget(name), m_pFlyers(flyers) {}
  void Render() override {
    vek::g_pRender->SetClearColor(0.49f, 0.76f, 0.26f, 1.0f);
    vek::g_pRender->Clear(plat::gfx::kClearTarget, 1.0f);
    vek::cWidget::Render();
    vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->GetQuadBatch() : nullptr;
    if (!batch) return;
    vek::Begin2D(1024.0f, 768.0f);
    batch->Clear();
    vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
    m_pFlyers->m_pBatch = batch;
    m_pFlyers->Draw();
    vek::FlushBatches(batch);
    batch->Clear();
    vek::SetBlendMode(vek::e_BlendNone, 0.0f);
    vek::End2D();
  }

 private:
  cFlyerList* m_pFlyers;
};

class Factory : public iChainFactory {
 public:
  Factory(vek::i32 in, vek::i32 out, int st, vek::i32 units, vek::f32 worked)
      : input(in), output(out), state(st), stock(units), done(worked) {}
  vek::i32 GetState() const override { return state; }
  vek::i32 GetInputWare() const override { return input; }
  vek::i32 GetOutputWare() const override { return output; }
  vek::i32 GetStock() const override { return stock; }
  vek::f32 GetWorkDone() const override { return done; }
  vek::f32 GetWorkTime() const override { return 5.0f; }
  void Activate() override {}
  vek::i32 input, output;
  int state;
  vek::i32 stock;
  vek::f32 done;
};

class ShowHost : public cPlayHost {
 public:
  bool HasLevel() override { return true; }
  // The data set's own texts (conf/locale.lua), as the game shows them.
  vek::string GetText(const vek::string& key) override {
    lua_State* L = vek::GetScript()->GetState();
    lua_getglobal(L, "locale");
    vek::string text = key;
    if (lua_istable(L, -1)) {
      lua_getfield(L, -1, key.c_str());
      if (lua_isstring(L, -1)) text = lua_tostring(L, -1);
      lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return text;
  }
  iChainFactory* FindFactoryMaking(vek::i32 ware) override {
    for (iChainFactory* f : factories)
      if (f->GetOutputWare() == ware) return f;
    return nullptr;
  }
  cFlyerList* GetFlyers() override { return &flyers; }
  std::vector<iChainFactory*> factories;
  cFlyerList flyers{nullptr, nullptr};
};

// The rules' world: the awards reach the garden bar, as in the game.
class AwardWorld : public iRulesWorld {
 public:
  bool HasPlantSort(int offset) override { return offset < 8; }
  int GetHolesLayoutCount() override { return 5; }
  void SendWindowMessage(const vek::string& window, int p1, int p2) override {
    if (host) host->SendWindowMessage(window, p1, p2);
  }
  cWindowHost* host = nullptr;
};

class PlayWindowsGL : public vektest::GLGameFixture {
 protected:
  PlayWindowsGL() : GLGameFixture("play windows gl test") {}

  void SetUp() override {
    GLGameFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(vektest::LoadSystemLook());
    // The sheet registry first: the menus' pictures lie on a page whose script makes sheets too.
    if (!vek::g_pTextureInfos) vek::CreateTextureInfos();
    lua_State* L = vek::GetScript()->GetState();
    luabind::module(L)[vek::bindings::TextureInfoClass()];
    vek::bindings::KeepTextureInfosNative(L);
    for (const char* name : {"title_panel", "title_button", "title_check", "title_slider", "title_field",
                             "title_select", "title_logo", "icon_error", "icon_info", "icon_warning",
                             "icon_question", "icon_head"})
      ASSERT_TRUE(LoadTexture(std::string("{StaticPath}/texture/title/") + name + ".png", name)) << name;
    for (const char* font : {"menu_header", "menu_text", "header24x24"}) {
      ASSERT_TRUE(LoadTexture(std::string("{StaticPath}/texture/fonts/") + font + ".png", font));
      ASSERT_TRUE(vek::GetScript()->LoadFile(vek::filename(std::string("{StaticPath}/texture/fonts/") + font + ".lua")));
    }
    for (const char* sheet : {"gui/icons01", "gui/gui_plants", "gui/gui_ups00", "gui/gui_ups01", "world/peacock01"})
      ASSERT_TRUE(LoadSheet(std::string("texture/") + sheet)) << sheet;
    // The field's icons, when the data set has them built.
    LoadSheet("texture/world/icons00");

    CreateWareManager();
    const std::pair<const char*, const char*> sorts[] = {
        {"plant00", "Tomato"}, {"plant01", "Olive"},   {"plant02", "Orange"}, {"plant03", "Banana"},
        {"plant04", "Wheat"},  {"plant05", "Corn"},    {"plant06", "Grape"},  {"plant07", "Pineapple"},
        {"grass", "Grass"},    {"flowers", "Flowers"}};
    vek::i32 price = 5;
    for (const auto& [name, text] : sorts) {
      (new cSort(name, text))->SetPrice(price);
      price += 5;
    }
    for (const auto& [name, text] : {std::pair{"product00", "OliveOil"}, std::pair{"product01", "OrangeJuice"},
                                     std::pair{"product02", "Flour"}, std::pair{"product03", "GrapeJuice"}})
      new cProduct(name, text);
    player.currentLevel = 2;
    player.levelProgress = 2;
    player.money = 240;
    player.bank = 1250;
    player.lastSort = 3;
    player.animalKinds = 1;
    player.upgradeLevels = {1, 0, 1, 0, 0, 0};
    player.mission.timeLimit = 185.0f;
    player.elapsedTime = 122.0f;
    player.mission.name = "factory01";
    player.mission.tasks = {Task("plant00", 8), Task("plant02", 5), Task("product01", 2), Task(kNoWare, 1, 1)};
    player.activeTasks = player.mission.tasks;
    player.activeTasks[0].count = 3;
    SetCurrentPlayer(&player);
    SetRulesWorld(&world);
    SetPlayHost(&play);

    ASSERT_TRUE(vek::GetScript()->DoString("locale = {}", "=locale"));
    ASSERT_TRUE(vek::GetScript()->LoadFile(vek::filename("{StaticPath}/conf/locale.lua")));
    RegisterGameWindows(vek::GetScript()->GetState());
    host = std::make_unique<cWindowHost>();
    CreateTitleWindows(host.get());
    CreatePlayWindows();
    gui = game->GetGUI();
    world.host = host.get();
    new Meadow("garden", &play.flyers);
    new Meadow("island", &play.flyers);
    game->SetFocusWidget("garden");
    host->SetCursor("pointer");
    std::filesystem::create_directories(kShots);
  }

  void TearDown() override {
    GLGameFixture::TearDown();
    host.reset();
    SetPlayHost(nullptr);
    SetRulesWorld(nullptr);
    SetCurrentPlayer(nullptr);
    DestroyWareManager();
  }

  cMissionTask Task(const char* ware, vek::i32 count) const {
    cMissionTask t;
    t.ware = g_pWareManager->GetWareId(ware);
    t.count = count;
    return t;
  }
  cMissionTask Task(vek::i32 ware, vek::i32 count, vek::i32 kind) const {
    cMissionTask t;
    t.ware = ware;
    t.kind = kind;
    t.count = count;
    return t;
  }

  static bool LoadTexture(const std::string& path, const char* name) {
    vek::cImage image;
    // A picture on a shared page: the page, with its parts.
    if (vek::cDataManager::ReadImage(vek::filename(path), &image) != 0) return vektest::LoadPageOf(path);
    (new vek::cTexture(name, false, &image))->OnCreateContext();
    return true;
  }
  static bool LoadSheet(const std::string& path) {
    // A sheet on a shared page: the page, once, and its script.
    if (vektest::LoadPageOf(path)) return true;
    const std::string name = std::filesystem::path(path).filename().string();
    return LoadTexture("{StaticPath}/" + path + ".png", name.c_str()) &&
           vek::GetScript()->LoadFile(vek::filename("{StaticPath}/" + path + ".tex"));
  }

  void Settle(int steps = 30) {
    for (int i = 0; i < steps; ++i) {
      gui->Update(vek::kFixedStep);
      play.flyers.Update(vek::kFixedStep);
    }
  }

  // Draws a frame with the pointer at a GUI point and saves it as <name>.png; the pointer is
  // moved half way through `steps` fixed steps.
  void Shot(const std::string& name, float x, float y, int steps = 60) {
    Settle(steps / 2);
    gui->OnMouseMove(static_cast<int>(x), 768 - static_cast<int>(y));
    Settle(steps - steps / 2);
    gui->GetCursor()->SetPos(x, y);
    game->Frame();
    vek::i32 rect[4] = {};
    std::unique_ptr<u8[]> frame = vek::g_pRender->ReadFrontBuffer(rect);
    ASSERT_NE(frame, nullptr);
    vektest::SaveScreenshot(frame.get(), rect[2], rect[3], name);
  }

  template <class T>
  T* Control(const char* window, const char* name) {
    vek::cWindow* w = gui->GetWindow(window);
    return dynamic_cast<T*>(w->GetControl(w->FindControl(name)));
  }

  std::unique_ptr<cWindowHost> host;
  vek::cGUI* gui = nullptr;
  cPlayer player{"plr000"};
  AwardWorld world;
  ShowHost play;
};

TEST_F(PlayWindowsGL, ADoneTaskStillShowsItsWareUnderTheTick) {
  host->SwitchWindow("score", 2);
  auto* task = Control<cTaskCtrl>("score", "task0");
  ASSERT_NE(task, nullptr);
  task->SetIcon("icons00", "plant02");
  if (task->GetIcon().GetTexture() == 0) GTEST_SKIP() << "the data set has no field icons built";
  task->SetText("x0");
  task->SnapToInPos();
  Settle();
  gui->GetCursor()->SetPos(1000.0f, 10.0f);
  // The frame as drawn: RGB rows from the bottom, as control rectangles count.
  auto frame = [&] {
    game->Frame();
    vek::i32 rect[4] = {};
    std::unique_ptr<u8[]> rgb = vek::g_pRender->ReadFrontBuffer(rect);
    EXPECT_NE(rgb, nullptr);
    return std::make_pair(std::move(rgb), rect[2]);
  };
  task->SetChecked(false);
  const auto open = frame();
  task->SetChecked(true);
  const auto done = frame();
  ASSERT_TRUE(open.first && done.first);
  // The share of the icon's pixels in a part of it (fractions of its width and height, y
  // upwards) that the tick changes.
  const vek::rectf icon = task->GetIcon().GetRect();
  auto changed = [&](vek::f32 x0, vek::f32 x1, vek::f32 y0, vek::f32 y1) {
    int n = 0, all = 0;
    for (int y = static_cast<int>(icon.y + icon.h * y0); y < static_cast<int>(icon.y + icon.h * y1); ++y)
      for (int x = static_cast<int>(icon.x + icon.w * x0); x < static_cast<int>(icon.x + icon.w * x1); ++x) {
        const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(open.second) + static_cast<size_t>(x)) * 3;
        bool differs = false;
        for (int k = 0; k < 3; ++k) differs = differs || std::abs(open.first[at + k] - done.first[at + k]) > 8;
        n += differs ? 1 : 0;
        ++all;
      }
    return static_cast<float>(n) / static_cast<float>(all);
  };
  // The tick shows as a badge that covers a corner, not the ware: most of the icon, and all
  // of its upper left, is drawn as before.
  const float whole = changed(0.0f, 1.0f, 0.0f, 1.0f);
  EXPECT_GT(whole, 0.05f) << "the tick shows";
  EXPECT_LT(whole, 0.35f) << "the ware's icon still reads beside it";
  EXPECT_LT(changed(0.0f, 0.4f, 0.6f, 1.0f), 0.01f) << "the icon's upper left is untouched";
}

TEST_F(PlayWindowsGL, EveryWindowOnTheScreen) {
  // The field's furniture: the score panel with four task indicators in, the garden bar with
  // two factory rows (one could start, one works).
  host->SwitchWindow("score", 2);
  host->SwitchWindow("garden", 2);
  const char* const icons[4] = {"plant00", "plant02", "product01", "goat"};
  const char* const counts[4] = {"x3", "x5", "x2", "x0"};
  for (int i = 0; i < 4; ++i) {
    auto* task = Control<cTaskCtrl>("score", ("task" + std::to_string(i)).c_str());
    task->SetIcon("icons00", icons[i]);
    task->SetText(counts[i]);
    task->SetChecked(i == 3);
    task->SnapToInPos();
  }
  const vek::i32 orange = g_pWareManager->GetWareId("plant02"), juice = g_pWareManager->GetWareId("product01");
  const vek::i32 olive = g_pWareManager->GetWareId("plant01"), oil = g_pWareManager->GetWareId("product00");
  Factory press(orange, juice, 2, 3, 0.0f), mill(olive, oil, 3, 2, 3.0f);
  play.factories = {&press, &mill};
  host->SendWindowMessage("garden", 0, 20);
  auto* bar = gui->GetWindow("garden")->GetFunction();
  auto* rows = dynamic_cast<cGardenWF*>(bar);
  ASSERT_NE(rows, nullptr);
  rows->ShowFactoryOf(rows->FindParkedItem(), juice);
  rows->ShowFactoryOf(rows->FindParkedItem(), oil);
  auto* plants = Control<cToolbarCtrl>("garden", "plants");
  for (unsigned i = 0; i < plants->GetItemCount(); ++i)
    if (i == 3) plants->GetItem(i)->EnableState(vek::cCtrl::e_Disabled);  // not affordable
  Settle(60);
  Shot("play_garden", 180, 60);
  Shot("play_score", 940, 520);

  host->SwitchWindow("mission_start", 2);
  Shot("play_mission_start", 600, 150);
  gui->HideWindow("mission_start");

  host->SwitchWindow("mission_goal", 2);
  Shot("play_mission_goal", 600, 240);
  gui->HideWindow("mission_goal");
  Settle();

  // The level's result with three awards; the sequence is left to run to its end.
  play.Rules().SetLevelFlag(1);
  play.Rules().SetLevelFlag(3);
  play.Rules().SetLevelFlag(4);
  host->SwitchWindow("mission_finish", 2);
  // 2 s of pause, then the money goes into the bank coin by coin (1.2 s).
  Shot("play_mission_finish_paying", 600, 160, 81);
  // Then the bonus, the medal, and the first award's star on its way to the shop.
  Settle(180);
  Shot("play_mission_finish_award", 600, 160, 10);
  Settle(12 * 30);
  Shot("play_mission_finish", 600, 160);
  gui->HideWindow("mission_finish");
  Settle();

  host->SwitchWindow("up", 1);
  Settle();
  auto* choice = Control<cCheckBoxUpCtrl>("up", "ch1");
  gui->GetWindow("up")->GetFunction()->Call(gui->GetWindow("up"), vek::e_ntfCheckToggle, 1, choice->GetID());
  Shot("play_up", 330, 480);
  // Bought: the bank pays with a coin flying to the card.
  gui->GetWindow("up")->GetFunction()->Call(gui->GetWindow("up"), vek::e_ntfButtonClick, 0,
                                             Control<vek::cCtrl>("up", "done")->GetID());
  Shot("play_up_bought", 700, 300, 12);

  for (const char* name : {"play_score", "play_garden", "play_mission_start", "play_mission_goal",
                           "play_mission_finish", "play_mission_finish_award", "play_up", "play_up_bought"})
    EXPECT_TRUE(std::filesystem::exists(kShots + "/" + name + ".png")) << name;
}

}  // namespace
