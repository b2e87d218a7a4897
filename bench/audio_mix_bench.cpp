// CPU time of the mixer: one second of output with 32 sample channels and one module playing,
// rendered offline. Half the samples run at 22050 Hz, so resampling is part of the cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/audio.h"
#include "tools/soundgen/sound_writer.h"

namespace au = plat::audio;

namespace {

constexpr int kRate = 44100;

std::string Tone(int rate, int channels, double hz) {
  std::vector<std::int16_t> pcm;
  for (int i = 0; i < rate; ++i) {
    auto v = std::int16_t(std::lround(800.0 * std::sin(2.0 * M_PI * hz * i / rate)));
    for (int c = 0; c < channels; ++c) pcm.push_back(v);
  }
  return soundgen::WavBytes(rate, channels, pcm);
}

std::string Module() {
  soundgen::ModSample tri;
  for (int i = 0; i < 32; ++i) tri.data.push_back(std::int8_t(i < 16 ? i * 12 - 96 : 288 - i * 12));
  tri.loopLength = 32;
  std::vector<soundgen::ModPattern> patterns(2);
  static const char* kNotes[] = {"C-2", "E-2", "G-2", "C-3", "A-1", "F-2", "D-2", "B-1"};
  for (int p = 0; p < 2; ++p) {
    for (int row = 0; row < 64; row += 4) {
      for (int ch = 0; ch < 4; ++ch)
        patterns[std::size_t(p)].cells[row][ch] = {soundgen::NotePeriod(kNotes[(row / 4 + ch + p) % 8]), 1, 0, 0};
    }
  }
  return soundgen::ModuleBytes("bench", {tri}, patterns, {0, 1});
}

void BM_MixOneSecond(benchmark::State& state) {
  au::SetOutputKind(au::OutputKind::Offline);
  if (!au::Init(1, kRate)) {
    state.SkipWithError("audio library did not start");
    return;
  }
  std::vector<std::string> files;
  for (int i = 0; i < 4; ++i) files.push_back(Tone(i % 2 ? 22050 : kRate, 1 + i % 2, 220.0 * (i + 1)));
  for (const std::string& f : files) {
    au::Handle s = au::SampleLoad(f.data(), f.size(), 8, au::kLoop);
    for (int k = 0; k < 8; ++k) au::ChannelPlay(au::SampleGetChannel(s, true), true);
  }
  std::string mod = Module();
  au::Handle m = au::MusicLoad(mod.data(), mod.size(), au::kLoop);
  au::ChannelPlay(m, true);
  std::vector<std::int16_t> out(std::size_t(kRate) * 2);
  for (auto _ : state) {
    au::Render(out.data(), std::size_t(kRate));
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["channels"] = 33;
  au::Free();
  au::SetOutputKind(au::OutputKind::Device);
}
BENCHMARK(BM_MixOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
