#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/file3ds/database3ds.h"
#include "engine/file3ds/error3ds.h"
#include "engine/file3ds/kf3ds.h"
#include "engine/file3ds/util3ds.h"

using namespace util3ds;

namespace {

// Fills a directory with the chunks of `id` under the section and the names `nameOf` gives.
template <class NameOf>
void FillList(NameList3ds** list, Chunk3ds* section, uint32_t id, NameOf nameOf) {
  DeleteNameList3ds(list);
  uint32_t count = 0;
  if (section) {
    for (Chunk3ds* c = section->children; c; c = c->next) count += c->id == id;
  }
  NewNameList3ds(list, count);
  if (ftkStop3ds() || !*list) return;
  uint32_t i = 0;
  for (Chunk3ds* c = section ? section->children : nullptr; c && i < count; c = c->next) {
    if (c->id != id) continue;
    (*list)->list[i].chunk = c;
    (*list)->list[i].name = StrDup3ds(nameOf(c).c_str());
    if (!(*list)->list[i].name) {
      ftkErrorPush(ERR_NO_MEM);
      return;
    }
    ++i;
  }
}

std::string NameData(Chunk3ds* c) {
  ChunkData3ds* d = Data(c);
  std::string name = Str(d);
  FreeReloadableData3ds(c);
  return name;
}

bool Selects(Chunk3ds* object, uint32_t id) {
  if (!object || object->id != 0x4000) return false;
  if (id == 0x4610) {
    Chunk3ds* light = Child(object, 0x4600);
    return light && Child(light, 0x4610);
  }
  if (id == kOmniLight3ds) {
    Chunk3ds* light = Child(object, 0x4600);
    return light && !Child(light, 0x4610);
  }
  return Child(object, id) != nullptr;
}

bool CheckPair(Database3ds* a, Database3ds* b, bool materialLibraryToo) {
  return CheckDb(a, materialLibraryToo) && CheckDb(b, materialLibraryToo);
}

Chunk3ds* Dup(Chunk3ds* source) {
  Chunk3ds* next = source->next;
  source->next = nullptr;
  Chunk3ds* copy = nullptr;
  DuplicateChunk3ds(source, &copy);
  source->next = next;
  return copy;
}

void CopyObject(Database3ds* dst, Chunk3ds* object) {
  if (!object) return;
  Chunk3ds* mdata = MeshSection(dst);
  if (!mdata) return;
  const std::string name = NameData(object);
  DeleteObjectByName3ds(dst, name.c_str());
  if (ftkStop3ds()) return;
  Chunk3ds* copy = Dup(object);
  if (!copy) return;
  InsertChildInOrder3ds(mdata, copy);
  MarkObjectListDirty3ds(dst);
}

Chunk3ds* MaterialSection(Database3ds* db, bool create) {
  if (db->topChunk->id == 0x3DAA) return db->topChunk;
  Chunk3ds* mdata = Find(db->topChunk, 0x3D3D);
  if (!mdata && create) return MeshSection(db);
  return mdata;
}

void CopyMaterial(Database3ds* dst, Chunk3ds* entry) {
  if (!entry) return;
  Chunk3ds* nameChunk = Child(entry, 0xA000);
  if (!nameChunk) {
    ftkErrorPush(ERR_INVALID_CHUNK);
    return;
  }
  const std::string name = NameData(nameChunk);
  Chunk3ds* section = MaterialSection(dst, true);
  if (!section) return;
  DeleteMaterialByName3ds(dst, name.c_str());
  if (ftkStop3ds()) return;
  Chunk3ds* copy = Dup(entry);
  if (!copy) return;
  InsertChildInOrder3ds(section, copy);
  MarkMaterialListDirty3ds(dst);
}

std::string NodeHeaderName(Chunk3ds* node) { return NameData(Child(node, 0xB010)); }

void CopyNode(Database3ds* dst, Database3ds* src, Chunk3ds* node, uint32_t nodeId) {
  if (!node) return;
  Chunk3ds* kf = nullptr;
  KfSection3ds(dst->topChunk, &kf);
  if (!kf || ftkStop3ds()) return;
  const std::string name = NodeHeaderName(node);
  std::string listed = name;
  if (nodeId == 0xB002) {
    if (Chunk3ds* inst = Child(node, 0xB011)) listed += "." + NameData(inst);
  }
  DeleteNodeByName3ds(dst, listed.c_str(), nodeId);
  if (ftkStop3ds()) return;
  if (nodeId == 0xB003 || nodeId == 0xB007) {
    CopyNodeByName3ds(dst, src, name.c_str(), nodeId == 0xB003 ? 0xB004 : 0xB006);
    if (ftkStop3ds()) return;
  }
  Chunk3ds* copy = Dup(node);
  if (!copy) return;
  InsertChildInOrder3ds(kf, copy);
  MarkNodeListDirty3ds(dst);
}

}  // namespace

