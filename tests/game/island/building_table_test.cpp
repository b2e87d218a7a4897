// The building catalogue's rows and the rules that follow from a building's name.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game/island/building_table.h"
#include "game/world/ware_manager.h"
#include "tests/support/world_harness.h"

TEST(BuildingTable, RowsInCatalogueOrder) {
  const auto& rows = BuildingTemplateRows();
  EXPECT_EQ(FindBuildingTemplateRow("market00"), 0);
  EXPECT_EQ(FindBuildingTemplateRow("statue00"), 21);
  EXPECT_EQ(FindBuildingTemplateRow("statue"), -1);
  std::set<std::string> names;
  for (const auto& r : rows) names.insert(r.name);
  EXPECT_EQ(names.size(), rows.size());

  // The wine press takes its picture from the juice factory's area of another sheet.
  const auto& wine = rows[FindBuildingTemplateRow("factory03_1")];
  EXPECT_STREQ(wine.sprites[0].texture, "houses04");
  EXPECT_STREQ(wine.sprites[0].area, "factory03");
  EXPECT_STREQ(rows[FindBuildingTemplateRow("factory03")].sprites[0].texture, "houses09");
  // Only the mill has a second picture (its running sails).
  for (const auto& r : rows)
    EXPECT_EQ(r.sprites[1].area != nullptr, std::string(r.name) == "factory02") << r.name;
}

TEST(BuildingTable, FactoriesFormTheFourChains) {
  const auto& rows = BuildingTemplateRows();
  struct Link {
    const char* factory;
    const char* input;
    const char* output;
    float seconds;
  } chains[] = {
      {"factory00", "plant01", "product00", 7.0f},     {"factory01", "plant02", "product01", 7.0f},
      {"factory01_1", "product01", "product01_1", 5.0f}, {"factory02", "plant04", "product02", 6.0f},
      {"factory02_1", "product02", "product02_1", 4.0f}, {"factory03", "plant06", "product03", 6.0f},
      {"factory03_1", "product03", "product03_1", 3.0f},
  };
  int factories = 0;
  for (const auto& r : rows) factories += r.factory;
  EXPECT_EQ(factories, 7);
  for (const Link& l : chains) {
    const vek::i32 i = FindBuildingTemplateRow(l.factory);
    ASSERT_GE(i, 0) << l.factory;
    EXPECT_TRUE(rows[i].factory);
    EXPECT_STREQ(rows[i].input, l.input);
    EXPECT_STREQ(rows[i].output, l.output);
    EXPECT_EQ(rows[i].workTime, l.seconds);
  }
}

TEST(BuildingTable, CategoryFromTheStartOfTheName) {
  struct Case {
    const char* name;
    vek::i32 category;
  } cases[] = {
      {"house03", e_catHouse},       {"houses01", e_catHouse},    {"market05", e_catMarket},
      {"institute00", e_catInstitute}, {"animals00", e_catAnimals}, {"statue00", e_catStatue},
      {"statues", e_catStatue},      {"factory00", e_catOther},   {"hous", e_catOther},
      {"", e_catOther},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildingCategoryFromName(c.name), c.category) << c.name;
}

TEST(BuildingTable, StageFrames) {
  EXPECT_EQ(BuildingStageFrame("house00", 0), 6);
  EXPECT_EQ(BuildingStageFrame("statue00", 0), 3);
  EXPECT_EQ(BuildingStageFrame("statue01", 0), 6);
  EXPECT_EQ(BuildingStageFrame("statue00", 1), 4);
  EXPECT_EQ(BuildingStageFrame("house00", 2), 0);
  EXPECT_EQ(BuildingStageFrame("house00", -1), 0);
}

TEST(BuildingTable, FactoryWaresAreWaresOfTheProductTable) {
  vektest::WorldHarness world;
  world.BuildWares();
  for (const auto& r : BuildingTemplateRows()) {
    if (!r.factory) continue;
    const vek::i32 in = g_pWareManager->GetWareId(r.input);
    const vek::i32 out = g_pWareManager->GetWareId(r.output);
    EXPECT_NE(in, 1000) << r.name;
    EXPECT_NE(out, 1000) << r.name;
    // A first factory of a chain takes a plant sort, a second one the first one's product.
    EXPECT_EQ(g_pWareManager->GetWare(static_cast<vek::u32>(in)).GetType(),
              std::string(r.input).starts_with("plant") ? e_WareTypeSort : e_WareTypeProduct)
        << r.name;
    EXPECT_EQ(g_pWareManager->GetWare(static_cast<vek::u32>(out)).GetType(), e_WareTypeProduct)
        << r.name;
  }
}
