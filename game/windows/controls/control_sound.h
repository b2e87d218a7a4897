#pragma once
// The game controls' feedback sounds: a one-shot sound of the named buffer.
#include "engine/core/types.h"

void PlayControlSound(const char* bufferName);
