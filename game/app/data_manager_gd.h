#pragma once
// The game's data manager: the engine's file helpers, which the game's own readers extend.
#include "engine/files/data_manager.h"

class cDataManagerGD : public vek::cDataManager {};
