#pragma once
// The two timers of a level that the mission step runs beside its tasks: the level animation,
// which starts with every level and sets the level-animation flag when it has run its second,
// and the holes animation, which a level that opens a new holes layout starts at its end and
// which brings the new holes into view one second into the next level.
#include "engine/core/tween.h"
#include "engine/core/types.h"

class cMissionAnimations {
 public:
  static constexpr vek::f32 kStep = 1.0f / 30.0f;

  // Level start: the flag is cleared and the level animation runs again from 0 towards 1.
  void RestartLevelAnimation();
  // The end of a level that opens a new holes layout: the holes animation runs again.
  void RestartHolesAnimation();
  // One fixed step of each; true in the step that ends it. The level animation's end sets
  // the flag.
  bool StepLevelAnimation();
  bool StepHolesAnimation();

  // Set once the level animation of the running level has ended (set while none ran).
  bool IsLevelAnimationDone() const { return m_LevelAnimationDone; }
  // While it runs, new holes of the field are made hidden.
  bool IsHolesAnimationRunning() const { return m_HolesAnimation.current != m_HolesAnimation.target; }
  const vek::cAnimatedFloat& LevelAnimation() const { return m_LevelAnimation; }
  const vek::cAnimatedFloat& HolesAnimation() const { return m_HolesAnimation; }

 private:
  static void Restart(vek::cAnimatedFloat& animation);

  vek::cAnimatedFloat m_HolesAnimation;
  bool m_LevelAnimationDone = true;
  vek::cAnimatedFloat m_LevelAnimation;
};
