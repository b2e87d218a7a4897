#include <gtest/gtest.h>

#include <cmath>
#include <new>

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "engine/sound/sound_manager.h"
#include "tests/support/engine_fixture.h"

namespace {

using vektest::EngineFixture;

// A widget that records what the engine calls on it.
class ProbeWidget : public vek::cWidget {
 public:
  explicit ProbeWidget(const std::string& name) : vek::cWidget(name) {}
  void Render() override { ++renders; }
  void Step() override { ++steps; }
  void Update(float dt) override {
    ++updates;
    lastDt = dt;
  }
  void Activate() override { ++activations; }
  void Deactivate() override { ++deactivations; }
  void OnEvent(unsigned type, unsigned param) override { events.push_back({type, param}); }

  int renders = 0, steps = 0, updates = 0, activations = 0, deactivations = 0;
  float lastDt = -1.0f;
  std::vector<std::pair<unsigned, unsigned>> events;
};

class GameLoop : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ASSERT_TRUE(game->CreateWindow(false, 1024, 768));
    probe = new ProbeWidget("garden");
    game->SetFocusWidget("garden");
  }
  ProbeWidget* probe = nullptr;  // owned by the engine's widget list
};

TEST_F(GameLoop, FixedStepRunsOncePerFrameAndCarriesTheRemainder) {
  struct Case {
    float dt;
    int steps;
    float carry;
  };
  // 0.2 s: one step, the surplus whole steps dropped; 0.05 s: one step carrying ~1/60 s;
  // then 0.02 s brings the carry past 1/30 again.
  const Case cases[] = {{0.2f, 1, 0.2f - 6 * vek::kFixedStep}, {0.05f, 1, 0.05f - vek::kFixedStep},
                        {0.02f, 1, 0.05f + 0.02f - 2 * vek::kFixedStep}, {0.01f, 0, 0.0f}};
  vek::SetStepAccumulator(0.0f);
  int total = 0;
  for (const Case& c : cases) {
    if (c.steps == 0) vek::SetStepAccumulator(0.0f);
    game->SetFrameTime(c.dt);
    game->Frame();
    total += c.steps;
    EXPECT_EQ(probe->steps, total) << "dt " << c.dt;
    if (c.steps) {
      EXPECT_NEAR(vek::GetStepAccumulator(), c.carry, 1e-5) << "dt " << c.dt;
    }
    EXPECT_LT(vek::GetStepAccumulator(), vek::kFixedStep);
    EXPECT_FLOAT_EQ(probe->lastDt, c.dt);
  }
}

TEST_F(GameLoop, PausedWidgetIsDrawnButNotSteppedOrUpdated) {
  game->PauseWidget(true);
  game->PauseWidget(true);
  game->SetFrameTime(0.1f);
  game->Frame();
  EXPECT_EQ(probe->renders, 1);
  EXPECT_EQ(probe->steps, 0);
  EXPECT_EQ(probe->updates, 0);
  game->PauseWidget(false);
  game->PauseWidget(false);
  game->PauseWidget(false);  // below 0 stays 0
  EXPECT_EQ(game->GetPauseCount(), 0);
  game->Frame();
  EXPECT_EQ(probe->updates, 1);
}

TEST_F(GameLoop, FocusChanges) {
  auto* other = new ProbeWidget("island");
  game->PauseWidget(true);
  game->SetFocusWidget("garden");  // already focused: warns, keeps the pause counter
  EXPECT_EQ(game->GetPauseCount(), 1);
  EXPECT_NE(LogText().find("Widget with name &#39;garden&#39; is focused already."),
            std::string::npos);
  game->SetFocusWidget("island");  // another one: the counter resets
  EXPECT_EQ(game->GetPauseCount(), 0);
  EXPECT_EQ(probe->deactivations, 1);
  EXPECT_EQ(other->activations, 1);
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
  game->SetFocusWidget("nowhere");  // unknown: nothing keeps the focus
  EXPECT_EQ(game->GetFocusWidget(), nullptr);
  EXPECT_EQ(game->GetFocusWidgetName(), "");
  EXPECT_EQ(other->deactivations, 1);
  EXPECT_NE(LogText().find("Widget with name &#39;nowhere&#39; not found."), std::string::npos);
}

