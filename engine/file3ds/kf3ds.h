#pragma once
// The keyframer section (0xB000): release levels, the node hierarchy, keyframer settings and
// camera motion.
#include <cstdint>
#include <cstdio>

#include "engine/file3ds/database3ds.h"

enum : uint32_t { kRelease1_3ds = 0, kRelease2_3ds = 1, kRelease3_3ds = 2, kNoRelease3ds = 3 };

// The first 0xB000 child of the top chunk, created and inserted in order when missing.
void KfSection3ds(Chunk3ds* top, Chunk3ds** out);

uint32_t GetFileRelease3ds(Database3ds* db);
void SetFileRelease3ds(Database3ds* db, uint32_t level);
uint32_t GetMeshRelease3ds(Database3ds* db);
void SetMeshRelease3ds(Database3ds* db, uint32_t level);
uint32_t GetKfRelease3ds(Database3ds* db);
void SetKfRelease3ds(Database3ds* db, uint32_t level);
uint32_t GetDatabaseRelease3ds(Database3ds* db);
void SetDatabaseRelease3ds(Database3ds* db, uint32_t level);

// Node hierarchy: files number the keyframe nodes (0xB030) and name a parent by number; in
// memory a parent is named (a 0x80F0 chunk under the node header, never written).
struct NodeEntry3ds {
  int16_t id;
  uint32_t kind;
  char* name;
  char* instance;
  int16_t parent;
  Chunk3ds* chunk;
  NodeEntry3ds* next;
};
bool IsNodeKind3ds(uint32_t id);
void BuildNodeList3ds(Database3ds* db);
void ResolveParentNames3ds(Database3ds* db);
void AssignNodeIds3ds(Database3ds* db);
const NodeEntry3ds* NodeList3ds();
NodeEntry3ds* FindNodeByQualifiedName3ds(const char* name);
void PrintNodeList3ds(std::FILE* stream);
// Roots first, each child one "-" deeper; a node is printed once however its ids loop.
void PrintNodeTree3ds(std::FILE* stream);
void FreeNodeList3ds();

// Loads a chunk's data for changing it: the chunk stops depending on its file, so the change
// is not dropped when reloadable data are freed.
ChunkData3ds* EditChunkData3ds(Chunk3ds* chunk);
