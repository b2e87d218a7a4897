#include "game/island/after_level_stages.h"

#include <cmath>

#include "engine/core/vec.h"

void cAfterLevelStages::Reset() { m_Timers.fill(vek::cAnimatedFloat{}); }

void cAfterLevelStages::Start(int stage, vek::f32 target) {
  if (stage < 0 || stage >= kStages) return;
  vek::cAnimatedFloat& t = m_Timers[stage];
  t = vek::cAnimatedFloat{};
  t.SetTarget(target);
}

vek::f32 cAfterLevelStages::GetTarget(int stage) const {
  return stage >= 0 && stage < kStages ? m_Timers[stage].target : 0.0f;
}

bool cAfterLevelStages::IsRunning(int stage) const {
  return stage >= 0 && stage < kStages && m_Timers[stage].IsRunning();
}

bool cAfterLevelStages::HasEnded(int stage) const {
  const vek::cAnimatedFloat& t = m_Timers[stage];
  return std::fabs(t.target) > vek::kEpsilon && !t.IsRunning();
}

cAfterLevelStages::cEnded cAfterLevelStages::Step(vek::f32 dt) {
  for (int s = 0; s < kStages; ++s) {
    vek::cAnimatedFloat& t = m_Timers[s];
    if (std::fabs(t.target) <= vek::kEpsilon) return {};
    if (!t.IsRunning()) continue;
    if (t.Update(dt) == vek::e_TweenRunning) return {};
    const bool acts = t.target > 0.0f;
    // A stage that was started ahead (the new building finished before the stars had flown)
    // keeps its time instead of being cut to one silent step.
    if (s + 1 < kStages && !(m_Timers[s + 1].target > 0.0f && m_Timers[s + 1].IsRunning()))
      Start(s + 1, -kOneStep);
    return {s, acts};
  }
  return {};
}

bool cAfterLevelStages::IsFinished() const { return HasEnded(kStages - 1); }

bool cAfterLevelStages::IsWaitingAt(int stage) const {
  return stage > 0 && stage < kStages && HasEnded(stage - 1) && std::fabs(m_Timers[stage].target) <= vek::kEpsilon;
}
