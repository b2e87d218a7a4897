#pragma once
// The island's building catalogue as data: the 22 templates in catalogue order, and the
// rules that follow from a building's name (its category and the frames of its stages).
#include <array>
#include <string_view>

#include "engine/core/types.h"

// Building categories.
enum eBuildingCategory : vek::i32 {
  e_catOther = 0,
  e_catHouse = 1,
  e_catMarket = 2,
  e_catFactory = 3,
  e_catInstitute = 4,
  e_catAnimals = 5,
  e_catStatue = 7,
};

struct cBuildingSprite {
  const char* texture = nullptr;
  const char* area = nullptr;
};

struct cBuildingTemplateRow {
  const char* name;
  bool factory;
  const char* textEntry;  // the text-table entry that becomes the display name
  std::array<cBuildingSprite, 2> sprites;  // the second only where `area` is set
  vek::i32 value;
  vek::i32 price;
  const char* input;   // factories: ware names
  const char* output;
  vek::f32 workTime;   // factories: seconds per unit
};

inline constexpr vek::u32 kBuildingTemplateCount = 22;
const std::array<cBuildingTemplateRow, kBuildingTemplateCount>& BuildingTemplateRows();
// The catalogue index of a name; -1 when no template has it.
vek::i32 FindBuildingTemplateRow(std::string_view name);

// The category a house takes from the start of its name: "house" 1, "market" 2,
// "institute" 4, "animals" 5, "statue" 7, anything else 0 (factories set 3 themselves).
vek::i32 BuildingCategoryFromName(std::string_view name);

// The sheet frame of a stage: not built (0) shows frame 6 (3 for the statue), built (1)
// frame 4; other stages 0.
vek::i32 BuildingStageFrame(std::string_view name, vek::i32 stage);
