#pragma once
// The game's hint window "hint": the hint layout with the game's reactions. Showing it plays
// the hint sound; hiding it forgets the training step it showed; its close button moves the
// two hint lessons that wait for it on and ends the training step; the check box "show"
// switches hints off; the pointer reaching it clears the island's building highlight.
#include "game/windows/hint_wf.h"

class cHintGDWF : public cHintWF {
 public:
  static constexpr vek::i32 kHintSound = 30;
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
};
