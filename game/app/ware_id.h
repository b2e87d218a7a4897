#pragma once
// The ware id that stands for "no ware" in every list, record and argument: the rules' car
// load and tasks, the field's objects, tools and gardener, the windows and the island. One
// constant for all of them, signed like the rules' ware ids; it compares and converts cleanly
// with the field's unsigned ids as well.
#include "engine/core/types.h"

inline constexpr vek::i32 kNoWare = 1000;
