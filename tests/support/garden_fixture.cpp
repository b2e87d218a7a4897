#include "tests/support/garden_fixture.h"

#include <filesystem>
#include <list>

#include "engine/core/path_tokens.h"
#include "game/app/game_bindings.h"
#include "game/app/game_hooks.h"
#include "platform/os.h"

namespace vektest {

namespace fs = std::filesystem;

void GardenFixture::SetUp() {
  ScriptEngineFixture::SetUp();
  fs::create_directories(tmp.path() + "/bin/data/conf");
  fs::create_directories(tmp.path() + "/bin/data/gui");
  vek::SetPathToken(vek::e_StaticPath, tmp.path() + "/bin/data");
  ClearGameBindings();
  ClearGameHooks();
}

void GardenFixture::TearDown() {
  EndGarden();
  ScriptEngineFixture::TearDown();
}

void GardenFixture::WriteData(const std::string& rel, const std::string& text) {
  fs::create_directories(fs::path(Data(rel)).parent_path());
  ASSERT_TRUE(WriteFileText(Data(rel), text));
}

void GardenFixture::UseBuiltData() {
  fs::copy(std::string(VEK_TEST_BIN_DIR) + "/data", tmp.path() + "/bin/data",
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void GardenFixture::StartGarden() {
  garden = new cGarden();
  ASSERT_EQ(garden->Init(), 0);
}

void GardenFixture::Steps(int n) {
  for (int i = 0; i < n; ++i)
    if (Focus()) Focus()->Step();
}

void GardenFixture::Updates(int n) {
  for (int i = 0; i < n; ++i)
    if (Focus()) Focus()->Update(1.0f / 60.0f);
}

bool GardenFixture::RunUntilFocus(const std::string& name, int maxFrames) {
  for (int i = 0; i < maxFrames && FocusName() != name; ++i) {
    Steps(1);
    Updates(1);
  }
  return FocusName() == name;
}

void GardenFixture::EndGarden() {
  delete garden;
  garden = nullptr;
  // The engine's end deletes the widgets still listed (the splash and the loading screen).
  if (game) {
    const std::list<vek::cWidget*> widgets = game->GetWidgets();
    for (vek::cWidget* w : widgets) delete w;
  }
}

}  // namespace vektest
