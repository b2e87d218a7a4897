// The bee hive and its bee.
#include "game/world/hive.h"

#include <cmath>

#include "game/app/garden_services.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/plant.h"
#include "game/world/ware_manager.h"

namespace {

// The largest capacity a hive is read with.
constexpr vek::i32 kMostHoney = 1;

constexpr vek::f32 kStep = 1.0f / 30.0f;
constexpr vek::i32 kHiveCounter = 1;  // the field's per-kind counter of hives

// Starts the timer from 0 towards the target at one unit per second.
void StartTimer(vek::cAnimatedFloat& t, vek::f32 target) {
  t = vek::cAnimatedFloat{};
  t.SetTarget(target);
}

bool IsFlowers(const cObject* o) {
  return g_pWareManager && o->IsType(e_TypePlant) && g_pWareManager->GetWare(o->GetWareId()).GetName() == "flowers";
}

void DrawIcon(cLevel* level, const cSprite& icon, const vek::vec2& centre) {
  vek::cQuadBatch* batch = level ? level->GetBatch() : nullptr;
  if (!batch || !icon.texture || !icon.frames) return;
  vek::DrawQuad(batch, icon.texture, {centre.x - icon.width * 0.5f, centre.y - icon.height * 0.5f, icon.width, icon.height},
                icon.frames[0], 0xFFFFFFFFu);
}

}  // namespace

// ---- hive

cHive::cHive(cLevel* level) : cWorkStation(level) {
  SetSprite("images00", "hive", vek::cFrameAnimation::e_Stop);
  m_Top.Init("peacock01", "hive_top", vek::cFrameAnimation::e_Stop);
  m_Scale.current = m_Scale.start = m_Scale.target = 1.0f;
  if (m_pLevel) ++m_pLevel->m_KindCounts[kHiveCounter];
}

cHive::~cHive() {
  if (m_pLevel) --m_pLevel->m_KindCounts[kHiveCounter];
}

bool cHive::OnStateChange(vek::i32 from, vek::i32 to) {
  if (to == e_Appearing) {
    StartTimer(m_Full, 0.5f);  // a short delay before it grows
    m_Scale = vek::cAnimatedFloat{};
    m_Scale.speed = 1.5f;
    m_Scale.SetTarget(1.0f);
  } else if (to == e_Vanishing) {
    m_Scale = vek::cAnimatedFloat{};
    m_Scale.start = m_Scale.target = m_Scale.current = 1.0f;
    m_Scale.speed = 1.5f;
    m_Scale.SetTarget(0.0f);
  }
  return cWorkStation::OnStateChange(from, to);
}

bool cHive::AddHoney() {
  if (m_Honey >= m_Capacity || !m_bNeeded) return false;
  ++m_Honey;
  if (IsReady()) StartTimer(m_Full, kFullSeconds);
  return true;
}

bool cHive::TakeHoney() {
  if (!IsReady()) return false;
  m_Honey = 0;
  return true;
}

void cHive::Burst() {
  cParticles* particles = GardenServices()->GetParticles();
  if (!particles) return;
  const vek::rectf r = GetRect();
  particles->AddBurst({r.x + r.w * 0.5f, r.y + r.h * 0.5f, 0.0f}, 50, 50.0f);
}

void cHive::Update() {
  m_Anim.Update(kStep);
  if (m_State == -1) SetState(e_Working);
  else if (m_State == 2) Remove();
  m_Top.Step(kStep);
  // Honey not taken within the minute is lost.
  // (The minute holds while a lesson waits for the player.)
  if (IsReady() && !GardenServices()->IsFieldHeldByHint() && m_Full.Update(kStep) != vek::e_TweenRunning) m_Honey = 0;
  if (m_State == e_Appearing) {
    // It grows only while the field is in front, so the player sees it come.
    if (!GardenServices()->IsFieldFocused()) return;
    if (m_Full.Update(kStep) == vek::e_TweenRunning) return;
    if (m_Scale.Update(kStep) != vek::e_TweenRunning) {
      Burst();
      SetState(e_Working);
    }
  } else if (m_State == e_Vanishing) {
    if (m_Scale.Update(kStep) != vek::e_TweenRunning) {
      Burst();
      SetState(2);
    }
  }
}

vek::rectf cHive::GetRect() const { return {m_X - m_W * 0.5f, m_Y, m_W, m_H + m_Top.sprite.height}; }

