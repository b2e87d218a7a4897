#pragma once
// The level result "mission_finish": a timed sequence that pays the player's money into the
// bank coin by coin, pays the time left over as a bonus the same way (the score panel's clock
// fills to the limit meanwhile), flies the medal earned from the score panel into the window,
// and shows the level's awards one by one (a new seed sort and a new animal kind, each with a
// star flying to its shop row; an upgrade offer; a larger garden). "ok" completes the
// sequence at once; "ok" again goes on to the upgrades window or to the island.
#include "engine/core/tween.h"
#include "game/windows/animated_int.h"
#include "game/windows/base_wf.h"

class cMissionFinishWF : public cBaseWF {
 public:
  static constexpr int kAwardRows = 3;
  // The level's award flags of the rules, in their numbering.
  enum eAward { e_AwardSort = 1, e_AwardHoles = 2, e_AwardUpgrade = 3, e_AwardAnimal = 4 };

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

  // The bonus for seconds left over: 2 per second, to the nearest 5, at least 5; 0 when no
  // time is left.
  static vek::i32 TimeBonus(vek::f32 secondsLeft);

  bool IsFinished() const { return m_bFinished; }
  int GetAwardSlot() const { return m_AwardSlot; }
  const cAnimatedInt& GetMoneyCounter() const { return m_Money; }

 private:
  enum eStage { e_Skip, e_Acted, e_EndStep };
  void OnShow();
  void OnTimer(vek::f32 seconds);
  void OnOk(vek::cWindow* window);
  eStage Money(vek::f32 seconds);
  eStage Bonus(vek::f32 seconds);
  eStage MedalFlight();
  eStage MedalLanding(vek::f32 seconds);
  eStage SortAward();
  eStage Unlock(vek::cAnimatedFloat& timer, int flag, vek::f32 seconds);
  eStage AnimalAward();
  eStage UpgradeAward();
  eStage HolesAward();
  // Fills the next award row; a level with more awards than rows still gives them (logged).
  vek::cCtrl* FillAwardRow(const vek::string& text, const vek::string& sheet, const vek::string& area);
  void Coin(const vek::cCtrl* from);
  void Star(const vek::cCtrl* from, vek::f32 x, vek::f32 y);
  void Pause(vek::f32 seconds);
  void LookUpOtherWindows();

  vek::cCtrl* m_pAwardLabels[kAwardRows] = {};
  vek::cCtrl* m_pAwardImages[kAwardRows] = {};
  // "New for your garden:" above the rows: shown only once a row is filled (it may be absent).
  vek::cCtrl* m_pAwardsHeading = nullptr;
  vek::cCtrl* m_pBank = nullptr;
  vek::cCtrl* m_pBankImage = nullptr;
  bool m_bBankImageLooked = false;
  vek::cCtrl* m_pMedal = nullptr;
  vek::cCtrl* m_pCaption = nullptr;
  vek::string m_CaptionFormat;

  cAnimatedInt m_Money;
  cAnimatedInt m_Bonus;
  vek::cAnimatedFloat m_Clock, m_CoinTimer, m_SortTimer, m_AnimalTimer, m_MedalTimer, m_PauseTimer;
  vek::i32 m_SavedBank = 0, m_SavedMoney = 0;
  int m_MedalGrade = -1;
  bool m_bMedal = false, m_bSort = false, m_bAnimal = false, m_bUpgrade = false, m_bHoles = false;
  int m_AwardSlot = 0;
  bool m_bFinished = false;

  bool m_bOthersLooked = false;
  vek::cCtrl* m_pScoreMoney = nullptr;
  vek::cCtrl* m_pScoreClock = nullptr;
  vek::cCtrl* m_pScoreMedal = nullptr;
  vek::cCtrl* m_pPlantsBar = nullptr;
  vek::cCtrl* m_pAnimalsBar = nullptr;
};
