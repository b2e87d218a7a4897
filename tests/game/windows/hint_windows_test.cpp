// The hint window's placement, dimming and input filter, the game's reactions to it, and the
// island map's tooltip.
#include <gtest/gtest.h>

#include "engine/gui/check_box_sys_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/windows/controls/check_box_ctrl.h"
#include "game/windows/hint_gd_wf.h"
#include "game/windows/hint_mp_wf.h"
#include "tests/game/windows/island_fixture.h"

namespace islandtest {
namespace {

using vek::rectf;
using vek::vec2;

class Hint : public IslandFixture {
 protected:
  void SetUp() override {
    IslandFixture::SetUp();
    hint = Function<cHintGDWF>("hint");
    ASSERT_NE(hint, nullptr);
    ASSERT_FALSE(hint->IsNotReady());
  }
  vek::cCtrl* C(const char* name) const { return Control<vek::cCtrl>("hint", name); }
  bool Visible(const char* name) const { return C(name)->GetState(vek::cCtrl::e_Visibility); }
  rectf R(const char* name) const { return C(name)->GetRect(); }

  cHintGDWF* hint = nullptr;
};

TEST_F(Hint, CentredMessageWithAndWithoutTheCloseButton) {
  hint->PlaceCentered("Plant the seeds.", true);
  EXPECT_TRUE(Visible("close"));
  EXPECT_FALSE(Visible("highlight"));
  EXPECT_FALSE(Visible("arrow"));
  const rectf blocking = R("frame");
  EXPECT_FLOAT_EQ(blocking.x, (1024.0f - blocking.w) / 2.0f);
  EXPECT_FLOAT_EQ(blocking.y, (768.0f - blocking.h) / 2.0f);
  // The button stands on the frame where the layout put it.
  EXPECT_FLOAT_EQ(R("close").x - blocking.x, 110.0f);
  EXPECT_FLOAT_EQ(R("close").y - blocking.y, 28.0f);

  hint->PlaceCentered("Plant the seeds.", false);
  EXPECT_FALSE(Visible("close"));
  const rectf plain = R("frame");
  // Without its button row the frame is shorter by the row, and the text takes its place.
  EXPECT_FLOAT_EQ(blocking.h - plain.h, 90.0f - 28.0f);
  EXPECT_FLOAT_EQ(plain.y, (768.0f - plain.h) / 2.0f);
  EXPECT_FLOAT_EQ(R("text").y - plain.y, 28.0f);
}

TEST_F(Hint, PlacementAroundAPoint) {
  const rectf target{300, 200, 80, 60};
  const struct {
    vec2 point;
    vek::u32 align;
    bool left, below;
  } rows[] = {
      {{200, 150}, 0, false, false},  // lower left quarter: the frame goes up and right
      {{800, 600}, 0, true, true},    // upper right: down and left, the arrow mirrored
      {{512, 384}, 0, false, false},  // the centre counts as the lower left
      {{513, 385}, 0, true, true},
      {{500, 150}, cHintWF::kAlignLeft, true, false},
      {{200, 400}, cHintWF::kAlignBottom, false, true},
      {{800, 600}, cHintWF::kAlignLeft | cHintWF::kAlignBottom, true, true},
      // A board that would leave the screen goes to the side where it fits.
      {{10, 100}, cHintWF::kAlignLeft, false, false},
      {{200, 20}, cHintWF::kAlignBottom, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.point.x << "," << row.point.y << " align " << row.align);
    hint->Place("Click here.", &target, &row.point, row.align, true);
    EXPECT_EQ(Visible("arrow"), row.align != 0);
    EXPECT_FALSE(Visible("close"));
    EXPECT_TRUE(Visible("highlight"));
    EXPECT_EQ(R("highlight").x, 300.0f);
    EXPECT_EQ(R("highlight").h, 60.0f);
    const rectf f = R("frame"), a = R("arrow");
    EXPECT_EQ(a.x, row.point.x);
    EXPECT_EQ(a.y, row.point.y);
    EXPECT_FLOAT_EQ(a.w, row.left ? -56.0f : 56.0f);
    EXPECT_FLOAT_EQ(a.h, row.below ? -56.0f : 56.0f);
    EXPECT_FLOAT_EQ(f.x, row.left ? row.point.x - 56.0f - f.w : row.point.x + 56.0f);
    EXPECT_FLOAT_EQ(f.y, row.below ? row.point.y - 56.0f - f.h : row.point.y + 56.0f);
    EXPECT_EQ(hint->GetFramePos().x, f.x);
    // The text moves with the frame into the button row.
    EXPECT_FLOAT_EQ(R("text").x - f.x, 26.0f);
    EXPECT_FLOAT_EQ(R("text").y - f.y, 28.0f);
  }
}

TEST_F(Hint, ABoardPointingOffTheScreenStaysOnIt) {
  // A ship still out at sea, beyond the upper right corner.
  for (const vec2 point : {vec2{1550, 749}, vec2{-300, -40}, vec2{1200, 900}}) {
    SCOPED_TRACE(testing::Message() << point.x << "," << point.y);
    hint->Place("A ship.", &kNoHintTarget, &point, 4u | cHintWF::kAlignBottom, true);  // Right | Bottom
    const rectf f = R("frame");
    EXPECT_GE(f.x, 0.0f);
    EXPECT_GE(f.y, 0.0f);
    EXPECT_LE(f.x + f.w, 1024.0f);
    EXPECT_LE(f.y + f.h, 768.0f);
    EXPECT_TRUE(Visible("close"));
    EXPECT_GE(R("close").x, f.x);
    EXPECT_EQ(R("arrow").x, point.x);  // the arrow still points the ship's way
  }
}

TEST_F(Hint, DimmingStripsTileTheScreenAroundTheLitRectangle) {
  const rectf lit{300, 200, 80, 60};
  const auto strips = HintDimStrips(lit, 1024, 768);
  const rectf expected[4] = {{0, 0, 300, 768}, {300, 0, 80, 200}, {300, 260, 80, 508}, {380, 0, 644, 768}};
  float area = 0;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(strips[i].x, expected[i].x) << i;
    EXPECT_EQ(strips[i].y, expected[i].y) << i;
    EXPECT_EQ(strips[i].w, expected[i].w) << i;
    EXPECT_EQ(strips[i].h, expected[i].h) << i;
    area += strips[i].w * strips[i].h;
  }
  EXPECT_EQ(area + lit.w * lit.h, 1024.0f * 768.0f);
  EXPECT_TRUE(IsRectEmptyHint(kNoHintTarget));
  EXPECT_FALSE(IsRectEmptyHint(rectf{0, 0, 0, 1}));
}

TEST_F(Hint, InputFilter) {
  const rectf target{300, 200, 80, 60};
  const vec2 point{200, 150};
  const vek::u32 inside = vek::PackPosition(320, 230), outside = vek::PackPosition(700, 600);
  const struct {
    bool lit, blocking;
    vek::u32 at;
    int taken;
  } rows[] = {
      {true, true, inside, 0},  {true, true, outside, 1},  {true, false, inside, 0},
      {true, false, outside, 1}, {false, true, outside, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "lit " << row.lit << " blocking " << row.blocking);
    if (row.lit)
      hint->Place("Click here.", &target, &point, 0, row.blocking);
    else
      hint->PlaceCentered("Read this.", row.blocking);
    EXPECT_EQ(Send("hint", vek::e_wndMouseMove, 0, row.at), row.taken);
    EXPECT_EQ(Send("hint", vek::e_wndLButtonDown, 0, row.at), row.taken);
  }
  // A non-blocking message leaves the pointer to the game (no control under it).
  hint->PlaceCentered("Read this.", false);
  EXPECT_EQ(Send("hint", vek::e_wndMouseMove, 0, outside), 0);
  // Its arrow and text only show the way: what the arrow points at is still clicked through
  // them.
  hint->Place("Click the place.", &kNoHintTarget, &point, cHintWF::kAlignLeft, false);
  ASSERT_TRUE(Visible("arrow"));
  for (const char* shown : {"arrow", "text"}) {
    SCOPED_TRACE(shown);
    const rectf r = R(shown);
    const vek::u32 on = vek::PackPosition(static_cast<int>(r.x + r.w / 2), static_cast<int>(r.y + r.h / 2));
    EXPECT_EQ(Send("hint", vek::e_wndMouseMove, 0, on), 0);
    EXPECT_EQ(Send("hint", vek::e_wndLButtonDown, 0, on), 0);
  }
}

TEST_F(Hint, EnterAndSpaceOnABlockingHint) {
  gui->ShowWindow("hint");
  Settle();
  // A lit target hides the button: the keys are swallowed and do nothing.
  const rectf target{300, 200, 80, 60};
  const vec2 point{200, 150};
  hint->Place("Click here.", &target, &point, 0, true);
  EXPECT_EQ(Send("hint", vek::e_wndKeyDown, kKeyEnter), 1);
  EXPECT_EQ(Send("hint", vek::e_wndKeyDown, 57), 1);
  EXPECT_TRUE(services.calls.empty() || services.calls.back() == "PlaySound 30");
  // With the button shown, Space presses it: the training ends and the hint goes.
  hint->PlaceCentered("Read this.", true);
  services.calls.clear();
  EXPECT_EQ(Send("hint", vek::e_wndKeyDown, 57), 1);
  EXPECT_EQ(services.calls, (std::vector<std::string>{"NextHintStep 0 12", "NextHintStep 5 2", "EndTraining -1",
                                                      "ClearTrainingStep"}));
  Settle();
  EXPECT_FALSE(Shown("hint"));
  EXPECT_EQ(host->closed, std::vector<std::string>{"hint"});
  // Not blocking: the keys go on.
  hint->PlaceCentered("Read this.", false);
  EXPECT_EQ(Send("hint", vek::e_wndKeyDown, kKeyEnter), 0);
}

TEST_F(Hint, ShowPlaysTheSoundAndHidingForgetsTheTrainingStep) {
  gui->ShowWindow("hint");
  EXPECT_EQ(services.calls, std::vector<std::string>{"PlaySound 30"});
  gui->HideWindow("hint");
  EXPECT_EQ(services.calls.back(), "ClearTrainingStep");
  Settle();
  EXPECT_FALSE(Shown("hint"));
}

TEST_F(Hint, TheShowBoxTurnsHintsOffEitherWay) {
  auto* box = new cCheckBoxCtrl("show", Window("hint"));
  for (vek::u32 state : {0u, 1u}) {
    host->SetHintsEnabled(1);
    RulesHost()->SetTraining(1);
    host->calls.clear();
    Send("hint", vek::e_ntfCheckToggle, state, box->GetID());
    EXPECT_EQ(host->GetHintsEnabled(), 0);
    EXPECT_EQ(RulesHost()->GetTraining(), 0);
    EXPECT_EQ(host->calls, std::vector<std::string>{"CloseHint"});
  }
}

TEST_F(Hint, MissingControlLeavesTheHintInert) {
  cHintGDWF* bare = new cHintGDWF();
  vek::cWindow* w = new vek::cWindow(gui, bare);
  w->SetName("bare_hint");
  new vek::cLabelCtrl("text", w);
  bare->Call(w, vek::e_wndAfterCreate, 0, 0);
  EXPECT_TRUE(bare->IsNotReady());
  EXPECT_EQ(bare->PlaceCentered("x", true), 0);
  EXPECT_EQ(bare->Call(w, vek::e_wndPaint, 0, 0), 0);
  EXPECT_EQ(LogText().find("bare_hint"), std::string::npos);
}

// ---- the island map's tooltip ----

class HintMP : public IslandFixture {
 protected:
  void SetUp() override {
    IslandFixture::SetUp();
    AddTestIsland({{100, 300}, {400, 500}, {700, 200}}, &view);
    player.levelTimes = {65.7f, 600.0f};
    player.timeGrades = {1};
    SetCurrentPlayer(&player);
  }
  void TearDown() override {
    SetCurrentPlayer(nullptr);
    IslandFixture::TearDown();
  }
  std::string Text(const char* name) const { return Control<vek::cLabelCtrl>("hint_mp", name)->GetText(); }

