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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "bench/game_road.h"
#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/render/render.h"
#include "engine/render/screenshot.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "game/world/level.h"

namespace {

namespace fs = std::filesystem;
using bench::CurrentRssMb;
using bench::FillField;
using bench::FindLevel;
using bench::PeakRssMb;
using bench::ProcessCpuMs;
using bench::Road;
using bench::StartGame;

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
  bench::EndGame(root);
}
BENCHMARK(BM_FullLevelFrameOpenGL)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
