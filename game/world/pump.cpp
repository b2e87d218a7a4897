// The water pump.
#include "game/world/pump.h"

#include "game/world/level.h"

cWaterPump::cWaterPump(cLevel* level) : cWorkStation(level) {
  SetSprite("images00", "pump", vek::cFrameAnimation::e_Stop);
}

bool cWaterPump::OnStateChange(vek::i32 from, vek::i32 to) { return cWorkStation::OnStateChange(from, to); }

vek::rectf cWaterPump::GetRect() const { return {1024.0f - m_W, 251.0f, m_W, m_H}; }

void cWaterPump::Update() { cWorkStation::Update(); }

void cWaterPump::Draw() { cObject::Draw(); }

void RegisterPumpMakers() {
  cLevel::SetMaker(e_KindPump, [](cLevel* level) -> cObject* { return new cWaterPump(level); });
}
