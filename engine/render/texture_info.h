#pragma once
// Sprite sheets: a texture described as a list of named items, each a sequence of frames
// (rectangles of the texture in texture coordinates, 0..1) with a frame time for animation.
// Sheets are made by the game's texture scripts and live in one registry; position 0 is the
// default sheet "unnamed" with one item "unnamed" covering the whole texture.
#include <vector>

#include "engine/core/container_ptr.h"
#include "engine/core/geometry.h"
#include "engine/core/recti.h"
#include "engine/core/types.h"

namespace vek {

class cTextureInfo {
 public:
  struct cItem {
    vek::string name;
    f32 frameTime = 30.0f;
    std::vector<rectf> frames;
  };

  // A sheet for the named texture with no items; it adds itself to the registry (into the
  // reserved slot when asked and one is free), which owns it from then on.
  cTextureInfo(const vek::string& textureName, bool reserved);
  cTextureInfo(const cTextureInfo&) = delete;
  cTextureInfo& operator=(const cTextureInfo&) = delete;

  // Appends an item whose frames cut rect into columns x rows cells (a count below 1 counts
  // as 1), row by row from the top, and returns its index.
  i32 AddNodeGrid(const vek::string& itemName, const rectf& rect, i32 columns, i32 rows, f32 frameTime);
  // The same for a rectangle in texture pixels. When the sheet's texture is not loaded it
  // warns and adds the whole texture as one frame at 30.
  i32 AddNode(const vek::string& itemName, const recti& pixels, i32 columns = 1, i32 rows = 1,
              f32 frameTime = 30.0f);

  // The item at the index; past the end a shared default item "unnamed" (frame time 30, one
  // whole-texture frame).
  const cItem& GetByIndex(u32 index) const {
    return index < m_Items.size() ? m_Items[index] : DefaultItem();
  }
  // The index of the first item with the name; the item count when none has it.
  u32 FindIndex(const vek::string& itemName) const {
    for (size_t i = 0; i < m_Items.size(); ++i)
      if (m_Items[i].name == itemName) return static_cast<u32>(i);
    return static_cast<u32>(m_Items.size());
  }
  // The first frame of the named item (the default item's frame when none has the name).
  const rectf& GetFirstArea(const vek::string& itemName) const {
    const cItem& item = GetByIndex(FindIndex(itemName));
    return item.frames.empty() ? DefaultItem().frames[0] : item.frames[0];
  }
  u32 GetCount() const { return static_cast<u32>(m_Items.size()); }
  const std::vector<cItem>& GetItems() const { return m_Items; }

  static const cItem& DefaultItem();

  vek::string name;  // the texture's name, the registry's look-up key
  std::vector<cItem> m_Items;
};

// The registry of sheets: room for 100, one reserved slot (the default sheet).
using cTextureInfoTable = cContainerPtr<cTextureInfo>;
extern cTextureInfoTable* g_pTextureInfos;

// Makes the registry and its default sheet; a second call warns and keeps the first.
void CreateTextureInfos();
// Deletes every sheet and the registry.
void DestroyTextureInfoTable();
// The sheet of the named texture; the default sheet when none has the name (null without a
// registry).
cTextureInfo* FindTextureInfo(const vek::string& textureName);

}  // namespace vek
