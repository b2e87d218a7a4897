#include "engine/render/texture_manager.h"

#include <algorithm>
#include <utility>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/render/render.h"

namespace vek {

cTextureManager* g_pTextureManager = nullptr;

template <class Fn>
void cTextureManager::Walk(Fn fn, bool fromOne) {
  cTexture* first = Get(0);
  if (!fromOne && first) fn(first);
  // A null position reads as element 0, which was visited already.
  for (u32 i = 1; i < Count(); ++i) {
    cTexture* t = Get(i);
    if (t && t != first) fn(t);
  }
}

bool cTextureManager::CreateContexts() {
  Walk([](cTexture* t) { t->OnCreateContext(); }, false);
  return true;
}

void cTextureManager::DeleteContexts() {
  Walk([](cTexture* t) { t->OnDeleteContext(); }, false);
}

void cTextureManager::ReleaseContexts() {
  Walk([](cTexture* t) { t->ReleaseContext(); }, false);
}

void cTextureManager::DeleteRenderTargets() {
  Walk([](cTexture* t) {
        if (t->IsRenderTarget()) t->OnDeleteContext();
      },
      true);
}

void cTextureManager::CreateRenderTargets() {
  Walk([](cTexture* t) {
        if (t->IsRenderTarget()) t->OnCreateContext();
      },
      true);
}

bool cTextureManager::DeleteTexture(u32 index) {
  cTexture* texture = Get(index);
  if (index == 0 || index >= Count() || !texture || texture == Get(0)) return false;
  texture->ReleaseContext();
  Remove(index);
  return true;
}

void CreateTextureManager() {
  if (g_pTextureManager) {
    LogWarning("CreateTextureManager", "Already exist\n");
    return;
  }
  g_pTextureManager = new cTextureManager();
  // The default: 64 x 64 white and red cells of 8 x 8 pixels.
  cImage image(e_PixRGB, 64, 64, 1);
  u8* p = image.GetLevel(0);
  for (u32 y = 0; y < 64 && p; ++y) {
    for (u32 x = 0; x < 64; ++x, p += 3) {
      const u8 v = ((x / 8 + y / 8) % 2 == 0) ? 255 : 0;
      p[0] = 255;
      p[1] = v;
      p[2] = v;
    }
  }
  new cTexture("unnamed", true, std::move(image));
  LogText("CreateTextureManager", "Ok\n");
}

void DestroyTextureManager() {
  if (!g_pTextureManager) return;
  delete g_pTextureManager;
  g_pTextureManager = nullptr;
  LogText("DestroyTextureManager", "Ok\n");
}

void DumpTextures() {
  const char* const border = "  +-----+--------------------------+----+---------------+---+---+----------+\n";
  LogPlain("Textures.\n");
  LogPlain(border);
  LogPlain("  |  N  |                     name | Tg |     dimension | M | C | size(kb) |\n");
  LogPlain(border);
  int count = 0;
  u64 total = 0;
  if (cTextureManager* tm = g_pTextureManager) {
    cTexture* first = tm->Get(0);
    for (u32 i = 0; i < tm->Count(); ++i) {
      cTexture* t = tm->Get(i);
      if (!t || (i > 0 && t == first)) continue;
      // The device texture's values; a texture without one shows what it holds in memory.
      u32 w = t->GetWidth(), h = t->GetHeight(), filter = 1;
      PixelFormatInfo format = GetFormatInfo(0);
      if (const cDeviceTexture* c = t->GetContext()) {
        format = c->format;
        filter = c->filter;
      } else if (const cImage* img = t->GetImage()) {
        format = img->GetFormat();
        filter = img->GetLevelCount() > 1 ? 2 : 1;
      }
      const u32 levels = filter < 2 ? 1 : MipLevelCount(w, h);
      u64 bytes = 0;
      // A page part holds no pixels of its own.
      for (u32 l = 0; l < levels && !t->IsPagePart(); ++l)
        bytes += GetImageSize(format.id, std::max<u32>(1, w >> l), std::max<u32>(1, h >> l));
      const vek::string dim = Formatted("%4ix%4ix %2i", w, h, format.bytes * 8);
      LogPlain("  | %3i | %24s | %2s | %12s | %s | %s | %8i |\n", i, t->name, t->IsRenderTarget() ? "RT" : "2D",
               dim, filter >= 2 ? "X" : " ", (format.flags & e_PixFlagCompressed) ? "X" : " ",
               static_cast<int>(bytes >> 10));
      ++count;
      total += bytes;
    }
  }
  LogPlain(border);
  LogPlain("   Total Count: %i. Total Size: %i kb.\n", count, static_cast<int>(total / 1024));
}

}  // namespace vek
