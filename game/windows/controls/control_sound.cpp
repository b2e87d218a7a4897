#include "game/windows/controls/control_sound.h"

#include "engine/sound/sound.h"

void PlayControlSound(const char* bufferName) {
  // A temporary one-shot sound plays to its end after the object has gone.
  vek::cSound sound(bufferName);
  sound.Play(false);
}
