#pragma once
// Named sprite areas as the world draws them: the texture's index, the area's frames in
// texture coordinates, the size of one frame in pixels and the seconds per frame. Read from the
// texture table and the sprite-sheet registry, so it works without a graphics device as long
// as the textures are in memory.
#include "engine/core/geometry.h"
#include "engine/core/types.h"

struct cSpriteRecord {
  vek::u32 texture = 0;  // 0: not found, and every other field is empty
  const vek::rectf* frames = nullptr;
  vek::u32 count = 0;
  vek::f32 width = 0.0f;
  vek::f32 height = 0.0f;
  vek::f32 frameTime = 0.0f;  // seconds per frame
};

// The area of the named sheet; texture 0 when the texture, the sheet or the area is unknown.
cSpriteRecord LookupSprite(const vek::string& sheet, const vek::string& area);
