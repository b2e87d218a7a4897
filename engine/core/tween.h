#pragma once
// The two tweens: a float and a 2-D point moving towards a target at a fixed speed.
#include "engine/core/geometry.h"
#include "engine/core/types.h"

namespace vek {

// Results of Update.
enum eTweenStep : int { e_TweenAtRest = 0, e_TweenRunning = 1, e_TweenArrived = 2 };

class cAnimatedFloat {
 public:
  // Starts from the current value; a target no farther than kEpsilon x speed is reached at once.
  void SetTarget(f32 value);
  // Advances by dt seconds: e_TweenAtRest when already at rest, e_TweenRunning while moving,
  // e_TweenArrived in the call that reaches the target.
  int Update(f32 dt);
  bool IsRunning() const { return elapsed != duration; }

  f32 start = 0.0f;
  f32 target = 0.0f;
  f32 current = 0.0f;
  f32 speed = 1.0f;  // units per second
  f32 elapsed = 0.0f;
  f32 duration = 0.0f;
};

class cAnimatedVec2 {
 public:
  // As for floats; the duration is the distance to the target over the speed.
  void SetTarget(const vec2& value);
  // Stores the speed and aims at the same target again from the current point.
  void SetSpeed(f32 value);
  int Update(f32 dt);
  bool IsRunning() const { return elapsed != duration; }

  vec2 start;
  vec2 target;
  vec2 current;
  f32 speed = 1.0f;
  f32 elapsed = 0.0f;
  f32 duration = 0.0f;
};

}  // namespace vek
