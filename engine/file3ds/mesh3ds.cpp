#include "engine/file3ds/mesh3ds.h"

#include <cstdlib>
#include <cstring>

#include "engine/file3ds/util3ds.h"

using namespace util3ds;

namespace {

void** ArrayOf(Mesh3ds* m, uint32_t bit) {
  switch (bit) {
    case kMeshVertices3ds: return reinterpret_cast<void**>(&m->vertices);
    case kMeshTexCoords3ds: return reinterpret_cast<void**>(&m->texCoords);
    case kMeshFaces3ds: return reinterpret_cast<void**>(&m->faces);
    case kMeshMaterialGroups3ds: return reinterpret_cast<void**>(&m->materialGroups);
    case kMeshSmoothing3ds: return reinterpret_cast<void**>(&m->smoothingGroups);
    case kMeshProcData3ds: return reinterpret_cast<void**>(&m->procData);
    default: return reinterpret_cast<void**>(&m->vertexFlags);
  }
}

// Elements and element size of an array; the vertex flags follow their own count.
uint32_t LengthOf(const Mesh3ds* m, uint32_t bit) {
  switch (bit) {
    case kMeshVertices3ds: return m->vertexCount;
    case kMeshTexCoords3ds: return m->texCoordCount;
    case kMeshFaces3ds: case kMeshSmoothing3ds: return m->faceCount;
    case kMeshMaterialGroups3ds: return m->materialGroupCount;
    case kMeshProcData3ds: return m->procDataSize;
    default: return m->vertexFlagCount;
  }
}

size_t SizeOf(uint32_t bit) {
  switch (bit) {
    case kMeshVertices3ds: return sizeof(Point3ds);
    case kMeshTexCoords3ds: return sizeof(TexVert3ds);
    case kMeshFaces3ds: return sizeof(Face3ds);
    case kMeshMaterialGroups3ds: return sizeof(MaterialGroup3ds);
    case kMeshSmoothing3ds: return 4;
    case kMeshProcData3ds: return 1;
    default: return 2;
  }
}

// Sets elements [from, to) to the array's initial element.
void InitElements(Mesh3ds* m, uint32_t bit, uint32_t from, uint32_t to) {
  if (bit == kMeshFaces3ds) {
    for (uint32_t i = from; i < to; ++i) m->faces[i] = {0, 1, 2, 0};
  } else {
    uint8_t* base = static_cast<uint8_t*>(*ArrayOf(m, bit));
    std::memset(base + from * SizeOf(bit), 0, (to - from) * SizeOf(bit));
  }
}

uint32_t Slot(uint32_t bit) {
  uint32_t slot = 0;
  while (bit > 1) {
    bit >>= 1;
    ++slot;
  }
  return slot;
}

void FreeGroups(Mesh3ds* m) {
  if (!m->materialGroups) return;
  for (uint32_t i = 0; i < m->allocated[Slot(kMeshMaterialGroups3ds)]; ++i) {
    std::free(m->materialGroups[i].faceIndices);
    m->materialGroups[i].faceIndices = nullptr;
  }
}

Mesh3ds* GetMesh(Chunk3ds* object, Mesh3ds** out);

}  // namespace

