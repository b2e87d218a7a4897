#pragma once
// The value vectors scripts use (script classes "strlist", "vectori" and "vectorf").
#include <vector>

#include "engine/core/types.h"

namespace vek {

using strlist = std::vector<vek::string>;
using vectori = std::vector<i32>;
using vectorf = std::vector<f32>;

}  // namespace vek
