// The game's controls: buttons, tab buttons, links, the logo button's shortcut file, check
// boxes with stars, the slider, the clock and the animation, and their script classes.
#include <gtest/gtest.h>

#include <fstream>

#include "engine/core/color.h"
#include "engine/core/path_tokens.h"
#include "engine/gui/cursor.h"
#include "game/windows/controls/button_ctrl.h"
#include "game/windows/controls/check_box_ctrl.h"
#include "game/windows/controls/display_ctrl.h"
#include "platform/os.h"
#include "platform/shell.h"
#include "tests/game/windows/title_fixture.h"
#include "tests/support/script_engine_fixture.h"

namespace titletest {
namespace {

class GameControls : public TitleFixture {
 protected:
  void SetUp() override {
    TitleFixture::SetUp();
    w = new vek::cWindow(gui, new vek::cWindowFunction());
    w->SetName("controls");
    w->SetActive(true);
    gui->ShowWindow("controls");
  }
  void Event(vek::cCtrl& c, vek::u32 code, vek::u32 p1 = 0) { w->SendControlEvent(&c, code, p1, 0); }
  vek::cWindow* w = nullptr;
};

TEST_F(GameControls, ButtonClicksOnlyWhenReleasedWhereItWasPressed) {
  auto* b = new cButtonCtrl("b", w);
  Event(*b, vek::cCtrl::e_evMouseEnter);
  Event(*b, vek::cCtrl::e_evLButtonDown);
  EXPECT_EQ(b->GetButtonState(), cButtonCtrl::e_Pressed);
  Event(*b, vek::cCtrl::e_evMouseLeave);
  Event(*b, vek::cCtrl::e_evLButtonUp);
  EXPECT_EQ(b->GetButtonState(), cButtonCtrl::e_Normal);
  EXPECT_EQ(gui->GetQueuedCount(), 0u);
  Event(*b, vek::cCtrl::e_evMouseEnter);
  Event(*b, vek::cCtrl::e_evLButtonDown);
  Event(*b, vek::cCtrl::e_evLButtonUp);
  EXPECT_EQ(b->GetButtonState(), cButtonCtrl::e_Hover);
  EXPECT_EQ(gui->GetQueuedCount(), 1u) << "one posted command";
}

TEST_F(GameControls, ButtonStatePicturesLieOneCellUnderAnother) {
  auto* b = new cButtonCtrl("b", w);
  b->SetUVPos(0.0f, 0.75f, 0);
  for (int i = 1; i < 4; ++i) EXPECT_FLOAT_EQ(b->GetFrame(i).GetUVRect().y, 0.75f) << "no cell size yet";
  b->SetUVSize(1.0f, 0.25f, vek::cCtrl::e_btnNormal);
  b->SetUVSize(0.1f, 0.1f, vek::cCtrl::e_frmBorder);  // a border size leaves the cell alone
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(b->GetFrame(i).GetUVRect().y, 0.75f - 0.25f * i) << i;
  b->SetTexture("title_button", 1);
  const vek::u32 texture = b->GetFrame(0).GetTexture();
  b->SetTexture("title_button", 12345);
  EXPECT_EQ(b->GetFrame(3).GetTexture(), texture);
}

TEST_F(GameControls, TabButtonSelectsOnce) {
  auto* t = new cTabButtonCtrl("t", w);
  Event(*t, vek::cCtrl::e_evLButtonDown);
  Event(*t, vek::cCtrl::e_evLButtonDown);
  EXPECT_TRUE(t->IsSelected());
  EXPECT_EQ(gui->GetQueuedCount(), 1u);
  Event(*t, vek::cCtrl::e_evMouseLeave);
  EXPECT_TRUE(t->IsSelected()) << "only a caller clears it";
}

TEST_F(GameControls, LinkColourMovesOnTimersOnly) {
  auto* l = new cLinkCtrl("l", w);
  l->SetColor(0.0f, 0.0f, 1.0f, cLinkCtrl::e_lnkNormal | cLinkCtrl::e_lnkHighlight);
  l->SetColor(1.0f, 0.0f, 0.0f, cLinkCtrl::e_lnkHighlight);
  Event(*l, vek::e_wndTimer, 33);
  EXPECT_EQ(l->GetColor(), vek::ColorFromFloats(0, 0, 1, 1));
  Event(*l, vek::cCtrl::e_evMouseEnter);
  EXPECT_EQ(l->GetColor(), vek::ColorFromFloats(0, 0, 1, 1)) << "no timer yet";
  for (int i = 0; i < 30; ++i) Event(*l, vek::e_wndTimer, 33);
  EXPECT_EQ(l->GetColor(), vek::ColorFromFloats(1, 0, 0, 1));
  Event(*l, vek::cCtrl::e_evLButtonUp);
  EXPECT_EQ(gui->GetQueuedCount(), 1u) << "any release over a link is a command";
}

TEST_F(GameControls, ShortcutFileOpensOnlyWebAddresses) {
  std::vector<std::string> opened;
  plat::SetLauncher([&](const std::string& program, const std::string& address) {
    opened.push_back(program + " " + address);
    return true;
  });
  // Beside the program, where the logo button looks for it.
  const std::string folder = vek::GetPathToken(vek::e_ExePath);
  plat::MakeFolders(folder);
  const std::string path = "{ExePath}/website.url";
  struct Case {
    const char* content;
    const char* opens;  // null: refused
  };
  const Case cases[] = {
      {"[InternetShortcut]\r\nURL=https://kelvra.example/orchardia\r\n", "xdg-open https://kelvra.example/orchardia"},
      {"[InternetShortcut]\nURL=http://kelvra.example/\n", "xdg-open http://kelvra.example/"},
      {"[InternetShortcut]\nURL=file:///etc/passwd\n", nullptr},
      {"[InternetShortcut]\nURL=javascript:alert(1)\n", nullptr},
      {"[InternetShortcut]\nURL=https://a.example/$(reboot) x\n", nullptr},
      {"[InternetShortcut]\nURL=https://a.example/;rm\"-rf\n", nullptr},
      {"[InternetShortcut]\nURL=https://\n", nullptr},
      {"no address at all", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    std::ofstream(folder + "/website.url") << c.content;
    opened.clear();
    EXPECT_EQ(OpenShortcutFile(path), c.opens != nullptr);
    EXPECT_EQ(opened, c.opens ? std::vector<std::string>{c.opens} : std::vector<std::string>{});
  }
  EXPECT_FALSE(OpenShortcutFile("{ExePath}/missing.url"));
  EXPECT_NE(LogText().find("refused to open"), std::string::npos);
  plat::SetLauncher({});
}

TEST_F(GameControls, LogoButtonWithoutPicturesHidesItself) {
  auto* logo = new cButtonLogoCtrl("logo", w);
  EXPECT_FALSE(logo->GetState(vek::cCtrl::e_Visibility));
  EXPECT_TRUE(logo->GetState(vek::cCtrl::e_Disabled));
}

TEST_F(GameControls, StarsUnderTheUpgradeBox) {
  auto* up = new cCheckBoxUpCtrl("up", w);
  up->SetPos(0, 100, 0);
  up->SetSize(100, 100, 0);
  auto stars = up->GetStars();
  ASSERT_EQ(stars.size(), 2u);
  EXPECT_FALSE(stars[0].filled || stars[1].filled);
  up->SetMaxLevel(5);
  up->SetLevel(3);
  stars = up->GetStars();
  ASSERT_EQ(stars.size(), 5u);
  // Each star overlaps the one before by half its width, the row centred below the box.
  const float xs[] = {22.5f, 33.5f, 44.5f, 55.5f, 66.5f};
  for (int i = 0; i < 5; ++i) {
    EXPECT_FLOAT_EQ(stars[i].rect.x, xs[i]);
    EXPECT_FLOAT_EQ(stars[i].rect.y, 78.0f);
    EXPECT_FLOAT_EQ(stars[i].rect.w, 22.0f);
    EXPECT_EQ(stars[i].filled, i < 3);
  }
  up->SetLevel(9);
  for (const auto& s : up->GetStars()) EXPECT_TRUE(s.filled);
  up->SetMaxLevel(0);
  EXPECT_TRUE(up->GetStars().empty());
}

TEST_F(GameControls, HoverPicturesAreTheCellsBelow) {
  auto* box = new cCheckBoxCtrl("box", w);
  box->SetUVPos(0.0f, 0.5f, vek::cCtrl::e_cbNormal);
  box->SetUVSize(0.5f, 0.5f, vek::cCtrl::e_cbNormal | vek::cCtrl::e_cbPush);
  box->SetUVPos(0.5f, 0.5f, vek::cCtrl::e_cbPush);
  EXPECT_FLOAT_EQ(box->GetHoverBox().GetUVRect().y, 0.0f);
  EXPECT_FLOAT_EQ(box->GetHoverChecked().GetUVRect().x, 0.5f);
  EXPECT_FLOAT_EQ(box->GetHoverChecked().GetUVRect().y, 0.0f);
  Event(*box, vek::cCtrl::e_evMouseEnter);
  EXPECT_TRUE(box->IsHovered());
  auto* slider = new cSliderCtrlEx("slider", w);
  slider->SetUVPos(0.0f, 0.75f, 0);
  slider->SetUVSize(0.75f, 0.25f, 0);
  EXPECT_FLOAT_EQ(slider->GetHoverTrack().GetUVRect().y, 0.5f);
}

TEST_F(GameControls, ClockColourRadiusAndSector) {
  auto* clock = new cClockCtrl("clock", w);
  clock->SetPos(0, 0, 0);
  clock->SetSize(100, 60, 0);
  EXPECT_FLOAT_EQ(clock->GetRadius(), 22.0f);
  struct Case {
    float value;
    vek::u32 color;
  };
  const Case cases[] = {{0.0f, vek::ColorFromFloats(0, 1, 0, 1)},
                        {0.25f, vek::ColorFromFloats(0.5f, 1, 0, 1)},
                        {0.5f, vek::ColorFromFloats(1, 1, 0, 1)},
                        {1.0f, vek::ColorFromFloats(1, 0, 0, 1)}};
  for (const Case& c : cases) {
    clock->value = c.value;
    EXPECT_EQ(clock->GetFillColor(), c.color) << c.value;
    float start = 0, end = 0;
    clock->GetFillAngles(&start, &end);
    EXPECT_NEAR(end - start, 6.2831853f * c.value, 1e-5f);
  }
}

TEST_F(GameControls, AnimationWalksTheCellsRowByRow) {
  auto* a = new cAnimationCtrl("a", w);
  a->SetTileset(4, 2, 10.0f);
  EXPECT_EQ(a->GetUVRect().w, 1.0f) << "the whole texture until the first step";
  Event(*a, vek::e_wndTimer, 200);
  EXPECT_EQ(a->GetCounter().GetFrame(), 2);
  EXPECT_FLOAT_EQ(a->GetUVRect().x, 0.5f);
  EXPECT_FLOAT_EQ(a->GetUVRect().y, 0.5f);
  EXPECT_FLOAT_EQ(a->GetUVRect().w, 0.25f);
  EXPECT_FLOAT_EQ(a->GetUVRect().h, 0.5f);
  Event(*a, vek::e_wndTimer, 300);
  EXPECT_FLOAT_EQ(a->GetUVRect().x, 0.25f);
  EXPECT_FLOAT_EQ(a->GetUVRect().y, 0.0f);
  a->SetTileset(2, 2, -1.0f);
  EXPECT_FLOAT_EQ(a->GetCounter().m_FrameTime, 1.0f / 30.0f);
  a->SetTileset(0, 0, 10.0f);  // no cells: one cell, nothing divides by zero
  Event(*a, vek::e_wndTimer, 500);
  EXPECT_EQ(a->GetCounter().GetFrame(), 0);
}

TEST_F(GameControls, ScriptsMakeEveryGameControl) {
  lua_State* L = vek::GetScript()->GetState();
  ASSERT_TRUE(vek::GetScript()->DoString(R"(
    local w = theGUI:GetWindow('controls')
    made = {}
    for _, name in ipairs({'cButtonCtrl', 'cTabButtonCtrl', 'cButtonLogoCtrl', 'cLinkCtrl', 'cCheckBoxCtrl',
                           'cCheckBoxUpCtrl', 'cSliderCtrlEx', 'cClockCtrl', 'cImageCtrlEx', 'cAnimationCtrl'}) do
      local c = _G[name]('s_' .. name, w)
      made[#made + 1] = name .. '=' .. tostring(w:FindControl('s_' .. name) ~= 0)
    end
    local b = w:GetControl(w:FindControl('s_cButtonCtrl'))
    b:SetText('Play') b:SetFontPrt('menu_header') b:SetColor(1, 1, 1) b:SetTexture('title_button', 0)
    w:GetControl(w:FindControl('s_cLinkCtrl')):SetColor(1, 0, 0, cLinkCtrl.e_lnkNormal)
    w:GetControl(w:FindControl('s_cImageCtrlEx')):SetColor(1, 0, 0, 0.5)
    w:GetControl(w:FindControl('s_cAnimationCtrl')):SetTileset(4, 2, 10)
    w:GetControl(w:FindControl('s_cCheckBoxCtrl')):SetCheck(true)
    link = cLinkCtrl.e_lnkNormal .. ' ' .. cLinkCtrl.e_lnkHighlight
  )", "=test"));
  for (const std::string& m : vektest::LuaStrings(L, "made")) EXPECT_EQ(m.substr(m.find('=')), "=true") << m;
  EXPECT_EQ(vektest::EvalLua(L, "link"), "268435456 536870912");
  auto* button = dynamic_cast<cButtonCtrl*>(w->GetControl(w->FindControl("s_cButtonCtrl")));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->GetText(), "Play");
  EXPECT_NE(dynamic_cast<cTabButtonCtrl*>(w->GetControl(w->FindControl("s_cTabButtonCtrl"))), nullptr);
  auto* image = dynamic_cast<cImageCtrlEx*>(w->GetControl(w->FindControl("s_cImageCtrlEx")));
  EXPECT_EQ(image->GetColor(), vek::ColorFromFloats(1, 0, 0, 0.5f));
}

}  // namespace
}  // namespace titletest
