#include "game/island/house_rules.h"

#include <algorithm>

#include "game/island/building_table.h"

using vek::f32;
using vek::i32;

cHousePurchase HousePurchase(i32 bank, i32 price) {
  i32 cost = price;
  if (bank < price) cost = bank >= 5 ? bank - 5 : bank;
  cost = std::max(cost, 0);
  return {cost, bank >= cost ? bank - cost : bank};
}

bool ConstructionDone(std::string_view name, i32 frameCount, i32 frame) {
  if (frameCount <= 1) return true;
  const i32 built = std::min(BuildingStageFrame(name, 1), frameCount - 1);
  return frame >= built;
}

vek::u32 HouseColor(i32 mode, i32 state, bool available, f32 pulse) {
  if (mode == 3 || state != 0) return 0xFFFFFFFFu;
  if (!available) return 0x50FFFFFFu;
  const vek::u32 alpha = static_cast<vek::u32>(static_cast<i32>(pulse * 175.0f + 80.0f)) & 0xFFu;
  return alpha << 24 | 0x00FFFFFFu;
}

void cHighlight::Step(bool hovered, bool placed) {
  if (hovered) {
    selection = std::max(0.0f, selection - 0.05f);
    hover = std::min(1.0f, hover + 0.1f);
  } else if (hover > 0.0f) {
    hover = std::max(0.0f, hover - 0.1f);
  }
  if (placed && !hovered) {
    selection = std::min(1.0f, selection + 0.1f);
    hover = std::max(0.0f, hover - 0.05f);
  } else if (selection > 0.0f) {
    selection = std::max(0.0f, selection - 0.1f);
  }
}
