// A window described by a Lua file, driven by scripted mouse and key records through the
// engine's frame, reaches its script window function with the window messages in order.
#include <gtest/gtest.h>
#include <lua.hpp>

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/script/script.h"
#include "tests/support/script_engine_fixture.h"

namespace {

class GuiWindowE2E : public vektest::EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
    game->OnResize(1024, 768);
    new vek::cWidget("menu");  // its default drawing is the GUI's
    game->SetFocusWidget("menu");
    const std::string text = vektest::ReadFileText(std::string(VEK_SOURCE_DIR) + "/tests/e2e/lua/logging_window.lua");
    ASSERT_TRUE(vek::GetScript()->DoString(text, "@logging_window.lua"));
  }
  void Frame(float dt = 0.0f) {
    game->SetFrameTime(dt);
    game->Frame();
  }
  // The messages the script logged, paint and timer messages counted apart.
  std::vector<std::string> Received(int* paints = nullptr, int* timers = nullptr) {
    std::vector<std::string> out;
    for (const std::string& entry : vektest::LuaStrings(vek::GetScript()->GetState(), "received")) {
      if (entry.rfind("1:", 0) == 0) {
        if (paints) ++*paints;
      } else if (entry.rfind("2:", 0) == 0) {
        if (timers) ++*timers;
      } else {
        out.push_back(entry);
      }
    }
    return out;
  }
  static std::string Pos(int x, int y) { return std::to_string(vek::PackPosition(x, y)); }
};

TEST_F(GuiWindowE2E, ScriptWindowFunctionGetsTheSpecifiedMessages) {
  vek::cGUI* gui = game->GetGUI();
  const unsigned id = gui->FindWindow("logging");
  ASSERT_NE(id, 0u);
  gui->SendMessage(id, vek::e_wndAfterCreate, 0, 0);  // as the game does after the script
  // The pointer rests on the picture (client 150, 600 = GUI 150, 168) when the window opens.
  window->cursorX = 150;
  window->cursorY = 600;
  ASSERT_TRUE(vek::GetScript()->DoString("theGUI:ShowWindow('logging')", "=test"));

  window->cursorX = 160;
  input->MouseMove(10, 0);
  Frame();
  EXPECT_FALSE(window->systemCursorShown);  // the GUI's cursor is drawn in its place
  input->Button(0, true);
  Frame();
  input->Button(0, false);
  Frame();
  input->Key(0x1E, true);
  Frame();
  input->Key(0x1E, false);
  Frame();
  game->WindowProc(plat::Message{plat::MsgKind::Char, 'q', 0, 0});
  for (int i = 0; i < 20; ++i) Frame(vek::kFixedStep);
  ASSERT_TRUE(vek::GetScript()->DoString("theGUI:HideWindow('logging')", "=test"));
  Frame(vek::kFixedStep);

  int paints = 0, timers = 0;
  const std::vector<std::string> expected = {
      "8:0:0",  "12:0:0", "10:0:0", "15:0:0", "5:0:" + Pos(150, 168), "32:0:2",  // enter the picture
      "5:0:" + Pos(160, 168), "6:0:" + Pos(160, 168), "7:0:" + Pos(160, 168),
      "3:30:0", "13:30:0", "4:113:0",
      "19:0:2",  // hover after half a second of timer messages
      "11:0:0", "16:0:0", "33:0:2", "14:0:0",
  };
  EXPECT_EQ(Received(&paints, &timers), expected);
  EXPECT_EQ(paints, 25);  // one per frame while shown
  EXPECT_EQ(timers, 20);  // queued each step while shown, delivered one step later
  EXPECT_FALSE(gui->IsWindowShown("logging"));
  EXPECT_TRUE(window->systemCursorShown);  // no GUI cursor drawn any more
}

}  // namespace
