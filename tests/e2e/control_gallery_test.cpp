// The window file with one control of every class, made as the game makes window files and
// driven by scripted mouse and character input through the engine's frame: a script window
// function logs every control notification, in the order the controls send or post them.
#include <gtest/gtest.h>
#include <lua.hpp>

#include <set>

#include "engine/app/game.h"
#include "engine/core/path_tokens.h"
#include "engine/files/filename.h"
#include "engine/gui/button_sys_ctrl.h"
#include "engine/gui/check_box_sys_ctrl.h"
#include "engine/gui/edit_sys_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_list_sys_ctrl.h"
#include "engine/gui/list_sys_ctrl.h"
#include "engine/gui/slider_sys_ctrl.h"
#include "engine/gui/toolbar_sys_ctrl.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "engine/script/script.h"
#include "tests/support/script_engine_fixture.h"
#include "tests/support/system_look.h"

namespace {

class ControlGalleryE2E : public vektest::EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
    game->OnResize(1024, 768);
    vek::SetPathToken(vek::e_StaticPath, std::string(VEK_TEST_BIN_DIR) + "/data");
    ASSERT_TRUE(vektest::LoadSystemLook());
    new vek::cWidget("menu");  // its default drawing is the GUI's
    game->SetFocusWidget("menu");
    const std::string text = vektest::ReadFileText(std::string(VEK_SOURCE_DIR) + "/tests/e2e/lua/notification_logger.lua");
    ASSERT_TRUE(vek::GetScript()->DoString(text, "@notification_logger.lua"));
    // As the game loads a window file: a named window with its function, the file, its
    // FillWindow, then e_wndAfterCreate.
    ASSERT_TRUE(vek::GetScript()->DoString(
        "local w = cWindow(theGUI, NotificationLogger()) w:SetName('gallery') w:SetActive(true)", "=test"));
    ASSERT_TRUE(vek::GetScript()->LoadFile("{StaticPath}/gui/control_gallery.lua"));
    ASSERT_TRUE(vek::GetScript()->DoString("FillWindow(theGUI:GetWindow('gallery'))", "=test"));
    gui = game->GetGUI();
    wnd = gui->GetWindow("gallery");
    ASSERT_NE(wnd, nullptr);
    gui->SendMessage(wnd->GetID(), vek::e_wndAfterCreate, 0, 0);
    window->cursorX = 10;
    window->cursorY = 10;
    ASSERT_EQ(gui->ShowWindow("gallery"), 0);
  }
  void Frame() {
    game->SetFrameTime(vek::kFixedStep);  // a fixed step each frame: posted messages arrive in it
    game->Frame();
  }
  // Scripted input: the pointer to a GUI point, the left button, a typed character.
  void MoveTo(int x, int y) {
    window->cursorX = x;
    window->cursorY = 768 - y;
    input->MouseMove(1, 0);
    Frame();
  }
  void Button(bool down) {
    input->Button(0, down);
    Frame();
  }
  void Type(char c) {
    game->WindowProc(plat::Message{plat::MsgKind::Char, static_cast<unsigned char>(c), 0, 0});
    Frame();
  }
  std::vector<std::string> Notes() { return vektest::LuaStrings(vek::GetScript()->GetState(), "notes"); }
  template <class T>
  T* Find(const char* name) {
    return dynamic_cast<T*>(wnd->GetControl(wnd->FindControl(name)));
  }

  vek::cGUI* gui = nullptr;
  vek::cWindow* wnd = nullptr;
};

