#include "tools/soundgen/tracker.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "tools/soundgen/recipe_text.h"
#include "tools/soundgen/sound_writer.h"

namespace soundgen {

namespace {

constexpr double kTwoPi = 2.0 * M_PI;
// Playback rate of a sample at C-3 (PAL clock / (2 x period 214)); drums are made at it.
constexpr double kDrumRate = 7093789.2 / (2.0 * 214.0);
// Samples in one cycle of a pitched instrument (a cycle of 32 plays C-3 near 518 Hz); the bass
// uses twice as many, an octave lower.
constexpr int kCycle = 32;

struct Instrument {
  std::string name, kind;
  int number = 0;  // 1..31
};

std::int8_t Byte(double v) { return std::int8_t(std::lround(std::clamp(v, -1.0, 1.0) * 110.0)); }

// One looped cycle made of harmonics (amplitudes of harmonics 1, 2, 3 ...).
ModSample Looped(const std::vector<double>& harmonics, int cycle, double peakScale = 1.0) {
  ModSample s;
  std::vector<double> v(std::size_t(cycle), 0.0);
  double peak = 0;
  for (int i = 0; i < cycle; ++i) {
    for (std::size_t h = 0; h < harmonics.size(); ++h)
      v[std::size_t(i)] += harmonics[h] * std::sin(kTwoPi * double(h + 1) * i / cycle);
    peak = std::max(peak, std::abs(v[std::size_t(i)]));
  }
  for (double x : v) s.data.push_back(Byte(x / peak * peakScale));
  s.loopLength = cycle;
  return s;
}

// A chord pad: three tones in just ratios over a loop holding whole cycles of each.
ModSample Chord(bool minor) {
  // Major 4:5:6 over 4 root cycles; minor 10:12:15 over 10 root cycles.
  const std::vector<int> parts = minor ? std::vector<int>{10, 12, 15} : std::vector<int>{4, 5, 6};
  const int cycles = parts[0];
  const int length = kCycle * cycles;
  ModSample s;
  std::vector<double> v(std::size_t(length), 0.0);
  double peak = 0;
  for (int i = 0; i < length; ++i) {
    for (int p : parts) {
      const double ph = kTwoPi * p * double(i) / length;
      v[std::size_t(i)] += std::sin(ph) + 0.25 * std::sin(2 * ph) + 0.08 * std::sin(3 * ph);
    }
    peak = std::max(peak, std::abs(v[std::size_t(i)]));
  }
  for (double x : v) s.data.push_back(Byte(x / peak));
  s.loopLength = length;
  return s;
}

// A plucked string (Karplus-Strong) of one cycle of kCycle samples, left to die away. The loop
// filter (1/4, 1/2, 1/4) around a delay of kCycle - 1 keeps the period exactly kCycle, in tune
// with the other instruments.
ModSample Pluck() {
  ModSample s;
  std::uint32_t r = 2024;
  const int length = 9000;  // about 0.55 s at C-3
  std::vector<double> y(std::size_t(length), 0.0);
  for (int i = 0; i < length; ++i) {
    if (i < kCycle) {
      // The string is plucked into a triangle with a little noise: a round, full first cycle.
      r = r * 1664525u + 1013904223u;
      const double n = double(r >> 8) / double(1u << 24) * 2.0 - 1.0;
      const double phase = double(i) / kCycle;
      y[std::size_t(i)] = 0.8 * (phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase) + 0.2 * n;
    } else {
      const double before = i > kCycle ? y[std::size_t(i - kCycle - 1)] : 0.0;
      y[std::size_t(i)] = 0.998 * (0.25 * y[std::size_t(i - kCycle + 1)] + 0.5 * y[std::size_t(i - kCycle)] + 0.25 * before);
    }
  }
  double peak = 0;
  for (double v : y) peak = std::max(peak, std::abs(v));
  for (int i = 0; i < length; ++i) {
    const double fadeIn = std::min(1.0, i / 8.0);
    const double fadeOut = std::min(1.0, double(length - i) / 400.0);
    s.data.push_back(Byte(y[std::size_t(i)] / peak * fadeIn * fadeOut));
  }
  return s;
}

// A struck bar: the fundamental and a quieter fourth harmonic, each decaying.
ModSample Bell() {
  ModSample s;
  const int length = 7000;
  for (int i = 0; i < length; ++i) {
    const double t = double(i) / kDrumRate;
    const double ph = kTwoPi * double(i) / kCycle;
    double v = std::exp(-t * 5.0) * std::sin(ph) + 0.35 * std::exp(-t * 14.0) * std::sin(4.0 * ph) +
               0.12 * std::exp(-t * 30.0) * std::sin(10.0 * ph);
    v *= std::min(1.0, i / 6.0) * std::min(1.0, double(length - i) / 300.0);
    s.data.push_back(Byte(v * 0.85));
  }
  return s;
}

ModSample Drum(const std::string& kind) {
  ModSample s;
  std::uint32_t r = 77;
  auto noise = [&r]() {
    r = r * 1664525u + 1013904223u;
    return double(r >> 8) / double(1u << 24) * 2.0 - 1.0;
  };
  const double seconds = kind == "kick" ? 0.3 : kind == "snare" ? 0.2 : kind == "hat" ? 0.06 : 0.1;
  const int length = int(seconds * kDrumRate) & ~1;
  double phase = 0, lp = 0, prevNoise = 0, bp1 = 0, bp2 = 0;
  for (int i = 0; i < length; ++i) {
    const double t = double(i) / kDrumRate;
    double v = 0;
    if (kind == "kick") {
      const double hz = 45.0 + 110.0 * std::exp(-t * 30.0);
      phase += hz / kDrumRate;
      v = std::sin(kTwoPi * phase) * std::exp(-t * 9.0) + 0.3 * noise() * std::exp(-t * 200.0);
    } else if (kind == "snare") {
      phase += 185.0 / kDrumRate;
      const double n = noise();
      lp += 0.55 * (n - lp);
      v = 0.5 * std::sin(kTwoPi * phase) * std::exp(-t * 25.0) + 0.8 * lp * std::exp(-t * 14.0);
    } else if (kind == "hat") {
      const double n = noise();
      v = (n - prevNoise) * 0.6 * std::exp(-t * 60.0);
      prevNoise = n;
    } else {  // shaker: band of noise with a soft start
      const double n = noise();
      bp1 += 0.45 * (n - bp1);
      bp2 += 0.45 * (bp1 - bp2);
      v = (bp1 - bp2) * 2.0 * std::min(1.0, t / 0.02) * std::exp(-t * 30.0);
    }
    v *= std::min(1.0, double(length - i) / 40.0);
    s.data.push_back(Byte(v));
  }
  return s;
}

bool MakeSample(const std::string& kind, ModSample& s) {
  if (kind == "flute") s = Looped({1.0, 0.18, 0.06, 0.02}, kCycle, 0.9);
  else if (kind == "organ") s = Looped({1.0, 0.5, 0.3, 0.12, 0.08}, kCycle, 0.9);
  else if (kind == "bass") s = Looped({1.0, 0.45, 0.2, 0.1, 0.05}, 2 * kCycle);
  else if (kind == "major") s = Chord(false);
  else if (kind == "minor") s = Chord(true);
  else if (kind == "pluck") s = Pluck();
  else if (kind == "bell") s = Bell();
  else if (kind == "kick" || kind == "snare" || kind == "hat" || kind == "shaker") s = Drum(kind);
  else return false;
  return true;
}

const char* kNoteNames[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};

// Pitch class of a chord root ("C", "F#", "Bb"); -1 when unknown.
int RootClass(const std::string& root) {
  static const std::map<char, int> kBase = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                            {'G', 7}, {'A', 9}, {'B', 11}};
  if (root.empty() || root.size() > 2) return -1;
  auto it = kBase.find(root[0]);
  if (it == kBase.end()) return -1;
  int c = it->second;
  if (root.size() == 2) {
    if (root[1] == '#') c += 1;
    else if (root[1] == 'b') c += 11;
    else return -1;
  }
  return c % 12;
}

struct Token {
  std::string what;  // note, chord, drum letter, "." or "="
  int rows = 1;
  int volume = -1;
  bool vibrato = false, fading = false;
  int arpeggio = -1;
};

bool ParseToken(const std::string& text, Token& t, std::string& why) {
  const std::size_t star = text.find('*');
  if (star == std::string::npos || star == 0) {
    why = "a token is <what>*<rows>: " + text;
    return false;
  }
  t.what = text.substr(0, star);
  std::size_t i = star + 1, digits = 0;
  t.rows = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    t.rows = t.rows * 10 + (text[i++] - '0');
    ++digits;
  }
  if (!digits || t.rows < 1 || t.rows > 64) {
    why = "rows 1..64 wanted: " + text;
    return false;
  }
  while (i < text.size()) {
    const char c = text[i++];
    if (c == '~') {
      t.vibrato = true;
    } else if (c == '>') {
      t.fading = true;
    } else if (c == '!') {
      int v = 0, n = 0;
      while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        v = v * 10 + (text[i++] - '0');
        ++n;
      }
      if (!n || v > 64) {
        why = "volume 0..64 wanted: " + text;
        return false;
      }
      t.volume = v;
    } else if (c == '&' && i + 2 <= text.size() && std::isxdigit(static_cast<unsigned char>(text[i])) &&
               std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
      t.arpeggio = std::stoi(text.substr(i, 2), nullptr, 16);
      i += 2;
    } else {
      why = "unknown suffix in " + text;
      return false;
    }
  }
  return true;
}

