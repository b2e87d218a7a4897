#include "engine/file3ds/kf3ds.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/file3ds/error3ds.h"

namespace {

NodeEntry3ds* g_Nodes = nullptr;
NodeEntry3ds** g_NodesTail = &g_Nodes;

// The stored numbers of the release levels, per chunk.
uint32_t VersionOf(uint32_t level) { return level < 3 ? level + 1 : 4; }
uint32_t LevelOfVersion(uint32_t v) { return v >= 1 && v <= 3 ? v - 1 : 3; }
uint32_t RevisionOf(uint32_t level) {
  static const uint32_t revisions[] = {1, 2, 5, 6};
  return revisions[level < 3 ? level : 3];
}
uint32_t LevelOfRevision(uint32_t r) { return r == 1 ? 0 : r == 2 ? 1 : r == 5 ? 2 : 3; }

// A database to read or change: a null one or one without a top chunk is reported and never
// read, whatever the continue-after-errors switch says (going on would read through null).
bool CheckDb(Database3ds* db) {
  if (!db) {
    ftkErrorPush(ERR_INVALID_ARG);
    return false;
  }
  if (!db->topChunk) {
    ftkErrorPush(ERR_INVALID_DATABASE);
    return false;
  }
  return true;
}

Chunk3ds* Child(Chunk3ds* parent, uint32_t id) {
  Chunk3ds* c = nullptr;
  if (parent) NextChunkById3ds(parent->children, id, &c);
  return c;
}

// The data of a chunk, or null; reloadable data are to be freed again by the caller.
ChunkData3ds* Data(Chunk3ds* chunk) { return chunk ? LoadChunkData3ds(chunk) : nullptr; }

char* NodeName(Chunk3ds* node) {
  Chunk3ds* header = Child(node, 0xB010);
  ChunkData3ds* d = Data(header);
  char* name = StrDup3ds(d && d->v[0].s ? d->v[0].s : "");
  FreeReloadableData3ds(header);
  return name;
}

void AppendEntry(NodeEntry3ds* entry) {
  *g_NodesTail = entry;
  g_NodesTail = &entry->next;
}

NodeEntry3ds* NewEntry(Chunk3ds* node) {
  NodeEntry3ds* e = static_cast<NodeEntry3ds*>(std::calloc(1, sizeof(NodeEntry3ds)));
  if (!e) {
    ftkErrorPush(ERR_NO_MEM);
    return nullptr;
  }
  e->kind = node->id;
  e->chunk = node;
  e->id = -1;
  e->parent = -1;
  e->name = NodeName(node);
  if (node->id == 0xB002) {
    Chunk3ds* inst = Child(node, 0xB011);
    ChunkData3ds* d = Data(inst);
    if (d && d->v[0].s && d->v[0].s[0]) e->instance = StrDup3ds(d->v[0].s);
    FreeReloadableData3ds(inst);
  }
  AppendEntry(e);
  return e;
}

NodeEntry3ds* EntryById(int16_t id) {
  for (NodeEntry3ds* e = g_Nodes; e; e = e->next) {
    if (e->id == id) return e;
  }
  return nullptr;
}

std::string Qualified(const NodeEntry3ds* e) {
  std::string name = e->name ? e->name : "";
  if (e->instance && e->instance[0]) name += std::string(".") + e->instance;
  return name;
}

// Sets the parent-name chunk under a node header.
void SetParentName(Chunk3ds* header, const char* name) {
  Chunk3ds* chunk = Child(header, 0x80F0);
  if (!chunk) {
    NewChunkWithData3ds(&chunk, 0x80F0);
    if (!chunk || ftkStop3ds()) return;
    InsertChildInOrder3ds(header, chunk);
  }
  ChunkData3ds* d = EditChunkData3ds(chunk);
  if (!d) d = NewChunkData3ds(chunk);
  if (!d) return;
  std::free(d->v[0].s);
  d->v[0].s = StrDup3ds(name);
  if (!d->v[0].s) ftkErrorPush(ERR_NO_MEM);
}

void PrintSubtree(std::FILE* stream, const NodeEntry3ds* e, int depth,
                  std::vector<const NodeEntry3ds*>& seen) {
  for (const NodeEntry3ds* s : seen) {
    if (s == e) return;
  }
  if (depth > kMaxChunkDepth3ds) return;
  seen.push_back(e);
  for (int i = 0; i < depth; ++i) std::fputc('-', stream);
  std::fprintf(stream, "%s\n", e->name ? e->name : "");
  for (const NodeEntry3ds* c = g_Nodes; c; c = c->next) {
    if (c != e && c->parent == e->id && c->parent != -1) PrintSubtree(stream, c, depth + 1, seen);
  }
}

}  // namespace

ChunkData3ds* EditChunkData3ds(Chunk3ds* chunk) {
  ChunkData3ds* d = LoadChunkData3ds(chunk);
  if (d) chunk->readFile = kNoFile3ds;
  return d;
}

