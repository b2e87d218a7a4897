// The data manager's sound file readers and its WAV writer.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "engine/core/log.h"
#include "engine/files/data_manager.h"
#include "engine/files/file.h"
#include "platform/audio.h"

namespace vek {

namespace au = plat::audio;

namespace {

constexpr const char* kSender = "cDataManager";
// The most playbacks a sample record may ask for.
constexpr u32 kMaxPlaybacks = 20;
// Decoded bytes the WAV writer accepts (about 50 minutes of stereo at 44100 Hz): a file that
// decodes to more is refused rather than filling the memory.
constexpr std::size_t kMaxWavData = std::size_t(512) << 20;
constexpr u32 kDecodeBlock = 20000;

// Reads the whole file into a new buffer; a file that delivers fewer bytes than its size, or
// reports an error when closed, is an InternalError.
cDataManager::cResult LoadWhole(const filename& name, std::unique_ptr<u8[]>& buffer, u32& length) {
  cFile file;
  if (file.Open(name, "rb") != cFile::e_Opened) return cDataManager::FileNotFound;
  const u32 size = file.GetSize();
  if (size < 1 || size > cDataManager::kMaxFileBytes) {
    file.Close();
    return cDataManager::InternalError;
  }
  buffer.reset(new (std::nothrow) u8[size]);
  if (!buffer) {
    file.Close();
    return cDataManager::InternalError;
  }
  length = file.Read(buffer.get(), 1, size);
  const bool closed = file.Close();
  if (length != size || !closed) {
    buffer.reset();
    return cDataManager::InternalError;
  }
  return cDataManager::Ok;
}

void Put32(std::vector<u8>& b, std::size_t at, u32 v) {
  for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = u8(v >> (8 * i));
}
void Put16(std::vector<u8>& b, std::size_t at, u32 v) {
  b[at] = u8(v);
  b[at + 1] = u8(v >> 8);
}

}  // namespace

cDataManager::cResult cDataManager::ReadSoundBuffer(const filename& name, cSampleRecord* record) {
  if (!record) return NoOutput;
  std::unique_ptr<u8[]> buffer;
  u32 length = 0;
  cResult result = LoadWhole(name, buffer, length);
  if (result != Ok) return result;
  const u32 playbacks = std::clamp<u32>(record->maxPlaybacks, 1, kMaxPlaybacks);
  // When every playback is in use, a new channel takes over the one playing longest.
  record->handle = au::SampleLoad(buffer.get(), length, playbacks, au::kOverPos);
  if (!record->handle) {
    LogWarning(kSender, "ReadSoundBuffer: BASS_SampleLoad %s\n", name.path);
    return NoOutput;
  }
  return Ok;
}

cDataManager::cResult cDataManager::ReadMusicBuffer(const filename& name, cModuleRecord* record) {
  if (!record) return NoOutput;
  std::unique_ptr<u8[]> buffer;
  u32 length = 0;
  cResult result = LoadWhole(name, buffer, length);
  if (result != Ok) return result;
  // The module is copied by the library; the file's bytes go at once.
  record->handle = au::MusicLoad(buffer.get(), length, au::kPrescan);
  if (!record->handle) {
    LogWarning(kSender, "ReadMusicBuffer: %s\n", name.path);
    return NoOutput;
  }
  return Ok;
}

cDataManager::cResult cDataManager::ReadStreamBuffer(const filename& name, cStreamRecord* record) {
  if (!record) return NoOutput;
  std::unique_ptr<u8[]> buffer;
  u32 length = 0;
  cResult result = LoadWhole(name, buffer, length);
  if (result != Ok) return result;
  record->handle = au::StreamCreateMemory(buffer.get(), length, au::kPrescan);
  if (!record->handle) {
    LogWarning(kSender, "ReadStreamBuffer: %s\n", name.path);
    return NoOutput;
  }
  // The stream plays from these bytes: the caller keeps them as long as the stream lives.
  record->data = buffer.release();
  return Ok;
}

cDataManager::cResult cDataManager::WriteWAV(const vek::string& source, const filename& destination,
                                             bool mono) {
  const u32 stream = au::StreamCreateFile(source, au::kDecode | (mono ? au::kMono : 0u));
  if (!stream) {
    LogWarning(kSender, "WriteWAV: BASS_StreamCreateFile %s\n", source);
    return NoOutput;
  }
  auto fail = [&](const char* message) {
    LogWarning(kSender, message, destination.path);
    au::StreamFree(stream);
    return NoOutput;
  };
  au::ChannelInfo info;
  if (!au::ChannelGetInfo(stream, info)) return fail("WriteWAV: BASS_ChannelGetInfo %s\n");
  const u64 length = au::ChannelGetLength(stream, au::PosMode::Byte);
  if (length == au::kPositionError) return fail("WriteWAV: BASS_ChannelGetLength %s\n");

  // The reported length is a hint only: the buffer grows with what the decoder delivers.
  std::vector<u8> out(44, 0);
  out.reserve(std::size_t(std::min<u64>(length, kMaxWavData)) + 44);
  const u32 blockAlign = info.channels * 16 / 8;
  std::memcpy(out.data(), "RIFF", 4);
  std::memcpy(out.data() + 8, "WAVEfmt ", 8);
  Put32(out, 16, 16);
  Put16(out, 20, 1);
  Put16(out, 22, info.channels);
  Put32(out, 24, info.frequency);
  Put32(out, 28, blockAlign * info.frequency);
  Put16(out, 32, blockAlign);
  Put16(out, 34, 16);
  std::memcpy(out.data() + 36, "data", 4);

  std::vector<u8> scratch(kDecodeBlock);
  while (au::ChannelIsActive(stream) == au::State::Playing) {
    const int got = au::ChannelGetData(stream, scratch.data(), kDecodeBlock);
    if (got <= 0) break;
    if (out.size() - 44 + std::size_t(got) > kMaxWavData) return fail("WriteWAV: sound too long %s\n");
    out.insert(out.end(), scratch.begin(), scratch.begin() + got);
  }
  if (!au::StreamFree(stream)) LogWarning(kSender, "WriteWAV: BASS_StreamFree %s\n", destination.path);
  const u32 fileSize = u32(out.size());
  Put32(out, 4, fileSize - 8);
  Put32(out, 40, fileSize - 44);

  // Written beside the target and renamed over it once complete.
  const cResult written = WriteWhole(destination, out.data(), fileSize);
  if (written != Ok) {
    LogWarning(kSender, written == FileNotFound ? "WriteWAV: file not opened %s\n"
                                                : "WriteWAV: file not written %s\n",
               destination.path);
    return NoOutput;
  }
  return Ok;
}

}  // namespace vek
