#pragma once
// The texture manager: the table of every texture. Position 0 always holds the built-in
// default "unnamed" (a red and white checkerboard), so that a look-up of an unknown name or
// of a bad index still gives something drawable.
#include "engine/core/container_ptr.h"
#include "engine/render/texture.h"

namespace vek {

class cTextureManager : public cContainerPtr<cTexture> {
 public:
  // Room for 100 textures, one reserved slot.
  cTextureManager() : cContainerPtr<cTexture>(100, 1) {}

  // Moves every texture to the device (element 0 first). Returns true.
  bool CreateContexts();
  // Moves every texture back into memory.
  void DeleteContexts();
  // Drops every texture's pixels, on the device and in memory (the textures stay, empty): for
  // the end of the program, where reading them back would only cost time and memory.
  void ReleaseContexts();
  // The render targets only (around a device reset).
  void DeleteRenderTargets();
  void CreateRenderTargets();
  // Frees the texture at the index (the device's copy without reading it back) and leaves its
  // position empty: the index then draws the default, which itself stays. False when there
  // was nothing to free.
  bool DeleteTexture(u32 index);

 private:
  template <class Fn>
  void Walk(Fn fn, bool fromOne);
};

extern cTextureManager* g_pTextureManager;

// Makes the manager and the default texture; a second call only warns "Already exist".
void CreateTextureManager();
// Deletes the manager with every texture in it.
void DestroyTextureManager();
// The "Textures." table, to the console and the log file.
void DumpTextures();

}  // namespace vek
