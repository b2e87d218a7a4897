// The default window function and the plain controls.
#include <gtest/gtest.h>

#include "engine/app/game.h"
#include "engine/core/align.h"
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "tests/engine/gui/gui_fixture.h"

namespace {

using vektest::RecordingCtrl;
using vektest::RecordingFunction;
using vektest::WndMsg;
using Events = std::vector<std::pair<unsigned, vek::u32>>;

class WindowTest : public vektest::GuiWindowFixture {
 protected:
  RecordingCtrl* AddCtrl(const char* name, vek::rectf r) {
    auto* c = new RecordingCtrl(name, wnd, &events);
    c->SetPos(r.x, r.y, 0);
    c->SetSize(r.w, r.h, 0);
    return c;
  }
  void Press(int x, int y, bool released) { gui->OnMouseButton(released, 0, x, 768 - y); }
  Events Codes(vek::u32 code) const {
    Events out;
    for (const auto& e : events)
      if (e.second == code) out.push_back(e);
    return out;
  }

  Events events;
};

TEST_F(WindowTest, ControlsJoinTheirWindowByIdAndName) {
  EXPECT_EQ(wnd->GetControlCount(), 1u);
  EXPECT_EQ(wnd->GetControl(0)->GetName(), "unnamed");
  auto* a = AddCtrl("a", {0, 0, 10, 10});
  auto* b = AddCtrl("a", {0, 0, 10, 10});
  EXPECT_EQ(a->GetID(), 1u);
  EXPECT_EQ(b->GetID(), 2u);
  EXPECT_EQ(wnd->FindControl("a"), 1u);  // the first of that name
  EXPECT_EQ(wnd->FindControl("none"), 0u);
  EXPECT_EQ(wnd->GetControl(9), nullptr);
  EXPECT_EQ(wnd->AddControl(nullptr), 0u);
  EXPECT_EQ(wnd->AddControl(a), 1u);  // already listed
  auto* other = new vek::cWindow(gui, nullptr);
  EXPECT_EQ(other->AddControl(a), 0u);  // belongs to another window
  // A control made without a window has id 0, the engine's GUI and sends no notifications.
  auto* loose = new vek::cImageCtrl("loose", nullptr);
  EXPECT_EQ(loose->GetID(), 0u);
  EXPECT_EQ(loose->GetGUI(), gui);
  EXPECT_FALSE(loose->OnEvent(32, 0, 0));
  EXPECT_EQ(other->AddControl(loose), 1u);  // taken over
  EXPECT_EQ(loose->GetWindow(), other);
  // Moving the window moves its controls.
  wnd->SetPos(5.0f, -2.0f);
  EXPECT_FLOAT_EQ(b->GetRect().x, 5.0f);
  EXPECT_FLOAT_EQ(b->GetRect().y, -2.0f);
  delete b;  // its slot stays empty
  EXPECT_EQ(wnd->GetControl(2), nullptr);
  gui->ShowWindow("w");
  gui->Update(vek::kFixedStep);
  gui->Update(vek::kFixedStep);
}

TEST_F(WindowTest, HoverEnterLeaveAndTheLaterControlWins) {
  AddCtrl("under", {0, 0, 100, 100});
  AddCtrl("over", {50, 50, 100, 100});
  gui->ShowWindow("w");
  log.clear();
  events.clear();
  MoveTo(75, 75);  // both contain it: the later one
  EXPECT_EQ(wnd->GetHoveredControl()->GetID(), 2u);
  EXPECT_EQ(Messages(32), (std::vector<WndMsg>{{1, 32, 0, 2}}));
  MoveTo(20, 20);
  EXPECT_EQ(Messages(33), (std::vector<WndMsg>{{1, 33, 0, 2}}));
  EXPECT_EQ(Messages(32).back(), (WndMsg{1, 32, 0, 1}));
  MoveTo(500, 500);
  EXPECT_EQ(wnd->GetHoveredControl(), nullptr);
  EXPECT_FLOAT_EQ(wnd->GetHoverTimer(), -1.0f);
}

TEST_F(WindowTest, HoverMessageComesOnceAfterHalfASecond) {
  AddCtrl("a", {0, 0, 100, 100});
  AddCtrl("b", {200, 0, 100, 100});
  gui->ShowWindow("w");
  MoveTo(10, 10);
  log.clear();
  int step = 0, at = -1;
  for (; step < 40; ++step) {
    gui->Update(vek::kFixedStep);
    if (at < 0 && !Messages(19).empty()) at = step;
  }
  ASSERT_EQ(Messages(19), (std::vector<WndMsg>{{1, 19, 0, 1}}));
  // Timer messages arrive one step after they are queued, 33 ms each: 16 of them pass 0.5 s.
  EXPECT_EQ(at, 16);
  MoveTo(210, 10);  // onto another control: starts again
  log.clear();
  for (int i = 0; i < 40; ++i) gui->Update(vek::kFixedStep);
  EXPECT_EQ(Messages(19), (std::vector<WndMsg>{{1, 19, 0, 2}}));
}

TEST_F(WindowTest, PressAndReleaseOnDifferentControls) {
  AddCtrl("a", {0, 0, 100, 100});
  AddCtrl("b", {200, 0, 100, 100});
  gui->ShowWindow("w");
  MoveTo(10, 10);
  events.clear();
  Press(10, 10, false);
  EXPECT_EQ(wnd->GetActiveControl()->GetID(), 1u);
  EXPECT_EQ(Codes(34), (Events{{1, 34}}));
  MoveTo(210, 10);
  EXPECT_EQ(Codes(5), (Events{{2, 5}, {1, 5}}));  // the hovered one, then the active one
  Press(210, 10, true);
  EXPECT_EQ(Codes(7), (Events{{2, 7}, {1, 7}}));
}

TEST_F(WindowTest, DisabledControlGetsNoButtonDownAndHiddenOnesNoEvents) {
  RecordingCtrl* c = AddCtrl("a", {0, 0, 100, 100});
  c->EnableState(vek::cCtrl::e_Disabled);
  gui->ShowWindow("w");
  MoveTo(10, 10);
  Press(10, 10, false);
  EXPECT_TRUE(Codes(6).empty());
  EXPECT_EQ(wnd->GetActiveControl(), nullptr);
  EXPECT_EQ(Codes(32).size(), 1u);
  MoveTo(500, 10);
  EXPECT_EQ(Codes(33).size(), 1u);
  c->DisableState(vek::cCtrl::e_Disabled);
  c->EnableState(vek::cCtrl::e_Ignorable);
  events.clear();
  MoveTo(10, 10);
  gui->Update(vek::kFixedStep);
  gui->Update(vek::kFixedStep);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(wnd->GetHoveredControl(), nullptr);
}

TEST_F(WindowTest, ActivatingUnderARestingPointerEntersAtOnce) {
  AddCtrl("a", {0, 0, 100, 100});
  window->cursorX = 50;
  window->cursorY = 768 - 50;
  gui->ShowWindow("w");
  EXPECT_EQ(Messages(32), (std::vector<WndMsg>{{1, 32, 0, 1}}));
  // Deactivation clears the focus and the hover.
  Press(50, 50, false);
  ASSERT_NE(wnd->GetActiveControl(), nullptr);
  events.clear();
  gui->SendMessage(1, vek::e_wndDeactivate, 0, 0);
  EXPECT_EQ(events, (Events{{1, 35}, {1, 33}}));
  EXPECT_EQ(wnd->GetActiveControl(), nullptr);
  EXPECT_EQ(wnd->GetHoveredControl(), nullptr);
}

TEST_F(WindowTest, CharactersGoToTheActiveControl) {
  auto* edit = new vektest::TestEdit("name", wnd);
  edit->rect = {0, 0, 100, 20};
  gui->ShowWindow("w");
  EXPECT_FALSE(gui->OnChar('x'));  // nothing active yet
  MoveTo(10, 10);
  Press(10, 10, false);
  ASSERT_EQ(wnd->GetActiveControl(), edit);
  EXPECT_TRUE(gui->OnChar('x'));
  EXPECT_EQ(edit->GetText(), "x");
}

TEST_F(WindowTest, ControlBaseStatesAndEventResults) {
  vek::cCtrl c("c", wnd);
  EXPECT_TRUE(c.GetState(vek::cCtrl::e_Visibility));
  EXPECT_TRUE(c.GetState(vek::cCtrl::e_All));
  c.EnableState(vek::cCtrl::e_Disabled);
  c.DisableState(vek::cCtrl::e_All);
  EXPECT_FALSE(c.GetState(vek::cCtrl::e_All));
  EXPECT_TRUE(c.OnEvent(4, 'a', 0));   // characters pass
  EXPECT_FALSE(c.OnEvent(5, 0, 0));    // everything else is consumed
  EXPECT_STREQ(c.GetClassName(), "cCtrl");
  EXPECT_EQ(c.GetRect().w, 0.0f);
  EXPECT_FALSE(c.HitTest(0.0f, 0.0f));
}

TEST_F(WindowTest, ImageFrameAndLabelGeometry) {
  vek::cImageCtrl image("i", wnd);
  image.SetPos(10, 20, 0);
  image.SetSize(30, 40, 0);
  image.SetUVPos(0.5f, 0.25f, 0);
  image.SetUVSize(0.5f, 0.5f, 0);
  image.SetColor(1.0f, 0.5f, 0.0f);
  EXPECT_EQ(image.GetColor(), 0xFFFF7F00u);
  EXPECT_TRUE(image.HitTest(10, 20));  // edges count as inside
  EXPECT_TRUE(image.HitTest(40, 60));
  EXPECT_FALSE(image.HitTest(40.5f, 60));
  EXPECT_FLOAT_EQ(image.GetUVRect().x, 0.5f);
  image.SetTexture("no_such_texture");
  EXPECT_EQ(image.GetTexture(), 0u);

  vek::cFrameCtrl frame("f", wnd);
  frame.SetSize(100, 50, 0);
  frame.SetSize(8, 6, vek::cCtrl::e_frmBorder);
  frame.SetUVSize(0.1f, 0.2f, vek::cCtrl::e_frmBorder);
  frame.SetUVPos(0.25f, 0.0f, vek::cCtrl::e_frmBorder);  // the position whatever the flags
  const vek::rectf border = frame.GetBorder();
  EXPECT_EQ(border.x, 8.0f);
  EXPECT_EQ(border.y, 6.0f);
  EXPECT_FLOAT_EQ(border.w, 0.1f);
  EXPECT_FLOAT_EQ(border.h, 0.2f);
  EXPECT_EQ(frame.GetRect().w, 100.0f);
  EXPECT_FLOAT_EQ(frame.GetUVRect().x, 0.25f);
  EXPECT_FLOAT_EQ(frame.GetUVRect().w, 1.0f);

  // An empty label measures zero and sits at its aligned position; its hit area is that point.
  vek::cLabelCtrl label("l", wnd);
  label.SetPos(10, 20, 0);
  label.SetSize(100, 50, 0);
  label.SetAlign(vek::cAlign::Center | vek::cAlign::Middle);
  EXPECT_EQ(label.GetAlign(), 18);
  const vek::rectf text = label.GetTextRect();
  EXPECT_EQ(text.x, 60.0f);
  EXPECT_EQ(text.y, 45.0f);
  EXPECT_EQ(text.w, 0.0f);
  EXPECT_TRUE(label.HitTest(60, 45));
  EXPECT_FALSE(label.HitTest(61, 45));
  EXPECT_EQ(label.GetRect().w, 100.0f);
  label.SetFontPrt("no_such_font");
  EXPECT_EQ(label.GetFont(), 0u);
}

class SliderTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Track 100 wide from x = 100; thumb 10 x 10.
    slider = new vektest::TestSlider("s", wnd, {100, 100, 100, 20}, {0, 0, 10, 10});
    gui->ShowWindow("w");
  }
  std::vector<WndMsg> Values() const { return Messages(vek::e_ntfSliderValue); }
  vektest::TestSlider* slider = nullptr;
};

