#pragma once
// A whole number counting towards a target at a fixed speed, the twin of the float tween:
// money counted into the bank, a bonus paid out.
#include "engine/core/tween.h"
#include "engine/core/types.h"

class cAnimatedInt {
 public:
  // Starts from the current value. A move that would take no time, or a speed that is not
  // above zero (no rate to count at), reaches the target at once.
  void SetTarget(vek::i32 target);
  // Stores the speed and aims at the same target again from the current value.
  void SetSpeed(vek::f32 value);
  // vek::e_TweenAtRest when at rest, e_TweenRunning while counting, e_TweenArrived in the
  // call that reaches the target.
  int Update(vek::f32 dt);
  bool IsRunning() const { return elapsed != duration; }
  // Value, start and target at the target, at rest.
  void Finish();

  vek::i32 from = 0;
  vek::i32 to = 0;
  vek::i32 value = 0;
  vek::f32 speed = 1.0f;  // units per second
  vek::f32 elapsed = 0.0f;
  vek::f32 duration = 0.0f;

 private:
  void Restart();
};
