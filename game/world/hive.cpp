// The bee hive and its bee.
#include "game/world/hive.h"

#include "game/world/level.h"

cHive::cHive(cLevel* level) : cWorkStation(level) { SetSprite("images00", "hive", vek::cFrameAnimation::e_Stop); }

cHive::~cHive() = default;

bool cHive::OnStateChange(vek::i32 from, vek::i32 to) { return cWorkStation::OnStateChange(from, to); }

vek::rectf cHive::GetRect() const { return cObject::GetRect(); }

bool cHive::HitTest(const vek::vec2& p) const { return GetRect().Contains(p); }

bool cHive::Read(vek::cBitStream& stream) { return cObject::Read(stream); }

bool cHive::Write(vek::cBitStream& stream) const { return cObject::Write(stream); }

void cHive::Update() { cWorkStation::Update(); }

void cHive::Draw() { cObject::Draw(); }

bool cHive::AddHoney() {
  if (m_Honey >= m_Capacity || !m_bNeeded) return false;
  ++m_Honey;
  return true;
}

bool cHive::TakeHoney() {
  if (m_Capacity > m_Honey) return false;
  m_Honey = 0;
  return true;
}

void cHive::Burst() {}

cBee::cBee(cLevel* level, vek::u32 hiveId) : cObject(level), m_HiveId(hiveId) {}

bool cBee::OnStateChange(vek::i32 from, vek::i32 to) { return cObject::OnStateChange(from, to); }

void cBee::Update() { cObject::Update(); }

void cBee::Draw() { cObject::Draw(); }

cHive* cBee::GetHive() const { return nullptr; }

bool cBee::IsTargetTaken(vek::u32) const { return false; }

void cBee::StepAtHive() {}

void cBee::StepFlying() {}

void cBee::StepAtFlower() {}

cCell FindHiveCell(cLevel*) { return kNoCell; }

vek::u32 AddHive(cLevel*) { return 0; }

void RegisterHiveMakers() {
  cLevel::SetMaker(e_KindHive, [](cLevel* level) -> cObject* { return new cHive(level); });
}
