#pragma once
// The ware manager: the wares, their sorts and prices.
#include <vector>

#include "engine/core/types.h"

struct cSort {
  vek::string name;
};

struct cWare {
  vek::string name;
  int price = 0;
  int type = 0;
};

class cWareManager {
 public:
  cWareManager();
  const cSort& GetDefaultSort() const { return m_Sorts.front(); }
  const cWare& GetDefaultWare() const { return m_Wares.front(); }

 private:
  std::vector<cSort> m_Sorts;
  std::vector<cWare> m_Wares;
};

extern cWareManager* g_pWareManager;

// Creates the ware manager singleton; a second call only warns.
void CreateWareManager();
// Destroys it; warns when none exists.
void DestroyWareManager();
