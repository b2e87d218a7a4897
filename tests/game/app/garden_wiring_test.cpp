// The game object wired into the rest of the game: it is the world's services, the rules' host
// and the rules' world while it lives; the end of loading runs its stages in their order; one
// profile list serves the title windows, the rules and the settings; a fixed step reaches the
// mission, the tips and the ships; the end saves the games before the settings and the
// folders above the application go.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "engine/gui/widget.h"
#include "engine/script/script.h"
#include "game/app/game_hooks.h"
#include "game/app/garden_link.h"
#include "game/app/loading.h"
#include "game/app/player.h"
#include "tests/support/garden_fixture.h"

namespace {

namespace fs = std::filesystem;

// Appends a word to the script table "calls", which the scripts below fill as well.
void Note(const char* word) {
  vek::GetScript()->DoString(std::string("calls[#calls + 1] = '") + word + "'", "@note");
}

// The part of the link a folder above the application fills in, recording what it is asked.
class RecordingLink : public cGardenLink {
 public:
  using cGardenLink::cGardenLink;
  void StepWaterPump() override { ++pumpSteps; }
  void ResetIslandView() override { ++viewResets; }
  int pumpSteps = 0;
  int viewResets = 0;
};

class GardenWiringTest : public vektest::GardenFixture {
 protected:
  void SetUp() override {
    GardenFixture::SetUp();
    WriteData("conf/system.lua", R"(
      calls = {}
      function LoadHardwareSettings() return 0 end
      function LoadSettings() calls[#calls + 1] = 'settings:' .. theGame:GetName() return 0 end
      function WriteSettings(path) calls[#calls + 1] = 'write:' .. theGame:GetName() return 0 end
    )");
    WriteData("conf/splash.lua", "function FillSplash(s) s:AddNode(1.0):AddImage('nothing', 0, 0, 800, 600) return 0 end");
    WriteData("conf/loading.lua", "");
    WriteData("gui/game_loading.lua", R"(
      function FillWindow(w)
        cProgressBarSysCtrl('progress', w)
        cLabelCtrl('label', w)
        return 0
      end)");
    WriteData("gui/main.lua", "function FillWindow(w) calls[#calls + 1] = 'window:main' return 0 end");
    WriteData("conf/autoexec.lua", "calls[#calls + 1] = 'autoexec'");
    AddLoadingStep(eLoadingStep::Tables, [](cGarden&) { Note("tables"); });
    AddLoadingStep(eLoadingStep::Widgets, [](cGarden& g) {
      Note("widgets");
      g.SetLink(std::make_unique<RecordingLink>(g));
    });
    AddLoadingStep(eLoadingStep::Windows, [](cGarden&) { Note("windows"); });
    AddLoadingStep(eLoadingStep::Layouts, [](cGarden&) { Note("layouts"); });
    AddShutdownStep([](cGarden&) { Note("shutdown"); });
  }

  void RunToMainMenu() {
    // An empty loading list ends in the loading screen's first frame, which hands the focus on.
    for (int i = 0; i < 2500 && !(GetLoadingWidget() && GetLoadingWidget()->IsFinished()); ++i) {
      Steps(1);
      Updates(1);
    }
    ASSERT_TRUE(GetLoadingWidget() && GetLoadingWidget()->IsFinished());
  }

  // A profile on disk, as the profile window leaves it.
  void WriteProfile(const std::string& folder, const std::string& name) {
    cPlayer player(folder);
    player.GetName() = name;
    ASSERT_TRUE(player.WriteProfile());
  }

  RecordingLink* Link() { return dynamic_cast<RecordingLink*>(&garden->GetLink()); }
};

TEST_F(GardenWiringTest, TheGameIsTheServicesWhileItLives) {
  garden = new cGarden();
  iGardenServices* services = GardenServices();
  EXPECT_EQ(services, static_cast<iGardenServices*>(&garden->GetLink()));
  EXPECT_EQ(RulesHost(), static_cast<iRulesHost*>(&garden->GetLink()));
  EXPECT_EQ(RulesWorld(), static_cast<iRulesWorld*>(&garden->GetLink()));
  // The rules' host is the game's own counters.
  RulesHost()->SetPlayerCounter(4);
  EXPECT_EQ(garden->GetPlayerCounter(), 4u);
  EndGarden();
  EXPECT_EQ(CurrentPlayer(), nullptr);
  EXPECT_NE(RulesHost()->GetPlayerCounter(), 4);
  EXPECT_EQ(GardenServices()->GetMoney(), 0);
}

TEST_F(GardenWiringTest, EndOfLoadingRunsItsStagesInOrderWithTheProfileCurrent) {
  WriteProfile("plr000", "Ann");
  StartGarden();
  RunToMainMenu();
  EXPECT_EQ(vektest::LuaStrings(L, "calls"),
            (std::vector<std::string>{"tables", "widgets", "settings:Ann", "windows", "window:main", "layouts",
                                      "autoexec"}));
  // One list: the windows' host, the game object and the rules see the same current profile.
  cPlayer* ann = garden->GetWindowHost().Players().GetCurrent();
  ASSERT_NE(ann, nullptr);
  EXPECT_EQ(garden->GetCurrentPlayer(), ann);
  EXPECT_EQ(CurrentPlayer(), ann);
  EXPECT_EQ(garden->GetPlayerCount(), 1u);
  ASSERT_NE(Link(), nullptr);
  EXPECT_EQ(GardenServices(), static_cast<iGardenServices*>(Link()));

  // The end: the game saved, then the settings, then the folders above the application.
  ann->money = 321;
  Run("calls = {}");
  EndGarden();
  EXPECT_EQ(vektest::LuaStrings(L, "calls"), (std::vector<std::string>{"write:Ann", "shutdown"}));
  cPlayer back("plr000");
  ASSERT_TRUE(back.Load());
  ASSERT_TRUE(back.LoadGame(-1));
  EXPECT_EQ(back.money, 321);
}

TEST_F(GardenWiringTest, AProfileChosenInTheWindowsIsTheRulesProfile) {
  WriteProfile("plr000", "Ann");
  WriteProfile("plr001", "Bob");
  StartGarden();
  RunToMainMenu();
  cPlayerList& players = garden->GetWindowHost().Players();
  ASSERT_EQ(players.GetCount(), 2u);
  cPlayer* ann = players.FindPlayer("Ann");
  ASSERT_EQ(CurrentPlayer(), ann);
  ann->money = 55;

  // As the profile window changes it: Ann's game is kept, Bob's read.
  ASSERT_TRUE(players.ChangePlayer("Bob"));
  EXPECT_EQ(CurrentPlayer(), players.FindPlayer("Bob"));
  EXPECT_EQ(garden->GetName(), "Bob");
  cPlayer back("plr000");
  ASSERT_TRUE(back.LoadGame(-1));
  EXPECT_EQ(back.money, 55);

  // Through the game object: the exact current name changes nothing, another name turns the
  // island's view back; a deleted current profile leaves the rules without one.
  garden->ChangePlayer("Bob");
  EXPECT_EQ(Link()->viewResets, 0);
  garden->ChangePlayer("ann");
  EXPECT_EQ(Link()->viewResets, 1);
  EXPECT_EQ(CurrentPlayer(), ann);
  garden->DeletePlayer("Ann");
  garden->DeletePlayer("ANN");
  EXPECT_EQ(garden->GetPlayerCount(), 2u) << "the current profile is not deleted";
  players.DeletePlayer("Ann");
  EXPECT_EQ(CurrentPlayer(), nullptr);
  EXPECT_FALSE(fs::exists(App("profile/plr000")));
}

TEST_F(GardenWiringTest, ALevelGivenUpForARestartIsBookedAsALevelsEnd) {
  WriteProfile("plr000", "Ann");
  StartGarden();
  RunToMainMenu();
  cPlayer* ann = CurrentPlayer();
  ASSERT_NE(ann, nullptr);
  // Level 12 (a level whose end brings a new holes layout in), its mission as set up, played
  // for 300 s of its 260.
  ann->selectedLevel = 11;
  ann->levelTimes = {80.0f, 90.0f};
  garden->Rules().SetupLevelMissions(-1);
  ASSERT_EQ(ann->currentLevel, 11);
  ann->elapsedTime = 300.0f;
  garden->GetWindowHost().EndLevel();
  ASSERT_EQ(ann->levelTimes.size(), 12u);
  EXPECT_FLOAT_EQ(ann->levelTimes[11], 300.0f);
  EXPECT_EQ(garden->Rules().GetLastTimeGrade(), 1);
  EXPECT_TRUE(garden->Rules().Animations().IsHolesAnimationRunning());
}

TEST_F(GardenWiringTest, AFreshInstallHasAStandInThatTakesNoProfileNumber) {
  StartGarden();
  RunToMainMenu();
  ASSERT_NE(CurrentPlayer(), nullptr);
  EXPECT_TRUE(garden->IsStandInPlayer(CurrentPlayer()));
  EXPECT_EQ(garden->GetPlayerCounter(), 0u);
  EXPECT_EQ(GardenServices()->GetProfilePath(-1), "");
  // The first profile the window makes replaces it everywhere.
  cPlayer* made = garden->GetWindowHost().Players().CreatePlayer("Cid");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetFolder(), "plr000");
  garden->GetWindowHost().Players().AddPlayer(made);
  garden->GetWindowHost().Players().ChangePlayer("Cid");
  EXPECT_EQ(CurrentPlayer(), made);
  EXPECT_FALSE(garden->IsStandInPlayer(garden->GetCurrentPlayer()));
}

TEST_F(GardenWiringTest, AFixedStepReachesTheMissionTheTipsAndTheShips) {
  WriteProfile("plr000", "Ann");
  StartGarden();
  RunToMainMenu();
  cPlayer* ann = CurrentPlayer();
  ASSERT_NE(ann, nullptr);
  ann->mission.tasks = {cMissionTask{-1, 5, 2}, cMissionTask{-1, 6, 1}};
  iGardenServices* s = GardenServices();

  // Paused: nothing moves.
  garden->m_Paused = 1;
  s->UpdateMission();
  EXPECT_TRUE(ann->activeTasks.empty());
  EXPECT_EQ(Link()->pumpSteps, 0);

  garden->m_Paused = 0;
  s->UpdateMission();
  s->UpdateMission();
  EXPECT_EQ(ann->activeTasks.size(), 2u) << "one pending task a step";
  EXPECT_EQ(Link()->pumpSteps, 2);
  EXPECT_GT(s->GetMissionTime(), 0.0f);

  // A ship with people crosses in about 200 steps and leaves the list.
  Link()->SendShip(3);
  EXPECT_TRUE(Link()->IsShipUnderway());
  ASSERT_EQ(s->GetShipCount(), 1u);
  for (int i = 0; i < 230; ++i) s->UpdateShips();
  EXPECT_EQ(s->GetShipCount(), 0u);
  EXPECT_FALSE(Link()->IsShipUnderway());
}

TEST_F(GardenWiringTest, AScriptStartsALevelOnlyWithAProfileAndAField) {
  StartGarden();
  RunToMainMenu();
  // A fresh install: the stand-in plays no level.
  EXPECT_EQ(Eval("theGame:StartLevel(2)"), "false");
  WriteProfile("plr000", "Ann");
  garden->GetWindowHost().Players().LoadPlayers();
  garden->ChangePlayer("Ann");
  EXPECT_EQ(Eval("theGame:StartLevel(2)"), "false") << "no play field yet";
  EXPECT_NE(LogText().find("StartLevel 2: there is no play field"), std::string::npos);

  new vek::cWidget("garden");  // the engine's list owns it
  struct {
    const char* call;
    int level;
  } const kCases[] = {{"theGame:StartLevel(3)", 3}, {"theGame:StartLevel(99)", 44}, {"theGame:StartLevel(0)", 0}};
  for (const auto& c : kCases) {
    EXPECT_EQ(Eval(c.call), "true") << c.call;
    EXPECT_EQ(CurrentPlayer()->currentLevel, c.level) << c.call;
  }
  EXPECT_FALSE(CurrentPlayer()->mission.tasks.empty());
  // The windows' command goes the same way.
  garden->GetWindowHost().StartLevel(5);
  EXPECT_EQ(CurrentPlayer()->currentLevel, 5);
}

TEST_F(GardenWiringTest, TheOptionsWindowsSettingsAreTheOnesWritten) {
  WriteProfile("plr000", "Ann");
  WriteData("conf/system.lua", R"(
    function LoadHardwareSettings() return 0 end
    function LoadSettings() theGame.m_Settings.fMouseSpeed = 0.75 return 0 end
    function WriteSettings(path) speed = theGame.m_Settings.fMouseSpeed return 0 end
  )");
  WriteData("gui/main.lua", "");
  WriteData("conf/autoexec.lua", "");
  Run("calls = {}");
  StartGarden();
  RunToMainMenu();
  cWindowHost& host = garden->GetWindowHost();
  EXPECT_FLOAT_EQ(host.mouseSpeed, 0.75f);
  // The hint switch of the options window is the one the rules, the profile and scripts keep:
  // theGame.m_iTraining.
  host.SetHintsEnabled(0);
  EXPECT_EQ(RulesHost()->GetTraining(), 0);
  EXPECT_FALSE(GardenServices()->IsTraining());
  EXPECT_EQ(Eval("theGame.m_iTraining"), "0");
  ASSERT_TRUE(Run("theGame.m_iTraining = 1"));
  EXPECT_EQ(host.GetHintsEnabled(), 1);
  EXPECT_TRUE(GardenServices()->IsTraining());
  RulesHost()->SetTraining(0);  // as the profile sets it when it is read
  EXPECT_EQ(Eval("theGame.m_iTraining"), "0");
  EXPECT_EQ(host.GetHintsEnabled(), 0);
  host.mouseSpeed = 1.25f;
  EndGarden();
  EXPECT_EQ(Eval("speed"), "1.25");
}

TEST_F(GardenWiringTest, TheLinkAnswersFromTheProfileAndTheTexts) {
  WriteProfile("plr000", "Ann");
  StartGarden();
  RunToMainMenu();
  cPlayer* ann = CurrentPlayer();
  iGardenServices* s = GardenServices();
  struct {
    int level;
    int water;
  } const kWater[] = {{0, 0}, {1, 1}, {3, 1}, {4, 2}, {11, 2}, {12, 3}, {18, 3}, {19, 4}, {44, 4}};
  for (const auto& row : kWater) {
    ann->currentLevel = row.level;
    EXPECT_EQ(s->GetWaterFlag(), row.water) << row.level;
  }
  ann->money = 40;
  s->SpendMoney(15);
  EXPECT_EQ(s->GetMoney(), 25);
  EXPECT_EQ(garden->GetMoney(), 25);
  EXPECT_EQ(s->GetText("ConfirmExitGame"), garden->GetMessageText(2));
  EXPECT_EQ(s->GetText("NoSuchText"), "NoSuchText");
  EXPECT_EQ(s->GetProfilePath(-1), "{AppPath}/profile/plr000/");
}

TEST_F(GardenWiringTest, TheFieldsTradeRunsOnTheProfile) {
  WriteProfile("plr000", "Ann");
  StartGarden();
  RunToMainMenu();
  cPlayer* ann = CurrentPlayer();
  ASSERT_NE(ann, nullptr);
  iGardenServices* s = GardenServices();
  ann->activeTasks = {cMissionTask{-1, 3, 2}, cMissionTask{1, kNoWare, 1}};
  EXPECT_EQ(s->GetActiveTasks(), &ann->activeTasks);
  EXPECT_EQ(s->FindTaskForWare(3), &ann->activeTasks[0]);

  // The bin goes into the car: the no-ware id is counted but never loaded.
  EXPECT_FALSE(s->PrepareCarLoad()) << "an empty car does not open";
  s->AddToCarLoad(3);
  s->AddToCarLoad(kNoWare);
  EXPECT_EQ(ann->carLoad, std::vector<vek::i32>{3});
  EXPECT_EQ(s->GetCarLoadCount(), 1u);
  EXPECT_EQ(ann->activeTasks[0].count, 1);
  EXPECT_TRUE(s->PrepareCarLoad());
  s->SellCarLoad();
  EXPECT_EQ(s->GetCarLoadCount(), 0u);

  // A bought animal uses up its task's kind.
  s->DecKindTask(1);
  EXPECT_TRUE(ann->activeTasks[1].IsEmpty());
  s->CountAnimalBought(2);
  s->CountProduced(12);
  s->CountProduced(-1);
  EXPECT_EQ(ann->animalsBought, (std::vector<vek::i32>{0, 0, 1}));
  ASSERT_EQ(ann->produced.size(), 13u);
  EXPECT_EQ(ann->produced[12], 1);

  // Earnings: never below 0, never past the largest amount.
  struct {
    vek::i32 money, add, after;
  } const kMoney[] = {{10, 25, 35}, {10, -50, 0}, {std::numeric_limits<vek::i32>::max() - 1, 10, std::numeric_limits<vek::i32>::max()}};
  for (const auto& row : kMoney) {
    ann->money = row.money;
    s->AddMoney(row.add);
    EXPECT_EQ(ann->money, row.after) << row.money << " + " << row.add;
  }

  // Upgrades, training and hint flags are the profile's.
  ann->upgradeLevels[0] = 2;
  EXPECT_EQ(s->GetUpgradeLevel(0), 2);
  EXPECT_EQ(s->GetUpgradeLevel(6), 0);
  EXPECT_EQ(s->GetUpgradeLevel(-1), 0);
  EXPECT_FALSE(s->IsTrainingDone(9));
  ann->trainingFlags[9] = 1;
  EXPECT_TRUE(s->IsTrainingDone(9));
  EXPECT_TRUE(s->IsTrainingDone(10)) << "no such step: nothing to teach";
  EXPECT_FALSE(s->IsHintShown(11));
  s->MarkHint11Shown();
  EXPECT_TRUE(s->IsHintShown(11));
  ann->lastSort = 3;
  EXPECT_EQ(s->GetHighestPlant(), 3);

  // The shop's prices by kind; the sound table's samples by id.
  const vek::i32 kPrices[] = {100, 200, 300, 400, -1};
  for (int kind = 0; kind < 5; ++kind) EXPECT_EQ(s->GetAnimalPrice(kind), kPrices[kind]) << kind;
  for (int sound : {-1, 31, 1000}) EXPECT_EQ(s->GetSoundBuffer(sound), 0u) << sound;
}

}  // namespace