TEST_F(SliderTest, ValueClampsAndPlacesTheThumb) {
  struct Case {
    float min, max, value;
    float expectMin, expectMax, expectValue, thumbX;
  };
  const Case cases[] = {
      {0, 100, 50, 0, 100, 50, 145},  {0, 100, -5, 0, 100, 0, 100},  {0, 100, 500, 0, 100, 100, 190},
      {5, 2, 3, 5, 5, 5, 100},  // max below min: max = min, thumb at fraction 0
      {7, 7, 9, 7, 7, 7, 100},  // min = max: the value is max, the thumb at the track's start
  };
  for (const Case& c : cases) {
    slider->SetMinMax(c.min, c.max);
    slider->SetValue(c.value);
    EXPECT_EQ(slider->GetMin(), c.expectMin);
    EXPECT_EQ(slider->GetMax(), c.expectMax);
    EXPECT_EQ(slider->GetValue(), c.expectValue);
    EXPECT_FLOAT_EQ(slider->m_Thumb.x, c.thumbX) << c.min << " " << c.max << " " << c.value;
    EXPECT_FLOAT_EQ(slider->m_Thumb.y, 105.0f);
  }
  slider->SetVertical(true);
  EXPECT_TRUE(slider->IsVertical());
}

TEST_F(SliderTest, DraggingStartsOnTheSecondMoveAndPostsClampedValues) {
  MoveTo(150, 110);
  Press(150, 110, false);  // not yet active: dragging starts, the thumb stays
  EXPECT_TRUE(slider->IsDragging());
  EXPECT_TRUE(slider->IsFocused());
  EXPECT_EQ(slider->GetValue(), 50.0f);
  gui->Update(vek::kFixedStep);
  EXPECT_TRUE(Values().empty());
  struct Step {
    int x;
    vek::u32 posted;
  };
  const Step steps[] = {{130, 30}, {90, 0}, {5, 0}, {260, 100}, {199, 99}};
  for (const Step& s : steps) {
    log.clear();
    MoveTo(s.x, 110);
    gui->Update(vek::kFixedStep);
    ASSERT_EQ(Values().size(), 1u) << s.x;
    EXPECT_EQ(Values()[0], (WndMsg{1, 51, s.posted, slider->GetID()})) << s.x;
  }
  Press(199, 110, true);
  EXPECT_FALSE(slider->IsDragging());
  log.clear();
  MoveTo(120, 110);
  gui->Update(vek::kFixedStep);
  EXPECT_TRUE(Values().empty());
}

