#pragma once
// "stat_garden": what the player has produced in the garden. Every ware with a picture and a
// "num_" count in the layout gets a row, and the four animal kinds theirs; a ware or animal
// never produced or bought shows the lock and "x0". While it is open the game under it is
// paused.
#include <vector>

#include "game/app/sprite.h"
#include "game/windows/base_wf.h"

namespace vek {
class cCtrl;
}

// The count colours of the statistics windows.
inline constexpr vek::f32 kStatCountColor[3] = {165.0f / 255.0f, 0.0f, 33.0f / 255.0f};
inline constexpr vek::f32 kStatLockColor[3] = {195.0f / 255.0f, 135.0f / 255.0f, 76.0f / 255.0f};

// Writes "x<n>" in the count colour, or "x0" in the lock colour for a locked entry.
void SetStatCount(vek::cCtrl* label, vek::i32 n, bool locked);

class cStatGardenWF : public cBaseWF {
 public:
  static constexpr int kAnimalKinds = 4;
  static const char* const kAnimalNames[kAnimalKinds];

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

  const cPauseHold& GetPause() const { return m_Pause; }
  // The row of ware id i: its picture and count (null when the layout has no row for it).
  vek::cCtrl* GetWareImage(size_t i) const { return i < m_WareImages.size() ? m_WareImages[i] : nullptr; }
  vek::cCtrl* GetWareCount(size_t i) const { return i < m_WareCounts.size() ? m_WareCounts[i] : nullptr; }

 private:
  int AfterCreate(vek::cWindow* window);
  void Refresh();
  // The picture and count of one row: the icon of the area when n > 0, else the lock.
  void ShowRow(vek::cCtrl* image, vek::cCtrl* count, const vek::string& area, vek::i32 n) const;

  std::vector<vek::cCtrl*> m_WareImages, m_WareCounts;
  std::vector<vek::cCtrl*> m_AnimalImages, m_AnimalCounts;
  bool m_bLockLooked = false;
  cSprite m_Lock;
  cPauseHold m_Pause;
};
