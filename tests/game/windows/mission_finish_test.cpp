// The level result: the time bonus, the timed payment of money and bonus into the bank, the
// medal's flight and landing, the awards in their rows and their unlocks, "ok" during the
// sequence and after it, and a level with more awards than rows.
#include <gtest/gtest.h>

#include "game/windows/animated_int.h"
#include "game/app/sprite.h"
#include "game/windows/mission_finish_wf.h"
#include "tests/game/windows/play_fixture.h"

namespace playtest {
namespace {

class AwardWorld : public iRulesWorld {
 public:
  bool HasPlantSort(int offset) override { return offset < 8; }
  int GetHolesLayoutCount() override { return 5; }
};

TEST(TimeBonus, TwoPerSecondToTheNearestFiveAtLeastFive) {
  const std::pair<vek::f32, vek::i32> cases[] = {{7.3f, 15}, {0.2f, 5}, {3.8f, 5}, {10.0f, 20}, {0.0f, 0}, {-4.0f, 0}};
  for (const auto& [left, bonus] : cases) EXPECT_EQ(cMissionFinishWF::TimeBonus(left), bonus) << left;
}

TEST(AnimatedInt, CountsTruncatedAndNeverAtARateOfZero) {
  cAnimatedInt money;
  money.speed = 250.0f / 1.2f;
  money.SetTarget(250);
  EXPECT_EQ(money.Update(0.6f), vek::e_TweenRunning);
  EXPECT_EQ(money.value, 125);
  EXPECT_EQ(money.Update(0.25f), vek::e_TweenRunning);
  EXPECT_EQ(money.value, 177);  // 250 x 0.85 / 1.2 = 177.08
  EXPECT_EQ(money.Update(1.0f), vek::e_TweenArrived);
  EXPECT_EQ(money.value, 250);
  EXPECT_EQ(money.Update(1.0f), vek::e_TweenAtRest);
  // No rate to count at: the counter stands at its target at once, with no division by it.
  for (vek::f32 speed : {0.0f, -3.0f}) {
    cAnimatedInt c;
    c.speed = speed;
    c.SetTarget(40);
    EXPECT_EQ(c.value, 40) << speed;
    EXPECT_EQ(c.duration, 0.0f);
    EXPECT_EQ(c.Update(0.1f), vek::e_TweenAtRest);
  }
  cAnimatedInt c;
  c.SetTarget(10);
  c.SetSpeed(0.0f);
  EXPECT_EQ(c.value, 10);
  EXPECT_FALSE(c.IsRunning());
}

class MissionFinish : public PlayFixture {
 protected:
  void SetUp() override {
    PlayFixture::SetUp();
    SetRulesWorld(&world);
    player.currentLevel = 2;
    player.lastSort = 1;
    player.animalKinds = -1;
    player.upgradeLevels.assign(6, 0);
    player.mission.timeLimit = 100.0f;
    player.elapsedTime = 100.0f;
    gui->ShowWindow("score");
    Focus("garden");
  }
  void TearDown() override {
    SetRulesWorld(nullptr);
    PlayFixture::TearDown();
  }
  cMissionFinishWF* Wf() const { return Function<cMissionFinishWF>("mission_finish"); }
  void Open() {
    gui->ShowWindow("mission_finish");
    Step();
  }
  void Seconds(vek::f32 s) {
    for (int i = 0; i < static_cast<int>(s * 30.0f + 0.5f); ++i) Step();
  }
  int Count(vek::i32 sound) const { return static_cast<int>(std::count(play.sounds.begin(), play.sounds.end(), sound)); }
  AwardWorld world;
};

TEST_F(MissionFinish, PaysMoneyIntoTheBankOverOnePointTwoSeconds) {
  player.money = 250;
  player.bank = 100;
  Open();
  EXPECT_EQ(play.GetPauseState(), 2);
  EXPECT_EQ(Text("mission_finish", "caption"), "Level 3 done!");
  EXPECT_EQ(Count(2), 1);
  Seconds(1.9f);
  EXPECT_EQ(player.bank, 100);  // the opening pause
  std::vector<int> banks;
  for (int i = 0; i < 40; ++i) {
    Step();
    banks.push_back(std::stoi(Text("mission_finish", "lbBank")));
    EXPECT_GE(player.money, 0);
    EXPECT_EQ(player.bank + player.money, 350);
  }
  EXPECT_TRUE(std::is_sorted(banks.begin(), banks.end()));
  EXPECT_EQ(player.bank, 350);
  EXPECT_EQ(player.money, 0);
  EXPECT_GE(Count(25), 4);  // a coin every 0.3 s
  EXPECT_LE(Count(25), 5);
  // The coins fly from the score panel's coin to the bank, with the flying coin's picture.
  ASSERT_EQ(play.flyers.Size(), static_cast<size_t>(Count(25)));
  const cFlyer& coin = play.flyers.GetFlyers().front();
  const cSprite money = FindSprite("peacock01", "money");
  ASSERT_NE(money.texture, 0u);
  EXPECT_EQ(coin.texture, money.texture);
  EXPECT_EQ(coin.frames, money.frames);
  EXPECT_EQ(coin.spline.GetKeyCount(), 4u);
}

TEST_F(MissionFinish, NothingToPayTheMedalFliesAtOnceAndLands) {
  player.money = 0;
  player.elapsedTime = 160.0f;  // bronze
  Open();
  Seconds(2.0f);
  Step();
  EXPECT_EQ(Count(25), 1);  // the medal's flight, no coin
  EXPECT_FALSE(Visible("mission_finish", "imgMedal"));
  Seconds(1.1f);
  EXPECT_TRUE(Visible("mission_finish", "imgMedal"));
  EXPECT_EQ(Count(1), 1);
  auto* medal = Control<vek::cImageCtrl>("mission_finish", "imgMedal");
  EXPECT_EQ(medal->GetUVRect().x, FindSprite("icons01", "bronze").Frame().x);
  EXPECT_EQ(medal->GetUVRect().y, FindSprite("icons01", "bronze").Frame().y);
  EXPECT_EQ(medal->GetTexture(), FindSprite("icons01", "bronze").texture);
  Seconds(1.0f);
  EXPECT_TRUE(Wf()->IsFinished());
  EXPECT_EQ(Wf()->GetAwardSlot(), 0);
  EXPECT_FALSE(Visible("mission_finish", "lbAwards"));  // no heading over empty rows
  Click("mission_finish", "ok");
  Settle();
  EXPECT_FALSE(Shown("mission_finish"));
  EXPECT_EQ(play.GetPauseState(), 0);
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
}

TEST_F(MissionFinish, TheLevelsGradeIsKeptInTheProfile) {
  // Level 3 (index 2) finished in time, with levels 1 and 2 already graded.
  player.timeGrades = {1, 2};
  player.elapsedTime = 60.0f;
  Open();
  EXPECT_EQ(player.timeGrades, (std::vector<vek::i32>{1, 2, 0}));
  int filled = -1;
  play.Rules().GetRate(nullptr, &filled);
  EXPECT_EQ(filled, 1);
}

TEST_F(MissionFinish, BonusFillsTheClockAndPaysTheTimeLeft) {
  player.money = 0;
  player.bank = 10;
  player.elapsedTime = 92.7f;  // 7.3 s left: 15
  Open();
  Seconds(2.0f);
  Seconds(1.3f);
  EXPECT_EQ(player.bank, 25);
  EXPECT_FLOAT_EQ(player.elapsedTime, 100.0f);
  EXPECT_GE(Count(25), 4);
}

TEST_F(MissionFinish, OkMidPaymentCompletesEverythingWithoutFlights) {
  play.Rules().SetLevelFlag(cMissionFinishWF::e_AwardSort);
  player.money = 250;
  player.bank = 100;
  player.elapsedTime = 92.7f;
  Open();
  Seconds(2.3f);  // paying
  ASSERT_GT(player.money, 0);
  Click("mission_finish", "ok");
  play.sounds.clear();
  Step();
  EXPECT_EQ(player.bank, 100 + 250 + 15);
  EXPECT_EQ(player.money, 0);
  EXPECT_TRUE(Visible("mission_finish", "imgMedal"));
  EXPECT_EQ(play.sounds, std::vector<vek::i32>{1});  // the landing only: no coin, star or award sound
  const size_t flown = play.flyers.Size();
  EXPECT_TRUE(Visible("mission_finish", "lbAward0"));
  EXPECT_TRUE(Visible("mission_finish", "lbAwards"));
  EXPECT_EQ(Text("mission_finish", "lbAward0"), "Sort plant02");
  EXPECT_FALSE(Visible("mission_finish", "lbAward1"));
  EXPECT_EQ(player.lastSort, 2);
  EXPECT_TRUE(Wf()->IsFinished());
  Step(10);
  EXPECT_EQ(play.flyers.Size(), flown);  // nothing more flies once completed
  Click("mission_finish", "ok");
  Settle();
  EXPECT_FALSE(Shown("mission_finish"));
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
}

TEST_F(MissionFinish, AwardsInOrderAndAFourthWithoutARowIsStillGiven) {
  auto& rules = play.Rules();
  for (int flag = 1; flag <= 4; ++flag) rules.SetLevelFlag(flag);
  player.money = 0;
  player.bank = 500;  // an upgrade is affordable
  Open();
  Seconds(2.0f + 1.2f + 0.9f);  // pause, medal, landing pause
  EXPECT_EQ(Text("mission_finish", "lbAward0"), "Sort plant02");
  EXPECT_EQ(player.lastSort, 1);  // the star is on its way
  EXPECT_EQ(play.flyers.GetFlyers().back().trail.size(), 5u);
  EXPECT_EQ(play.flyers.GetFlyers().back().frames, FindSprite("peacock01", "star").frames);
  Seconds(2.1f);
  EXPECT_EQ(player.lastSort, 2);
  Seconds(0.6f);
  EXPECT_EQ(Text("mission_finish", "lbAward1"), "Ostrich");
  Seconds(2.7f);
  EXPECT_EQ(player.animalKinds, 0);
  EXPECT_EQ(Text("mission_finish", "lbAward2"), "AwardUp");
  Seconds(1.0f);
  // The fourth award has no row: the garden still grows, and the log says why.
  EXPECT_EQ(player.holesLayout, 1);
  EXPECT_EQ(Wf()->GetAwardSlot(), 3);
  EXPECT_NE(LogText().find("no award row left"), std::string::npos);
  EXPECT_EQ(Count(26), 4);
  Seconds(0.2f);
  EXPECT_TRUE(Wf()->IsFinished());
}

TEST_F(MissionFinish, AnAffordableUpgradeAwardLeadsToTheUpgrades) {
  play.Rules().SetLevelFlag(cMissionFinishWF::e_AwardUpgrade);
  player.money = 0;
  player.bank = 150;
  Open();
  Click("mission_finish", "ok");
  Step();
  EXPECT_EQ(Text("mission_finish", "lbAward0"), "AwardUp");
  Step();
  Click("mission_finish", "ok");
  Settle();
  EXPECT_FALSE(Shown("mission_finish"));
  EXPECT_TRUE(Shown("up"));
  EXPECT_EQ(play.GetPauseState(), 3);
}

TEST_F(MissionFinish, UpgradeAwardDroppedWhenNothingIsAffordable) {
  play.Rules().SetLevelFlag(cMissionFinishWF::e_AwardUpgrade);
  player.money = 0;
  player.bank = 50;  // the cheapest upgrade costs 100
  Open();
  Click("mission_finish", "ok");
  Step();
  Step();
  EXPECT_FALSE(play.Rules().GetLevelFlag(cMissionFinishWF::e_AwardUpgrade));
  EXPECT_FALSE(Visible("mission_finish", "lbAward0"));
  EXPECT_FALSE(Visible("mission_finish", "lbAwards"));
  Step();
  EXPECT_TRUE(Wf()->IsFinished());
  Click("mission_finish", "ok");
  Settle();
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
}

}  // namespace
}  // namespace playtest