TEST_F(SliderTest, AnUnsizedTrackKeepsItsValue) {
  slider->m_Track = {100, 100, 0, 0};
  slider->m_Thumb = {100, 100, 0, 0};
  slider->OnEvent(34, 0, 0);
  slider->OnEvent(6, 0, vek::PackPosition(150, 100));
  EXPECT_EQ(slider->GetValue(), 50.0f);
  gui->Update(vek::kFixedStep);
  EXPECT_EQ(Values().size(), 1u);  // posted also when the value stays
}

TEST_F(WindowTest, EditFieldTyping) {
  auto* edit = new vektest::TestEdit("e", wnd);
  edit->SetMaxLength(3);
  gui->ShowWindow("w");
  struct Case {
    vek::u32 c;
    const char* text;
    std::vector<vek::u32> posted;
  };
  const Case cases[] = {
      {8, "", {}},            // backspace on empty: nothing
      {13, "", {35}},         // Enter: posted, nothing changes
      {'a', "a", {50}},       {'`', "a", {}}, {'~', "a", {}}, {168, "a", {}}, {184, "a", {}}, {9, "a", {}},
      {0xE9, "a\xE9", {50}},  // a code-page letter above 127
      {'b', "a\xE9" "b", {50}}, {'c', "a\xE9" "b", {}},  // full: nothing
      {8, "a\xE9", {50}},
  };
  for (const Case& c : cases) {
    log.clear();
    EXPECT_FALSE(edit->OnEvent(4, c.c, 0)) << c.c;  // consumed
    gui->Update(vek::kFixedStep);
    EXPECT_EQ(edit->GetText(), c.text) << c.c;
    std::vector<vek::u32> posted;
    for (const WndMsg& m : log)
      if (m.message >= 32 && m.message <= 53) posted.push_back(m.message);
    EXPECT_EQ(posted, c.posted) << c.c;
  }
  log.clear();
  EXPECT_FALSE(edit->OnEvent(35, 0, 0));
  gui->Update(vek::kFixedStep);
  EXPECT_EQ(Messages(52).size(), 1u);
  vek::cEditCtrl plain("plain", nullptr);
  EXPECT_EQ(plain.GetText(), "");
  EXPECT_EQ(plain.GetMaxLength(), 256u);
}

}  // namespace
