#include "tests/support/world_harness.h"

#include <fstream>
#include <sstream>

#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/core/random.h"
#include "engine/script/script_bind.h"
#include "engine/app/script_bindings.h"
#include "engine/render/font.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "game/world/balance.h"
#include "game/world/level.h"
#include "game/world/ware_manager.h"

namespace vektest {

FakeGardenServices::FakeGardenServices()
    : particles(std::make_unique<cParticles>()), flyers(std::make_unique<cFlyerList>(&batch, particles.get())) {}

FakeGardenServices::~FakeGardenServices() = default;

WorldHarness::WorldHarness() {
  vek::CreateTextureManager();
  vek::CreateTextureInfos();
  vek::CreateFontManager();
  CreateWareManager();
  vek::SetRandomSeed(1);
  SetParticleSeed(0);
  SetGardenServices(&services);
  cObject::ResetMarker();
  script.Init();
  vek::RegisterEngine(&script);
  luabind::module(script.GetState())[vek::bindings::TextureInfoClass()];
  vek::bindings::KeepTextureInfosNative(script.GetState());
}

WorldHarness::~WorldHarness() {
  services.flyers->Clear();
  services.particles->ClearAll();
  SetGardenServices(nullptr);
  cObject::ResetMarker();
  DestroyWareManager();
  vek::DestroyFontManager();
  vek::DestroyTextureInfoTable();
  vek::DestroyTextureManager();
}

bool WorldHarness::LoadSheet(const std::string& name, vek::u32 width, vek::u32 height, const std::string& texScript) {
  vek::cImage image;
  if (!image.Create(6, width, height, 1)) return false;
  new vek::cTexture(name, false, &image);
  return script.LoadFile(vek::filename(texScript));
}

bool WorldHarness::LoadTestSheets() {
  const std::string dir = std::string(VEK_SOURCE_DIR) + "/tests/game/world/data/";
  std::ifstream list(dir + "sheets.txt");
  std::string line;
  bool ok = true;
  while (std::getline(list, line)) {
    std::istringstream in(line);
    std::string name;
    vek::u32 w = 0, h = 0;
    if (!(in >> name >> w >> h) || name[0] == '#') continue;
    ok = LoadSheet(name, w, h, dir + name + ".tex") && ok;
  }
  cObject::ResetMarker();
  if (services.particles) services.particles->LoadTextures();
  return ok;
}

void WorldHarness::BuildWares() {
  for (const char* t : {"Tomato", "Olive", "Orange", "Banana", "Wheat", "Corn", "Grape", "Pineapple", "OliveOil",
                        "OrangeJuice", "Flour", "GrapeJuice", "Lemonade", "Bread", "Wine", "Flowers", "Grass", "Egg",
                        "Milk", "Honey", "Nib"})
    services.texts[t] = t;
  BuildProductTable();
}

void WorldHarness::Run(cLevel& level, int steps) {
  for (int i = 0; i < steps; ++i) {
    level.Step();
    level.Update(kStep);
  }
}

}  // namespace vektest
