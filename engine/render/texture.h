#pragma once
// A named picture the renderer can bind. Its pixels live in system memory (an image) until a
// device exists, then on the device; when the device goes they are read back into an image.
// Every texture lives in the texture manager and is addressed by its index or its name.
#include <memory>

#include "engine/core/types.h"
#include "engine/files/image.h"

namespace vek {

struct cDeviceTexture;

class cTexture {
 public:
  // Keeps a converted copy of the image (the caller keeps its own) and adds itself to the
  // texture manager, into the reserved slot when asked and one is free. Uploads at once when
  // the renderer has a device.
  cTexture(const vek::string& name, bool reserved, const cImage* image);
  // A render target of the given size (made smaller when the device cannot hold it). Its
  // contents are lost whenever its device texture goes.
  cTexture(const vek::string& name, u32 width, u32 height);
  ~cTexture();
  cTexture(const cTexture&) = delete;
  cTexture& operator=(const cTexture&) = delete;

  // Moves the pixels to the device; false when a device texture exists already. The image is
  // kept until an upload succeeds.
  bool OnCreateContext();
  // Reads the pixels back into an image and releases the device texture.
  void OnDeleteContext();
  u32 GetWidth() const;
  u32 GetHeight() const;

  cDeviceTexture* GetContext() const { return m_pContext; }
  const cImage* GetImage() const { return m_pImage.get(); }
  bool IsRenderTarget() const { return m_bRenderTarget; }

  vek::string name;
  cDeviceTexture* m_pContext = nullptr;
  std::unique_ptr<cImage> m_pImage;
  u32 m_Address = 1;  // wrap
  bool m_bRenderTarget = false;
  u32 m_TargetWidth = 0;
  u32 m_TargetHeight = 0;

 private:
  void AddToManager(bool reserved);
  bool Upload();
};

}  // namespace vek
