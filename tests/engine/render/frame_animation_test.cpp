#include "engine/render/frame_animation.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

namespace {

using vek::cFrameAnimation;

struct Step {
  float dt;
  int advanced;  // what Update returns
  int frame;     // the frame afterwards
};

struct Case {
  const char* name;
  int count;
  float fps;
  unsigned mode;
  std::function<void(cFrameAnimation&)> setup;  // applied after Init (may be empty)
  std::vector<Step> steps;
  unsigned endMode;
};

// Rates of 8 and 10 frames per second: 0.125 s is exact, 0.1 s steps stay clear of the
// rounding edge.
TEST(FrameAnimation, ModesAsTable) {
  const auto at = [](int frame) { return [frame](cFrameAnimation& a) { a.m_Frame = frame; }; };
  const Case cases[] = {
      {"large dt keeps going", 10, 10, 3, nullptr, {{0.25f, 2, 2}, {0.06f, 1, 3}}, 3},
      {"loop forward wraps", 4, 8, 3, nullptr, {{0.75f, 6, 2}, {0.25f, 2, 0}}, 3},
      {"loop backward starts on the last frame", 4, 8, 4, nullptr, {{0.125f, 1, 2}, {0.25f, 2, 0}, {0.125f, 1, 3}}, 4},
      {"loop backward by the count comes back", 4, 8, 4, at(0), {{0.5f, 4, 0}}, 4},
      {"once forward stops on the last frame", 4, 8, 1, at(2), {{0.625f, 5, 3}, {1.0f, 0, 3}}, 0},
      // Landing on the last frame keeps the mode; the next frame's worth of time stops it.
      {"once forward onto the last frame", 4, 8, 1, nullptr, {{0.25f, 2, 2}, {0.125f, 1, 3}, {0.125f, 1, 3}}, 0},
      {"once backward stops on frame 0", 4, 8, 2, nullptr, {{0.25f, 2, 1}, {0.625f, 5, 0}}, 0},
      {"ping-pong turns at both ends", 3, 8, 5, nullptr,
       {{0.125f, 1, 1}, {0.125f, 1, 2}, {0.125f, 1, 1}, {0.125f, 1, 0}, {0.125f, 1, 1}}, 5},
      {"ping-pong with two frames", 2, 8, 5, nullptr, {{0.125f, 1, 1}, {0.125f, 1, 0}, {0.375f, 3, 1}}, 5},
      {"ping-pong several frames at once", 4, 8, 5, nullptr, {{0.625f, 5, 1}}, 5},
      {"one frame never advances", 1, 8, 3, nullptr, {{10.0f, 0, 0}}, 3},
      {"stopped does not advance", 4, 8, 0, nullptr, {{10.0f, 0, 0}}, 0},
      {"less than a frame waits", 4, 8, 3, nullptr, {{0.1f, 0, 0}, {0.03f, 1, 1}}, 3},
      {"zero rate never advances", 4, 0, 3, nullptr, {{100.0f, 0, 0}}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cFrameAnimation a;
    a.Init(c.count, c.fps, c.mode);
    if (c.setup) c.setup(a);
    for (const Step& s : c.steps) {
      EXPECT_EQ(a.Update(s.dt), s.advanced);
      EXPECT_EQ(a.m_Frame, s.frame);
    }
    EXPECT_EQ(a.m_Mode, c.endMode);
  }
}

TEST(FrameAnimation, LargeDtKeepsTheRemainder) {
  cFrameAnimation a;
  a.Init(10, 10.0f, cFrameAnimation::e_LoopForward);
  EXPECT_EQ(a.Update(0.25f), 2);
  EXPECT_NEAR(a.m_Elapsed, 0.05f, 1e-6f);

  // A stopping once mode drops the remainder.
  a.Init(4, 8.0f, cFrameAnimation::e_OnceForward);
  a.Update(0.7f);
  EXPECT_EQ(a.m_Elapsed, 0.0f);
}

TEST(FrameAnimation, HugeDtIsBoundedAndStaysInRange) {
  for (unsigned mode = 1; mode <= 5; ++mode) {
    SCOPED_TRACE(mode);
    cFrameAnimation a;
    a.Init(5, 30.0f, mode);
    EXPECT_EQ(a.Update(1e9f), std::numeric_limits<int>::max());
    EXPECT_GE(a.m_Frame, 0);
    EXPECT_LE(a.m_Frame, 4);
    EXPECT_LT(a.m_Elapsed, a.m_FrameTime);
  }
  // 8000 ping-pong steps over 3 frames are 2000 whole rounds.
  cFrameAnimation p;
  p.Init(3, 8.0f, cFrameAnimation::e_PingPong);
  EXPECT_EQ(p.Update(1000.0f), 8000);
  EXPECT_EQ(p.m_Frame, 0);
  EXPECT_EQ(p.m_Direction, 1);
}

TEST(FrameAnimation, SetModeDirectionAndRestart) {
  cFrameAnimation a;
  a.Init(6, 10.0f, cFrameAnimation::e_OnceBackward);
  EXPECT_EQ(a.m_Frame, 5);
  EXPECT_EQ(a.m_Direction, -1);

  a.m_Frame = 3;
  a.m_Elapsed = 0.05f;
  a.SetMode(cFrameAnimation::e_LoopForward, false);  // keeps frame and time
  EXPECT_EQ(a.m_Direction, 1);
  EXPECT_EQ(a.m_Frame, 3);
  EXPECT_EQ(a.m_Elapsed, 0.05f);

  a.SetMode(cFrameAnimation::e_Stop, false);  // drops the time, keeps the frame
  EXPECT_EQ(a.m_Frame, 3);
  EXPECT_EQ(a.m_Elapsed, 0.0f);
  a.SetMode(cFrameAnimation::e_Stop, true);
  EXPECT_EQ(a.m_Frame, 0);

  a.m_Direction = -1;
  a.SetMode(cFrameAnimation::e_PingPong, false);  // direction stays
  EXPECT_EQ(a.m_Direction, -1);
  a.SetMode(cFrameAnimation::e_PingPong, true);
  EXPECT_EQ(a.m_Direction, 1);

  cFrameAnimation empty;
  empty.Init(0, 10.0f, cFrameAnimation::e_LoopBackward);
  EXPECT_EQ(empty.m_Frame, 0);

  cFrameAnimation unknown;  // a mode above 5 is stored only
  unknown.Init(4, 10.0f, 7);
  EXPECT_EQ(unknown.m_Mode, 7u);
  EXPECT_EQ(unknown.m_Frame, 0);
  EXPECT_EQ(unknown.m_Direction, 1);
}

TEST(FrameAnimation, PingPongFromAStoppedBackwardAnimationStaysInRange) {
  // A once-backward animation ends on frame 0 with direction -1; switching to ping-pong
  // without restart turns round instead of walking below frame 0.
  cFrameAnimation a;
  a.Init(3, 8.0f, cFrameAnimation::e_OnceBackward);
  a.Update(1.0f);
  ASSERT_EQ(a.m_Frame, 0);
  ASSERT_EQ(a.m_Direction, -1);
  a.SetMode(cFrameAnimation::e_PingPong, false);
  std::vector<int> frames;
  for (int i = 0; i < 5; ++i) {
    a.Update(0.125f);
    frames.push_back(a.m_Frame);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 1, 0, 1}));
}

}  // namespace
