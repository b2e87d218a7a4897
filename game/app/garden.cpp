#include "game/app/garden.h"

cGarden* g_pGarden = nullptr;

cGarden::cGarden() { g_pGarden = this; }

cGarden::~cGarden() {
  if (g_pGarden == this) g_pGarden = nullptr;
}

int cGarden::Init() { return 0; }
