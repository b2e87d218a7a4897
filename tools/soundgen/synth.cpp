#include "tools/soundgen/synth.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "tools/soundgen/recipe_text.h"
#include "tools/soundgen/sound_check.h"

namespace soundgen {

namespace {

constexpr double kTwoPi = 2.0 * M_PI;

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  out.push_back(cur);
  return out;
}

bool Number(const std::string& s, double& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return end && *end == '\0' && std::isfinite(v);
}

// A comma list of numbers (or note names when `notes` is set).
bool Numbers(const std::string& s, std::vector<double>& out, bool notes) {
  out.clear();
  for (const std::string& part : Split(s, ',')) {
    double v = 0;
    if (!Number(part, v)) {
      v = notes ? NoteHz(part) : 0.0;
      if (v <= 0) return false;
    }
    out.push_back(v);
  }
  return !out.empty();
}

// The value of a contour at t in 0..1, interpolated geometrically between evenly spread points.
double Contour(const std::vector<double>& points, double t) {
  if (points.size() == 1) return points[0];
  const double pos = std::clamp(t, 0.0, 1.0) * double(points.size() - 1);
  const std::size_t i = std::min(std::size_t(pos), points.size() - 2);
  const double f = pos - double(i);
  return points[i] * std::pow(points[i + 1] / points[i], f);
}

// Band-limited step correction for the square and saw waves.
double PolyBlep(double t, double dt) {
  if (dt <= 0) return 0;
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0;
}

double Oscillator(const std::string& wave, double phase, double dt) {
  phase -= std::floor(phase);
  if (wave == "square") {
    double v = phase < 0.5 ? 1.0 : -1.0;
    v += PolyBlep(phase, dt);
    double p2 = phase + 0.5;
    p2 -= std::floor(p2);
    return v - PolyBlep(p2, dt);
  }
  if (wave == "saw") return 2.0 * phase - 1.0 - PolyBlep(phase, dt);
  if (wave == "triangle") return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
  return std::sin(kTwoPi * phase);
}

// Attack, decay to the sustain level, held until the release at the layer's end.
double Envelope(const Layer& l, double t) {
  if (t < 0 || t >= l.len) return 0;
  const double releaseAt = std::max(0.0, l.len - l.r);
  auto held = [&](double u) {
    if (u < l.a) return l.a > 0 ? u / l.a : 1.0;
    if (l.d <= 0) return l.s;
    return l.s + (1.0 - l.s) * std::exp(-4.0 * (u - l.a) / l.d);
  };
  if (t < releaseAt) return held(t);
  const double x = l.r > 0 ? (t - releaseAt) / l.r : 1.0;
  const double k = 1.0 - std::min(x, 1.0);
  return held(releaseAt) * k * k;
}

// Zavalishin's state-variable filter; the cutoff may change every sample.
struct Svf {
  double ic1 = 0, ic2 = 0;
  // mode 0 low-pass, 1 high-pass, 2 band-pass
  double Run(double v0, double cutoff, double q, int mode) {
    const double fc = std::clamp(cutoff, 10.0, 0.45 * kEffectRate);
    const double g = std::tan(M_PI * fc / kEffectRate);
    const double k = 1.0 / std::max(q, 0.1);
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1, a3 = g * a2;
    const double v3 = v0 - ic2;
    const double v1 = a1 * ic1 + a2 * v3;
    const double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0 * v1 - ic1;
    ic2 = 2.0 * v2 - ic2;
    if (mode == 0) return v2;
    if (mode == 1) return v0 - k * v1 - v2;
    return v1;
  }
};

struct Rng {
  std::uint32_t state;
  explicit Rng(std::uint32_t seed) : state(seed * 2654435761u + 12345u) {}
  double Next() {  // 0..1
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return double(state) / 4294967296.0;
  }
};

// One copy of a layer, added into `out` from frame `start`.
void RenderCopy(const Layer& l, double pitchOverride, std::uint32_t seed, std::size_t start,
                std::vector<double>& out) {
  const std::size_t frames = std::size_t(l.len * kEffectRate / 1000.0);
  Rng noise(seed);
  Svf lp, hp, bp;
  double phase = 0, modPhase = 0;
  for (std::size_t i = 0; i < frames && start + i < out.size(); ++i) {
    const double tMs = double(i) * 1000.0 / kEffectRate;
    const double u = double(i) / double(std::max<std::size_t>(frames, 1));
    const double sec = tMs / 1000.0;
    double v = 0;
    if (l.kind == Layer::Noise) {
      v = noise.Next() * 2.0 - 1.0;
    } else {
      double hz = pitchOverride > 0 ? pitchOverride : Contour(l.hz, u);
      if (l.vibHz > 0) hz *= 1.0 + l.vibDepth * std::sin(kTwoPi * l.vibHz * sec);
      double pm = 0;
      if (l.fmRatio > 0) {
        const double index = l.fmIndexEnd >= 0 ? l.fmIndex + (l.fmIndexEnd - l.fmIndex) * u : l.fmIndex;
        pm = index * std::sin(kTwoPi * modPhase) / kTwoPi;
        modPhase += hz * l.fmRatio / kEffectRate;
      }
      v = Oscillator(l.wave, phase + pm, hz / kEffectRate);
      phase += hz / kEffectRate;
      phase -= std::floor(phase);
      modPhase -= std::floor(modPhase);
    }
    if (!l.lp.empty()) v = lp.Run(v, Contour(l.lp, u), l.q, 0);
    if (!l.hp.empty()) v = hp.Run(v, Contour(l.hp, u), l.q, 1);
    if (!l.bp.empty()) v = bp.Run(v, Contour(l.bp, u), l.q, 2);
    double amp = l.gain * Envelope(l, tMs);
    if (l.tremHz > 0) amp *= 1.0 - l.tremDepth * (0.5 - 0.5 * std::cos(kTwoPi * l.tremHz * sec));
    out[start + i] += v * amp;
  }
}

// A short Schroeder reverb: four damped combs in parallel, two all-passes in series.
void Reverb(std::vector<double>& pcm, double mix, double sizeMs) {
  if (mix <= 0 || sizeMs <= 0) return;
  const double combMs[4] = {29.7, 37.1, 41.1, 43.7};
  const double allMs[2] = {5.0, 1.7};
  const double scale = sizeMs / 40.0;
  std::vector<double> wet(pcm.size(), 0.0);
  for (double c : combMs) {
    const std::size_t delay = std::max<std::size_t>(1, std::size_t(c * scale * kEffectRate / 1000.0));
    std::vector<double> line(delay, 0.0);
    std::size_t pos = 0;
    double damp = 0;
    for (std::size_t i = 0; i < pcm.size(); ++i) {
      const double y = line[pos];
      damp = 0.6 * y + 0.4 * damp;
      line[pos] = pcm[i] + 0.78 * damp;
      pos = (pos + 1) % delay;
      wet[i] += y * 0.25;
    }
  }
  for (double a : allMs) {
    const std::size_t delay = std::max<std::size_t>(1, std::size_t(a * kEffectRate / 1000.0));
    std::vector<double> line(delay, 0.0);
    std::size_t pos = 0;
    for (double& w : wet) {
      const double buf = line[pos];
      const double y = -0.7 * w + buf;
      line[pos] = w + 0.7 * y;
      pos = (pos + 1) % delay;
      w = y;
    }
  }
  for (std::size_t i = 0; i < pcm.size(); ++i) pcm[i] += mix * wet[i];
}

bool SetLayerKey(Layer& l, const std::string& key, const std::string& value, std::string& why) {
  double v = 0;
  std::vector<double> list;
  auto number = [&](double lo, double hi) {
    if (!Number(value, v) || v < lo || v > hi) {
      why = key + " wants a number in " + std::to_string(lo) + ".." + std::to_string(hi);
      return false;
    }
    return true;
  };
  auto numbers = [&](std::size_t lo, std::size_t hi, bool notes) {
    if (!Numbers(value, list, notes) || list.size() < lo || list.size() > hi) {
      why = key + " wants " + std::to_string(lo) + " to " + std::to_string(hi) + " values";
      return false;
    }
    for (double x : list) {
      if (x < 0) {
        why = key + " wants values of 0 or more";
        return false;
      }
    }
    return true;
  };
  if (key == "wave") {
    if (value != "sine" && value != "square" && value != "saw" && value != "triangle") {
      why = "wave is sine, square, saw or triangle";
      return false;
    }
    l.wave = value;
    return true;
  }
  if (key == "hz" || key == "seq") {
    if (!numbers(1, 64, true)) return false;
    if (std::find(list.begin(), list.end(), 0.0) != list.end()) {
      why = key + " wants pitches above 0";
      return false;
    }
    l.hz = list;
    l.sequence = key == "seq";
    if (l.sequence) l.repeat = int(list.size());
    return true;
  }
  if (key == "at") return number(0, 10000) && (l.at = v, true);
  if (key == "len") return number(1, 10000) && (l.len = v, true);
  if (key == "a") return number(0, 10000) && (l.a = v, true);
  if (key == "d") return number(0, 10000) && (l.d = v, true);
  if (key == "s") return number(0, 1) && (l.s = v, true);
  if (key == "r") return number(0, 10000) && (l.r = v, true);
  if (key == "gain") return number(0, 4) && (l.gain = v, true);
  if (key == "repeat") return number(1, 200) && (l.repeat = int(v), true);
  if (key == "every") return number(0, 10000) && (l.every = v, true);
  if (key == "jitter") return number(0, 10000) && (l.jitter = v, true);
  if (key == "q") return number(0.1, 30) && (l.q = v, true);
  if (key == "seed") return number(0, 1e9) && (l.seed = std::uint32_t(v), true);
  if (key == "fm") {
    if (!numbers(2, 3, false)) return false;
    l.fmRatio = list[0];
    l.fmIndex = list[1];
    l.fmIndexEnd = list.size() > 2 ? list[2] : -1;
    return true;
  }
  if (key == "vib" || key == "trem") {
    if (!numbers(2, 2, false)) return false;
    (key == "vib" ? l.vibHz : l.tremHz) = list[0];
    (key == "vib" ? l.vibDepth : l.tremDepth) = std::min(list[1], 1.0);
    return true;
  }
  if (key == "lp" || key == "hp" || key == "bp") {
    if (!numbers(1, 64, false)) return false;
    if (std::find(list.begin(), list.end(), 0.0) != list.end()) {
      why = key + " wants cutoffs above 0";
      return false;
    }
    (key == "lp" ? l.lp : key == "hp" ? l.hp : l.bp) = list;
    return true;
  }
  why = "unknown key " + key;
  return false;
}

bool SetSoundKey(EffectRecipe& e, const std::string& key, const std::string& value, std::string& why) {
  std::vector<double> list;
  if (key == "length") {
    if (!Numbers(value, list, false) || list.size() != 1 || list[0] < 10 || list[0] > 10000) {
      why = "length wants milliseconds (10..10000)";
      return false;
    }
    e.lengthMs = list[0];
    return true;
  }
  if (key == "range") {
    if (!Numbers(value, list, false) || list.size() != 2 || list[0] > list[1] || list[0] < kShortestMs ||
        list[1] > kLongestMs) {
      why = "range wants <min-ms>,<max-ms> within 50..1500 ms";
      return false;
    }
    e.minMs = list[0];
    e.maxMs = list[1];
    return true;
  }
  if (key == "level") {
    double v = 0;
    if (!Number(value, v) || v < -12 || v > 6) {
      why = "level wants dB in -12..6";
      return false;
    }
    e.level = v;
    return true;
  }
  if (key == "reverb") {
    if (!Numbers(value, list, false) || list.size() != 2 || list[0] > 1 || list[1] > 200) {
      why = "reverb wants <mix 0..1>,<size-ms up to 200>";
      return false;
    }
    e.reverbMix = list[0];
    e.reverbMs = list[1];
    return true;
  }
  why = "unknown key " + key;
  return false;
}

// The end (ms) of a layer's last copy.
double LayerEnd(const Layer& l) {
  return l.at + double(l.repeat - 1) * l.every + l.jitter + l.len;
}

}  // namespace

