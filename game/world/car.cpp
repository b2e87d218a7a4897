// The delivery car and its back part.
#include "game/world/car.h"

#include "game/world/level.h"

namespace {
cCarHooks g_Hooks;
}  // namespace

void cCar::SetHooks(const cCarHooks& hooks) { g_Hooks = hooks; }

cCar::cCar(cLevel* level) : cWorkStation(level) {}

bool cCar::OnStateChange(vek::i32 from, vek::i32 to) { return cWorkStation::OnStateChange(from, to); }

vek::rectf cCar::GetRect() const { return {m_Rect.x, m_Rect.y, m_Rect.w + 40.0f, m_Rect.h}; }

void cCar::Update() { cWorkStation::Update(); }

void cCar::Move(vek::f32) {}

void cCar::Draw() {}

void cCar::SetCarX(vek::f32 x) { m_Rect.x = x; }

bool cCar::IsWareLeaving() const { return g_Hooks.isLeaving && g_Hooks.isLeaving(m_pLevel); }

bool cCar::IsWareArriving() const { return g_Hooks.isArriving && g_Hooks.isArriving(m_pLevel); }

bool cCar::IsGardenerAtCar() const { return false; }

cCarBack::cCarBack(cLevel* level) : cWorkStation(level) { SetSprite("car", "back", vek::cFrameAnimation::e_Stop); }

void RegisterCarMakers() {
  cLevel::SetMaker(e_KindCar, [](cLevel* level) -> cObject* { return new cCar(level); });
  cLevel::SetMaker(e_KindCarBack, [](cLevel* level) -> cObject* { return new cCarBack(level); });
}
