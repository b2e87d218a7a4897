// dump3ds FILE: reads a .3ds file with the scene toolkit and prints its chunk tree, its
// meshes, lights, cameras and materials, and its keyframe node hierarchy. A file the toolkit
// refuses prints the toolkit's errors and exits with status 1.
#include <cstdio>

#include "engine/file3ds/ftk3ds.h"

namespace {

void PrintChunks(const Chunk3ds* chunk, int depth) {
  for (; chunk; chunk = chunk->next) {
    std::printf("%*s0x%04X  length %u  at %u\n", depth * 2, "", chunk->id, chunk->length,
                chunk->position);
    PrintChunks(chunk->children, depth + 1);
  }
}

// Prints the names of a list and frees it.
void PrintNames(const char* what, StrList3ds* list) {
  std::printf("%s: %u\n", what, list ? list->count : 0);
  for (uint32_t i = 0; list && i < list->count; ++i) std::printf("  %s\n", list->names[i]);
}

bool Failed() {
  if (!ftkErrorPending()) return false;
  ftkErrorPrint(stderr);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dump3ds FILE.3ds\n");
    return 2;
  }
  File3ds* file = OpenFile3ds(argv[1], "r");
  Database3ds* db = nullptr;
  if (file) {
    InitDatabase3ds(&db);
    ReadDatabase3ds(file, db);
  }
  if (Failed()) {
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();
    return 1;
  }
  static const char* kinds[] = {"unknown", "mesh file", "project file", "material library"};
  std::printf("%s: %s\n\nChunks:\n", argv[1], kinds[GetDatabaseType3ds(db)]);
  PrintChunks(db->topChunk, 1);

  if (GetDatabaseType3ds(db) == kMeshFile3ds || GetDatabaseType3ds(db) == kProjectFile3ds) {
    std::printf("\n");
    const uint32_t meshes = GetMeshCount3ds(db);
    std::printf("Meshes: %u\n", meshes);
    for (uint32_t i = 0; i < meshes && !Failed(); ++i) {
      Mesh3ds* mesh = nullptr;
      GetMeshByIndex3ds(db, i, &mesh);
      if (mesh) {
        std::printf("  %s: %u vertices, %u faces, %u material groups\n", mesh->name,
                    mesh->vertexCount, mesh->faceCount, mesh->materialGroupCount);
      }
      ReleaseMesh3ds(&mesh);
    }
    StrList3ds* list = nullptr;
    GetOmnilightNameList3ds(db, &list);
    PrintNames("Omni lights", list);
    DeleteStrList3ds(&list);
    GetSpotlightNameList3ds(db, &list);
    PrintNames("Spotlights", list);
    DeleteStrList3ds(&list);
    const uint32_t cameras = GetCameraCount3ds(db);
    std::printf("Cameras: %u\n", cameras);
    for (uint32_t i = 0; i < cameras && !Failed(); ++i) {
      Camera3ds* camera = nullptr;
      GetCameraByIndex3ds(db, i, &camera);
      if (camera) {
        std::printf("  %s: at (%g, %g, %g) looking at (%g, %g, %g), field of view %g\n",
                    camera->name, camera->position.x, camera->position.y, camera->position.z,
                    camera->target.x, camera->target.y, camera->target.z, camera->fov);
      }
      ReleaseCamera3ds(&camera);
    }
  }
  StrList3ds* materials = nullptr;
  GetMaterialNameList3ds(db, &materials);
  PrintNames("Materials", materials);
  DeleteStrList3ds(&materials);

  BuildNodeList3ds(db);
  std::printf("\nNodes:\n");
  PrintNodeList3ds(stdout);
  std::printf("\nHierarchy:\n");
  PrintNodeTree3ds(stdout);
  FreeNodeList3ds();

  const bool failed = Failed();
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  return failed ? 1 : 0;
}
