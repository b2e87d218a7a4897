#include "game/world/sprite_lookup.h"

#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"

cSpriteRecord LookupSprite(const vek::string& sheet, const vek::string& area) {
  cSpriteRecord rec;
  if (!vek::g_pTextureManager || !vek::g_pTextureInfos) return rec;
  const vek::u32 texture = vek::g_pTextureManager->FindIndex(sheet);
  vek::cTextureInfo* info = vek::FindTextureInfo(sheet);
  if (texture == 0 || !info || info->name != sheet) return rec;
  const vek::u32 index = info->FindIndex(area);
  if (index >= info->GetCount()) return rec;
  const vek::cTextureInfo::cItem& item = info->GetByIndex(index);
  if (item.frames.empty()) return rec;
  const vek::cTexture* tex = vek::g_pTextureManager->Get(texture);
  rec.texture = texture;
  rec.frames = item.frames.data();
  rec.count = static_cast<vek::u32>(item.frames.size());
  rec.width = item.frames[0].w * static_cast<vek::f32>(tex->GetWidth());
  rec.height = item.frames[0].h * static_cast<vek::f32>(tex->GetHeight());
  rec.frameTime = item.frameTime > 0.0f ? 1.0f / item.frameTime : 0.0f;
  return rec;
}
