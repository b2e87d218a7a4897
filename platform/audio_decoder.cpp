#include "platform/audio_decoder.h"

#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/regular_file.h"

namespace plat::audio::detail {

namespace {

class MemoryBytes : public ByteInput {
 public:
  MemoryBytes(const void* data, std::size_t size)
      : m_Data(static_cast<const unsigned char*>(data)), m_Size(size) {}
  std::size_t Read(void* out, std::size_t bytes) override {
    std::size_t n = std::min(bytes, m_Size - m_Pos);
    if (n) std::memcpy(out, m_Data + m_Pos, n);
    m_Pos += n;
    return n;
  }
  bool Seek(std::int64_t offset, int whence) override {
    std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? std::int64_t(m_Pos)
                                                                     : std::int64_t(m_Size);
    std::int64_t to = base + offset;
    if (to < 0 || to > std::int64_t(m_Size)) return false;
    m_Pos = std::size_t(to);
    return true;
  }
  std::int64_t Tell() override { return std::int64_t(m_Pos); }
  std::int64_t Size() override { return std::int64_t(m_Size); }

 private:
  const unsigned char* m_Data;
  std::size_t m_Size;
  std::size_t m_Pos = 0;
};

class FileBytes : public ByteInput {
 public:
  explicit FileBytes(std::FILE* f) : m_File(f) {
    if (std::fseek(f, 0, SEEK_END) == 0) m_Size = std::ftell(f);
    if (m_Size < 0) m_Size = 0;
    std::fseek(f, 0, SEEK_SET);
  }
  ~FileBytes() override { std::fclose(m_File); }
  std::size_t Read(void* out, std::size_t bytes) override {
    return std::fread(out, 1, bytes, m_File);
  }
  bool Seek(std::int64_t offset, int whence) override {
    std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? Tell() : m_Size;
    std::int64_t to = base + offset;
    if (to < 0 || to > m_Size) return false;
    return std::fseek(m_File, long(to), SEEK_SET) == 0;
  }
  std::int64_t Tell() override { return std::ftell(m_File); }
  std::int64_t Size() override { return m_Size; }

