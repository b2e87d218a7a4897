#pragma once
// A playable sound effect bound to a channel of a sample buffer of the sound manager.
#include "engine/core/types.h"

namespace vek {

class cSound {
 public:
  // Empty: no channel until Init binds it.
  cSound() = default;
  // Bound to the sample buffer of that name; a name no buffer has warns once here.
  explicit cSound(const vek::string& bufferName);
  // Stops a looping channel; a one-shot sound plays to its end.
  virtual ~cSound();
  cSound(const cSound&) = delete;
  cSound& operator=(const cSound&) = delete;

  // Binds the sound to a channel of the sample buffer at `index`.
  void Init(u32 index);
  bool Play(bool restart);
  bool SetVolume(float volume);
  bool IsLooped() const;
  // Slides to silence over the time, then stops the channel.
  bool FadeOut(float seconds);

  u32 GetChannel() const { return m_Channel; }
  u32 GetIndex() const { return m_Index; }

 private:
  u32 m_Channel = 0;
  u32 m_Index = 0;
  u8 m_bWarned = 0;
};

}  // namespace vek
