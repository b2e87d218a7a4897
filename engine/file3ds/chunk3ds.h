#pragma once
// The chunk tree: a 3DS file is a tree of chunks, each a 6-byte header (16-bit id, 32-bit
// length counting the header, own data and sub-chunks), its own data and its sub-chunks.
// The toolkit mirrors it one node per chunk and reads a node's own data on demand.
#include <cstdint>

#include "engine/file3ds/file3ds.h"

// One scalar field of a chunk's data record: words, bytes and dwords in u, floats in f,
// strings (owned heap copies) in s.
union Value3ds {
  uint32_t u;
  float f;
  char* s;
};

inline constexpr int kMaxValues3ds = 24;

// The in-memory data of a chunk, shaped by its id (the table in chunk_data3ds.cpp):
// the scalar fields in file order; a counted array (count elements packed in `elements`,
// also the bytes of raw data); a key track (header words, keys and the values in `elements`).
struct ChunkData3ds {
  Value3ds v[kMaxValues3ds];
  uint32_t count;
  uint8_t* elements;
  uint16_t trackFlags;
  uint32_t trackWord1, trackWord2;
  KeyHeader3ds* keys;
};

struct Chunk3ds {
  uint32_t id;
  uint32_t length;
  uint32_t position;  // offset of the header in the file it was read from
  ChunkData3ds* data;
  Chunk3ds* next;
  Chunk3ds* children;
  uint8_t readFile;   // slot of the file holding the chunk's bytes, 255 when none
  uint8_t writeFile;  // slot of the file last written to, 255 when none
  uint32_t readSerial;  // the serial of that file: its slot may hold another file later
};

// Deepest chunk nesting a reader accepts.
inline constexpr int kMaxChunkDepth3ds = 64;

void NewChunk3ds(Chunk3ds** out);
void NewChunkWithId3ds(Chunk3ds** out, uint32_t id);
ChunkData3ds* NewChunkWithData3ds(Chunk3ds** out, uint32_t id);
// Frees the node, its data, its children and every sibling after it; *slot becomes null.
void DeleteChunk3ds(Chunk3ds** slot);
void ClearChunk3ds(Chunk3ds* chunk);
void FreeReloadableData3ds(Chunk3ds* chunk);
// The open file the chunk's bytes can be read from again, or null (in memory, or closed).
File3ds* ChunkReadFile3ds(const Chunk3ds* chunk);
void LoadTreeData3ds(Chunk3ds* chunk);
void SearchChunk3ds(Chunk3ds* chunk, uint32_t id, Chunk3ds** out);
void NextChunkById3ds(Chunk3ds* chunk, uint32_t id, Chunk3ds** out);
void AppendChild3ds(Chunk3ds* parent, Chunk3ds* child);
void InsertChildInOrder3ds(Chunk3ds* parent, Chunk3ds* child);
void SetChild3ds(Chunk3ds* parent, uint32_t id, Chunk3ds** out);
void DuplicateChunk3ds(Chunk3ds* source, Chunk3ds** out);
int32_t ChunkWordSum3ds(Chunk3ds* chunk);
// Rank of an id in the canonical child order (higher first).
int ChunkPrecedence3ds(uint32_t id);

struct NameListEntry3ds {
  char* name;
  Chunk3ds* chunk;
};
struct NameList3ds {
  uint32_t count;
  NameListEntry3ds* list;
};
struct StrList3ds {
  uint32_t count;
  uint32_t capacity;
  char** names;
};

void NewNameList3ds(NameList3ds** out, uint32_t count);
void DeleteNameList3ds(NameList3ds** slot);
void NewStrList3ds(StrList3ds** out, uint32_t count);
void DeleteStrList3ds(StrList3ds** slot);
void AddStr3ds(StrList3ds* list, const char* name);

void FileWriteChunkHeader3ds(uint32_t id, uint32_t length);
void FileReadChunkHeader3ds(Chunk3ds* chunk, uint32_t* lengthOut);
void FilePatchChunkLength3ds(long start, long end);
// With the file just behind the chunk's header, moves it to the chunk's first sub-chunk.
void SkipOwnData3ds(Chunk3ds* chunk);

// Chunk data by id: allocate empty, read (on demand), write, deep copy, free.
ChunkData3ds* NewChunkData3ds(Chunk3ds* chunk);
ChunkData3ds* LoadChunkData3ds(Chunk3ds* chunk);
void WriteChunkData3ds(Chunk3ds* chunk);
void CopyChunkData3ds(const Chunk3ds* source, Chunk3ds* target);
void FreeChunkData3ds(Chunk3ds* chunk);
// Whether the id has a data record of its own shape (containers and raw ids have none).
bool ChunkHasData3ds(uint32_t id);
// Bytes of one element of the id's counted array or track values (0 when it has none).
uint32_t ChunkElementSize3ds(uint32_t id);
// Bytes of own data kept for an id without a record of its own: the body of a leaf, only the
// fixed own data of a chunk that has sub-chunks (so they are not written twice).
uint32_t RawDataSize3ds(uint32_t id, uint32_t length);
