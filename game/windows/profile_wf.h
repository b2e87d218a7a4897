#pragma once
// The profile windows: "profile_select" lists the players, makes one current, and adds or
// (after a question) deletes one; "profile_add" asks for a new player's name. A row stands for
// its player's profile folder: what the player chose is what is made current or deleted, even
// where two names differ only in case.
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
  // Deletes the player of the row, when it is still the one the question named; the
  // neighbouring row's player becomes current first.
  void DeleteRow(vek::cWindow* window, vek::u32 row);
  void AskDelete(vek::cWindow* window);

  vek::cListSysCtrl* m_pList = nullptr;
  vek::cSliderCtrl* m_pSlider = nullptr;
  // The profile folder of the player the delete question asks about.
  vek::string m_DeleteFolder;
  // The player whose deletion was refused, told at the next timer.
  vek::string m_Refused;
};

class cProfileAddWF : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

 private:
  // Creates the player from the typed name, or says why not.
  void CreateFromName();
  // The way back to the player list; with no player yet there is none (Cancel is disabled and
  // Escape says that a name is needed first).
  void Cancel();
  // Cancel is offered only while a player exists.
  void UpdateCancel(vek::cWindow* window);

  vek::cEditCtrl* m_pName = nullptr;
};
