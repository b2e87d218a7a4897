#pragma once
// "hint_mp", the island map's tooltip: over the place of a level already played it shows the
// level's day, the time the player took and the medal earned, above the spot. The island fills
// it with the refresh message (p1: the level) before showing it.
#include "game/windows/base_wf.h"

class cHintMPWF : public cBaseGDWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

  // "m : ss" of whole seconds (the fraction dropped).
  static vek::string FormatLevelTime(vek::f32 seconds);

 private:
  vek::cCtrl* m_pDay = nullptr;
  vek::cCtrl* m_pTime = nullptr;
  vek::cCtrl* m_pMedal = nullptr;
  vek::cCtrl* m_pFrame = nullptr;
};
