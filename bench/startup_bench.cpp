// Start-up cost: engine object, window with its GL context and the first presented frame,
// the way the entry brings them up (offscreen video driver when no display is set).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "engine/app/game.h"
#include "platform/window.h"

namespace {

void BM_StartToFirstFrame(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  const std::string tmp = (std::filesystem::temp_directory_path() / "vekbench-startup").string();
  setenv("XDG_DATA_HOME", tmp.c_str(), 1);
  for (auto _ : state) {
    plat::SetWindow(nullptr);
    auto* game = new vek::cGame();
    vek::cGame::cSettings s;
    s.title = s.appName = "Orchardia";
    game->Init(s);
    vek::DumpSystemInformation("cpu os video");
    if (!game->CreateWindow(false, 1024, 768)) state.SkipWithError("no window");
    vek::DumpSystemInformation("render sound");
    game->Frame();
    game->UpdateFrameTime();
    state.PauseTiming();
    game->DestroyWindow();
    game->Shutdown();
    delete game;
    vek::g_pGame = nullptr;
    plat::GetWindow().Shutdown();
    state.ResumeTiming();
  }
  std::filesystem::remove_all(tmp);
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