void InitMesh3ds(Mesh3ds** out, uint16_t vertexCount, uint16_t faceCount, uint32_t initFlags) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*out) {
    *out = static_cast<Mesh3ds*>(std::calloc(1, sizeof(Mesh3ds)));  // procedural starts at 0
    if (!*out) return ftkErrorPush(ERR_NO_MEM);
  }
  Mesh3ds* m = *out;
  m->name[0] = '\0';
  m->hidden = m->visibleInLofter = m->matte = m->noCastShadows = m->fastDisplay =
      m->noReceiveShadows = m->frozen = 0;
  m->vertexCount = vertexCount;
  m->vertexFlagCount = 0;
  m->texCoordCount = 0;
  m->hasMapping = 0;
  m->mapType = 0;
  m->mapTileX = m->mapTileY = 1.0f;
  m->mapCentreX = m->mapCentreY = m->mapCentreZ = 0.0f;
  m->mapScale = 1.0f;
  std::memset(m->mapMatrix, 0, sizeof(m->mapMatrix));
  m->mapMatrix[0] = m->mapMatrix[4] = 1.0f;
  m->planarWidth = m->planarHeight = m->cylinderHeight = 1.0f;
  std::memset(m->localAxes, 0, sizeof(m->localAxes));
  FreeMeshParts3ds(m, kMeshMaterialGroups3ds);
  m->faceCount = faceCount;
  m->hasBoxMap = 0;
  std::memset(m->boxMapMaterials, 0, sizeof(m->boxMapMaterials));
  m->colourIndex = 0;
  m->materialGroupCount = 0;
  m->procDataSize = 0;
  m->procName[0] = '\0';
  AllocMeshParts3ds(m, kMeshVertices3ds | kMeshFaces3ds);
  if (ftkStop3ds()) return;
  if (initFlags & kMeshTexCoords3ds) {
    m->texCoordCount = vertexCount;
    AllocMeshParts3ds(m, kMeshTexCoords3ds);
  }
  if (initFlags & kMeshVertexFlags3ds) {
    m->vertexFlagCount = vertexCount;
    AllocMeshParts3ds(m, kMeshVertexFlags3ds);
  }
  if (initFlags & kMeshSmoothing3ds) AllocMeshParts3ds(m, kMeshSmoothing3ds);
}

void AllocMeshParts3ds(Mesh3ds* m, uint32_t mask) {
  if (!m) return ftkErrorPush(ERR_INVALID_ARG);
  for (uint32_t bit = 1; bit <= 64; bit <<= 1) {
    if (!(mask & bit)) continue;
    const uint32_t length = LengthOf(m, bit);
    void** array = ArrayOf(m, bit);
    if (length == 0) {
      FreeMeshParts3ds(m, bit);
      continue;
    }
    // A resize keeps the elements that fit and initialises the ones it adds.
    uint32_t& had = m->allocated[Slot(bit)];
    if (!*array) had = 0;
    if (bit == kMeshMaterialGroups3ds) {
      for (uint32_t i = length; i < had; ++i) std::free(m->materialGroups[i].faceIndices);
    }
    void* grown = std::realloc(*array, length * SizeOf(bit));
    if (!grown) {
      if (ftkFail3ds(ERR_NO_MEM)) return;
      continue;
    }
    *array = grown;
    if (length > had) InitElements(m, bit, had, length);
    had = length;
  }
}

void FreeMeshParts3ds(Mesh3ds* m, uint32_t mask) {
  if (!m) return;
  for (uint32_t bit = 1; bit <= 64; bit <<= 1) {
    if (!(mask & bit)) continue;
    if (bit == kMeshMaterialGroups3ds) FreeGroups(m);
    void** array = ArrayOf(m, bit);
    std::free(*array);
    *array = nullptr;
    m->allocated[Slot(bit)] = 0;
  }
}

void ReleaseMesh3ds(Mesh3ds** slot) {
  if (!slot) return;
  if (*slot) {
    FreeMeshParts3ds(*slot, 127);
    std::free(*slot);
  }
  *slot = nullptr;
}

void AllocMaterialFaces3ds(Mesh3ds* m, uint16_t entry, uint16_t count) {
  if (!m || count == 0) return ftkErrorPush(ERR_INVALID_ARG);
  if (m->faceCount == 0 || entry >= m->materialGroupCount || !m->materialGroups)
    return ftkErrorPush(ERR_INVALID_DATA);
  MaterialGroup3ds& g = m->materialGroups[entry];
  std::free(g.faceIndices);
  g.faceIndices = static_cast<uint16_t*>(std::calloc(count, 2));
  if (!g.faceIndices) ftkErrorPush(ERR_NO_MEM);
}

