#pragma once
// An integer rectangle {x, y, w, h} (script class "recti"; the float one is rectf).
#include "engine/core/types.h"

namespace vek {

struct recti {
  i32 x = 0;
  i32 y = 0;
  i32 w = 0;
  i32 h = 0;
};

}  // namespace vek
