#pragma once
// A player profile as the application base sees it (cPlayerBase) lives with the profile class.
#include "game/app/player.h"
