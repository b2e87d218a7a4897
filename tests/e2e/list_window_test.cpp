// A window of lists described by a Lua file, driven by scripted mouse records through the
// engine's frame: its script window function gets the list notifications in order, each at
// once (before any GUI update runs).
#include <gtest/gtest.h>
#include <lua.hpp>

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/toolbar_sys_ctrl.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "engine/script/script.h"
#include "tests/support/script_engine_fixture.h"

namespace {

class ListWindowE2E : public vektest::EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
    game->OnResize(1024, 768);
    new vek::cWidget("menu");
    game->SetFocusWidget("menu");
    const std::string text = vektest::ReadFileText(std::string(VEK_SOURCE_DIR) + "/tests/e2e/lua/list_window.lua");
    ASSERT_TRUE(vek::GetScript()->DoString(text, "@list_window.lua")) << LogText();
  }
  // Frames without time: input is routed, but no GUI update runs.
  void MoveTo(int x, int y) {
    window->cursorX = x;
    window->cursorY = 768 - y;
    input->MouseMove(1, 0);
    game->SetFrameTime(0.0f);
    game->Frame();
  }
  void Click() {
    for (bool down : {true, false}) {
      input->Button(0, down);
      game->SetFrameTime(0.0f);
      game->Frame();
    }
  }
  std::vector<std::string> Received() { return vektest::LuaStrings(vek::GetScript()->GetState(), "received"); }
};

TEST_F(ListWindowE2E, ListsNotifyTheScriptAtOnceInOrder) {
  vek::cGUI* gui = game->GetGUI();
  vek::cWindow* wnd = gui->GetWindow("lists");
  ASSERT_NE(wnd, nullptr);
  // Scripts do not reach single cells: the third tool is switched off here.
  auto* tools = dynamic_cast<vek::cToolbarSysCtrl*>(wnd->GetControl(wnd->FindControl("tools")));
  ASSERT_NE(tools, nullptr);
  tools->GetItem(2)->EnableState(vek::cCtrl::e_Disabled);
  window->cursorX = 10;
  window->cursorY = 10;
  ASSERT_TRUE(vek::GetScript()->DoString("theGUI:ShowWindow('lists')", "=test"));

  // Text list: rows 20 high from y 440 down; a click selects, another row takes it over.
  MoveTo(150, 450);  // apple
  Click();
  MoveTo(150, 430);  // pear
  Click();
  Click();  // the selected row again: nothing
  ASSERT_TRUE(vek::GetScript()->DoString(
      "local l = theGUI:GetWindow('lists'):GetControl(1) l:EnsureVisible(4) first = l:GetFirstVisible()", "=test"));
  MoveTo(150, 410);  // now the bottom row shows the fifth item, quince
  Click();
  // Toolbar: each click tells the window at once; the disabled tool says nothing.
  MoveTo(116, 216);
  Click();
  EXPECT_EQ(Received().back(), "53:0:tools");  // before any update ran
  EXPECT_EQ(gui->GetQueuedCount(), 0u);
  MoveTo(180, 216);
  Click();
  MoveTo(212, 216);
  Click();
  // Icon grid with multiple selection: clicks toggle the cells.
  MoveTo(440, 440);  // top right
  Click();
  MoveTo(410, 410);  // bottom left
  Click();
  MoveTo(440, 440);
  Click();
  MoveTo(420, 220);  // the bare list
  MoveTo(700, 700);
  for (int i = 0; i < 3; ++i) {
    game->SetFrameTime(vek::kFixedStep);
    game->Frame();
  }

  const std::vector<std::string> expected = {
      "32:0:fruit",   "53:0:fruit:true",  "53:0:fruit:false", "53:1:fruit:true", "53:1:fruit:false",
      "53:4:fruit:true",  "33:0:fruit",   "32:0:tools",       "53:0:tools",      "53:3:tools",
      "33:0:tools",   "32:0:icons",       "53:1:icons:true",  "53:2:icons:true", "53:1:icons:false",
      "33:0:icons",   "32:0:bare",        "33:0:bare",
  };
  EXPECT_EQ(Received(), expected);
  lua_State* L = vek::GetScript()->GetState();
  lua_getglobal(L, "first");
  EXPECT_EQ(lua_tointeger(L, -1), 2);
  lua_pop(L, 1);
}

}  // namespace
