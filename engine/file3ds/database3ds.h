#pragma once
// The scene database: a whole 3DS file held in memory as a chunk tree, with directories of its
// named objects, materials and keyframe nodes.
#include <cstdint>

#include "engine/file3ds/chunk3ds.h"
#include "engine/file3ds/file3ds.h"

struct Database3ds {
  Chunk3ds* topChunk;
  uint8_t objectListDirty;
  uint8_t materialListDirty;
  uint8_t nodeListDirty;
  NameList3ds* objectList;
  NameList3ds* materialList;
  NameList3ds* nodeList;
};

enum : uint32_t {
  kUnknownDatabase3ds = 0,
  kMeshFile3ds = 1,      // top chunk 0x4D4D
  kProjectFile3ds = 2,   // 0xC23D
  kMaterialFile3ds = 3,  // 0x3DAA
};

void InitDatabase3ds(Database3ds** db);
void ReleaseDatabase3ds(Database3ds** db);
void CreateEmptyDatabase3ds(Database3ds* db, uint32_t kind);
// Reads the file into a new chunk tree. Malformed chunk structure (a length below 6, a chunk
// past its parent or the file, nesting deeper than kMaxChunkDepth3ds) is refused with
// ERR_INVALID_CHUNK, then ERR_READING_DATABASE and ERR_CREATING_DATABASE.
void ReadDatabase3ds(File3ds* file, Database3ds* db);
void WriteDatabase3ds(File3ds* file, Database3ds* db);
uint32_t GetDatabaseType3ds(const Database3ds* db);
void CopyDatabase3ds(Database3ds* source, Database3ds* destination);
void DetachDatabase3ds(Database3ds* db);

// Directories: each is rebuilt on use when marked dirty; every change of that part of the
// tree marks it. Lookups that find nothing give null and are no error.
void RebuildObjectList3ds(Database3ds* db);
void MarkObjectListDirty3ds(Database3ds* db);
void FindObjectByName3ds(Database3ds* db, const char* name, Chunk3ds** out);
// The index-th named object holding a direct child of the id (0x4100 mesh, 0x4600 light of
// either kind, 0x4700 camera); 0x4610 selects spotlights and kOmniLight3ds omni lights only.
Chunk3ds* FindObjectByIndex3ds(Database3ds* db, uint32_t id, uint32_t index);
void DeleteObjectByIndex3ds(Database3ds* db, uint32_t id, uint32_t index);
void DeleteObjectByName3ds(Database3ds* db, const char* name);
void CopyObjectByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t id, uint32_t index);
void CopyObjectByName3ds(Database3ds* destination, Database3ds* source, const char* name);
// Number of named objects of that kind (same selectors as FindObjectByIndex3ds).
uint32_t CountObjects3ds(Database3ds* db, uint32_t id);
void ObjectNames3ds(Database3ds* db, uint32_t id, StrList3ds** out);
inline constexpr uint32_t kOmniLight3ds = 0x14600;

void RebuildMaterialList3ds(Database3ds* db);
void MarkMaterialListDirty3ds(Database3ds* db);
void FindMaterialByName3ds(Database3ds* db, const char* name, Chunk3ds** out);
Chunk3ds* FindMaterialByIndex3ds(Database3ds* db, uint32_t index);
void DeleteMaterialByIndex3ds(Database3ds* db, uint32_t index);
void DeleteMaterialByName3ds(Database3ds* db, const char* name);
void CopyMaterialByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t index);
void CopyMaterialByName3ds(Database3ds* destination, Database3ds* source, const char* name);

void RebuildNodeList3ds(Database3ds* db);
void MarkNodeListDirty3ds(Database3ds* db);
// By the listed name: the node name, or for a mesh node with an instance "name.instance".
Chunk3ds* FindListedNodeByName3ds(Database3ds* db, const char* name, uint32_t nodeId);
Chunk3ds* FindListedNodeByIndex3ds(Database3ds* db, uint32_t index, uint32_t nodeId);
void DeleteNodeByIndex3ds(Database3ds* db, uint32_t index, uint32_t nodeId);
void DeleteNodeByName3ds(Database3ds* db, const char* name, uint32_t nodeId);
void CopyNodeByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t index, uint32_t nodeId);
void CopyNodeByName3ds(Database3ds* destination, Database3ds* source, const char* name,
                       uint32_t nodeId);
uint32_t NodeCountById3ds(Database3ds* db, uint32_t nodeId);
void NodeNamesById3ds(Database3ds* db, uint32_t nodeId, StrList3ds** out);
