#pragma once
// The upgrades window "up", opened after a level that grants an upgrade: up to three of the
// cheapest upgrades the gardener can still get, as cards the player can pay from the bank,
// each with its level in stars and its price; the description of the card under the mouse
// or chosen; "done" buys the chosen one and the window closes itself shortly after.
#include <vector>

#include "engine/core/tween.h"
#include "game/windows/base_wf.h"

class cCheckBoxUpCtrl;

// The description text entry of upgrade u ("" for an unknown u).
vek::string GetUpgradeText(int upgrade);
// The sheet and area of upgrade u's card (both empty for an unknown u); the chosen card is
// the area followed by "_checked".
void GetUpgradeSprite(int upgrade, vek::string& sheet, vek::string& area);

class cUpWF : public cBaseWF {
 public:
  static constexpr int kChoices = 3;
  static constexpr vek::f32 kCloseDelay = 0.9f;

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

  const std::vector<int>& GetOffer() const { return m_Offer; }
  const vek::cAnimatedFloat& GetCloseTimer() const { return m_CloseTimer; }

 private:
  int OnShow(vek::cWindow* window);
  void OnToggle(vek::u32 id);
  void OnDone();
  int LevelOf(int upgrade) const;

  std::vector<cCheckBoxUpCtrl*> m_Choices;
  std::vector<vek::cCtrl*> m_Prices;
  std::vector<vek::u32> m_Group;
  std::vector<int> m_Offer;
  vek::cCtrl* m_pDesc = nullptr;
  vek::cCtrl* m_pDone = nullptr;
  vek::cCtrl* m_pBank = nullptr;
  vek::string m_DefaultDesc;
  vek::cAnimatedFloat m_CloseTimer;
};
