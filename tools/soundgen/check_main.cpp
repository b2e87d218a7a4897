// soundcheck: measures every generated effect and module and fails the build on a fault
// (length outside its recipe's range, a peak above -1 dBFS, loudness out of the set's band,
// silence, missing fades; a module that does not load, skips an order, does not loop, is
// too short or too long, or has a silent channel). Writes the stamp file when all pass; the
// table of measures is printed only beside a fault, so a good build stays quiet.
//   soundcheck <effects recipe> <sound folder> <stamp file> <module file>...
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/soundgen/recipe_text.h"
#include "tools/soundgen/sound_check.h"
#include "tools/soundgen/synth.h"

namespace {

constexpr double kMusicMinSeconds = 60.0;
constexpr double kMusicMaxSeconds = 120.0;

// The report, kept until the end: printed only when a check failed.
std::string g_Report;
[[gnu::format(printf, 1, 2)]] void Report(const char* format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (n > 0) {
    std::string line(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(line.data(), line.size(), format, again);
    line.resize(static_cast<std::size_t>(n));
    g_Report += line;
  }
  va_end(again);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: soundcheck <effects recipe> <sound folder> <stamp file> <module file>...\n";
    return 2;
  }
  const std::string dir = argv[2];
  std::string text, error;
  std::vector<soundgen::EffectRecipe> recipes;
  if (!soundgen::ReadFile(argv[1], text) || !soundgen::ParseEffects(text, recipes, error)) {
    std::cerr << argv[1] << ": " << (error.empty() ? "cannot read" : error) << "\n";
    return 1;
  }
  int faults = 0;
  std::vector<soundgen::EffectMeasure> measures;
  for (const soundgen::EffectRecipe& r : recipes) {
    std::string bytes;
    int rate = 0;
    std::vector<std::int16_t> pcm;
    if (!soundgen::ReadFile(dir + "/" + r.name + ".wav", bytes) || !soundgen::ParseWav(bytes, rate, pcm)) {
      std::cerr << "soundcheck: " << r.name << ".wav: missing or not a mono 16-bit WAV\n";
      return 1;
    }
    measures.push_back(soundgen::MeasureEffect(pcm, rate));
  }
  std::vector<double> levels;
  for (const auto& m : measures) levels.push_back(m.loudnessDb);
  std::nth_element(levels.begin(), levels.begin() + long(levels.size() / 2), levels.end());
  const double median = levels.empty() ? 0.0 : levels[levels.size() / 2];
  Report("%-16s %8s %8s %9s\n", "effect", "ms", "peak dB", "loud dB");
  for (std::size_t i = 0; i < recipes.size(); ++i) {
    const auto& m = measures[i];
    Report("%-16s %8.0f %8.2f %9.2f\n", recipes[i].name.c_str(), m.ms, m.peakDb, m.loudnessDb);
    for (const std::string& f : soundgen::CheckEffect(m, recipes[i].minMs, recipes[i].maxMs, median)) {
      std::cerr << "soundcheck: " << recipes[i].name << ".wav: " << f << "\n";
      ++faults;
    }
  }
  Report("median loudness %.2f dBFS\n", median);
  for (int i = 4; i < argc; ++i) {
    std::string bytes;
    if (!soundgen::ReadFile(argv[i], bytes)) {
      std::cerr << "soundcheck: cannot read " << argv[i] << "\n";
      ++faults;
      continue;
    }
    const soundgen::ModuleMeasure m = soundgen::MeasureModule(bytes);
    Report("%s: %d orders, %.1f s to its loop, %.1f dBFS, peak %.2f dBFS, notes", argv[i], m.orders,
                m.secondsToLoop, m.loudnessDb, m.peakDb);
    for (int n : m.notesPerChannel) Report(" %d", n);
    Report("\n");
    for (const std::string& f : soundgen::CheckModule(m, kMusicMinSeconds, kMusicMaxSeconds)) {
      std::cerr << "soundcheck: " << argv[i] << ": " << f << "\n";
      ++faults;
    }
  }
  if (faults) {
    std::fputs(g_Report.c_str(), stdout);
    return 1;
  }
  std::ofstream(argv[3]) << "ok\n";
  return 0;
}
