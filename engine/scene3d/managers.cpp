#include "engine/scene3d/managers.h"

#include "engine/core/log.h"

namespace vek {

namespace {
cMaterialManager* g_MaterialManager = nullptr;
cMeshManager* g_MeshManager = nullptr;
}  // namespace

cMaterialManager* MaterialManager() { return g_MaterialManager; }
cMeshManager* MeshManager() { return g_MeshManager; }

cMesh::cMesh(const vek::string& meshName, bool reserved) : name(meshName) {
  if (g_MeshManager) handle = g_MeshManager->Add(this, reserved);
}

cMesh::~cMesh() {
  for (cMeshPart* part : parts) delete part;
}

void CreateMaterialManager() {
  if (g_MaterialManager) {
    LogWarning("CreateMaterialManager", "Already exist\n");
    return;
  }
  g_MaterialManager = new cMaterialManager(50, 1);
  g_MaterialManager->Add(new cMaterial(), true);
  LogText("CreateMaterialManager", "Ok\n");
}

void DestroyMaterialManager() {
  delete g_MaterialManager;  // the table deletes its records in handle order
  g_MaterialManager = nullptr;
  LogText("DestroyMaterialManager", "Ok\n");
}

void CreateMeshManager() {
  if (g_MeshManager) {
    LogWarning("CreateMeshManager", "Already exist\n");
  } else {
    g_MeshManager = new cMeshManager(50, 1);
    new cMesh("unnamed", true);  // registers itself in handle 0
  }
  LogText("CreateMeshManager", "Ok\n");
}

void DestroyMeshManager() {
  delete g_MeshManager;
  g_MeshManager = nullptr;
  LogText("DestroyMeshManager", "Ok\n");
}

}  // namespace vek
