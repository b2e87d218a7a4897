#include "tests/support/engine_fixture.h"

#include "engine/core/path_tokens.h"
#include "platform/gfx_recording.h"
#include "platform/audio.h"
#include "platform/input.h"


namespace vektest {

void EngineFixture::SetUp() {
  auto o = std::make_unique<plat::FixedOs>();
  o->dataHome = tmp.path() + "/xdg";
  o->homeFolder = tmp.path() + "/Home";
  o->desktopFolder = tmp.path() + "/Home/Desktop";
  o->runtimeFolder = tmp.path() + "/run";
  o->exeFolder = tmp.path() + "/bin";
  os = o.get();
  plat::SetOs(std::move(o));
  auto w = std::make_unique<plat::ScriptedWindow>();
  w->modes = {{800, 600, 32, 75}, {640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}};
  window = w.get();
  plat::SetWindow(std::move(w));
  auto in = std::make_unique<plat::ScriptedInput>();
  input = in.get();
  input->AddDevice(plat::kInputTypeMouse, "Mouse");
  input->AddDevice(plat::kInputTypeKeyboard, "Keyboard");
  plat::SetInputBackend(std::move(in));
  // The scripted window has no GL context: the renderer draws on the recording device.
  gfx = std::make_shared<plat::gfx::Recorder>();
  plat::gfx::UseRecordingSystem(gfx);
  plat::audio::SetOutputKind(plat::audio::OutputKind::Offline);
  vek::SetStepAccumulator(0.0f);

  game = new vek::cGame();
  vek::cGame::cSettings s;
  s.title = "Orchardia";
  s.appName = "Orchardia";
  game->Init(s);
}

void EngineFixture::TearDown() {
  if (game) {
    game->Shutdown();
    delete game;
    vek::g_pGame = nullptr;
  }
  plat::SetInputBackend(nullptr);
  plat::audio::SetOutputKind(plat::audio::OutputKind::Device);
  plat::gfx::SetSystemFactory({});
  plat::SetWindow(nullptr);
  plat::SetOs(nullptr);
}

std::string EngineFixture::LogText() const {
  return ReadFileText(vek::GetPathToken(vek::e_AppPath) + "/_log.html");
}

}  // namespace vektest