  cPlayer player;
  vec2 view;
};

TEST_F(HintMP, TimeFormats) {
  const struct {
    float seconds;
    const char* text;
  } rows[] = {{65.7f, "1 : 05"}, {600.0f, "10 : 00"}, {9.0f, "0 : 09"}, {59.99f, "0 : 59"}, {70.0f, "1 : 10"}};
  for (const auto& row : rows) EXPECT_EQ(cHintMPWF::FormatLevelTime(row.seconds), row.text) << row.seconds;
}

TEST_F(HintMP, FillsAndPlacesItselfAboveALevelPlayed) {
  Send("hint_mp", kRefreshMessage, 0);
  EXPECT_EQ(Text("day"), "1");
  EXPECT_EQ(Text("time"), "1 : 05");
  EXPECT_EQ(Text("medal"), "Silver");
  const vek::cWindow* w = Window("hint_mp");
  EXPECT_FLOAT_EQ(w->GetX(), 100.0f - view.x - 236.0f * 0.5f);
  EXPECT_FLOAT_EQ(w->GetY(), 300.0f - view.y - 140.0f - 38.0f);
  // A stored time without a stored grade is gold.
  Send("hint_mp", kRefreshMessage, 1);
  EXPECT_EQ(Text("day"), "2");
  EXPECT_EQ(Text("time"), "10 : 00");
  EXPECT_EQ(Text("medal"), "Gold");
  EXPECT_FLOAT_EQ(w->GetX(), 400.0f - view.x - 118.0f);
  // A level without a stored time, or beyond the places, changes nothing.
  for (vek::u32 level : {2u, 7u}) {
    Send("hint_mp", kRefreshMessage, level);
    EXPECT_EQ(Text("day"), "2");
    EXPECT_FLOAT_EQ(w->GetX(), 282.0f - view.x);
  }
}

TEST_F(HintMP, MissingControlIsReportedOnce) {
  auto* bare = new cHintMPWF();
  vek::cWindow* w = new vek::cWindow(gui, bare);
  w->SetName("bare_tip");
  new vek::cLabelCtrl("day", w);
  bare->Call(w, vek::e_wndAfterCreate, 0, 0);
  EXPECT_TRUE(bare->IsFailed());
  bare->Call(w, kRefreshMessage, 0, 0);
  const std::string log = LogText();
  const size_t first = log.find("[bare_tip] wndAfterCreate");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(log.find("[bare_tip] wndAfterCreate", first + 1), std::string::npos);
}

}  // namespace
}  // namespace islandtest
