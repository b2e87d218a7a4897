// The quad batch: quads per second on the recording device (the batch's own CPU cost plus
// one recorded call per texture change), and frames per second of sprite scenes on the
// OpenGL device (offscreen video driver unless a display is set), with the draw calls and
// the CPU time of the whole process (the driver's threads included) per frame. Frames are
// never paced: no vertical retrace is asked for and the main loop is not involved.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/files/image.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "platform/gfx.h"
#include "platform/gfx_recording.h"
#include "platform/window.h"

namespace {

constexpr int kWidth = 1024;
// CPU time of every thread of the process, in milliseconds.
double ProcessCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

constexpr int kHeight = 768;

// The log into a temporary folder, removed at the end.
struct BenchLog {
  BenchLog() {
    vek::SetPathToken(vek::e_AppPath, folder.string());
    vek::CreateLogHolder(static_cast<float>(kWidth), static_cast<float>(kHeight));
  }
  ~BenchLog() {
    vek::DestroyLogHolder();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "vekbench-quadbatch";
};

// A 256 x 256 sprite sheet cut into 8 x 8 frames of 32 pixels.
vek::u32 MakeSheet(const char* name) {
  vek::cImage image(vek::e_PixARGB, 256, 256, 1);
  vek::u8* p = image.GetLevel(0);
  for (vek::u32 i = 0; i < 256 * 256; ++i, p += 4) {
    p[0] = static_cast<vek::u8>(i);
    p[1] = static_cast<vek::u8>(i >> 8);
    p[2] = 128;
    p[3] = (i % 256) % 32 < 28 ? 255 : 0;
  }
  new vek::cTexture(name, false, &image);
  auto* sheet = new vek::cTextureInfo(name, false);
  sheet->AddNodeGrid("cells", vek::rectf{0, 0, 1, 1}, 8, 8, 30.0f);
  return vek::g_pTextureManager->FindIndex(name);
}

// n sprites of 32 x 32 spread over the screen, each one frame of the sheet's item.
void DrawSprites(vek::cQuadBatch* batch, vek::u32 texture, const vek::cTextureInfo::cItem& item, int n,
                 int textureRun, vek::u32 other) {
  for (int i = 0; i < n; ++i) {
    const float x = static_cast<float>((i * 37) % (kWidth - 32));
    const float y = static_cast<float>((i * 53) % (kHeight - 32));
    const vek::u32 t = textureRun && (i / textureRun) % 2 ? other : texture;
    vek::DrawQuad(batch, t, vek::rectf{x, y, 32, 32}, item.frames[static_cast<size_t>(i) % item.frames.size()],
                  0xFFFFFFFF);
  }
}

// Quads through the batch on the recording device; range(0) quads per pass, a texture change
// every range(1) quads (0: one texture).
void BM_QuadsRecordingDevice(benchmark::State& state) {
  BenchLog log;
  auto recorder = std::make_shared<plat::gfx::Recorder>();
  plat::gfx::UseRecordingSystem(recorder);
  auto window = std::make_unique<plat::ScriptedWindow>();
  window->open = true;
  window->windowed = true;
  window->clientW = kWidth;
  window->clientH = kHeight;
  plat::SetWindow(std::move(window));
  vek::CreateRender();
  vek::cRender::cSettings settings;
  if (vek::g_pRender->Init(settings) != 0) state.SkipWithError("no recording device");
  vek::CreateTextureManager();
  vek::CreateTextureInfos();
  const vek::u32 a = MakeSheet("sheet_a"), b = MakeSheet("sheet_b");
  const vek::cTextureInfo::cItem& item = vek::FindTextureInfo("sheet_a")->GetByIndex(0);
  auto batch = std::make_unique<vek::cQuadBatch>();
  const int quads = static_cast<int>(state.range(0));
  const int run = static_cast<int>(state.range(1));
  vek::Begin2D(kWidth, kHeight);
  for (auto _ : state) {
    batch->Clear();
    DrawSprites(batch.get(), a, item, quads, run, b);
    vek::FlushBatches(batch.get());
    recorder->calls.clear();
  }
  vek::End2D();
  state.SetItemsProcessed(state.iterations() * quads);
  state.counters["draws_per_pass"] = static_cast<double>(batch->GetUsed());
  batch.reset();
  vek::DestroyTextureInfoTable();
  vek::DestroyTextureManager();
  vek::g_pRender->Free();
  vek::DestroyRender();
  plat::gfx::SetSystemFactory({});
  plat::SetWindow(nullptr);
}
BENCHMARK(BM_QuadsRecordingDevice)->Args({10000, 0})->Args({10000, 16})->Unit(benchmark::kMicrosecond);

// Frames of range(0) sprites from one sheet on the OpenGL device: clear, the 2-D pass with
// alpha blending, present. items/s is frames per second.
void BM_SpriteFramesOpenGL(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  BenchLog log;
  plat::gfx::SetSystemFactory({});
  plat::SetWindow(nullptr);
  if (!plat::GetWindow().Open("quad batch bench", true, kWidth, kHeight)) {
    state.SkipWithError("no window");
    return;
  }
  // Unpaced even on a display with vertical retrace.
  SDL_GL_SetSwapInterval(0);
  vek::CreateRender();
  vek::cRender::cSettings settings;
  settings.depthBuffer = true;
  settings.waitVSync = false;
  if (vek::g_pRender->Init(settings) != 0) {
    state.SkipWithError("no OpenGL device");
  } else {
    vek::CreateTextureManager();
    vek::g_pTextureManager->CreateContexts();
    vek::CreateTextureInfos();
    const vek::u32 sheet = MakeSheet("sheet");
    const vek::cTextureInfo::cItem& item = vek::FindTextureInfo("sheet")->GetByIndex(0);
    auto batch = std::make_unique<vek::cQuadBatch>();
    const int quads = static_cast<int>(state.range(0));
    vek::cRender* render = vek::g_pRender;
    render->SetClearColor(0.1f, 0.2f, 0.1f, 1.0f);
    vek::u32 calls = 0;
    const double cpuStart = ProcessCpuMs();
    for (auto _ : state) {
      if (render->Begin() != 0) continue;
      render->Clear(plat::gfx::kClearTarget, 1.0f);
      vek::Begin2D(kWidth, kHeight);
      vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
      batch->Clear();
      DrawSprites(batch.get(), sheet, item, quads, 0, 0);
      vek::FlushBatches(batch.get());
      vek::SetBlendMode(vek::e_BlendNone, 0.0f);
      vek::End2D();
      render->End();
      render->SwapBuffers();
      calls = render->GetFrameCalls();
    }
    const double cpuMs = ProcessCpuMs() - cpuStart;
    state.SetItemsProcessed(state.iterations());
    state.counters["cpu_ms_per_frame"] = cpuMs / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["draws_per_frame"] = calls;
    batch.reset();
    vek::DestroyTextureInfoTable();
    vek::g_pTextureManager->DeleteContexts();
    vek::DestroyTextureManager();
    render->Free();
  }
  vek::DestroyRender();
  plat::GetWindow().Shutdown();
  plat::SetWindow(nullptr);
}
BENCHMARK(BM_SpriteFramesOpenGL)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
