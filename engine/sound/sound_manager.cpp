#include "engine/sound/sound_manager.h"

#include "engine/core/log.h"
#include "engine/sound/music.h"
#include "platform/audio.h"

namespace vek {

namespace au = plat::audio;

namespace {

cSoundManager* g_pSoundManager = nullptr;

constexpr const char* kSender = "cSoundManager";
constexpr float kMaxConfig = 10000.0f;

// A configuration value as 0..1; the library's error value (above 10000) reads as 0.
float ConfigToVolume(u32 value) { return value > 10000u ? 0.0f : float(value) / kMaxConfig; }

}  // namespace

cSoundManager* GetSound() { return g_pSoundManager; }

bool CreateSoundManager() {
  if (g_pSoundManager) {
    LogWarning("CreateSoundManager", "Manager already exists\n");
    return false;
  }
  g_pSoundManager = new cSoundManager();
  if (!g_pSoundManager->Init()) {
    // The manager stays: every operation then works without a library and plays nothing.
    LogWarning("CreateSoundManager", "Init\n");
    return false;
  }
  LogText("CreateSoundManager", "Ok\n");
  return true;
}

bool DestroySoundManager() {
  if (!g_pSoundManager) {
    LogWarning("DestroySoundManager", "Manager does not exist\n");
    return false;
  }
  delete g_pSoundManager;
  g_pSoundManager = nullptr;
  LogText("DestroySoundManager", "Ok\n");
  return true;
}

// --- Buffers -------------------------------------------------------------------------------

cSoundManager::cSoundBuffer::cSoundBuffer(u32 h, const vek::string& n, bool reserved,
                                          cSoundManager* owner)
    : name(n), handle(h) {
  if (owner) owner->m_SoundBuffers.Add(this, reserved);
}

cSoundManager::cSoundBuffer::~cSoundBuffer() {
  if (handle) au::SampleFree(handle);
}

cSoundManager::cMusicBuffer::cMusicBuffer(u32 h, const vek::string& n, bool reserved,
                                          cSoundManager* owner)
    : name(n), handle(h) {
  if (owner) owner->m_MusicBuffers.Add(this, reserved);
}

cSoundManager::cMusicBuffer::~cMusicBuffer() {
  if (handle) au::MusicFree(handle);
}

cSoundManager::cStreamBuffer::cStreamBuffer(u32 h, const vek::string& n, u8* d, bool reserved,
                                            cSoundManager* owner)
    : name(n), handle(h), data(d) {
  if (owner) owner->m_StreamBuffers.Add(this, reserved);
}

cSoundManager::cStreamBuffer::~cStreamBuffer() {
  // The stream reads from the data while it lives: free it first.
  if (handle) au::StreamFree(handle);
  delete[] data;
}

// --- Manager -------------------------------------------------------------------------------

cSoundManager::cSoundManager() = default;

cSoundManager::~cSoundManager() {
  if (!au::Free()) LogWarning(kSender, "Free: BASS_Free\n");
  // Music objects first, then the buffers; their release calls find nothing left to free.
  m_Musics.Clear();
  m_StreamBuffers.Clear();
  m_MusicBuffers.Clear();
  m_SoundBuffers.Clear();
}

bool cSoundManager::Init() {
  new cSoundBuffer(0, "unnamed", true, this);
  new cMusicBuffer(0, "unnamed", true, this);
  new cStreamBuffer(0, "unnamed", nullptr, true, this);
  new cMusic("unnamed", "unnamed", true, this);

  // Device 1, the system's default output; the game window does not exist yet.
  if (!au::Init(1, 44100)) {
    LogWarning(kSender, "Init: BASS_Init\n");
    return false;
  }
  const std::string why = au::FallbackReason();
  if (!why.empty()) {
    LogWarning(kSender, "Init: no audio device could be opened (%s): the game runs silent\n",
               why);
  }
  m_bPaused = 0;
  au::Start();
  return true;
}

cMusic* cSoundManager::FindMusic(const vek::string& name) const { return m_Musics.FindItem(name); }

void cSoundManager::SetVolume(int kind, float volume) {
  if (!(volume >= 0.0f && volume <= 1.0f)) {
    LogWarning(kSender, "SetVolume: volume invalid\n");
    return;
  }
  const u32 value = u32(volume * kMaxConfig);
  if (kind == e_Sound) {
    if (!au::SetConfig(au::Config::SampleVolume, value))
      LogWarning(kSender, "SetVolume: BASS_SetConfig( BASS_CONFIG_GVOL_SAMPLE )\n");
  } else if (kind == e_Music) {
    if (!au::SetConfig(au::Config::MusicVolume, value) ||
        !au::SetConfig(au::Config::StreamVolume, value))
      LogWarning(kSender, "SetVolume: BASS_SetConfig( BASS_CONFIG_GVOL_MUSIC )\n");
    for (u32 i = 1; i < m_Musics.Count(); ++i) {
      cMusic* music = m_Musics.Get(i);
      if (music == m_Musics.Get(0) || !music->GetChannel() || !music->IsPlaying()) continue;
      music->SetVolume(volume);
    }
  }
}

float cSoundManager::GetVolume(int kind) const {
  return ConfigToVolume(
      au::GetConfig(kind == e_Sound ? au::Config::SampleVolume : au::Config::MusicVolume));
}

void cSoundManager::Pause() {
  m_bPaused = 1;
  au::Pause();
}

bool cSoundManager::Resume() {
  m_bPaused = 0;
  return au::Start();
}

bool cSoundManager::Set3DSettings(float distance, float rollOff, float doppler, bool apply) {
  if (!au::Set3DFactors(distance, rollOff, doppler)) {
    LogWarning(kSender, "Set3DSettings: BASS_Set3DFactors\n");
    return false;
  }
  if (!apply) {
    m_b3DPending = 1;
  } else if (m_b3DPending) {
    au::Apply3D();
    m_b3DPending = 0;
  }
  return true;
}

bool cSoundManager::Get3DSettings(float* distance, float* rollOff, float* doppler) const {
  if (!au::Get3DFactors(distance, rollOff, doppler)) {
    LogWarning(kSender, "Get3DSettings: BASS_Get3DFactors\n");
    return false;
  }
  return true;
}

// --- Reports -------------------------------------------------------------------------------

bool cSoundManager::Dump(int kind) const {
  double sampleKb = 0.0, musicKb = 0.0;
  if (kind == e_All || kind == e_Sound) {
    const char* border = "  +----+------------------------+------------+\n";
    LogPlain("Sound Buffers. ^1Blue Buffers^6 - mono for using 3D.\n");
    LogPlain(border);
    LogPlain("  |  N |      Buffer name       |   size (Kb)|\n");
    LogPlain(border);
    int count = 0;
    for (u32 i = 1; i < m_SoundBuffers.Count(); ++i) {
      const cSoundBuffer* b = m_SoundBuffers.Get(i);
      if (b == m_SoundBuffers.Get(0) || !b->handle) continue;
      au::SampleInfo info;
      if (!au::SampleGetInfo(b->handle, info)) info = au::SampleInfo{};
      const double kb = double(info.length) / 1024.0;
      LogPlain((info.flags & au::k3D) ? "  | %2i | ^1%22s^6 |  %8.1f  |\n"
                                      : "  | %2i | %22s |  %8.1f  |\n",
               int(i), b->name, kb);
      sampleKb += kb;
      ++count;
    }
    LogPlain(border);
    LogPlain("Sound buffers count: %i. All buffers size (Kb): %.1f\n", count, sampleKb);
  }
  const char* wide =
      "  +----+-----------------------------------------------------------------+------------+\n";
  const char* fileHead =
      "  |  N |                           Buffer file                           |  size (Kb) |\n";
  if (kind == e_All || kind == e_Music) {
    LogPlain("Music Buffers.\n");
    LogPlain(wide);
    LogPlain(fileHead);
    LogPlain(wide);
    int count = 0;
    for (u32 i = 1; i < m_MusicBuffers.Count(); ++i) {
      const cMusicBuffer* b = m_MusicBuffers.Get(i);
      if (b == m_MusicBuffers.Get(0)) continue;
      u64 bytes = au::ChannelGetLength(b->handle, au::PosMode::Byte);
      const double kb = bytes == au::kPositionError ? 0.0 : double(bytes) / 1024.0;
      LogPlain("  | %2i | %63s |  %8.1f  |\n", int(i), b->name, kb);
      musicKb += kb;
      ++count;
    }
    LogPlain(wide);
    LogPlain("Music buffers count: %i. All music buffers size: %.1f\n", count, musicKb);

    const char* border = "  +----+------------------------+--------------+--------------+\n";
    LogPlain("Musics.\n");
    LogPlain(border);
    LogPlain("  |  N |       music name       |    Offset    |    Length    |\n");
    LogPlain(border);
    int musics = 0;
    for (u32 i = 1; i < m_Musics.Count(); ++i) {
      const cMusic* m = m_Musics.Get(i);
      if (m == m_Musics.Get(0)) continue;
      LogPlain("  | %2i | %22s |  %10i  |  %10i  |\n", int(i), m->name, m->GetStartOrder(),
               m->GetEndOrder());
      ++musics;
    }
    LogPlain(border);
    LogPlain("Musics count: %i\n", musics);
  }
  if (kind == e_All || kind == e_Stream) {
    LogPlain("Stream Buffers.\n");
    LogPlain(wide);
    LogPlain(fileHead);
    LogPlain(wide);
    int count = 0;
    double streamKb = 0.0;
    for (u32 i = 1; i < m_StreamBuffers.Count(); ++i) {
      const cStreamBuffer* b = m_StreamBuffers.Get(i);
      if (b == m_StreamBuffers.Get(0)) continue;
      u64 bytes = au::ChannelGetLength(b->handle, au::PosMode::Byte);
      const double kb = bytes == au::kPositionError ? 0.0 : double(bytes) / 1024.0;
      LogPlain("  | %2i | %63s |  %8.1f  |\n", int(i), b->name, kb);
      streamKb += kb;
      ++count;
    }
    LogPlain(wide);
    LogPlain("Stream buffers count: %i. All Stream buffers size: %.1f\n", count, streamKb);
  }
  if (kind == e_All) {
    LogPlain("Sound manager occuped %.1f Kb of memory.\n", sampleKb + musicKb);
  }
  LogPlain("Settings:\n");
  LogPlain("Volumes: sound %.3f, music %.3f\n", double(GetVolume(e_Sound)),
           double(GetVolume(e_Music)));
  return true;
}

bool cSoundManager::DumpConfig() {
  if (!g_pSoundManager) {
    LogWarning(kSender,
               "DumpConfig: info is unavailable - sound manager was not initialized\n");
    return false;
  }
  au::OutputInfo info;
  if (!au::GetInfo(info)) {
    LogWarning(kSender, "DumpConfig: BASS_GetInfo\n");
    return false;
  }
  LogPlain("Sound System:\n");
  au::DeviceInfo device;
  if (au::GetDeviceInfo(au::GetDevice(), device)) {
    LogPlain("  %s\n", device.name);
    LogPlain("  Driver: %s\n", device.driver);
  }
  struct Cap {
    u32 flag;
    const char* text;
  };
  static const Cap kCaps[] = {
      {au::kCapsEmulated,
       "  The device's drivers do not have DirectSound support, so it is being emulated\n"},
      {au::kCapsCertified, "  The device driver has been certified by Microsoft\n"},
      {au::kCapsHardwareMono, "  Mono Buffers are supported by hardware mixing\n"},
      {au::kCapsHardwareStereo, "  Stereo Buffers are supported by hardware mixing\n"},
      {au::kCapsHardware8Bit, "  8-bit Buffers are supported by hardware mixing\n"},
      {au::kCapsHardware16Bit, "  16-bit Buffers are supported by hardware mixing\n"},
  };
  for (const Cap& c : kCaps) {
    if (info.flags & c.flag) LogPlain(c.text);
  }
  LogPlain("  Total hardware memory: %i\n", int(info.hardwareMemory));
  LogPlain("  Free hardware memory: %i\n", int(info.freeHardwareMemory));
  LogPlain("  The number of free Buffer slots in the hardware: %i\n", int(info.freeSlots));
  LogPlain("  The number of free 3D Buffer slots in the hardware: %i\n", int(info.free3DSlots));
  LogPlain("  The minimum Buffer rate supported by the hardware: %i\n", int(info.minRate));
  LogPlain("  The maximum Buffer rate supported by the hardware: %i\n", int(info.maxRate));
  LogPlain("  EAX: %s\n", info.eax ? "enabled" : "disabled");
  return true;
}

}  // namespace vek
