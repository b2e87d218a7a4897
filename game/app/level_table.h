#pragma once
// The set-up of the 45 levels: time limit, starting money, the tasks in the order they are
// issued, the island building the level belongs to and the application's level flags.
#include <vector>

#include "engine/core/types.h"

struct cLevelTask {
  const char* ware;
  vek::i32 count;
  vek::f32 startTime;  // seconds of elapsed level time; 0 = at once
};

struct cLevelRow {
  vek::i32 timeLimit;  // seconds
  vek::i32 money;      // money at the start of the level
  std::vector<cLevelTask> tasks;
  const char* building;
  vek::u32 flags;       // level flags 1..4 as bits 0..3
  bool setupFlag;       // sets the application's set-up flag
};

inline constexpr int kLevelCount = 45;

// The row of a level; null outside 0..44.
const cLevelRow* GetLevelRow(int level);
// The island building of a level; empty outside 0..44.
vek::string GetLevelBuilding(int level);
// The text-table key of the construction hint of a building ("house03" gives
// "HintConstructHouse03"); empty for a name that has none.
vek::string GetBuildingHintKey(const vek::string& building);
// The construction hint of the level's building from the game's text table; empty when none.
vek::string GetLevelBuildingHint(int level);