struct Recipe {
  std::string file = "music.mod", title = "music";
  int speed = 6, tempo = 125;
  std::vector<Instrument> instruments;
  std::vector<ModSample> samples;
  std::map<char, int> drums;  // letter -> sample number
  std::map<std::string, std::vector<std::string>> phrases;
  std::map<std::string, int> patternIndex;
  std::vector<ModPattern> patterns;
  std::vector<int> orders;
};

int FindInstrument(const Recipe& r, const std::string& name) {
  for (const Instrument& i : r.instruments) {
    if (i.name == name) return i.number;
  }
  return 0;
}

// Expands @phrase and @phrase:N references (phrases may not refer to phrases).
bool Expand(const Recipe& r, const std::vector<std::string>& words, std::vector<std::string>& out,
            std::string& why) {
  for (const std::string& w : words) {
    if (w[0] != '@') {
      out.push_back(w);
      continue;
    }
    std::string name = w.substr(1);
    int times = 1;
    const std::size_t colon = name.find(':');
    if (colon != std::string::npos) {
      times = std::atoi(name.c_str() + colon + 1);
      name.resize(colon);
    }
    auto it = r.phrases.find(name);
    if (it == r.phrases.end() || times < 1 || times > 64) {
      why = "unknown phrase or count: " + w;
      return false;
    }
    for (int k = 0; k < times; ++k) out.insert(out.end(), it->second.begin(), it->second.end());
  }
  return true;
}

