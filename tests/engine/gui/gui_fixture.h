#pragma once
// The engine with its window open at 1024 x 768 and its GUI, for the GUI tests; `log` collects
// what recording window functions see.
#include <gtest/gtest.h>

#include <vector>

#include "engine/app/game.h"
#include "tests/engine/gui/gui_probe.h"
#include "tests/support/engine_fixture.h"

namespace vektest {

class GuiFixture : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
    game->OnResize(1024, 768);
    gui = game->GetGUI();
    ASSERT_NE(gui, nullptr);
  }

  // The logged messages of one code, in order.
  std::vector<WndMsg> Messages(vek::u32 message) const {
    std::vector<WndMsg> out;
    for (const WndMsg& m : log)
      if (m.message == message) out.push_back(m);
    return out;
  }

  // Moves the pointer to a GUI point through the GUI's routing.
  void MoveTo(int x, int y) { gui->OnMouseMove(x, 768 - y); }

  vek::cGUI* gui = nullptr;
  std::vector<WndMsg> log;
};

// The same with an active window "w" whose function records into `log`.
class GuiWindowFixture : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    if (HasFatalFailure()) return;
    wnd = new vek::cWindow(gui, new RecordingFunction(&log));
    wnd->SetName("w");
    wnd->SetActive(true);
  }

  vek::cWindow* wnd = nullptr;
};

}  // namespace vektest
