#pragma once
// "comics", the window over a playing comic: its button "next" turns the page.
#include "game/windows/base_wf.h"

class cComicsWF : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
};
