#pragma once
// Where the hints and training tips point on the play field: the rectangle (x, y from the
// bottom left, width, height) of a named object of the field.
//   "hole <n>", "plant <n>"        the n-th hole or plant of the field (from 0)
//   "plant stage <n>"              the first plant at stage n
//   "plant00 hole"                 the hole under the first plant of sort "plant00"
//   "tool weed", "can", "bin"      the tools; "car", "pump", "egg", "goat", "hive"
//   "free cell", "free cell hive"  a free cell (for the food, beside the hive)
//   "bin corner", "flowers"        the tips' points: the bin's lower right corner, the foot
//                                  of the first flowers waiting for water
// Plants are pointed at a little inside their picture (shrunk by 12, lowered by 18).
#include "engine/core/types.h"

class cLevel;

bool FindFieldTarget(cLevel& level, const vek::string& target, vek::f32* rect);
