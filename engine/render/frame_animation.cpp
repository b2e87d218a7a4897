#include "engine/render/frame_animation.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace vek {

void cFrameAnimation::Init(i32 count, f32 framesPerSecond, u32 mode) {
  m_Count = count;
  m_FrameTime = 1.0f / framesPerSecond;
  m_Frame = 0;
  m_Elapsed = 0.0f;
  m_Direction = 1;
  m_Mode = mode;
  if (mode <= e_PingPong) SetMode(mode, true);
}

void cFrameAnimation::SetMode(u32 mode, bool restart) {
  m_Mode = mode;
  switch (mode) {
    case e_Stop:
      m_Elapsed = 0.0f;
      if (restart) m_Frame = 0;
      break;
    case e_OnceForward:
    case e_LoopForward:
      m_Direction = 1;
      if (restart) {
        m_Frame = 0;
        m_Elapsed = 0.0f;
      }
      break;
    case e_OnceBackward:
    case e_LoopBackward:
      m_Direction = -1;
      if (restart) {
        m_Frame = m_Count > 0 ? m_Count - 1 : 0;
        m_Elapsed = 0.0f;
      }
      break;
    case e_PingPong:
      if (restart) {
        m_Direction = 1;
        m_Frame = 0;
        m_Elapsed = 0.0f;
      }
      break;
    default:
      break;
  }
}

i32 cFrameAnimation::Update(f32 seconds) {
  if (m_Mode == e_Stop || m_Count < 2) return 0;
  // A rate of zero or below (an endless or negative frame time) never advances.
  if (!(m_FrameTime > 0.0f) || !std::isfinite(m_FrameTime)) return 0;
  m_Elapsed += seconds;
  if (!(m_Elapsed >= m_FrameTime)) return 0;

  // Whole frames, kept within the return type: a long pause advances many frames at once
  // without overflowing the counter.
  const double whole = std::trunc(static_cast<double>(m_Elapsed) / m_FrameTime);
  const i32 n = whole >= std::numeric_limits<i32>::max() ? std::numeric_limits<i32>::max()
                                                          : static_cast<i32>(whole);
  m_Elapsed -= static_cast<f32>(n) * m_FrameTime;
  if (!(m_Elapsed < m_FrameTime)) m_Elapsed = std::fmod(m_Elapsed, m_FrameTime);
  if (m_Elapsed < 0.0f) m_Elapsed = 0.0f;

  const i64 count = m_Count;
  const i64 frame = m_Frame;
  switch (m_Mode) {
    case e_OnceForward:
      if (frame + n >= count) {
        m_Frame = m_Count - 1;
        m_Mode = e_Stop;
        m_Elapsed = 0.0f;
      } else {
        m_Frame = static_cast<i32>(frame + n);
      }
      break;
    case e_OnceBackward:
      if (frame - n < 0) {
        m_Frame = 0;
        m_Mode = e_Stop;
        m_Elapsed = 0.0f;
      } else {
        m_Frame = static_cast<i32>(frame - n);
      }
      break;
    case e_LoopForward: {
      const i64 f = (frame + n) % count;
      m_Frame = static_cast<i32>(f < 0 ? f + count : f);
      break;
    }
    case e_LoopBackward: {
      const i64 f = (frame - n) % count;
      m_Frame = static_cast<i32>(f < 0 ? f + count : f);
      break;
    }
    case e_PingPong: {
      // The walk 0 .. count - 1 .. 0 repeats every 2 (count - 1) steps, so only the rest of
      // n needs stepping. A frame outside the range (set by the owner) is brought back in,
      // and a direction that points out of the range turns before the step.
      if (m_Frame < 0) m_Frame = 0;
      if (m_Frame > m_Count - 1) m_Frame = m_Count - 1;
      m_Direction = m_Direction < 0 ? -1 : 1;
      const i64 period = 2 * (count - 1);
      i64 steps = n % period;
      if (steps == 0 && n > 0) steps = period;
      for (; steps > 0; --steps) {
        if (m_Frame + m_Direction < 0 || m_Frame + m_Direction > m_Count - 1)
          m_Direction = -m_Direction;
        m_Frame += m_Direction;
        if (m_Frame == m_Count - 1 || m_Frame == 0) m_Direction = -m_Direction;
      }
      break;
    }
    default:
      break;
  }
  return n;
}

}  // namespace vek
