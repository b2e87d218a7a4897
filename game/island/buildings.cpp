#include "game/island/buildings.h"

#include <algorithm>
#include <cmath>

#include "game/island/building_table.h"
#include "game/island/house_rules.h"

using vek::f32;
using vek::i32;

namespace {
constexpr f32 kStepSeconds = 1.0f / 30.0f;
}

cBuild::cBuild(std::string name, iBuildingOwner* owner)
    : cObject(nullptr), m_Name(std::move(name)), m_pOwner(owner) {
  SetSize(0.0f, 0.0f);
}

void cBuild::Step() {
  if (m_Available) m_Highlight.Step(m_Hovered, m_Pressed);
  // A template has no island and is never processed.
  if (m_pOwner && m_pOwner->GetMode() != 0) Process();
}

bool cBuild::Contains(f32 x, f32 y) const {
  return m_X < x && x < m_X + m_W && m_Y < y && y < m_Y + m_H;
}

bool cBuild::Overlaps(const vek::rectf& r) const {
  return r.x < m_X + m_W && m_Y < r.y + r.h && m_X < r.x + r.w && r.y < m_Y + m_H;
}

bool cBuild::IsNear(const vek::vec2& p, f32 radius) const {
  const vek::vec2 corners[4] = {{m_X, m_Y}, {m_X + m_W, m_Y}, {m_X + m_W, m_Y + m_H}, {m_X, m_Y + m_H}};
  for (const vek::vec2& c : corners) {
    const f32 dx = c.x - p.x, dy = c.y - p.y;
    if (dx * dx + dy * dy > radius * radius) return false;
  }
  return true;
}

void cBuild::OnEvent(i32 code, i32 param) {
  if (code == 32) m_Hovered = true;
  if (code == 33) m_Hovered = false;
  if (code == 48) m_Pressed = param != 0;
}

void cBuild::CopyFrom(const cBuild& b) {
  m_Name = b.m_Name;
  m_Category = b.m_Category;
}

void cDecor::SetFrames(i32 count, f32 framesPerSecond) {
  m_FrameCount = std::max(0, count);
  m_FrameTime = 1.0f / (framesPerSecond > 1.1920929e-7f ? framesPerSecond : 2.0f);
  m_Frame = 0;
  m_Elapsed = 0.0f;
}

void cDecor::SetFrame(i32 frame) {
  m_Frame = m_FrameCount > 0 ? std::clamp(frame, 0, m_FrameCount - 1) : 0;
}

void cDecor::RestartAnimation(bool playing) {
  m_Frame = 0;
  m_Elapsed = 0.0f;
  m_Playing = playing;
}

void cDecor::Step() {
  cBuild::Step();
  if (!m_Playing || m_FrameCount <= 1) return;
  m_Elapsed += kStepSeconds;
  while (m_Elapsed >= m_FrameTime && m_Frame < m_FrameCount - 1) {
    m_Elapsed -= m_FrameTime;
    ++m_Frame;
  }
  if (m_Frame >= m_FrameCount - 1) m_Playing = false;  // the construction plays once
}

cHouse::cHouse(std::string name, std::string displayName, iBuildingOwner* owner)
    : cDecor(std::move(name), owner), m_DisplayName(std::move(displayName)) {
  m_Category = BuildingCategoryFromName(m_Name);
}

i32 cHouse::GetStageFrame(i32 stage) const { return BuildingStageFrame(m_Name, stage); }

void cHouse::SetState(i32 state) {
  if (state == m_HouseState) return;
  if (OnStateChange(m_HouseState, state)) m_HouseState = state;
}

