#pragma once
// The step-by-step hints (fifteen lessons shown once per profile when their situation first
// arises) and the one-shot training tips, both shown in the window "hint".
#include "engine/core/types.h"

// The highlight of a hint step's target, in place: a window's control ("control <window>
// <name>") is grown by 15 on every side; the garden window's buttons ("but_<n>") are a 64 x 64
// square at the control's position, grown the same way. The field's objects and points keep
// their rectangle (a plant's is already drawn in by the field).
void HintHighlight(const vek::string& target, vek::f32* rect);

class cHints {
 public:
  static constexpr vek::f32 kPause = 0.6f;

  // Starts a hint: marked as seen in the profile; shown only while the hint switch is on and
  // no other hint is active.
  void ShowHint(int hint);
  // Advances the active hint when it is exactly (hint, step); the next step follows a pause.
  bool NextHintStep(int hint, int step);
  void CloseHint();
  bool IsHintShown(int hint) const;
  // Once per fixed step: starts hints whose situation arose and times the pause.
  void CheckHints();
  // Shows the active hint's current step (or closes or passes over it).
  void UpdateTraining();
  int GetHint() const { return m_Hint; }
  int GetStep() const { return m_Step; }
  // The pause before the active hint's next step is running.
  bool IsPausing() const { return m_Hint >= 0 && m_Pause > 0.0f; }
  // The active hint waits for the player (its step blocks the field, or the next one is on
  // its way): what the lesson points at must not wither, spoil or go meanwhile.
  bool HoldsField() const;
  // The text key of what the window "hint" shows now (a lesson's step or a tip); empty when
  // it shows neither.
  const vek::string& GetShownKey() const { return m_ShownKey; }

  // The hint switch (the application's training value).
  static bool HintsOn();

  // Training tips 0..9; `task` is read by tip 4 only.
  // True when the tip was shown.
  bool ShowTraining(int step, int task);
  void EndTraining(int step);
  int GetTrainingStep() const { return m_Training; }
  // Once per fixed step: the time of the new-task tip runs out.
  void StepTipTimer();

 private:
  int m_Hint = -1;
  int m_Step = -1;
  vek::f32 m_Pause = 0.0f;  // seconds left before the next step shows
  int m_Training = -1;
  vek::f32 m_TipTimer = 0.0f;
  vek::string m_ShownKey;
};
