#include "game/app/sprite.h"

#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"

cSprite& FindSprite(cSprite& record, const vek::string& texture, const vek::string& area) {
  record = cSprite{};
  if (!vek::g_pTextureManager || !vek::g_pTextureInfos) return record;
  record.texture = vek::g_pTextureManager->FindIndex(texture);
  if (record.texture == 0) return record;
  const vek::cTextureInfo* sheet = vek::FindTextureInfo(texture);
  if (!sheet || sheet == vek::g_pTextureInfos->Get(0)) {
    record.texture = 0;
    return record;
  }
  const vek::u32 index = sheet->FindIndex(area);
  if (index >= sheet->GetCount()) {
    record.texture = 0;
    return record;
  }
  const vek::cTextureInfo::cItem& item = sheet->GetByIndex(index);
  if (item.frames.empty()) {
    record.texture = 0;
    return record;
  }
  const vek::cTexture* t = vek::g_pTextureManager->Get(record.texture);
  record.frames = item.frames.data();
  record.frameCount = static_cast<vek::u32>(item.frames.size());
  record.width = static_cast<vek::f32>(t->GetWidth()) * item.frames[0].w;
  record.height = static_cast<vek::f32>(t->GetHeight()) * item.frames[0].h;
  record.secondsPerFrame = item.frameTime == 0.0f ? 1.0f / 30.0f : 1.0f / item.frameTime;
  return record;
}
