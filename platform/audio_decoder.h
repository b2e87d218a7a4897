#pragma once
// Decoders of the audio library: WAV (our own reader) and OGG Vorbis (vorbisfile), reading
// from memory or from a file, delivering interleaved 16-bit frames. Internal to platform/.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace plat::audio::detail {

// A seekable source of bytes.
class ByteInput {
 public:
  virtual ~ByteInput() = default;
  virtual std::size_t Read(void* out, std::size_t bytes) = 0;
  // whence as for fseek; false when the target is outside the input.
  virtual bool Seek(std::int64_t offset, int whence) = 0;
  virtual std::int64_t Tell() = 0;
  virtual std::int64_t Size() = 0;
};

// Reads bytes that the caller keeps alive.
std::unique_ptr<ByteInput> MemoryInput(const void* data, std::size_t size);
// Opens a file for reading; null when it cannot be opened.
std::unique_ptr<ByteInput> FileInput(const std::string& path);

class Decoder {
 public:
  virtual ~Decoder() = default;
  int rate = 0;
  int channels = 0;            // 1 or 2
  std::uint64_t frames = 0;    // total frames (every decoder here knows it)
  // Decodes up to `count` frames into `out` (count * channels values); 0 at the end.
  virtual std::size_t Read(std::int16_t* out, std::size_t count) = 0;
  // Moves to a frame; false when it cannot.
  virtual bool Seek(std::uint64_t frame) = 0;
};

// Opens a WAV or OGG decoder over the input (the format is told by the first bytes). Null on
// failure, with the reason in `error`.
std::unique_ptr<Decoder> OpenDecoder(std::unique_ptr<ByteInput> input, std::string& error);

// Limits every decoder checks before it trusts a header.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;

}  // namespace plat::audio::detail
