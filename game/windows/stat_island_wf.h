#pragma once
// "stat_island": what stands on the island: its people and houses, the markets and factories
// built, and whether the institute, the animals building and the statue stand. A kind that is
// not there shows its lock picture and "x0". While it is open the game under it is paused.
#include "game/windows/base_wf.h"

namespace vek {
class cCtrl;
}

class cStatIslandWF : public cBaseWF {
 public:
  // The kinds with a picture, a lock picture, a caption and a count.
  static constexpr int kKinds = 5;
  static const char* const kKindNames[kKinds];

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  const cPauseHold& GetPause() const { return m_Pause; }

 private:
  struct cKindRow {
    vek::cCtrl* image = nullptr;
    vek::cCtrl* lock = nullptr;
    vek::cCtrl* caption = nullptr;
    vek::cCtrl* count = nullptr;
  };
  int AfterCreate(vek::cWindow* window);
  void Refresh();
  static void ShowKind(const cKindRow& row, vek::i32 n);

  vek::cCtrl* m_pPeople = nullptr;
  vek::cCtrl* m_pHouses = nullptr;
  cKindRow m_Rows[kKinds];
  cPauseHold m_Pause;
};
