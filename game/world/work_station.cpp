// The common step of the field's work stations and their drawn parts.
#include "game/world/work_station.h"

#include "engine/render/quad_batch.h"
#include "game/world/level.h"

void cWorkStation::Update() {
  m_Anim.Update(1.0f / 30.0f);
  if (m_State == -1) SetState(0);
  if (m_State == 2) Remove();
  else if (m_State == 0) SetState(1);
}

vek::cQuadBatch* cWorkStation::GetBatch() const { return m_pLevel ? m_pLevel->GetBatch() : nullptr; }

void cWorkStation::DrawMarkers(const vek::rectf& r) const {
  const cSprite& marker = GetMarker();
  vek::cQuadBatch* batch = GetBatch();
  if (!batch || !marker.texture || !marker.frames) return;
  for (vek::i32 i = 0; i < m_Busy; ++i) {
    const vek::f32 mw = marker.width;
    vek::DrawQuad(batch, marker.texture,
                  {r.x + r.w + (0.25f * static_cast<vek::f32>(i) - 1.0f) * mw, r.y, mw, marker.height},
                  marker.frames[0], 0xFFFFFFFFu);
  }
}

bool cStationPart::Init(const vek::string& sheet, const vek::string& area, vek::u32 mode, const vek::vec2& at) {
  sprite = FindSprite(sheet, area);
  offset = at;
  anim = vek::cFrameAnimation{};
  anim.m_Count = static_cast<vek::i32>(sprite.frameCount);
  anim.m_FrameTime = sprite.secondsPerFrame < vek::kEpsilon ? 1.0f / 30.0f : sprite.secondsPerFrame;
  anim.SetMode(mode, true);
  return sprite.texture != 0;
}

void cStationPart::Step(vek::f32 dt) {
  anim.Update(dt);
  // Short art never holds up whoever waits for the animation's end.
  const vek::u32 m = anim.m_Mode;
  const bool ends = m == vek::cFrameAnimation::e_OnceForward || m == vek::cFrameAnimation::e_OnceBackward ||
                    m == vek::cFrameAnimation::e_PingPong;
  if (ends && anim.m_Count < 2) anim.SetMode(vek::cFrameAnimation::e_Stop, false);
}

void cStationPart::Draw(vek::cQuadBatch* batch, const vek::rectf& r) const {
  if (!batch || !sprite.texture || !sprite.frames) return;
  const vek::i32 frame = anim.m_Frame >= 0 && anim.m_Frame < anim.m_Count ? anim.m_Frame : 0;
  vek::DrawQuad(batch, sprite.texture, r, sprite.frames[frame], 0xFFFFFFFFu);
}
