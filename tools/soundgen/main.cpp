// soundgen: writes the data set's sound effects (WAV) and music (a ProTracker module) from
// the text recipes in assets/sounds.
//   soundgen <effects recipe> <music recipe> <output folder>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/soundgen/sound_writer.h"

namespace {

constexpr int kRate = 22050;

// One cycle of a wave at phase 0..1, in -1..1.
double Wave(const std::string& kind, double phase, std::uint32_t& noise) {
  if (kind == "square") return phase < 0.5 ? 1.0 : -1.0;
  if (kind == "triangle") return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
  if (kind == "noise") {
    noise = noise * 1664525u + 1013904223u;
    return double(noise >> 8) / double(1u << 23) - 1.0;
  }
  return std::sin(2.0 * M_PI * phase);
}

std::vector<std::int16_t> Effect(const std::string& wave, double startHz, double endHz, int ms,
                                 double volume) {
  const int frames = kRate * ms / 1000;
  const int attack = std::max(1, kRate * 5 / 1000);
  std::vector<std::int16_t> out(std::size_t(std::max(frames, 1)));
  double phase = 0.0;
  std::uint32_t noise = 12345;
  for (int i = 0; i < frames; ++i) {
    const double t = double(i) / double(frames);
    const double hz = startHz + (endHz - startHz) * t;
    const double envelope = std::min(1.0, double(i) / attack) * (1.0 - t);
    out[std::size_t(i)] = std::int16_t(std::lround(32767.0 * volume * envelope * Wave(wave, phase, noise)));
    phase += hz / kRate;
    phase -= std::floor(phase);
  }
  return out;
}

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(f);
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

bool Effects(const std::string& recipe, const std::string& outDir) {
  std::ifstream in(recipe);
  if (!in) {
    std::cerr << "soundgen: cannot read " << recipe << "\n";
    return false;
  }
  int line = 0;
  for (std::string text; std::getline(in, text);) {
    ++line;
    auto w = Words(text);
    if (w.empty() || w[0][0] == '#') continue;
    if (w.size() != 6) {
      std::cerr << recipe << ":" << line << ": expected: file wave start-hz end-hz ms volume\n";
      return false;
    }
    auto pcm = Effect(w[1], std::stod(w[2]), std::stod(w[3]), std::stoi(w[4]), std::stod(w[5]));
    if (!Write(outDir + "/" + w[0], soundgen::WavBytes(kRate, 1, pcm))) return false;
  }
  return true;
}

bool Music(const std::string& recipe, const std::string& outDir) {
  std::ifstream in(recipe);
  if (!in) {
    std::cerr << "soundgen: cannot read " << recipe << "\n";
    return false;
  }
  std::string file = "music.mod", title = "music";
  int speed = 6;
  std::vector<soundgen::ModSample> samples;
  std::vector<soundgen::ModPattern> patterns;
  std::vector<int> orders;
  int line = 0;
  for (std::string text; std::getline(in, text);) {
    ++line;
    auto w = Words(text);
    if (w.empty() || w[0][0] == '#') continue;
    auto fail = [&](const char* what) {
      std::cerr << recipe << ":" << line << ": " << what << "\n";
      return false;
    };
    if (w[0] == "file" && w.size() == 2) {
      file = w[1];
    } else if (w[0] == "title" && w.size() >= 2) {
      title = text.substr(text.find(w[1]));
    } else if (w[0] == "speed" && w.size() == 2) {
      speed = std::stoi(w[1]);
    } else if (w[0] == "instrument" && w.size() == 3) {
      // One looped cycle of 32 bytes.
      soundgen::ModSample s;
      std::uint32_t noise = 1;
      for (int i = 0; i < 32; ++i)
        s.data.push_back(std::int8_t(std::lround(100.0 * Wave(w[1], i / 32.0, noise))));
      s.volume = std::stoi(w[2]);
      s.loopLength = 32;
      samples.push_back(s);
    } else if (w[0] == "pattern") {
      // Voices separated by "|", 16 notes each, a note every four rows.
      soundgen::ModPattern p;
      int voice = 0, step = 0;
      for (std::size_t i = 1; i < w.size(); ++i) {
        if (w[i] == "|") {
          ++voice;
          step = 0;
          continue;
        }
        if (voice > 2 || step >= 16) return fail("at most three voices of 16 notes");
        if (w[i] != "-") {
          int period = soundgen::NotePeriod(w[i]);
          if (!period) return fail("unknown note");
          p.cells[step * 4][voice] = {period, voice + 1, 0, 0};
        }
        ++step;
      }
      patterns.push_back(p);
    } else if (w[0] == "order") {
      for (std::size_t i = 1; i < w.size(); ++i) orders.push_back(std::stoi(w[i]));
    } else {
      return fail("unknown line");
    }
  }
  if (patterns.empty() || orders.empty()) {
    std::cerr << recipe << ": no pattern or no order\n";
    return false;
  }
  for (int o : orders) {
    if (o < 0 || o >= int(patterns.size())) {
      std::cerr << recipe << ": order names a missing pattern\n";
      return false;
    }
  }
  patterns[std::size_t(orders[0])].cells[0][3] = {0, 0, 0xF, speed};
  return Write(outDir + "/" + file, soundgen::ModuleBytes(title, samples, patterns, orders));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: soundgen <effects recipe> <music recipe> <output folder>\n";
    return 2;
  }
  return Effects(argv[1], argv[3]) && Music(argv[2], argv[3]) ? 0 : 1;
}