TEST_F(ControlGalleryE2E, EveryControlNotifiesAsItShould) {
  MoveTo(204, 240);  // onto the button
  Button(true);
  Button(false);     // a click
  Button(true);
  MoveTo(700, 150);  // pressed, then left: no click
  Button(false);
  MoveTo(315, 240);  // the check box toggles on the press
  Button(true);
  Button(false);
  MoveTo(200, 306);  // the edit field: focus, three characters and Enter
  Button(true);
  Button(false);
  for (char c : std::string("Ann\r")) Type(c);
  MoveTo(314, 358);  // the slider's thumb: the edit field loses the focus
  Button(true);
  MoveTo(229, 358);  // dragged to a quarter
  Button(false);
  MoveTo(300, 480);  // the text box, the progress bar, the image and the two labels
  MoveTo(200, 410);
  MoveTo(160, 576);
  MoveTo(250, 576);
  MoveTo(512, 634);
  MoveTo(600, 540);  // the text list's first row: selected
  Button(true);
  Button(false);
  MoveTo(600, 516);  // its second row: the first loses the selection, then this one gains it
  Button(true);
  Button(false);
  MoveTo(588, 348);  // the second icon of the grid, toggled on and off
  for (int i = 0; i < 2; ++i) {
    Button(true);
    Button(false);
  }
  MoveTo(800, 348);  // the third tool: told at once, nothing selected
  Button(true);
  Button(false);
  MoveTo(560, 220);  // a list without rows
  Button(true);
  Button(false);
  MoveTo(700, 150);

  const std::vector<std::string> expected = {
      "32:0:ok",      "48:0:ok",          // press and release on the button
      "33:0:ok",                          // left while pressed: nothing more
      "32:0:music",   "49:1:music",       // toggled on the press
      "33:0:music",   "32:0:name",
      "50:0:name",    "50:0:name",    "50:0:name", "35:0:name",
      "33:0:name",    "32:0:volume",  "52:0:name",  // the press moves the focus to the slider
      "51:25:volume",
      "33:0:volume",  "32:0:note",
      "33:0:note",    "32:0:growth",
      "33:0:growth",  "32:0:icon",
      "33:0:icon",    "32:0:caption",
      "33:0:caption", "32:0:title",
      "33:0:title",   "32:0:fruit",   "53:0:fruit",
      "53:0:fruit",   "53:1:fruit",
      "33:0:fruit",   "32:0:seeds",   "53:1:seeds", "53:1:seeds",
      "33:0:seeds",   "32:0:tools",   "53:2:tools",
      "33:0:tools",   "32:0:bare",
      "33:0:bare",
  };
  EXPECT_EQ(Notes(), expected);
  EXPECT_EQ(Find<vek::cEditSysCtrl>("name")->GetText(), "Ann");
  EXPECT_TRUE(Find<vek::cCheckBoxSysCtrl>("music")->IsChecked());
  EXPECT_FLOAT_EQ(Find<vek::cSliderSysCtrl>("volume")->GetValue(), 25.0f);
  EXPECT_FALSE(Find<vek::cButtonSysCtrl>("ok")->IsPressed());
  EXPECT_EQ(Find<vek::cListSysCtrl>("fruit")->GetSelectedItem(0), 1u);
  EXPECT_FALSE(Find<vek::cImageListSysCtrl>("seeds")->IsSelectedItem(1));
  EXPECT_EQ(Find<vek::cToolbarSysCtrl>("tools")->GetSelectedItem(0), 4u);
}

TEST_F(ControlGalleryE2E, TheWindowHoldsEveryControlClass) {
  std::set<std::string> classes;
  for (unsigned id = 1; id < wnd->GetControlCount(); ++id) classes.insert(wnd->GetControl(id)->GetClassName());
  const std::set<std::string> expected = {
      "cCtrl",           "cImageCtrl",          "cLabelCtrl",        "cFrameCtrl",     "cSliderCtrl",
      "cEditCtrl",       "cLabelSysCtrl",       "cTextBoxSysCtrl",   "cProgressBarSysCtrl",
      "cSliderSysCtrl",  "cEditSysCtrl",        "cButtonSysCtrl",    "cCheckBoxSysCtrl",
      "cListCtrl",       "cListSysCtrl",        "cImageListSysCtrl", "cToolbarSysCtrl",
  };
  EXPECT_EQ(classes, expected);
}

}  // namespace