void KfSection3ds(Chunk3ds* top, Chunk3ds** out) {
  if (!top || !out) return ftkErrorPush(ERR_INVALID_ARG);
  *out = Child(top, 0xB000);
  if (*out) return;
  NewChunkWithId3ds(out, 0xB000);
  if (*out) InsertChildInOrder3ds(top, *out);
}

uint32_t GetFileRelease3ds(Database3ds* db) {
  if (!CheckDb(db)) return 3;
  if (db->topChunk->id != 0x4D4D) return 3;
  Chunk3ds* c = Child(db->topChunk, 0x0002);
  ChunkData3ds* d = Data(c);
  const uint32_t level = d ? LevelOfVersion(d->v[0].u) : 3;
  FreeReloadableData3ds(c);
  return level;
}

void SetFileRelease3ds(Database3ds* db, uint32_t level) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  if (!db->topChunk) return ftkErrorPush(ERR_INVALID_DATA);
  if (db->topChunk->id != 0x4D4D) return;
  Chunk3ds* c = nullptr;
  SetChild3ds(db->topChunk, 0x0002, &c);
  if (!c || ftkStop3ds()) return;
  ChunkData3ds* d = NewChunkData3ds(c);
  if (d) d->v[0].u = VersionOf(level);
}

uint32_t GetMeshRelease3ds(Database3ds* db) {
  if (!CheckDb(db)) return 3;
  const uint32_t top = db->topChunk->id;
  if (top != 0x4D4D && top != 0xC23D) return 3;
  Chunk3ds* mdata = Child(db->topChunk, 0x3D3D);
  Chunk3ds* c = Child(mdata, 0x3D3E);
  ChunkData3ds* d = Data(c);
  const uint32_t level = d ? LevelOfVersion(d->v[0].u) : 3;
  FreeReloadableData3ds(c);
  return level;
}

void SetMeshRelease3ds(Database3ds* db, uint32_t level) {
  if (!CheckDb(db)) return;
  const uint32_t top = db->topChunk->id;
  if (top != 0x4D4D && top != 0xC23D) return;
  Chunk3ds* mdata = Child(db->topChunk, 0x3D3D);
  if (!mdata) {
    NewChunkWithId3ds(&mdata, 0x3D3D);
    if (!mdata) return;
    InsertChildInOrder3ds(db->topChunk, mdata);
    db->objectListDirty = db->materialListDirty = 1;
  }
  Chunk3ds* c = nullptr;
  SetChild3ds(mdata, 0x3D3E, &c);
  if (!c || ftkStop3ds()) return;
  ChunkData3ds* d = NewChunkData3ds(c);
  if (d) d->v[0].u = VersionOf(level);
}

uint32_t GetKfRelease3ds(Database3ds* db) {
  if (!CheckDb(db)) return 3;
  Chunk3ds* kf = Child(db->topChunk, 0xB000);
  Chunk3ds* c = Child(kf, 0xB00A);
  ChunkData3ds* d = Data(c);
  const uint32_t level = d ? LevelOfRevision(d->v[0].u) : 3;
  FreeReloadableData3ds(c);
  return level;
}

void SetKfRelease3ds(Database3ds* db, uint32_t level) {
  if (!CheckDb(db)) return;
  Chunk3ds* kf = nullptr;
  KfSection3ds(db->topChunk, &kf);
  if (!kf || ftkStop3ds()) return;
  Chunk3ds* c = Child(kf, 0xB00A);
  ChunkData3ds* d = nullptr;
  if (c) {
    d = EditChunkData3ds(c);
  } else {
    d = NewChunkWithData3ds(&c, 0xB00A);
    if (!c || !d) return;
    InsertChildInOrder3ds(kf, c);
    d->v[1].s = StrDup3ds("");
    d->v[2].u = 30;
  }
  if (d) d->v[0].u = RevisionOf(level);
}

uint32_t GetDatabaseRelease3ds(Database3ds* db) {
  switch (GetDatabaseType3ds(db)) {
    case kMeshFile3ds: return GetFileRelease3ds(db);
    case kProjectFile3ds: return GetMeshRelease3ds(db);
    case kMaterialFile3ds: return 2;
    default: return 3;
  }
}

void SetDatabaseRelease3ds(Database3ds* db, uint32_t level) {
  switch (GetDatabaseType3ds(db)) {
    case kMeshFile3ds:
      SetFileRelease3ds(db, level);
      if (ftkStop3ds()) return;
      [[fallthrough]];
    case kProjectFile3ds:
      SetMeshRelease3ds(db, level);
      if (ftkStop3ds()) return;
      SetKfRelease3ds(db, level);
      return;
    default: return;
  }
}

bool IsNodeKind3ds(uint32_t id) {
  return id == 0xB002 || id == 0xB003 || id == 0xB004 || id == 0xB005 || id == 0xB006 ||
         id == 0xB007;
}

void FreeNodeList3ds() {
  while (g_Nodes) {
    NodeEntry3ds* next = g_Nodes->next;
    std::free(g_Nodes->name);
    std::free(g_Nodes->instance);
    std::free(g_Nodes);
    g_Nodes = next;
  }
  g_NodesTail = &g_Nodes;
}

const NodeEntry3ds* NodeList3ds() { return g_Nodes; }

