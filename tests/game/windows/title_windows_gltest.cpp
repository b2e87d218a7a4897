// Every title window drawn by the engine's frame on the real OpenGL device in the game's own
// look, over a plain garden backdrop, saved under build/screenshots/ to be looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "engine/script/script.h"
#include "engine/gui/cursor.h"
#include "engine/gui/edit_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/list_sys_ctrl.h"
#include "engine/gui/slider_ctrl.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "game/app/window_host.h"
#include "game/windows/title_windows.h"
#include "game/windows/windows_bindings.h"
#include "platform/gfx.h"
#include "tests/support/sprite_sheets.h"
#include "tests/support/gl_game_fixture.h"
#include "tests/support/system_look.h"
#include "tests/support/image_compare.h"

namespace {

using vek::u8;

const std::string kShots = std::string(VEK_TEST_BIN_DIR) + "/../screenshots";

// A sky over green hills: what stands behind the menus until the island map draws there.
class Backdrop : public vek::cWidget {
 public:
  using vek::cWidget::cWidget;
  void Render() override {
    vek::g_pRender->SetClearColor(0.56f, 0.83f, 0.96f, 1.0f);
    vek::g_pRender->Clear(plat::gfx::kClearTarget, 1.0f);
    vek::cWidget::Render();
  }
};

class TitleWindowsGL : public vektest::GLGameFixture {
 protected:
  TitleWindowsGL() : GLGameFixture("title windows gl test") {}

  void SetUp() override {
    GLGameFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(vektest::LoadSystemLook());
    for (const char* name : {"title_panel", "title_button", "title_check", "title_slider", "title_field",
                             "title_select", "title_logo", "icon_error", "icon_info", "icon_warning",
                             "icon_question", "icon_head"})
      ASSERT_TRUE(LoadTexture(std::string("{StaticPath}/texture/title/") + name + ".png", name)) << name;
    for (const char* font : {"menu_header", "menu_text"}) {
      ASSERT_TRUE(LoadTexture(std::string("{StaticPath}/texture/fonts/") + font + ".png", font));
      ASSERT_TRUE(vek::GetScript()->LoadFile(vek::filename(std::string("{StaticPath}/texture/fonts/") + font + ".lua")));
    }
    RegisterGameWindows(vek::GetScript()->GetState());
    host = std::make_unique<cWindowHost>();
    CreateTitleWindows(host.get());
    gui = game->GetGUI();
    new Backdrop("island");
    game->SetFocusWidget("island");
    host->SetCursor("pointer");
    std::filesystem::create_directories(kShots);
  }

  void TearDown() override {
    GLGameFixture::TearDown();
    host.reset();
  }

  static bool LoadTexture(const std::string& path, const char* name) {
    vek::cImage image;
    // A picture on a shared page: the page, with its parts.
    if (vek::cDataManager::ReadImage(vek::filename(path), &image) != 0) return vektest::LoadPageOf(path);
    (new vek::cTexture(name, false, &image))->OnCreateContext();
    return true;
  }

  void Settle() {
    for (int i = 0; i < 30; ++i) gui->Update(vek::kFixedStep);
  }

  // Draws a frame with the pointer at a GUI point and saves it as <name>.png.
  void Shot(const std::string& name, float x, float y) {
    // The pointer moves there as the player's would, once the windows have faded in or out:
    // what it is over shows its hover picture.
    Settle();
    gui->OnMouseMove(static_cast<int>(x), 768 - static_cast<int>(y));
    Settle();
    gui->GetCursor()->SetPos(x, y);
    game->Frame();
    vek::i32 rect[4] = {};
    std::unique_ptr<u8[]> frame = vek::g_pRender->ReadFrontBuffer(rect);
    ASSERT_NE(frame, nullptr);
    vektest::SaveScreenshot(frame.get(), rect[2], rect[3], name);
  }

  template <class T>
  T* Control(const char* window, const char* name) {
    vek::cWindow* w = gui->GetWindow(window);
    return dynamic_cast<T*>(w->GetControl(w->FindControl(name)));
  }

  std::unique_ptr<cWindowHost> host;
  vek::cGUI* gui = nullptr;
};

TEST_F(TitleWindowsGL, EveryWindowOnTheScreen) {
  // First start: the main menu opens the empty profile list and the name entry.
  host->SwitchWindow("main", 1);
  Control<vek::cEditCtrl>("profile_add", "name")->SetText("Ann");
  Shot("title_profile_add", 620, 300);
  gui->HideWindow("profile_add");
  for (const char* name : {"Ann", "Bob", "Chloe", "Dmitri"}) {
    cPlayer* p = host->Players().CreatePlayer(name);
    ASSERT_NE(p, nullptr);
    host->Players().AddPlayer(p);
  }
  host->Players().ChangePlayer("Chloe");
  host->SwitchWindow("profile_select", 1);
  Shot("title_profile_select", 420, 400);

  // The question before a profile is deleted: the warning with the player's head beside it.
  gui->GetWindow("profile_select")->GetFunction()->Call(gui->GetWindow("profile_select"), vek::e_ntfButtonClick, 0,
                                                          gui->GetWindow("profile_select")->FindControl("btDelete"));
  Shot("title_messagebox_delete", 620, 290);
  gui->HideWindow("messagebox");

  host->SwitchWindow("main", 1);
  Shot("title_main", 512, 370);

  host->SwitchWindow("options", 1);
  Control<vek::cSliderCtrl>("options", "slMusic")->SetValue(0.7f);
  Shot("title_options", 700, 330);

  host->SwitchWindow("main", 1);
  ShowMessageBox(3, 2, host->GetText("ConfirmExitGame"), "exit_game");
  Shot("title_messagebox", 420, 290);

  // In play: the menus are gone, the escape menu stands over the field.
  host->HideAllWindows();
  Settle();
  host->SwitchWindow("escape", 2);
  Shot("title_escape", 512, 470);

  for (const char* name : {"title_main", "title_profile_add", "title_profile_select", "title_options",
                           "title_messagebox", "title_messagebox_delete", "title_escape"})
    EXPECT_TRUE(std::filesystem::exists(kShots + "/" + name + ".png")) << name;
}

}  // namespace
