#include "game/windows/animated_int.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr vek::f32 kEpsilon = 1.1920929e-7f;
}

void cAnimatedInt::Restart() {
  from = value;
  elapsed = 0.0f;
  duration = speed > 0.0f ? static_cast<vek::f32>(std::abs(static_cast<double>(to) - from)) / speed : 0.0f;
  if (!(duration > kEpsilon) || !std::isfinite(duration)) {
    duration = 0.0f;
    value = to;
  }
}

void cAnimatedInt::SetTarget(vek::i32 target) {
  to = target;
  Restart();
}

void cAnimatedInt::SetSpeed(vek::f32 value) {
  speed = value;
  Restart();
}

int cAnimatedInt::Update(vek::f32 dt) {
  if (elapsed == duration) return vek::e_TweenAtRest;
  elapsed += dt;
  if (elapsed >= duration) {
    elapsed = duration;
    value = to;
    return vek::e_TweenArrived;
  }
  value = from + static_cast<vek::i32>(static_cast<double>(to - from) * elapsed / duration);
  return vek::e_TweenRunning;
}

void cAnimatedInt::Finish() {
  from = value = to;
  elapsed = duration = 0.0f;
}
