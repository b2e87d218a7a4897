#include <cstdlib>
#include <cstring>

#include "engine/file3ds/chunk3ds.h"
#include "engine/file3ds/error3ds.h"

namespace {

// The own data of each id, as a small layout text read left to right:
//   b w d f     byte, word, dword, float (one value each)
//   sN          zero-terminated string of at most N characters; s0: as long as the body
//   pN          a field of N + 1 bytes holding a padded string
//   [w:E]       a word count, then count elements of layout E (scalars only)
//   [r:E]       elements of layout E filling the rest of the body (no count in the file)
//   T:E         a key track: header, then per key a key header and a value of layout E
//               (m: a morph name in a 13-byte slot)
//   ""          no data (containers); null: raw bytes
const char* Layout(uint32_t id) {
  switch (id) {
    case 0x0002: case 0x3D3E: case 0x1440: case 0xB009: return "d";
    case 0x0010: case 0x0013: case 0x1500: case 0x4600: case 0xB013: return "fff";
    case 0x0011: case 0x0012: case 0xA360: case 0xA362: case 0xA364: case 0xA366: case 0xA368:
      return "bbb";
    case 0x0030: case 0x1420: case 0x1430: case 0xA100: case 0xA252: case 0xA351: case 0xB030:
      return "w";
    case 0x0031: case 0x0100: case 0x1300: case 0x1400: case 0x1410: case 0x1450: case 0x1460:
    case 0x4656: case 0x4657: case 0x4658: case 0x4659: case 0x465A: case 0x465B: case 0xA087:
    case 0xA353: case 0xA354: case 0xA356: case 0xA358: case 0xA35A: case 0xA35C: case 0xB015:
      return "f";
    case 0x1100: case 0x4181: case 0x4653: return "s12";
    case 0x1200: case 0x2100: case 0x3000: case 0x3D3D: case 0x3DAA: case 0x4100: case 0x4D4D:
    case 0x8000: case 0x8009: case 0xC23D: case 0xA010: case 0xA020: case 0xA030: case 0xA040:
    case 0xA041: case 0xA042: case 0xA050: case 0xA052: case 0xA053: case 0xA084: case 0xA200:
    case 0xA204: case 0xA210: case 0xA220: case 0xA230: case 0xA33A: case 0xA33C: case 0xA33D:
    case 0xA33E: case 0xA340: case 0xA342: case 0xA344: case 0xA346: case 0xA348: case 0xA34A:
    case 0xA34C: case 0xAFFF: case 0xB000: case 0xB001: case 0xB002: case 0xB003: case 0xB004:
    case 0xB005: case 0xB006: case 0xB007:
      return "";
    case 0x2200: case 0x2300: case 0x3010: case 0x3020: case 0x3030: case 0x3040: case 0x3050:
    case 0x3060:
      return "ffff";
    case 0x2302: return "fffd";
    case 0x3070: return "fffffff";
    case 0x3080: case 0x4000: case 0x4654: case 0xB011: return "s10";
    case 0x4110: return "[w:fff]";
    case 0x4111: return "[w:w]";
    case 0x4120: return "[w:wwww]";
    case 0x4130: return "s16[w:w]";
    case 0x4140: return "[w:ff]";
    case 0x4150: return "[r:d]";
    case 0x4160: return "ffffffffffff";
    case 0x4165: return "b";
    case 0x4170: return "wfffffffffffffffffffff";
    case 0x4190: return "s16s16s16s16s16s16";
    case 0x4610: return "fffff";
    case 0x4641: return "ffw";
    case 0x4700: return "ffffffff";
    case 0x4720: return "ff";
    case 0x7001: return "wwwwwww";
    case 0x7011: case 0x7012: return "wwwwwwwffffffp10";
    case 0x7020: return "wwww";
    case 0x8002: case 0x8003: return "s0";
    case 0x80F0: return "s22";
    case 0xA000: case 0xA300: return "s16";
    case 0xA310: return "bbwdd";
    case 0xB008: return "dd";
    case 0xB00A: return "ws512d";
    case 0xB010: return "s10www";
    case 0xB014: return "ffffff";
    case 0xB020: case 0xB022: case 0xB025: return "T:fff";
    case 0xB021: return "T:ffff";
    case 0xB023: case 0xB024: case 0xB027: case 0xB028: return "T:f";
    case 0xB026: return "T:m";
    case 0xB029: return "T:";
    default: return nullptr;
  }
}

constexpr uint32_t kMorphSlot = 13;

uint32_t ScalarSize(char c) {
  switch (c) {
    case 'b': return 1;
    case 'w': return 2;
    case 'd': case 'f': return 4;
    case 'm': return kMorphSlot;
    default: return 0;
  }
}

// Element size of the layout text between p and the closing ']' or the end.
uint32_t ElementSize(const char* p) {
  uint32_t size = 0;
  for (; *p && *p != ']'; ++p) size += ScalarSize(*p);
  return size;
}

uint32_t Number(const char*& p) {
  uint32_t n = 0;
  while (*p >= '0' && *p <= '9') n = n * 10 + static_cast<uint32_t>(*p++ - '0');
  return n;
}

// Reads count elements of layout `elem` into packed native values.
bool ReadElements(const char* elem, uint32_t count, uint8_t* out) {
  for (uint32_t i = 0; i < count; ++i) {
    for (const char* e = elem; *e && *e != ']'; ++e) {
      switch (*e) {
        case 'b': *out = FileReadByte3ds(); break;
        case 'w': { const uint16_t w = FileReadWord3ds(); std::memcpy(out, &w, 2); break; }
        case 'd': { const uint32_t d = FileReadDword3ds(); std::memcpy(out, &d, 4); break; }
        case 'f': { const float f = FileReadFloat3ds(); std::memcpy(out, &f, 4); break; }
        case 'm': FileReadString3ds(reinterpret_cast<char*>(out), 11); break;
      }
      out += ScalarSize(*e);
      if (ftkStop3ds()) return false;
    }
  }
  return true;
}

void WriteElements(const char* elem, uint32_t count, const uint8_t* in) {
  for (uint32_t i = 0; i < count; ++i) {
    for (const char* e = elem; *e && *e != ']'; ++e) {
      switch (*e) {
        case 'b': FileWriteByte3ds(*in); break;
        case 'w': { uint16_t w; std::memcpy(&w, in, 2); FileWriteWord3ds(w); break; }
        case 'd': { uint32_t d; std::memcpy(&d, in, 4); FileWriteDword3ds(d); break; }
        case 'f': { float f; std::memcpy(&f, in, 4); FileWriteFloat3ds(f); break; }
        case 'm': {
          char name[kMorphSlot + 1] = {};
          std::memcpy(name, in, kMorphSlot);
          name[10] = '\0';
          FileWriteString3ds(name);
          break;
        }
      }
      in += ScalarSize(*e);
      if (ftkStop3ds()) return;
    }
  }
}

// A zeroed array of count elements of `size` bytes; the count must fit in what is left of
// the chunk at `minBytes` bytes an element, so no allocation is larger than the file.
uint8_t* AllocCounted(uint32_t count, uint32_t size, uint64_t minBytes) {
  if (count == 0) return nullptr;
  if (uint64_t{count} * minBytes > BytesLeft3ds()) {
    ftkErrorPush(ERR_INVALID_CHUNK);
    return nullptr;
  }
  uint8_t* p = static_cast<uint8_t*>(std::calloc(count, size ? size : 1));
  if (!p) ftkErrorPush(ERR_NO_MEM);
  return p;
}

ChunkData3ds* NewRecord() {
  ChunkData3ds* d = static_cast<ChunkData3ds*>(std::calloc(1, sizeof(ChunkData3ds)));
  if (!d) ftkErrorPush(ERR_NO_MEM);
  return d;
}

// Calls f with the index of every string among the scalar values of a layout.
template <class F>
void ForEachString(const char* layout, F f) {
  int k = 0;
  for (const char* p = layout ? layout : ""; *p && *p != '[' && *p != 'T' && k < kMaxValues3ds; ++k) {
    if (*p == 's' || *p == 'p') {
      ++p;
      Number(p);
      f(k);
    } else {
      ++p;
    }
  }
}

// Frees what the record owns by its layout (strings, array, keys) and the record.
void FreeRecord(ChunkData3ds* d, const char* layout) {
  if (!d) return;
  ForEachString(layout, [d](int k) { std::free(d->v[k].s); });
  std::free(d->elements);
  std::free(d->keys);
  std::free(d);
}

}  // namespace

