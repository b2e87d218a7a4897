// The memory report: the real program's start-up in this process on the OpenGL device (see
// bench/game_road.h), then the three places a player spends time, each after two seconds of
// frames: the main menu over the island, the island map between levels, and a busy level.
// Reports the resident memory at each place, the peak resident memory up to the menu (the
// start-up's peak) and up to the end, the heap malloc holds and the part of it in use at the
// menu, the pictures the textures hold there, and the CPU time of a menu frame (every thread
// of the process; frames unpaced).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/game_road.h"
#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
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

// Megabytes of the pictures held by the textures (on the device or in memory), and the table
// printed when VEK_DUMP_TEXTURES is set.
double TextureMb() {
  const vek::cTextureManager* tm = vek::g_pTextureManager;
  if (!tm) return 0.0;
  double bytes = 0.0;
  for (vek::u32 i = 0; i < tm->Count(); ++i) {
    const vek::cTexture* t = tm->Get(i);
    if (!t || (i > 0 && t == tm->Get(0)) || t->IsPagePart()) continue;
    const vek::cDeviceTexture* c = t->GetContext();
    const vek::u32 id = c ? c->format.id : t->GetImage() ? t->GetImage()->GetFormat().id : 0;
    bytes += vek::GetImageSize(id, t->GetWidth(), t->GetHeight());
    if (std::getenv("VEK_DUMP_TEXTURES"))
      std::fprintf(stderr, "%-24s %5u x %5u %8.2f MB\n", t->name.c_str(), t->GetWidth(), t->GetHeight(),
                   vek::GetImageSize(id, t->GetWidth(), t->GetHeight()) / 1048576.0);
  }
  return bytes / 1048576.0;
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
    state.counters["menu_texture_mb"] = TextureMb();
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
