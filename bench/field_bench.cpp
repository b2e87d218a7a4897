// One full frame of the play field on the recording device: the background, 80 cells of
// objects, the field's particle pools at capacity and 20 money texts. Reports the time per
// frame (the field's own CPU cost plus one recorded call per draw) and the draw calls.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/app/script_bindings.h"
#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "engine/script/script_bind.h"
#include "game/app/garden_services.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "platform/gfx.h"
#include "platform/gfx_recording.h"
#include "platform/window.h"

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

// Every slot of the pool alive for a long time.
void Fill(cParticlePool& pool) {
  auto e = std::make_unique<cParticleEmitter>();
  e->flags = cParticleEmitter::e_Burst;
  e->interval = 1.0f / static_cast<vek::f32>(pool.GetCapacity());
  e->life[0] = e->life[1] = 1000.0f;
  e->size[0] = 2.0f, e->size[1] = 6.0f;
  e->spread = 300.0f;
  e->position = {500.0f, 400.0f, 0.0f};
  pool.AddEmitter(std::move(e));
  pool.Update(0.01f);
  pool.Update(0.01f);
}

void BM_FieldFrameRecordingDevice(benchmark::State& state) {
  const std::filesystem::path logs = std::filesystem::temp_directory_path() / "vekbench-field";
  vek::SetPathToken(vek::e_AppPath, logs.string());
  vek::CreateLogHolder(1024.0f, 768.0f);
  auto recorder = std::make_shared<plat::gfx::Recorder>();
  plat::gfx::UseRecordingSystem(recorder);
  auto window = std::make_unique<plat::ScriptedWindow>();
  window->open = true;
  window->windowed = true;
  window->clientW = 1024;
  window->clientH = 768;
  plat::SetWindow(std::move(window));
  vek::CreateRender();
  vek::cRender::cSettings settings;
  if (vek::g_pRender->Init(settings) != 0) state.SkipWithError("no recording device");
  vek::CreateTextureManager();
  vek::CreateTextureInfos();
  vek::CreateFontManager();
  {
    vek::cScript script;
    script.Init();
    vek::RegisterEngine(&script);
    luabind::module(script.GetState())[vek::bindings::TextureInfoClass()];
    vek::bindings::KeepTextureInfosNative(script.GetState());
    const struct {
      const char* name;
      vek::u32 w, h;
    } sheets[] = {{"back", 1024, 1024}, {"images00", 512, 512}, {"icons00", 256, 256},
                  {"part00", 32, 32},   {"part01", 32, 32},     {"part02", 32, 32}};
    for (const auto& s : sheets) {
      vek::cImage image(vek::e_PixARGB, s.w, s.h, 1);
      new vek::cTexture(s.name, false, &image);
      script.LoadFile(vek::filename(kSheets + s.name + ".tex"));
    }
  }
  // The header font: a 16 x 16 grid of 24-pixel glyphs on a 512 x 512 texture.
  {
    vek::cImage image(vek::e_PixARGB, 512, 512, 1);
    new vek::cTexture("header24x24", false, &image);
    auto* font = new vek::cFont("header24x24");
    font->Init("DejaVu Sans", "Bold", 24, 29);
    font->Texture("header24x24", 512, 512);
    for (int c = 32; c < 128; ++c)
      font->Char(std::string(1, static_cast<char>(c)), 24, vek::recti{(c % 16) * 32, (c / 16) * 32, 24, 29}, 0, 18);
  }

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
      recorder->calls.clear();
      level->Update(1.0f / 60.0f);
      level->Render();
      calls = static_cast<size_t>(recorder->Count("Draw"));  // every kind of draw call
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
  vek::DestroyFontManager();
  vek::DestroyTextureInfoTable();
  vek::DestroyTextureManager();
  vek::g_pRender->Free();
  vek::DestroyRender();
  plat::gfx::SetSystemFactory({});
  plat::SetWindow(nullptr);
  vek::DestroyLogHolder();
  std::error_code ec;
  std::filesystem::remove_all(logs, ec);
}
BENCHMARK(BM_FieldFrameRecordingDevice)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
