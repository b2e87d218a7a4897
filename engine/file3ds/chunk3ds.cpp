#include "engine/file3ds/chunk3ds.h"

#include <cstdlib>
#include <cstring>

#include "engine/file3ds/error3ds.h"

void NewChunk3ds(Chunk3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  *out = static_cast<Chunk3ds*>(std::calloc(1, sizeof(Chunk3ds)));
  if (!*out) return ftkErrorPush(ERR_NO_MEM);
  (*out)->readFile = kNoFile3ds;
  (*out)->writeFile = kNoFile3ds;
}

void NewChunkWithId3ds(Chunk3ds** out, uint32_t id) {
  NewChunk3ds(out);
  if (out && *out) (*out)->id = id;
}

ChunkData3ds* NewChunkWithData3ds(Chunk3ds** out, uint32_t id) {
  NewChunkWithId3ds(out, id);
  if (!out || !*out || ftkStop3ds()) return nullptr;
  return NewChunkData3ds(*out);
}

void DeleteChunk3ds(Chunk3ds** slot) {
  if (!slot) return;
  Chunk3ds* chunk = *slot;
  *slot = nullptr;
  while (chunk) {  // siblings in a loop, children by recursion (as deep as the tree)
    Chunk3ds* next = chunk->next;
    FreeChunkData3ds(chunk);
    DeleteChunk3ds(&chunk->children);
    std::free(chunk);
    chunk = next;
  }
}

void ClearChunk3ds(Chunk3ds* chunk) {
  if (!chunk) return ftkErrorPush(ERR_INVALID_ARG);
  DeleteChunk3ds(&chunk->children);
  FreeChunkData3ds(chunk);
  chunk->id = 0;
  chunk->length = 0;
  chunk->position = 0;
  chunk->readFile = kNoFile3ds;
  chunk->writeFile = kNoFile3ds;
  chunk->readSerial = 0;
}

File3ds* ChunkReadFile3ds(const Chunk3ds* chunk) {
  if (!chunk || chunk->readFile == kNoFile3ds) return nullptr;
  File3ds* file = GetFileByIndex3ds(chunk->readFile);
  return file && file->state == 1 && file->serial == chunk->readSerial ? file : nullptr;
}

void FreeReloadableData3ds(Chunk3ds* chunk) {
  if (ChunkReadFile3ds(chunk)) FreeChunkData3ds(chunk);
}

void LoadTreeData3ds(Chunk3ds* chunk) {
  if (!chunk) return ftkErrorPush(ERR_INVALID_ARG);
  LoadChunkData3ds(chunk);
  if (ftkStop3ds()) return;
  chunk->readFile = kNoFile3ds;
  chunk->writeFile = kNoFile3ds;
  for (Chunk3ds* c = chunk->children; c; c = c->next) {
    LoadTreeData3ds(c);
    if (ftkStop3ds()) return;
  }
}

namespace {
Chunk3ds* Search(Chunk3ds* chunk, uint32_t id) {
  if (chunk->id == id) return chunk;
  for (Chunk3ds* c = chunk->children; c; c = c->next) {
    if (Chunk3ds* found = Search(c, id)) return found;
  }
  return nullptr;
}
}  // namespace

void SearchChunk3ds(Chunk3ds* chunk, uint32_t id, Chunk3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  *out = chunk ? Search(chunk, id) : nullptr;
}

void NextChunkById3ds(Chunk3ds* chunk, uint32_t id, Chunk3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  *out = nullptr;
  for (Chunk3ds* c = chunk; c; c = c->next) {
    if (c->id == id) {
      *out = c;
      return;
    }
  }
}

void AppendChild3ds(Chunk3ds* parent, Chunk3ds* child) {
  if (!parent || !child) return ftkErrorPush(ERR_INVALID_ARG);
  Chunk3ds** link = &parent->children;
  while (*link) link = &(*link)->next;
  *link = child;
}

