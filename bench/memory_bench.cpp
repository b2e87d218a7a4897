// The memory report: the real program's start-up in this process on the OpenGL device (see
// bench/game_road.h), then the three places a player spends time, each after two seconds of
// frames: the main menu over the island, the island map between levels, and a busy level.
// Reports the resident memory at each place, the peak resident memory up to the menu (the
// start-up's peak) and up to the end, the heap malloc holds and the part of it in use at the
// menu, and the CPU time of a menu frame (every thread of the process; frames unpaced).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/game_road.h"
#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "game/island/island.h"
#include "game/world/level.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSettleFrames = 120;  // two seconds at 60 frames a second
constexpr int kMenuFrames = 300;

void Frames(int n) {
  for (int i = 0; i < n; ++i) {
    vek::g_pGame->SetFrameTime(1.0f / 60.0f);
    vek::g_pGame->Frame();
  }
}

cIsland* FindIsland() {
  for (vek::cWidget* w : vek::g_pGame->GetWidgets())
    if (auto* island = dynamic_cast<cIsland*>(w)) return island;
  return nullptr;
}

void BM_MemoryReport(benchmark::State& state) {
  const std::string root = (fs::temp_directory_path() / "vekbench-memory").string();
  for (auto _ : state) {
    bench::Road road;
    if (!bench::StartGame(root, road)) {
      state.SkipWithError("the main menu was not reached");
      return;
    }
    vek::cGame* game = vek::g_pGame;
    vek::cGUI* gui = game->GetGUI();
    Frames(kSettleFrames);
    state.counters["menu_rss_mb"] = bench::CurrentRssMb();
    state.counters["start_peak_mb"] = bench::PeakRssMb();
    const bench::HeapMb heap = bench::Heap();
    state.counters["menu_heap_used_mb"] = heap.used;
    state.counters["menu_heap_held_mb"] = heap.held;
    const double cpu0 = bench::ProcessCpuMs();
    Frames(kMenuFrames);
    state.counters["menu_cpu_ms_per_frame"] = (bench::ProcessCpuMs() - cpu0) / kMenuFrames;

    // The island map, as the main menu's start button shows it.
    cIsland* island = FindIsland();
    if (!island) {
      state.SkipWithError("no island");
      return;
    }
    if (gui && gui->GetWindow("profile_select")) gui->HideWindow("profile_select");
    game->SetFocusWidget(island->GetName());
    island->Show(e_islMap);
    Frames(kSettleFrames);
    state.counters["island_rss_mb"] = bench::CurrentRssMb();

    // A busy level.
    cLevel* level = bench::FindLevel();
    if (!level) {
      state.SkipWithError("no play field");
      return;
    }
    for (const char* shown : {"island", "score", "hint"})
      if (gui && gui->IsWindowShown(shown)) gui->HideWindow(shown);
    bench::FillField(level);
    game->SetFocusWidget(level->GetName());
    if (gui) {
      gui->ShowWindow("garden");
      gui->ShowWindow("score");
    }
    Frames(kSettleFrames);
    state.counters["level_rss_mb"] = bench::CurrentRssMb();
    state.counters["peak_rss_mb"] = bench::PeakRssMb();
    bench::EndGame(root);
  }
}
BENCHMARK(BM_MemoryReport)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