bool cHive::HitTest(const vek::vec2& p) const {
  const vek::rectf r = GetRect();
  return vek::rectf{r.x + 20.0f, r.y, r.w - 45.0f, r.h - 15.0f}.Contains(p);
}

bool cHive::Read(vek::cBitStream& stream) {
  if (!cObject::Read(stream)) return false;
  const vek::i32 honey = static_cast<vek::i32>(stream.ReadInt());
  const vek::i32 capacity = static_cast<vek::i32>(stream.ReadInt());
  vek::f32 t[6];
  for (vek::f32& v : t) v = stream.ReadFloat();
  // A damaged record never leaves a hive that is always full or a timer that never ends.
  // Every hive the game makes holds one unit of honey: another capacity is a damaged record.
  m_Capacity = capacity >= 1 && capacity <= kMostHoney ? capacity : 1;
  m_Honey = honey < 0 ? 0 : (honey > m_Capacity ? m_Capacity : honey);
  bool finite = true;
  for (vek::f32 v : t) finite = finite && std::isfinite(v);
  if (finite && t[3] > 0.0f && t[5] >= 0.0f && t[4] >= 0.0f && t[4] <= t[5]) {
    m_Full.start = t[0], m_Full.target = t[1], m_Full.current = t[2];
    m_Full.speed = t[3], m_Full.elapsed = t[4], m_Full.duration = t[5];
  } else {
    m_Full = vek::cAnimatedFloat{};
    if (IsReady()) StartTimer(m_Full, kFullSeconds);
  }
  return true;
}

bool cHive::Write(vek::cBitStream& stream) const {
  if (!cObject::Write(stream)) return false;
  stream.WriteInt(static_cast<vek::u32>(m_Honey));
  stream.WriteInt(static_cast<vek::u32>(m_Capacity));
  for (vek::f32 v : {m_Full.start, m_Full.target, m_Full.current, m_Full.speed, m_Full.elapsed, m_Full.duration})
    stream.WriteFloat(v);
  return true;
}

void cHive::Draw() {
  vek::cQuadBatch* batch = GetBatch();
  if (!batch) return;
  const vek::rectf r = GetRect();
  if (m_Texture && m_pFrames) {
    vek::rectf body{r.x, r.y, m_W, m_H};
    if (m_State == e_Appearing || m_State == e_Vanishing) {
      // Grows and shrinks about the middle of its foot.
      const vek::f32 s = m_Scale.current;
      body = {m_X - m_W * 0.5f * s, m_Y, m_W * s, m_H * s};
    }
    vek::DrawQuad(batch, m_Texture, body, m_pFrames[0], 0xFFFFFFFFu);
  }
  DrawMarkers(r);
  m_Top.Draw(batch, {m_X - m_Top.sprite.width * 0.5f, m_Y + m_H, m_Top.sprite.width, m_Top.sprite.height});
  if (IsReady() && m_pLevel) {
    static const cSprite honey = FindSprite("icons00", "honey");
    const vek::vec2 centre{m_X, r.y + r.h * 0.5f};
    m_pLevel->DrawProgressRing(m_Full.current / kFullSeconds, 22.0f, centre);
    DrawIcon(m_pLevel, honey, centre);
  }
}

// ---- bee

cBee::cBee(cLevel* level, vek::u32 hiveId) : cObject(level) {
  SetSprite("peacock02", "bee", vek::cFrameAnimation::e_LoopForward);
  m_Flight.speed = kSpeed;
  SetHome(hiveId);
}

void cBee::SetHome(vek::u32 hiveId) {
  m_HiveId = hiveId;
  if (cHive* hive = GetHive()) {
    SetCell(hive->GetCell());
    SetTweenAt(m_Flight, GetPosition());
  }
}

cHive* cBee::GetHive() const {
  if (!m_pLevel || !m_pLevel->IsObjectValid(m_HiveId)) return nullptr;
  cObject* o = m_pLevel->FindObject(m_HiveId);
  return o && o->IsType(e_TypeHive) ? static_cast<cHive*>(o) : nullptr;
}

bool cBee::IsTargetTaken(vek::u32 plantId) const {
  for (cObject* o : m_pLevel->GetRegistry())
    if (o != this && o->GetType() == e_TypeBee && static_cast<cBee*>(o)->m_Target == plantId) return true;
  return false;
}

