#pragma once
// A piece of background music: a module played from a start order to an end order, or a
// stream. Music objects live in the sound manager's music container and are found by name.
#include "engine/core/types.h"
#include "engine/sound/sound_manager.h"

namespace vek {

class cMusic {
 public:
  enum eType { e_Module = 0, e_Stream = 1 };

  // Each music adds itself to the music container of the manager (the singleton unless told).
  // A module music of the named music buffer, from order 0.
  cMusic(const vek::string& name, const vek::string& bufferName, bool reserved,
         cSoundManager* owner = GetSound());
  // A module music played from `startOrder` to `endOrder` (an end order above the start
  // order ends the piece there, or loops it back to the start order).
  cMusic(const vek::string& name, const vek::string& bufferName, i32 startOrder, i32 endOrder,
         bool reserved, cSoundManager* owner = GetSound());
  // A stream music of the stream buffer of the same name.
  cMusic(const vek::string& name, bool reserved, cSoundManager* owner = GetSound());
  virtual ~cMusic() = default;
  cMusic(const cMusic&) = delete;
  cMusic& operator=(const cMusic&) = delete;

  // The buffer's handle (a module or stream is its own channel); 0 when there is none.
  u32 GetChannel() const;
  bool Play();
  bool Pause();
  bool IsPlaying() const;
  bool SetVolume(float volume);
  // Turns looping on.
  void SetLoop();
  bool Fade(bool fadeIn, float seconds);

  vek::string name;
  u32 GetBufferIndex() const { return m_BufferIndex; }
  i32 GetType() const { return m_Type; }
  i32 GetStartOrder() const { return m_StartOrder; }
  i32 GetEndOrder() const { return m_EndOrder; }

 private:

  cSoundManager* m_pOwner = nullptr;
  u32 m_BufferIndex = 0;
  i32 m_Type = e_Module;
  i32 m_StartOrder = 0;
  i32 m_EndOrder = 0;
};

}  // namespace vek
