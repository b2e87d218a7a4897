// A profile played through a level, quit and started again continues where it was.
#include "game/app/game_rules.h"
#include "game/app/hints.h"
#include "game/app/player_list.h"
#include "tests/game/app/rules_fixture.h"

namespace vektest {
namespace {

struct PlayWorld : iRulesWorld {
  bool HasGardener() override { return true; }
  int GetHolesLayoutCount() override { return 5; }
  bool FindTarget(const vek::string&, vek::f32* rect) override {
    rect[0] = rect[1] = rect[2] = rect[3] = 10.0f;
    return true;
  }
  void BindTaskControls(std::vector<cMissionTask>& tasks) override {
    std::erase_if(tasks, [](const cMissionTask& t) { return t.IsEmpty(); });
  }
};

using ProfileContinueTest = RulesFixture;

TEST_F(ProfileContinueTest, APlayedProfileContinuesAfterARestart) {
  PlayWorld world;
  SetRulesWorld(&world);
  host.training = 1;
  {
    cPlayerList list;
    cPlayer* p = list.CreatePlayer("Dora");
    ASSERT_NE(p, nullptr);
    list.AddPlayer(p);
    list.ChangePlayer("Dora");
    SetCurrentPlayer(p);
    ASSERT_TRUE(p->WriteProfile());
    cGameRules rules;
    cHints hints;
    ASSERT_TRUE(rules.StartLevel(0));
    EXPECT_EQ(p->money, 50);
    // The player sells six plants and the task is done.
    for (int i = 0; i < 90; ++i) {  // past the first lesson's moment
      rules.UpdateMission();
      hints.CheckHints();
    }
    ASSERT_EQ(p->activeTasks.size(), 1u);
    EXPECT_EQ(hints.GetHint(), 0);
    hints.CloseHint();
    p->activeTasks[0].count = 0;
    p->activeTasks[0].ware = kNoWare;
    rules.SetMoney(180);
    for (int i = 0; i < 5 && !p->mission.done; ++i) rules.UpdateMission();
    ASSERT_EQ(p->mission.done, 1);
    p->timeGrades.push_back(rules.GetLastTimeGrade());
    p->bank += p->money;
    ASSERT_TRUE(rules.AdvanceIsland());
    const int price = rules.GetUpgradePrice(2);
    rules.BuyUpgrade(2);
    rules.SpendBank(price);
    ASSERT_TRUE(p->SaveGame(-1));
    SetCurrentPlayer(nullptr);
  }
  // The program starts again.
  cPlayerList list;
  ASSERT_EQ(list.LoadPlayers(), 1u);
  cPlayer* p = list.GetPlayer(0);
  EXPECT_EQ(p->GetName(), "Dora");
  ASSERT_TRUE(p->LoadMain());
  EXPECT_EQ(p->levelProgress, 1);
  EXPECT_EQ(p->bank, 180 - 100);
  EXPECT_EQ(p->upgradeLevels[2], 1);
  EXPECT_EQ(p->timeGrades, std::vector<int>{0});
  EXPECT_EQ(p->hintFlags[0], 1);
  ASSERT_EQ(p->levelTimes.size(), 1u);
  EXPECT_GT(p->levelTimes[0], 0.0f);
  // The next level's snapshot is there to start from.
  EXPECT_TRUE(DiskFileLayer().Exists(ProfileDir() + "1/save.dat"));
}

TEST_F(ProfileContinueTest, AHostileMainSaveLeavesANewGame) {
  cPlayer p("plr000");
  p.money = 500;
  p.bank = 70;
  ASSERT_TRUE(p.SaveGame(-1));
  for (const std::string& bytes : {std::string("\x00\x00\x80\x3f\xff\xff\xff\xff", 8), std::string(3, 'x'),
                                   std::string(100000, '\xff')}) {
    ASSERT_TRUE(WriteFileText(ProfileDir() + "save.dat", bytes));
    cPlayer q("plr000");
    ASSERT_TRUE(q.Load());
    EXPECT_TRUE(q.LoadMain());
    EXPECT_EQ(q.money, 0);
    EXPECT_EQ(q.bank, 0);
  }
  EXPECT_NE(LogText().find("Damaged save"), std::string::npos);
}

}  // namespace
}  // namespace vektest
