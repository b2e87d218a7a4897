// A full level in the real renderer: the program's own start-up (its bindings, figures, loading
// list and windows) run in this process on the OpenGL device (offscreen video driver unless a
// display is set), then the play field filled with every kind of object: the gardener with a
// queue of work, every plant sort at several stages, the tools, the car, the pump, two hives
// with their bees, the ostrich, the goat and the peacock with their products, wares flying
// between the stations, the particle pools at capacity, flyers and floating texts, with the
// garden bar and the score window shown. Reports frames per second, draw calls per frame, CPU
// time per frame (every thread of the process) and the peak resident memory. Frames are never
// paced: no vertical retrace is asked for and the main loop is not involved.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>

#include "bench/particle_fill.h"
#include "engine/app/game.h"
#include "engine/core/random.h"
#include "engine/gui/gui.h"
#include "engine/render/render.h"
#include "engine/render/screenshot.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "game/app/game_bindings.h"
#include "game/app/game_hooks.h"
#include "game/app/garden.h"
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
#include "platform/window.h"

cPlayer* CurrentPlayer();

namespace {

namespace fs = std::filesystem;

double ProcessCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double CurrentRssMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

using bench::Fill;

// The program's start-up as its entry does it, up to the main menu; false when it was not
// reached.
// Seconds of the road in this process, where frames follow each other without the main loop's
// pacing: the splash keeps its slide times, the loading is its items' own cost plus the frames
// it waits between them.
struct Road {
  double start = 0.0, splash = 0.0, loading = 0.0;
};

bool StartGame(const std::string& root, Road& road) {
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

cLevel* FindLevel() {
  for (vek::cWidget* w : vek::g_pGame->GetWidgets())
    if (auto* level = dynamic_cast<cLevel*>(w)) return level;
  return nullptr;
}

// The busy field: what a late level has on it at once.
void FillField(cLevel* level) {
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

void BM_FullLevelFrameOpenGL(benchmark::State& state) {
  const std::string root = (fs::temp_directory_path() / "vekbench-fulllevel").string();
  const double rssBefore = PeakRssMb();
  Road road;
  if (!StartGame(root, road)) {
    state.SkipWithError("the main menu was not reached");
    return;
  }
  const double rssMenu = PeakRssMb();
  cLevel* level = FindLevel();
  if (!level) {
    state.SkipWithError("no play field");
    return;
  }
  vek::cGame* game = vek::g_pGame;
  vek::cGUI* gui = game->GetGUI();
  for (const char* shown : {"main", "profile_select"})
    if (gui && gui->GetWindow(shown)) gui->HideWindow(shown);
  FillField(level);
  game->SetFocusWidget(level->GetName());
  if (gui) {
    gui->ShowWindow("garden");
    gui->ShowWindow("score");
  }
  for (int i = 0; i < 60; ++i) {  // windows' fades over
    game->SetFrameTime(1.0f / 60.0f);
    game->Frame();
    // A new player's first start brings the player list and the first training hint up on
    // their own: a late level shows neither over the field.
    for (const char* shown : {"profile_select", "hint"})
      if (gui && gui->IsWindowShown(shown)) gui->HideWindow(shown);
  }
  // The scene for the eye: build/screenshots/full_level.png.
  if (vek::shot()) {
    fs::create_directories(std::string(VEK_BIN_DIR) + "/../screenshots");
    for (const auto& e : fs::recursive_directory_iterator(root))
      if (e.path().filename() == "vek00.png")
        fs::copy_file(e.path(), std::string(VEK_BIN_DIR) + "/../screenshots/full_level.png",
                      fs::copy_options::overwrite_existing);
  }
  vek::u32 calls = 0;
  const double cpuStart = ProcessCpuMs();
  for (auto _ : state) {
    game->SetFrameTime(1.0f / 60.0f);
    game->Frame();
    calls = vek::g_pRender->GetFrameCalls();
  }
  const double cpuMs = ProcessCpuMs() - cpuStart;
  // A long run of the same busy field (VEK_LEVEL_SOAK_FRAMES frames, the field stepped as the
  // play loop steps it): the resident memory printed every tenth of the run must level off.
  if (const char* soak = std::getenv("VEK_LEVEL_SOAK_FRAMES")) {
    const long total = std::atol(soak);
    const long every = std::max(1L, total / 10);
    std::fprintf(stderr, "soak: start rss %.1f MB\n", CurrentRssMb());
    for (long i = 1; i <= total; ++i) {
      game->SetFrameTime(1.0f / 60.0f);
      game->Frame();
      if (i % every == 0) std::fprintf(stderr, "soak: frame %ld rss %.1f MB\n", i, CurrentRssMb());
    }
  }
  state.counters["objects"] = static_cast<double>(level->GetDrawList().size());
  {
    // Objects are drawn in depth order, and each change of texture along it may end a draw:
    // the sheets on one page draw with the page's texture.
    auto drawn = [](vek::u32 index) {
      const vek::cTexture* t = vek::g_pTextureManager ? vek::g_pTextureManager->Get(index) : nullptr;
      return t && t->IsPagePart() ? t->GetPage() : index;
    };
    std::set<vek::u32> sheets;
    vek::u32 last = 0, changes = 0;
    for (const cObject* o : level->GetDrawList()) {
      if (!o->GetTexture()) continue;
      const vek::u32 texture = drawn(o->GetTexture());
      sheets.insert(texture);
      if (texture != last) ++changes;
      last = texture;
    }
    state.counters["object_sheets"] = static_cast<double>(sheets.size());
    state.counters["object_sheet_changes"] = changes;
  }
  // The same frame without the windows: the field's own share of the draws.
  if (gui) {
    gui->HideWindow("garden");
    gui->HideWindow("score");
    for (int i = 0; i < 30; ++i) {
      game->SetFrameTime(1.0f / 60.0f);
      game->Frame();
    }
    state.counters["draws_field_only"] = vek::g_pRender->GetFrameCalls();
    // And the field's pictures alone: no objects, particles, flyers or texts.
    level->Clear();
    for (int i = 0; i < 30; ++i) {
      game->SetFrameTime(1.0f / 60.0f);
      game->Frame();
    }
    state.counters["draws_empty_field"] = vek::g_pRender->GetFrameCalls();
  }
  const auto frames = static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["draws_per_frame"] = calls;
  state.counters["cpu_ms_per_frame"] = cpuMs / frames;
  state.counters["peak_rss_mb"] = PeakRssMb();
  state.counters["menu_rss_mb"] = rssMenu;
  state.counters["start_rss_mb"] = rssBefore;
  state.counters["unpaced_start_s"] = road.start;
  state.counters["unpaced_splash_s"] = road.splash;
  state.counters["unpaced_loading_s"] = road.loading;
  // The game ends as the program's entry ends it, before static objects go.
  delete g_pGarden;
  g_pGarden = nullptr;
  DestroyWareManager();
  if (vek::cGame* g = vek::g_pGame) {
    g->DestroyWindow();
    g->Shutdown();
    delete g;
    vek::g_pGame = nullptr;
  }
  fs::remove_all(root);
}
BENCHMARK(BM_FullLevelFrameOpenGL)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
