// The island's people: one fixed step of 200 walkers strolling on the island that the build
// writes (its areas, walkways and buildings as obstacles), and the planning of one arrival.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "engine/core/random.h"
#include "game/island/island_files.h"
#include "game/island/island_geometry.h"
#include "game/island/island_walkers.h"

namespace {

bool LoadIsland(cIslandWalkers& walkers) {
  const std::string conf = std::string(VEK_BIN_DIR) + "/data/conf/";
  cIslandPaths paths;
  std::vector<cIslandBuildingRecord> buildings;
  if (!LoadIslandPaths((conf + "island.pts").c_str(), paths) ||
      LoadIslandBuildings((conf + "island.dat").c_str(), buildings) != eIslandFileRead::Ok)
    return false;
  FillWalkerGround(walkers, paths);
  walkers.SetFigure({24, 32}, 8, 8, 0.1f);
  for (const cIslandBuildingRecord& b : buildings)
    *walkers.AddObstacle() = {b.position.x, b.position.y, 80.0f, 80.0f};
  return true;
}

void BM_WalkersStep200(benchmark::State& state) {
  cIslandWalkers walkers;
  if (!LoadIsland(walkers)) {
    state.SkipWithError("island files missing: build the data first");
    return;
  }
  vek::SetRandomSeed(7);
  for (int i = 0; i < 200; ++i) walkers.AddWalker({290.0f + (i % 20) * 5.0f, 1588.0f - (i / 20) * 5.0f});
  for (int i = 0; i < 30; ++i) walkers.Update(1.0f / 30.0f);  // every walker under way
  for (auto _ : state) {
    walkers.Update(1.0f / 30.0f);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_WalkersStep200);

void BM_ArrivalRoute(benchmark::State& state) {
  cIslandWalkers walkers;
  if (!LoadIsland(walkers)) {
    state.SkipWithError("island files missing: build the data first");
    return;
  }
  cWalker& w = walkers.AddWalker({412.0f, 1971.0f});
  for (auto _ : state) benchmark::DoNotOptimize(walkers.RouteToArrival(w));
}
BENCHMARK(BM_ArrivalRoute);

}  // namespace

BENCHMARK_MAIN();
