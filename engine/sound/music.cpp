#include "engine/sound/music.h"

#include "engine/core/log.h"
#include "platform/audio.h"

namespace vek {

namespace au = plat::audio;

namespace {
constexpr const char* kSender = "cMusic";

u32 Milliseconds(float seconds) {
  const float ms = seconds * 1000.0f;
  return ms > 0.0f ? (ms < 4.0e9f ? u32(ms) : 4000000000u) : 0u;
}
}  // namespace

cMusic::cMusic(const vek::string& n, const vek::string& bufferName, bool reserved,
               cSoundManager* owner)
    : cMusic(n, bufferName, 0, 0, reserved, owner) {}

cMusic::cMusic(const vek::string& n, const vek::string& bufferName, i32 startOrder,
               i32 endOrder, bool reserved, cSoundManager* owner)
    : name(n), m_pOwner(owner), m_Type(e_Module), m_StartOrder(startOrder), m_EndOrder(endOrder) {
  if (!owner) return;
  m_BufferIndex = owner->GetMusicBuffers().FindIndex(bufferName);
  owner->GetMusics().Add(this, reserved);
}

cMusic::cMusic(const vek::string& n, bool reserved, cSoundManager* owner)
    : name(n), m_pOwner(owner), m_Type(e_Stream) {
  if (!owner) return;
  m_BufferIndex = owner->GetStreamBuffers().FindIndex(n);
  owner->GetMusics().Add(this, reserved);
}

u32 cMusic::GetChannel() const {
  if (!m_pOwner) return 0;
  if (m_Type == e_Module) {
    const auto& c = m_pOwner->GetMusicBuffers();
    const auto* b = c.Get(m_BufferIndex);
    return b == c.Get(0) ? 0 : b->handle;
  }
  if (m_Type == e_Stream) {
    const auto& c = m_pOwner->GetStreamBuffers();
    const auto* b = c.Get(m_BufferIndex);
    return b == c.Get(0) ? 0 : b->handle;
  }
  return 0;
}

bool cMusic::Play() {
  const u32 channel = GetChannel();
  if (!channel) {
    LogWarning(kSender, "Play: invalid music '%s'\n", name);
    return false;
  }
  // The library plays nothing while its output is paused: start it for the call.
  const bool wasPaused = m_pOwner->IsPaused();
  if (wasPaused) {
    m_pOwner->SetPaused(false);
    au::Start();
  }
  bool ok = true;
  if (m_Type == e_Module) {
    // Several musics may share one module: each plays its own range of orders.
    const u16 start = u16(m_StartOrder & 0xFFFF);
    au::MusicSetOrderRange(channel, start, m_EndOrder > m_StartOrder ? m_EndOrder : -1);
    const u64 position = au::ChannelGetPosition(channel, au::PosMode::Order);
    if (position == au::kPositionError || u16(position & 0xFFFF) != start) {
      if (!au::ChannelSetPosition(channel, start, au::PosMode::Order)) {
        LogWarning(kSender, "Play: BASS_ChannelSetPosition\n");
        ok = false;
      }
    }
    if (ok) ok = au::ChannelPlay(channel, false);
  } else {
    ok = au::ChannelPlay(channel, false);
  }
  if (wasPaused) {
    m_pOwner->SetPaused(true);
    au::Pause();
  }
  return ok;
}

bool cMusic::Pause() {
  const u32 channel = GetChannel();
  return channel && au::ChannelPause(channel);
}

bool cMusic::IsPlaying() const {
  const u32 channel = GetChannel();
  return channel && au::ChannelIsActive(channel) == au::State::Playing;
}

bool cMusic::SetVolume(float volume) {
  const u32 channel = GetChannel();
  return channel && au::ChannelSetVolume(channel, volume);
}

void cMusic::SetLoop() {
  const u32 channel = GetChannel();
  if (!channel) return;
  const u32 flags = au::ChannelFlags(channel, 0, 0);
  if (flags == au::kFlagsError) return;
  au::ChannelFlags(channel, flags | au::kLoop, au::kLoop);
}

bool cMusic::Fade(bool fadeIn, float seconds) {
  const u32 channel = GetChannel();
  if (!channel) return false;
  float target = -1.0f;
  if (fadeIn) {
    au::ChannelSetVolume(channel, 0.0f);
    const u32 value = au::GetConfig(au::Config::MusicVolume);
    target = value > 10000u ? 0.0f : float(value) / 10000.0f;
  }
  return au::ChannelSlideVolume(channel, target, Milliseconds(seconds));
}

}  // namespace vek
