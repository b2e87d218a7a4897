// One full frame of the play field on the recording device: the background, 80 cells of
// objects, the field's particle pools at capacity and 20 money texts. Reports the time per
// frame (the field's own CPU cost plus one recorded call per draw) and the draw calls.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/recording_device.h"
#include "bench/particle_fill.h"
#include "engine/render/quad_batch.h"
#include "game/app/garden_services.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "game/world/particles.h"

namespace {

const std::string kSheets = std::string(VEK_SOURCE_DIR) + "/tests/game/world/data/";

struct Services : cNullGardenServices {
  Services() : particles(std::make_unique<cParticles>()), flyers(std::make_unique<cFlyerList>(nullptr, particles.get())) {}
  cParticles* GetParticles() override { return particles.get(); }
  cFlyerList* GetFlyers() override { return flyers.get(); }
  std::unique_ptr<cParticles> particles;
  std::unique_ptr<cFlyerList> flyers;
};

class Sprite : public cObject {
 public:
  Sprite(cLevel* level, const char* sheet, const char* area) : cObject(level) { SetSprite(sheet, area, 0); }
  vek::u32 GetType() const override { return e_TypeHole; }
};

using bench::Fill;

void BM_FieldFrameRecordingDevice(benchmark::State& state) {
  vekbench::cRecordingDevice device("field");
  if (!device.IsOk()) state.SkipWithError("no recording device");
  {
    const struct {
      const char* name;
      vek::u32 w, h;
    } sheets[] = {{"back", 1024, 1024}, {"images00", 512, 512}, {"icons00", 256, 256},
                  {"part00", 32, 32},   {"part01", 32, 32},     {"part02", 32, 32}};
    for (const auto& s : sheets) device.LoadBlankSheet(s.name, s.w, s.h, kSheets + s.name + ".tex");
  }
  device.LoadHeaderFont();

  Services services;
  SetGardenServices(&services);
  services.particles->LoadTextures();
  auto batch = std::make_unique<vek::cQuadBatch>();
  {
    auto level = std::make_unique<cLevel>();
    level->SetBatch(batch.get());
    level->Clear();
    for (vek::i32 i = 0; i < 8; ++i)
      for (vek::i32 j = 0; j < 10; ++j) (new Sprite(level.get(), "images00", "hole"))->SetCell(i, j);
    for (int k = 0; k < 20; ++k)
      level->GetTexts().Add("+$" + std::to_string(10 * k), {150.0f + 35.0f * k, 200.0f + 20.0f * k});
    for (vek::u32 pool = 0; pool < cParticles::kPoolCount; ++pool) Fill(services.particles->GetPool(pool));
    for (int k = 0; k < 5; ++k) {
      cFlyer* f = services.flyers->Add("icons00", "target", 0.05f, 8);
      f->AddPoint({200.0f, 200.0f}, 0.0f);
      f->AddPoint({800.0f, 700.0f}, 1000.0f);
    }
    services.flyers->Update(0.1f);

    size_t calls = 0;
    for (auto _ : state) {
      device.Reset();
      level->Update(1.0f / 60.0f);
      level->Render();
      calls = device.CountDraws();
    }
    state.counters["draws_per_frame"] = static_cast<double>(calls);
    state.counters["particle_quads"] =
        static_cast<double>(services.particles->GetPool(0).GetQuadCount() + services.particles->GetPool(1).GetQuadCount() +
                            services.particles->GetPool(3).GetQuadCount());
    services.flyers->Clear();
    services.particles->ClearAll();
  }
  SetGardenServices(nullptr);
  batch.reset();
}
BENCHMARK(BM_FieldFrameRecordingDevice)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
