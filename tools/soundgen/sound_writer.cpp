#include "tools/soundgen/sound_writer.h"

#include <algorithm>

namespace soundgen {

namespace {
void Put16(std::string& b, int v) {
  b.push_back(char(v & 0xFF));
  b.push_back(char((v >> 8) & 0xFF));
}
void Put32(std::string& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(char((v >> (8 * i)) & 0xFF));
}
void PutBE16(std::string& b, int v) {
  b.push_back(char((v >> 8) & 0xFF));
  b.push_back(char(v & 0xFF));
}
}  // namespace

std::string WavBytes(int rate, int channels, const std::vector<std::int16_t>& samples) {
  const std::uint32_t data = std::uint32_t(samples.size()) * 2u;
  std::string b = "RIFF";
  Put32(b, 36 + data);
  b += "WAVEfmt ";
  Put32(b, 16);
  Put16(b, 1);
  Put16(b, channels);
  Put32(b, std::uint32_t(rate));
  Put32(b, std::uint32_t(rate * channels * 2));
  Put16(b, channels * 2);
  Put16(b, 16);
  b += "data";
  Put32(b, data);
  for (std::int16_t s : samples) Put16(b, s);
  return b;
}

std::string ModuleBytes(const std::string& title, const std::vector<ModSample>& samples,
                        const std::vector<ModPattern>& patterns, const std::vector<int>& orders) {
  std::string b = title.substr(0, 20);
  b.resize(20, '\0');
  for (int s = 0; s < 31; ++s) {
    b.append(22, '\0');
    if (s < int(samples.size())) {
      const ModSample& m = samples[std::size_t(s)];
      const int words = int(std::min<std::size_t>(m.data.size(), 131070) / 2);
      PutBE16(b, words);
      b.push_back(0);
      b.push_back(char(std::clamp(m.volume, 0, 64)));
      PutBE16(b, m.loopLength > 0 ? m.loopStart / 2 : 0);
      PutBE16(b, m.loopLength > 0 ? m.loopLength / 2 : 1);
    } else {
      PutBE16(b, 0);
      b.push_back(0);
      b.push_back(0);
      PutBE16(b, 0);
      PutBE16(b, 1);
    }
  }
  b.push_back(char(std::min<std::size_t>(orders.size(), 128)));
  b.push_back(char(127));
  for (std::size_t i = 0; i < 128; ++i) b.push_back(char(i < orders.size() ? orders[i] : 0));
  b += "M.K.";
  for (const ModPattern& p : patterns) {
    for (const auto& row : p.cells) {
      for (const ModCell& c : row) {
        b.push_back(char((c.sample & 0xF0) | ((c.period >> 8) & 0x0F)));
        b.push_back(char(c.period & 0xFF));
        b.push_back(char(((c.sample & 0x0F) << 4) | (c.effect & 0x0F)));
        b.push_back(char(c.param & 0xFF));
      }
    }
  }
  for (const ModSample& m : samples) {
    const std::size_t n = std::min<std::size_t>(m.data.size(), 131070) & ~std::size_t(1);
    b.append(reinterpret_cast<const char*>(m.data.data()), n);
  }
  return b;
}

int NotePeriod(const std::string& name) {
  // ProTracker's periods for octaves 1 to 3, finetune 0.
  static const int kPeriods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                   428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                                   214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
  static const char* kNames[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
  if (name.size() != 3 || name[2] < '1' || name[2] > '3') return 0;
  for (int i = 0; i < 12; ++i) {
    if (name.compare(0, 2, kNames[i]) == 0) return kPeriods[(name[2] - '1') * 12 + i];
  }
  return 0;
}

}  // namespace soundgen