int ChunkPrecedence3ds(uint32_t id) {
  switch (id) {
    case 0x0000: return 35;
    case 0x2D2D: return 34;
    case 0x2D3D: return 33;
    case 0x4D4D: return 32;
    case 0x0002: return 31;
    case 0x3D3D: return 30;
    case 0xB000: return 29;
    case 0x0011: return 28;
    case 0x0012: return 27;
    case 0x3D3E: return 26;
    case 0xAFFF: return 25;
    case 0xB00A: return 24;
    case 0x0100: return 23;
    case 0x7001: return 22;
    case 0x1400: return 21;
    case 0x1420: return 20;
    case 0x1450: return 19;
    case 0x1460: return 18;
    case 0x1500: return 17;
    case 0x2100: return 16;
    case 0x1200: return 15;
    case 0x1100: return 14;
    case 0x1300: return 13;
    case 0x1101: case 0x1201: case 0x1301: return 12;
    case 0x2200: return 11;
    case 0x2302: return 10;
    case 0x2300: return 9;
    case 0x3000: return 8;
    case 0x4000: return 7;
    case 0xB008: return 6;
    case 0xB009: return 5;
    case 0xB002: case 0xB003: case 0xB004: case 0xB006: case 0xB007: return 4;
    case 0xB001: return 3;
    case 0x4100: case 0x4600: case 0x4700: return 2;
    case 0x4010: return 1;
    default: return 0;
  }
}

void InsertChildInOrder3ds(Chunk3ds* parent, Chunk3ds* child) {
  if (!parent || !child) return ftkErrorPush(ERR_INVALID_ARG);
  const int rank = ChunkPrecedence3ds(child->id);
  Chunk3ds** link = &parent->children;
  while (*link && ChunkPrecedence3ds((*link)->id) >= rank) link = &(*link)->next;
  child->next = *link;
  *link = child;
}

void SetChild3ds(Chunk3ds* parent, uint32_t id, Chunk3ds** out) {
  if (!parent || !out) return ftkErrorPush(ERR_INVALID_ARG);
  Chunk3ds* child = nullptr;
  NextChunkById3ds(parent->children, id, &child);
  if (child) {
    ClearChunk3ds(child);
    child->id = id;
  } else {
    NewChunkWithId3ds(&child, id);
    if (ftkStop3ds() || !child) return;
    InsertChildInOrder3ds(parent, child);
  }
  *out = child;
}

void DuplicateChunk3ds(Chunk3ds* source, Chunk3ds** out) {
  if (!source || !out) return ftkErrorPush(ERR_INVALID_ARG);
  *out = nullptr;
  Chunk3ds* copy = nullptr;
  NewChunkWithId3ds(&copy, source->id);
  if (!copy) return;
  copy->length = source->length;
  copy->position = source->position;
  copy->readFile = source->readFile;
  copy->readSerial = source->readSerial;
  copy->writeFile = source->writeFile;
  if (source->data) {
    if (ChunkReadFile3ds(source)) {
      copy->data = source->data;  // can be read again from the file
      source->data = nullptr;
    } else {
      CopyChunkData3ds(source, copy);
    }
  }
  *out = copy;
  if (ftkStop3ds()) return;
  Chunk3ds** link = &copy->children;
  for (Chunk3ds* c = source->children; c; c = c->next) {
    DuplicateChunk3ds(c, link);
    if (ftkStop3ds() || !*link) return;
    link = &(*link)->next;
  }
}

int32_t ChunkWordSum3ds(Chunk3ds* chunk) {
  if (!chunk) {
    ftkErrorPush(ERR_INVALID_ARG);
    return 0;
  }
  File3ds* file = ChunkReadFile3ds(chunk);
  if (!file) return 0;
  if (static_cast<uint64_t>(chunk->position) + chunk->length > file->size) {
    ftkErrorPush(ERR_INVALID_CHUNK);
    return 0;
  }
  const uint32_t words = (chunk->length + 1) / 2;
  uint16_t* buffer = static_cast<uint16_t*>(std::calloc(words ? words : 1, 2));
  if (!buffer) {
    ftkErrorPush(ERR_NO_MEM);
    return 0;
  }
  SetCurrentFile3ds(file);
  const uint64_t limit = GetReadLimit3ds();
  SetReadLimit3ds(kNoLimit3ds);
  FileSeek3ds(static_cast<long>(chunk->position));
  if (!ftkStop3ds()) FileReadBytes3ds(chunk->length, buffer);
  SetReadLimit3ds(limit);
  uint32_t sum = 0;
  for (uint32_t i = 0; i < words; ++i) {
    const uint8_t* b = reinterpret_cast<const uint8_t*>(buffer + i);
    sum += static_cast<uint32_t>(b[0] | (b[1] << 8));
  }
  std::free(buffer);
  return static_cast<int32_t>(sum);
}