bool ChunkHasData3ds(uint32_t id) {
  const char* layout = Layout(id);
  return layout && *layout;
}

uint32_t ChunkElementSize3ds(uint32_t id) {
  const char* layout = Layout(id);
  if (!layout) return 1;
  const char* open = std::strchr(layout, ':');
  return open ? ElementSize(open + 1) : 0;
}

ChunkData3ds* NewChunkData3ds(Chunk3ds* chunk) {
  if (!chunk) {
    ftkErrorPush(ERR_INVALID_ARG);
    return nullptr;
  }
  if (chunk->data) return chunk->data;
  const char* layout = Layout(chunk->id);
  if (layout && !*layout) return nullptr;
  if (!layout && RawDataSize3ds(chunk->id, chunk->length) == 0) return nullptr;
  chunk->data = NewRecord();
  return chunk->data;
}

ChunkData3ds* LoadChunkData3ds(Chunk3ds* chunk) {
  if (!chunk) {
    ftkErrorPush(ERR_INVALID_ARG);
    return nullptr;
  }
  if (chunk->data) return chunk->data;
  const char* layout = Layout(chunk->id);
  if (layout && !*layout) return nullptr;
  if (chunk->readFile == kNoFile3ds) return nullptr;
  File3ds* file = ChunkReadFile3ds(chunk);
  if (!file) {
    // The file the data were to be read from has been closed: they are lost.
    if (layout || RawDataSize3ds(chunk->id, chunk->length) > 0) ftkErrorPush(ERR_READING_FILE);
    return nullptr;
  }
  const uint64_t end = static_cast<uint64_t>(chunk->position) + chunk->length;
  if (chunk->length < 6 || end > file->size) {
    ftkErrorPush(ERR_INVALID_CHUNK);
    return nullptr;
  }
  if (!layout && RawDataSize3ds(chunk->id, chunk->length) == 0) return nullptr;
  SetCurrentFile3ds(file);
  const uint64_t oldLimit = GetReadLimit3ds();
  SetReadLimit3ds(end);
  FileSeek3ds(static_cast<long>(chunk->position) + 6);
  ChunkData3ds* d = ftkStop3ds() ? nullptr : NewRecord();
  if (!d) {
    SetReadLimit3ds(oldLimit);
    return nullptr;
  }
  chunk->data = d;  // a record that stops half-way stays attached with what was read

  if (!layout) {
    d->count = RawDataSize3ds(chunk->id, chunk->length);
    d->elements = AllocCounted(d->count, 1, 1);
    if (d->elements) FileReadBytes3ds(d->count, d->elements);
    SetReadLimit3ds(oldLimit);
    return d;
  }
  int k = 0;
  for (const char* p = layout; *p && !ftkStop3ds();) {
    const char c = *p++;
    if (c == 's' || c == 'p') {
      uint32_t n = Number(p);
      if (n == 0) {
        const uint64_t left = BytesLeft3ds();
        n = left > 0 ? static_cast<uint32_t>(left - 1) : 0;
      }
      if (c == 's') {
        FileReadNewString3ds(&d->v[k++].s, n);
      } else {
        FileReadNewPaddedString3ds(&d->v[k++].s, n);
      }
    } else if (c == '[') {
      const char kind = *p;
      const char* elem = p + 2;
      const uint32_t size = ElementSize(elem);
      if (kind == 'w') {
        d->count = FileReadWord3ds();
      } else {
        d->count = static_cast<uint32_t>(BytesLeft3ds() / size);
      }
      if (ftkStop3ds()) break;
      d->elements = AllocCounted(d->count, size, size);
      if (d->count && !d->elements) break;
      ReadElements(elem, d->count, d->elements);
      break;
    } else if (c == 'T') {
      const char* elem = p + 1;
      const uint32_t size = ElementSize(elem);
      TrackHeader3ds h;
      FileReadTrackHeader3ds(&h);
      if (ftkStop3ds()) break;
      d->trackFlags = h.flags;
      d->trackWord1 = h.nu1;
      d->trackWord2 = h.nu2;
      // Each key takes at least its 6-byte header and a value in the file.
      const uint64_t minBytes = 6 + (size == kMorphSlot ? 1 : size);
      d->keys = reinterpret_cast<KeyHeader3ds*>(AllocCounted(h.keyCount, sizeof(KeyHeader3ds),
                                                             minBytes));
      if (h.keyCount && !d->keys) break;
      if (size) {
        d->elements = AllocCounted(h.keyCount, size, minBytes);
        if (h.keyCount && !d->elements) break;
      }
      d->count = h.keyCount;
      for (uint32_t i = 0; i < h.keyCount; ++i) {
        FileReadKeyHeader3ds(&d->keys[i]);
        if (ftkStop3ds()) break;
        if (size && !ReadElements(elem, 1, d->elements + uint64_t{i} * size)) break;
      }
      break;
    } else if (k < kMaxValues3ds) {
      switch (c) {
        case 'b': d->v[k++].u = FileReadByte3ds(); break;
        case 'w': d->v[k++].u = FileReadWord3ds(); break;
        case 'd': d->v[k++].u = FileReadDword3ds(); break;
        case 'f': d->v[k++].f = FileReadFloat3ds(); break;
      }
    }
  }
  SetReadLimit3ds(oldLimit);
  return d;
}

