#pragma once
// One factory row of the garden bar: the factory's input and output wares, the units of
// input waiting, an arrow that blinks while the factory could start, a start button that
// pulses while it works and a progress bar of the unit in work. Rows slide in from the left
// edge of the screen when the mission binds a factory to them and slide out when it is done.
#include "engine/core/geometry.h"
#include "engine/core/tween.h"
#include "engine/core/types.h"

namespace vek {
class cCtrl;
}
class iChainFactory;

class cChainItem {
 public:
  // 0 shown, 1 sliding in, 2 hidden, 3 sliding out.
  enum eState { e_Shown = 0, e_SlidingIn = 1, e_Hidden = 2, e_SlidingOut = 3 };
  static constexpr vek::f32 kSlideSpeed = 250.0f;  // units per second
  static constexpr vek::f32 kPulseTop = 1.13f;     // the button's height at the top of a pulse

  // The two places every row slides between, and the arrows' shared blink (0..1).
  static vek::f32 s_ShownX;
  static vek::f32 s_HiddenX;
  static vek::cAnimatedFloat s_Blink;
  // One step of the shared blink: a swing ends, the next starts the other way.
  static void StepBlink(vek::f32 seconds);

  cChainItem();

  bool IsComplete() const;
  void MoveTo(vek::f32 x);
  void Show();
  void Hide();
  void HideNow();
  void SetFactory(iChainFactory* factory);
  void Refresh();
  void Update(vek::f32 seconds);

  int GetState() const { return m_State; }
  iChainFactory* GetFactory() const { return m_pFactory; }
  const vek::cAnimatedFloat& GetPulse() const { return m_Pulse; }

  vek::cCtrl* arrow = nullptr;
  vek::cCtrl* inputIcon = nullptr;
  vek::cCtrl* inputCount = nullptr;
  vek::cCtrl* button = nullptr;
  vek::rectf buttonRect;
  vek::cCtrl* outputIcon = nullptr;
  vek::cCtrl* progress = nullptr;
  vek::cCtrl* progressBack = nullptr;

 private:
  void SlideTowards(vek::f32 x, int state);
  void SetArrowAlpha(vek::f32 alpha);

  vek::cAnimatedFloat m_Slide;
  int m_State = e_Shown;
  iChainFactory* m_pFactory = nullptr;
  vek::cAnimatedFloat m_Pulse;
};
