// Feeds arbitrary bytes to the audio library's WAV and Ogg Vorbis readers, as a sample and as a
// stream, and mixes a little of whatever loads.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio.h"

namespace au = plat::audio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool started = [] {
    au::SetOutputKind(au::OutputKind::Offline);
    return au::Init(1, 44100);
  }();
  if (!started) return 0;
  static std::vector<std::int16_t> out(2 * 2048);
  au::Handle sample = au::SampleLoad(data, size, 2, au::kOverPos);
  if (sample) {
    au::ChannelPlay(au::SampleGetChannel(sample, false), true);
    au::Render(out.data(), 2048);
    au::SampleFree(sample);
  }
  au::Handle stream = au::StreamCreateMemory(data, size, au::kLoop);
  if (stream) {
    au::ChannelPlay(stream, true);
    au::Render(out.data(), 2048);
    au::StreamFree(stream);
  }
  au::Handle decode = au::StreamCreateMemory(data, size, au::kDecode | au::kMono);
  if (decode) {
    for (int i = 0; i < 8 && au::ChannelGetData(decode, out.data(), 4096) > 0; ++i) {
    }
    au::StreamFree(decode);
  }
  return 0;
}