bool cHouse::OnStateChange(i32 from, i32 to) {
  if (from == 1 && to == 2) {
    // The newest level's building: the sequence goes on with the star flyer (its fifth
    // stage); restarting it from the first stage would replay the stars already flown.
    if (m_pOwner && m_pOwner->IsNewestLevelBuilding(*this)) m_pOwner->StartAfterLevelStage(4, 2.0f);
    StartFireworks(m_Name == "statue00" ? 6 : 3);
  }
  switch (to) {
    case 0:
      RestartAnimation(false);
      if (GetStageFrame(0) >= 1) SetFrame(GetStageFrame(0));
      break;
    case 1:
      RestartAnimation(true);
      break;
    case 2:
      RestartAnimation(false);
      if (GetStageFrame(1) >= 1) SetFrame(GetStageFrame(1));
      break;
    default:
      break;
  }
  return true;
}

i32 cHouse::Buy(i32& bank) {
  const cHousePurchase p = HousePurchase(bank, m_Price);
  if (m_HouseState != 1) SetState(1);
  bank = p.bankAfter;
  return p.cost;
}

void cHouse::Process() {
  if (m_HouseState != 1) return;
  // A construction animation shorter than the built frame ends on its last frame.
  if (!ConstructionDone(m_Name, m_FrameCount, m_Frame)) return;
  SetState(2);
}

void cHouse::StartFireworks(i32 count) {
  m_FireworksTimer = 0.0f;
  m_FireworksLeft = count;
}

void cHouse::Step() {
  cDecor::Step();
  if (m_FireworksTimer > 0.0f) m_FireworksTimer -= kStepSeconds;
  if (m_FireworksLeft > 0 && m_FireworksTimer <= 0.0f && m_pOwner) {
    const f32 dx = m_pOwner->RandomFloat(-m_W / 3.0f, m_W / 3.0f);
    const f32 dy = m_pOwner->RandomFloat(-m_H / 3.0f, m_H / 3.0f);
    m_pOwner->AddFirework({m_X + m_W * 0.5f + dx, m_Y + m_H * 0.5f + dy});
    --m_FireworksLeft;
    m_FireworksTimer = m_pOwner->RandomFloat(0.5f, 0.8f);
    // The statue's last firework opens the comics, once: not again when they end.
    if (m_FireworksLeft == 0 && m_Name == "statue00" && m_HouseState == 2 && !m_ComicsStarted) {
      m_ComicsStarted = true;
      m_pOwner->StartComics();
    }
  }
}

void cHouse::CopyFrom(const cHouse& h) {
  cBuild::CopyFrom(h);
  m_FrameCount = h.m_FrameCount;
  m_FrameTime = h.m_FrameTime;
  SetSize(h.m_W, h.m_H);
  m_DisplayName = h.m_DisplayName;
  m_Price = h.m_Price;
  m_Value = h.m_Value;
}

cFactory::cFactory(std::string name, std::string displayName, iBuildingOwner* owner)
    : cHouse(std::move(name), std::move(displayName), owner) {
  m_Category = 3;
}

void cFactory::SetOutput(std::string ware, f32 workSeconds) {
  m_Output = std::move(ware);
  m_WorkSeconds = std::max(0.0f, workSeconds);
}

i32 cFactory::GetWorkSteps() const {
  return std::max(1, static_cast<i32>(std::lround(m_WorkSeconds / kStep)));
}

bool cFactory::OnStateChange(i32 from, i32 to) {
  cHouse::OnStateChange(from, to);
  if (to == 3) m_WorkLeft = GetWorkSteps();
  return true;
}

void cFactory::AddInput(i32 count) {
  m_Stock += std::max(0, count);
  if (m_HouseState == 2 && m_Stock > 0) {
    --m_Stock;
    SetState(3);
  }
}

void cFactory::Process() {
  cHouse::Process();
  if (m_HouseState != 3) return;
  if (--m_WorkLeft > 0) return;
  ++m_Produced;
  SetState(2);  // idle again, on the built frame
  if (m_Stock > 0) {
    --m_Stock;
    SetState(3);
  }
}

void cFactory::CopyFrom(const cFactory& f) {
  cHouse::CopyFrom(f);
  m_Category = 3;
  m_Input = f.m_Input;
  m_Output = f.m_Output;
  m_WorkSeconds = f.m_WorkSeconds;
}
