#pragma once
// Screenshots: the frame just drawn, saved as a numbered PNG file ("vek00.png" to
// "vek99.png", the first free number) in the user's desktop folder.
#include "engine/core/types.h"

namespace vek {

// Takes one screenshot. False when none was written (the folder holds all 100 names, the
// frame could not be read, or the file could not be written); each failure is logged.
bool shot();

}  // namespace vek