TEST_F(GameLoop, EventRouting) {
  // Screenshot key and the console keys (console disabled) reach nobody; the rest falls
  // through to the focused widget.
  input->Key(0xB7, true);
  input->Key(0x29, true);
  input->Key(0x94, true);
  input->Key(0x1E, true);
  input->Button(2, true);
  input->Wheel(1);
  game->Frame();
  const std::vector<std::pair<unsigned, unsigned>> expected = {{4, 2}, {7, 120}, {1, 0x1E}};
  EXPECT_EQ(probe->events, expected);

  // A paused widget gets no events.
  probe->events.clear();
  game->PauseWidget(true);
  input->Key(0x1E, false);
  game->Frame();
  EXPECT_TRUE(probe->events.empty());
  game->PauseWidget(false);

  // Characters come from the window's character messages.
  game->WindowProc(plat::Message{plat::MsgKind::Char, 'a', 0, 0});
  ASSERT_EQ(probe->events.size(), 1u);
  EXPECT_EQ(probe->events[0], std::make_pair(3u, unsigned('a')));

  EXPECT_EQ(vek::ButtonReleaseCode(0), 7u);
  EXPECT_EQ(vek::ButtonReleaseCode(1), 18u);
  EXPECT_EQ(vek::ButtonReleaseCode(2), 0u);
}

// Runs the main loop until the probe has seen the given number of frames, then quits.
class FrameCounter : public vek::cWidget {
 public:
  FrameCounter(plat::FixedOs* os, int frames, double frameSeconds)
      : vek::cWidget("counter"), m_Os(os), m_Left(frames), m_Seconds(frameSeconds) {}
  void Render() override {
    m_Os->Advance(m_Seconds);
    if (--m_Left == 0) vek::g_pGame->Exit(7);
  }
  void Update(float dt) override { dts.push_back(dt); }
  void Step() override { ++steps; }
  std::vector<float> dts;
  int steps = 0;

 private:
  plat::FixedOs* m_Os;
  int m_Left;
  double m_Seconds;
};

TEST_F(GameLoop, RunMeasuresFramesAndEndsWithTheQuitCode) {
  auto* counter = new FrameCounter(os, 5, 0.025);
  game->SetFocusWidget("counter");
  EXPECT_EQ(game->Run(), 7);
  // The first frame uses the time of the frame before: 0.
  ASSERT_EQ(counter->dts.size(), 5u);
  EXPECT_FLOAT_EQ(counter->dts[0], 0.0f);
  EXPECT_NEAR(counter->dts[1], 0.025f, 1e-6);
  EXPECT_NEAR(game->GetTotalTime(), 0.125f, 1e-5);
  EXPECT_NEAR(game->GetAverageFrameTime(), 0.125f / 100.0f, 1e-6);
}

// A frame that runs out of memory is logged and the loop goes on to its normal end.
class FailingFrame : public vek::cWidget {
 public:
  FailingFrame() : vek::cWidget("failing") {}
  void Render() override {
    if (++m_Frames == 2) throw std::bad_alloc();
    if (m_Frames == 4) vek::g_pGame->Exit(7);
  }

 private:
  int m_Frames = 0;
};

TEST_F(GameLoop, AFailingFrameIsLoggedAndTheLoopGoesOn) {
  new FailingFrame();
  game->SetFocusWidget("failing");
  EXPECT_EQ(game->Run(), 7);
  EXPECT_NE(LogText().find("frame failed: std::bad_alloc"), std::string::npos) << LogText();
}

