#pragma once
// The game application object.

class cGarden {
 public:
  cGarden();
  virtual ~cGarden();
  // The game's start-up; 0 on success.
  virtual int Init();
};

// The engine-wide pointer to the game application object.
extern cGarden* g_pGarden;
