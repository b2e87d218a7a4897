// A level played with the mouse in the whole game: the real data folder, the real windows and
// the real play field, started from a script and driven by the window system's mouse events
// through the engine's frame. Screenshots of the field in full swing, and of the beds of a
// level 1, 5 and 20 field grown full, go to build/screenshots/. The game's script interface is
// checked on the same whole game, as the program registers it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/window.h"
#include "engine/render/render.h"
#include "engine/script/script.h"
#include "game/app/game_bindings.h"
#include "game/app/game_hooks.h"
#include "game/app/garden.h"
#include "game/app/garden_link.h"
#include "game/app/game_rules.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/island/island.h"
#include "game/island/island_bindings.h"
#include "game/play/island_link.h"
#include "game/play/play_steps.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/windows/island_windows.h"
#include "game/windows/play_windows.h"
#include "game/windows/title_windows.h"
#include "game/windows/windows_bindings.h"
#include "game/world/animal.h"
#include "game/world/car.h"
#include "game/world/gardener.h"
#include "game/world/gardener_base.h"
#include "game/world/hive.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "game/world/pump.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"
#include "platform/input.h"
#include "platform/os.h"
#include "platform/window.h"
#include "tests/support/image_compare.h"
#include "tests/support/temp_dir.h"

namespace {

class FieldPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    auto o = std::make_unique<plat::FixedOs>();
    o->dataHome = tmp.path() + "/xdg";
    o->homeFolder = tmp.path() + "/Home";
    o->exeFolder = VEK_TEST_BIN_DIR;
    plat::SetOs(std::move(o));
    plat::SetWindow(nullptr);
    plat::SetInputBackend(nullptr);  // the window system's own mouse
    game = new vek::cGame();
    vek::cGame::cSettings s;
    s.title = "Orchardia";
    s.appName = "Orchardia";
    game->Init(s);
    ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
    game->OnResize(1024, 768);