 private:
  std::FILE* m_File;
  std::int64_t m_Size = 0;
};

std::uint32_t U32(const unsigned char* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
std::uint16_t U16(const unsigned char* p) { return std::uint16_t(p[0] | p[1] << 8); }

// --- WAV -----------------------------------------------------------------------------------

class WavDecoder : public Decoder {
 public:
  enum class Kind { Pcm, Float };

  static std::unique_ptr<Decoder> Open(std::unique_ptr<ByteInput> in, std::string& error);

  std::size_t Read(std::int16_t* out, std::size_t count) override {
    count = std::size_t(std::min<std::uint64_t>(count, frames - m_Frame));
    std::size_t done = 0;
    while (done < count) {
      std::size_t n = std::min<std::size_t>(count - done, kBlockFrames);
      std::size_t bytes = n * m_BlockAlign;
      m_Scratch.resize(bytes);
      std::size_t got = m_In->Read(m_Scratch.data(), bytes) / m_BlockAlign;
      Convert(m_Scratch.data(), out + done * channels, got);
      done += got;
      m_Frame += got;
      if (got < n) {
        frames = m_Frame;  // the file ended early: the stream ends here
        break;
      }
    }
    return done;
  }
  bool Seek(std::uint64_t frame) override {
    if (frame > frames) return false;
    if (!m_In->Seek(std::int64_t(m_DataOffset + frame * m_BlockAlign), SEEK_SET)) return false;
    m_Frame = frame;
    return true;
  }

 private:
  static constexpr std::size_t kBlockFrames = 4096;

  void Convert(const unsigned char* p, std::int16_t* out, std::size_t n) {
    std::size_t values = n * std::size_t(channels);
    int bytes = m_Bits / 8;
    for (std::size_t i = 0; i < values; ++i, p += bytes) {
      if (m_Kind == Kind::Float) {
        float f;
        if (bytes == 4) {
          std::uint32_t u = U32(p);
          std::memcpy(&f, &u, 4);
        } else {
          std::uint64_t u = std::uint64_t(U32(p)) | std::uint64_t(U32(p + 4)) << 32;
          double d;
          std::memcpy(&d, &u, 8);
          f = float(d);
        }
        if (!(f == f)) f = 0.0f;  // NaN
        float s = std::clamp(f * 32768.0f, -32768.0f, 32767.0f);
        out[i] = std::int16_t(std::lrintf(s));
      } else if (bytes == 1) {
        out[i] = std::int16_t((int(p[0]) - 128) * 256);
      } else {
        // Little-endian signed: the two most significant bytes are the last two.
        out[i] = std::int16_t(p[bytes - 2] | p[bytes - 1] << 8);
      }
    }
  }

  std::unique_ptr<ByteInput> m_In;
  Kind m_Kind = Kind::Pcm;
  int m_Bits = 16;
  int m_BlockAlign = 0;
  std::uint64_t m_DataOffset = 0;
  std::uint64_t m_Frame = 0;
  std::vector<unsigned char> m_Scratch;
};

std::unique_ptr<Decoder> WavDecoder::Open(std::unique_ptr<ByteInput> in, std::string& error) {
  unsigned char head[12];
  if (in->Read(head, 12) != 12 || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0) {
    error = "not a RIFF/WAVE file";
    return nullptr;
  }
  const std::int64_t size = in->Size();
  bool haveFmt = false, haveData = false;
  std::uint16_t format = 0, chans = 0, align = 0, bits = 0;
  std::uint32_t rate = 0;
  std::uint64_t dataOffset = 0, dataSize = 0;
  // Walk the chunks; a chunk size is never trusted beyond the end of the input.
  for (int guard = 0; guard < 10000 && !(haveFmt && haveData); ++guard) {
    unsigned char ch[8];
    if (in->Read(ch, 8) != 8) break;
    std::uint64_t chunk = U32(ch + 4);
    std::int64_t start = in->Tell();
    std::uint64_t left = std::uint64_t(size - start);
    if (std::memcmp(ch, "fmt ", 4) == 0) {
      if (chunk < 16 || chunk > left) {
        error = "bad format chunk";
        return nullptr;
      }
      unsigned char f[40] = {};
      std::size_t want = std::size_t(std::min<std::uint64_t>(chunk, sizeof f));
      if (in->Read(f, want) != want) {
        error = "short format chunk";
        return nullptr;
      }
      format = U16(f);
      chans = U16(f + 2);
      rate = U32(f + 4);
      align = U16(f + 12);
      bits = U16(f + 14);
      if (format == 0xFFFE) {  // extensible: the sub-format's first two bytes are the format
        if (chunk < 40) {
          error = "bad extensible format chunk";
          return nullptr;
        }
        format = U16(f + 24);
      }
      haveFmt = true;
    } else if (std::memcmp(ch, "data", 4) == 0) {
      dataOffset = std::uint64_t(start);
      dataSize = std::min(chunk, left);  // a size past the end keeps what the file holds
      haveData = true;
      if (!haveFmt) chunk = dataSize;
    }
    if (haveFmt && haveData) break;
    std::uint64_t skip = chunk + (chunk & 1);
    if (skip > left) break;
    if (!in->Seek(start + std::int64_t(skip), SEEK_SET)) break;
  }
  if (!haveFmt || !haveData) {
    error = haveFmt ? "no data chunk" : "no format chunk";
    return nullptr;
  }
  Kind kind;
  if (format == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
    kind = Kind::Pcm;
  } else if (format == 3 && (bits == 32 || bits == 64)) {
    kind = Kind::Float;
  } else {
    error = "unsupported sample format";
    return nullptr;
  }
  if (chans < 1 || chans > 2) {
    error = "unsupported channel count";
    return nullptr;
  }
  if (int(rate) < kMinRate || int(rate) > kMaxRate || rate > std::uint32_t(kMaxRate)) {
    error = "unsupported sample rate";
    return nullptr;
  }
  if (align != chans * bits / 8) {
    error = "inconsistent block size";
    return nullptr;
  }
  auto d = std::make_unique<WavDecoder>();
  d->m_Kind = kind;
  d->m_Bits = bits;
  d->m_BlockAlign = align;
  d->m_DataOffset = dataOffset;
  d->rate = int(rate);
  d->channels = chans;
  d->frames = dataSize / align;
  if (d->frames == 0) {
    error = "no sound data";
    return nullptr;
  }
  if (!in->Seek(std::int64_t(dataOffset), SEEK_SET)) {
    error = "cannot seek to the data";
    return nullptr;
  }
  d->m_In = std::move(in);
  return d;
}

// --- OGG Vorbis ----------------------------------------------------------------------------

size_t OggRead(void* ptr, size_t size, size_t n, void* src) {
  if (size == 0) return 0;
  return static_cast<ByteInput*>(src)->Read(ptr, size * n) / size;
}
int OggSeek(void* src, ogg_int64_t off, int whence) {
  return static_cast<ByteInput*>(src)->Seek(off, whence) ? 0 : -1;
}
long OggTell(void* src) { return long(static_cast<ByteInput*>(src)->Tell()); }

class OggDecoder : public Decoder {
 public:
  static std::unique_ptr<Decoder> Open(std::unique_ptr<ByteInput> in, std::string& error) {
    auto d = std::unique_ptr<OggDecoder>(new OggDecoder(std::move(in)));
    ov_callbacks cb{OggRead, OggSeek, nullptr, OggTell};
    if (ov_open_callbacks(d->m_In.get(), &d->m_File, nullptr, 0, cb) != 0) {
      error = "not a readable Ogg Vorbis file";
      return nullptr;
    }
    d->m_Open = true;
    vorbis_info* vi = ov_info(&d->m_File, -1);
    ogg_int64_t total = ov_pcm_total(&d->m_File, -1);
    if (!vi || vi->channels < 1 || vi->channels > 2) {
      error = "unsupported channel count";
      return nullptr;
    }
    if (vi->rate < kMinRate || vi->rate > kMaxRate) {
      error = "unsupported sample rate";
      return nullptr;
    }
    if (total <= 0) {
      error = "no sound data";
      return nullptr;
    }
    d->rate = int(vi->rate);
    d->channels = vi->channels;
    d->frames = std::uint64_t(total);
    return d;
  }
  ~OggDecoder() override {
    if (m_Open) ov_clear(&m_File);
  }

  std::size_t Read(std::int16_t* out, std::size_t count) override {
    std::size_t done = 0;
    int holes = 0;
    while (done < count && !m_Ended) {
      int link = 0;
      std::size_t want = (count - done) * std::size_t(channels) * 2;
      long got = ov_read(&m_File, reinterpret_cast<char*>(out + done * channels),
                         int(std::min<std::size_t>(want, 1 << 16)), 0, 2, 1, &link);
      if (got == OV_HOLE && ++holes < 16) continue;
      if (got <= 0) {
        m_Ended = true;
        break;
      }
      vorbis_info* vi = ov_info(&m_File, link);
      if (!vi || vi->channels != channels) {  // a chained file changing its layout ends here
        m_Ended = true;
        break;
      }
      done += std::size_t(got) / (std::size_t(channels) * 2);
    }
    return done;
  }
  bool Seek(std::uint64_t frame) override {
    if (ov_pcm_seek(&m_File, ogg_int64_t(frame)) != 0) return false;
    m_Ended = false;
    return true;
  }

 private:
  explicit OggDecoder(std::unique_ptr<ByteInput> in) : m_In(std::move(in)) {}
  std::unique_ptr<ByteInput> m_In;
  OggVorbis_File m_File{};
  bool m_Open = false;
  bool m_Ended = false;
};

}  // namespace

std::unique_ptr<ByteInput> MemoryInput(const void* data, std::size_t size) {
  return std::make_unique<MemoryBytes>(data, size);
}

std::unique_ptr<ByteInput> FileInput(const std::string& path) {
  // Special files (a FIFO named like a sound) are refused instead of blocking the program.
  const int fd = plat::OpenRegularForReading(path);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<FileBytes>(f);
}

std::unique_ptr<Decoder> OpenDecoder(std::unique_ptr<ByteInput> input, std::string& error) {
  if (!input) {
    error = "no input";
    return nullptr;
  }
  unsigned char magic[4] = {};
  std::size_t got = input->Read(magic, 4);
  input->Seek(0, SEEK_SET);
  if (got == 4 && std::memcmp(magic, "RIFF", 4) == 0) return WavDecoder::Open(std::move(input), error);
  if (got == 4 && std::memcmp(magic, "OggS", 4) == 0) return OggDecoder::Open(std::move(input), error);
  error = "unknown sound format";
  return nullptr;
}

}  // namespace plat::audio::detail