// Writes one channel line into the pattern.
bool FillChannel(const Recipe& r, ModPattern& p, int channel, const std::string& kind,
                 const std::string& instrument, const std::vector<std::string>& tokens,
                 std::string& why) {
  int sample = 0, major = 0, minor = 0;
  if (kind == "chord") {
    const std::size_t slash = instrument.find('/');
    if (slash == std::string::npos) {
      why = "chord wants <major>/<minor> instruments";
      return false;
    }
    major = FindInstrument(r, instrument.substr(0, slash));
    minor = FindInstrument(r, instrument.substr(slash + 1));
    if (!major || !minor) {
      why = "unknown chord instrument " + instrument;
      return false;
    }
  } else if (kind != "drums") {
    sample = FindInstrument(r, instrument);
    if (!sample) {
      why = "unknown instrument " + instrument;
      return false;
    }
  }
  int row = 0;
  for (const std::string& text : tokens) {
    Token t;
    if (!ParseToken(text, t, why)) return false;
    if (row + t.rows > 64) {
      why = kind + " runs past row 64";
      return false;
    }
    ModCell first;
    if (t.what == ".") {
      if (kind != "drums") first = {0, 0, 0xC, 0};  // cut the sounding note
    } else if (t.what == "=") {
      // the note goes on
    } else if (kind == "drums") {
      auto it = t.what.size() == 1 ? r.drums.find(t.what[0]) : r.drums.end();
      if (it == r.drums.end()) {
        why = "unknown drum " + t.what;
        return false;
      }
      first = {NotePeriod("C-3"), it->second, 0, 0};
    } else if (kind == "chord") {
      const bool isMinor = t.what.size() > 1 && t.what.back() == 'm';
      const int root = RootClass(isMinor ? t.what.substr(0, t.what.size() - 1) : t.what);
      if (root < 0) {
        why = "unknown chord " + t.what;
        return false;
      }
      // Roots from F-1 to E-2: the pad stays below the tune.
      const std::string name = std::string(kNoteNames[root]) + (root >= 5 ? "1" : "2");
      first = {NotePeriod(name), isMinor ? minor : major, 0, 0};
    } else {
      const int period = NotePeriod(t.what);
      if (!period) {
        why = "unknown note " + t.what + " (C-1 to B-3)";
        return false;
      }
      first = {period, sample, 0, 0};
    }
    if (t.volume >= 0) {
      first.effect = 0xC;
      first.param = t.volume;
    }
    if (t.arpeggio >= 0 && first.effect == 0) {
      first.effect = 0x0;
      first.param = t.arpeggio;
    }
    if (t.what != "=" || first.effect) p.cells[row][channel] = first;
    for (int k = 1; k < t.rows; ++k) {
      ModCell& c = p.cells[row + k][channel];
      if (t.vibrato) c = {0, 0, 0x4, 0x34};
      else if (t.fading) c = {0, 0, 0xA, 0x02};
      else if (t.arpeggio > 0) c = {0, 0, 0x0, t.arpeggio};
    }
    row += t.rows;
  }
  if (row != 64) {
    why = kind + " fills " + std::to_string(row) + " rows, not 64";
    return false;
  }
  return true;
}

}  // namespace