double NoteHz(const std::string& name) {
  static const std::map<char, int> kSteps = {{'C', -9}, {'D', -7}, {'E', -5}, {'F', -4},
                                             {'G', -2}, {'A', 0},  {'B', 2}};
  if (name.size() < 2 || name.size() > 3) return 0;
  auto it = kSteps.find(name[0]);
  if (it == kSteps.end()) return 0;
  int semis = it->second;
  std::size_t i = 1;
  if (name[i] == '#') {
    ++semis;
    ++i;
  } else if (name[i] == 'b') {
    --semis;
    ++i;
  }
  if (i + 1 != name.size() || name[i] < '0' || name[i] > '8') return 0;
  semis += (name[i] - '4') * 12;
  return 440.0 * std::pow(2.0, semis / 12.0);
}

bool ParseEffects(const std::string& text, std::vector<EffectRecipe>& out, std::string& error) {
  std::istringstream in(text);
  int lineNo = 0;
  auto fail = [&](const std::string& what) {
    error = std::to_string(lineNo) + ": " + what;
    return false;
  };
  auto finish = [&]() {
    if (out.empty()) return true;
    EffectRecipe& e = out.back();
    if (e.lengthMs <= 0 || e.maxMs <= 0) return fail("sound " + e.name + " needs length and range");
    if (e.lengthMs < e.minMs || e.lengthMs > e.maxMs)
      return fail("sound " + e.name + ": length outside its range");
    if (e.layers.empty()) return fail("sound " + e.name + " has no layer");
    for (const Layer& l : e.layers) {
      if (LayerEnd(l) > e.lengthMs + 0.5)
        return fail("sound " + e.name + ": a layer ends after the sound's length");
    }
    return true;
  };
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    StripComment(line);
    std::istringstream words(line);
    std::string head;
    if (!(words >> head)) continue;
    if (head == "sound") {
      if (!finish()) return false;
      EffectRecipe e;
      e.line = lineNo;
      if (!(words >> e.name)) return fail("sound needs a name");
      for (const EffectRecipe& other : out) {
        if (other.name == e.name) return fail("sound " + e.name + " twice");
      }
      for (std::string kv; words >> kv;) {
        const std::size_t eq = kv.find('=');
        std::string why;
        if (eq == std::string::npos) return fail("expected key=value: " + kv);
        if (!SetSoundKey(e, kv.substr(0, eq), kv.substr(eq + 1), why)) return fail(why);
      }
      out.push_back(e);
    } else if (head == "tone" || head == "noise") {
      if (out.empty()) return fail("a layer before any sound");
      Layer l;
      l.kind = head == "tone" ? Layer::Tone : Layer::Noise;
      for (std::string kv; words >> kv;) {
        const std::size_t eq = kv.find('=');
        std::string why;
        if (eq == std::string::npos) return fail("expected key=value: " + kv);
        if (!SetLayerKey(l, kv.substr(0, eq), kv.substr(eq + 1), why)) return fail(why);
      }
      if (l.kind == Layer::Noise && (l.sequence || l.fmRatio > 0))
        return fail("noise takes no pitch, sequence or FM");
      l.r = std::min(l.r, l.len);
      out.back().layers.push_back(l);
    } else {
      return fail("unknown line: " + head);
    }
  }
  return finish();
}

