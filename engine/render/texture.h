#pragma once
// A named picture the renderer can bind. Its pixels live in system memory (an image) until a
// device exists, then on the device; when the device goes they are read back into an image.
// Every texture lives in the texture manager and is addressed by its index or its name.
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/recti.h"
#include "engine/core/types.h"
#include "engine/files/image.h"

namespace vek {

struct cDeviceTexture;

// How much of a picture shows, cell by cell: cells of kCoverageCell x kCoverageCell pixels
// counted from the picture's bottom-left corner (the last column and row may be narrower),
// each clear (no pixel shows), solid (every pixel covers fully) or mixed. A cell is judged
// with the pixels around it, so that filtering at its edges reads nothing of another kind:
// a solid cell drawn without blending, or a clear one not drawn at all, gives the picture
// that blending it would.
constexpr u32 kCoverageCell = 32;
struct cCoverage {
  enum eCell : u8 { e_Clear = 0, e_Mixed = 1, e_Solid = 2 };
  u32 columns = 0, rows = 0;
  std::vector<u8> cells;  // eCell, row after row from the bottom; empty when not known
  // The cell; mixed when not known or outside.
  eCell At(u32 column, u32 row) const {
    return column < columns && row < rows ? static_cast<eCell>(cells[static_cast<size_t>(row) * columns + column])
                                          : e_Mixed;
  }
};
// The coverage of level 0: from the alpha of formats with alpha, solid for the other
// uncompressed formats, not known for block-compressed ones.
cCoverage MeasureCoverage(const cImage& image);

// Whether the texture (an index into the texture manager; a page part's rectangle counts as
// its own 0..1) drawn over the texture rectangle uv covers fully, filtered or not: every cell
// of its coverage the rectangle reaches is solid. False when not known.
bool DrawsSolid(u32 textureIndex, const rectf& uv);

class cTexture {
 public:
  // Keeps a converted copy of the image (the caller keeps its own) and adds itself to the
  // texture manager, into the reserved slot when asked and one is free. Uploads at once when
  // the renderer has a device. A side that is not a power of two is logged as a warning,
  // except for the game's own pictures (`own`): nobody playing can change their size.
  cTexture(const vek::string& name, bool reserved, const cImage* image, bool own = false);
  // The same taking the image itself: its pixels are converted in place and uploaded from
  // there, with no copy kept.
  cTexture(const vek::string& name, bool reserved, cImage&& image, bool own = false);
  // A render target of the given size (made smaller when the device cannot hold it). Its
  // contents are lost whenever its device texture goes.
  cTexture(const vek::string& name, u32 width, u32 height);
  // A part of a shared page: the rectangle (pixels from the page's bottom-left corner) of the
  // loaded page texture. It holds no pixels: its size is the rectangle's, texture coordinates
  // 0..1 on it mean the rectangle, and the quad batch draws it with the page's texture (so
  // the parts of one page draw together). Warns when the page is not loaded or the rectangle
  // leaves it; the part then draws as the default texture.
  cTexture(const vek::string& name, const vek::string& pageName, const recti& pixels);
  // A picture read when it is first drawn (see LoadOnUse), for pictures that most runs never
  // show: until then it holds no pixels and its size is 0.
  using cPixelSource = std::function<bool(cImage&)>;
  cTexture(const vek::string& name, cPixelSource source, bool own = false);
  ~cTexture();
  cTexture(const cTexture&) = delete;
  cTexture& operator=(const cTexture&) = delete;

  // Moves the pixels to the device; false when a device texture exists already. The image is
  // kept until an upload succeeds.
  bool OnCreateContext();
  // Reads the pixels back into an image and releases the device texture.
  void OnDeleteContext();
  // Drops the pixels wherever they are (device texture and image), for a texture that goes.
  void ReleaseContext();
  u32 GetWidth() const;
  u32 GetHeight() const;

  cDeviceTexture* GetContext() const { return m_pContext; }
  // Whether the pixels of a texture read on use are still to be read.
  bool IsWaitingForUse() const { return static_cast<bool>(m_Source); }
  // Reads them, the first time only: a picture that cannot be read is logged once and then
  // draws as the default texture. True when the texture has its pixels.
  bool LoadOnUse();
  const cImage* GetImage() const { return m_pImage.get(); }
  bool IsRenderTarget() const { return m_bRenderTarget; }
  bool IsPagePart() const { return m_Page != 0; }
  // The page's texture index (0 for a texture of its own) and the part's rectangle in the
  // page's texture coordinates.
  u32 GetPage() const { return m_Page; }
  const rectf& GetPageRect() const { return m_PageRect; }
  // Where the picture shows (measured when it was made from an image).
  const cCoverage& GetCoverage() const { return m_Coverage; }

  vek::string name;
  cDeviceTexture* m_pContext = nullptr;
  std::unique_ptr<cImage> m_pImage;
  u32 m_Address = 1;  // wrap
  bool m_bRenderTarget = false;
  u32 m_TargetWidth = 0;
  u32 m_TargetHeight = 0;
  u32 m_Page = 0;
  rectf m_PageRect{0.0f, 0.0f, 1.0f, 1.0f};
  u32 m_PartWidth = 0, m_PartHeight = 0;
  cCoverage m_Coverage;

 private:
  cPixelSource m_Source;  // set until the pixels are read
  bool m_bOwn = false;
  void AddToManager(bool reserved);
  // Warns on sides that are not powers of two (not for `own` pictures), converts the image for
  // the device and uploads it when the renderer has a device.
  void TakeImage(bool own);
  bool Upload();
};

}  // namespace vek
