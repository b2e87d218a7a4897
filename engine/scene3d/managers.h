#pragma once
// The 3-D scene layer's resource tables: materials and meshes (scenes: scene.h). Each manager
// is a process-wide table of owned records addressed by a small handle; handle 0 holds the
// default record "unnamed". The application creates the managers at start-up (material, scene,
// mesh) and destroys them at exit in the reverse order.
#include <vector>

#include "engine/core/container_ptr.h"
#include "engine/core/types.h"

namespace vek {

struct cMaterial {
  vek::string name = "unnamed";
  u32 values[4] = {0, 0, 0, 0};
  vek::string text1;
  vek::string text2;
};

struct cMeshPart {
  vek::string name;
  std::vector<f32> array1;
  std::vector<f32> array2;
  std::vector<u32> array3;
};

struct cMesh {
  // Registers the new mesh in the mesh manager (the next reserved slot when `reserved` is set
  // and one is free); without a mesh manager the mesh stays unregistered.
  cMesh(const vek::string& meshName, bool reserved);
  vek::string name;
  std::vector<cMeshPart*> parts;
  f32 values[9] = {};
  u32 handle = 0;
  ~cMesh();
  cMesh(const cMesh&) = delete;
  cMesh& operator=(const cMesh&) = delete;
};

using cMaterialManager = cContainerPtr<cMaterial>;
using cMeshManager = cContainerPtr<cMesh>;

// The managers, or null while they do not exist.
cMaterialManager* MaterialManager();
cMeshManager* MeshManager();

// Create: a second call leaves the existing manager and logs "Already exist" (the mesh manager
// then logs "Ok" all the same). Destroy: frees every record in handle order; logs "Ok" also
// when there was no manager.
void CreateMaterialManager();
void DestroyMaterialManager();
void CreateMeshManager();
void DestroyMeshManager();

}  // namespace vek