    // The game as the program's entry puts it together.
    ClearGameBindings();
    ClearGameHooks();
    InstallGame();
    CreateWareManager();
    garden = new cGarden();
    ASSERT_EQ(garden->Init(), 0);
  }

  void TearDown() override {
    delete g_pGarden;
    g_pGarden = nullptr;
    DestroyWareManager();
    ClearGameBindings();
    ClearGameHooks();
    game->DestroyWindow();
    game->Shutdown();
    delete game;
    plat::GetWindow().Shutdown();
    plat::SetInputBackend(nullptr);
    plat::SetWindow(nullptr);
    plat::SetOs(nullptr);
  }

  // Frames of one fixed step each.
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      // The window's messages first, as the engine's loop takes them.
      plat::Message msg;
      while (plat::GetWindow().Peek(msg))
        if (msg.kind != plat::MsgKind::Quit) game->WindowProc(msg);
      game->SetFrameTime(vek::kFixedStep);
      game->Frame();
    }
  }
  // Once the main menu shows: a new profile of that name, as the profile window makes it, chosen.
  void ChooseNewPlayer(const char* name, cPlayer** out) {
    ASSERT_TRUE(FramesUntil(30000, [&] { return game->GetGUI()->IsWindowShown("main"); }));
    cPlayer* player = dynamic_cast<cPlayer*>(garden->CreatePlayer(""));
    ASSERT_NE(player, nullptr);
    player->GetName() = name;
    garden->GetWindowHost().Players().AddPlayer(player);
    garden->ChangePlayer(name);
    ASSERT_EQ(CurrentPlayer(), player);
    *out = player;
  }
  bool FramesUntil(int most, const std::function<bool()>& done) {
    for (int i = 0; i < most; ++i) {
      if (done()) return true;
      Frames(1);
    }
    return done();
  }

  // The mouse moves to a point of the screen and clicks there with a button (1 left, 3 right).
  void Click(vek::f32 x, vek::f32 y, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = static_cast<int>(x);
    e.motion.y = static_cast<int>(y);
    e.motion.xrel = 1;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Frames(2);
    for (bool down : {true, false}) {
      SDL_Event b{};
      b.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
      b.button.button = button;
      b.button.state = down ? SDL_PRESSED : SDL_RELEASED;
      b.button.x = static_cast<int>(x);
      b.button.y = static_cast<int>(y);
      ASSERT_EQ(SDL_PushEvent(&b), 1);
      Frames(2);
    }
  }

  void ClickCtrl(vek::cCtrl* c, vek::f32 fx = 0.5f, vek::f32 fy = 0.5f) {
    // Control rectangles count from the bottom of the screen.
    const vek::rectf r = c->GetRect();
    Click(r.x + r.w * fx, 768.0f - (r.y + r.h * fy));
  }

  vek::cCtrl* Control(const std::string& window, const std::string& name) {
    vek::cWindow* w = game->GetGUI()->GetWindow(window);
    if (!w) return nullptr;
    const unsigned id = w->FindControl(name);
    return id ? w->GetControl(id) : nullptr;
  }

  void Shot(const std::string& name) {
    game->SetFrameTime(vek::kFixedStep);
    game->Frame();
    vek::i32 rect[4] = {};
    std::unique_ptr<vek::u8[]> frame = vek::g_pRender->ReadFrontBuffer(rect);
    ASSERT_NE(frame, nullptr);
    vektest::SaveScreenshot(frame.get(), rect[2], rect[3], name);
  }

  std::vector<cObject*> Objects(vek::u32 mask) {
    std::vector<cObject*> found;
    cLevel* level = Level();
    for (cObject* o : level->GetRegistry())
      if (o != level->GetFirstObject() && o->IsType(mask)) found.push_back(o);
    return found;
  }
  // Field rectangles count from the bottom of the screen as well. A training hint that holds
  // the pointer elsewhere is followed first, as a player does.
  void ClickObject(cObject* o) {
    const vek::rectf r = o->GetRect();
    const vek::vec2 at{r.x + r.w * 0.5f, r.y + r.h * 0.5f};
    FollowHintsUntilFree(at);
    Click(at.x, 768.0f - at.y);
  }

  bool HintShown() { return game->GetGUI()->IsWindowShown("hint"); }
  // The lit rectangle of the shown hint; false when nothing is lit.
  bool HintLit(vek::rectf* lit) {
    vek::cCtrl* c = Control("hint", "highlight");
    if (!HintShown() || !c || !c->GetState(vek::cCtrl::e_Visibility)) return false;
    *lit = c->GetRect();
    return true;
  }
  // Whether a shown hint keeps a click at the point (from the bottom) from the field.
  bool HintHolds(const vek::vec2& at) {
    // Between two steps of a hint the field takes no clicks at all.
    if (g_pGarden->Hints().IsPausing()) return true;
    vek::rectf lit;
    if (!HintShown()) return false;
    return !HintLit(&lit) || !lit.Contains(at);
  }
  // A hint that holds the pointer away from the point is given time (an earlier click may be
  // answering it already), then answered as its text says.
  void FollowHintsUntilFree(const vek::vec2& at) {
    for (int round = 0; round < 16 && HintHolds(at); ++round) {
      if (FramesUntil(300, [&] { return !HintHolds(at); })) return;
      FollowLesson();
    }
  }
  // The field point (from the bottom) of the middle of an object.
  static vek::vec2 Middle(const cObject* o) {
    const vek::rectf r = o->GetRect();
    return {r.x + r.w * 0.5f, r.y + r.h * 0.5f};
  }
  cObject* Nth(vek::u32 type, int n, int stage = -1) {
    for (cObject* o : Objects(type))
      if ((stage < 0 || o->GetStage() == stage) && n-- == 0) return o;
    return nullptr;
  }
  // One answer to the lesson on show, as its text says: the text key names the thing to click
  // (a bed, a tool, a plant once ripe, the car, the order) or Ok; a lit rectangle must hold
  // that thing. The order's card it opens is read and closed.
  void FollowLesson() {
    if (vek::cCtrl* ok = Control("mission_goal", "ok"); ok && game->GetGUI()->IsWindowShown("mission_goal")) {
      ClickCtrl(ok);
      FramesUntil(300, [&] { return !game->GetGUI()->IsWindowShown("mission_goal"); });
      return;
    }
    const std::string key = g_pGarden->Hints().GetShownKey();
    if (!HintShown() || key.empty()) {
      Frames(30);
      return;
    }
    if (key == "TrainingPlants12") {
      ClickCtrl(Control("hint", "close"));
      FramesUntil(900, [&] { return !HintShown(); });
      return;
    }
    const cObject* thing = nullptr;
    vek::cCtrl* control = nullptr;
    if (key == "TrainingPlants1" || key == "TrainingPlants2" || key == "TrainingPlants3")
      thing = Nth(e_TypeHole, key.back() - '1');
    else if (key == "TrainingPlants4")
      thing = Nth(e_TypeToolWeed, 0);
    else if (key == "TrainingPlants5")
      thing = Nth(e_TypePlant, 0, 1);  // the weedy plant
    else if (key == "TrainingPlants6")
      thing = Nth(e_TypeToolBin, 0);
    else if (key == "TrainingPlants7" || key == "TrainingPlants8" || key == "TrainingPlants9") {
      thing = Nth(e_TypePlant, key.back() - '7');
      if (thing && thing->GetStage() != 2) thing = nullptr;  // not ripe yet: waited for
    } else if (key == "TrainingPlants10")
      thing = Level()->FindObject(Level()->GetCarId());
    else if (key == "TrainingPlants11")
      control = Control("score", "task0");
    else if (key == "TrainingWater0")
      thing = Nth(e_TypeToolWater, 0);
    else if (key == "TrainingWater1")
      thing = Level()->FindObject(Level()->GetPumpId());
    else if (key == "TrainingWater2")
      thing = Nth(e_TypePlant, 0, 0);  // the thirsty plant
    else
      ADD_FAILURE() << "a lesson this level does not teach: " << key;
    vek::vec2 at;
    if (thing) {
      at = Middle(thing);
    } else if (control) {
      const vek::rectf r = control->GetRect();
      at = {r.x + r.w * 0.5f, r.y + r.h * 0.5f};
    } else {
      Frames(30);
      return;
    }
    vek::rectf lit;
    if (HintLit(&lit)) {
      EXPECT_TRUE(lit.Contains(at)) << key << " names what the arrow lights";
    }
    Click(at.x, 768.0f - at.y);
    FramesUntil(900, [&] { return !HintShown() || g_pGarden->Hints().GetShownKey() != key; });
  }

  cLevel* Level() { return dynamic_cast<cLevel*>(game->GetFocusWidget()); }

  vektest::TempDir tmp;
  vek::cGame* game = nullptr;
  cGarden* garden = nullptr;
};

