// The building catalogue, the place of a house and the animal prices.
#include <gtest/gtest.h>

#include "game/app/building_catalogue.h"

namespace {

struct Template : iCatalogueBuilding {
  explicit Template(vek::string n) : name(std::move(n)) {}
  const vek::string& GetName() const override { return name; }
  vek::string name;
};

TEST(BuildingCatalogue, IndicesAndNames) {
  cBuildingCatalogue catalogue;
  EXPECT_EQ(catalogue.AddBuilding(new Template("house01")), 0);
  EXPECT_EQ(catalogue.AddBuilding(new Template("market00")), 1);
  EXPECT_EQ(catalogue.AddBuilding(new Template("house01")), 2);
  EXPECT_EQ(catalogue.GetBuilding(2)->GetName(), "house01");
  EXPECT_EQ(catalogue.GetBuilding(3), nullptr);
  EXPECT_EQ(catalogue.GetBuilding(-1), nullptr);
  EXPECT_EQ(catalogue.FindBuilding("house01"), catalogue.GetBuilding(0));
  EXPECT_EQ(catalogue.FindBuilding("House01"), nullptr);
}

TEST(BuildingCatalogue, HousePlaces) {
  // Levels 6, 8 and 10 all belong to "house01"; level 7 to "factory01".
  std::vector<cPlacePoint> places(45, cPlacePoint{0, 0});
  places[6] = {100, 100};
  places[8] = {200, 100};
  places[10] = {5000, 5000};
  places[7] = {150, 100};
  struct Case {
    const char* name;
    float cx, cy;
    int place;
  };
  for (const Case& c : {Case{"house01", 140, 100, 6}, Case{"house01", 160, 100, 8}, Case{"house01", 150, 100, 6},
                        Case{"house01", 20000, 100, -1}, Case{"factory01", 150, 100, 7}, Case{"nothing", 0, 0, -1}}) {
    const float rect[4] = {c.cx - 10, c.cy - 20, 20, 40};
    EXPECT_EQ(GetHousePlace(c.name, rect, places), c.place) << c.name << " " << c.cx;
  }
}

TEST(BuildingCatalogue, AnimalPrices) {
  const cAnimalPrices prices;
  EXPECT_EQ(GetAnimalPrice(prices, 0), 100);
  EXPECT_EQ(GetAnimalPrice(prices, 1), 200);
  EXPECT_EQ(GetAnimalPrice(prices, 2), 300);
  EXPECT_EQ(GetAnimalPrice(prices, 3), 400);
  EXPECT_EQ(GetAnimalPrice(prices, 4), 0);
  EXPECT_EQ(GetAnimalPrice(prices, -1), 0);
}

}  // namespace
