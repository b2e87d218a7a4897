#pragma once
// Mesh objects: named objects (0x4000) holding a triangle mesh (0x4100), and the storage of
// the mesh record's arrays.
#include <cstdint>

#include "engine/file3ds/database3ds.h"

struct MaterialGroup3ds {
  char name[17];
  uint16_t faceCount;
  uint16_t* faceIndices;
};

struct Mesh3ds {
  char name[11];
  uint8_t hidden, visibleInLofter, matte, noCastShadows, fastDisplay, noReceiveShadows, frozen;
  uint16_t vertexCount;
  Point3ds* vertices;
  uint16_t vertexFlagCount;
  uint16_t* vertexFlags;
  uint16_t texCoordCount;
  TexVert3ds* texCoords;
  uint8_t hasMapping;
  uint16_t mapType;
  float mapTileX, mapTileY;
  float mapCentreX, mapCentreY, mapCentreZ;
  float mapScale;
  float mapMatrix[12];
  float planarWidth, planarHeight;
  float cylinderHeight;
  float localAxes[12];
  uint16_t faceCount;
  Face3ds* faces;
  uint32_t* smoothingGroups;
  uint8_t hasBoxMap;
  char boxMapMaterials[6][17];
  uint8_t colourIndex;
  uint16_t materialGroupCount;
  MaterialGroup3ds* materialGroups;
  uint8_t procedural;
  uint32_t procDataSize;
  char procName[16];
  uint8_t* procData;
  uint32_t allocated[7];  // elements each array was made with (storage bookkeeping)
};

// Array bits of the storage operations.
enum : uint32_t {
  kMeshVertices3ds = 1,
  kMeshTexCoords3ds = 2,
  kMeshFaces3ds = 4,
  kMeshMaterialGroups3ds = 8,
  kMeshSmoothing3ds = 16,
  kMeshProcData3ds = 32,
  kMeshVertexFlags3ds = 64,
};

void InitMesh3ds(Mesh3ds** out, uint16_t vertexCount, uint16_t faceCount, uint32_t initFlags);
void AllocMeshParts3ds(Mesh3ds* mesh, uint32_t mask);
void FreeMeshParts3ds(Mesh3ds* mesh, uint32_t mask);
void ReleaseMesh3ds(Mesh3ds** slot);
void AllocMaterialFaces3ds(Mesh3ds* mesh, uint16_t entry, uint16_t count);

uint32_t GetMeshCount3ds(Database3ds* db);
void GetMeshNameList3ds(Database3ds* db, StrList3ds** out);
void GetMeshByIndex3ds(Database3ds* db, uint32_t index, Mesh3ds** out);
void GetMeshByName3ds(Database3ds* db, const char* name, Mesh3ds** out);
void GetMeshFromChunk3ds(Chunk3ds* object, Mesh3ds** out);
void PutMesh3ds(Database3ds* db, const Mesh3ds* mesh);
void DeleteMeshByName3ds(Database3ds* db, const char* name);
void DeleteMeshByIndex3ds(Database3ds* db, uint32_t index);
void CopyMeshByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t index);
void CopyMeshByName3ds(Database3ds* destination, Database3ds* source, const char* name);
