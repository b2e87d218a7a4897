#include "platform/audio_channel.h"

#include <xmp.h>

#include <algorithm>
#include <cmath>

namespace plat::audio::detail {

// --- Channel -------------------------------------------------------------------------------

void Channel::Mix(float* acc, int frames, float groupGain) {
  if (state != State::Playing) {
    if (!m_Sliding) return;
    // A slide runs on output time, also for a channel that is not playing.
    m_SlideDone += std::uint64_t(frames);
    if (m_SlideDone >= m_SlideTotal) {
      volume = m_SlideTo;
      m_Sliding = false;
      if (m_SlideStops) state = State::Stopped;
    } else {
      volume = m_SlideFrom + (m_SlideTo - m_SlideFrom) *
                                 float(double(m_SlideDone) / double(m_SlideTotal));
    }
    return;
  }
  int limit = frames;
  bool stopAfter = false;
  for (int i = 0; i < frames; ++i) {
    m_Gain[i] = volume * groupGain;
    if (!m_Sliding) continue;
    if (++m_SlideDone >= m_SlideTotal) {
      volume = m_SlideTo;
      m_Sliding = false;
      if (m_SlideStops) {
        limit = i + 1;
        stopAfter = true;
        break;
      }
    } else {
      volume = m_SlideFrom + (m_SlideTo - m_SlideFrom) *
                                 float(double(m_SlideDone) / double(m_SlideTotal));
    }
  }
  // Frames after a slide ended mid-block take the final volume.
  for (int i = limit; i < frames; ++i) m_Gain[i] = volume * groupGain;
  int got = Produce(acc, limit, m_Gain);
  playedFrames += std::uint64_t(got);
  if (got < limit) {
    // The sound ended: the channel stops and is ready to start again from the beginning.
    state = State::Stopped;
    Rewind();
  } else if (stopAfter) {
    state = State::Stopped;
  }
}

bool Channel::Play(bool restart) {
  if (Decoding()) return false;
  if (restart) Rewind();
  if (restart || state == State::Stopped) playedFrames = 0;
  state = State::Playing;
  return true;
}

void Channel::Slide(float target, std::uint32_t ms, int rate) {
  m_SlideStops = target < 0.0f;
  m_SlideTo = m_SlideStops ? 0.0f : std::min(target, 1.0f);
  m_SlideFrom = volume;
  m_SlideTotal = std::uint64_t(ms) * std::uint64_t(rate) / 1000u;
  m_SlideDone = 0;
  m_Sliding = true;
  if (m_SlideTotal == 0) {
    volume = m_SlideTo;
    m_Sliding = false;
    if (m_SlideStops) state = State::Stopped;
  }
}

// --- Samples -------------------------------------------------------------------------------

void SampleChannel::Reset() {
  state = State::Stopped;
  flags = m_Data->flags & (kLoop | k3D);
  SetVolume(1.0f);
  playedFrames = 0;
  attributes3D = Attributes3D{};
  m_Pos = 0.0;
}

int SampleChannel::Produce(float* acc, int frames, const float* gain) {
  const SampleData& d = *m_Data;
  const std::int16_t* p = d.pcm.data();
  const double count = double(d.frames);
  const double step = double(d.rate) / double(d.outputRate);
  const bool loop = (flags & kLoop) != 0;
  for (int i = 0; i < frames; ++i) {
    if (m_Pos >= count) {
      if (!loop) return i;
      m_Pos = std::fmod(m_Pos, count);
    }
    std::size_t k = std::size_t(m_Pos);
    std::size_t k1 = k + 1 < d.frames ? k + 1 : (loop ? 0 : k);
    float frac = float(m_Pos - double(k));
    float l, r;
    if (d.channels == 1) {
      float a = p[k], b = p[k1];
      l = r = a + (b - a) * frac;
    } else {
      float a = p[2 * k], b = p[2 * k1];
      l = a + (b - a) * frac;
      a = p[2 * k + 1];
      b = p[2 * k1 + 1];
      r = a + (b - a) * frac;
    }
    acc[2 * i] += l * gain[i];
    acc[2 * i + 1] += r * gain[i];
    m_Pos += step;
  }
  return frames;
}

std::uint64_t SampleChannel::Position(PosMode mode) const {
  if (mode != PosMode::Byte) return kPositionError;
  return std::uint64_t(m_Pos) * std::uint64_t(m_Data->channels) * 2u;
}

bool SampleChannel::SetPosition(std::uint64_t position, PosMode mode) {
  if (mode != PosMode::Byte) return false;
  std::uint64_t frame = position / (std::uint64_t(m_Data->channels) * 2u);
  if (frame > m_Data->frames) return false;
  m_Pos = double(frame);
  return true;
}

std::uint64_t SampleChannel::Length(PosMode mode) const {
  if (mode != PosMode::Byte) return kPositionError;
  return m_Data->frames * std::uint64_t(m_Data->channels) * 2u;
}

ChannelInfo SampleChannel::Info() const {
  ChannelInfo info;
  info.frequency = std::uint32_t(m_Data->rate);
  info.channels = std::uint32_t(m_Data->channels);
  info.flags = flags;
  return info;
}

// --- Modules -------------------------------------------------------------------------------

namespace {
xmp_context Ctx(void* p) { return static_cast<xmp_context>(p); }
}  // namespace

ModuleChannel::~ModuleChannel() {
  if (!m_Context) return;
  xmp_end_player(Ctx(m_Context));
  xmp_release_module(Ctx(m_Context));
  xmp_free_context(Ctx(m_Context));
}

std::unique_ptr<ModuleChannel> ModuleChannel::Load(const void* data, std::size_t size, int rate,
                                                   std::string& error) {
  if (!data || size == 0 || size > std::size_t(1) << 30) {
    error = "no module data";
    return nullptr;
  }
  std::unique_ptr<ModuleChannel> m(new ModuleChannel());
  m->m_Rate = rate;
  xmp_context ctx = xmp_create_context();
  if (!ctx) {
    error = "out of memory";
    return nullptr;
  }
  if (xmp_load_module_from_memory(ctx, data, long(size)) != 0) {
    xmp_free_context(ctx);
    error = "not a module libxmp can read";
    return nullptr;
  }
  if (xmp_start_player(ctx, rate, 0) != 0) {
    xmp_release_module(ctx);
    xmp_free_context(ctx);
    error = "the module player does not start";
    return nullptr;
  }
  m->m_Context = ctx;
  xmp_module_info mi;
  xmp_get_module_info(ctx, &mi);
  m->m_Orders = mi.mod ? mi.mod->len : 0;
  if (m->m_Orders <= 0) {
    error = "the module has no orders";
    return nullptr;
  }
  xmp_frame_info fi;
  xmp_get_frame_info(ctx, &fi);
  m->m_TotalFrames = std::uint64_t(std::max(fi.total_time, 0)) * std::uint64_t(rate) / 1000u;
  // One tick at the slowest tempo (32 bpm) lasts rate * 2.5 / 32 frames.
  m->m_Tick.resize(std::size_t(rate) * 5 / 32 * 2 + 64);
  m->group = Group::Music;
  return m;
}

bool ModuleChannel::SetRange(int first, int last) {
  if (first < 0 || first >= m_Orders) return false;
  m_First = first;
  m_Last = last < 0 ? -1 : std::min(std::max(last, first), m_Orders - 1);
  return true;
}

bool ModuleChannel::Jump(int order, int row) {
  if (order < 0 || order >= m_Orders) return false;
  xmp_context ctx = Ctx(m_Context);
  // The order was checked above; libxmp answers -1 for a jump to order 0, which succeeds.
  xmp_set_position(ctx, order);
  if (row > 0) xmp_set_row(ctx, row);
  m_Order = order;
  m_Row = row;
  m_TickPos = m_TickFrames = 0;
  m_Frames = 0;
  return true;
}

void ModuleChannel::Rewind() {
  xmp_restart_module(Ctx(m_Context));
  xmp_frame_info fi;
  xmp_get_frame_info(Ctx(m_Context), &fi);
  m_LoopCount = fi.loop_count;
  Jump(m_First, 0);
}

bool ModuleChannel::RenderTick() {
  xmp_context ctx = Ctx(m_Context);
  xmp_frame_info fi;
  for (int attempt = 0; attempt < 4; ++attempt) {
    int result = xmp_play_frame(ctx);
    xmp_get_frame_info(ctx, &fi);
    bool wrapped = fi.loop_count != m_LoopCount;
    m_LoopCount = fi.loop_count;
    bool outside = m_Last >= 0 && (fi.pos > m_Last || fi.pos < m_First);
    if (result != 0 || outside || wrapped) {
      if (!(flags & kLoop)) return false;
      if (result != 0) xmp_restart_module(ctx);
      if (result != 0 || outside) {
        xmp_get_frame_info(ctx, &fi);
        m_LoopCount = fi.loop_count;
        Jump(m_First, 0);
        continue;
      }
    }
    int count = std::max(fi.buffer_size, 0) / 4;
    if (std::size_t(count) * 2 > m_Tick.size()) m_Tick.resize(std::size_t(count) * 2);
    const auto* src = static_cast<const std::int16_t*>(fi.buffer);
    std::copy(src, src + std::size_t(count) * 2, m_Tick.begin());
    m_TickFrames = count;
    m_TickPos = 0;
    m_Order = fi.pos;
    m_Row = fi.row;
    if (count > 0) return true;
  }
  return false;
}

int ModuleChannel::Produce(float* acc, int frames, const float* gain) {
  int i = 0;
  while (i < frames) {
    if (m_TickPos >= m_TickFrames && !RenderTick()) return i;
    int n = std::min(frames - i, m_TickFrames - m_TickPos);
    const std::int16_t* s = m_Tick.data() + std::size_t(m_TickPos) * 2;
    for (int j = 0; j < n; ++j) {
      acc[2 * (i + j)] += float(s[2 * j]) * gain[i + j];
      acc[2 * (i + j) + 1] += float(s[2 * j + 1]) * gain[i + j];
    }
    i += n;
    m_TickPos += n;
    m_Frames += std::uint64_t(n);
  }
  return frames;
}

std::uint64_t ModuleChannel::Position(PosMode mode) const {
  if (mode == PosMode::Order) return std::uint64_t(m_Order & 0xFFFF) | std::uint64_t(m_Row & 0xFFFF) << 16;
  xmp_frame_info fi;
  xmp_get_frame_info(Ctx(m_Context), &fi);
  return std::uint64_t(std::max(fi.time, 0)) * std::uint64_t(m_Rate) / 1000u * 4u;
}

bool ModuleChannel::SetPosition(std::uint64_t position, PosMode mode) {
  if (mode == PosMode::Order) return Jump(int(position & 0xFFFF), int((position >> 16) & 0xFFFF));
  std::uint64_t ms = position / 4u * 1000u / std::uint64_t(m_Rate);
  if (xmp_seek_time(Ctx(m_Context), int(std::min<std::uint64_t>(ms, 1u << 30))) < 0) return false;
  m_TickPos = m_TickFrames = 0;
  return true;
}

std::uint64_t ModuleChannel::Length(PosMode mode) const {
  if (mode == PosMode::Order) return std::uint64_t(m_Orders);
  return m_TotalFrames * 4u;
}

ChannelInfo ModuleChannel::Info() const {
  ChannelInfo info;
  info.frequency = std::uint32_t(m_Rate);
  info.channels = 2;
  info.flags = flags;
  return info;
}

// --- Streams -------------------------------------------------------------------------------

namespace {
constexpr std::size_t kStreamBufferFrames = 4096;
}

StreamChannel::StreamChannel(std::unique_ptr<Decoder> decoder, std::uint32_t f, int outputRate)
    : m_Decoder(std::move(decoder)) {
  flags = f & (kLoop | kMono | kDecode);
  group = Group::Stream;
  m_Step = double(m_Decoder->rate) / double(outputRate);
  m_Buf.resize(kStreamBufferFrames * std::size_t(m_Decoder->channels));
  // A decoding stream is active until its end has been read.
  if (Decoding()) state = State::Playing;
}

bool StreamChannel::Refill() {
  const std::size_t ch = std::size_t(m_Decoder->channels);
  std::size_t keep = std::size_t(m_Pos);
  if (keep > m_BufFrames) keep = m_BufFrames;
  std::copy(m_Buf.begin() + std::ptrdiff_t(keep * ch), m_Buf.begin() + std::ptrdiff_t(m_BufFrames * ch),
            m_Buf.begin());
  m_BufFrames -= keep;
  m_BufStart += keep;
  m_Pos -= double(keep);
  int rewinds = 0;
  while (m_BufFrames < kStreamBufferFrames && !m_SourceEnded) {
    std::size_t got = m_Decoder->Read(m_Buf.data() + m_BufFrames * ch, kStreamBufferFrames - m_BufFrames);
    if (got > 0) {
      m_BufFrames += got;
      continue;
    }
    if ((flags & kLoop) && rewinds++ == 0 && m_Decoder->Seek(0)) continue;
    m_SourceEnded = true;
  }
  return m_BufFrames > 0;
}

void StreamChannel::Rewind() {
  m_Decoder->Seek(0);
  m_BufFrames = 0;
  m_BufStart = 0;
  m_Pos = 0.0;
  m_SourceEnded = false;
  m_Decoded = 0;
}

int StreamChannel::Produce(float* acc, int frames, const float* gain) {
  const std::size_t ch = std::size_t(m_Decoder->channels);
  const bool mono = (flags & kMono) && ch == 2;
  for (int i = 0; i < frames; ++i) {
    std::size_t k = std::size_t(m_Pos);
    if (k + 1 >= m_BufFrames && !m_SourceEnded) {
      Refill();
      k = std::size_t(m_Pos);
    }
    if (k >= m_BufFrames) return i;
    std::size_t k1 = k + 1 < m_BufFrames ? k + 1 : k;
    float frac = float(m_Pos - double(k));
    const std::int16_t* a = m_Buf.data() + k * ch;
    const std::int16_t* b = m_Buf.data() + k1 * ch;
    float l = a[0] + (b[0] - a[0]) * frac;
    float r = ch == 2 ? a[1] + (b[1] - a[1]) * frac : l;
    if (mono) l = r = (l + r) * 0.5f;
    acc[2 * i] += l * gain[i];
    acc[2 * i + 1] += r * gain[i];
    m_Pos += m_Step;
  }
  return frames;
}

int StreamChannel::GetData(void* buffer, std::uint32_t bytes) {
  if (!Decoding() || state != State::Playing) return -1;
  const std::size_t ch = std::size_t(m_Decoder->channels);
  const std::size_t outCh = std::size_t(OutChannels());
  std::size_t want = bytes / (outCh * 2);
  auto* out = static_cast<std::int16_t*>(buffer);
  std::size_t done = 0;
  while (done < want) {
    std::size_t n = std::min(want - done, kStreamBufferFrames);
    std::size_t got = m_Decoder->Read(m_Buf.data(), n);
    if (got == 0) break;
    for (std::size_t f = 0; f < got; ++f) {
      const std::int16_t* s = m_Buf.data() + f * ch;
      if (outCh == ch) {
        for (std::size_t c = 0; c < ch; ++c) out[(done + f) * outCh + c] = s[c];
      } else {
        out[done + f] = std::int16_t((int(s[0]) + int(s[1])) / 2);
      }
    }
    done += got;
  }
  if (done == 0) {
    state = State::Stopped;
    return -1;
  }
  m_Decoded += done;
  return int(done * outCh * 2);
}

std::uint64_t StreamChannel::Position(PosMode mode) const {
  if (mode != PosMode::Byte) return kPositionError;
  std::uint64_t frame = Decoding() ? m_Decoded : m_BufStart + std::uint64_t(m_Pos);
  if (m_Decoder->frames) frame %= m_Decoder->frames + 1;
  return frame * std::uint64_t(OutChannels()) * 2u;
}

bool StreamChannel::SetPosition(std::uint64_t position, PosMode mode) {
  if (mode != PosMode::Byte) return false;
  std::uint64_t frame = position / (std::uint64_t(OutChannels()) * 2u);
  if (frame > m_Decoder->frames || !m_Decoder->Seek(frame)) return false;
  m_BufFrames = 0;
  m_BufStart = frame;
  m_Decoded = frame;
  m_Pos = 0.0;
  m_SourceEnded = false;
  if (Decoding()) state = State::Playing;
  return true;
}

std::uint64_t StreamChannel::Length(PosMode mode) const {
  if (mode != PosMode::Byte) return kPositionError;
  return m_Decoder->frames * std::uint64_t(OutChannels()) * 2u;
}

ChannelInfo StreamChannel::Info() const {
  ChannelInfo info;
  info.frequency = std::uint32_t(m_Decoder->rate);
  info.channels = std::uint32_t(OutChannels());
  info.flags = flags;
  return info;
}

}  // namespace plat::audio::detail
