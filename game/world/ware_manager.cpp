#include "game/world/ware_manager.h"

#include "engine/core/log.h"

cWareManager* g_pWareManager = nullptr;

cWareManager::cWareManager() {
  m_Sorts.push_back(cSort{"default"});
  m_Wares.push_back(cWare{"default", 0, 0});
}

void CreateWareManager() {
  if (g_pWareManager) {
    vek::LogWarning("CreateWareManager", "Ware manager already exists\n");
    return;
  }
  g_pWareManager = new cWareManager();
  vek::LogText("CreateWareManager", "Ok\n");
}

void DestroyWareManager() {
  if (!g_pWareManager) {
    vek::LogWarning("DestroyWareManager", "Ware manager does not exist\n");
    return;
  }
  delete g_pWareManager;
  g_pWareManager = nullptr;
}
