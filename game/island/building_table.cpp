#include "game/island/building_table.h"

using vek::i32;

namespace {

constexpr cBuildingSprite S(const char* texture, const char* area) { return {texture, area}; }
constexpr cBuildingSprite kNone{};

// Houses and markets bring their value (people, or the market's figure); factories turn
// their input into their output in workTime seconds.
constexpr std::array<cBuildingTemplateRow, kBuildingTemplateCount> kRows{{
    {"market00", false, "Market00", {S("houses01", "market00"), kNone}, 2, 50, nullptr, nullptr, 0.0f},
    {"house00", false, "House00", {S("houses00", "house00"), kNone}, 1, 50, nullptr, nullptr, 0.0f},
    {"factory00", true, "FactoryOliveOil", {S("houses03", "factory00"), kNone}, 0, 60, "plant01", "product00", 7.0f},
    {"institute00", false, "Institute00", {S("houses05", "institute00"), kNone}, 0, 70, nullptr, nullptr, 0.0f},
    {"factory01", true, "FactoryOrangeJuice", {S("houses04", "factory01"), kNone}, 0, 200, "plant02", "product01", 7.0f},
    {"animals00", false, "Animals00", {S("houses05", "animals00"), kNone}, 0, 200, nullptr, nullptr, 0.0f},
    {"market01", false, "Market01", {S("houses01", "market01"), kNone}, 2, 100, nullptr, nullptr, 0.0f},
    {"house01", false, "House01", {S("houses00", "house01"), kNone}, 1, 250, nullptr, nullptr, 0.0f},
    {"market02", false, "Market02", {S("houses01", "market02"), kNone}, 2, 450, nullptr, nullptr, 0.0f},
    {"factory01_1", true, "FactoryLemonade", {S("houses08", "factory01_1"), kNone}, 0, 200, "product01", "product01_1", 5.0f},
    {"house02", false, "House02", {S("houses00", "house02"), kNone}, 2, 200, nullptr, nullptr, 0.0f},
    {"market03", false, "Market03", {S("houses01", "market03"), kNone}, 2, 350, nullptr, nullptr, 0.0f},
    {"factory02", true, "Mill", {S("houses07", "factory02"), S("houses07", "factory02_life")}, 0, 500, "plant04", "product02", 6.0f},
    {"factory02_1", true, "Bakery", {S("houses08", "factory02_1"), kNone}, 0, 400, "product02", "product02_1", 4.0f},
    {"house03", false, "House03", {S("houses00", "house03"), kNone}, 2, 300, nullptr, nullptr, 0.0f},
    {"market04", false, "Market04", {S("houses02", "market04"), kNone}, 2, 350, nullptr, nullptr, 0.0f},
    {"house04", false, "House04", {S("houses00", "house04"), kNone}, 3, 350, nullptr, nullptr, 0.0f},
    {"market05", false, "Market05", {S("houses03", "market05"), kNone}, 2, 500, nullptr, nullptr, 0.0f},
    {"factory03", true, "FactoryGrapeJuice", {S("houses09", "factory03"), kNone}, 0, 500, "plant06", "product03", 6.0f},
    // The wine press shares the grape press's picture, from another sheet.
    {"factory03_1", true, "FactoryWine", {S("houses04", "factory03"), kNone}, 0, 500, "product03", "product03_1", 3.0f},
    {"house05", false, "House05", {S("houses02", "house05"), kNone}, 3, 500, nullptr, nullptr, 0.0f},
    {"statue00", false, "Statue00", {S("peacock02", "statue00"), kNone}, 0, 2000, nullptr, nullptr, 0.0f},
}};

}  // namespace

const std::array<cBuildingTemplateRow, kBuildingTemplateCount>& BuildingTemplateRows() {
  return kRows;
}

i32 FindBuildingTemplateRow(std::string_view name) {
  for (vek::u32 i = 0; i < kRows.size(); ++i)
    if (name == kRows[i].name) return static_cast<i32>(i);
  return -1;
}

i32 BuildingCategoryFromName(std::string_view name) {
  if (name.starts_with("house")) return e_catHouse;
  if (name.starts_with("market")) return e_catMarket;
  if (name.starts_with("institute")) return e_catInstitute;
  if (name.starts_with("animals")) return e_catAnimals;
  if (name.starts_with("statue")) return e_catStatue;
  return e_catOther;
}

i32 BuildingStageFrame(std::string_view name, i32 stage) {
  if (stage == 0) return name == "statue00" ? 3 : 6;
  if (stage == 1) return 4;
  return 0;
}
