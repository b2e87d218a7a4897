#pragma once
// Sound files written by the tests themselves: WAV, a small ProTracker module and Ogg Vorbis.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vektest {

using Bytes = std::string;

// A PCM WAV file. `value(frame, channel)` gives each sample in -32768..32767; with 8 bits it
// is scaled down, with 24 it is widened.
Bytes MakeWav(int rate, int channels, int bits, int frames,
              const std::function<int(int frame, int channel)>& value);
// A WAV file of one constant value on every sample (mono unless told otherwise).
Bytes MakeConstantWav(int frames, int value, int rate = 44100, int channels = 1);

// A ProTracker "M.K." module with `orders` orders, order i playing pattern i. Each pattern sets
// speed 1, plays a looped square wave at a period distinct to the pattern on the first row, and
// breaks to the next order after `rowsPerOrder` rows (one tick a row, 20 ms at 125 bpm).
Bytes MakeModule(int orders, int rowsPerOrder = 4);

// An Ogg Vorbis file of a sine wave (quality 0.4).
Bytes MakeOgg(int rate, int channels, int frames, double hz = 440.0);

// Little-endian readers for header checks.
std::uint32_t ReadU32(const Bytes& b, std::size_t at);
std::uint16_t ReadU16(const Bytes& b, std::size_t at);

}  // namespace vektest
