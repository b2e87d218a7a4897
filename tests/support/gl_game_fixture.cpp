#include "tests/support/gl_game_fixture.h"

#include <memory>

#include "engine/render/render.h"
#include "platform/input.h"
#include "platform/os.h"
#include "platform/window.h"

namespace vektest {

void GLGameFixture::SetUp() {
  auto o = std::make_unique<plat::FixedOs>();
  o->dataHome = tmp.path() + "/xdg";
  o->homeFolder = tmp.path() + "/Home";
  o->exeFolder = VEK_TEST_BIN_DIR;  // the data folder beside the game
  plat::SetOs(std::move(o));
  plat::SetWindow(nullptr);
  auto in = std::make_unique<plat::ScriptedInput>();
  in->AddDevice(plat::kInputTypeMouse, "Mouse");
  plat::SetInputBackend(std::move(in));
  game = new vek::cGame();
  vek::cGame::cSettings s;
  s.title = m_Title;
  s.appName = "Orchardia";
  game->Init(s);
  ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
  game->OnResize(1024, 768);
  ASSERT_NE(vek::g_pRender->GetDevice(), nullptr);
}

void GLGameFixture::TearDown() {
  game->DestroyWindow();
  game->Shutdown();
  delete game;
  plat::GetWindow().Shutdown();
  plat::SetInputBackend(nullptr);
  plat::SetWindow(nullptr);
  plat::SetOs(nullptr);
}

}  // namespace vektest