bool ComposeModule(const std::string& text, ComposedModule& out, std::string& error) {
  Recipe r;
  std::istringstream in(text);
  int lineNo = 0;
  auto fail = [&](const std::string& what) {
    error = std::to_string(lineNo) + ": " + what;
    return false;
  };
  std::string current;  // pattern being filled
  std::vector<bool> filled;
  auto closePattern = [&]() {
    if (current.empty()) return true;
    for (bool f : filled) {
      if (!f) return fail("pattern " + current + " lacks a channel (lead, chord, bass, drums)");
    }
    current.clear();
    return true;
  };
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    StripComment(line);
    std::istringstream ws(line);
    std::vector<std::string> w;
    for (std::string s; ws >> s;) w.push_back(s);
    if (w.empty()) continue;
    const std::string& head = w[0];
    std::string why;
    if (head == "file" && w.size() == 2) {
      r.file = w[1];
    } else if (head == "title" && w.size() >= 2) {
      r.title = line.substr(line.find(w[1]));
      while (!r.title.empty() && std::isspace(static_cast<unsigned char>(r.title.back()))) r.title.pop_back();
    } else if ((head == "speed" || head == "tempo") && w.size() == 2) {
      const int v = std::atoi(w[1].c_str());
      if (head == "speed" && (v < 1 || v > 31)) return fail("speed 1..31");
      if (head == "tempo" && (v < 32 || v > 255)) return fail("tempo 32..255");
      (head == "speed" ? r.speed : r.tempo) = v;
    } else if (head == "instrument" && w.size() == 4) {
      if (FindInstrument(r, w[1])) return fail("instrument " + w[1] + " twice");
      if (r.instruments.size() >= 31) return fail("at most 31 instruments");
      ModSample s;
      if (!MakeSample(w[2], s)) return fail("unknown instrument kind " + w[2]);
      s.volume = std::clamp(std::atoi(w[3].c_str()), 0, 64);
      r.samples.push_back(s);
      r.instruments.push_back({w[1], w[2], int(r.samples.size())});
    } else if (head == "drum" && w.size() == 3 && w[1].size() == 1) {
      const int n = FindInstrument(r, w[2]);
      if (!n) return fail("unknown instrument " + w[2]);
      r.drums[w[1][0]] = n;
    } else if (head == "phrase" && w.size() >= 3) {
      r.phrases[w[1]] = std::vector<std::string>(w.begin() + 2, w.end());
    } else if (head == "pattern" && w.size() == 2) {
      if (!closePattern()) return false;
      if (r.patternIndex.count(w[1])) return fail("pattern " + w[1] + " twice");
      if (r.patterns.size() >= 64) return fail("at most 64 patterns");
      r.patternIndex[w[1]] = int(r.patterns.size());
      r.patterns.emplace_back();
      current = w[1];
      filled.assign(4, false);
    } else if (head == "lead" || head == "chord" || head == "bass" || head == "drums") {
      if (current.empty()) return fail(head + " outside a pattern");
      const int channel = head == "lead" ? 0 : head == "chord" ? 1 : head == "bass" ? 2 : 3;
      if (filled[std::size_t(channel)]) return fail(head + " twice in pattern " + current);
      const std::size_t first = head == "drums" ? 1 : 2;
      if (w.size() <= first) return fail(head + " has no notes");
      std::vector<std::string> tokens;
      if (!Expand(r, std::vector<std::string>(w.begin() + long(first), w.end()), tokens, why)) return fail(why);
      if (!FillChannel(r, r.patterns.back(), channel, head, head == "drums" ? "" : w[1], tokens, why))
        return fail(why);
      filled[std::size_t(channel)] = true;
    } else if (head == "order" && w.size() >= 2) {
      if (!closePattern()) return false;
      for (std::size_t i = 1; i < w.size(); ++i) {
        auto it = r.patternIndex.find(w[i]);
        if (it == r.patternIndex.end()) return fail("order names an unknown pattern " + w[i]);
        r.orders.push_back(it->second);
      }
      if (r.orders.size() > 128) return fail("at most 128 orders");
    } else {
      return fail("unknown line: " + head);
    }
  }
  if (!closePattern()) return false;
  if (r.orders.empty()) return fail("no order");
  // Speed and tempo on the first row of the first order, in the first free effect column.
  ModPattern& start = r.patterns[std::size_t(r.orders[0])];
  int freeColumns = 0;
  for (ModCell& c : start.cells[0]) {
    if (c.effect == 0 && c.param == 0) {
      c.effect = 0xF;
      c.param = freeColumns++ == 0 ? r.speed : r.tempo;
      if (freeColumns == 2) break;
    }
  }
  if (freeColumns < 2) return fail("the first order's first row needs two channels without effects");
  out.file = r.file;
  out.bytes = ModuleBytes(r.title, r.samples, r.patterns, r.orders);
  return true;
}

}  // namespace soundgen
