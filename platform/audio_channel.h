#pragma once
// The channels of the audio mixer: a playing sample, a tracker module (libxmp) and a stream.
// Internal to platform/; every call happens under the mixer's lock.
#include <memory>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_decoder.h"

namespace plat::audio::detail {

// Which global volume scales a channel.
enum class Group { Sample = 0, Music = 1, Stream = 2 };

// Mixing works in blocks of at most this many frames.
constexpr int kBlockFrames = 1024;

class Channel {
 public:
  virtual ~Channel() = default;

  Handle handle = 0;
  Group group = Group::Sample;
  State state = State::Stopped;
  std::uint32_t flags = 0;
  float volume = 1.0f;
  // Output frames mixed since the channel last started from its beginning.
  std::uint64_t playedFrames = 0;
  Attributes3D attributes3D;

  // Mixes `frames` output frames (stereo, interleaved) into `acc`, scaled by the group gain.
  // Runs the volume slide, which also moves while the channel is not playing.
  void Mix(float* acc, int frames, float groupGain);

  bool Play(bool restart);
  void Stop() { state = State::Stopped; }
  void SetVolume(float v) {
    volume = v;
    m_Sliding = false;
  }
  void Slide(float target, std::uint32_t ms, int rate);
  bool Sliding() const { return m_Sliding; }

  virtual bool Decoding() const { return false; }
  virtual std::uint64_t Position(PosMode mode) const = 0;
  virtual bool SetPosition(std::uint64_t position, PosMode mode) = 0;
  virtual std::uint64_t Length(PosMode mode) const = 0;
  virtual ChannelInfo Info() const = 0;

 protected:
  // Adds up to `frames` frames of the channel's sound times the per-frame gain; returns the
  // frames produced, fewer when a sound that does not loop ended.
  virtual int Produce(float* acc, int frames, const float* gain) = 0;
  // Back to the beginning (after an end, and on a restart).
  virtual void Rewind() = 0;

 private:
  bool m_Sliding = false;
  bool m_SlideStops = false;
  float m_SlideFrom = 0.0f;
  float m_SlideTo = 0.0f;
  std::uint64_t m_SlideTotal = 0;
  std::uint64_t m_SlideDone = 0;
  float m_Gain[kBlockFrames];
};

// Decoded sound of a sample, shared by its channels.
struct SampleData {
  Handle handle = 0;
  std::vector<std::int16_t> pcm;
  int rate = 0;
  int channels = 0;
  std::uint64_t frames = 0;
  std::uint32_t maxPlaybacks = 1;
  std::uint32_t flags = 0;
  int outputRate = 44100;
};

class SampleChannel : public Channel {
 public:
  explicit SampleChannel(const SampleData* data) : m_Data(data) {}
  const SampleData* data() const { return m_Data; }
  // Back to the state of a new channel of the sample.
  void Reset();

  std::uint64_t Position(PosMode mode) const override;
  bool SetPosition(std::uint64_t position, PosMode mode) override;
  std::uint64_t Length(PosMode mode) const override;
  ChannelInfo Info() const override;

 protected:
  int Produce(float* acc, int frames, const float* gain) override;
  void Rewind() override { m_Pos = 0.0; }

 private:
  const SampleData* m_Data;
  double m_Pos = 0.0;  // in the sample's frames
};

class ModuleChannel : public Channel {
 public:
  ~ModuleChannel() override;
  // Loads the module from memory; null with the reason in `error` on failure.
  static std::unique_ptr<ModuleChannel> Load(const void* data, std::size_t size, int rate,
                                             std::string& error);
  bool SetRange(int first, int last);

  std::uint64_t Position(PosMode mode) const override;
  bool SetPosition(std::uint64_t position, PosMode mode) override;
  std::uint64_t Length(PosMode mode) const override;
  ChannelInfo Info() const override;

 protected:
  int Produce(float* acc, int frames, const float* gain) override;
  void Rewind() override;

 private:
  ModuleChannel() = default;
  bool RenderTick();
  bool Jump(int order, int row);

  void* m_Context = nullptr;  // xmp_context
  int m_Rate = 44100;
  int m_Orders = 0;
  std::uint64_t m_TotalFrames = 0;
  int m_First = 0;
  int m_Last = -1;
  int m_Order = 0;
  int m_Row = 0;
  int m_LoopCount = 0;
  std::uint64_t m_Frames = 0;  // frames since the last start or jump
  std::vector<std::int16_t> m_Tick;
  int m_TickFrames = 0;
  int m_TickPos = 0;
};

class StreamChannel : public Channel {
 public:
  StreamChannel(std::unique_ptr<Decoder> decoder, std::uint32_t flags, int outputRate);

  bool Decoding() const override { return (flags & kDecode) != 0; }
  // Decoding streams: reads 16-bit frames in the stream's own layout.
  int GetData(void* buffer, std::uint32_t bytes);

  std::uint64_t Position(PosMode mode) const override;
  bool SetPosition(std::uint64_t position, PosMode mode) override;
  std::uint64_t Length(PosMode mode) const override;
  ChannelInfo Info() const override;

 protected:
  int Produce(float* acc, int frames, const float* gain) override;
  void Rewind() override;

 private:
  bool Refill();
  int OutChannels() const { return (flags & kMono) ? 1 : m_Decoder->channels; }

  std::unique_ptr<Decoder> m_Decoder;
  double m_Step;
  std::vector<std::int16_t> m_Buf;  // decoded frames, m_Decoder->channels values each
  std::size_t m_BufFrames = 0;
  double m_Pos = 0.0;               // within m_Buf
  std::uint64_t m_BufStart = 0;     // stream frame of m_Buf[0]
  bool m_SourceEnded = false;
  std::uint64_t m_Decoded = 0;      // decoding streams: frames delivered
};

}  // namespace plat::audio::detail