void BuildNodeList3ds(Database3ds* db) {
  FreeNodeList3ds();
  if (!db || !db->topChunk) return;
  Chunk3ds* kf = nullptr;
  SearchChunk3ds(db->topChunk, 0xB000, &kf);
  if (!kf) return;
  bool renumber = false;
  for (Chunk3ds* node = kf->children; node; node = node->next) {
    if (!IsNodeKind3ds(node->id)) continue;
    NodeEntry3ds* e = NewEntry(node);
    if (!e || ftkStop3ds()) return;
    Chunk3ds* idChunk = Child(node, 0xB030);
    ChunkData3ds* d = Data(idChunk);
    if (d) e->id = static_cast<int16_t>(d->v[0].u);
    FreeReloadableData3ds(idChunk);
    Chunk3ds* header = Child(node, 0xB010);
    ChunkData3ds* h = Data(header);
    if (h) e->parent = static_cast<int16_t>(h->v[3].u);
    FreeReloadableData3ds(header);
    if (ftkStop3ds()) return;
    if (e->id == -1) renumber = true;
  }
  if (renumber) {
    int16_t n = 0;
    for (NodeEntry3ds* e = g_Nodes; e; e = e->next) e->id = n++;
  }
}

void ResolveParentNames3ds(Database3ds* db) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  BuildNodeList3ds(db);
  static const uint32_t order[] = {0xB004, 0xB002, 0xB003, 0xB005, 0xB006, 0xB007};
  for (uint32_t kind : order) {
    for (NodeEntry3ds* e = g_Nodes; e && !ftkStop3ds(); e = e->next) {
      if (e->kind != kind || e->parent == -1) continue;
      Chunk3ds* header = Child(e->chunk, 0xB010);
      if (!header || !Child(e->chunk, 0xB030)) continue;
      const NodeEntry3ds* parent = EntryById(e->parent);
      if (!parent) continue;
      SetParentName(header, Qualified(parent).c_str());
    }
  }
  FreeNodeList3ds();
}

NodeEntry3ds* FindNodeByQualifiedName3ds(const char* name) {
  if (!name) return nullptr;
  const char* dot = std::strchr(name, '.');
  for (NodeEntry3ds* e = g_Nodes; e; e = e->next) {
    const char* n = e->name ? e->name : "";
    if (dot) {
      const size_t len = static_cast<size_t>(dot - name);
      if (std::strlen(n) == len && std::strncmp(n, name, len) == 0 && e->instance &&
          std::strcmp(e->instance, dot + 1) == 0)
        return e;
    } else if (std::strcmp(n, name) == 0 && (!e->instance || !e->instance[0])) {
      return e;
    }
  }
  return nullptr;
}

void AssignNodeIds3ds(Database3ds* db) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  FreeNodeList3ds();
  Chunk3ds* kf = nullptr;
  if (db->topChunk) SearchChunk3ds(db->topChunk, 0xB000, &kf);
  if (!kf) return;
  int16_t counter = 0;
  for (Chunk3ds* node = kf->children; node && !ftkStop3ds(); node = node->next) {
    if (node->id != 0xB001 && !IsNodeKind3ds(node->id)) continue;
    const int16_t id = node->id == 0xB001 ? int16_t{-1} : counter++;
    if (Chunk3ds* idChunk = Child(node, 0xB030)) {
      if (ChunkData3ds* d = EditChunkData3ds(idChunk)) d->v[0].u = static_cast<uint16_t>(id);
    }
    if (node->id == 0xB001) continue;
    NodeEntry3ds* e = NewEntry(node);
    if (e) e->id = id;
  }
  for (NodeEntry3ds* e = g_Nodes; e && !ftkStop3ds(); e = e->next) {
    Chunk3ds* header = Child(e->chunk, 0xB010);
    if (!header) continue;
    ChunkData3ds* h = EditChunkData3ds(header);
    if (!h) continue;
    Chunk3ds* pchunk = Child(header, 0x80F0);
    ChunkData3ds* p = Data(pchunk);
    const NodeEntry3ds* parent = p && p->v[0].s ? FindNodeByQualifiedName3ds(p->v[0].s) : nullptr;
    h->v[3].u = parent ? static_cast<uint16_t>(parent->id) : 0xFFFF;
  }
  FreeNodeList3ds();
}

void PrintNodeList3ds(std::FILE* stream) {
  if (!stream) return;
  for (const NodeEntry3ds* e = g_Nodes; e; e = e->next) {
    if (e->instance) {
      std::fprintf(stream, "ID:%d\tName:%s.%s\tParent:%d\n", e->id, e->name ? e->name : "",
                   e->instance, e->parent);
    } else {
      std::fprintf(stream, "ID:%d\tName:%s\tParent:%d\n", e->id, e->name ? e->name : "",
                   e->parent);
    }
  }
}

void PrintNodeTree3ds(std::FILE* stream) {
  if (!stream) return;
  std::vector<const NodeEntry3ds*> seen;
  for (const NodeEntry3ds* e = g_Nodes; e; e = e->next) {
    if (e->parent == -1) PrintSubtree(stream, e, 0, seen);
  }
}
