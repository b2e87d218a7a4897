#pragma once
// Helpers shared by the object parts of the toolkit (not part of its interface).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/file3ds/chunk3ds.h"
#include "engine/file3ds/database3ds.h"
#include "engine/file3ds/error3ds.h"

namespace util3ds {

inline Chunk3ds* Child(Chunk3ds* parent, uint32_t id) {
  Chunk3ds* c = nullptr;
  if (parent) NextChunkById3ds(parent->children, id, &c);
  return c;
}

inline Chunk3ds* Find(Chunk3ds* root, uint32_t id) {
  Chunk3ds* c = nullptr;
  if (root) SearchChunk3ds(root, id, &c);
  return c;
}

// Validates a database for an object call: a database with a top chunk of an accepted kind.
// False when the caller must return.
inline bool CheckDb(Database3ds* db, bool materialLibraryToo) {
  if (!db) return !ftkFail3ds(ERR_INVALID_ARG);
  if (!db->topChunk) return !ftkFail3ds(ERR_INVALID_DATABASE);
  const uint32_t top = db->topChunk->id;
  if (top != 0x4D4D && top != 0xC23D && !(materialLibraryToo && top == 0x3DAA))
    return !ftkFail3ds(ERR_WRONG_DATABASE);
  return true;
}

// A new chunk with an empty data record, inserted in order under the parent (null on failure,
// ERR_PUT_FAILED pushed).
inline Chunk3ds* Add(Chunk3ds* parent, uint32_t id) {
  Chunk3ds* c = nullptr;
  NewChunkWithData3ds(&c, id);
  if (!c || (ChunkHasData3ds(id) && !c->data)) {
    DeleteChunk3ds(&c);
    ftkErrorPush(ERR_PUT_FAILED);
    return nullptr;
  }
  InsertChildInOrder3ds(parent, c);
  return c;
}

// A chunk whose data is one string.
inline Chunk3ds* AddString(Chunk3ds* parent, uint32_t id, const char* text) {
  Chunk3ds* c = Add(parent, id);
  if (!c) return nullptr;
  c->data->v[0].s = StrDup3ds(text ? text : "");
  if (!c->data->v[0].s) ftkErrorPush(ERR_NO_MEM);
  return c;
}

inline Chunk3ds* AddFloats(Chunk3ds* parent, uint32_t id, const float* values, int n) {
  Chunk3ds* c = Add(parent, id);
  if (!c) return nullptr;
  for (int i = 0; i < n; ++i) c->data->v[i].f = values[i];
  return c;
}

inline Chunk3ds* AddWord(Chunk3ds* parent, uint32_t id, uint32_t value) {
  Chunk3ds* c = Add(parent, id);
  if (c) c->data->v[0].u = value;
  return c;
}

// Gives the array to the chunk's data (count elements of `size` bytes, copied); a raw chunk
// made in memory gets its record here.
inline bool SetElements(Chunk3ds* c, const void* elements, uint32_t count, uint32_t size) {
  if (!c->data) {
    c->data = static_cast<ChunkData3ds*>(std::calloc(1, sizeof(ChunkData3ds)));
    if (!c->data) {
      ftkErrorPush(ERR_NO_MEM);
      return false;
    }
  }
  c->data->count = count;
  if (count == 0 || !elements) return true;
  c->data->elements = static_cast<uint8_t*>(std::malloc(uint64_t{count} * size));
  if (!c->data->elements) {
    ftkErrorPush(ERR_NO_MEM);
    return false;
  }
  std::memcpy(c->data->elements, elements, uint64_t{count} * size);
  return true;
}

// Takes the array out of the chunk's data (the data no longer holds it).
inline void* TakeElements(ChunkData3ds* d) {
  void* p = d->elements;
  d->elements = nullptr;
  return p;
}

// The data of a chunk (loaded on demand), or null.
inline ChunkData3ds* Data(Chunk3ds* c) { return c ? LoadChunkData3ds(c) : nullptr; }

inline const char* Str(ChunkData3ds* d, int i = 0) {
  return d && d->v[i].s ? d->v[i].s : "";
}

// Prepares the place of a named object (0x4000) or material (0xAFFF) for a put: an existing
// entry keeps its place (emptied and given the id again) and hands out a copy of its first
// extra-data chunk; otherwise a new entry is inserted in the section.
inline Chunk3ds* ReplaceOrAdd(Chunk3ds* section, Chunk3ds* existing, uint32_t id,
                              Chunk3ds** keptExtra) {
  *keptExtra = nullptr;
  if (existing) {
    if (Chunk3ds* extra = Find(existing, 0x8000)) {
      Chunk3ds* next = extra->next;
      extra->next = nullptr;
      DuplicateChunk3ds(extra, keptExtra);
      extra->next = next;
    }
    ClearChunk3ds(existing);
    existing->id = id;
    return existing;
  }
  Chunk3ds* c = nullptr;
  NewChunkWithId3ds(&c, id);
  if (!c) {
    ftkErrorPush(ERR_PUT_FAILED);
    return nullptr;
  }
  InsertChildInOrder3ds(section, c);
  return c;
}

// The mesh section 0x3D3D under the top, created when missing.
inline Chunk3ds* MeshSection(Database3ds* db) {
  Chunk3ds* mdata = Find(db->topChunk, 0x3D3D);
  if (!mdata) {
    NewChunkWithId3ds(&mdata, 0x3D3D);
    if (!mdata) return nullptr;
    InsertChildInOrder3ds(db->topChunk, mdata);
  }
  return mdata;
}

}  // namespace util3ds