void NewNameList3ds(NameList3ds** out, uint32_t count) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*out) {
    *out = static_cast<NameList3ds*>(std::calloc(1, sizeof(NameList3ds)));
    if (!*out) return ftkErrorPush(ERR_NO_MEM);
  }
  (*out)->count = count;
  (*out)->list = nullptr;
  if (count > 0) {
    (*out)->list = static_cast<NameListEntry3ds*>(std::calloc(count, sizeof(NameListEntry3ds)));
    if (!(*out)->list) {
      (*out)->count = 0;
      ftkErrorPush(ERR_NO_MEM);
    }
  }
}

void DeleteNameList3ds(NameList3ds** slot) {
  if (!slot || !*slot) return;
  NameList3ds* list = *slot;
  for (uint32_t i = 0; list->list && i < list->count; ++i) std::free(list->list[i].name);
  std::free(list->list);
  std::free(list);
  *slot = nullptr;
}

void NewStrList3ds(StrList3ds** out, uint32_t count) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*out) {
    *out = static_cast<StrList3ds*>(std::calloc(1, sizeof(StrList3ds)));
    if (!*out) return ftkErrorPush(ERR_NO_MEM);
  }
  StrList3ds* list = *out;
  list->count = count;
  list->capacity = count ? count : 5;
  list->names = static_cast<char**>(std::calloc(list->capacity, sizeof(char*)));
  if (!list->names) {
    list->count = list->capacity = 0;
    ftkErrorPush(ERR_NO_MEM);
  }
}

void DeleteStrList3ds(StrList3ds** slot) {
  if (!slot) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*slot) return;
  StrList3ds* list = *slot;
  for (uint32_t i = 0; list->names && i < list->capacity; ++i) std::free(list->names[i]);
  std::free(list->names);
  std::free(list);
  *slot = nullptr;
}

void AddStr3ds(StrList3ds* list, const char* name) {
  if (!list || !name) return ftkErrorPush(ERR_INVALID_ARG);
  if (list->count >= list->capacity) {
    const uint32_t capacity = list->capacity + 5;
    char** names = static_cast<char**>(std::calloc(capacity, sizeof(char*)));
    if (!names) return ftkErrorPush(ERR_NO_MEM);
    if (list->names) std::memcpy(names, list->names, list->capacity * sizeof(char*));
    std::free(list->names);
    list->names = names;
    list->capacity = capacity;
  }
  list->names[list->count] = StrDup3ds(name);
  if (!list->names[list->count]) return ftkErrorPush(ERR_NO_MEM);
  ++list->count;
}

void FileWriteChunkHeader3ds(uint32_t id, uint32_t length) {
  FileWriteWord3ds(static_cast<uint16_t>(id));
  if (ftkStop3ds()) return;
  FileWriteDword3ds(length);
}

void FileReadChunkHeader3ds(Chunk3ds* chunk, uint32_t* lengthOut) {
  if (!chunk || !lengthOut) return ftkErrorPush(ERR_INVALID_ARG);
  chunk->id = FileReadWord3ds();
  if (ftkStop3ds()) return;
  *lengthOut = FileReadDword3ds();
}

void FilePatchChunkLength3ds(long start, long end) {
  FileSeek3ds(start + 2);
  if (ftkStop3ds()) return;
  FileWriteDword3ds(static_cast<uint32_t>(end - start));
  if (ftkStop3ds()) return;
  FileSeek3ds(end);
}