// The script interface as the program registers it, every folder's bindings installed: the
// type-tag predicates (registered once, so a call finds one candidate), the kinds of care work,
// the island widget, and the hint switch that scripts, the options window and the rules share.
TEST_F(FieldPlay, TheScriptInterfaceAsTheProgramRegistersIt) {
  ASSERT_TRUE(FramesUntil(30000, [&] { return game->GetGUI()->IsWindowShown("main"); }));
  vek::cScript* script = vek::GetScript();
  ASSERT_TRUE(script->DoString(R"(
    local t = {}
    for _, c in ipairs({IsInt('uiCount'), IsInt('nAge'), IsInt('u'), IsInt(''), IsFloat('fX'), IsFloat(''),
                        IsString('strA'), IsString('st'), IsArray('arr'), IsArray('ar')}) do
      t[#t + 1] = c and '1' or '0'
    end
    tags = table.concat(t)
    work = cWork.e_Water .. ',' .. cWork.e_Weed
    islandMode = theGame.m_pIsland:GetMode()
    hintsBefore = theGame.m_iTraining
    theGame.m_iTraining = 0
  )", "@interface"));
  const auto global = [&](const char* name) {
    lua_getglobal(script->GetState(), name);
    const char* v = lua_tostring(script->GetState(), -1);
    std::string out = v ? v : "nil";
    lua_pop(script->GetState(), 1);
    return out;
  };
  EXPECT_EQ(global("tags"), "1100101010");
  EXPECT_EQ(global("work"), "0,1");
  auto* island = dynamic_cast<cIsland*>(garden->m_pIsland);
  ASSERT_NE(island, nullptr);
  EXPECT_EQ(global("islandMode"), std::to_string(island->GetMode()));
  EXPECT_EQ(global("hintsBefore"), "1");
  EXPECT_EQ(garden->GetWindowHost().GetHintsEnabled(), 0);
  EXPECT_FALSE(GardenServices()->IsTraining());
  EXPECT_EQ(RulesHost()->GetTraining(), 0);
  garden->GetWindowHost().SetHintsEnabled(1);  // as the options window's box does
  EXPECT_EQ(garden->m_iTraining, 1);
}

TEST_F(FieldPlay, ALevelStartedFromAScriptIsPlayedWithTheMouse) {
  cPlayer* ann = nullptr;
  ASSERT_NO_FATAL_FAILURE(ChooseNewPlayer("Ann", &ann));

  vek::GetScript()->DoString("theGame:StartLevel(1)", "@field_play");
  ASSERT_TRUE(FramesUntil(300, [&] { return game->GetFocusWidgetName() == "garden"; }));
  Frames(60);
  Shot("field_level1_start");

  // The mission's card: "Start".
  vek::cCtrl* start = Control("mission_start", "ok");
  ASSERT_NE(start, nullptr);
  ClickCtrl(start);
  ASSERT_TRUE(FramesUntil(120, [&] { return !game->GetGUI()->IsWindowShown("mission_start"); }));
  Frames(90);
  cLevel* level = Level();
  ASSERT_NE(level, nullptr);
  Shot("field_level1_open");
  ASSERT_TRUE(level->IsObjectValid(level->GetGardenerId()));
  cGardenerBase* gardener = level->GetGardener();

  // With the pump open the can on its cell starts each level full.
  auto* can = dynamic_cast<cToolWater*>(level->FindObjectAt(kNoCell, e_TypeToolWater));
  ASSERT_NE(can, nullptr);
  can->SetAmount(0);
  garden->GetLink().RefillToolCellWater();
  EXPECT_EQ(can->GetAmount(), can->GetCapacity());
  EXPECT_GT(can->GetCapacity(), 0);

  // Sow: the first seed of the shop, then every hole.
  auto* plants = dynamic_cast<cToolbarCtrl*>(Control("garden", "plants"));
  ASSERT_NE(plants, nullptr);
  ASSERT_GT(plants->GetItemCount(), 0u) << "the shop shows the seeds";
  // Olives: they ask for water and weeding as they grow.
  ASSERT_GT(plants->GetItemCount(), 1u);
  // The first training hint points at the seed row, with its text; picking a seed answers it.
  ASSERT_TRUE(game->GetGUI()->IsWindowShown("hint"));
  auto* hintText = dynamic_cast<vek::cLabelCtrl*>(Control("hint", "text"));
  ASSERT_NE(hintText, nullptr);
  EXPECT_FALSE(hintText->GetText().empty());
  EXPECT_EQ(g_pGarden->Hints().GetShownKey(), "TrainingPlants0") << "its text sends the player to the seeds";
  ClickCtrl(plants->GetToolbarItem(1));
  ASSERT_TRUE(FramesUntil(300, [&] { return !game->GetGUI()->IsWindowShown("hint"); }));
  const vek::i32 moneyBefore = ann->money;
  // The first lesson has the player sow three beds, one after another; a larger layout's
  // further beds stay empty for now.
  std::vector<cObject*> holes = Objects(e_TypeHole);
  ASSERT_FALSE(holes.empty());
  if (holes.size() > 3) holes.resize(3);
  for (cObject* hole : holes) ClickObject(hole);
  ASSERT_TRUE(FramesUntil(1800, [&] { return Objects(e_TypePlant).size() >= holes.size(); }))
      << Objects(e_TypePlant).size() << " plants on " << holes.size() << " beds";
  EXPECT_LT(ann->money, moneyBefore) << "the seeds were paid";
  Frames(60);
  Shot("field_sown");


  cObject* car = level->FindObject(level->GetCarId());
  ASSERT_NE(car, nullptr);
  // Tend the plants with the tool each one asks for, harvest what is ripe.
  auto tool = [&](vek::i32 kind) -> cObject* {
    for (cObject* t : Objects(e_TypeTool))
      if (auto* tt = dynamic_cast<cTool*>(t); tt && tt->GetToolKind() == kind) return t;
    return nullptr;
  };
  auto idle = [&] { return gardener->GetTasks().empty(); };
  auto harvested = [&] {
    int n = 0;
    for (vek::i32 c : ann->produced) n += c;
    return n;
  };
  int tended = 0;
  bool shotBusy = false;
  const int crop = 2;
  auto tendUntil = [&](const std::function<bool()>& done) {
  for (int round = 0; round < 80 && !done(); ++round) {
    std::vector<cObject*> ripe, weedy, thirsty;
    for (cObject* o : Objects(e_TypePlant)) {
      auto* plant = dynamic_cast<cPlant*>(o);
      // A plant that waits for the gardener shows what for: water, weeding or the harvest.
      if (!plant || plant->GetState() != 3) continue;
      if (plant->GetStage() == 2) ripe.push_back(o);
      else if (plant->GetStage() == 1) weedy.push_back(o);
      else if (plant->GetStage() == 0) thirsty.push_back(o);
    }
    // Needs first: a plant left waiting withers, a ripe one keeps.
    const vek::i32 kind = !weedy.empty() ? 1 : !thirsty.empty() ? 0 : !ripe.empty() ? 2 : -1;
    if (kind < 0) {
      Frames(30);
      continue;
    }
    if (gardener->GetHeldToolKind() != kind) {
      cObject* t = tool(kind);
      ASSERT_NE(t, nullptr) << kind;
      ClickObject(t);
      FramesUntil(600, idle);
    }
    const auto& targets = kind == 2 ? ripe : kind == 1 ? weedy : thirsty;
    for (cObject* o : targets) ClickObject(o);
    if (!shotBusy && kind != 2) {
      Frames(20);
      Shot("field_in_work");
      shotBusy = true;
    }
    FramesUntil(900, idle);
    if (kind != 2) tended += static_cast<int>(targets.size());
  }
  };
  tendUntil([&] { return harvested() >= crop && tended > 0; });
  EXPECT_GE(harvested(), crop) << "the crop was brought in";
  EXPECT_GE(tended, 1) << "a plant was tended";
  // The lesson goes on through the harvest, the bin into the car (which drives to the market
  // and sells), the order and the clock: followed to its end as its texts say.
  const vek::i32 beforeSale = ann->money;
  bool shotSale = false;
  for (int round = 0; round < 60 && g_pGarden->Hints().GetHint() == 0; ++round) {
    FollowLesson();
    if (!shotSale && car->GetState() == cCar::e_Leaving) {
      Frames(15);
      Shot("field_car_sale");
      shotSale = true;
    }
  }
  EXPECT_EQ(g_pGarden->Hints().GetHint(), -1) << g_pGarden->Hints().GetShownKey();
  EXPECT_TRUE(g_pGarden->Hints().IsHintShown(0));
  EXPECT_TRUE(shotSale) << "the car left with the harvest";
  EXPECT_GT(ann->money, beforeSale) << "the load was sold";
  EXPECT_TRUE(ann->carLoad.empty());
  ASSERT_TRUE(FramesUntil(1800, [&] { return car->GetState() == cCar::e_Parked; })) << "the car comes back";

  // The shop's animals, as a later level awards them.
  ann->animalKinds = 1;
  garden->SendWindowMessage("garden", 1, 0);

  // An animal from the shop.
  ann->money = std::max(ann->money, 500);
  garden->GetLink().UpdateToolbars();
  auto* animals = dynamic_cast<cToolbarCtrl*>(Control("garden", "animals"));
  ASSERT_NE(animals, nullptr);
  ASSERT_GE(animals->GetItemCount(), 2u);
  const size_t before = Objects(e_TypeAnimal).size();
  {
    // A lesson on show (a thirsty plant's) is followed first.
    const vek::rectf r = animals->GetToolbarItem(1)->GetRect();
    FollowHintsUntilFree({r.x + r.w * 0.5f, r.y + r.h * 0.5f});
  }
  ClickCtrl(animals->GetToolbarItem(1));
  ASSERT_TRUE(FramesUntil(300, [&] { return Objects(e_TypeAnimal).size() > before; })) << "a goat came";
  Frames(150);
  Shot("field_full_swing");
  // The speed upgrade: the gardener walks faster at once.
  auto* walker = dynamic_cast<cGardener*>(gardener);
  ASSERT_NE(walker, nullptr);
  const vek::f32 speed = walker->GetWalk().speed;
  garden->Rules().BuyUpgrade(0);
  EXPECT_GT(walker->GetWalk().speed, speed);

  // A hint that opens stops the gardener's work.
  for (int round = 0; round < 30 && g_pGarden->Hints().GetHint() >= 0; ++round) FollowLesson();
  Click(500.0f, 600.0f);
  Click(800.0f, 150.0f);
  ASSERT_FALSE(gardener->GetTasks().empty());
  ASSERT_FALSE(GardenServices()->IsHintShown(14));
  garden->GetLink().ShowHint(14);
  ASSERT_TRUE(GardenServices()->IsHintShown(14));
  EXPECT_TRUE(gardener->GetTasks().empty());

  // Every action was heard: the seed, the harvest, the tools, the car and its sale, the goat;
  // the gardener's own water and weed loops have their samples.
  cGardenLink& link = garden->GetLink();
  struct {
    int sound;
    const char* what;
  } const kHeard[] = {{11, "take_seed"}, {3, "seed"}, {6, "harvest"}, {7, "tool_take"}, {13, "area_click"},
                      {22, "put_car"}, {9, "stock_open"}, {10, "stock_out"}, {0, "market_sold"}};
  for (const auto& h : kHeard) EXPECT_GT(link.GetSoundPlays(h.sound), 0u) << h.what;
  for (int loop : {4, 5}) EXPECT_NE(link.GetSoundBuffer(loop), 0u) << loop;

  // From the profile on, the log warns of nothing but the saved field a new game has not yet.
  const std::string log = vektest::ReadFileText(tmp.path() + "/xdg/Kelvra/Orchardia/_log.html");
  size_t at = log.find("ChangePlayer");
  ASSERT_NE(at, std::string::npos);
  while ((at = log.find("class='warning'>", at)) != std::string::npos) {
    const size_t end = log.find('<', at + 16);
    const std::string line = log.substr(at + 16, end - at - 16);
    EXPECT_NE(line.find("level.dat not found on disk"), std::string::npos) << line;
    at = end;
  }
  EXPECT_EQ(log.find("class='error'"), std::string::npos);
}

// The field of a later level, every bed grown full: its holes layout spreads the beds over the
// field with paths between them, grown plants keep apart, and the gardener sowing the bed
// under the fence stays clear of it. The pictures are for a person to look at.
TEST_F(FieldPlay, TheBedsOfLaterLevelsSpreadOverTheField) {
  cPlayer* ann = nullptr;
  ASSERT_NO_FATAL_FAILURE(ChooseNewPlayer("Ann", &ann));

  for (int number : {1, 5, 20}) {
    // The level as a player continues it: started, left with its stage's holes layout and
    // money for seeds saved, and started again from that save.
    for (int start = 0; start < 2; ++start) {
      vek::GetScript()->DoString("theGame:StartLevel(" + std::to_string(number) + ")", "@field_play");
      ASSERT_TRUE(FramesUntil(300, [&] { return game->GetFocusWidgetName() == "garden"; })) << number;
      Frames(30);
      if (start == 0) {
        ann->holesLayout = cGameRules::HolesForLevel(number, 5);
        ann->money = 1000;
        ASSERT_TRUE(ann->SaveGame(number)) << number;
      }
    }
    // No hints over the picture, as the hint window's "show" box turns them off.
    garden->GetLink().CloseHint();
    garden->GetLink().SetTraining(0);
    if (vek::cCtrl* start = Control("mission_start", "ok"); start && game->GetGUI()->IsWindowShown("mission_start")) {
      ClickCtrl(start);
      ASSERT_TRUE(FramesUntil(120, [&] { return !game->GetGUI()->IsWindowShown("mission_start"); }));
    }
    Frames(90);  // new holes come up when the level's start has played
    cLevel* level = Level();
    ASSERT_NE(level, nullptr);
    const auto holes = Objects(e_TypeHole);
    ASSERT_FALSE(holes.empty());
    // The gardener sows the middle of the top bed; every other hole holds a grown plant of the
    // level's sorts.
    cObject* top = holes.front();
    for (cObject* h : holes) {
      const cCell c = h->GetCell(), t = top->GetCell();
      if (c.i > t.i || (c.i == t.i && std::abs(2 * c.j - 9) < std::abs(2 * t.j - 9))) top = h;
    }
    const vek::u32 sorts = static_cast<vek::u32>(std::min(ann->lastSort, 7)) + 1;
    vek::u32 k = 0;
    for (cObject* h : holes) {
      if (h == top) continue;
      auto* plant = dynamic_cast<cPlant*>(level->FindObject(level->AddPlant(k++ % sorts, h->GetCell())));
      ASSERT_NE(plant, nullptr);
      plant->SetGrowth(1.0f);
    }
    auto* plants = dynamic_cast<cToolbarCtrl*>(Control("garden", "plants"));
    ASSERT_NE(plants, nullptr);
    ASSERT_GT(plants->GetItemCount(), 0u);
    ClickCtrl(plants->GetToolbarItem(0));
    ClickObject(top);
    cGardenerBase* gardener = level->GetGardener();
    ASSERT_NE(gardener, nullptr);
    ASSERT_TRUE(FramesUntil(900, [&] { return gardener->GetCell() == top->GetCell(); })) << number;
    Frames(20);
    Shot("field_level" + std::to_string(number) + "_beds");
  }
}

}  // namespace