void MarkObjectListDirty3ds(Database3ds* db) {
  if (db) db->objectListDirty = 1;
}
void MarkMaterialListDirty3ds(Database3ds* db) {
  if (db) db->materialListDirty = 1;
}
void MarkNodeListDirty3ds(Database3ds* db) {
  if (db) db->nodeListDirty = 1;
}

void RebuildObjectList3ds(Database3ds* db) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  if (!db->objectListDirty && db->objectList) return;
  db->objectListDirty = 0;
  FillList(&db->objectList, Find(db->topChunk, 0x3D3D), 0x4000, NameData);
}

void FindObjectByName3ds(Database3ds* db, const char* name, Chunk3ds** out) {
  if (!db || !name || !out) return ftkErrorPush(ERR_INVALID_ARG);
  *out = nullptr;
  RebuildObjectList3ds(db);
  if (ftkStop3ds() || !db->objectList) return;
  for (uint32_t i = 0; i < db->objectList->count; ++i) {
    if (std::strcmp(db->objectList->list[i].name, name) == 0) {
      *out = db->objectList->list[i].chunk;
      return;
    }
  }
}

Chunk3ds* FindObjectByIndex3ds(Database3ds* db, uint32_t id, uint32_t index) {
  if (!db) {
    ftkErrorPush(ERR_INVALID_ARG);
    return nullptr;
  }
  RebuildObjectList3ds(db);
  if (ftkStop3ds() || !db->objectList) return nullptr;
  for (uint32_t i = 0; i < db->objectList->count; ++i) {
    Chunk3ds* c = db->objectList->list[i].chunk;
    if (Selects(c, id) && index-- == 0) return c;
  }
  return nullptr;
}

uint32_t CountObjects3ds(Database3ds* db, uint32_t id) {
  if (!db) {
    ftkErrorPush(ERR_INVALID_ARG);
    return 0;
  }
  RebuildObjectList3ds(db);
  if (ftkStop3ds() || !db->objectList) return 0;
  uint32_t n = 0;
  for (uint32_t i = 0; i < db->objectList->count; ++i) n += Selects(db->objectList->list[i].chunk, id);
  return n;
}

void ObjectNames3ds(Database3ds* db, uint32_t id, StrList3ds** out) {
  if (!db || !out) return ftkErrorPush(ERR_INVALID_ARG);
  const uint32_t n = CountObjects3ds(db, id);
  if (ftkStop3ds()) return;
  NewStrList3ds(out, 0);
  if (ftkStop3ds() || !*out) return;
  for (uint32_t i = 0; db->objectList && i < db->objectList->count && (*out)->count < n; ++i) {
    if (Selects(db->objectList->list[i].chunk, id)) AddStr3ds(*out, db->objectList->list[i].name);
    if (ftkStop3ds()) return;
  }
}

void DeleteObjectByIndex3ds(Database3ds* db, uint32_t id, uint32_t index) {
  Chunk3ds* c = FindObjectByIndex3ds(db, id, index);
  if (!c) return;
  ClearChunk3ds(c);
  MarkObjectListDirty3ds(db);
}

void DeleteObjectByName3ds(Database3ds* db, const char* name) {
  Chunk3ds* c = nullptr;
  FindObjectByName3ds(db, name, &c);
  if (!c) return;
  ClearChunk3ds(c);
  MarkObjectListDirty3ds(db);
}

void CopyObjectByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t id, uint32_t index) {
  if (!CheckPair(dst, src, false)) return;
  CopyObject(dst, FindObjectByIndex3ds(src, id, index));
}

void CopyObjectByName3ds(Database3ds* dst, Database3ds* src, const char* name) {
  if (!name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckPair(dst, src, false)) return;
  Chunk3ds* c = nullptr;
  FindObjectByName3ds(src, name, &c);
  CopyObject(dst, c);
}

void RebuildMaterialList3ds(Database3ds* db) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  if (!db->materialListDirty && db->materialList) return;
  db->materialListDirty = 0;
  Chunk3ds* section = Find(db->topChunk, 0x3D3D);
  if (!section) section = Find(db->topChunk, 0x3DAA);
  FillList(&db->materialList, section, 0xAFFF,
           [](Chunk3ds* entry) { return NameData(Child(entry, 0xA000)); });
}

void FindMaterialByName3ds(Database3ds* db, const char* name, Chunk3ds** out) {
  if (!db || !name || !out) return ftkErrorPush(ERR_INVALID_ARG);
  *out = nullptr;
  RebuildMaterialList3ds(db);
  if (ftkStop3ds() || !db->materialList) return;
  for (uint32_t i = 0; i < db->materialList->count; ++i) {
    if (std::strcmp(db->materialList->list[i].name, name) == 0) {
      *out = db->materialList->list[i].chunk;
      return;
    }
  }
}

Chunk3ds* FindMaterialByIndex3ds(Database3ds* db, uint32_t index) {
  if (!db) {
    ftkErrorPush(ERR_INVALID_ARG);
    return nullptr;
  }
  RebuildMaterialList3ds(db);
  if (ftkStop3ds() || !db->materialList || index >= db->materialList->count) return nullptr;
  return db->materialList->list[index].chunk;
}

void DeleteMaterialByIndex3ds(Database3ds* db, uint32_t index) {
  Chunk3ds* c = FindMaterialByIndex3ds(db, index);
  if (!c) return;
  ClearChunk3ds(c);
  MarkMaterialListDirty3ds(db);
}

void DeleteMaterialByName3ds(Database3ds* db, const char* name) {
  Chunk3ds* c = nullptr;
  FindMaterialByName3ds(db, name, &c);
  if (!c) return;
  ClearChunk3ds(c);
  MarkMaterialListDirty3ds(db);
}

void CopyMaterialByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t index) {
  if (!CheckPair(dst, src, true)) return;
  CopyMaterial(dst, FindMaterialByIndex3ds(src, index));
}

void CopyMaterialByName3ds(Database3ds* dst, Database3ds* src, const char* name) {
  if (!name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckPair(dst, src, true)) return;
  Chunk3ds* c = nullptr;
  FindMaterialByName3ds(src, name, &c);
  CopyMaterial(dst, c);
}

void RebuildNodeList3ds(Database3ds* db) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  if (!db->nodeListDirty && db->nodeList) return;
  DeleteNameList3ds(&db->nodeList);
  Chunk3ds* kf = Find(db->topChunk, 0xB000);
  uint32_t count = 0;
  for (Chunk3ds* c = kf ? kf->children : nullptr; c; c = c->next)
    count += c->id >= 0xB001 && c->id <= 0xB007;
  NewNameList3ds(&db->nodeList, count);
  if (ftkStop3ds() || !db->nodeList) return;
  uint32_t i = 0;
  for (Chunk3ds* c = kf ? kf->children : nullptr; c && i < count; c = c->next) {
    if (c->id < 0xB001 || c->id > 0xB007) continue;
    std::string name = NodeHeaderName(c);  // a node without a header gets an empty name
    if (c->id == 0xB002) {
      if (Chunk3ds* inst = Child(c, 0xB011)) {
        const std::string instance = NameData(inst);
        if (!instance.empty()) name += "." + instance;
      }
    }
    db->nodeList->list[i].chunk = c;
    db->nodeList->list[i].name = StrDup3ds(name.c_str());
    if (!db->nodeList->list[i].name) return ftkErrorPush(ERR_NO_MEM);
    ++i;
    if (ftkStop3ds()) return;
  }
  db->nodeListDirty = 0;
}

