// The main loop on the real window and clock: a screen where nothing moves is drawn no more
// often than the display shows frames (60 a second on the offscreen driver, which reports no
// refresh rate).
#include <gtest/gtest.h>

#include <chrono>

#include "engine/gui/widget.h"
#include "platform/os.h"
#include "tests/support/gl_game_fixture.h"

namespace {

// Draws the GUI like any screen, counts its frames and ends the loop after `seconds`.
class CountingScreen : public vek::cWidget {
 public:
  explicit CountingScreen(double seconds) : vek::cWidget("menu"), m_Seconds(seconds) {}
  void Render() override {
    vek::cWidget::Render();
    if (frames++ == 0) m_Start = std::chrono::steady_clock::now();
    if (std::chrono::steady_clock::now() - m_Start >= std::chrono::duration<double>(m_Seconds))
      vek::g_pGame->Exit(0);
  }
  int frames = 0;

 private:
  double m_Seconds;
  std::chrono::steady_clock::time_point m_Start;
};

class FramePacingGL : public vektest::GLGameFixture {
 protected:
  FramePacingGL() : GLGameFixture("Frame pacing") {}
};

TEST_F(FramePacingGL, AStillScreenIsDrawnAtMostAtTheRefreshRate) {
  plat::SetOs(nullptr);  // the real clock and sleep
  auto* screen = new CountingScreen(1.0);
  game->SetFocusWidget("menu");
  EXPECT_EQ(game->Run(), 0);
  // One second after the first frame: 60 more at the most. A busy machine may draw far fewer,
  // so only the upper bound is the test.
  EXPECT_LE(screen->frames, 62);
}

}  // namespace
