#include "game/app/building_catalogue.h"

#include <cmath>

#include "game/app/level_table.h"

int cBuildingCatalogue::AddBuilding(iCatalogueBuilding* building) {
  m_Buildings.emplace_back(building);
  return GetCount() - 1;
}

iCatalogueBuilding* cBuildingCatalogue::GetBuilding(int i) const {
  return i >= 0 && i < GetCount() ? m_Buildings[static_cast<size_t>(i)].get() : nullptr;
}

iCatalogueBuilding* cBuildingCatalogue::FindBuilding(const vek::string& name) const {
  for (const auto& b : m_Buildings)
    if (b->GetName() == name) return b.get();
  return nullptr;
}

int GetHousePlace(const vek::string& name, const vek::f32* rect, const std::vector<cPlacePoint>& places) {
  const vek::f32 cx = rect[0] + rect[2] / 2.0f;
  const vek::f32 cy = rect[1] + rect[3] / 2.0f;
  int best = -1;
  vek::f32 nearest = 10000.0f;
  for (size_t p = 0; p < places.size(); ++p) {
    if (GetLevelBuilding(static_cast<int>(p)) != name) continue;
    const vek::f32 d = std::hypot(places[p].x - cx, places[p].y - cy);
    if (d < nearest) {
      nearest = d;
      best = static_cast<int>(p);
    }
  }
  return best;
}

vek::i32 GetAnimalPrice(const cAnimalPrices& prices, int item) {
  switch (item) {
    case 0: return prices.ostrich;
    case 1: return prices.goat;
    case 2: return prices.hive;
    case 3: return prices.peacock;
    default: return 0;
  }
}