TEST_F(GameLoop, InactiveWindowWaitsAndRestartsTheFrameClock) {
  auto* counter = new FrameCounter(os, 3, 0.5);
  game->SetFocusWidget("counter");
  // Focus lost, then found again while nothing else waits: the first frame after the wait
  // measures 0 although time passed.
  window->script.push_back(plat::Message{plat::MsgKind::Activate, 0, 0, 0});
  game->SetFrameTime(0.3f);
  game->WindowProc(plat::Message{plat::MsgKind::Activate, 0, 0, 0});
  EXPECT_FALSE(game->IsActive());
  EXPECT_TRUE(vek::GetSound()->IsPaused());
  window->script.clear();
  window->script.push_back(plat::Message{plat::MsgKind::Activate, 1, 0, 0});
  os->Advance(10.0);
  EXPECT_EQ(game->Run(), 7);
  ASSERT_GE(counter->dts.size(), 1u);
  EXPECT_FLOAT_EQ(counter->dts[0], 0.0f);
  EXPECT_TRUE(game->IsActive());
  ASSERT_NE(vek::GetSound(), nullptr);
  EXPECT_FALSE(vek::GetSound()->IsPaused());  // the sound output resumed with the focus
  const std::string log = LogText();
  EXPECT_NE(log.find("Window lose focus"), std::string::npos);
  EXPECT_NE(log.find("Window get focus"), std::string::npos);
}

TEST_F(GameLoop, FrameRateTimerAndSampleClamp) {
  auto* counter = new FrameCounter(os, 30, 0.05);
  game->SetFocusWidget("counter");
  game->Run();
  (void)counter;
  // 30 frames of 50 ms: the 500 ms timer fired at least twice; each half second holds 10 frames.
  EXPECT_EQ(game->GetFPS(), 20u);
}

// Frames that render quickly: the loop sleeps to the display's refresh (60 Hz when unknown),
// and the fixed logic step still runs 30 times a second of clock time.
TEST_F(GameLoop, QuickFramesArePacedToTheRefreshRate) {
  struct Case {
    bool pacing;
    std::uint32_t refresh;
    float frameSeconds;  // what each frame measures
  };
  const Case cases[] = {
      {true, 60, 1.0f / 60}, {true, 0, 1.0f / 60}, {true, 75, 1.0f / 75}, {false, 60, 0.005f}};
  for (const Case& c : cases) {
    window->desktop.refresh = c.refresh;
    window->SetFramePacing(c.pacing);
    vek::SetStepAccumulator(0.0f);
    auto* counter = new FrameCounter(os, 61, 0.005);
    game->SetFocusWidget("counter");
    EXPECT_EQ(game->Run(), 7);
    ASSERT_EQ(counter->dts.size(), 61u);
    // The first frames measure the time before the loop's first paced frame.
    float total = counter->dts[1];
    for (size_t i = 2; i < counter->dts.size(); ++i) {
      EXPECT_NEAR(counter->dts[i], c.frameSeconds, 1e-5) << c.refresh << " frame " << i;
      total += counter->dts[i];
    }
    EXPECT_NEAR(counter->steps, total * 30.0f, 1.0f) << c.refresh;
    delete counter;
  }
  window->SetFramePacing(true);
}

TEST_F(GameLoop, LongFrameSampleIsClampedButFrameTimeIsNot) {
  game->ResetFrameClock();
  os->Advance(0.01);
  game->UpdateFrameTime();
  os->Advance(1.0);
  game->UpdateFrameTime();
  EXPECT_NEAR(game->GetFrameTime(), 1.0f, 1e-6);
  // The sample vector was written at two positions after the run above; find the last two.
  const auto& s = game->GetFrameSamples();
  bool found = false;
  for (size_t i = 1; i < s.size(); ++i) {
    if (std::abs(s[i - 1] - 0.01f) < 1e-6 && std::abs(s[i] - 0.02f) < 1e-6) found = true;
  }
  EXPECT_TRUE(found);
}

