#pragma once
#include <vector>

#include "engine/core/types.h"

namespace vek {

// One input event of a frame: 1 key down, 2 key up (key code), 3 character, 4 button down,
// 5 button up (button index), 6 mouse move, 7 wheel, 8/9 joystick button up/down,
// 16..23 joystick axes, rotations, hats and sliders.
struct InputEvent {
  i32 type = 0;
  i32 param = 0;
};
using InputEventList = std::vector<InputEvent>;

}  // namespace vek