std::vector<std::int16_t> RenderEffect(const EffectRecipe& recipe) {
  const std::size_t frames = std::size_t(recipe.lengthMs * kEffectRate / 1000.0);
  std::vector<double> mix(frames, 0.0);
  std::uint32_t layerSeed = 1;
  for (const Layer& l : recipe.layers) {
    Rng timing(l.seed * 7919u + layerSeed++);
    for (int c = 0; c < l.repeat; ++c) {
      double startMs = l.at + double(c) * l.every + l.jitter * timing.Next();
      const double pitch = l.sequence ? l.hz[std::size_t(c) % l.hz.size()] : 0.0;
      RenderCopy(l, pitch, l.seed * 1000u + std::uint32_t(c), std::size_t(startMs * kEffectRate / 1000.0),
                 mix);
    }
  }
  Reverb(mix, recipe.reverbMix, recipe.reverbMs);
  // The ceiling holds for the sound before its fades (a fade is a ramp towards full scale at
  // most); loudness is measured on what will be heard, after them.
  double peak = 0;
  for (double v : mix) peak = std::max(peak, std::abs(v));
  const std::size_t fade = std::size_t(kFadeMs * kEffectRate / 1000.0);
  for (std::size_t i = 0; i < frames && i < fade; ++i) {
    mix[i] *= double(i) / double(fade);
    mix[frames - 1 - i] *= double(i) / double(fade);
  }

  // Loudness, then the peak ceiling.
  const double loud = LoudnessDb(mix, kEffectRate);
  double gain = loud > -150 ? std::pow(10.0, (kTargetLoudness + recipe.level - loud) / 20.0) : 0.0;
  const double ceiling = std::pow(10.0, kPeakCeiling / 20.0);
  if (peak * gain > ceiling) gain = ceiling / peak;

  std::vector<std::int16_t> out(frames);
  for (std::size_t i = 0; i < frames; ++i)
    out[i] = std::int16_t(std::lround(std::clamp(mix[i] * gain, -1.0, 1.0) * 32767.0));
  return out;
}

}  // namespace soundgen
