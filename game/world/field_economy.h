#pragma once
// How the play field reaches the garden window's shop rows ("plants", "grass", "animals"):
// by window and control name. The game's GUI answers by default; tests set their own.
#include <functional>

#include "engine/core/types.h"

namespace vek {
class cCtrl;
}

using cFieldControlFinder = std::function<vek::cCtrl*(const vek::string& window, const vek::string& control)>;
// An empty finder restores the GUI's look-up.
void SetFieldControlFinder(cFieldControlFinder finder);
vek::cCtrl* FindFieldControl(const vek::string& window, const vek::string& control);
