#pragma once
// The timing of the island's after-level sequence: six stages, each a timer that runs from 0
// to its target, so that it lasts |target| seconds; the target's sign says whether the stage
// acts when it ends. The island looks at the stages every fixed step: a stage at rest
// (target 0) holds the sequence; a running stage takes the step; a stage that ends starts
// the next one for a single step (target -1/30) and reports itself, so that the island can act
// and give the next stage another target; a stage that ended earlier is passed over.
#include <array>

#include "engine/core/tween.h"
#include "engine/core/types.h"

class cAfterLevelStages {
 public:
  static constexpr int kStages = 6;
  static constexpr vek::f32 kOneStep = 1.0f / 30.0f;

  struct cEnded {
    int stage = -1;    // the stage that ended on this step, -1 when none
    bool acts = false; // its target was positive
  };

  // Every stage at rest.
  void Reset();
  // The stage's timer runs from 0 to the target. A target of 0 puts it at rest, so that the
  // sequence waits there until something starts it.
  void Start(int stage, vek::f32 target);
  vek::f32 GetTarget(int stage) const;
  bool IsRunning(int stage) const;
  // One fixed step.
  cEnded Step(vek::f32 dt = kOneStep);
  // Whether the last stage has ended (on the last step or before).
  bool IsFinished() const;
  // The sequence waits at the stage: the one before it has ended and it is at rest.
  bool IsWaitingAt(int stage) const;

 private:
  bool HasEnded(int stage) const;
  std::array<vek::cAnimatedFloat, kStages> m_Timers{};
};
