// The island map when the game is won: every building built, 200 islanders walking, all
// markers with their medals and the dots between them, on the recording device with the
// island's built pictures. Reports the time per frame (the island's own CPU cost plus one
// recorded call per device call) and the draw calls, and the cost of one fixed step of the
// island's people and buildings.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/recording_device.h"
#include "engine/core/random.h"
#include "engine/render/quad_batch.h"
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/island/island.h"

cPlayer* CurrentPlayer();
void SetCurrentPlayer(cPlayer* player);

namespace {

const std::string kData = std::string(VEK_BIN_DIR) + "/data/";

struct Services : cNullGardenServices {
  vek::i32 GetLevelProgress() override { return 44; }
  vek::i32 GetCurrentLevel() override { return 44; }
};

// The whole island: every building of island.dat built, 200 walkers under way.
struct WonIsland {
  explicit WonIsland(vek::cQuadBatch* batch) {
    player.levelProgress = 44;
    for (int i = 0; i < 44; ++i) player.timeGrades.push_back(i % 3);
    SetCurrentPlayer(&player);
    SetGardenServices(&services);
    vek::SetRandomSeed(7);
    island = std::make_unique<cIsland>();
    island->SetBatch(batch);
    std::vector<cIslandBuildingRecord> records;
    ok = island->LoadPaths((kData + "conf/island.pts").c_str()) &&
         LoadIslandBuildings((kData + "conf/island.dat").c_str(), records) == eIslandFileRead::Ok;
    island->LoadBuildings(records);
    for (const auto& b : island->GetBuildings()) b->SetState(2);
    island->Show(e_islMap);
    for (int i = 0; i < 200; ++i)
      island->GetWalkers().AddWalker({290.0f + static_cast<vek::f32>(i % 20) * 5.0f,
                                      1588.0f - static_cast<vek::f32>(i / 20) * 5.0f});
    for (int i = 0; i < 30; ++i) island->StepEffects();  // every walker under way
    island->ScrollTo(700.0f, 1300.0f);
  }
  ~WonIsland() {
    island.reset();
    SetGardenServices(nullptr);
    SetCurrentPlayer(nullptr);
  }
  cPlayer player;
  Services services;
  std::unique_ptr<cIsland> island;
  bool ok = false;
};

bool LoadIslandPictures(vekbench::cRecordingDevice& device) {
  static const char* const kSheets[] = {"island01", "island02_0", "island02_1", "firework", "houses00",
                                        "houses01", "houses02",   "houses03",   "houses04", "houses05",
                                        "houses07", "houses08",   "houses09"};
  for (const char* n : {"island00_0", "island00_1"})
    if (!device.LoadPicture(kData + "texture/island/" + n + ".png", false)) return false;
  for (const char* n : kSheets)
    if (!device.LoadPicture(kData + "texture/island/" + n + ".png", true)) return false;
  // The statue, the hover glow and the islanders are on the play field's peacock sheets.
  for (const char* n : {"peacock01", "peacock02"})
    if (!device.LoadPicture(kData + "texture/world/" + n + ".png", true)) return false;
  return true;
}

void BM_IslandFrameRecordingDevice(benchmark::State& state) {
  vekbench::cRecordingDevice device("island");
  if (!device.IsOk()) {
    state.SkipWithError("no recording device");
    return;
  }
  if (!LoadIslandPictures(device)) {
    state.SkipWithError("island pictures missing: build the data first");
    return;
  }
  device.LoadHeaderFont();
  auto batch = std::make_unique<vek::cQuadBatch>();
  size_t calls = 0;
  {
    WonIsland won(batch.get());
    if (!won.ok) {
      state.SkipWithError("island files missing: build the data first");
      return;
    }
    for (auto _ : state) {
      device.Reset();
      won.island->DrawMap();
      calls = device.CountDraws();
    }
    state.counters["draws_per_frame"] = static_cast<double>(calls);
    state.counters["buildings"] = static_cast<double>(won.island->GetBuildings().size());
    state.counters["walkers"] = static_cast<double>(won.island->GetWalkers().GetWalkers().size());
    state.counters["batch_overflows"] = static_cast<double>(batch->GetOverflowFlushes());
  }
}
BENCHMARK(BM_IslandFrameRecordingDevice)->Unit(benchmark::kMicrosecond);

// One fixed step of the island's life: 200 walkers and the 45 buildings.
void BM_IslandStep200Walkers(benchmark::State& state) {
  WonIsland won(nullptr);
  if (!won.ok) {
    state.SkipWithError("island files missing: build the data first");
    return;
  }
  for (auto _ : state) {
    won.island->StepEffects();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_IslandStep200Walkers)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
