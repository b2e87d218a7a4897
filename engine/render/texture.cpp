#include "engine/render/texture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/log.h"
#include "engine/render/render.h"
#include "engine/render/texture_manager.h"

namespace vek {

namespace {
const char* const kSender = "cTexture";

u32 AtLeastOne(u32 v) { return v ? v : 1; }

// Hands a device texture to the renderer to delete; without a renderer, releases it here.
void FreeContext(cDeviceTexture*& context) {
  if (g_pRender) {
    g_pRender->DeleteTextureContext(context);
  } else {
    if (context->texture) context->texture->Release();
    delete context;
  }
  context = nullptr;
}
}  // namespace

cCoverage MeasureCoverage(const cImage& image) {
  cCoverage out;
  const PixelFormatInfo& format = image.GetFormat();
  const u32 w = image.GetWidth(), h = image.GetHeight();
  const u8* pixels = image.GetLevel(0);
  if (!pixels || !w || !h || (format.flags & e_PixFlagCompressed) || !format.bytes) return out;
  out.columns = (w + kCoverageCell - 1) / kCoverageCell;
  out.rows = (h + kCoverageCell - 1) / kCoverageCell;
  if (!format.alpha) {
    out.cells.assign(static_cast<size_t>(out.columns) * out.rows, cCoverage::e_Solid);
    return out;
  }
  // The alpha byte comes last in the pixel (grey and alpha, or red, green, blue and alpha).
  const u32 step = format.bytes, at = format.bytes - 1;
  // Per pixel row and cell column: the least and the most alpha over the cell's columns and
  // the one beyond each side.
  std::vector<u8> rowMin(static_cast<size_t>(h) * out.columns), rowMax(rowMin.size());
  for (u32 y = 0; y < h; ++y) {
    const u8* row = pixels + static_cast<size_t>(y) * w * step;
    for (u32 c = 0; c < out.columns; ++c) {
      const u32 x0 = c * kCoverageCell > 0 ? c * kCoverageCell - 1 : 0;
      const u32 x1 = std::min(w, (c + 1) * kCoverageCell + 1);
      u8 lo = 255, hi = 0;
      for (u32 x = x0; x < x1; ++x) {
        const u8 a = row[static_cast<size_t>(x) * step + at];
        lo = std::min(lo, a);
        hi = std::max(hi, a);
      }
      rowMin[static_cast<size_t>(y) * out.columns + c] = lo;
      rowMax[static_cast<size_t>(y) * out.columns + c] = hi;
    }
  }
  out.cells.resize(static_cast<size_t>(out.columns) * out.rows);
  for (u32 r = 0; r < out.rows; ++r) {
    const u32 y0 = r * kCoverageCell > 0 ? r * kCoverageCell - 1 : 0;
    const u32 y1 = std::min(h, (r + 1) * kCoverageCell + 1);
    for (u32 c = 0; c < out.columns; ++c) {
      u8 lo = 255, hi = 0;
      for (u32 y = y0; y < y1; ++y) {
        lo = std::min(lo, rowMin[static_cast<size_t>(y) * out.columns + c]);
        hi = std::max(hi, rowMax[static_cast<size_t>(y) * out.columns + c]);
      }
      out.cells[static_cast<size_t>(r) * out.columns + c] =
          lo == 255 ? cCoverage::e_Solid : hi == 0 ? cCoverage::e_Clear : cCoverage::e_Mixed;
    }
  }
  return out;
}

bool DrawsSolid(u32 textureIndex, const rectf& uv) {
  if (textureIndex == 0 || !g_pTextureManager) return false;
  const cTexture* t = g_pTextureManager->Get(textureIndex);
  if (!t) return false;
  f32 u0 = uv.x, u1 = uv.x + uv.w, v0 = uv.y, v1 = uv.y + uv.h;
  if (t->IsPagePart()) {
    const rectf& p = t->GetPageRect();
    u0 = p.x + u0 * p.w, u1 = p.x + u1 * p.w;
    v0 = p.y + v0 * p.h, v1 = p.y + v1 * p.h;
    t = g_pTextureManager->Get(t->GetPage());
    if (!t) return false;
  }
  const cCoverage& c = t->GetCoverage();
  const u32 w = t->GetWidth(), h = t->GetHeight();
  if (c.cells.empty() || !w || !h) return false;
  if (u0 > u1) std::swap(u0, u1);
  if (v0 > v1) std::swap(v0, v1);
  // Anything past the picture's edges wraps or repeats an edge: not taken as known.
  if (!(u0 >= 0.0f && v0 >= 0.0f && u1 <= 1.0f && v1 <= 1.0f && u0 < u1 && v0 < v1)) return false;
  const f32 cell = static_cast<f32>(kCoverageCell);
  const u32 c0 = static_cast<u32>(u0 * static_cast<f32>(w) / cell);
  const u32 c1 = static_cast<u32>(std::ceil(u1 * static_cast<f32>(w) / cell));
  const u32 r0 = static_cast<u32>(v0 * static_cast<f32>(h) / cell);
  const u32 r1 = static_cast<u32>(std::ceil(v1 * static_cast<f32>(h) / cell));
  for (u32 r = r0; r < r1; ++r)
    for (u32 col = c0; col < c1; ++col)
      if (c.At(col, r) != cCoverage::e_Solid) return false;
  return true;
}

cTexture::cTexture(const vek::string& textureName, bool reserved, const cImage* image, bool own)
    : name(textureName) {
  AddToManager(reserved);
  if (!image) return;
  m_pImage = image->Clone();
  TakeImage(own);
}

cTexture::cTexture(const vek::string& textureName, bool reserved, cImage&& image, bool own) : name(textureName) {
  AddToManager(reserved);
  m_pImage = std::make_unique<cImage>(std::move(image));
  TakeImage(own);
}

void cTexture::TakeImage(bool own) {
  const u32 w = AtLeastOne(m_pImage->GetWidth()), h = AtLeastOne(m_pImage->GetHeight());
  if (!own && (w & (w - 1))) LogWarning(kSender, "Constructor '%s'. NPOT texture width\n", name);
  if (!own && (h & (h - 1))) LogWarning(kSender, "Constructor '%s'. NPOT texture height\n", name);
  // The device wants blue, green, red (and alpha), and no 24-bit pixels.
  if (!(m_pImage->GetFormat().flags & e_PixFlagCompressed)) {
    m_pImage->SwapRedBlue();
    if (m_pImage->GetFormat().id == e_PixRGB) m_pImage->ConvertRGBToXRGB();
  }
  m_Coverage = MeasureCoverage(*m_pImage);
  if (g_pRender && g_pRender->GetDevice()) OnCreateContext();
}

cTexture::cTexture(const vek::string& textureName, u32 width, u32 height) : name(textureName) {
  m_bRenderTarget = true;
  m_TargetWidth = width;
  m_TargetHeight = height;
  AddToManager(false);
  if (g_pRender && g_pRender->GetDevice()) OnCreateContext();
}

cTexture::cTexture(const vek::string& textureName, const vek::string& pageName, const recti& pixels)
    : name(textureName) {
  AddToManager(false);
  const u32 page = g_pTextureManager ? g_pTextureManager->FindIndex(pageName) : 0;
  const cTexture* pageTexture = g_pTextureManager ? g_pTextureManager->Get(page) : nullptr;
  const u32 pw = pageTexture ? pageTexture->GetWidth() : 0, ph = pageTexture ? pageTexture->GetHeight() : 0;
  if (page == 0 || pw == 0 || ph == 0 || pageTexture->IsPagePart()) {
    LogWarning(kSender, "Constructor '%s'. The page '%s' is not loaded\n", name, pageName);
    return;
  }
  if (pixels.x < 0 || pixels.y < 0 || pixels.w <= 0 || pixels.h <= 0 || static_cast<u32>(pixels.x + pixels.w) > pw ||
      static_cast<u32>(pixels.y + pixels.h) > ph) {
    LogWarning(kSender, "Constructor '%s'. The rectangle leaves the page '%s'\n", name, pageName);
    return;
  }
  m_Page = page;
  m_PartWidth = static_cast<u32>(pixels.w);
  m_PartHeight = static_cast<u32>(pixels.h);
  m_PageRect = rectf{static_cast<f32>(pixels.x) / static_cast<f32>(pw), static_cast<f32>(pixels.y) / static_cast<f32>(ph),
                     static_cast<f32>(pixels.w) / static_cast<f32>(pw), static_cast<f32>(pixels.h) / static_cast<f32>(ph)};
}

cTexture::cTexture(const vek::string& textureName, cPixelSource source, bool own)
    : name(textureName), m_Source(std::move(source)), m_bOwn(own) {
  AddToManager(false);
}

bool cTexture::LoadOnUse() {
  if (m_Source) {
    const cPixelSource read = std::move(m_Source);
    m_Source = nullptr;
    cImage image;
    if (!read(image) || image.GetWidth() == 0 || image.GetHeight() == 0) {
      LogWarning(kSender, "LoadOnUse '%s'. The picture can't be read\n", name);
      return false;
    }
    m_pImage = std::make_unique<cImage>(std::move(image));
    TakeImage(m_bOwn);
  }
  return m_pContext != nullptr || m_pImage != nullptr;
}

cTexture::~cTexture() {
  if (m_pContext) {
    LogWarning(kSender, "Destructor '%s'. Device texture still in memory!\n", name);
    FreeContext(m_pContext);
  }
}

void cTexture::AddToManager(bool reserved) {
  if (g_pTextureManager) g_pTextureManager->Add(this, reserved);
}

bool cTexture::OnCreateContext() {
  if (m_Page) return true;  // a page part: its pixels are the page's
  if (m_pContext) {
    LogWarning(kSender, "OnCreateContext '%s'. Device texture already exist.\n", name);
    return false;
  }
  if (m_bRenderTarget) {
    u32 w = m_TargetWidth, h = m_TargetHeight;
    if (g_pRender) {
      while (g_pRender->GetMaxTextureWidth() < w || g_pRender->GetMaxTextureHeight() < h) {
        w /= 2;
        h /= 2;
      }
      m_pContext = g_pRender->CreateRenderTargetContext(w, h);
    }
    if (!m_pContext) LogWarning(kSender, "OnCreateContext '%s'. Can't create render target.\n", name);
    return true;
  }
  if (!m_pImage) return true;
  // The image stays until its pixels are on the device, so a failed upload loses nothing
  // and the next device tries again.
  if (!Upload()) {
    LogWarning(kSender, "OnCreateContext '%s'. Can't create texture\n", name);
    return true;
  }
  m_pImage.reset();
  return true;
}

bool cTexture::Upload() {
  if (!g_pRender) return false;
  cImage& image = *m_pImage;
  cTextureDesc desc;
  desc.width = AtLeastOne(image.GetWidth());
  desc.height = AtLeastOne(image.GetHeight());
  desc.depth = 1;
  desc.format = image.GetFormat();
  desc.filter = image.GetLevelCount() > 1 ? 2 : 1;
  desc.address = m_Address;
  cDeviceTexture* context = g_pRender->CreateTextureContext(&desc);
  if (!context) return false;

  // Each level goes to the device straight from the image's rows.
  const u32 id = image.GetFormat().id;
  bool ok = true;
  for (u32 i = 0; i < image.GetLevelCount() && ok; ++i) {
    const u8* src = image.GetLevel(i);
    const u32 pitch = GetImagePitch(id, std::max<u32>(1, image.GetWidth() >> i));
    ok = src && pitch && context->texture->WriteLevel(i, src, pitch) == plat::gfx::kOk;
  }
  if (!ok) {
    g_pRender->DeleteTextureContext(context);
    return false;
  }
  m_pContext = context;
  return true;
}

void cTexture::OnDeleteContext() {
  if (m_Page) return;
  if (!m_pContext) {
    LogWarning(kSender, "OnDeleteContext '%s'. Device texture not found.\n", name);
    return;
  }
  if (!m_bRenderTarget) {
    const cDeviceTexture& c = *m_pContext;
    auto image = std::make_unique<cImage>();
    image->Create(c.format.id, c.width, c.height, c.filter >= 2 ? 10000 : 1);
    for (u32 i = 0; i < image->GetLevelCount(); ++i) {
      u8* dst = image->GetLevel(i);
      const u32 size = image->GetLevelSize(i);
      const u32 pitch = GetImagePitch(c.format.id, std::max<u32>(1, c.width >> i));
      bool read = false;
      plat::gfx::LockedRect locked;
      if (c.texture && c.texture->LockRect(i, locked, plat::gfx::kLockReadOnly) == plat::gfx::kOk) {
        if (locked.bits && pitch && static_cast<u32>(locked.pitch) >= pitch) {
          const auto* src = static_cast<const u8*>(locked.bits);
          for (u32 row = 0; row < size / pitch; ++row)
            std::memcpy(dst + static_cast<size_t>(row) * pitch, src + static_cast<size_t>(row) * locked.pitch, pitch);
          read = true;
        }
        c.texture->UnlockRect(i);
      }
      if (!read && dst) std::memset(dst, 0, size);
    }
    m_pImage = std::move(image);
  }
  FreeContext(m_pContext);
}

void cTexture::ReleaseContext() {
  if (m_pContext) FreeContext(m_pContext);
  m_pImage.reset();
}

u32 cTexture::GetWidth() const {
  if (m_Page) return m_PartWidth;
  if (m_pContext) return m_pContext->width;
  if (m_bRenderTarget) return m_TargetWidth;
  if (m_pImage) return AtLeastOne(m_pImage->GetWidth());
  return 0;
}

u32 cTexture::GetHeight() const {
  if (m_Page) return m_PartHeight;
  if (m_pContext) return m_pContext->height;
  if (m_bRenderTarget) return m_TargetHeight;
  if (m_pImage) return AtLeastOne(m_pImage->GetHeight());
  return 0;
}

}  // namespace vek
