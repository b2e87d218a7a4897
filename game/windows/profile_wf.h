#pragma once
// The profile windows: "profile_select" lists the players, makes one current, and adds or
// (after a question) deletes one; "profile_add" asks for a new player's name.
#include "game/windows/base_wf.h"

namespace vek {
class cEditCtrl;
class cListSysCtrl;
class cSliderCtrl;
}

class cProfileSelectWF : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

 private:
  // Rebuilds the rows from the player list and selects the current player's.
  void Rebuild(vek::cWindow* window);
  // Deletes the player of the row; the neighbouring row's player becomes current first.
  void DeleteRow(vek::u32 row);
  void AskDelete(vek::cWindow* window);

  vek::cListSysCtrl* m_pList = nullptr;
  vek::cSliderCtrl* m_pSlider = nullptr;
};

class cProfileAddWF : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

 private:
  // Creates the player from the typed name, or says why not.
  void CreateFromName();

  vek::cEditCtrl* m_pName = nullptr;
};
