#pragma once
// Writers of the sound files the data set and the tests are made of: 16-bit PCM WAV, and
// ProTracker "M.K." modules (four channels, 64 rows a pattern, up to 31 eight-bit samples).
#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

// A whole WAV file of interleaved 16-bit samples.
std::string WavBytes(int rate, int channels, const std::vector<std::int16_t>& samples);

struct ModCell {
  int period = 0;  // Amiga period of the note, 0 for none
  int sample = 0;  // 1..31, 0 for none
  int effect = 0;  // 0x0..0xF
  int param = 0;   // 0..255
};

struct ModPattern {
  ModCell cells[64][4];
};

struct ModSample {
  std::vector<std::int8_t> data;  // an even number of bytes, at most 131070
  int volume = 64;                // 0..64
  int loopStart = 0;              // bytes, even
  int loopLength = 0;             // bytes, even; 0 for no loop
};

// A whole module: order i plays patterns[orders[i]].
std::string ModuleBytes(const std::string& title, const std::vector<ModSample>& samples,
                        const std::vector<ModPattern>& patterns, const std::vector<int>& orders);

// The Amiga period of a note name such as "C-2", "F#3" (octaves 1..3); 0 when unknown.
int NotePeriod(const std::string& name);

}  // namespace soundgen
