#pragma once
// Measurements of the generated sounds and the checks the build runs on them: an effect's
// length, peak, loudness, silence and end fades; a module's orders, channels and loop, as
// the audio library (libxmp) plays it.
#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

// Loudness in dBFS: the RMS of the loudest 100 ms window (10 ms steps; the whole sound when
// it is shorter). -200 for silence.
double LoudnessDb(const std::vector<double>& pcm, int rate);
double LoudnessDb(const std::vector<std::int16_t>& pcm, int rate);

struct EffectMeasure {
  double ms = 0;
  double peakDb = -200;
  double loudnessDb = -200;
  double leadingSilenceMs = 0;  // before the sound first reaches -40 dB under its peak
  bool fadeIn = false, fadeOut = false;  // a 5 ms ramp from (nearly) zero at that end
};
EffectMeasure MeasureEffect(const std::vector<std::int16_t>& pcm, int rate);

// The faults of one effect against its allowed length (ms) and the set's median loudness;
// empty when it passes.
std::vector<std::string> CheckEffect(const EffectMeasure& m, double minMs, double maxMs,
                                     double medianLoudnessDb);
// Loudness may stray this far (dB) from the set's median.
constexpr double kLoudnessBand = 6.0;
// The highest peak the check accepts (dBFS).
constexpr double kCheckPeak = -1.0;

struct ModuleMeasure {
  bool loaded = false;
  std::string error;
  int orders = 0;
  int channels = 0;
  std::vector<int> notesPerChannel;
  std::vector<bool> ordersPlayed;
  double secondsToLoop = 0;  // from the start until the player wraps to its restart order
  bool looped = false;
  double peakDb = -200;
  double loudnessDb = -200;
};
// Plays the module through libxmp at 44100 Hz until it loops (at most `limitSeconds`).
ModuleMeasure MeasureModule(const std::string& bytes, double limitSeconds = 300);
// The faults of one module: not loading, an order never played, no loop, a length outside
// minSeconds..maxSeconds, a silent channel, silence or clipping.
std::vector<std::string> CheckModule(const ModuleMeasure& m, double minSeconds, double maxSeconds);

// A mono 16-bit PCM WAV file read back (the form WavBytes writes; other layouts are refused).
bool ParseWav(const std::string& bytes, int& rate, std::vector<std::int16_t>& pcm);

}  // namespace soundgen
