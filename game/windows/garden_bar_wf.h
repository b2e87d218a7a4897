#pragma once
// The garden bar "garden", on screen while a level is played: the three shop rows (seed
// sorts, grass and flowers, animals) and three factory rows, which the mission binds to the
// island factories a task's ware comes from. A pick in a shop row goes to the level (a seed
// for the gardener, or an animal bought); a click on a row's button starts its factory.
#include <array>
#include <vector>

#include "game/windows/base_wf.h"
#include "game/windows/chain_item.h"
#include "game/world/mission.h"

class cToolbarCtrl;

// Every factory row of the garden bar, in order; the mission and the field's ware flights
// read it. It holds the rows of the garden bar that exists (none before it is made).
std::vector<cChainItem*>& ChainItems();

class cGardenWF : public cBaseWF, public iChainItems {
 public:
  static constexpr vek::u32 kItems = 3;

  cGardenWF();
  ~cGardenWF() override;

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

  // The mission's view of the rows.
  void* FindParkedItem() override;
  void ShowFactoryOf(void* item, vek::i32 ware) override;
  void Hide(void* item) override;
  vek::i32 GetFactoryInput(vek::i32 ware) override;

  cChainItem& GetItem(vek::u32 i) { return m_Items[i]; }

 private:
  int OnAfterCreate(vek::cWindow* window);
  void RefreshToolbars();
  cChainItem* Mine(void* item);
  void Unlist();

  std::array<cChainItem, kItems> m_Items;
  std::vector<cChainItem*> m_List;
  cToolbarCtrl* m_pPlants = nullptr;
  cToolbarCtrl* m_pGrass = nullptr;
  cToolbarCtrl* m_pAnimals = nullptr;
};
