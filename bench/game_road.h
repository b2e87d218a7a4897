#pragma once
// The real program in this process for the benchmarks that need the whole game: its start-up
// (bindings, figures, loading list, windows) on the OpenGL device (offscreen video driver
// unless a display is set), frames unpaced, the busy play field of a late level, the end as
// the program's entry ends it, and the process's CPU time and memory.
#include <SDL.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "bench/particle_fill.h"
#include "engine/app/game.h"
#include "engine/core/random.h"
#include "game/app/game_bindings.h"
#include "game/app/game_hooks.h"
#include "game/app/garden.h"
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/island/island_bindings.h"
#include "game/play/play_steps.h"
#include "game/windows/play_windows.h"
#include "game/windows/title_windows.h"
#include "game/windows/windows_bindings.h"
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

cPlayer* CurrentPlayer();

namespace bench {

namespace fs = std::filesystem;

// CPU time of every thread of the process.
inline double ProcessCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

inline double CurrentRssMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The most the process was resident so far.
inline double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The heap: bytes in use and bytes malloc holds (in use, free but kept, and mapped blocks).
struct HeapMb {
  double used = 0.0, held = 0.0;
};
inline HeapMb Heap() {
  const struct mallinfo2 m = mallinfo2();
  const double mb = 1024.0 * 1024.0;
  return {static_cast<double>(m.uordblks + m.hblkhd) / mb, static_cast<double>(m.arena + m.hblkhd) / mb};
}

// Seconds of the road in this process, where frames follow each other without the main loop's
// pacing: the splash keeps its slide times, the loading is its items' own cost plus the frames
// it waits between them.
struct Road {
  double start = 0.0, splash = 0.0, loading = 0.0;
};

// The program's start-up as its entry does it, up to the main menu; false when it was not
// reached.
inline bool StartGame(const std::string& root, Road& road) {
  const auto t0 = std::chrono::steady_clock::now();
  auto since = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(); };
  fs::remove_all(root);
  fs::create_directories(root + "/home");
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("XDG_DATA_HOME", root.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
  setenv("HOME", (root + "/home").c_str(), 1);
  auto* game = new vek::cGame();
  vek::cGame::cSettings settings;
  settings.title = settings.appName = "Orchardia";
  game->Init(settings);
  if (!game->CreateWindow(true, 1024, 768)) return false;
  SDL_GL_SetSwapInterval(0);
  InstallGame();
  CreateWareManager();
  auto* garden = new cGarden();
  garden->Init();
  road.start = since();
  // Splash and loading: the real frames, unpaced.
  double loadingFrom = 0.0;
  for (int i = 0; i < 100000; ++i) {
    game->UpdateFrameTime();
    game->Frame();
    const vek::string& focus = game->GetFocusWidgetName();
    if (focus == "loading" && loadingFrom == 0.0) {
      loadingFrom = since();
      road.splash = loadingFrom - road.start;
    }
    if (!focus.empty() && focus != "splash" && focus != "loading") {
      road.loading = since() - loadingFrom;
      return true;
    }
  }
  return false;
}

inline cLevel* FindLevel() {
  for (vek::cWidget* w : vek::g_pGame->GetWidgets())
    if (auto* level = dynamic_cast<cLevel*>(w)) return level;
  return nullptr;
}

// The busy field: what a late level has on it at once.
inline void FillField(cLevel* level) {
  vek::SetRandomSeed(3);
  // The ware table, when the start-up did not fill it.
  if (g_pWareManager->GetCount() <= 2) BuildProductTable();
  // A mission that is never met, so the rules keep the level going.
  if (cPlayer* p = CurrentPlayer()) {
    cMissionTask endless;
    endless.ware = g_pWareManager->GetWareId("egg");
    endless.count = 1000000;
    p->mission.tasks = {endless};
    p->mission.done = 0;
    p->activeTasks = {endless};
    p->nextPendingTask = 1;
  }
  level->Clear();
  level->BuildFixedObjects();
  level->PlaceFixedDefaults();
  level->AddOstrich();
  level->AddGoat();
  level->AddPeacock();
  level->AddHive();
  level->AddHive();
  // Every sort of plant, each at several stages of its growth.
  int k = 0;
  for (vek::u32 id = 0; id < g_pWareManager->GetCount(); ++id) {
    if (g_pWareManager->GetWare(id).GetType() != e_WareTypeSort) continue;
    for (vek::f32 growth : {0.1f, 0.5f, 0.9f}) {
      const cCell cell{(k / 10) % 8, k % 10};
      ++k;
      if (auto* plant = dynamic_cast<cPlant*>(level->FindObject(level->AddPlant(id, cell)))) plant->SetGrowth(growth);
    }
  }
  // Products laid, honey made, the gardener under way.
  for (int i = 0; i < 600; ++i) {
    if (i % 15 == 0) level->AddTransfer(i % 8, 2, 1, 0, 0);
    if (i % 20 == 0) level->AddTransfer(i % 8, 0, 0, 1, 0);
    if (cGardenerBase* g = level->GetGardener(); g && i % 60 == 0 && g->GetTasks().empty())
      for (vek::u32 type : {e_TypeToolBin, e_TypeEgg, e_TypeNib, e_TypeGoat, e_TypeHive, e_TypePlant, e_TypeCar})
        g->AddTaskByType(type);
    level->Step();
    level->Update(1.0f / 30.0f);
  }
  for (int t = 0; t < 20; ++t)
    level->GetTexts().Add("+$" + std::to_string(10 * t), {150.0f + 35.0f * t, 200.0f + 20.0f * t});
  iGardenServices* s = GardenServices();
  if (cParticles* parts = s->GetParticles())
    for (vek::u32 pool = 0; pool < cParticles::kPoolCount; ++pool) Fill(parts->GetPool(pool));
  if (cFlyerList* flyers = s->GetFlyers()) {
    for (int f = 0; f < 5; ++f) {
      cFlyer* flyer = flyers->Add("icons00", "target", 0.05f, 8);
      flyer->AddPoint({200.0f, 200.0f}, 0.0f);
      flyer->AddPoint({800.0f, 700.0f}, 1000.0f);
    }
    flyers->Update(0.1f);
  }
}

// The game ends as the program's entry ends it, before static objects go.
inline void EndGame(const std::string& root) {
  delete g_pGarden;
  g_pGarden = nullptr;
  DestroyWareManager();
  if (vek::cGame* g = vek::g_pGame) {
    g->DestroyWindow(true);
    g->Shutdown();
    delete g;
    vek::g_pGame = nullptr;
  }
  fs::remove_all(root);
}

}  // namespace bench
