// The upgrades window: which upgrades it offers for a bank, the stars and description of the
// chosen card, buying with "done" and the close after it, an empty offer, and an upgrade the
// bank can no longer pay for.
#include <gtest/gtest.h>

#include "game/windows/controls/check_box_ctrl.h"
#include "game/app/sprite.h"
#include "game/windows/upgrades_wf.h"
#include "tests/game/windows/play_fixture.h"

namespace playtest {
namespace {

class Upgrades : public PlayFixture {
 protected:
  void SetUp() override {
    PlayFixture::SetUp();
    SetRulesWorld(&world);
    player.upgradeLevels.assign(6, 0);
    Focus("garden");
  }
  void TearDown() override {
    SetRulesWorld(nullptr);
    PlayFixture::TearDown();
  }
  cUpWF* Wf() const { return Function<cUpWF>("up"); }
  cCheckBoxUpCtrl* Card(int i) const { return Control<cCheckBoxUpCtrl>("up", "ch" + std::to_string(i)); }
  int Stars(int i) const {
    int n = 0;
    for (const auto& s : Card(i)->GetStars()) n += s.filled ? 1 : 0;
    return n;
  }
  // The description box keeps its text with a blank added for wrapping.
  std::string Desc() const {
    std::string text = Text("up", "desc");
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  }
  void Open() {
    host->SwitchWindow("up", 1);
    Step();
  }
  iRulesWorld world;
};

TEST_F(Upgrades, OffersTheCheapestTheBankCanPay) {
  struct Case {
    vek::i32 bank;
    bool shown[3];
  };
  for (const Case& c : {Case{250, {true, true, true}}, Case{120, {true, false, false}}}) {
    player.bank = c.bank;
    Open();
    EXPECT_EQ(Wf()->GetOffer(), (std::vector<int>{2, 4, 0})) << c.bank;
    EXPECT_EQ(play.GetPauseState(), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Visible("up", "ch" + std::to_string(i)), c.shown[i]) << c.bank << " " << i;
      EXPECT_EQ(Visible("up", "price" + std::to_string(i)), c.shown[i]);
    }
    EXPECT_EQ(Text("up", "price0"), "$100");
    EXPECT_EQ(Text("up", "price1"), "$150");
    EXPECT_EQ(Text("up", "price2"), "$200");
    EXPECT_TRUE(Control<vek::cCtrl>("up", "done")->GetState(vek::cCtrl::e_Disabled));
    gui->HideWindow("up");
    Settle();
  }
  // Card 0 shows the basket upgrade's pictures.
  const vek::rectf uv = FindSprite("gui_ups00", "volume_bin").Frame();
  EXPECT_EQ(Card(0)->GetBox().GetUVRect().x, uv.x);
  EXPECT_EQ(Card(0)->GetBox().GetUVRect().y, uv.y);
  EXPECT_EQ(Card(0)->GetCheckedBox().GetUVRect().y, FindSprite("gui_ups00", "volume_bin_checked").Frame().y);
}

TEST_F(Upgrades, EqualPricesKeepUpgradeOrder) {
  player.upgradeLevels = {3, 3, 2, 1, 1, 3};  // 3 and 4 both cost 400 next
  player.bank = 1000;
  Open();
  EXPECT_EQ(Wf()->GetOffer(), (std::vector<int>{3, 4}));
  EXPECT_FALSE(Visible("up", "ch2"));
  EXPECT_EQ(GetUpgradeText(7), "");
  vek::string sheet = "x", area = "x";
  GetUpgradeSprite(-1, sheet, area);
  EXPECT_TRUE(sheet.empty() && area.empty());
  GetUpgradeSprite(5, sheet, area);
  EXPECT_EQ(sheet, "gui_ups00");
  EXPECT_EQ(area, "time_bin");
}

TEST_F(Upgrades, ChoosingShowsTheNextLevelAndTheDescription) {
  player.upgradeLevels = {3, 3, 2, 0, 1, 3};
  player.bank = 1000;
  Open();  // upgrade 3 at level 0 ($250), upgrade 4 at level 1 ($400)
  Settle();
  ASSERT_EQ(Wf()->GetOffer(), (std::vector<int>{3, 4}));
  EXPECT_EQ(Stars(1), 1);
  Click("up", "ch0");
  EXPECT_TRUE(Card(0)->IsChecked());
  EXPECT_EQ(Stars(0), 1);
  EXPECT_EQ(Stars(1), 1);
  EXPECT_EQ(Desc(), "UpTimeWater");
  EXPECT_FALSE(Control<vek::cCtrl>("up", "done")->GetState(vek::cCtrl::e_Disabled));
  Click("up", "ch1");
  EXPECT_FALSE(Card(0)->IsChecked());
  EXPECT_EQ(Stars(0), 0);
  EXPECT_EQ(Stars(1), 2);
  Click("up", "ch0");
  // Over card 1 and away again: card 1's text, then the chosen one's.
  vek::cWindow* w = Window("up");
  Wf()->Call(w, vek::e_ntfMouseEnter, 0, Card(1)->GetID());
  EXPECT_EQ(Desc(), "UpTimeWeed");
  Wf()->Call(w, vek::e_ntfMouseLeave, 0, Card(1)->GetID());
  EXPECT_EQ(Desc(), "UpTimeWater");
}

TEST_F(Upgrades, DoneBuysOnceAndClosesAfterADelay) {
  player.bank = 250;
  Open();
  Settle();
  Click("up", "ch1");
  play.sounds.clear();
  Click("up", "done");
  EXPECT_EQ(player.bank, 100);
  EXPECT_EQ(player.upgradeLevels[4], 1);
  EXPECT_EQ(play.sounds, std::vector<vek::i32>{25});
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Card(i)->GetState(vek::cCtrl::e_Disabled));
  Step(20);
  EXPECT_TRUE(Shown("up"));
  EXPECT_EQ(Text("up", "bank"), "100");
  Settle();
  EXPECT_FALSE(Shown("up"));
  EXPECT_EQ(play.GetPauseState(), 0);
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
}

TEST_F(Upgrades, UpgradeTheBankNoLongerCoversIsNotBought) {
  player.bank = 250;
  Open();
  Settle();
  Click("up", "ch2");  // upgrade 0, $200
  player.bank = 150;  // spent meanwhile
  Click("up", "done");
  EXPECT_EQ(player.bank, 150);
  EXPECT_EQ(player.upgradeLevels[0], 0);
  EXPECT_NE(LogText().find("not bought"), std::string::npos);
  Settle();
  Settle();
  EXPECT_FALSE(Shown("up"));
}

TEST_F(Upgrades, NothingLeftToSellClosesAtOnce) {
  player.upgradeLevels = {3, 3, 2, 3, 3, 3};
  player.bank = 5000;
  Open();
  Step();
  EXPECT_FALSE(Shown("up"));
  EXPECT_EQ(play.GetPauseState(), 0);
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
}

}  // namespace
}  // namespace playtest
