#pragma once
// The score panel "score", over the garden and over the island map: the player's money in
// the garden (the bank on the island), the level clock filling towards the time limit, the
// medal clock showing the medal still within reach, the four task indicators (the mission
// fills and moves them; the panel steps their motion and opens the goal window when one is
// clicked), the menu button, and the game's rising money texts drawn over it all.
#include <vector>

#include "game/app/sprite.h"
#include "game/windows/base_wf.h"

class cClockCtrl;
class cTaskCtrl;

class cScoreWF : public cBaseGDWF {
 public:
  static constexpr vek::f32 kTaskOutX = 1029.0f;  // just right of the 1024-unit screen
  // The menu button's left edge beside the money (the field) and between the island
  // window's panels (the island).
  static constexpr vek::f32 kFieldMenuX = 256.0f;
  static constexpr vek::f32 kIslandMenuX = 446.0f;

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

  int GetLastGrade() const { return m_LastGrade; }
  const std::vector<cTaskCtrl*>& GetTasks() const { return m_Tasks; }

 private:
  void OnTimer(vek::f32 seconds);
  void OnShow();
  void ApplyMoneyFrameRule();

  vek::cCtrl* m_pMoney = nullptr;
  cClockCtrl* m_pClock = nullptr;
  vek::cCtrl* m_pClockBack = nullptr;
  vek::cCtrl* m_pClockMedal = nullptr;
  vek::cCtrl* m_pMenu = nullptr;
  std::vector<cTaskCtrl*> m_Tasks;
  vek::cCtrl* m_pMoneyFrame[5] = {};
  cSprite m_Medals[3];
  int m_LastGrade = -1;
};
