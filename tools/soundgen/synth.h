#pragma once
// The effect synthesiser: a recipe of layered voices (oscillators with FM, vibrato and tremolo,
// filtered noise, ADSR envelopes, pitch contours, repeats) with a short reverb, rendered to
// 16-bit mono PCM at a set loudness with 5 ms fades at both ends.
//
// Recipe text, one effect a block (see assets/sounds/effects.txt):
//   sound <name> length=<ms> range=<min-ms>,<max-ms> [level=<dB>] [reverb=<mix>,<size-ms>]
//   tone  wave=<sine|square|saw|triangle> hz=<f>[,<f>...] key=value ...
//   noise key=value ...
// Layer keys: at len (ms), a d r (ms) s (0..1) gain, hz (a contour spread evenly over the
// layer, or note names), seq=<notes> (one copy a note), repeat every jitter (ms), fm=<ratio>,
// <index>[,<end index>], vib=<Hz>,<depth>, trem=<Hz>,<depth>, lp hp bp=<Hz>[,<Hz>...] q,
// seed.
#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

constexpr int kEffectRate = 44100;
// The loudness (loudest 100 ms window, dBFS) every effect is brought to before its own level.
constexpr double kTargetLoudness = -18.0;
// The highest peak an effect may reach (headroom for several effects at once).
constexpr double kPeakCeiling = -3.0;
// Every effect's allowed length lies within these bounds (ms).
constexpr double kShortestMs = 50, kLongestMs = 1500;
// The fade at both ends of every effect.
constexpr double kFadeMs = 5.0;

struct Layer {
  enum Kind { Tone, Noise } kind = Tone;
  std::string wave = "sine";
  std::vector<double> hz{440.0};  // pitch contour (Hz), or one pitch a copy with `seq`
  bool sequence = false;
  double at = 0, len = 100;
  double a = 5, d = 0, s = 1, r = 20;
  double gain = 1;
  int repeat = 1;
  double every = 0, jitter = 0;
  double fmRatio = 0, fmIndex = 0, fmIndexEnd = -1;
  double vibHz = 0, vibDepth = 0;
  double tremHz = 0, tremDepth = 0;
  std::vector<double> lp, hp, bp;  // cutoff contours; empty for no filter
  double q = 0.7;
  std::uint32_t seed = 1;
};

struct EffectRecipe {
  std::string name;
  int line = 0;  // where the block starts in its file
  double lengthMs = 0, minMs = 0, maxMs = 0;
  double level = 0;  // dB against the common loudness
  double reverbMix = 0, reverbMs = 0;
  std::vector<Layer> layers;
};

// Reads every block of a recipe text; false with "<line>: <what>" in `error` on the first
// fault (unknown key, value out of range, a layer past the sound's length ...).
bool ParseEffects(const std::string& text, std::vector<EffectRecipe>& out, std::string& error);

// The effect at kEffectRate: mixed, reverberated, brought to its loudness, held under the
// peak ceiling and faded at both ends.
std::vector<std::int16_t> RenderEffect(const EffectRecipe& recipe);

// Frequency of a note name such as "A4", "C#5", "Eb3" (A4 = 440 Hz); 0 when unknown.
double NoteHz(const std::string& name);

}  // namespace soundgen