void WriteChunkData3ds(Chunk3ds* chunk) {
  if (!chunk) return ftkErrorPush(ERR_INVALID_ARG);
  ChunkData3ds* d = chunk->data;
  if (!d) return;
  File3ds* file = GetFileByIndex3ds(chunk->writeFile);
  if (file) SetCurrentFile3ds(file);
  const char* layout = Layout(chunk->id);
  if (!layout) return FileWriteBytes3ds(d->count, d->elements);
  int k = 0;
  for (const char* p = layout; *p && !ftkStop3ds();) {
    const char c = *p++;
    if (c == 's') {
      Number(p);
      FileWriteString3ds(d->v[k].s ? d->v[k].s : "");
      ++k;
    } else if (c == 'p') {
      const uint32_t n = Number(p);
      FileWritePaddedString3ds(d->v[k].s ? d->v[k].s : "", n + 1);
      ++k;
    } else if (c == '[') {
      const char kind = *p;
      if (kind == 'w') {
        FileWriteWord3ds(static_cast<uint16_t>(d->count));
        if (ftkStop3ds()) return;
      }
      return WriteElements(p + 2, d->elements ? d->count : 0, d->elements);
    } else if (c == 'T') {
      const char* elem = p + 1;
      const uint32_t size = ElementSize(elem);
      const uint32_t count = d->keys && (d->elements || !size) ? d->count : 0;
      FileWriteTrackHeader3ds({d->trackFlags, d->trackWord1, d->trackWord2, count});
      for (uint32_t i = 0; i < count && !ftkStop3ds(); ++i) {
        FileWriteKeyHeader3ds(d->keys[i]);
        if (size && !ftkStop3ds()) WriteElements(elem, 1, d->elements + uint64_t{i} * size);
      }
      return;
    } else if (k < kMaxValues3ds) {
      switch (c) {
        case 'b': FileWriteByte3ds(static_cast<uint8_t>(d->v[k++].u)); break;
        case 'w': FileWriteWord3ds(static_cast<uint16_t>(d->v[k++].u)); break;
        case 'd': FileWriteDword3ds(d->v[k++].u); break;
        case 'f': FileWriteFloat3ds(d->v[k++].f); break;
      }
    }
  }
}

