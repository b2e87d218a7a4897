// A busy field without drawing: the gardener at its rounds, three animals, two hives with their bees, thirty plants and
// wares flying between the car, the factories and away, stepped at the fixed step with the
// frame's moves. Reports the time per fixed step over runs of 10,000 steps.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/app/script_bindings.h"
#include "engine/core/random.h"
#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "engine/script/script_bind.h"
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/world/animal.h"
#include "game/world/balance.h"
#include "game/world/car.h"
#include "game/world/effects.h"
#include "game/world/gardener.h"
#include "game/world/hive.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/plant.h"
#include "game/world/pump.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"

namespace {

const std::string kSheets = std::string(VEK_SOURCE_DIR) + "/tests/game/world/data/";

// Every animal product and honey wanted, so the animals eat, call and give all the time.
struct Services : cNullGardenServices {
  Services() : particles(std::make_unique<cParticles>()), flyers(std::make_unique<cFlyerList>(nullptr, particles.get())) {}
  cParticles* GetParticles() override { return particles.get(); }
  cFlyerList* GetFlyers() override { return flyers.get(); }
  std::vector<cMissionTask>* GetActiveTasks() override { return &tasks; }
  cMissionTask* FindTaskForWare(vek::i32 ware) override {
    for (cMissionTask& t : tasks)
      if (t.ware == ware) return &t;
    return nullptr;
  }
  std::unique_ptr<cParticles> particles;
  std::unique_ptr<cFlyerList> flyers;
  std::vector<cMissionTask> tasks;
};

void LoadSheets() {
  vek::cScript script;
  script.Init();
  vek::RegisterEngine(&script);
  luabind::module(script.GetState())[vek::bindings::TextureInfoClass()];
  vek::bindings::KeepTextureInfosNative(script.GetState());
  std::ifstream list(kSheets + "sheets.txt");
  std::string line;
  while (std::getline(list, line)) {
    std::istringstream in(line);
    std::string name;
    vek::u32 w = 0, h = 0;
    if (!(in >> name >> w >> h) || name[0] == '#') continue;
    vek::cImage image(vek::e_PixARGB, w, h, 1);
    new vek::cTexture(name, false, &image);
    script.LoadFile(vek::filename(kSheets + name + ".tex"));
  }
}

void BM_BusyFieldFixedStep(benchmark::State& state) {
  constexpr int kSteps = 10000;
  constexpr vek::f32 kStep = 1.0f / 30.0f;
  vek::CreateTextureManager();
  vek::CreateTextureInfos();
  CreateWareManager();
  LoadSheets();
  Services services;
  SetGardenServices(&services);
  services.particles->LoadTextures();
  BuildProductTable();
  RegisterPlantMakers();
  RegisterHiveMakers();
  RegisterAnimalMakers();
  RegisterToolMakers();
  RegisterCarMakers();
  RegisterPumpMakers();
  RegisterGardenerMaker();
  for (const char* ware : {"egg", "milk", "nib", "honey"}) {
    cMissionTask t;
    t.ware = g_pWareManager->GetWareId(ware);
    t.count = 1000;
    services.tasks.push_back(t);
  }
  const vek::i32 grass = g_pWareManager->GetWareId("grass"), flowers = g_pWareManager->GetWareId("flowers");
  double seconds = 0.0;
  long steps = 0, busy = 0;
  for (auto _ : state) {
    state.PauseTiming();
    vek::SetRandomSeed(1);
    auto level = std::make_unique<cLevel>();
    level->Clear();
    level->BuildFixedObjects();
    level->PlaceFixedDefaults();
    level->AddOstrich();
    level->AddGoat();
    level->AddPeacock();
    level->AddHive();
    level->AddHive();
    // Thirty plants: grass for the animals, flowers for the bees, the rest of the sorts; what is
    // eaten, harvested or withered is sown again every three seconds, as a gardener would.
    struct Bed {
      cCell cell;
      vek::u32 ware;
    };
    std::vector<Bed> beds;
    for (int k = 0; k < 30; ++k) {
      const vek::i32 ware = k % 3 == 0 ? grass : k % 3 == 1 ? flowers : k % 8;
      beds.push_back({{k / 10 == 0 ? 1 : k / 10 + 3, k % 10}, static_cast<vek::u32>(ware)});
    }
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kSteps; ++i) {
      if (i % 15 == 0) level->AddTransfer(i % 8, 2, 1, 0, 0);  // a factory's ware to the car
      if (i % 20 == 0) level->AddTransfer(i % 8, 0, 0, 1, 0);  // the car's ware away
      if (i % 25 == 0) level->AddTransfer(i % 8, 2, 1, 2, 2);  // to the next factory
      if (i % 90 == 0)
        for (const Bed& b : beds)
          if (level->FindObjectAt(b.cell, e_TypePlant) == level->GetFirstObject()) level->AddPlant(b.ware, b.cell);
      // The gardener's rounds: the bin, then the eggs, the goat, the hive, a plant and the car.
      if (cGardenerBase* g = level->GetGardener(); g && i % 60 == 0 && g->GetTasks().empty())
        for (vek::u32 type : {e_TypeToolBin, e_TypeEgg, e_TypeNib, e_TypeGoat, e_TypeHive, e_TypePlant, e_TypeCar})
          g->AddTaskByType(type);
      level->Step();
      level->Update(kStep);
      if (cGardenerBase* g = level->GetGardener(); g && g->GetState() != 3) ++busy;
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    steps += kSteps;
    state.PauseTiming();
    state.counters["objects"] = static_cast<double>(level->GetRegistry().Size());
    level.reset();
    services.flyers->Clear();
    services.particles->ClearAll();
    state.ResumeTiming();
  }
  state.counters["us_per_step"] = steps ? seconds * 1e6 / static_cast<double>(steps) : 0.0;
  state.counters["gardener_busy"] = steps ? static_cast<double>(busy) / static_cast<double>(steps) : 0.0;
  for (vek::u32 k = 0; k < e_KindCount; ++k) cLevel::SetMaker(static_cast<eFieldKind>(k), nullptr);
  SetGardenServices(nullptr);
  DestroyWareManager();
  vek::DestroyTextureInfoTable();
  vek::DestroyTextureManager();
}
BENCHMARK(BM_BusyFieldFixedStep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
