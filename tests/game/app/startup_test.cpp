// The game object's road from start-up to the main menu and its end: the order of its steps,
// the script globals, the settings functions, the stand-in player of a fresh install, and the
// settings and profile that a second start finds.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "engine/files/file_system.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/loading.h"
#include "game/app/locale_gd.h"
#include "game/app/player.h"
#include "game/app/splash_widget.h"
#include "tests/support/garden_fixture.h"

namespace {

namespace fs = std::filesystem;

// Scripts that record what the game calls: system.lua's three functions, an empty splash and
// loading list, the loading window, and an autoexec.lua that notes the game windows' order.
class StartupTest : public vektest::GardenFixture {
 protected:
  void SetUp() override {
    GardenFixture::SetUp();
    WriteData("conf/system.lua", R"(
      calls = {}
      function LoadHardwareSettings() calls[#calls + 1] = 'hardware' return 0 end
      function LoadSettings() calls[#calls + 1] = 'settings:' .. theGame:GetName() return 0 end
      function WriteSettings(path) written = path return 0 end
    )");
    WriteData("conf/splash.lua", "function FillSplash(s) s:AddNode(1.0):AddImage('nothing', 0, 0, 800, 600) return 0 end");
    WriteData("conf/loading.lua", "");
    WriteData("gui/game_loading.lua", R"(
      function FillWindow(w)
        cProgressBarSysCtrl('progress', w)
        cLabelCtrl('label', w)
        return 0
      end)");
    WriteData("gui/main.lua", "function FillWindow(w) calls[#calls + 1] = 'window:' .. w:GetName() return 0 end");
    WriteData("conf/autoexec.lua", R"(
      order = {}
      for _, n in ipairs({'messagebox', 'hint', 'hint_mp', 'mission_start', 'mission_finish',
          'mission_goal', 'main', 'escape', 'profile_select', 'options', 'profile_add', 'garden',
          'stat_garden', 'stat_island', 'island', 'edit', 'up', 'score', 'comics', 'comics00',
          'comics01', 'comics02'}) do
        order[#order + 1] = tostring(theGUI:FindWindow(n))
      end
      calls[#calls + 1] = 'autoexec'
    )");
  }

  // From the splash to the end of loading.
  void RunToMainMenu() {
    ASSERT_EQ(FocusName(), "splash");
    // An empty loading list ends in the loading screen's first frame, which hands the focus on.
    for (int i = 0; i < 2500 && !(GetLoadingWidget() && GetLoadingWidget()->IsFinished()); ++i) {
      Steps(1);
      Updates(1);
    }
    ASSERT_TRUE(GetLoadingWidget() && GetLoadingWidget()->IsFinished());
  }

  // A profile made as the profile window makes one, current from then on.
  void MakeProfile(const std::string& name) {
    cPlayerBase* p = garden->CreatePlayer("");
    ASSERT_NE(p, nullptr);
    p->GetName() = name;
    garden->AddPlayer(p);
    garden->ChangePlayer(name);
    ASSERT_EQ(garden->GetCurrentPlayer(), p);
  }
};

TEST_F(StartupTest, FromStartToMainMenuInOrder) {
  StartGarden();
  // No locale.lua: the game object is published, the text tables are not.
  EXPECT_EQ(Eval("theGame ~= nil"), "true");
  EXPECT_EQ(Eval("locale"), "nil");
  EXPECT_EQ(Eval("vek_locale"), "nil");
  EXPECT_EQ(Eval("theGame.m_Settings.fMouseSpeed"), "0.30000001192093");
  // No settings file yet: LoadHardwareSettings is not called.
  EXPECT_EQ(Eval("#calls"), "0");
  EXPECT_TRUE(game->IsBackground());

  RunToMainMenu();
  EXPECT_FALSE(game->IsBackground());
  // The 22 windows exist in their order when autoexec.lua runs, and "main" is shown.
  const std::vector<std::string> ids = vektest::LuaStrings(L, "order");
  ASSERT_EQ(ids.size(), 22u);
  for (size_t i = 1; i < ids.size(); ++i) EXPECT_LT(std::stoi(ids[i - 1]), std::stoi(ids[i])) << i;
  EXPECT_NE(ids[0], "0");
  EXPECT_TRUE(game->GetGUI()->IsWindowShown("main"));
  EXPECT_EQ(vektest::LuaStrings(L, "calls"), (std::vector<std::string>{"settings:", "window:main", "autoexec"}));

  const std::string log = LogText();
  size_t at = 0;
  for (const char* line : {"cMiddle: </span><span class='text'>Start game initialization...",
                           "CreateTextureInfos", "cGarden: </span><span class='text'>Start game initialization...",
                           "Show splash screen...", "End splash screen", "Start loading...",
                           "ParseResources: sound not loaded: 30", "Loading complete. Finish game initialization...",
                           "Found 0 Player profiles", "cGarden: </span><span class='text'>Loading complete.",
                           "Game initialization complete. Run game..."}) {
    const size_t next = log.find(line, at);
    ASSERT_NE(next, std::string::npos) << line;
    at = next + 1;
  }
  EXPECT_EQ(log.find("class='error'"), std::string::npos);
}

TEST_F(StartupTest, LocaleAndSettingsFilesAreRunWhenPresent) {
  WriteData("conf/locale.lua", "locale.Rate0 = 'Sprout'  seen = vek_locale ~= nil");
  fs::create_directories(App("conf"));
  ASSERT_TRUE(vektest::WriteFileText(App("conf/settings.lua"), "Settings = {}"));
  StartGarden();
  EXPECT_EQ(g_LocaleGD.Rate0, "Sprout");
  EXPECT_EQ(Eval("seen"), "true");
  EXPECT_EQ(vektest::LuaStrings(L, "calls"), (std::vector<std::string>{"hardware"}));
  g_LocaleGD.Rate0 = "Rate0";
}

TEST_F(StartupTest, SmallDesktopTurnsAWindowedGameFullScreen) {
  vek::g_bSmallDesktop = true;
  game->CreateWindow(true, 800, 600);
  ASSERT_TRUE(game->IsWindowed());
  StartGarden();
  vek::g_bSmallDesktop = false;
  EXPECT_FALSE(game->IsWindowed());
  int w = 0, h = 0;
  game->GetClientSize(&w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
}

TEST_F(StartupTest, FreshInstallLeavesNoNamelessProfileAndWritesNoSettings) {
  StartGarden();
  RunToMainMenu();
  // A current player exists for the game, but it is no profile: not listed, never written.
  ASSERT_NE(garden->GetCurrentPlayer(), nullptr);
  EXPECT_TRUE(garden->IsStandInPlayer(garden->GetCurrentPlayer()));
  EXPECT_EQ(garden->GetPlayerCount(), 0u);
  EXPECT_EQ(garden->GetName(), "");
  EndGarden();
  EXPECT_FALSE(fs::exists(App("profile")) && !fs::is_empty(App("profile")));
  EXPECT_EQ(Eval("written"), "nil");
  EXPECT_FALSE(fs::exists(App("conf/settings.lua")));
}

TEST_F(StartupTest, ASecondStartFindsTheProfileAndTheSettings) {
  UseBuiltData();
  WriteData("conf/autoexec.lua", "");
  fs::remove(Data("gui/main.lua"));
  StartGarden();
  RunToMainMenu();
  MakeProfile("Ann");
  EXPECT_FALSE(garden->IsStandInPlayer(garden->GetCurrentPlayer()));
  EXPECT_EQ(garden->GetPlayerCount(), 1u);
  ASSERT_TRUE(Run("GetSound():SetVolume(2, 0.25) theGame.m_Settings.fMouseSpeed = 0.75"));
  EndGarden();
  const std::string settings = vektest::ReadFileText(App("conf/settings.lua"));
  EXPECT_NE(settings.find("player = \"Ann\""), std::string::npos) << settings;
  EXPECT_TRUE(fs::exists(App("profile/plr000/player.dat")));

  // The next start: the profile is listed and current, the settings are back.
  ASSERT_TRUE(Run("GetSound():SetVolume(2, 0.5) theGame = nil Settings = nil"));
  StartGarden();
  RunToMainMenu();
  EXPECT_EQ(garden->GetPlayerCount(), 1u);
  EXPECT_EQ(garden->GetName(), "Ann");
  EXPECT_FALSE(garden->IsStandInPlayer(garden->GetCurrentPlayer()));
  EXPECT_EQ(Eval("GetSound():GetVolume(2)"), "0.25");
  EXPECT_EQ(Eval("theGame.m_Settings.fMouseSpeed"), "0.75");
  // A new profile takes the next folder.
  MakeProfile("Bob");
  EXPECT_EQ(dynamic_cast<cPlayer*>(garden->GetCurrentPlayer())->GetFolder(), "plr001");
}

TEST_F(StartupTest, WriteSettingsGetsTheSettingsPathWithACurrentProfile) {
  StartGarden();
  RunToMainMenu();
  MakeProfile("Cid");
  EndGarden();
  EXPECT_EQ(Eval("written"), App("conf/settings.lua"));
}

TEST_F(StartupTest, MessageTextsAndPlayerCounter) {
  StartGarden();
  EXPECT_EQ(garden->GetMessageText(0), g_LocaleGD.ErrorOnePlayer);
  EXPECT_EQ(garden->GetMessageText(1), g_LocaleGD.ConfirmDeletePlayer);
  EXPECT_EQ(garden->GetMessageText(2), g_LocaleGD.ConfirmExitGame);
  EXPECT_EQ(garden->GetMessageText(3), "");
  EXPECT_EQ(garden->GetMessageText(-1), "");
  ASSERT_TRUE(Run("theGame:SetPlayerCounter(7)"));
  EXPECT_EQ(Eval("theGame:GetPlayerCounter()"), "7");
  EXPECT_EQ(garden->GetPlayerCounter(), 7u);
}

}  // namespace
