#include "game/app/mission_animations.h"

void cMissionAnimations::Restart(vek::cAnimatedFloat& animation) {
  animation.current = animation.start = animation.target = 0.0f;
  animation.elapsed = animation.duration = 0.0f;
  animation.SetTarget(1.0f);
}

void cMissionAnimations::RestartLevelAnimation() {
  m_LevelAnimationDone = false;
  Restart(m_LevelAnimation);
}

void cMissionAnimations::RestartHolesAnimation() { Restart(m_HolesAnimation); }

bool cMissionAnimations::StepLevelAnimation() {
  if (m_LevelAnimation.Update(kStep) != vek::e_TweenArrived) return false;
  m_LevelAnimationDone = true;
  return true;
}

bool cMissionAnimations::StepHolesAnimation() { return m_HolesAnimation.Update(kStep) == vek::e_TweenArrived; }
