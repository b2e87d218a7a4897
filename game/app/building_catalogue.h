#pragma once
// The catalogue of buildings the island editor offers, in the order they were added (the
// index is the editor's tool-bar position); which island place a house stands on; and the
// animal prices of the tool bar. The buildings themselves are the island's: the catalogue
// keeps them through the small view below and owns them.
#include <memory>
#include <vector>

#include "engine/core/types.h"

struct cSprite;

class iCatalogueBuilding {
 public:
  virtual ~iCatalogueBuilding() = default;
  virtual const vek::string& GetName() const = 0;
  // The building's first sprite (null when it has none) and the frame of it that pictures the
  // building, as a shelf shows it (houses and factories: their built look, frame 4).
  virtual const cSprite* GetFirstSprite() const { return nullptr; }
  virtual int GetPictureIndex() const { return -1; }
};

class cBuildingCatalogue {
 public:
  // Takes the template over; its index.
  int AddBuilding(iCatalogueBuilding* building);
  // Null when i is not below the count.
  iCatalogueBuilding* GetBuilding(int i) const;
  // The first template of exactly that name; null when none.
  iCatalogueBuilding* FindBuilding(const vek::string& name) const;
  int GetCount() const { return static_cast<int>(m_Buildings.size()); }

 private:
  std::vector<std::unique_ptr<iCatalogueBuilding>> m_Buildings;
};

struct cPlacePoint {
  vek::f32 x, y;
};

// The island place (one per level) a house of the name and rectangle {x, y, w, h} stands
// on: of the places whose level building has that name, the nearest to the house's centre
// within 10000 (the lower index at equal distance); -1 when none.
int GetHousePlace(const vek::string& name, const vek::f32* rect, const std::vector<cPlacePoint>& places);

// The animal prices of the balance table: hive, ostrich, goat, peacock.
struct cAnimalPrices {
  vek::i32 hive = 300, ostrich = 100, goat = 200, peacock = 400;
};
// The price of tool-bar item 0 ostrich, 1 goat, 2 hive, 3 peacock; 0 for any other.
vek::i32 GetAnimalPrice(const cAnimalPrices& prices, int item);
