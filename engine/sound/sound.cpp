#include "engine/sound/sound.h"

#include "engine/core/log.h"
#include "engine/sound/sound_manager.h"
#include "platform/audio.h"

namespace vek {

namespace au = plat::audio;

namespace {
constexpr const char* kSender = "cSound";
}  // namespace

cSound::cSound(const vek::string& bufferName) {
  cSoundManager* manager = GetSound();
  if (!manager) return;
  const auto& buffers = manager->GetSoundBuffers();
  const u32 index = buffers.FindIndex(bufferName);
  if (index == 0 && (!buffers.Get(0) || buffers.Get(0)->name != bufferName)) {
    LogWarning(kSender, "constructor: sound buffer not found '%s'\n", bufferName);
    return;
  }
  Init(index);
}

cSound::~cSound() {
  if (m_Channel && IsLooped() && au::ChannelStop(m_Channel)) m_Channel = 0;
}

void cSound::Init(u32 index) {
  cSoundManager* manager = GetSound();
  if (!manager) return;
  const auto& buffers = manager->GetSoundBuffers();
  const cSoundManager::cSoundBuffer* buffer = buffers.Get(index);
  if (!buffer || buffer == buffers.Get(0)) return;
  m_Index = index;
  // With every playback of the sample in use, the one playing longest is taken over.
  m_Channel = au::SampleGetChannel(buffer->handle, false);
  if (!m_Channel) {
    LogWarning(kSender, "Init: BASS_SampleGetChannel '%s'\n", buffer->name);
    return;
  }
  au::SampleInfo info;
  if (au::SampleGetInfo(buffer->handle, info) && (info.flags & au::k3D)) {
    if (!au::ChannelSet3DAttributes(m_Channel, int(au::Mode3D::Normal), manager->GetMinDistance(),
                                    manager->GetMaxDistance(), -1, -1, -1.0f)) {
      LogWarning(kSender, "Init: BASS_ChannelSet3DAttributes '%s'\n", buffer->name);
    } else {
      manager->Set3DPending();
    }
  }
}

bool cSound::Play(bool restart) {
  if (!m_Channel) {
    if (!m_bWarned) {
      LogWarning(kSender, "Play: invalid sound (id = %i)\n", int(m_Index));
      m_bWarned = 1;
    }
    return false;
  }
  return au::ChannelPlay(m_Channel, restart);
}

bool cSound::SetVolume(float volume) {
  return m_Channel && au::ChannelSetVolume(m_Channel, volume);
}

bool cSound::IsLooped() const {
  if (!m_Channel) return false;
  const u32 flags = au::ChannelFlags(m_Channel, 0, 0);
  return flags != au::kFlagsError && (flags & au::kLoop) != 0;
}

bool cSound::FadeOut(float seconds) {
  if (!m_Channel) return false;
  const float ms = seconds * 1000.0f;
  return au::ChannelSlideVolume(m_Channel, -1.0f, ms > 0.0f ? (ms < 4.0e9f ? u32(ms) : 4000000000u) : 0u);
}

}  // namespace vek
