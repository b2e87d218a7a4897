// The water pump.
#include "game/world/pump.h"

#include "game/app/garden_services.h"
#include "game/world/level.h"

namespace {
constexpr vek::f32 kStep = 1.0f / 30.0f;
bool HasWater() { return GardenServices()->GetWaterFlag() != 0; }
}  // namespace

cWaterPump::cWaterPump(cLevel* level) : cWorkStation(level) {
  SetSprite("images00", "pump", vek::cFrameAnimation::e_Stop);
  m_Water.Init("images00", "pump_water", vek::cFrameAnimation::e_Stop, {-6.0f, 16.0f});
  m_Top.Init("peacock01", "pump_top", vek::cFrameAnimation::e_LoopForward, {30.0f, 148.0f});
}

bool cWaterPump::OnStateChange(vek::i32 from, vek::i32 to) {
  if (from == e_Pumping) m_Water.Play(vek::cFrameAnimation::e_Stop);
  if (to == e_Pumping) m_Water.Play(vek::cFrameAnimation::e_LoopForward);
  return cWorkStation::OnStateChange(from, to);
}

vek::rectf cWaterPump::GetRect() const {
  if (!HasWater()) return {0.0f, 0.0f, 0.0f, 0.0f};
  return {1024.0f - m_W, 251.0f, m_W, m_H};
}

void cWaterPump::Update() {
  cWorkStation::Update();
  if (m_State == e_Pumping) m_Water.Step(kStep);
  m_Top.Step(kStep);
}

void cWaterPump::Draw() {
  vek::cQuadBatch* batch = GetBatch();
  if (!batch || !HasWater()) return;
  const vek::rectf r = GetRect();
  if (m_Texture && m_pFrames) {
    const vek::i32 frame = m_Anim.m_Frame >= 0 && m_Anim.m_Frame < m_Anim.m_Count ? m_Anim.m_Frame : 0;
    vek::DrawQuad(batch, m_Texture, r, m_pFrames[frame], 0xFFFFFFFFu);
  }
  const auto partRect = [&r](const cStationPart& p) {
    return vek::rectf{r.x + p.offset.x, r.y + p.offset.y, p.sprite.width, p.sprite.height};
  };
  if (m_State == e_Pumping) m_Water.Draw(batch, partRect(m_Water));
  m_Top.Draw(batch, partRect(m_Top));
  DrawMarkers(r);
}

void RegisterPumpMakers() {
  cLevel::SetMaker(e_KindPump, [](cLevel* level) -> cObject* { return new cWaterPump(level); });
}
