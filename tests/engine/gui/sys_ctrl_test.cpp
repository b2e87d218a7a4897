// The system controls: coloured label, text box, progress bar, push button, check box, slider
// and edit field with their look, driven through a window's default handling.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/app/game.h"
#include "engine/core/align.h"
#include "engine/gui/button_sys_ctrl.h"
#include "engine/gui/check_box_sys_ctrl.h"
#include "engine/gui/edit_sys_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"
#include "engine/gui/progress_bar_sys_ctrl.h"
#include "engine/gui/slider_sys_ctrl.h"
#include "engine/gui/text_box_sys_ctrl.h"
#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "tests/engine/gui/gui_fixture.h"

namespace {

using vektest::RecordingFunction;
using vektest::WndMsg;
using Msgs = std::vector<WndMsg>;

// A font of fixed metrics: every printable character 5 pixels wide with a pen step of 5,
// spacing 1 (so a character costs 6 when wrapping, a blank 6), lines 10 high.
void MakeMonoFont(const char* name, vek::f32 lineHeight = 10.0f) {
  auto* font = new vek::cFont(name);
  font->Init("mono", "", 10, lineHeight);
  font->Transform(1.0f, 1.0f, 1.0f);
  for (int c = 32; c < 127; ++c) font->Char(std::string(1, static_cast<char>(c)), 5.0f, vek::recti{0, 0, 5, 10}, 0.0f, 5.0f);
}

class SysCtrlTest : public vektest::GuiWindowFixture {
 protected:
  void SetUp() override {
    GuiWindowFixture::SetUp();
    MakeMonoFont("mono");
  }
  void Button(int x, int y, bool released) { gui->OnMouseButton(released, 0, x, 768 - y); }
  void Click(int x, int y) {
    MoveTo(x, y);
    Button(x, y, false);
    Button(x, y, true);
  }
  // The notifications of one code logged so far, after delivering what was posted.
  Msgs Delivered(vek::u32 message) {
    gui->Update(0.0f);
    return Messages(message);
  }
  // Vertices the control appends to the quad batch when drawn.
  vek::u32 DrawnVertices(vek::cCtrl* c) {
    vek::cQuadBatch* batch = game->GetQuadBatch();
    batch->Clear();
    c->Draw();
    return batch->GetVertexCount();
  }

};

// ---------------------------------------------------------------------------------------------
// Coloured label and text box

TEST_F(SysCtrlTest, LabelColourComesBackAsRedGreenBlueAlpha) {
  vek::cLabelSysCtrl label("l", wnd);
  label.SetColor(1.0f, 0.5f, 0.0f);
  float rgba[4] = {};
  label.GetColor(rgba);
  EXPECT_FLOAT_EQ(rgba[0], 1.0f);
  EXPECT_NEAR(rgba[1], 0.5f, 1.0f / 255.0f);
  EXPECT_FLOAT_EQ(rgba[2], 0.0f);
  EXPECT_FLOAT_EQ(rgba[3], 1.0f);
  EXPECT_EQ(label.GetColor(), 0xFFFF7F00u);  // packed: alpha, red, green, blue
  label.SetColor(vek::vec3(0.0f, 0.0f, 1.0f));
  EXPECT_EQ(label.GetColor(), 0xFF0000FFu);
  EXPECT_STREQ(label.GetClassName(), "cLabelSysCtrl");
}

struct WrapCase {
  const char* name;
  const char* text;
  float w, h;
  std::vector<std::string> lines;
};

TEST_F(SysCtrlTest, TextBoxWrapsWordsAsTheTableSays) {
  // "aaa" costs 18, a blank 6: "aaa bbb" needs 42, and a line breaks when it would reach w.
  const WrapCase cases[] = {
      {"one line", "aaa bbb", 100, 100, {"aaa bbb"}},
      {"breaks at equal width", "aaa bbb ccc", 42, 100, {"aaa", "bbb", "ccc"}},
      {"fits one pixel wider", "aaa bbb ccc", 43, 100, {"aaa bbb", "ccc"}},
      {"colour code takes no width", "^FF0000FFaaa bbb", 43, 100, {"^FF0000FFaaa bbb"}},
      {"colour code never splits a word", "aa^00FF00FFbb cc", 30, 100, {"aa^00FF00FFbb", "cc"}},
      {"escaped caret takes no width", "a^^b cc", 31, 100, {"a^^b cc"}},
      {"caret near the end is a character", "ab ^12", 36, 100, {"ab", "^12"}},
      {"caret before no colour is a character", "^zzzzzzzz", 50, 100, {"", "^zzzzzzzz"}},
      {"over-wide first word leaves an empty line", "aaaaaaaaaa bb", 30, 100, {"", "aaaaaaaaaa", "bb"}},
      {"over-wide later word stands alone", "bb aaaaaaaaaa cc", 30, 100, {"bb", "aaaaaaaaaa", "cc"}},
      {"surplus lines are dropped", "aaa bbb ccc", 30, 20, {"aaa", "bbb"}},
      {"a box lower than a line keeps its first line", "aa bb", 100, 5, {"aa bb"}},
      {"line feeds close lines", "aa\nbb\n", 100, 100, {"aa", "bb", ""}},
      {"line feed past the last allowed line", "aa\nbb", 100, 10, {"aa"}},
      {"empty text", "", 100, 100, {""}},
  };
  for (const WrapCase& c : cases) {
    SCOPED_TRACE(c.name);
    vek::cTextBoxSysCtrl box("t", nullptr);
    box.SetFontPrt("mono");
    box.SetSize(c.w, c.h, 0);
    box.SetText(c.text);
    EXPECT_EQ(box.GetLines(), c.lines);
  }
}

TEST_F(SysCtrlTest, TextBoxPlacesItsLinesAndKeepsTheTrailingBlank) {
  vek::cTextBoxSysCtrl box("t", wnd);
  box.SetFontPrt("mono");
  box.SetPos(10, 20, 0);
  box.SetSize(100, 50, 0);
  box.SetAlign(vek::cAlign::Center | vek::cAlign::Top);
  box.SetText("aaaa\nbb");
  EXPECT_EQ(box.GetText(), "aaaa\nbb ");  // the last word flushed by a blank of its own
  ASSERT_EQ(box.GetLines().size(), 2u);
  // Two lines of 10 against the top: the block spans 50..70, the last line lowest. Lines are
  // centred on their own, each as wide as its characters less the spacing (23 and 11).
  const auto& pos = box.GetLinePositions();
  EXPECT_FLOAT_EQ(pos[0].x, 10.0f + (100.0f - 23.0f) / 2.0f);
  EXPECT_FLOAT_EQ(pos[0].y, 60.0f);
  EXPECT_FLOAT_EQ(pos[1].x, 10.0f + (100.0f - 11.0f) / 2.0f);
  EXPECT_FLOAT_EQ(pos[1].y, 50.0f);
  const vek::rectf text = box.GetTextRect();
  EXPECT_FLOAT_EQ(text.x, pos[0].x);
  EXPECT_FLOAT_EQ(text.w, 23.0f);
  EXPECT_FLOAT_EQ(text.y, 50.0f);
  EXPECT_FLOAT_EQ(text.h, 20.0f);
  // The hit area is the whole box, not the text.
  EXPECT_TRUE(box.HitTest(11, 21));
  EXPECT_FALSE(box.HitTest(9, 21));
  // Moving carries the lines along without wrapping again.
  box.SetPos(0, 0, 0);
  EXPECT_FLOAT_EQ(box.GetLinePositions()[1].y, 30.0f);
  EXPECT_FLOAT_EQ(box.GetTextRect().y, 30.0f);
  EXPECT_FLOAT_EQ(box.GetRect().x, 0.0f);
  // A new font reaches the wrap: with lines of 30 only the first of two fits.
  MakeMonoFont("tall", 30.0f);
  box.SetFontPrt("tall");
  EXPECT_EQ(box.GetLines(), (std::vector<std::string>{"aaaa"}));
}

TEST_F(SysCtrlTest, TextBoxWithAFontNotYetLoadedHasNoLines) {
  // The default font has no line height: nothing to divide by, nothing laid out or drawn.
  vek::cTextBoxSysCtrl box("t", wnd);
  box.SetSize(100, 50, 0);
  box.SetText("some words");
  EXPECT_TRUE(box.GetLines().empty());
  EXPECT_EQ(DrawnVertices(&box), 0u);
  box.SetFontPrt("missing");
  EXPECT_TRUE(box.GetLines().empty());
  // Once the font is there, the next layout wraps.
  box.SetFontPrt("mono");
  EXPECT_EQ(box.GetLines(), (std::vector<std::string>{"some words"}));
  EXPECT_EQ(DrawnVertices(&box), vek::kQuadVertices * 10u);  // a quad for every character of the line
}

// ---------------------------------------------------------------------------------------------
// Progress bar

TEST_F(SysCtrlTest, ProgressBarCutsItsImageToTheValue) {
  vek::cProgressBarSysCtrl bar("p", wnd);
  bar.SetPos(10, 10, 0);
  bar.SetSize(200, 16, 0);
  bar.SetUVPos(0.25f, 0.5f, 0);
  bar.SetUVSize(0.5f, 0.125f, 0);
  struct Case {
    float set, value, width, du;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const Case& c : {Case{0.0f, 0.0f, 0.0f, 0.0f}, Case{0.25f, 0.25f, 50.0f, 0.125f},
                        Case{2.0f, 1.0f, 200.0f, 0.5f}, Case{-1.0f, 0.0f, 0.0f, 0.0f}, Case{nan, 0.0f, 0.0f, 0.0f}}) {
    SCOPED_TRACE(c.set);
    bar.SetValue(c.set);
    EXPECT_FLOAT_EQ(bar.GetValue(), c.value);
    EXPECT_FLOAT_EQ(bar.GetRect().w, c.width);
    EXPECT_FLOAT_EQ(bar.GetRect().h, 16.0f);
    EXPECT_FLOAT_EQ(bar.GetBar().GetUVRect().w, c.du);
    EXPECT_FLOAT_EQ(bar.GetBar().GetUVRect().h, 0.125f);
    EXPECT_FLOAT_EQ(bar.GetBar().GetUVRect().x, 0.25f);
    // The hit area is the full bar whatever the value.
    EXPECT_TRUE(bar.HitTest(205, 20));
    EXPECT_FALSE(bar.HitTest(211, 20));
  }
  bar.SetValue(0.5f);
  bar.MoveBy(5, 5, 0);
  EXPECT_FLOAT_EQ(bar.GetRect().x, 15.0f);
  EXPECT_FLOAT_EQ(bar.GetRect().w, 100.0f);
  EXPECT_EQ(DrawnVertices(&bar), vek::kQuadVertices);
}

// ---------------------------------------------------------------------------------------------
// Push button

class ButtonTest : public SysCtrlTest {
 protected:
  void SetUp() override {
    SysCtrlTest::SetUp();
    other = new vek::cImageCtrl("other", wnd);
    other->SetPos(300, 100, 0);
    other->SetSize(50, 50, 0);
    button = new vek::cButtonSysCtrl("ok", wnd);
    button->SetPos(100, 100, 0);
    button->SetSize(80, 30, 0);
    gui->ShowWindow("w");
    log.clear();
  }
  vek::cImageCtrl* other = nullptr;
  vek::cButtonSysCtrl* button = nullptr;
};

TEST_F(ButtonTest, ClickPostsOnceAndOnlyWithoutLeaving) {
  struct Step {
    int x, y;
    int button;  // -1 move only, 0 down, 1 up
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    size_t clicks;
  };
  const Case cases[] = {
      {"down and up on the button", {{110, 110, -1}, {110, 110, 0}, {112, 112, 1}}, 1},
      {"press, leave, release elsewhere", {{110, 110, -1}, {110, 110, 0}, {320, 120, -1}, {320, 120, 1}}, 0},
      {"press, leave, come back, release",
       {{110, 110, -1}, {110, 110, 0}, {320, 120, -1}, {110, 110, -1}, {110, 110, 1}},
       0},
      {"press elsewhere, release on the button", {{320, 120, -1}, {320, 120, 0}, {110, 110, -1}, {110, 110, 1}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MoveTo(600, 600);
    log.clear();
    for (const Step& s : c.steps) {
      if (s.button < 0) {
        MoveTo(s.x, s.y);
      } else {
        Button(s.x, s.y, s.button == 1);
      }
    }
    const Msgs clicks = Delivered(vek::e_ntfButtonClick);
    EXPECT_EQ(clicks.size(), c.clicks);
    if (!clicks.empty()) {
      EXPECT_EQ(clicks[0], (WndMsg{wnd->GetID(), 48, 0, button->GetID()}));
    }
    EXPECT_FALSE(button->IsPressed());
  }
}

TEST_F(ButtonTest, ClickIsPostedNotSent) {
  MoveTo(110, 110);
  Button(110, 110, false);
  EXPECT_TRUE(button->IsPressed());
  Button(110, 110, true);
  for (const WndMsg& m : log) EXPECT_NE(m.message, 48u);
  EXPECT_EQ(Delivered(vek::e_ntfButtonClick).size(), 1u);
}

TEST_F(ButtonTest, FramesAndLabelFollowTheNormalFrame) {
  button->SetSize(6, 5, vek::cCtrl::e_frmBorder);
  button->SetText("OK");
  button->SetTexture("gui_system", vek::cCtrl::e_btnNormal | vek::cCtrl::e_btnPush);
  button->SetUVPos(0.25f, 0.5f, vek::cCtrl::e_btnPush);
  button->SetUVSize(0.03f, 0.04f, vek::cCtrl::e_btnPush | vek::cCtrl::e_frmBorder);
  button->MoveBy(10, 0, 0);
  const vek::cFrameCtrl& pushed = button->GetPushedFrame();
  EXPECT_FLOAT_EQ(pushed.GetRect().x, 110.0f);
  EXPECT_FLOAT_EQ(pushed.GetRect().w, 80.0f);
  EXPECT_FLOAT_EQ(pushed.GetBorder().x, 6.0f);
  EXPECT_FLOAT_EQ(pushed.GetBorder().y, 5.0f);
  EXPECT_FLOAT_EQ(pushed.GetBorder().w, 0.03f);  // border uv size on the pushed frame only
  EXPECT_FLOAT_EQ(button->GetNormalFrame().GetBorder().w, 0.0f);
  EXPECT_FLOAT_EQ(pushed.GetUVRect().x, 0.25f);
  EXPECT_FLOAT_EQ(button->GetNormalFrame().GetUVRect().x, 0.0f);
  EXPECT_FLOAT_EQ(button->GetLabel().GetRect().x, 110.0f);
  EXPECT_FLOAT_EQ(button->GetLabel().GetRect().h, 30.0f);
  EXPECT_EQ(button->GetText(), "OK");
  EXPECT_EQ(button->GetLabel().GetAlign(), vek::cAlign::Center | vek::cAlign::Middle);
  EXPECT_TRUE(button->HitTest(110, 100));
  EXPECT_FALSE(button->HitTest(109, 100));
}

// ---------------------------------------------------------------------------------------------
// Check box

TEST_F(SysCtrlTest, CheckBoxTogglesOnButtonDownAndSetCheckPostsNothing) {
  auto* box = new vek::cCheckBoxSysCtrl("music", wnd);
  box->SetPos(100, 100, 0);
  box->SetSize(100, 20, 0);
  gui->ShowWindow("w");
  MoveTo(105, 105);
  struct Step {
    bool down;
    bool checked;
    std::vector<vek::u32> posted;  // p1 of the 49 messages so far
  };
  const Step steps[] = {{true, true, {1}}, {false, true, {1}}, {true, false, {1, 0}}, {false, false, {1, 0}}};
  for (const Step& s : steps) {
    Button(105, 105, !s.down);
    EXPECT_EQ(box->IsChecked(), s.checked);
    std::vector<vek::u32> posted;
    for (const WndMsg& m : Delivered(vek::e_ntfCheckToggle)) {
      EXPECT_EQ(m.p2, box->GetID());
      posted.push_back(m.p1);
    }
    EXPECT_EQ(posted, s.posted);
  }
  box->SetCheck(true);
  EXPECT_TRUE(box->IsChecked());
  EXPECT_EQ(Delivered(vek::e_ntfCheckToggle).size(), 2u);
}

TEST_F(SysCtrlTest, CheckBoxIsASquareWithItsTextBeside) {
  auto* box = new vek::cCheckBoxSysCtrl("music", wnd);
  box->SetFontPrt("mono");
  box->SetText("Music");
  box->SetPos(100, 100, 0);
  box->SetSize(100, 20, 0);
  EXPECT_EQ(box->GetBox().GetRect().w, 20.0f);
  EXPECT_EQ(box->GetBox().GetRect().h, 20.0f);
  EXPECT_EQ(box->GetCheckedBox().GetRect().x, 100.0f);
  EXPECT_EQ(box->GetCheckedBox().GetRect().w, 20.0f);
  const vek::rectf label = box->GetLabel().GetRect();
  EXPECT_EQ(label.x, 120.0f);
  EXPECT_EQ(label.w, 0.0f);
  // The text runs on past the label's empty rectangle and is hit in full (29 wide, 10 high).
  EXPECT_EQ(box->GetLabel().GetTextRect().w, 29.0f);
  EXPECT_TRUE(box->HitTest(148, 110));
  EXPECT_FALSE(box->HitTest(150, 110));
  EXPECT_FALSE(box->HitTest(130, 118));  // beside the text, above it
  EXPECT_EQ(box->GetRect().w, 20.0f);
  box->SetTexture("gui_system", vek::cCtrl::e_cbPush);
  box->SetUVPos(0.5f, 0.25f, vek::cCtrl::e_cbNormal);
  EXPECT_EQ(box->GetBox().GetUVRect().x, 0.5f);
  EXPECT_EQ(box->GetCheckedBox().GetUVRect().x, 0.0f);
}

// ---------------------------------------------------------------------------------------------
// Slider

struct SliderLayoutCase {
  const char* name;
  int flags;  // of the SetSize call
  float w, h;
  vek::rectf track, thumb;
};

TEST_F(SysCtrlTest, SliderSizeGoesToTheTrackOrWithTheSelectorToTheThumb) {
  const SliderLayoutCase cases[] = {
      // Track 200 x 20 at 100, 100 and thumb 10 x 30, value 50 of 0..100.
      {"track", 0, 300, 20, {100, 100, 300, 20}, {245, 95, 10, 30}},
      {"thumb", vek::cCtrl::e_sldImage, 20, 10, {100, 100, 200, 20}, {190, 105, 20, 10}},
      {"track border only", vek::cCtrl::e_frmBorder, 4, 4, {100, 100, 200, 20}, {195, 95, 10, 30}},
  };
  for (const SliderLayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    vek::cSliderSysCtrl slider("s", wnd);
    slider.SetPos(100, 100, 0);
    slider.SetSize(200, 20, 0);
    slider.SetSize(10, 30, vek::cCtrl::e_sldImage);
    slider.SetSize(c.w, c.h, c.flags);
    const vek::rectf track = slider.GetTrackRect(), thumb = slider.GetThumbRect();
    EXPECT_FLOAT_EQ(track.x, c.track.x);
    EXPECT_FLOAT_EQ(track.w, c.track.w);
    EXPECT_FLOAT_EQ(thumb.x, c.thumb.x);
    EXPECT_FLOAT_EQ(thumb.y, c.thumb.y);
    EXPECT_FLOAT_EQ(thumb.w, c.thumb.w);
    EXPECT_FLOAT_EQ(thumb.h, c.thumb.h);
  }
}

TEST_F(SysCtrlTest, SliderMovesWithItsWindowAndDragsThroughIt) {
  auto* slider = new vek::cSliderSysCtrl("s", wnd);
  slider->SetPos(100, 100, 0);
  slider->SetSize(200, 20, 0);
  slider->SetSize(10, 20, vek::cCtrl::e_sldImage);
  slider->SetTexture("gui_system", vek::cCtrl::e_sldImage);
  slider->SetUVSize(0.25f, 0.5f, vek::cCtrl::e_sldImage);
  slider->SetUVSize(0.1f, 0.1f, vek::cCtrl::e_frmBorder);
  EXPECT_FLOAT_EQ(slider->GetThumb().GetUVRect().w, 0.25f);
  EXPECT_FLOAT_EQ(slider->GetTrack().GetBorder().w, 0.1f);
  wnd->SetPos(0, 50);  // every control moves with its window
  EXPECT_FLOAT_EQ(slider->GetTrackRect().y, 150.0f);
  EXPECT_FLOAT_EQ(slider->GetThumbRect().y, 150.0f);
  EXPECT_FLOAT_EQ(slider->GetThumbRect().x, 195.0f);
  gui->ShowWindow("w");
  MoveTo(110, 160);
  Button(110, 160, false);  // becomes active only after the event: nothing moves yet
  EXPECT_FLOAT_EQ(slider->GetValue(), 50.0f);
  MoveTo(150, 160);
  EXPECT_FLOAT_EQ(slider->GetValue(), 25.0f);
  EXPECT_FLOAT_EQ(slider->GetThumbRect().x, 145.0f);
  MoveTo(900, 160);  // past the end: clamped
  Button(900, 160, true);
  const Msgs values = Delivered(vek::e_ntfSliderValue);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].p1, 25u);
  EXPECT_EQ(values[1].p1, 100u);
  EXPECT_FLOAT_EQ(slider->GetThumbRect().x, 290.0f);
  EXPECT_EQ(DrawnVertices(slider), (9u + 1u) * vek::kQuadVertices);  // the track's nine parts, then the thumb
}

TEST_F(SysCtrlTest, SliderWithAValueThatIsNotANumberStillLaysOut) {
  vek::cSliderSysCtrl slider("s", wnd);
  slider.SetSize(200, 20, 0);
  slider.SetSize(10, 20, vek::cCtrl::e_sldImage);
  slider.SetValue(std::nanf(""));  // a script's 0/0: placement ends instead of recursing
  slider.SetValue(30.0f);
  EXPECT_FLOAT_EQ(slider.GetThumbRect().x, 55.0f);
}

// ---------------------------------------------------------------------------------------------
// Edit field

TEST_F(SysCtrlTest, EditFieldHoldsItsTextInTheLabelInsideTheBorder) {
  auto* edit = new vek::cEditSysCtrl("name", wnd);
  edit->SetFontPrt("mono");
  edit->SetPos(100, 100, 0);
  edit->SetSize(200, 30, 0);
  edit->SetSize(6, 5, vek::cCtrl::e_frmBorder);
  const vek::rectf label = edit->GetLabel().GetRect();
  EXPECT_EQ(label.x, 106.0f);
  EXPECT_EQ(label.y, 105.0f);
  EXPECT_EQ(label.w, 188.0f);
  EXPECT_EQ(label.h, 20.0f);
  gui->ShowWindow("w");
  MoveTo(150, 110);
  Button(150, 110, false);
  ASSERT_EQ(wnd->GetActiveControl(), edit);
  for (char c : std::string("Ann")) gui->OnChar(static_cast<unsigned char>(c));
  gui->OnChar(8);
  EXPECT_EQ(edit->GetText(), "An");
  EXPECT_EQ(edit->GetLabel().GetText(), "An");
  EXPECT_EQ(Delivered(vek::e_ntfEditChange).size(), 4u);
  // A border wider than half the frame: the label gets a negative width, the text still
  // starts at the left inner edge.
  edit->SetSize(120, 5, vek::cCtrl::e_frmBorder);
  EXPECT_EQ(edit->GetLabel().GetRect().w, -40.0f);
  EXPECT_EQ(edit->GetLabel().GetTextRect().x, 220.0f);
}

TEST_F(SysCtrlTest, CaretShowsOnlyWhileActiveAndInTheBlinkPhase) {
  auto* edit = new vek::cEditSysCtrl("name", wnd);
  auto* other = new vek::cEditSysCtrl("other", wnd);
  edit->SetFontPrt("mono");
  edit->SetText("ab");
  edit->SetSize(100, 20, 0);
  // The frame's nine parts and two characters, a quad each; the caret adds one quad.
  const vek::u32 plain = (9u + 2u) * vek::kQuadVertices;
  auto phase = [&](bool on) {
    for (int i = 0; i < 40 && gui->GetCaretBlink() != on; ++i) gui->Update(vek::kFixedStep);
    ASSERT_EQ(gui->GetCaretBlink(), on);
  };
  struct Case {
    const char* name;
    vek::cCtrl* active;
    bool blink;
    bool caret;
  };
  const Case cases[] = {
      {"active, blink on", edit, true, true},
      {"active, blink off", edit, false, false},
      {"another field active", other, true, false},
      {"nothing active", nullptr, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    wnd->SetActiveControl(c.active);
    phase(c.blink);
    EXPECT_EQ(edit->ShowsCaret(), c.caret);
    EXPECT_EQ(DrawnVertices(edit), plain + (c.caret ? vek::kQuadVertices : 0u));
  }
  // The caret stands after the text, on its baseline.
  wnd->SetActiveControl(edit);
  phase(true);
  vek::cQuadBatch* batch = game->GetQuadBatch();
  batch->Clear();
  edit->Draw();
  const vek::cVertex2D* caret = batch->GetVertices() + plain;
  const vek::rectf text = edit->GetLabel().GetTextRect();
  EXPECT_FLOAT_EQ(caret[0].x, text.x + text.w);
  EXPECT_FLOAT_EQ(caret[0].y, text.y);
  // A field without a window never shows one.
  vek::cEditSysCtrl loose("loose", nullptr);
  EXPECT_FALSE(loose.ShowsCaret());
}

}  // namespace
