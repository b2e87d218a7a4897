// The game's first screens on the real OpenGL device with the built data folder: the studio
// card, the title painting, the loading screen part way and the screen the main menu opens
// on, saved under build/screenshots/ for people to judge.
#include <gtest/gtest.h>

#include <memory>

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/render/render.h"
#include "game/app/game_bindings.h"
#include "game/app/game_hooks.h"
#include "game/app/garden.h"
#include "game/windows/title_windows.h"
#include "game/windows/windows_bindings.h"
#include "game/app/loading.h"
#include "game/app/splash_widget.h"
#include "tests/support/gl_game_fixture.h"
#include "tests/support/image_compare.h"

namespace {

// A load item that loads nothing: it only fills the queue so that the bar moves.
class EmptyItem : public cLoadData {
 public:
  EmptyItem() : cLoadData("{StaticPath}/texture/system/placeholder.png", false) {}
};

class StartupGLTest : public vektest::GLGameFixture {
 protected:
  StartupGLTest() : GLGameFixture("Orchardia") {}
  void TearDown() override {
    delete garden;
    GLGameFixture::TearDown();
  }
  // Draws one frame and saves it.
  void Shot(const std::string& name) {
    game->Frame();
    vek::i32 rect[4] = {};
    std::unique_ptr<vek::u8[]> frame = vek::g_pRender->ReadFrontBuffer(rect);
    ASSERT_NE(frame, nullptr);
    vektest::SaveScreenshot(frame.get(), rect[2], rect[3], name);
  }
  void Step(int n) {
    for (int i = 0; i < n; ++i) game->GetFocusWidget()->Step();
  }
  cGarden* garden = nullptr;
};

TEST_F(StartupGLTest, SplashLoadingAndMainMenuScreens) {
  // The windows as the program's entry adds them.
  ClearGameBindings();
  ClearGameHooks();
  AddGameBindings(&RegisterGameWindows);
  AddLoadingStep(eLoadingStep::Windows, [](cGarden& g) { CreateTitleWindows(&g.GetWindowHost()); });
  garden = new cGarden();
  ASSERT_EQ(garden->Init(), 0);
  auto* splash = dynamic_cast<cSplashWidget*>(game->GetFocusWidget());
  ASSERT_NE(splash, nullptr);
  ASSERT_EQ(splash->GetSlideCount(), 2u);
  Step(20);  // faded in
  Shot("app_splash_studio");
  while (splash->GetCurrent() == 0) Step(1);
  Step(20);
  Shot("app_splash_title");
  while (game->GetFocusWidgetName() == "splash") Step(1);
  ASSERT_EQ(game->GetFocusWidgetName(), "loading");

  auto* loading = dynamic_cast<cLoadingWidget*>(game->GetFocusWidget());
  ASSERT_NE(loading, nullptr);
  for (int i = 0; i < 10; ++i) new EmptyItem();
  for (int i = 0; i < 60 && loading->GetDone() < 0.4f * loading->GetTotal(); ++i) loading->Update(0.016f);
  Shot("app_loading");
  for (int i = 0; i < 2000 && (loading->GetQueueSize() || GetItemBeingLoaded()); ++i) loading->Update(0.016f);
  for (int i = 0; i < 2000 && !loading->IsFinished(); ++i) loading->Update(0.016f);
  ASSERT_TRUE(loading->IsFinished());
  // The loading window fades out over the GUI's steps.
  for (int i = 0; i < 60; ++i) game->GetGUI()->Update(vek::kFixedStep);
  EXPECT_FALSE(game->GetGUI()->IsWindowShown("loading"));
  // The main menu over a cleared screen: the loading screen's picture does not linger.
  EXPECT_TRUE(game->GetGUI()->IsWindowShown("main"));
  Shot("app_main_menu");
  ClearGameBindings();
  ClearGameHooks();
}

}  // namespace
