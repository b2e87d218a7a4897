// Real SDL events, pushed into SDL's queue, through the window's pump and the SDL input back end
// to the engine's input manager.
#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/input/input.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {

using Events = std::vector<std::pair<int, int>>;

class SdlInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetInputBackend(nullptr);
    plat::SetWindow(nullptr);
    ASSERT_TRUE(vek::CreateInput());
    ASSERT_TRUE(plat::GetWindow().Open("input", true, 640, 480));
    Pump();
    vek::g_pInput->Update(nullptr);  // whatever the window's opening produced
  }
  void TearDown() override {
    vek::DestroyInput();
    plat::GetWindow().Shutdown();
    plat::SetWindow(nullptr);
    plat::SetInputBackend(nullptr);
  }

  static void Pump() {
    plat::Message msg;
    for (int i = 0; i < 1000 && plat::GetWindow().Peek(msg);) ++i;
  }

  static void Key(SDL_Scancode s, bool down, bool repeat = false) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = s;
    e.key.keysym.sym = SDL_GetKeyFromScancode(s);
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  static void Motion(int x, int y, int dx, int dy) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  static void Button(Uint8 button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  static void Wheel(int y, bool flipped = false) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = y;
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }

  static Events Poll() {
    Pump();
    vek::InputEventList list;
    vek::g_pInput->Update(&list);
    Events out;
    for (const vek::InputEvent& e : list) out.emplace_back(e.type, e.param);
    return out;
  }
};

TEST_F(SdlInputTest, PushedEventsBecomeRecords) {
  ASSERT_EQ(vek::g_pInput->GetMice().size(), 1u);
  ASSERT_EQ(vek::g_pInput->GetKeyboards().size(), 1u);

  // A held key gives one press: the repeats and a doubled press give nothing.
  Key(SDL_SCANCODE_A, true);
  Key(SDL_SCANCODE_A, true, true);
  Key(SDL_SCANCODE_A, true);
  Key(SDL_SCANCODE_GRAVE, true);
  Key(SDL_SCANCODE_KP_00, true);  // no code: nothing
  // Moves: one record per axis, and moves that follow each other add up.
  Motion(100, 50, 3, -2);
  Motion(101, 50, 1, 0);
  Button(SDL_BUTTON_RIGHT, true);
  Motion(101, 60, 0, 10);
  Button(SDL_BUTTON_X2, true);  // the layout has four buttons
  Wheel(1);
  Wheel(-2);
  Wheel(1, true);
  EXPECT_EQ(Poll(), (Events{{6, 4},
                            {6, static_cast<int>(0xFFFE0000u)},
                            {4, 1},
                            {6, 10 << 16},
                            {7, 120},
                            {7, -240},
                            {7, -120},
                            {1, 0x1E},
                            {1, 0x29}}));
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyDown, 0x1E), 1.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_MouseDown, 1), 1.0f);

  // The real cursor position, in client pixels.
  std::int32_t x = 0, y = 0;
  EXPECT_TRUE(vek::GetCursorClientPos(&x, &y));
  EXPECT_EQ(x, 101);
  EXPECT_EQ(y, 60);

  // Releases, once each; the states follow even without an event list.
  Key(SDL_SCANCODE_A, false);
  Key(SDL_SCANCODE_A, false);
  Button(SDL_BUTTON_RIGHT, false);
  Button(SDL_BUTTON_RIGHT, false);
  Key(SDL_SCANCODE_PRINTSCREEN, true);
  EXPECT_EQ(Poll(), (Events{{5, 1}, {2, 0x1E}, {1, 0xB7}}));
  Key(SDL_SCANCODE_GRAVE, false);
  Pump();
  vek::g_pInput->Update(nullptr);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyUp, 0x29), 1.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_MouseUp, 1), 1.0f);
  EXPECT_TRUE(Poll().empty());
}

TEST_F(SdlInputTest, ManyMovesAndKeysSplitOverFramesInOrder) {
  // Twenty key presses: sixteen now, four in the next frame.
  const SDL_Scancode keys[] = {SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R,
                               SDL_SCANCODE_T, SDL_SCANCODE_Y, SDL_SCANCODE_U, SDL_SCANCODE_I,
                               SDL_SCANCODE_O, SDL_SCANCODE_P, SDL_SCANCODE_A, SDL_SCANCODE_S,
                               SDL_SCANCODE_D, SDL_SCANCODE_F, SDL_SCANCODE_G, SDL_SCANCODE_H,
                               SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L, SDL_SCANCODE_Z};
  for (SDL_Scancode s : keys) Key(s, true);
  const Events first = Poll();
  const Events second = Poll();
  ASSERT_EQ(first.size(), 16u);
  ASSERT_EQ(second.size(), 4u);
  EXPECT_EQ(first.front(), std::make_pair(1, 0x10));
  EXPECT_EQ(second.front(), std::make_pair(1, 0x1E + 6));  // J
  EXPECT_EQ(second.back(), std::make_pair(1, 0x2C));       // Z
  EXPECT_TRUE(Poll().empty());
}

}  // namespace