Chunk3ds* FindListedNodeByName3ds(Database3ds* db, const char* name, uint32_t nodeId) {
  if (!db || !name) {
    ftkErrorPush(ERR_INVALID_ARG);
    return nullptr;
  }
  RebuildNodeList3ds(db);
  if (ftkStop3ds() || !db->nodeList) return nullptr;
  for (uint32_t i = 0; i < db->nodeList->count; ++i) {
    const NameListEntry3ds& e = db->nodeList->list[i];
    if (e.chunk->id == nodeId && std::strcmp(e.name, name) == 0) return e.chunk;
  }
  return nullptr;
}

Chunk3ds* FindListedNodeByIndex3ds(Database3ds* db, uint32_t index, uint32_t nodeId) {
  if (!db) {
    ftkErrorPush(ERR_INVALID_ARG);
    return nullptr;
  }
  RebuildNodeList3ds(db);
  if (ftkStop3ds() || !db->nodeList) return nullptr;
  for (uint32_t i = 0; i < db->nodeList->count; ++i) {
    if (db->nodeList->list[i].chunk->id == nodeId && index-- == 0) return db->nodeList->list[i].chunk;
  }
  return nullptr;
}

uint32_t NodeCountById3ds(Database3ds* db, uint32_t nodeId) {
  if (!db) {
    ftkErrorPush(ERR_INVALID_ARG);
    return 0;
  }
  RebuildNodeList3ds(db);
  if (ftkStop3ds() || !db->nodeList) return 0;
  uint32_t n = 0;
  for (uint32_t i = 0; i < db->nodeList->count; ++i) n += db->nodeList->list[i].chunk->id == nodeId;
  return n;
}

void NodeNamesById3ds(Database3ds* db, uint32_t nodeId, StrList3ds** out) {
  if (!db || !out) return ftkErrorPush(ERR_INVALID_ARG);
  NodeCountById3ds(db, nodeId);
  if (ftkStop3ds()) return;
  NewStrList3ds(out, 0);
  for (uint32_t i = 0; *out && db->nodeList && i < db->nodeList->count && !ftkStop3ds(); ++i) {
    if (db->nodeList->list[i].chunk->id == nodeId) AddStr3ds(*out, db->nodeList->list[i].name);
  }
}

void DeleteNodeByIndex3ds(Database3ds* db, uint32_t index, uint32_t nodeId) {
  Chunk3ds* node = FindListedNodeByIndex3ds(db, index, nodeId);
  if (!node) return;
  const std::string name = NodeHeaderName(node);
  ClearChunk3ds(node);
  MarkNodeListDirty3ds(db);
  if (nodeId == 0xB003 || nodeId == 0xB007) {
    Chunk3ds* target = FindListedNodeByName3ds(db, name.c_str(), nodeId == 0xB003 ? 0xB004 : 0xB006);
    if (target) ClearChunk3ds(target);
  }
}

void DeleteNodeByName3ds(Database3ds* db, const char* name, uint32_t nodeId) {
  Chunk3ds* node = FindListedNodeByName3ds(db, name, nodeId);
  if (node) {
    ClearChunk3ds(node);
    MarkNodeListDirty3ds(db);
  }
  if (ftkStop3ds()) return;
  if (nodeId == 0xB003) DeleteNodeByName3ds(db, name, 0xB004);
  if (nodeId == 0xB007) DeleteNodeByName3ds(db, name, 0xB006);
}

void CopyNodeByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t index, uint32_t nodeId) {
  if (!CheckPair(dst, src, false)) return;
  CopyNode(dst, src, FindListedNodeByIndex3ds(src, index, nodeId), nodeId);
}

void CopyNodeByName3ds(Database3ds* dst, Database3ds* src, const char* name, uint32_t nodeId) {
  if (!name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckPair(dst, src, false)) return;
  CopyNode(dst, src, FindListedNodeByName3ds(src, name, nodeId), nodeId);
}
