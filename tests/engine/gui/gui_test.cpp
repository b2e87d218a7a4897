// The GUI manager: stacking, routing, modal windows, posted messages, timers, coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/align.h"
#include "engine/gui/cursor.h"
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/image_ctrl.h"
#include "engine/render/quad_batch.h"
#include "engine/render/texture.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "tests/engine/gui/gui_fixture.h"

namespace {

using vektest::RecordingFunction;
using vektest::WndMsg;

class GuiTest : public vektest::GuiFixture {
 protected:
  vek::cWindow* MakeWindow(const std::string& name, bool active, bool modal = false, bool take = false) {
    auto* w = new vek::cWindow(gui, new RecordingFunction(&log, take));
    w->SetName(name);
    w->SetActive(active);
    w->SetModal(modal);
    return w;
  }

  // The routed input messages seen so far (codes 0, 3..7, 13, 17, 18).
  std::vector<WndMsg> Inputs() const {
    std::vector<WndMsg> out;
    for (const WndMsg& m : log) {
      if (m.message == 0 || (m.message >= 3 && m.message <= 7) || m.message == 13 || m.message == 17 ||
          m.message == 18)
        out.push_back(m);
    }
    return out;
  }
  std::vector<WndMsg> Only(vek::u32 message) const { return Messages(message); }

};

TEST_F(GuiTest, WindowsRegisterAndShowInStackingOrder) {
  vek::cWindow* a = MakeWindow("a", true);
  vek::cWindow* b = MakeWindow("b", false);
  EXPECT_EQ(a->GetID(), 1u);
  EXPECT_EQ(b->GetID(), 2u);
  EXPECT_EQ(gui->FindWindow("b"), 2u);
  EXPECT_EQ(gui->FindWindow("none"), 0u);
  EXPECT_EQ(gui->GetWindow("a"), a);
  EXPECT_EQ(log, (std::vector<WndMsg>{{1, vek::e_wndCreate, 0, 0}, {2, vek::e_wndCreate, 0, 0}}));
  log.clear();

  EXPECT_EQ(gui->ShowWindow("a"), 0);
  EXPECT_EQ(gui->ShowWindow("b"), 0);
  EXPECT_EQ(gui->ShowWindow("a"), 0);  // shown again: both messages, no move
  EXPECT_EQ(std::vector<unsigned>(gui->GetShownList().begin(), gui->GetShownList().end()),
            (std::vector<unsigned>{1, 2}));
  EXPECT_EQ(gui->GetActiveCount(), 1);
  EXPECT_EQ(Only(vek::e_wndShow).size(), 3u);
  EXPECT_EQ(Only(vek::e_wndActivate).size(), 3u);

  EXPECT_EQ(gui->ShowWindow("nowhere"), 1);
  EXPECT_NE(LogText().find("Window with name &#39;nowhere&#39; not found!"), std::string::npos);
  EXPECT_EQ(gui->HideWindow("nowhere"), 1);
  EXPECT_EQ(gui->CloseWindow(77), 1);

  log.clear();
  EXPECT_EQ(gui->HideWindow("a"), 0);  // the default handling closes it
  EXPECT_EQ(log, (std::vector<WndMsg>{{1, vek::e_wndHide, 0, 0}, {1, vek::e_wndDeactivate, 0, 0},
                                      {1, vek::e_wndHideImmediately, 0, 0}}));
  EXPECT_FALSE(gui->IsWindowShown("a"));
  EXPECT_TRUE(gui->IsWindowShown("b"));
  EXPECT_EQ(gui->GetActiveCount(), 0);
  EXPECT_EQ(gui->CloseWindow(1), 1);
}

TEST_F(GuiTest, RoutingWalksFromTheTopAndModalWindowsEndIt) {
  struct Case {
    const char* what;
    bool lowerActive, upperActive, upperModal, upperTakes;
    bool taken;
    std::vector<unsigned> reached;  // windows that got the key, in order
  };
  const Case cases[] = {
      {"upper active, lower not", false, true, false, false, false, {2}},
      {"both active, upper passes", true, true, false, false, false, {2, 1}},
      {"upper takes", true, true, false, true, true, {2}},
      {"inactive modal swallows", true, false, true, false, true, {}},
      {"active modal swallows after its call", true, true, true, false, true, {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    MakeWindow("lower", c.lowerActive);
    MakeWindow("upper", c.upperActive, c.upperModal, c.upperTakes);
    gui->ShowWindow("lower");
    gui->ShowWindow("upper");
    log.clear();
    EXPECT_EQ(gui->OnKeyDown(0x1E), c.taken);
    std::vector<unsigned> reached;
    for (const WndMsg& m : Inputs()) reached.push_back(m.window);
    EXPECT_EQ(reached, c.reached);
    for (const WndMsg& m : Inputs()) EXPECT_EQ(m, (WndMsg{m.window, vek::e_wndKeyDown, 0x1E, 0}));
  }
}

// A window that answers one kind of input by switching windows (it shows `target`, as a menu
// that goes back to the one below it does, or with no target hides itself) and reports the
// input as not taken.
class SwitchingFunction : public RecordingFunction {
 public:
  SwitchingFunction(std::vector<WndMsg>* log, vek::u32 message, std::string target)
      : RecordingFunction(log), m_Message(message), m_Target(std::move(target)) {}
  int Call(vek::cWindow* w, vek::u32 m, vek::u32 p1, vek::u32 p2) override {
    const int result = RecordingFunction::Call(w, m, p1, p2);
    if (m == m_Message && m_bArmed && w->GetGUI()) {
      if (m_Target.empty())
        w->GetGUI()->HideWindow(w->GetName());
      else
        w->GetGUI()->ShowWindow(m_Target);
    }
    return result;
  }
  bool m_bArmed = false;

 private:
  vek::u32 m_Message;
  std::string m_Target;
};

TEST_F(GuiTest, InputThatSwitchedWindowsIsOneActionAndGoesNoFurther) {
  struct Case {
    const char* what;
    const char* target;  // shown by the upper window; empty: it hides itself
    int event;           // 0 key, 1 character, 2 button, 3 mouse move
    bool taken;
    std::vector<unsigned> reached;
  };
  const Case cases[] = {
      {"key brings the lower window back", "lower", 0, true, {2}},
      {"key closes the window", "", 0, true, {2}},
      {"character", "lower", 1, true, {2}},
      {"button", "lower", 2, true, {2}},
      {"a move is no action", "", 3, false, {2, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    MakeWindow("lower", true);
    const vek::u32 codes[] = {vek::e_wndKeyDown, vek::e_wndChar, vek::e_wndLButtonDown, vek::e_wndMouseMove};
    auto* switching = new SwitchingFunction(&log, codes[c.event], c.target);
    auto* upper = new vek::cWindow(gui, switching);
    upper->SetName("upper");
    upper->SetActive(true);
    gui->ShowWindow("lower");
    gui->ShowWindow("upper");
    switching->m_bArmed = true;
    log.clear();
    bool taken = false;
    switch (c.event) {
      case 0: taken = gui->OnKeyDown(1); break;
      case 1: taken = gui->OnChar('a'); break;
      case 2: taken = gui->OnMouseButton(false, 0, 5, 5); break;
      default: taken = gui->OnMouseMove(5, 5); break;
    }
    EXPECT_EQ(taken, c.taken);
    std::vector<unsigned> reached;
    for (const WndMsg& m : Only(codes[c.event])) reached.push_back(m.window);
    EXPECT_EQ(reached, c.reached);
  }
  // A window that only looks at the key still passes it on (no switch, no action).
  TearDown();
  SetUp();
  MakeWindow("lower", true);
  MakeWindow("upper", true);
  gui->ShowWindow("lower");
  gui->ShowWindow("upper");
  log.clear();
  EXPECT_FALSE(gui->OnKeyDown(1));
  EXPECT_EQ(Inputs().size(), 2u);
}

TEST_F(GuiTest, ButtonsMapToMessageCodesAndMiddleButtonsAreSwallowedByModalWindows) {
  MakeWindow("w", true);
  gui->ShowWindow("w");
  struct Case {
    bool released;
    int button;
    vek::u32 code;
  };
  const Case cases[] = {{false, 0, 6}, {true, 0, 7}, {false, 1, 17}, {true, 1, 18}, {false, 2, 0}, {true, 2, 0}};
  for (const Case& c : cases) {
    log.clear();
    EXPECT_FALSE(gui->OnMouseButton(c.released, c.button, 10, 758));
    ASSERT_EQ(Inputs().size(), 1u);
    EXPECT_EQ(Inputs()[0], (WndMsg{1, c.code, 0, vek::PackPosition(10, 10)}));
  }
  MakeWindow("modal", false, true);
  gui->ShowWindow("modal");
  log.clear();
  EXPECT_TRUE(gui->OnMouseButton(false, 2, 0, 0));
  EXPECT_TRUE(Inputs().empty());
}

TEST_F(GuiTest, ModalWindowsDeactivateBelowAndNestedCloseReactivatesOnlyFromTheTop) {
  MakeWindow("base", true);
  MakeWindow("m1", true, true);
  MakeWindow("m2", true, true);
  gui->ShowWindow("base");
  log.clear();
  gui->ShowWindow("m1");
  EXPECT_EQ(Only(vek::e_wndDeactivate), (std::vector<WndMsg>{{1, 16, 0, 0}}));
  log.clear();
  gui->ShowWindow("m2");  // the walk stops after the first modal window
  EXPECT_EQ(Only(vek::e_wndDeactivate), (std::vector<WndMsg>{{2, 16, 0, 0}}));
  log.clear();
  EXPECT_EQ(gui->CloseWindow(2), 0);  // m1 lies under m2: nothing is re-activated
  EXPECT_TRUE(Only(vek::e_wndActivate).empty());
  EXPECT_EQ(Only(vek::e_wndDeactivate), (std::vector<WndMsg>{{2, 16, 0, 0}}));
  log.clear();
  EXPECT_EQ(gui->CloseWindow(3), 0);
  EXPECT_EQ(Only(vek::e_wndActivate), (std::vector<WndMsg>{{1, 15, 0, 0}}));
  EXPECT_EQ(gui->GetActiveCount(), 1);
}

// Posts a follow-up to itself while the GUI delivers.
class ChainFunction : public RecordingFunction {
 public:
  using RecordingFunction::RecordingFunction;
  int Call(vek::cWindow* w, vek::u32 m, vek::u32 p1, vek::u32 p2) override {
    if (m == 1000) w->GetGUI()->PostMessage(w->GetID(), 1001, p1 + 1, 0);
    return RecordingFunction::Call(w, m, p1, p2);
  }
};

TEST_F(GuiTest, PostedMessagesArriveInTheSameUpdateAndTimersOneStepLater) {
  auto* w = new vek::cWindow(gui, new ChainFunction(&log));
  w->SetName("w");
  MakeWindow("hidden", true);
  gui->ShowWindow("w");
  log.clear();
  gui->PostMessage(1, 1000, 5, 0);
  gui->PostMessage(99, 1000, 0, 0);  // outside the table: dropped
  gui->Update(vek::kFixedStep);
  EXPECT_EQ(log, (std::vector<WndMsg>{{1, 1000, 5, 0}, {1, 1001, 6, 0}}));
  EXPECT_EQ(gui->GetQueuedCount(), 1u);  // the timer of the shown window only
  log.clear();
  gui->Update(vek::kFixedStep);
  EXPECT_EQ(log, (std::vector<WndMsg>{{1, vek::e_wndTimer, 33, 0}}));
  EXPECT_FLOAT_EQ(vek::cGUI::ParamToTime(33), 0.033f);
}

TEST_F(GuiTest, ClientPointsBecomeGuiPointsWithYUp) {
  struct Case {
    int clientW, clientH, cx, cy, x, y;
  };
  const Case cases[] = {
      {1024, 768, 0, 0, 0, 768},   {1024, 768, 1023, 767, 1023, 1}, {800, 600, 400, 300, 512, 384},
      {800, 600, 799, 599, 1022, 2}, {2048, 1536, 1, 1, 0, 768},       {800, 600, -8, 700, -10, -128},
      {0, 0, 100, 100, 100, 668},  // before the first resize the GUI size stands in
  };
  for (const Case& c : cases) {
    gui->SetScreenRect(0, 0, c.clientW, c.clientH);
    int x = -1, y = -1;
    gui->ClientToGUI(c.cx, c.cy, &x, &y);
    EXPECT_EQ(x, c.x) << c.clientW << "x" << c.clientH << " " << c.cx << "," << c.cy;
    EXPECT_EQ(y, c.y) << c.clientW << "x" << c.clientH << " " << c.cx << "," << c.cy;
  }
}

TEST_F(GuiTest, CursorFollowsOnlyWhileAnActiveWindowIsShown) {
  vek::cCursor* cursor = gui->GetCursor();
  gui->OnMouseMove(100, 100);
  EXPECT_FLOAT_EQ(cursor->GetX(), 0.0f);  // no active window: not moved
  MakeWindow("inactive", false);
  gui->ShowWindow("inactive");
  gui->OnMouseMove(100, 100);
  EXPECT_FLOAT_EQ(cursor->GetX(), 0.0f);
  MakeWindow("w", true);
  gui->ShowWindow("w");
  gui->OnMouseMove(100, 100);
  EXPECT_FLOAT_EQ(cursor->GetX(), 100.0f);
  EXPECT_FLOAT_EQ(cursor->GetY(), 668.0f);
  gui->OnMouseButton(false, 0, 300, 300);  // buttons do not move it
  EXPECT_FLOAT_EQ(cursor->GetX(), 100.0f);
}

TEST_F(GuiTest, CursorFramesAndHotSpot) {
  vek::cCursor cursor(gui);
  EXPECT_EQ(cursor.GetSize(), vek::vec2(64.0f, 64.0f));
  cursor.Set("no_such_texture", vek::vec2(32.0f, 64.0f), vek::cAlign::Left | vek::cAlign::Top, 2, 4);
  EXPECT_EQ(cursor.GetTexture(), 0u);  // the default entry
  struct Frame {
    float u, v;
  };
  // Row by row from the top-left cell, 30 frames per second.
  const Frame frames[] = {{0.0f, 0.5f}, {0.25f, 0.5f}, {0.5f, 0.5f}, {0.75f, 0.5f},
                          {0.0f, 0.0f}, {0.25f, 0.0f}, {0.5f, 0.0f}, {0.75f, 0.0f}, {0.0f, 0.5f}};
  for (const Frame& f : frames) {
    const vek::rectf uv = cursor.GetUVRect();
    EXPECT_FLOAT_EQ(uv.x, f.u);
    EXPECT_FLOAT_EQ(uv.y, f.v);
    EXPECT_FLOAT_EQ(uv.w, 0.25f);
    EXPECT_FLOAT_EQ(uv.h, 0.5f);
    cursor.Update(1.0f / 30.0f + 1e-4f);
  }
  cursor.SetPos(100.0f, 200.0f);
  const vek::rectf hang = cursor.GetScreenRect();  // Left | Top hangs down and right
  EXPECT_EQ(hang.x, 100.0f);
  EXPECT_EQ(hang.y, 136.0f);
  cursor.Set("x", vek::vec2(32.0f, 64.0f), vek::cAlign::Center | vek::cAlign::Middle, 1, 1);
  const vek::rectf centred = cursor.GetScreenRect();
  EXPECT_EQ(centred.x, 84.0f);
  EXPECT_EQ(centred.y, 168.0f);
  EXPECT_FLOAT_EQ(cursor.GetUVRect().w, 1.0f);  // a 1 x 1 grid uses the whole texture
  cursor.Set("x", vek::vec2(8.0f, 8.0f), vek::cAlign::Right | vek::cAlign::Center, 0, 0);  // empty grid
  EXPECT_FLOAT_EQ(cursor.GetUVRect().w, 1.0f);
  EXPECT_EQ(cursor.GetScreenRect().x, 92.0f);  // Right wins over Center
}

TEST_F(GuiTest, AlignRectPlacesByFlags) {
  const vek::rectf outer{10.0f, 20.0f, 100.0f, 50.0f};
  struct Case {
    int flags;
    float x, y;
  };
  const Case cases[] = {{0, 10, 20},   {vek::cAlign::Center, 50, 20}, {vek::cAlign::Right | vek::cAlign::Center, 90, 20},
                        {vek::cAlign::Top, 10, 60}, {vek::cAlign::Middle, 10, 40},
                        {vek::cAlign::Top | vek::cAlign::Middle, 10, 60}};
  for (const Case& c : cases) {
    vek::rectf inner{0.0f, 0.0f, 20.0f, 10.0f};
    vek::AlignRect(outer, inner, c.flags);
    EXPECT_FLOAT_EQ(inner.x, c.x) << c.flags;
    EXPECT_FLOAT_EQ(inner.y, c.y) << c.flags;
  }
}

TEST_F(GuiTest, DumpListsTheWindowTable) {
  vek::cWindow* w = MakeWindow("options", true, true);
  new vektest::RecordingCtrl("ok", w, nullptr);
  MakeWindow("hidden", false);
  gui->ShowWindow("options");
  vek::DumpGUI();
  // The console holds the plain lines.
  std::string log;
  for (const std::string& line : vek::GetConsole()->GetLines()) log += line + "\n";
  EXPECT_NE(log.find("  |  1 |                  options |  1 | 1 | 1 | + | cCtrl(unnamed), cImageCtrl(ok), "),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("  |  2 |                   hidden |  2 | 0 | 0 |   | "), std::string::npos);
  EXPECT_NE(log.find("   Total Count: 3, Visible Count: 1."), std::string::npos);
}

TEST_F(GuiTest, DeletedWindowsAndWidgetsLeaveNothingBehind) {
  vek::cWindow* w = MakeWindow("gone", true);
  gui->ShowWindow("gone");
  gui->PostMessage(w->GetID(), 1000, 0, 0);
  delete w;  // its slot stays empty; queued messages for it are dropped
  EXPECT_EQ(gui->GetActiveCount(), 0);
  EXPECT_TRUE(gui->GetShownList().empty());
  EXPECT_EQ(gui->GetWindowById(1), nullptr);
  EXPECT_EQ(gui->FindWindow("gone"), 0u);
  gui->Update(vek::kFixedStep);
  EXPECT_EQ(gui->SendMessage(1, 5, 0, 0), 0);

  // A widget deleted before shut-down leaves the list and the focus.
  auto* widget = new vek::cWidget("menu");
  game->SetFocusWidget("menu");
  delete widget;
  EXPECT_EQ(game->GetFocusWidget(), nullptr);
  EXPECT_TRUE(game->GetWidgets().empty());
  game->Frame();
}

// A window function that paints the default way and says whether the window is drawn as its
// controls are (a fading window is not).
class PlainFunction : public vek::cWindowFunction {
 public:
  explicit PlainFunction(bool asTheyAre) : m_AsTheyAre(asTheyAre) {}
  bool PaintsControlsAsTheyAre(const vek::cWindow*) const override { return m_AsTheyAre; }

 private:
  bool m_AsTheyAre;
};

TEST_F(GuiTest, WindowsCoverWhatIsDrawnBeforeThemWhereTheirControlsAreSolid) {
  // "solid": opaque; "rimmed": a clear 32-pixel rim round an opaque 32 x 32 middle.
  vek::cImage solid(vek::e_PixARGB, 96, 96, 1), rimmed(vek::e_PixARGB, 96, 96, 1);
  std::memset(solid.GetLevel(0), 255, solid.GetLevelSize(0));
  std::memset(rimmed.GetLevel(0), 0, rimmed.GetLevelSize(0));
  for (int y = 31; y <= 64; ++y)
    for (int x = 31; x <= 64; ++x) rimmed.GetLevel(0)[(y * 96 + x) * 4 + 3] = 255;
  new vek::cTexture("solid", false, std::move(solid));
  new vek::cTexture("rimmed", false, std::move(rimmed));
  auto window = [&](const char* name, bool asTheyAre) {
    auto* w = new vek::cWindow(gui, new PlainFunction(asTheyAre));
    w->SetName(name);
    gui->ShowWindow(name);
    return w;
  };
  auto frame = [](vek::cWindow* w, const char* texture, vek::rectf r, bool inner = true) {
    auto* f = new vek::cFrameCtrl("frame", w);
    f->SetTexture(texture);
    f->SetPos(r.x, r.y, 0);
    f->SetSize(r.w, r.h, 0);
    f->SetSize(20, 10, vek::cCtrl::e_frmBorder);
    f->SetUVSize(1.0f / 3, 1.0f / 3, vek::cCtrl::e_frmBorder);
    f->DrawInnerRect(inner);
    return f;
  };
  auto image = [](vek::cWindow* w, const char* texture, vek::rectf r) {
    auto* i = new vek::cImageCtrl("image", w);
    i->SetTexture(texture);
    i->SetPos(r.x, r.y, 0);
    i->SetSize(r.w, r.h, 0);
    return i;
  };
  // Bottom to top: what each window's controls cover, if anything.
  vek::cWindow* board = window("board", true);
  frame(board, "rimmed", {100, 100, 300, 200});   // the middle: solid
  image(board, "rimmed", {0, 0, 50, 50});         // reaches the clear rim
  vek::cWindow* fading = window("fading", false);
  frame(fading, "solid", {0, 0, 100, 100});       // tinted and scaled while it fades
  vek::cWindow* top = window("top", true);
  image(top, "solid", {500, 400, 60, 40});
  frame(top, "solid", {0, 0, 100, 100}, false);   // no centre drawn
  frame(top, "solid", {600, 0, 100, 100})->DisableState(vek::cCtrl::e_Visibility);
  vek::cQuadBatch* batch = game->GetQuadBatch();
  ASSERT_NE(batch, nullptr);
  gui->PrepareCovers();
  ASSERT_EQ(batch->m_Covers.size(), 2u);
  const vek::rectf middle = batch->m_Covers[0].area;
  EXPECT_EQ(batch->m_Covers[0].layer, 0);
  EXPECT_FLOAT_EQ(middle.x, 120.0f);
  EXPECT_FLOAT_EQ(middle.y, 110.0f);
  EXPECT_FLOAT_EQ(middle.w, 260.0f);
  EXPECT_FLOAT_EQ(middle.h, 180.0f);
  EXPECT_EQ(batch->m_Covers[1].layer, 2);
  EXPECT_FLOAT_EQ(batch->m_Covers[1].area.x, 500.0f);
  EXPECT_EQ(batch->m_Layer, -1);  // the picture drawn next is under every window
  // Drawing the windows ends the covers: what is drawn after them is drawn whole.
  gui->Draw();
  EXPECT_TRUE(batch->m_Covers.empty());
}

}  // namespace
