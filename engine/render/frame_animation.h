#pragma once
// The frame counter that steps a sprite through its frames with the elapsed time. It knows
// nothing of textures: its owner turns the current frame into a cell of a sprite sheet.
// Owners (sprites, controls, the cursor) also set the fields directly.
#include "engine/core/types.h"

namespace vek {

struct cFrameAnimation {
  enum : u32 {
    e_Stop = 0,
    e_OnceForward = 1,   // stops on the last frame
    e_OnceBackward = 2,  // stops on frame 0
    e_LoopForward = 3,
    e_LoopBackward = 4,
    e_PingPong = 5,
  };

  u32 m_Mode = e_Stop;
  i32 m_Frame = 0;
  i32 m_Count = 0;
  f32 m_Elapsed = 0.0f;    // seconds not yet turned into frames
  f32 m_FrameTime = 0.0f;  // seconds per frame
  i32 m_Direction = 1;     // +1 or -1

  // count frames at the given rate; a mode 0..5 is applied with restart, a higher one is
  // only stored.
  void Init(i32 count, f32 framesPerSecond, u32 mode);
  // Stores the mode and applies it; with restart the animation starts over from its first
  // frame in the mode's direction.
  void SetMode(u32 mode, bool restart);
  // Advances by the whole frames that fit into the elapsed time and keeps the remainder;
  // returns the number of frames advanced (also on the step that stops a once mode).
  i32 Update(f32 seconds);

  u32 GetMode() const { return m_Mode; }
  i32 GetFrame() const { return m_Frame; }
  i32 GetCount() const { return m_Count; }
};

}  // namespace vek
