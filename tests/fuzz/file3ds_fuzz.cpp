// Reads an arbitrary file as a 3DS scene: the chunk tree, every chunk's data, every object,
// material and node through the object calls, a write of the whole database to a second file
// and a read of that file again. Lengths, counts, strings and nesting all come from the input;
// every failure must end in an error code.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/file3ds/ftk3ds.h"

namespace {

char g_Folder[] = "/tmp/vekfuzz-3ds-XXXXXX";
char g_Input[sizeof(g_Folder) + 8];
char g_Output[sizeof(g_Folder) + 8];

void RemoveFolder() {
  std::remove(g_Input);
  std::remove(g_Output);
  ::rmdir(g_Folder);
}

void MakeFolder() {
  static bool made = [] {
    if (!::mkdtemp(g_Folder)) std::abort();
    std::snprintf(g_Input, sizeof(g_Input), "%s/in.3ds", g_Folder);
    std::snprintf(g_Output, sizeof(g_Output), "%s/out.3ds", g_Folder);
    std::atexit(RemoveFolder);
    return true;
  }();
  (void)made;
}

// Gets every object, material and node of the database (each get on a clear error list).
void GetEverything(Database3ds* db) {
  for (uint32_t i = 0, n = GetMeshCount3ds(db); i < n && i < 64; ++i) {
    ftkErrorClear();
    Mesh3ds* mesh = nullptr;
    GetMeshByIndex3ds(db, i, &mesh);
    ReleaseMesh3ds(&mesh);
  }
  for (uint32_t i = 0, n = GetOmnilightCount3ds(db) + GetSpotlightCount3ds(db); i < n && i < 64; ++i) {
    ftkErrorClear();
    Light3ds* light = nullptr;
    GetOmnilightByIndex3ds(db, i, &light);
    if (light) ReleaseLight3ds(&light);
    GetSpotlightByIndex3ds(db, i, &light);
    if (light) ReleaseLight3ds(&light);
  }
  for (uint32_t i = 0, n = GetCameraCount3ds(db); i < n && i < 64; ++i) {
    ftkErrorClear();
    Camera3ds* camera = nullptr;
    GetCameraByIndex3ds(db, i, &camera);
    ReleaseCamera3ds(&camera);
  }
  for (uint32_t i = 0, n = GetMaterialCount3ds(db); i < n && i < 64; ++i) {
    ftkErrorClear();
    Material3ds* material = nullptr;
    GetMaterialByIndex3ds(db, i, &material);
    ReleaseMaterial3ds(&material);
  }
  for (uint32_t i = 0, n = GetMeshNodeCount3ds(db); i < n && i < 64; ++i) {
    ftkErrorClear();
    MeshMotion3ds* motion = nullptr;
    GetMeshMotionByIndex3ds(db, i, &motion);
    ReleaseMeshMotion3ds(&motion);
  }
  for (uint32_t i = 0, n = GetCameraMotionCount3ds(db); i < n && i < 64; ++i) {
    ftkErrorClear();
    CameraMotion3ds* motion = nullptr;
    GetCameraMotionByIndex3ds(db, i, &motion);
    ReleaseCameraMotion3ds(&motion);
  }
  ftkErrorClear();
  KfSettings3ds* settings = nullptr;
  GetKfSettings3ds(db, &settings);
  ReleaseKfSettings3ds(&settings);
  ftkErrorClear();
}

// Reads the file into a database and detaches it; null when the read failed.
Database3ds* ReadWhole(const char* path) {
  File3ds* file = OpenFile3ds(path, "r");
  if (!file) return nullptr;
  Database3ds* db = nullptr;
  InitDatabase3ds(&db);
  ReadDatabase3ds(file, db);
  if (!ftkErrorPending()) DetachDatabase3ds(db);
  if (!ftkErrorPending()) {
    BuildNodeList3ds(db);
    std::FILE* null = std::fopen("/dev/null", "w");
    PrintNodeTree3ds(null);
    std::fclose(null);
    FreeNodeList3ds();
  }
  CloseFile3ds(file);
  return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MakeFolder();
  std::FILE* f = std::fopen(g_Input, "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  ftkErrorClear();
  Database3ds* db = ReadWhole(g_Input);
  if (db && !ftkErrorPending() && GetDatabaseType3ds(db) != kUnknownDatabase3ds) {
    GetEverything(db);
    File3ds* out = OpenFile3ds(g_Output, "w");
    if (out) {
      WriteDatabase3ds(out, db);
      CloseFile3ds(out);
    }
    if (!ftkErrorPending()) {
      Database3ds* again = ReadWhole(g_Output);
      ReleaseDatabase3ds(&again);
    }
  }
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  ftkErrorClear();
  return 0;
}
