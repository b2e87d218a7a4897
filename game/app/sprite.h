#pragma once
// Sprite records: a texture and one area of its sprite sheet, as the drawing code keeps them.
#include "engine/core/geometry.h"
#include "engine/core/types.h"

struct cSprite {
  vek::u32 texture = 0;                 // texture index; 0 = no sprite
  const vek::rectf* frames = nullptr;   // the area's frames in texture coordinates (not owned)
  vek::u32 frameCount = 0;
  vek::u32 reserved0 = 0, reserved1 = 0;
  vek::f32 width = 0.0f;                // pixels of the first frame
  vek::f32 height = 0.0f;
  vek::f32 secondsPerFrame = 0.0f;

  // Frame i (wrapping over the frame count); an empty rectangle when there is no sprite.
  vek::rectf Frame(vek::u32 i = 0) const { return frames && frameCount ? frames[i % frameCount] : vek::rectf{}; }
};

// Fills the record from a texture name and an area name of its sheet and returns it; all
// zero when the texture is unknown, texture 0 when it has no sheet or the sheet no such area.
cSprite& FindSprite(cSprite& record, const vek::string& texture, const vek::string& area);

// The same as a value, for records kept in a variable of their own.
inline cSprite FindSprite(const vek::string& texture, const vek::string& area) {
  cSprite record;
  return FindSprite(record, texture, area);
}