TEST_F(GameLoop, WindowMessages) {
  // Close and end-session post a quit with code 0.
  game->WindowProc(plat::Message{plat::MsgKind::Close, 0, 0, 0});
  plat::Message m;
  ASSERT_TRUE(window->Peek(m));
  EXPECT_EQ(m.kind, plat::MsgKind::Quit);
  EXPECT_EQ(m.w, 0u);

  // A registered message id reaches its handler.
  game->GetMessageHandlers().push_back({0xC123, [](unsigned w, unsigned l) { return w + l; }});
  EXPECT_EQ(game->WindowProc(plat::Message{plat::MsgKind::User, 2, 3, 0xC123}), 5u);
  EXPECT_EQ(game->WindowProc(plat::Message{plat::MsgKind::User, 2, 3, 0x0123}), 0u);

  game->WindowProc(plat::Message{plat::MsgKind::Size, 0, (600u << 16) | 800u, 0});
  game->WindowProc(plat::Message{plat::MsgKind::DisplayChange, 32, (1080u << 16) | 1920u, 0});
  const std::string log = LogText();
  EXPECT_NE(log.find("Size of window was changed to 800x600, Window state is - 0X0"),
            std::string::npos);
  EXPECT_NE(log.find("Resolution of display was changed to 1920x1080x32"), std::string::npos);
}

TEST_F(GameLoop, ShutdownDeletesWidgetsTheGameLeft) {
  static int alive = 0;
  struct Counted : vek::cWidget {
    Counted() : vek::cWidget("left") { ++alive; }
    ~Counted() override { --alive; }
  };
  new Counted();
  new Counted();
  EXPECT_EQ(alive, 2);
  game->Shutdown();
  delete game;
  game = nullptr;
  EXPECT_EQ(alive, 0);
}

TEST_F(GameLoop, FrameDecidesOnceWhetherEventsReachTheFocusWidget) {
  // The first event's handler pauses the game: the rest of this frame's events still arrive,
  // the next frame's do not.
  struct Pauser : ProbeWidget {
    Pauser() : ProbeWidget("pauser") {}
    void OnEvent(unsigned type, unsigned param) override {
      ProbeWidget::OnEvent(type, param);
      if (events.size() == 1) vek::g_pGame->PauseWidget(true);
    }
  };
  auto* pauser = new Pauser();
  game->SetFocusWidget("pauser");
  input->Key(0x1E, true);
  input->Key(0x1F, true);
  game->Frame();
  EXPECT_EQ(pauser->events.size(), 2u);
  input->Key(0x20, true);
  game->Frame();
  EXPECT_EQ(pauser->events.size(), 2u);
}

// A windowed game: its device survives a focus switch, so frames draw right after one.
class WindowedGame : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
  }
};

TEST_F(WindowedGame, SystemPointerAfterAFocusSwitchFollowsWhatTheGuiDraws) {
  // A widget that draws the GUI, as the game's play field does.
  struct GuiDrawer : vek::cWidget {
    GuiDrawer() : vek::cWidget("drawer") {}
    void Render() override { vek::g_pGame->GetGUI()->Draw(); }
  };
  const plat::Message lose{plat::MsgKind::Activate, 0, 0, 0};
  const plat::Message gain{plat::MsgKind::Activate, 1, 0, 0};

  // Nothing draws the GUI (splash, loading): the system pointer shows after focus returns.
  game->Frame();
  game->WindowProc(lose);
  game->WindowProc(gain);
  game->Frame();
  EXPECT_TRUE(window->systemCursorShown);

  // An active GUI window draws the GUI's cursor: the system one hides, shows while the focus is
  // away, and hides again once the focus is back.
  new GuiDrawer();
  game->SetFocusWidget("drawer");
  auto* w = new vek::cWindow(game->GetGUI(), nullptr);
  w->SetName("w");
  w->SetActive(true);
  game->GetGUI()->ShowWindow("w");
  game->Frame();
  EXPECT_FALSE(window->systemCursorShown);
  game->WindowProc(lose);
  EXPECT_TRUE(window->systemCursorShown);
  game->WindowProc(gain);
  game->Frame();
  EXPECT_FALSE(window->systemCursorShown);

  // The focus widget goes away: the next frame draws no GUI, so the system pointer returns.
  game->SetFocusWidget("nowhere");
  game->Frame();
  EXPECT_TRUE(window->systemCursorShown);
}

}  // namespace
