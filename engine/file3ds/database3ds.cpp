#include "engine/file3ds/database3ds.h"

#include <cstdlib>

#include "engine/file3ds/error3ds.h"
#include "engine/file3ds/kf3ds.h"

namespace {

bool IsTopId(uint32_t id) { return id == 0x4D4D || id == 0xC23D || id == 0x3DAA; }

// Reads the children of `parent` (its header already read and checked): each child must lie
// inside its parent, and after each child the file is placed at its end.
void ReadChildren(Chunk3ds* parent, File3ds* file, int depth, bool extraData);

void ReadSubtree(Chunk3ds* chunk, File3ds* file, int depth) {
  if (depth > kMaxChunkDepth3ds) {
    ftkErrorPush(ERR_INVALID_CHUNK);
    return;
  }
  ReadChildren(chunk, file, depth, chunk->id == 0x8001);
}

void ReadChildren(Chunk3ds* parent, File3ds* file, int depth, bool extraData) {
  const uint64_t end = uint64_t{parent->position} + parent->length;
  SetCurrentFile3ds(file);
  SetReadLimit3ds(end);
  FileSeek3ds(static_cast<long>(parent->position) + 6);
  if (ftkStop3ds()) return;
  SkipOwnData3ds(parent);
  if (ftkStop3ds()) return;
  uint64_t at = static_cast<uint64_t>(FileTell3ds());
  Chunk3ds** tail = &parent->children;  // children are appended in file order
  while (*tail) tail = &(*tail)->next;
  while (at < end) {
    if (end - at < 6) {
      ftkErrorPush(ERR_INVALID_CHUNK);
      return;
    }
    Chunk3ds* child = nullptr;
    NewChunk3ds(&child);
    if (!child) return;
    child->position = static_cast<uint32_t>(at);
    child->readFile = file->index;
    child->readSerial = file->serial;
    uint32_t length = 0;
    SetCurrentFile3ds(file);
    SetReadLimit3ds(end);
    FileSeek3ds(static_cast<long>(at));
    FileReadChunkHeader3ds(child, &length);
    child->length = length;
    if (ftkStop3ds()) {
      DeleteChunk3ds(&child);
      return;
    }
    const uint64_t childEnd = at + length;
    if (extraData) {
      // Extra data: ids 0x8002..0x800F only; one running past the section is dropped and
      // reading goes on behind its header; any other id ends the section.
      if (child->id < 0x8002 || child->id > 0x800F) {
        DeleteChunk3ds(&child);
        return;
      }
      if (length < 6 || childEnd > end) {
        DeleteChunk3ds(&child);
        at += 6;
        continue;
      }
    } else if (length < 6 || childEnd > end) {
      DeleteChunk3ds(&child);
      ftkErrorPush(ERR_INVALID_CHUNK);
      return;
    }
    *tail = child;
    tail = &child->next;
    ReadSubtree(child, file, depth + 1);
    if (ftkStop3ds()) return;
    at = childEnd;
  }
}

void WriteChunk(Chunk3ds* chunk, File3ds* file) {
  for (; chunk; chunk = chunk->next) {
    if (chunk->id == 0 || chunk->id == 0x80F0) continue;
    SetCurrentFile3ds(file);
    chunk->writeFile = file->index;
    const long start = FileTell3ds();
    LoadChunkData3ds(chunk);
    if (ftkStop3ds()) return;
    SetCurrentFile3ds(file);
    FileSeek3ds(start);
    FileWriteChunkHeader3ds(chunk->id, chunk->length);
    if (ftkStop3ds()) return;
    WriteChunkData3ds(chunk);
    if (ftkStop3ds()) return;
    WriteChunk(chunk->children, file);
    if (ftkStop3ds()) return;
    SetCurrentFile3ds(file);
    const long end = FileTell3ds();
    if (static_cast<uint32_t>(end - start) != chunk->length) {
      FilePatchChunkLength3ds(start, end);
      if (ftkStop3ds()) return;
      chunk->length = static_cast<uint32_t>(end - start);
    }
    FreeReloadableData3ds(chunk);
  }
}

}  // namespace

void InitDatabase3ds(Database3ds** db) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*db) {
    *db = static_cast<Database3ds*>(std::calloc(1, sizeof(Database3ds)));
    if (!*db) return ftkErrorPush(ERR_NO_MEM);
  }
  (*db)->topChunk = nullptr;
  (*db)->objectListDirty = (*db)->materialListDirty = (*db)->nodeListDirty = 1;
  (*db)->objectList = (*db)->materialList = (*db)->nodeList = nullptr;
}

void ReleaseDatabase3ds(Database3ds** db) {
  if (!db || !*db) return;
  DeleteChunk3ds(&(*db)->topChunk);
  DeleteNameList3ds(&(*db)->objectList);
  DeleteNameList3ds(&(*db)->materialList);
  DeleteNameList3ds(&(*db)->nodeList);
  std::free(*db);
  *db = nullptr;
}

