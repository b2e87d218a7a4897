#include "engine/core/tween.h"

#include <cmath>

namespace vek {

void cAnimatedFloat::SetTarget(f32 value) {
  start = current;
  target = value;
  duration = std::fabs(target - start) / speed;
  if (duration >= kEpsilon) {
    elapsed = 0.0f;
  } else {
    duration = elapsed = 0.0f;
    current = target;
  }
}

int cAnimatedFloat::Update(f32 dt) {
  if (elapsed == duration) return e_TweenAtRest;
  elapsed += dt;
  if (elapsed < duration) {
    current = start + (target - start) * elapsed / duration;
    return e_TweenRunning;
  }
  elapsed = duration;
  current = target;
  return e_TweenArrived;
}

void cAnimatedVec2::SetTarget(const vec2& value) {
  start = current;
  target = value;
  duration = (target - start).Length() / speed;
  if (duration >= kEpsilon) {
    elapsed = 0.0f;
  } else {
    duration = elapsed = 0.0f;
    current = target;
  }
}

void cAnimatedVec2::SetSpeed(f32 value) {
  speed = value;
  SetTarget(target);
}

int cAnimatedVec2::Update(f32 dt) {
  if (elapsed == duration) return e_TweenAtRest;
  elapsed += dt;
  if (elapsed < duration) {
    current = start + (target - start) * (elapsed / duration);
    return e_TweenRunning;
  }
  elapsed = duration;
  current = target;
  return e_TweenArrived;
}

}  // namespace vek
