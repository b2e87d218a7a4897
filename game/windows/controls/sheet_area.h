#pragma once
// The first frame of a named area of a sprite sheet, as the game's controls draw it.
#include "engine/core/geometry.h"
#include "engine/core/types.h"

struct cSheetArea {
  vek::u32 texture = 0;  // 0: the texture, its sheet or the area is missing
  vek::rectf uv;
};

cSheetArea FindSheetArea(const vek::string& sheet, const vek::string& area);
