// The window-function base: the fade and the close on the timer, the close notification,
// inert windows and Escape, commands sent by name, looking controls up, the typing click.
#include <gtest/gtest.h>

#include "engine/script/script.h"
#include "engine/gui/button_sys_ctrl.h"
#include "engine/gui/cursor.h"
#include "engine/gui/label_ctrl.h"
#include "game/windows/base_wf.h"
#include "game/windows/menu_wf.h"
#include "tests/game/windows/title_fixture.h"

namespace titletest {
namespace {

// Records the commands it receives.
class CommandProbe : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override {
    if (message == vek::e_ntfButtonClick) commands.push_back(p2);
    if (message == kRefreshMessage) refreshes.push_back({p1, p2});
    return HandleMessage(window, message, p1, p2);
  }
  std::vector<vek::u32> commands;
  std::vector<std::pair<vek::u32, vek::u32>> refreshes;
};

class BaseWindow : public TitleFixture {
 protected:
  vek::cWindow* Make(const std::string& name, vek::cWindowFunction* f) {
    auto* w = new vek::cWindow(gui, f);
    w->SetName(name);
    w->SetActive(true);
    return w;
  }
};

TEST_F(BaseWindow, FadeOutClosesAtZeroAndTellsTheApplication) {
  auto* probe = new CommandProbe();
  vek::cWindow* w = Make("probe", probe);
  gui->ShowWindow("probe");
  Settle();
  EXPECT_FLOAT_EQ(probe->GetFade().current, 1.0f);
  EXPECT_TRUE(probe->IsReady());
  gui->HideWindow("probe");
  EXPECT_FALSE(probe->IsReady()) << "fading out";
  // A full fade is half a second: 15 timers of 33 ms leave it just above 0.
  Step(14);
  EXPECT_TRUE(gui->IsShown(w->GetID()));
  EXPECT_GT(probe->GetFade().current, 0.0f);
  EXPECT_TRUE(host->closed.empty());
  Step(2);
  EXPECT_FALSE(gui->IsShown(w->GetID()));
  EXPECT_EQ(host->closed, std::vector<std::string>{"probe"});
}

TEST_F(BaseWindow, ShowingDuringTheFadeOutFadesBackIn) {
  auto* probe = new CommandProbe();
  vek::cWindow* w = Make("probe", probe);
  gui->ShowWindow("probe");
  Settle();
  gui->HideWindow("probe");
  Step(6);
  const float part = probe->GetFade().current;
  ASSERT_GT(part, 0.0f);
  ASSERT_LT(part, 1.0f);
  gui->ShowWindow("probe");
  EXPECT_FLOAT_EQ(probe->GetFade().start, part);
  Step(30);
  EXPECT_TRUE(gui->IsShown(w->GetID()));
  EXPECT_FLOAT_EQ(probe->GetFade().current, 1.0f);
}

TEST_F(BaseWindow, AControlOfTheWrongClassCountsAsMissing) {
  // A main menu whose greeting is a button: reported, inert, and Escape still hides it.
  auto* menu = new cMainGDWF();
  vek::cWindow* w = Make("main2", menu);
  auto* button = new vek::cButtonSysCtrl("lbProfile", w);
  button->SetText("Welcome, %s!");
  gui->SendMessage(w->GetID(), vek::e_wndAfterCreate, 0, 0);
  EXPECT_TRUE(menu->IsFailed());
  EXPECT_NE(LogText().find("[main2] lbProfile or btProfile not found"), std::string::npos);
  gui->ShowWindow("main2");
  Step(15);
  EXPECT_EQ(button->GetText(), "Welcome, %s!") << "an inert menu greets no one";
  gui->OnKeyDown(kKeyEscape);
  Step(20);
  EXPECT_FALSE(gui->IsShown(w->GetID()));
}

TEST_F(BaseWindow, EscapeIsNothingForAReadyWindow) {
  auto* probe = new CommandProbe();
  vek::cWindow* w = Make("probe", probe);
  gui->ShowWindow("probe");
  Step(15);
  gui->OnKeyDown(kKeyEscape);
  Step(20);
  EXPECT_TRUE(gui->IsShown(w->GetID()));
}

TEST_F(BaseWindow, NotifyControlSendsTheCommandAtOnce) {
  auto* probe = new CommandProbe();
  vek::cWindow* w = Make("probe", probe);
  auto* ok = new vek::cButtonSysCtrl("ok", w);
  EXPECT_TRUE(cBaseWF::NotifyControl(w, "ok"));
  EXPECT_TRUE(cBaseWF::NotifyControl(w, "nothing"));
  EXPECT_FALSE(cBaseWF::NotifyControl(nullptr, "ok"));
  EXPECT_EQ(probe->commands, (std::vector<vek::u32>{ok->GetID(), 0u}));
}

TEST_F(BaseWindow, FindControlWarnsAndGivesNull) {
  EXPECT_NE(FindControl("main", "btStart"), nullptr);
  EXPECT_EQ(FindControl("main", "btNowhere"), nullptr);
  EXPECT_NE(LogText().find("control &#39;btNowhere&#39; not found in wondow &#39;main&#39;"), std::string::npos);
  EXPECT_EQ(FindControl("nowhere", "btStart"), nullptr);
  EXPECT_NE(LogText().find("&#39;nowhere&#39;"), std::string::npos);
}

TEST_F(BaseWindow, EveryTextChangeClicks) {
  auto* probe = new CommandProbe();
  vek::cWindow* w = Make("probe", probe);
  gui->ShowWindow("probe");
  Step(15);
  const auto count = [&] {
    const std::string log = LogText();
    size_t n = 0;
    for (size_t at = log.find("&#39;typing&#39;"); at != std::string::npos; at = log.find("&#39;typing&#39;", at + 1)) ++n;
    return n;
  };
  const size_t before = count();
  for (int i = 0; i < 3; ++i) gui->SendMessage(w->GetID(), vek::e_ntfEditChange, 0, 1);
  // The data set has no sound loaded here: each click is one "not found" entry.
  EXPECT_EQ(count() - before, 3u);
}

TEST_F(BaseWindow, RefreshGoesStraightToTheFunction) {
  auto* probe = new CommandProbe();
  Make("probe", probe);
  host->SendWindowMessage("probe", 1, 0);  // not shown: it gets it all the same, at once
  host->SendWindowMessage("nowhere", 2, 0);
  EXPECT_EQ(probe->refreshes, (std::vector<std::pair<vek::u32, vek::u32>>{{1u, 0u}}));
}

TEST_F(BaseWindow, TheCursorIsAlwaysThePointer) {
  host->SetCursor("hand");
  const vek::cCursor* cursor = gui->GetCursor();
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->GetSize().x, 32.0f);
  EXPECT_EQ(cursor->GetSize().y, 64.0f);
  EXPECT_EQ(cursor->GetAlign(), 9);
}

TEST_F(BaseWindow, SubstituteTextFillsOnePlaceholder) {
  EXPECT_EQ(SubstituteText("Hello %s!", "Ann"), "Hello Ann!");
  EXPECT_EQ(SubstituteText("%s and %s %i %n", "Ann"), "Ann and %s %i %n");
  EXPECT_EQ(SubstituteText("No place", "Ann"), "No place");
}

}  // namespace
}  // namespace titletest
