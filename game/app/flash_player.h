#pragma once
// Plays a movie into a texture for the splash screen's movie slides: the movie control draws
// each frame into memory and the frame is copied into the texture. Where no movie control
// exists (this platform), the player stays empty: loading a movie and copying a frame do
// nothing, and the slide shows nothing.
#include <memory>

#include "engine/core/types.h"
#include "platform/com.h"

namespace vek {
class cTexture;
}

class cFlashPlayer {
 public:
  cFlashPlayer() = default;
  ~cFlashPlayer() { Destroy(); }
  cFlashPlayer(const cFlashPlayer&) = delete;
  cFlashPlayer& operator=(const cFlashPlayer&) = delete;

  // Sets the player up on the texture; stops quietly at the first step that fails.
  void Create(vek::cTexture* texture);
  void Destroy();
  void LoadMovie(const vek::string& path);
  void CopyFrame();

  bool HasControl() const { return m_pControl != nullptr; }

 private:
  vek::cTexture* m_pTexture = nullptr;
  std::unique_ptr<plat::com::MovieControl> m_pControl;
  int m_Width = 0, m_Height = 0;
};