bool cBee::OnStateChange(vek::i32 from, vek::i32 to) {
  if (from == e_AtFlower) m_Target = 0;
  if (to == e_AtHive) StartTimer(m_Wait, kHiveSeconds);
  else if (to == e_AtFlower) StartTimer(m_Wait, kFlowerSeconds);
  return cObject::OnStateChange(from, to);
}

void cBee::Update() {
  m_Anim.Update(kStep);
  if (m_State == -1) SetState(0);
  else if (m_State == 2) Remove();
  switch (m_State) {
    case 0:
      SetState(e_AtHive);
      break;
    case e_AtHive:
      StepAtHive();
      break;
    case e_Flying:
      StepFlying();
      break;
    case e_AtFlower:
      StepAtFlower();
      break;
    default:
      break;
  }
}

void cBee::StepAtHive() {
  cHive* hive = GetHive();
  // A bee goes out only for an empty hive that a task still wants honey for.
  if (!hive || !hive->IsNeeded() || hive->GetHoney() != 0) return;
  for (cObject* o : m_pLevel->GetRegistry()) {
    if (!IsFlowers(o) || o->GetState() == 2 || o->GetStage() != 2 || IsTargetTaken(o->GetId())) continue;
    m_Target = o->GetId();
    SetTweenAt(m_Flight, GetPosition());
    const cCell c = o->GetCell();
    m_Flight.SetTarget(m_pLevel->CellToPos(c.i, c.j));
    GardenServices()->PlaySound(29);
    SetState(e_Flying);
    return;
  }
  // No flowers for two minutes: the bees leave and the hive goes with them.
  if (m_Wait.Update(kStep) != vek::e_TweenRunning) {
    hive->SetState(cHive::e_Vanishing);
    SetState(2);
  }
}

void cBee::StepFlying() {
  if (m_Target != 0 && !m_pLevel->IsObjectValid(m_Target)) {
    m_Target = 0;
    SetState(e_AtHive);
    return;
  }
  const int step = m_Flight.Update(kStep);
  SetPosition(m_Flight.current);
  if (step == vek::e_TweenRunning) return;
  if (m_Target == 0) {
    if (cHive* hive = GetHive()) hive->AddHoney();
    SetState(e_AtHive);
  } else {
    SetState(e_AtFlower);
  }
}

void cBee::StepAtFlower() {
  if (!m_pLevel->IsObjectValid(m_Target)) {
    SetState(e_AtHive);
    return;
  }
  if (m_Wait.Update(kStep) == vek::e_TweenRunning) return;
  cObject* plant = m_pLevel->FindObject(m_Target);
  if (plant->IsType(e_TypePlant)) static_cast<cPlant*>(plant)->Harvest();  // the flowers grow anew
  m_Target = 0;
  SetTweenAt(m_Flight, GetPosition());
  if (cHive* hive = GetHive()) {
    const cCell c = hive->GetCell();
    m_Flight.SetTarget(m_pLevel->CellToPos(c.i, c.j));
  }
  SetState(e_Flying);
}

void cBee::Draw() {
  cHive* hive = GetHive();
  if (hive && hive->GetState() == cHive::e_Appearing) return;
  cObject::Draw();
  if (m_State != e_AtHive || m_Wait.target <= 0.0f || m_Wait.current <= m_Wait.target * 0.5f || !m_pLevel) return;
  // Past half its wait the bee asks for flowers.
  static const cSprite flowers = FindSprite("icons00", "flowers");
  const vek::rectf r = GetRect();
  const vek::vec2 centre{m_X, r.y + r.h * 0.5f};
  m_pLevel->DrawProgressRing(2.0f * m_Wait.current / m_Wait.target - 1.0f, 22.0f, centre);
  DrawIcon(m_pLevel, flowers, centre);
}

void RegisterHiveMakers() {
  cLevel::SetMaker(e_KindHive, [](cLevel* level) -> cObject* { return new cHive(level); });
  // A bee made on its own (after a hive read from the level file) serves the newest hive
  // that has no bee yet.
  cLevel::SetMaker(e_KindBee, [](cLevel* level) -> cObject* {
    vek::u32 home = 0;
    for (cObject* o : level->GetRegistry()) {
      if (!o->IsType(e_TypeHive) || o->GetType() == 0) continue;
      bool served = false;
      for (cObject* b : level->GetRegistry())
        served = served || (b->GetType() == e_TypeBee && static_cast<cBee*>(b)->GetHiveId() == o->GetId());
      if (!served) home = o->GetId();
    }
    return new cBee(level, home);
  });
}
