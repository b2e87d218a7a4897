#pragma once
// The mouse pointer the GUI draws over its windows: a textured quad, optionally animated from
// a grid of frames on one texture, placed at the mouse position in GUI coordinates with a hot
// spot chosen by alignment flags.
#include "engine/core/geometry.h"
#include "engine/core/types.h"
#include "engine/core/vec.h"
#include "engine/render/frame_animation.h"

namespace vek {

class cGUI;

class cCursor {
 public:
  explicit cCursor(cGUI* gui);

  // Texture by name, size, hot-spot alignment (cAlign) and frame grid; the animation restarts
  // looping forward at 30 frames per second.
  void Set(const vek::string& texture, const vec2& size, int align, int rows, int columns);
  // Draws the cursor in a batch pass of its own.
  void Draw();
  // Advances the animation (the GUI's fixed step).
  void Update(f32 seconds) { m_Animation.Update(seconds); }

  void SetPos(f32 x, f32 y) {
    m_X = x;
    m_Y = y;
  }
  f32 GetX() const { return m_X; }
  f32 GetY() const { return m_Y; }
  vec2 GetSize() const { return vec2(m_Width, m_Height); }
  u32 GetTexture() const { return m_Texture; }
  int GetAlign() const { return m_Align; }
  cGUI* GetGUI() const { return m_pGUI; }
  const cFrameAnimation& GetAnimation() const { return m_Animation; }
  // The screen rectangle and the texture rectangle {u, v, du, dv} of the current frame.
  rectf GetScreenRect() const;
  rectf GetUVRect() const;

 private:
  cGUI* m_pGUI;
  f32 m_X = 0.0f, m_Y = 0.0f;
  f32 m_Width = 64.0f, m_Height = 64.0f;
  u32 m_Texture = 0;
  int m_Align = 9;
  cFrameAnimation m_Animation;
  int m_Rows = 1, m_Columns = 1;
};

}  // namespace vek
