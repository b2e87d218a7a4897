#include "engine/render/texture_info.h"

#include "engine/core/log.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"

namespace vek {

cTextureInfoTable* g_pTextureInfos = nullptr;

namespace {
const char* const kSender = "cTextureInfo";
const rectf kWhole{0.0f, 0.0f, 1.0f, 1.0f};
}  // namespace

const cTextureInfo::cItem& cTextureInfo::DefaultItem() {
  static const cItem item{"unnamed", 30.0f, {kWhole}};
  return item;
}

cTextureInfo::cTextureInfo(const vek::string& textureName, bool reserved) : name(textureName) {
  if (g_pTextureInfos)
    g_pTextureInfos->Add(this, reserved);
  else
    LogError(kSender, "Constructor '%s'. No sprite-sheet registry: the sheet is not listed\n", name);
}

i32 cTextureInfo::AddNodeGrid(const vek::string& itemName, const rectf& rect, i32 columns, i32 rows,
                              f32 frameTime) {
  if (columns < 1) columns = 1;
  if (rows < 1) rows = 1;
  cItem item;
  item.name = itemName;
  item.frameTime = frameTime;
  item.frames.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows));
  const f32 w = rect.w / static_cast<f32>(columns), h = rect.h / static_cast<f32>(rows);
  for (i32 r = 0; r < rows; ++r)
    for (i32 c = 0; c < columns; ++c)
      item.frames.push_back(
          rectf{rect.x + static_cast<f32>(c) * w, rect.y + rect.h - static_cast<f32>(r + 1) * h, w, h});
  m_Items.push_back(std::move(item));
  return static_cast<i32>(m_Items.size()) - 1;
}

i32 cTextureInfo::AddNode(const vek::string& itemName, const recti& pixels, i32 columns, i32 rows,
                          f32 frameTime) {
  const cTexture* texture = g_pTextureManager ? g_pTextureManager->FindItem(name) : nullptr;
  const cTexture* fallback = g_pTextureManager ? g_pTextureManager->Get(0) : nullptr;
  const u32 tw = texture ? texture->GetWidth() : 0, th = texture ? texture->GetHeight() : 0;
  // The default texture stands for every texture that is not loaded; a texture without size
  // (its device texture failed) cannot convert pixels either.
  if (!texture || texture == fallback || tw == 0 || th == 0) {
    LogWarning(kSender, "[AddNode] Can't find texture with this name: %s\n", name);
    return AddNodeGrid(itemName, kWhole, 1, 1, 30.0f);
  }
  const rectf rect{static_cast<f32>(pixels.x) / static_cast<f32>(tw), static_cast<f32>(pixels.y) / static_cast<f32>(th),
                   static_cast<f32>(pixels.w) / static_cast<f32>(tw), static_cast<f32>(pixels.h) / static_cast<f32>(th)};
  return AddNodeGrid(itemName, rect, columns, rows, frameTime);
}

void CreateTextureInfos() {
  if (g_pTextureInfos) {
    LogWarning("CreateTextureInfos", "Already exist\n");
  } else {
    g_pTextureInfos = new cTextureInfoTable(100, 1);
    cTextureInfo* sheet = new cTextureInfo("unnamed", true);
    sheet->AddNodeGrid("unnamed", kWhole, 1, 1, 30.0f);
  }
  LogText("CreateTextureInfos", "Ok\n");
}

void DestroyTextureInfoTable() {
  delete g_pTextureInfos;
  g_pTextureInfos = nullptr;
}

cTextureInfo* FindTextureInfo(const vek::string& textureName) {
  return g_pTextureInfos ? g_pTextureInfos->FindItem(textureName) : nullptr;
}

}  // namespace vek