namespace {

// How a chunk's own data ends: a fixed size, a string of at most n bytes (terminator
// included), or the whole body.
enum class Own { Fixed, String, Leaf, NodeHeader, AnimHeader, FaceList };
struct OwnRule {
  Own kind;
  uint32_t n;
};

OwnRule OwnDataRule(uint32_t id) {
  switch (id) {
    case 0x1200: case 0x2100: case 0x2D2D: case 0x2D3D: case 0x3000: case 0x3D3D: case 0x3DAA:
    case 0x3DFF: case 0x4100: case 0x4D4D: case 0x8000: case 0x8001: case 0xA010: case 0xA020:
    case 0xA030: case 0xA040: case 0xA041: case 0xA042: case 0xA050: case 0xA052: case 0xA053:
    case 0xA084: case 0xA200: case 0xA204: case 0xA210: case 0xA220: case 0xA230: case 0xA33A:
    case 0xA33C: case 0xA33D: case 0xA33E: case 0xA340: case 0xA342: case 0xA344: case 0xA346:
    case 0xA348: case 0xA34A: case 0xA34C: case 0xAFFF: case 0xB000: case 0xB001: case 0xB002:
    case 0xB003: case 0xB004: case 0xB005: case 0xB006: case 0xB007: case 0xC23D:
      return {Own::Fixed, 0};
    case 0x3080: case 0x4000: case 0xB011: return {Own::String, 11};
    case 0xB010: return {Own::NodeHeader, 11};
    case 0x1100: case 0x4181: return {Own::String, 13};
    case 0xA000: return {Own::String, 17};
    case 0xB00A: return {Own::AnimHeader, 513};
    case 0x0030: case 0x1420: case 0x1430: case 0xB030: return {Own::Fixed, 2};
    case 0x0011: return {Own::Fixed, 3};
    case 0x0002: case 0x0031: case 0x0100: case 0x1300: case 0x1400: case 0x1410: case 0x3D3E:
    case 0xB009: case 0xB015: case 0xD000:
      return {Own::Fixed, 4};
    case 0xB008: return {Own::Fixed, 8};
    case 0x4641: return {Own::Fixed, 10};
    case 0x0010: case 0x1500: case 0x4600: case 0xA310: case 0xB013: return {Own::Fixed, 12};
    case 0x7001: return {Own::Fixed, 14};
    case 0x2200: case 0x2300: case 0x2302: case 0x3010: case 0x3020: case 0x3030: case 0x3040:
    case 0x3050: case 0x3060:
      return {Own::Fixed, 16};
    case 0x4610: return {Own::Fixed, 20};
    case 0xB014: return {Own::Fixed, 24};
    case 0x3070: return {Own::Fixed, 28};
    case 0x4700: return {Own::Fixed, 32};
    case 0x4160: return {Own::Fixed, 48};
    case 0x4120: return {Own::FaceList, 8};
    default: return {Own::Leaf, 0};
  }
}

void SkipTo(uint64_t target) {
  if (target > GetReadLimit3ds()) {
    ftkErrorPush(ERR_INVALID_CHUNK);
    return;
  }
  FileSeek3ds(static_cast<long>(target));
}

}  // namespace

void SkipOwnData3ds(Chunk3ds* chunk) {
  if (!chunk) return ftkErrorPush(ERR_INVALID_ARG);
  const OwnRule rule = OwnDataRule(chunk->id);
  const uint64_t here = static_cast<uint64_t>(FileTell3ds());
  char scratch[520];
  switch (rule.kind) {
    case Own::Fixed: return SkipTo(here + rule.n);
    case Own::Leaf: return SkipTo(static_cast<uint64_t>(chunk->position) + chunk->length);
    case Own::String: return FileReadString3ds(scratch, rule.n);
    case Own::NodeHeader:
      FileReadString3ds(scratch, rule.n);
      if (ftkStop3ds()) return;
      return SkipTo(static_cast<uint64_t>(FileTell3ds()) + 6);
    case Own::AnimHeader:
      FileReadWord3ds();
      if (ftkStop3ds()) return;
      FileReadString3ds(scratch, rule.n);
      if (ftkStop3ds()) return;
      FileReadDword3ds();
      return;
    case Own::FaceList: {
      const uint16_t count = FileReadWord3ds();
      if (ftkStop3ds()) return;
      return SkipTo(static_cast<uint64_t>(FileTell3ds()) + uint64_t{rule.n} * count);
    }
  }
}

uint32_t RawDataSize3ds(uint32_t id, uint32_t length) {
  const OwnRule rule = OwnDataRule(id);
  const uint32_t body = length > 6 ? length - 6 : 0;
  if (rule.kind == Own::Fixed && rule.n < body) return rule.n;
  return body;
}