void CopyChunkData3ds(const Chunk3ds* source, Chunk3ds* target) {
  if (!source || !target) return ftkErrorPush(ERR_INVALID_ARG);
  const ChunkData3ds* s = source->data;
  if (!s || target->data) return;
  ChunkData3ds* d = NewRecord();
  if (!d) return;
  *d = *s;
  d->elements = nullptr;
  d->keys = nullptr;
  const char* layout = Layout(source->id);
  // Strings are duplicated in place of the shared pointers.
  bool failed = false;
  ForEachString(layout, [&](int k) {
    d->v[k].s = s->v[k].s ? StrDup3ds(s->v[k].s) : nullptr;
    if (s->v[k].s && !d->v[k].s) failed = true;
  });
  const uint32_t size = layout ? ChunkElementSize3ds(source->id) : 1;
  if (s->elements && s->count && size) {
    d->elements = static_cast<uint8_t*>(std::malloc(uint64_t{s->count} * size));
    if (d->elements) {
      std::memcpy(d->elements, s->elements, uint64_t{s->count} * size);
    } else {
      failed = true;
    }
  }
  if (s->keys && s->count) {
    d->keys = static_cast<KeyHeader3ds*>(std::malloc(uint64_t{s->count} * sizeof(KeyHeader3ds)));
    if (d->keys) {
      std::memcpy(d->keys, s->keys, uint64_t{s->count} * sizeof(KeyHeader3ds));
    } else {
      failed = true;
    }
  }
  target->data = d;
  if (failed) ftkErrorPush(ERR_NO_MEM);
}

void FreeChunkData3ds(Chunk3ds* chunk) {
  if (!chunk || !chunk->data) return;
  FreeRecord(chunk->data, Layout(chunk->id));
  chunk->data = nullptr;
}