void CreateEmptyDatabase3ds(Database3ds* db, uint32_t kind) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  DeleteChunk3ds(&db->topChunk);
  NewChunk3ds(&db->topChunk);
  if (!db->topChunk) return;
  static const uint32_t ids[] = {0, 0x4D4D, 0xC23D, 0x3DAA};
  db->topChunk->id = kind <= 3 ? ids[kind] : 0;
  db->objectListDirty = db->materialListDirty = db->nodeListDirty = 1;
  SetDatabaseRelease3ds(db, kRelease3_3ds);
}

void ReadDatabase3ds(File3ds* file, Database3ds* db) {
  if (!file || !db) return ftkErrorPush(ERR_INVALID_ARG);
  if (file->state != 1) return;
  DeleteChunk3ds(&db->topChunk);
  db->objectListDirty = db->materialListDirty = db->nodeListDirty = 1;
  NewChunk3ds(&db->topChunk);
  if (!db->topChunk) return ftkErrorPush(ERR_CREATING_DATABASE);
  Chunk3ds* top = db->topChunk;
  top->readFile = file->index;
  top->readSerial = file->serial;
  SetCurrentFile3ds(file);
  SetReadLimit3ds(kNoLimit3ds);
  FileSeek3ds(0);
  uint32_t length = 0;
  if (!ftkStop3ds()) FileReadChunkHeader3ds(top, &length);
  if (ftkStop3ds()) return ftkErrorPush(ERR_CREATING_DATABASE);
  top->length = length;
  if (!IsTopId(top->id)) return;
  if (length < 6 || length > file->size) {
    ftkErrorPush(ERR_INVALID_CHUNK);
    ftkErrorPush(ERR_READING_DATABASE);
    return ftkErrorPush(ERR_CREATING_DATABASE);
  }
  ReadSubtree(top, file, 0);
  SetCurrentFile3ds(file);
  SetReadLimit3ds(kNoLimit3ds);
  if (ftkStop3ds()) {
    ftkErrorPush(ERR_READING_DATABASE);
    return ftkErrorPush(ERR_CREATING_DATABASE);
  }
  ResolveParentNames3ds(db);
  if (ftkStop3ds()) return ftkErrorPush(ERR_CREATING_DATABASE);
}

void WriteDatabase3ds(File3ds* file, Database3ds* db) {
  if (!file || !db) return ftkErrorPush(ERR_INVALID_ARG);
  if (!db->topChunk) return ftkErrorPush(ERR_INVALID_DATABASE);
  // The version chunks are completed for the release the database already claims (the
  // current one when it claims none).
  uint32_t level = GetDatabaseRelease3ds(db);
  if (ftkStop3ds()) return ftkErrorPush(ERR_WRITING_DATABASE);
  SetDatabaseRelease3ds(db, level < kNoRelease3ds ? level : kRelease3_3ds);
  if (ftkStop3ds()) return ftkErrorPush(ERR_WRITING_DATABASE);
  if (file->state != 2) return;
  AssignNodeIds3ds(db);
  if (ftkStop3ds()) return ftkErrorPush(ERR_WRITING_DATABASE);
  SetCurrentFile3ds(file);
  FileSeek3ds(0);
  db->topChunk->writeFile = file->index;
  Chunk3ds* next = db->topChunk->next;  // the top chunk is written alone
  db->topChunk->next = nullptr;
  WriteChunk(db->topChunk, file);
  db->topChunk->next = next;
  if (ftkErrorPending()) {
    file->writeFailed = 1;  // closing the file keeps the previous copy
    if (ftkStop3ds()) return ftkErrorPush(ERR_WRITING_DATABASE);
  }
}

uint32_t GetDatabaseType3ds(const Database3ds* db) {
  if (!db || !db->topChunk) return kUnknownDatabase3ds;
  switch (db->topChunk->id) {
    case 0x4D4D: return kMeshFile3ds;
    case 0xC23D: return kProjectFile3ds;
    case 0x3DAA: return kMaterialFile3ds;
    default: return kUnknownDatabase3ds;
  }
}

void CopyDatabase3ds(Database3ds* source, Database3ds* destination) {
  if (!source || !destination) return ftkErrorPush(ERR_INVALID_ARG);
  if (!source->topChunk) return ftkErrorPush(ERR_INVALID_DATABASE);
  DeleteChunk3ds(&destination->topChunk);
  DuplicateChunk3ds(source->topChunk, &destination->topChunk);
  destination->objectListDirty = destination->materialListDirty = destination->nodeListDirty = 1;
}

void DetachDatabase3ds(Database3ds* db) {
  if (!db) return ftkErrorPush(ERR_INVALID_ARG);
  if (!db->topChunk) return ftkErrorPush(ERR_INVALID_DATABASE);
  LoadTreeData3ds(db->topChunk);
}
