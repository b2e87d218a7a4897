#pragma once
// The engine's audio singleton: starts the audio library, owns every loaded sample, module and
// stream (named buffers) and the playable music objects, and holds the global volumes, the
// 3-D settings and the paused state of the output.
#include "engine/core/container_ptr.h"
#include "engine/core/types.h"

namespace vek {

class cMusic;
class cSoundManager;

// The singleton (null before CreateSoundManager and after DestroySoundManager).
cSoundManager* GetSound();
// Makes the singleton and starts it; a second call only warns.
bool CreateSoundManager();
bool DestroySoundManager();

class cSoundManager {
 public:
  // Buffer kinds of Dump and volume kinds of GetVolume/SetVolume; 3 (streams only) has no
  // script name.
  enum eStream { e_All = 0, e_Sound = 1, e_Music = 2, e_Stream = 3 };

  // A loaded sample under a name. Adds itself to the sample-buffer container of the manager.
  class cSoundBuffer {
   public:
    cSoundBuffer(u32 handle, const vek::string& name, bool reserved,
                 cSoundManager* owner = GetSound());
    virtual ~cSoundBuffer();
    cSoundBuffer(const cSoundBuffer&) = delete;
    cSoundBuffer& operator=(const cSoundBuffer&) = delete;
    vek::string name;
    u32 handle = 0;
  };

  // A loaded tracker module under a name; the module is also its own channel.
  class cMusicBuffer {
   public:
    cMusicBuffer(u32 handle, const vek::string& name, bool reserved,
                 cSoundManager* owner = GetSound());
    virtual ~cMusicBuffer();
    cMusicBuffer(const cMusicBuffer&) = delete;
    cMusicBuffer& operator=(const cMusicBuffer&) = delete;
    vek::string name;
    u32 handle = 0;
  };

  // A stream under a name, with the file data it plays from (owned, deleted after the stream).
  class cStreamBuffer {
   public:
    cStreamBuffer(u32 handle, const vek::string& name, u8* data, bool reserved,
                  cSoundManager* owner = GetSound());
    virtual ~cStreamBuffer();
    cStreamBuffer(const cStreamBuffer&) = delete;
    cStreamBuffer& operator=(const cStreamBuffer&) = delete;
    vek::string name;
    u32 handle = 0;
    u8* data = nullptr;
  };

  cSoundManager();
  virtual ~cSoundManager();
  cSoundManager(const cSoundManager&) = delete;
  cSoundManager& operator=(const cSoundManager&) = delete;

  // Fills slot 0 of the four containers and starts the library and its output.
  bool Init();

  // Volumes as 0..1: kind 1 the sample volume, kind 2 the music and stream volumes.
  void SetVolume(int kind, float volume);
  float GetVolume(int kind) const;

  // Output pause for the window's focus: Pause marks the output paused and pauses it; Resume
  // clears the mark and starts it again.
  void Pause();
  bool Resume();
  bool IsPaused() const { return m_bPaused != 0; }
  void SetPaused(bool paused) { m_bPaused = paused ? 1 : 0; }

  bool Set3DSettings(float distance, float rollOff, float doppler, bool apply);
  bool Get3DSettings(float* distance, float* rollOff, float* doppler) const;
  bool Is3DPending() const { return m_b3DPending != 0; }
  void Set3DPending() { m_b3DPending = 1; }
  float GetMinDistance() const { return m_MinDistance; }
  float GetMaxDistance() const { return m_MaxDistance; }

  // The buffer report of one kind (0 all); always true.
  bool Dump(int kind) const;
  // The sound-system report; false without a manager or when the library gives no information.
  static bool DumpConfig();

  // Look-ups by name: the index of the first item with that name, 0 when none has it.
  template <class T>
  static u32 FindBufferIndex(const cContainerPtr<T>& container, const vek::string& name) {
    return container.FindIndex(name);
  }

  cContainerPtr<cSoundBuffer>& GetSoundBuffers() { return m_SoundBuffers; }
  cContainerPtr<cMusicBuffer>& GetMusicBuffers() { return m_MusicBuffers; }
  cContainerPtr<cStreamBuffer>& GetStreamBuffers() { return m_StreamBuffers; }
  cContainerPtr<cMusic>& GetMusics() { return m_Musics; }
  const cContainerPtr<cSoundBuffer>& GetSoundBuffers() const { return m_SoundBuffers; }
  const cContainerPtr<cMusicBuffer>& GetMusicBuffers() const { return m_MusicBuffers; }
  const cContainerPtr<cStreamBuffer>& GetStreamBuffers() const { return m_StreamBuffers; }
  const cContainerPtr<cMusic>& GetMusics() const { return m_Musics; }
  // The music of that name, or the first music when none has it.
  cMusic* FindMusic(const vek::string& name) const;

 private:
  cContainerPtr<cSoundBuffer> m_SoundBuffers{30, 1};
  cContainerPtr<cMusicBuffer> m_MusicBuffers{10, 1};
  cContainerPtr<cStreamBuffer> m_StreamBuffers{10, 1};
  cContainerPtr<cMusic> m_Musics{10, 1};
  u8 m_b3DPending = 0;
  u8 m_bPaused = 0;
  // The library's value for "leave the default unchanged".
  float m_MinDistance = -1.0f;
  float m_MaxDistance = -1.0f;
};

}  // namespace vek
