#include "game/windows/controls/sheet_area.h"

#include "engine/gui/gui_draw.h"
#include "engine/render/texture_info.h"

cSheetArea FindSheetArea(const vek::string& sheet, const vek::string& area) {
  cSheetArea out;
  const vek::u32 texture = vek::gui_draw::FindTexture(sheet);
  const vek::cTextureInfo* info = vek::FindTextureInfo(sheet);
  if (texture == 0 || !info || info->name != sheet) return out;
  const vek::u32 index = info->FindIndex(area);
  if (index >= info->GetCount() || info->GetByIndex(index).frames.empty()) return out;
  out.texture = texture;
  out.uv = info->GetByIndex(index).frames[0];
  return out;
}
