#pragma once
// "island", over the island map: the player panel (name, the player's rating as a text and
// five stars, the button to the garden statistics) and the island panel (the island's rating
// and ten houses, the button to the island statistics). Both panels stay hidden until the
// player has made progress. Every refresh recomputes the display from the game.
#include <vector>

#include "game/app/sprite.h"
#include "game/windows/base_wf.h"

class cIslandWF : public cBaseWF {
 public:
  static constexpr int kStars = 5;
  static constexpr int kHouses = 10;

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  void SetPanelsVisible(bool playerPanel, bool islandPanel);

 private:
  int AfterCreate(vek::cWindow* window);
  void Refresh();
  // Row entries below `filled` show the full picture, the rest the empty one; a picture
  // without frames stops the row there.
  static void FillRow(const std::vector<vek::cCtrl*>& row, int filled, const cSprite& full, const cSprite& empty);

  vek::cCtrl* m_pProfile = nullptr;
  vek::cCtrl* m_pRate = nullptr;
  vek::cCtrl* m_pButRate = nullptr;
  vek::cCtrl* m_pFace = nullptr;
  vek::cCtrl* m_pFrame = nullptr;
  vek::cCtrl* m_pDecor = nullptr;
  vek::cCtrl* m_pIslandRate = nullptr;
  vek::cCtrl* m_pButIslandRate = nullptr;
  vek::cCtrl* m_pIslandFace = nullptr;
  vek::cCtrl* m_pIslandFrame = nullptr;
  vek::cCtrl* m_pIslandDecor = nullptr;
  std::vector<vek::cCtrl*> m_Stars;
  std::vector<vek::cCtrl*> m_IslandStars;
  bool m_bSprites = false;
  cSprite m_StarFull, m_StarEmpty, m_HouseFull, m_HouseEmpty;
};
