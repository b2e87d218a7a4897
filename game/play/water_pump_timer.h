#pragma once
// The water pump of a level opens a while after the first plant asked for water: a timer of
// fixed steps, started from rest when its moment has come and running out once.
#include "engine/core/types.h"

class cWaterPumpTimer {
 public:
  static constexpr vek::f32 kSeconds = 5.0f;

  // One fixed step; `due` starts the timer when it is at rest. True on the step it runs out.
  bool Step(bool due);
  bool IsRunning() const { return m_Left > 0.0f; }

 private:
  vek::f32 m_Left = 0.0f;
};
