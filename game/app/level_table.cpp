#include "game/app/level_table.h"

#include "game/app/rules_host.h"

namespace {

const std::vector<cLevelRow>& Rows() {
  static const std::vector<cLevelRow> rows = {
    {90, 50, {{"plant00", 6, 0.0f}}, "house00", 0x3, false},  // 0
    {100, 50, {{"plant00", 6, 0.0f}, {"plant01", 3, 0.0f}}, "market00", 0, false},  // 1
    {110, 35, {{"plant00", 8, 0.0f}, {"plant01", 4, 0.0f}}, "factory00", 0, false},  // 2
    {110, 40, {{"product00", 4, 0.0f}, {"plant00", 8, 0.0f}}, "institute00", 0, false},  // 3
    {160, 35, {{"plant00", 9, 0.0f}, {"product00", 5, 0.0f}, {"plant02", 4, 0.0f}}, "market01", 0, false},  // 4
    {160, 25, {{"plant00", 10, 0.0f}, {"product00", 5, 0.0f}, {"plant02", 5, 0.0f}}, "animals00", 0x8, false},  // 5
    {130, 185, {{"plant00", 8, 0.0f}, {"plant02", 4, 0.0f}, {"egg", 4, 0.0f}}, "house01", 0, false},  // 6
    {150, 90, {{"plant00", 10, 0.0f}, {"product00", 5, 0.0f}, {"plant02", 5, 0.0f}, {"egg", 2, 0.0f}}, "factory01", 0, false},  // 7
    {180, 65, {{"plant00", 11, 0.0f}, {"product00", 6, 0.0f}, {"product01", 4, 0.0f}, {"egg", 3, 0.0f}}, "house01", 0, false},  // 8
    {250, 85, {{"plant00", 10, 0.0f}, {"product01", 8, 0.0f}, {"plant03", 10, 0.0f}, {"egg", 6, 0.0f}}, "market01", 0, false},  // 9
    {180, 160, {{"egg", 20, 0.0f}, {"plant03", 9, 0.0f}}, "house01", 0, true},  // 10
    {260, 30, {{"plant01", 10, 0.0f}, {"product01", 9, 0.0f}, {"plant03", 8, 0.0f}, {"egg", 7, 0.0f}}, "factory01_1", 0x2, false},  // 11
    {260, 140, {{"plant01", 10, 0.0f}, {"product01_1", 8, 0.0f}, {"plant03", 8, 0.0f}, {"egg", 9, 0.0f}}, "house01", 0, false},  // 12
    {220, 285, {{"plant03", 10, 0.0f}, {"product01", 6, 0.0f}, {"egg", 4, 0.0f}, {"milk", 4, 0.0f}}, "market02", 0, false},  // 13
    {280, 60, {{"plant02", 10, 0.0f}, {"plant03", 10, 0.0f}, {"plant04", 10, 0.0f}, {"egg", 9, 0.0f}}, "house02", 0, false},  // 14
    {250, 180, {{"plant03", 10, 0.0f}, {"product01_1", 8, 0.0f}, {"plant04", 8, 0.0f}, {"milk", 6, 0.0f}}, "factory02", 0, false},  // 15
    {240, 60, {{"plant02", 10, 0.0f}, {"plant03", 10, 0.0f}, {"product02", 8, 0.0f}, {"egg", 8, 0.0f}}, "house02", 0, false},  // 16
    {180, 580, {{"egg", 15, 0.0f}, {"milk", 10, 0.0f}}, "market02", 0, true},  // 17
    {250, 80, {{"plant03", 10, 0.0f}, {"product01_1", 8, 0.0f}, {"plant04", 8, 0.0f}, {"egg", 6, 70.0f}, {"milk", 2, 0.0f}}, "house02", 0x2, false},  // 18
    {230, 120, {{"plant05", 12, 0.0f}, {"product01", 8, 0.0f}, {"product02", 8, 0.0f}, {"milk", 4, 80.0f}}, "factory02_1", 0, false},  // 19
    {320, 80, {{"plant03", 12, 0.0f}, {"product02_1", 8, 0.0f}, {"plant05", 10, 0.0f}, {"egg", 12, 60.0f}, {"product01", 4, 0.0f}}, "house02", 0, false},  // 20
    {240, 100, {{"plant04", 12, 0.0f}, {"product01_1", 8, 0.0f}, {"plant05", 10, 0.0f}, {"milk", 4, 60.0f}, {"egg", 3, 0.0f}}, "market03", 0, false},  // 21
    {200, 440, {{"plant04", 9, 0.0f}, {"product01", 6, 0.0f}, {"plant05", 9, 0.0f}, {"honey", 4, 0.0f}}, "house03", 0, false},  // 22
    {220, 80, {{"plant03", 12, 0.0f}, {"product02_1", 10, 0.0f}, {"egg", 4, 80.0f}, {"plant06", 8, 100.0f}}, "house03", 0, false},  // 23
    {230, 120, {{"plant05", 10, 0.0f}, {"product02", 10, 0.0f}, {"milk", 5, 0.0f}, {"plant06", 12, 100.0f}, {"egg", 3, 130.0f}}, "market03", 0, false},  // 24
    {260, 100, {{"plant04", 12, 0.0f}, {"egg", 9, 20.0f}, {"plant06", 12, 40.0f}, {"plant05", 10, 70.0f}, {"honey", 4, 90.0f}}, "house03", 0, false},  // 25
    {280, 80, {{"plant03", 12, 0.0f}, {"product02_1", 8, 0.0f}, {"plant06", 10, 0.0f}, {"egg", 9, 0.0f}, {"honey", 2, 0.0f}}, "factory03", 0, false},  // 26
    {260, 120, {{"plant05", 12, 0.0f}, {"product02", 10, 0.0f}, {"product03", 8, 0.0f}, {"milk", 3, 40.0f}, {"egg", 3, 0.0f}}, "house03", 0, false},  // 27
    {250, 80, {{"plant03", 12, 0.0f}, {"product02_1", 8, 0.0f}, {"plant06", 9, 0.0f}, {"egg", 6, 60.0f}, {"honey", 2, 0.0f}}, "market03", 0, false},  // 28
    {250, 120, {{"plant05", 12, 0.0f}, {"product03", 9, 0.0f}, {"milk", 4, 40.0f}, {"honey", 2, 70.0f}, {"plant04", 12, 0.0f}}, "house03", 0, false},  // 29
    {240, 100, {{"plant04", 12, 0.0f}, {"plant05", 10, 0.0f}, {"product03", 9, 0.0f}, {"milk", 5, 0.0f}, {"egg", 2, 0.0f}}, "house03", 0, false},  // 30
    {240, 120, {{"plant05", 12, 0.0f}, {"product03", 9, 0.0f}, {"plant07", 6, 0.0f}, {"milk", 2, 40.0f}, {"honey", 2, 60.0f}}, "market04", 0, false},  // 31
    {280, 280, {{"egg", 12, 0.0f}, {"plant05", 12, 20.0f}, {"product03", 6, 0.0f}, {"product02_1", 3, 100.0f}, {"plant07", 6, 0.0f}}, "house04", 0, false},  // 32
    {230, 520, {{"plant05", 12, 0.0f}, {"product03", 10, 0.0f}, {"plant07", 10, 0.0f}, {"milk", 3, 0.0f}, {"egg", 3, 0.0f}}, "factory03_1", 0, false},  // 33
    {230, 390, {{"honey", 10, 0.0f}, {"plant04", 12, 10.0f}, {"product03_1", 4, 50.0f}, {"egg", 3, 80.0f}, {"plant07", 6, 0.0f}}, "house04", 0, false},  // 34
    {280, 100, {{"plant04", 12, 0.0f}, {"plant05", 10, 0.0f}, {"plant07", 10, 0.0f}, {"honey", 3, 0.0f}, {"egg", 6, 0.0f}, {"milk", 1, 0.0f}}, "market04", 0x8, false},  // 35
    {240, 540, {{"nib", 5, 0.0f}, {"plant05", 12, 0.0f}, {"egg", 8, 45.0f}, {"milk", 3, 80.0f}, {"product03", 4, 110.0f}, {"product02", 4, 0.0f}}, "house04", 0, false},  // 36
    {170, 100, {{"plant04", 12, 0.0f}, {"plant05", 10, 30.0f}, {"plant06", 8, 60.0f}, {"plant07", 6, 90.0f}}, "house04", 0, false},  // 37
    {260, 120, {{"plant05", 12, 0.0f}, {"product02_1", 8, 0.0f}, {"milk", 8, 40.0f}, {"plant06", 6, 110.0f}, {"nib", 2, 140.0f}}, "market05", 0, false},  // 38
    {240, 300, {{"plant07", 12, 0.0f}, {"product03_1", 8, 0.0f}, {"nib", 10, 60.0f}, {"product02", 6, 100.0f}, {"honey", 2, 0.0f}}, "house05", 0, false},  // 39
    {240, 780, {{"egg", 12, 0.0f}, {"milk", 8, 0.0f}, {"plant07", 8, 30.0f}, {"product03", 6, 50.0f}, {"plant05", 8, 80.0f}}, "house05", 0, false},  // 40
    {240, 580, {{"nib", 6, 0.0f}, {"egg", 6, 0.0f}, {"plant05", 12, 0.0f}, {"honey", 6, 50.0f}, {"product03", 4, 80.0f}, {"product02", 3, 0.0f}}, "market05", 0, false},  // 41
    {220, 100, {{"plant04", 12, 0.0f}, {"product03_1", 6, 0.0f}, {"plant07", 10, 0.0f}, {"milk", 2, 0.0f}, {"honey", 2, 0.0f}, {"product02", 3, 0.0f}}, "house05", 0, false},  // 42
    {230, 380, {{"egg", 30, 0.0f}, {"milk", 6, 0.0f}, {"nib", 6, 0.0f}}, "house05", 0, true},  // 43
    {330, 120, {{"plant05", 12, 0.0f}, {"product03_1", 12, 0.0f}, {"plant07", 16, 0.0f}, {"nib", 9, 0.0f}, {"honey", 4, 0.0f}, {"product02", 6, 0.0f}, {"egg", 4, 0.0f}}, "statue00", 0, false},  // 44
  };
  return rows;
}

}  // namespace

const cLevelRow* GetLevelRow(int level) {
  return level >= 0 && level < kLevelCount ? &Rows()[static_cast<size_t>(level)] : nullptr;
}

vek::string GetLevelBuilding(int level) {
  const cLevelRow* row = GetLevelRow(level);
  return row ? row->building : "";
}

vek::string GetBuildingHintKey(const vek::string& building) {
  static const char* const kNames[] = {
      "house00",    "house01",   "house02",   "house03",     "house04",   "house05",
      "market00",   "market01",  "market02",  "market03",    "market04",  "market05",
      "factory00",  "factory01", "factory01_1", "factory02", "factory02_1", "factory03",
      "factory03_1", "institute00", "animals00", "statue00"};
  for (const char* name : kNames) {
    if (building != name) continue;
    vek::string key = "HintConstruct" + building;
    key[13] = static_cast<char>(key[13] - 'a' + 'A');
    return key;
  }
  return {};
}

vek::string GetLevelBuildingHint(int level) {
  const vek::string key = GetBuildingHintKey(GetLevelBuilding(level));
  return key.empty() ? key : RulesWorld()->GetText(key);
}