uint32_t GetMeshCount3ds(Database3ds* db) { return CountObjects3ds(db, 0x4100); }

void GetMeshNameList3ds(Database3ds* db, StrList3ds** out) { ObjectNames3ds(db, 0x4100, out); }

void GetMeshByIndex3ds(Database3ds* db, uint32_t index, Mesh3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  if (Chunk3ds* c = FindObjectByIndex3ds(db, 0x4100, index)) GetMeshFromChunk3ds(c, out);
}

void GetMeshByName3ds(Database3ds* db, const char* name, Mesh3ds** out) {
  if (!out || !name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  Chunk3ds* c = nullptr;
  FindObjectByName3ds(db, name, &c);
  if (c && Child(c, 0x4100)) GetMeshFromChunk3ds(c, out);
}

void GetMeshFromChunk3ds(Chunk3ds* object, Mesh3ds** out) {
  if (!object || !out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!Child(object, 0x4100)) return ftkErrorPush(ERR_WRONG_OBJECT);
  GetMesh(object, out);
}

namespace {

Mesh3ds* GetMesh(Chunk3ds* object, Mesh3ds** out) {
  InitMesh3ds(out, 0, 0, 0);
  if (ftkStop3ds()) return nullptr;
  Mesh3ds* m = *out;
  Chunk3ds* copy = nullptr;
  {
    Chunk3ds* next = object->next;
    object->next = nullptr;
    DuplicateChunk3ds(object, &copy);
    object->next = next;
  }
  if (!copy) return nullptr;
  CopyName3ds(m->name, sizeof(m->name), Str(Data(copy)));
  Chunk3ds* tri = Child(copy, 0x4100);
  for (Chunk3ds* c = tri->children; c && !ftkStop3ds(); c = c->next) {
    ChunkData3ds* d = Data(c);
    if (!d) continue;
    switch (c->id) {
      case 0x4110:
        FreeMeshParts3ds(m, kMeshVertices3ds);
        m->vertexCount = static_cast<uint16_t>(d->count);
        m->vertices = static_cast<Point3ds*>(TakeElements(d));
        m->allocated[Slot(kMeshVertices3ds)] = m->vertexCount;
        break;
      case 0x4111:
        FreeMeshParts3ds(m, kMeshVertexFlags3ds);
        m->vertexFlagCount = static_cast<uint16_t>(d->count);
        m->vertexFlags = static_cast<uint16_t*>(TakeElements(d));
        m->allocated[Slot(kMeshVertexFlags3ds)] = m->vertexFlagCount;
        break;
      case 0x4140:
        FreeMeshParts3ds(m, kMeshTexCoords3ds);
        m->texCoordCount = static_cast<uint16_t>(d->count);
        m->texCoords = static_cast<TexVert3ds*>(TakeElements(d));
        m->allocated[Slot(kMeshTexCoords3ds)] = m->texCoordCount;
        break;
      case 0x4160:
        for (int i = 0; i < 12; ++i) m->localAxes[i] = d->v[i].f;
        break;
      case 0x4165: m->colourIndex = static_cast<uint8_t>(d->v[0].u); break;
      case 0x4170:
        m->hasMapping = 1;
        m->mapType = static_cast<uint16_t>(d->v[0].u);
        m->mapTileX = d->v[1].f;
        m->mapTileY = d->v[2].f;
        m->mapCentreX = d->v[3].f;
        m->mapCentreY = d->v[4].f;
        m->mapCentreZ = d->v[5].f;
        m->mapScale = d->v[6].f;
        for (int i = 0; i < 12; ++i) m->mapMatrix[i] = d->v[7 + i].f;
        m->planarWidth = d->v[19].f;
        m->planarHeight = d->v[20].f;
        m->cylinderHeight = d->v[21].f;
        break;
      case 0x4181: CopyName3ds(m->procName, sizeof(m->procName), Str(d)); break;
      case 0x4182:
        FreeMeshParts3ds(m, kMeshProcData3ds);
        m->procDataSize = d->count;
        m->procData = static_cast<uint8_t*>(TakeElements(d));
        m->allocated[Slot(kMeshProcData3ds)] = m->procDataSize;
        break;
      case 0x4120: {
        FreeMeshParts3ds(m, kMeshFaces3ds);
        m->faceCount = static_cast<uint16_t>(d->count);
        m->faces = static_cast<Face3ds*>(TakeElements(d));
        m->allocated[Slot(kMeshFaces3ds)] = m->faceCount;
        uint32_t groups = 0;
        for (Chunk3ds* g = c->children; g; g = g->next) groups += g->id == 0x4130;
        if (groups) {
          m->materialGroups =
              static_cast<MaterialGroup3ds*>(std::calloc(groups, sizeof(MaterialGroup3ds)));
          if (!m->materialGroups) {
            ftkErrorPush(ERR_NO_MEM);
            break;
          }
          m->materialGroupCount = static_cast<uint16_t>(groups);
          m->allocated[Slot(kMeshMaterialGroups3ds)] = groups;
        }
        uint32_t gi = 0;
        bool smoothing = false, boxMap = false;
        for (Chunk3ds* g = c->children; g && !ftkStop3ds(); g = g->next) {
          ChunkData3ds* gd = Data(g);
          if (!gd) continue;
          if (g->id == 0x4130 && gi < groups) {
            MaterialGroup3ds& group = m->materialGroups[gi++];
            CopyName3ds(group.name, sizeof(group.name), Str(gd));
            group.faceCount = static_cast<uint16_t>(gd->count);
            group.faceIndices = static_cast<uint16_t*>(TakeElements(gd));
          } else if (g->id == 0x4150 && !smoothing) {
            smoothing = true;
            // One entry per face: a count that differs from the faces is refused.
            if (gd->count != m->faceCount) {
              ftkErrorPush(ERR_INVALID_DATA);
              continue;
            }
            m->smoothingGroups = static_cast<uint32_t*>(TakeElements(gd));
            m->allocated[Slot(kMeshSmoothing3ds)] = m->faceCount;
          } else if (g->id == 0x4190 && !boxMap) {
            boxMap = true;
            m->hasBoxMap = 1;
            for (int i = 0; i < 6; ++i)
              CopyName3ds(m->boxMapMaterials[i], sizeof(m->boxMapMaterials[i]), Str(gd, i));
          }
        }
        break;
      }
    }
  }
  struct {
    uint32_t id;
    uint8_t* flag;
  } flags[] = {{0x4010, &m->hidden},        {0x4011, &m->visibleInLofter},
               {0x4012, &m->noCastShadows}, {0x4013, &m->matte},
               {0x4014, &m->fastDisplay},   {0x4016, &m->frozen},
               {0x4017, &m->noReceiveShadows}, {0x4015, &m->procedural}};
  for (const auto& f : flags) *f.flag = Child(copy, f.id) ? 1 : 0;
  DeleteChunk3ds(&copy);
  return m;
}

}  // namespace

void PutMesh3ds(Database3ds* db, const Mesh3ds* m) {
  if (!m) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  if (CheckStringLength3ds(m->name, 10) == 0 && ftkStop3ds()) return;
  Chunk3ds* mdata = MeshSection(db);
  if (!mdata) return;
  Chunk3ds* existing = nullptr;
  FindObjectByName3ds(db, m->name, &existing);
  Chunk3ds* extra = nullptr;
  Chunk3ds* object = ReplaceOrAdd(mdata, existing, 0x4000, &extra);
  if (!object) return;
  if (NewChunkData3ds(object)) object->data->v[0].s = StrDup3ds(m->name);
  MarkObjectListDirty3ds(db);
  Chunk3ds* tri = Add(object, 0x4100);
  if (!tri) return;
  Chunk3ds* c = nullptr;
  if (m->vertexCount > 0 && m->vertices) {
    if (!(c = Add(tri, 0x4110)) || !SetElements(c, m->vertices, m->vertexCount, 12)) return;
  }
  if (m->texCoordCount && m->texCoords) {
    if (!(c = Add(tri, 0x4140)) || !SetElements(c, m->texCoords, m->texCoordCount, 8)) return;
  }
  if (m->hasMapping) {
    const float values[22] = {0,
                              m->mapTileX, m->mapTileY, m->mapCentreX, m->mapCentreY,
                              m->mapCentreZ, m->mapScale,
                              m->mapMatrix[0], m->mapMatrix[1], m->mapMatrix[2], m->mapMatrix[3],
                              m->mapMatrix[4], m->mapMatrix[5], m->mapMatrix[6], m->mapMatrix[7],
                              m->mapMatrix[8], m->mapMatrix[9], m->mapMatrix[10], m->mapMatrix[11],
                              m->planarWidth, m->planarHeight, m->cylinderHeight};
    if (!(c = AddFloats(tri, 0x4170, values, 22))) return;
    c->data->v[0].u = m->mapType;
  }
  if (m->vertexFlagCount > 0 && m->vertexFlags) {
    if (!(c = Add(tri, 0x4111)) || !SetElements(c, m->vertexFlags, m->vertexFlagCount, 2)) return;
  }
  if (!AddFloats(tri, 0x4160, m->localAxes, 12)) return;
  if (!AddWord(tri, 0x4165, m->colourIndex)) return;
  if (m->faceCount && m->faces) {
    Chunk3ds* faces = Add(tri, 0x4120);
    if (!faces || !SetElements(faces, m->faces, m->faceCount, 8)) return;
    for (uint32_t i = 0; m->materialGroups && i < m->materialGroupCount; ++i) {
      const MaterialGroup3ds& g = m->materialGroups[i];
      if (!(c = AddString(faces, 0x4130, g.name))) return;
      if (!SetElements(c, g.faceIndices, g.faceCount, 2)) return;
      if (!g.faceIndices) c->data->count = 0;
    }
    if (m->smoothingGroups) {
      if (!(c = Add(faces, 0x4150)) || !SetElements(c, m->smoothingGroups, m->faceCount, 4)) return;
    }
    if (m->hasBoxMap) {
      if (!(c = Add(faces, 0x4190))) return;
      for (int i = 0; i < 6; ++i) c->data->v[i].s = StrDup3ds(m->boxMapMaterials[i]);
    }
  }
  if (m->procData) {
    if (!AddString(tri, 0x4181, m->procName)) return;
    if (!(c = Add(tri, 0x4182)) || !SetElements(c, m->procData, m->procDataSize, 1)) return;
  }
  const struct {
    uint32_t id;
    bool on;
  } flags[] = {{0x4010, m->hidden != 0},        {0x4011, m->visibleInLofter != 0},
               {0x4013, m->matte != 0},         {0x4012, m->noCastShadows != 0},
               {0x4014, m->fastDisplay != 0},   {0x4017, m->noReceiveShadows != 0},
               {0x4016, m->frozen != 0},        {0x4015, m->procedural == 1 && m->procData}};
  for (const auto& f : flags) {
    if (f.on && !Add(object, f.id)) return;
  }
  if (extra) InsertChildInOrder3ds(tri, extra);
}

void DeleteMeshByName3ds(Database3ds* db, const char* name) { DeleteObjectByName3ds(db, name); }
void DeleteMeshByIndex3ds(Database3ds* db, uint32_t index) {
  DeleteObjectByIndex3ds(db, 0x4100, index);
}
void CopyMeshByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t index) {
  CopyObjectByIndex3ds(dst, src, 0x4100, index);
}
void CopyMeshByName3ds(Database3ds* dst, Database3ds* src, const char* name) {
  CopyObjectByName3ds(dst, src, name);
}
