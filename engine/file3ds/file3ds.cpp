#include "engine/file3ds/file3ds.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "engine/file3ds/error3ds.h"

namespace {

// Opens a scene file for reading only when it is a regular file, without waiting on the way: a
// FIFO or a device named like a scene file is refused at once (null) instead of hanging.
std::FILE* OpenRegularStream(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat st;
  const int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* stream = ::fdopen(fd, "rb");
  if (!stream) ::close(fd);
  return stream;
}

File3ds** g_Table = nullptr;
uint8_t g_FileCount = 0;
File3ds* g_Current = nullptr;
uint8_t g_CurrentIndex = 0;
uint32_t g_Serial = 0;

constexpr uint32_t kBufferSize = 8192;
constexpr uint32_t kMaxNameLength = 512;

void FreeFileRecord(File3ds* file) {
  std::free(file->fileName);
  std::free(file->writePath);
  std::free(file->buffer);
  std::free(file);
}

// The folder part of a name: everything up to and including its last '/', '\\' or ':'.
size_t DirectoryLength(const char* name) {
  size_t n = std::strlen(name);
  while (n > 0) {
    const char c = name[n - 1];
    if (c == '/' || c == '\\' || c == ':') return n;
    --n;
  }
  return 0;
}

// A new, unique file in the folder of `name` made with mkstemp: "<folder><stem>XXXXXX". The
// path is returned in a heap string, the open descriptor in *fd.
char* MakeTempIn(const char* name, const char* stem, int* fd) {
  const size_t dir = DirectoryLength(name);
  const size_t stemLen = std::strlen(stem);
  char* path = static_cast<char*>(std::malloc(dir + stemLen + 7));
  if (!path) return nullptr;
  std::memcpy(path, name, dir);
  std::memcpy(path + dir, stem, stemLen);
  std::memcpy(path + dir + stemLen, "XXXXXX", 7);
  *fd = mkstemp(path);
  if (*fd < 0) {
    std::free(path);
    return nullptr;
  }
  return path;
}

void GiveBuffer(File3ds* file) {
  if (file->buffer) std::setvbuf(file->stream, reinterpret_cast<char*>(file->buffer), _IOFBF,
                                 file->bufferSize);
}

// Gives a file that is being read a second name in its folder and reads on from there, so that
// its own name is free for a new file. The first name keeps the old contents until the new
// file replaces it; the second name is removed when the reader is closed.
void MoveAside(File3ds* file) {
  int fd = -1;
  char* temp = MakeTempIn(file->fileName, "3ds", &fd);
  if (!temp) {
    ftkErrorPush(ERR_OPENING_FILE);
    return;
  }
  close(fd);
  std::remove(temp);
  if (link(file->fileName, temp) != 0) {
    // No hard links here: close, move the file itself and read on from the new name.
    const long at = static_cast<long>(file->position);
    if (std::fclose(file->stream) != 0) ftkErrorPush(ERR_CLOSING_FILE);
    file->stream = nullptr;
    if (std::rename(file->fileName, temp) != 0) {
      std::free(temp);
      ftkErrorPush(ERR_OPENING_FILE);
      return;
    }
    file->stream = OpenRegularStream(temp);
    if (!file->stream) {
      std::remove(temp);
      std::free(temp);
      ftkErrorPush(ERR_OPENING_FILE);
      return;
    }
    GiveBuffer(file);
    std::fseek(file->stream, at, SEEK_SET);
  }
  std::free(file->fileName);
  file->fileName = temp;
  file->isTempFile = 1;
}

// The position check of every read: `count` more bytes must lie before the read limit.
bool ReadRaw(void* out, size_t count) {
  File3ds* f = g_Current;
  if (!f || !f->stream) {
    ftkErrorPush(ERR_READING_FILE);
    return false;
  }
  if (f->limit != kNoLimit3ds && (f->position > f->limit || count > f->limit - f->position)) {
    ftkErrorPush(ERR_INVALID_CHUNK);
    return false;
  }
  const size_t got = std::fread(out, 1, count, f->stream);
  f->position += got;
  if (got != count) {
    ftkErrorPush(ERR_READING_FILE);
    return false;
  }
  return true;
}

bool WriteRaw(const void* in, size_t count) {
  File3ds* f = g_Current;
  if (!f || !f->stream) {
    ftkErrorPush(ERR_WRITING_FILE);
    return false;
  }
  const size_t put = std::fwrite(in, 1, count, f->stream);
  f->position += put;
  if (put != count) {
    f->writeFailed = 1;
    ftkErrorPush(ERR_WRITING_FILE);
    return false;
  }
  return true;
}

// Little-endian values on any host.
template <class T>
void PutLE(T value, uint8_t* out) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(T));
  for (size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<uint8_t>(bits >> (8 * i));
}
template <class T>
T GetLE(const uint8_t* in) {
  uint64_t bits = 0;
  for (size_t i = 0; i < sizeof(T); ++i) bits |= static_cast<uint64_t>(in[i]) << (8 * i);
  T value;
  std::memcpy(&value, &bits, sizeof(T));
  return value;
}
template <class T>
void WriteLE(T value) {
  uint8_t b[sizeof(T)];
  PutLE(value, b);
  WriteRaw(b, sizeof(T));
}
template <class T>
T ReadLE() {
  uint8_t b[sizeof(T)];
  if (!ReadRaw(b, sizeof(T))) return T(0);
  return GetLE<T>(b);
}

}  // namespace

void NewFile3ds(File3ds** out) {
  if (!out) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  *out = static_cast<File3ds*>(std::calloc(1, sizeof(File3ds)));
  if (!*out) {
    ftkErrorPush(ERR_NO_MEM);
    return;
  }
  (*out)->index = kNoFile3ds;
  (*out)->limit = kNoLimit3ds;
}

void InitFileTable3ds() {
  if (g_Table) return;
  g_Table = static_cast<File3ds**>(std::calloc(kMaxFiles3ds, sizeof(File3ds*)));
  if (!g_Table) ftkErrorPush(ERR_NO_MEM);
  g_FileCount = 0;
  g_CurrentIndex = 0;
}

void ReleaseFileTable3ds() {
  std::free(g_Table);
  g_Table = nullptr;
  g_FileCount = 0;
  g_CurrentIndex = 0;
  g_Current = nullptr;
}

void RegisterFile3ds(File3ds* file) {
  if (!file) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  if (!g_Table) {
    InitFileTable3ds();
    if (ftkStop3ds() || !g_Table) return;
  }
  for (uint8_t i = 0; i < g_FileCount; ++i) {
    if (!g_Table[i]) {
      g_Table[i] = file;
      file->index = i;
      return;
    }
  }
  if (g_FileCount >= kMaxFiles3ds) {
    ftkErrorPush(ERR_TOO_MANY_FILES);
    return;
  }
  g_Table[g_FileCount] = file;
  file->index = g_FileCount++;
}

void UnregisterFile3ds(File3ds* file) {
  if (!file || !g_Table || file->index >= g_FileCount) return;
  if (g_Table[file->index] == file) {
    g_Table[file->index] = nullptr;
    if (g_Current == file) g_Current = nullptr;
    file->index = kNoFile3ds;
  }
}

File3ds* GetFileByIndex3ds(uint8_t index) {
  if (!g_Table || index >= g_FileCount) return nullptr;
  return g_Table[index];
}

bool IsFileIndexValid3ds(uint8_t index) { return index < kNoFile3ds && GetFileByIndex3ds(index); }

File3ds* FindFileByName3ds(const char* name) {
  if (!name || !g_Table) return nullptr;
  for (uint8_t i = 0; i < g_FileCount; ++i) {
    if (g_Table[i] && g_Table[i]->fileName && std::strcmp(g_Table[i]->fileName, name) == 0)
      return g_Table[i];
  }
  return nullptr;
}

void SetCurrentFile3ds(File3ds* file) {
  g_Current = file;
  if (file) g_CurrentIndex = file->index;
}

void SetCurrentFileByIndex3ds(uint8_t index) {
  File3ds* file = GetFileByIndex3ds(index);
  if (file) SetCurrentFile3ds(file);
}

File3ds* GetCurrentFile3ds() { return g_Current; }
uint8_t GetCurrentFileIndex3ds() { return g_CurrentIndex; }

void SetCurrentFileName3ds(const char* name) {
  if (!g_Current || !name) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  if (std::strlen(name) > kMaxNameLength) {
    ftkErrorPush(ERR_STRING_TOO_LONG);
    return;
  }
  char* copy = StrDup3ds(name);
  if (!copy) {
    ftkErrorPush(ERR_NO_MEM);
    return;
  }
  std::free(g_Current->fileName);
  g_Current->fileName = copy;
}

const char* GetCurrentFileName3ds() { return g_Current ? g_Current->fileName : nullptr; }

void SetCurrentStream3ds(std::FILE* stream) {
  if (!stream || !g_Current) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  g_Current->stream = stream;
}

std::FILE* GetCurrentStream3ds() { return g_Current ? g_Current->stream : nullptr; }

long FileTell3ds() { return g_Current ? static_cast<long>(g_Current->position) : 0; }

void FileSeek3ds(long position) {
  if (!g_Current || !g_Current->stream || position < 0) {
    ftkErrorPush(ERR_READING_FILE);
    return;
  }
  // Seeking drops the stream buffer: a seek to where the stream already is is skipped.
  if (static_cast<uint64_t>(position) == g_Current->position) return;
  if (std::fseek(g_Current->stream, position, SEEK_SET) != 0) {
    ftkErrorPush(g_Current->state == 2 ? ERR_WRITING_FILE : ERR_READING_FILE);
    return;
  }
  g_Current->position = static_cast<uint64_t>(position);
}

void SetReadLimit3ds(uint64_t end) {
  if (g_Current) g_Current->limit = end;
}

uint64_t GetReadLimit3ds() { return g_Current ? g_Current->limit : kNoLimit3ds; }

uint64_t BytesLeft3ds() {
  if (!g_Current) return 0;
  uint64_t end = g_Current->limit;
  if (g_Current->state == 1 && g_Current->size < end) end = g_Current->size;
  return end > g_Current->position ? end - g_Current->position : 0;
}

File3ds* OpenFile3ds(const char* fileName, const char* mode) {
  if (!fileName || !mode) {
    ftkErrorPush(ERR_INVALID_ARG);
    return nullptr;
  }
  File3ds* existing = FindFileByName3ds(fileName);
  File3ds* file = nullptr;
  NewFile3ds(&file);
  if (!file) {
    ftkErrorPush(ERR_INIT_FAILED);
    return nullptr;
  }
  // A failure below leaves no slot behind.
  auto fail = [&](int32_t code) -> File3ds* {
    UnregisterFile3ds(file);
    FreeFileRecord(file);
    ftkErrorPush(code);
    return nullptr;
  };
  for (int i = 0; i < 30 && mode[i]; ++i) {
    if (mode[i] == 'r') {
      file->state = 1;
      break;
    }
    if (mode[i] == 'w') {
      file->state = 2;
      break;
    }
  }
  if (file->state == 0) return fail(ERR_INIT_FAILED);
  if (existing && existing->state == file->state) {
    FreeFileRecord(file);
    return existing;
  }
  file->serial = ++g_Serial;
  RegisterFile3ds(file);
  if (file->index == kNoFile3ds) {
    FreeFileRecord(file);
    return nullptr;  // ERR_TOO_MANY_FILES is pushed
  }
  file->fileName = StrDup3ds(fileName);
  if (!file->fileName) return fail(ERR_NO_MEM);
  if (existing) {
    if (existing->state == 1) {
      MoveAside(existing);
    } else {
      CloseFile3ds(existing);
    }
    if (ftkStop3ds()) {
      UnregisterFile3ds(file);
      FreeFileRecord(file);
      return nullptr;
    }
  }
  if (file->state == 1) {
    file->stream = OpenRegularStream(fileName);
    if (!file->stream) return fail(ERR_OPENING_FILE);
    if (std::fseek(file->stream, 0, SEEK_END) == 0) {
      const long size = std::ftell(file->stream);
      file->size = size > 0 ? static_cast<uint64_t>(size) : 0;
    }
    std::fseek(file->stream, 0, SEEK_SET);
  } else {
    int fd = -1;
    file->writePath = MakeTempIn(fileName, ".3ds-new-", &fd);
    if (!file->writePath) return fail(ERR_OPENING_FILE);
    file->stream = fdopen(fd, "wb");
    if (!file->stream) {
      close(fd);
      std::remove(file->writePath);
      return fail(ERR_OPENING_FILE);
    }
  }
  file->buffer = static_cast<uint8_t*>(std::malloc(kBufferSize));
  if (file->buffer) {
    file->bufferSize = kBufferSize;
    GiveBuffer(file);
  }
  return file;
}

void CloseFile3ds(File3ds* file) {
  if (!file) return;
  bool failed = false;
  if (file->stream && std::fclose(file->stream) != 0) failed = true;
  file->stream = nullptr;
  if (file->writePath) {
    // The new contents replace the old file only when every write went through.
    if (failed || file->writeFailed || std::rename(file->writePath, file->fileName) != 0) {
      std::remove(file->writePath);
      failed = true;
    }
  }
  if (file->isTempFile && file->fileName) std::remove(file->fileName);
  UnregisterFile3ds(file);
  if (g_Current == file) g_Current = nullptr;
  FreeFileRecord(file);
  if (failed) ftkErrorPush(ERR_CLOSING_FILE);
}

void CloseAllFiles3ds() {
  if (g_Table) {
    for (uint8_t i = 0; i < g_FileCount; ++i) {
      if (g_Table[i]) CloseFile3ds(g_Table[i]);
      if (ftkStop3ds()) break;
    }
  }
  ReleaseFileTable3ds();
}

void FileWriteByte3ds(uint8_t b) { WriteRaw(&b, 1); }
uint8_t FileReadByte3ds() {
  uint8_t b = 0;
  return ReadRaw(&b, 1) ? b : 0;
}
void FileWriteWord3ds(uint16_t w) { WriteLE(w); }
uint16_t FileReadWord3ds() { return ReadLE<uint16_t>(); }
void FileWriteDword3ds(uint32_t d) { WriteLE(d); }
uint32_t FileReadDword3ds() { return ReadLE<uint32_t>(); }
void FileWriteFloat3ds(float f) { WriteLE(f); }
float FileReadFloat3ds() { return ReadLE<float>(); }
void FileWriteDouble3ds(double x) { WriteLE(x); }
double FileReadDouble3ds() { return ReadLE<double>(); }

void FileWriteBytes3ds(uint32_t count, const void* bytes) {
  if (count == 0) return;
  if (!bytes) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  WriteRaw(bytes, count);
}

void FileReadBytes3ds(uint32_t count, void* buffer) {
  if (count == 0) return;
  if (!buffer) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  ReadRaw(buffer, count);
}

void FileSkipBytes3ds(uint32_t count) {
  uint8_t scratch[256];
  while (count > 0) {
    const uint32_t n = count < sizeof(scratch) ? count : sizeof(scratch);
    if (!ReadRaw(scratch, n)) return;
    count -= n;
  }
}

void FileWriteString3ds(const char* s) {
  if (!s) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  WriteRaw(s, std::strlen(s) + 1);
}

void FileWritePaddedString3ds(const char* s, uint32_t size) {
  if (!s) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  const size_t len = std::strlen(s);
  if (len >= size) {
    ftkErrorPush(ERR_STRING_TOO_LONG);
    return;
  }
  if (!WriteRaw(s, len)) return;
  static const uint8_t zeros[64] = {};
  size_t left = size - len;
  while (left > 0) {
    const size_t n = left < sizeof(zeros) ? left : sizeof(zeros);
    if (!WriteRaw(zeros, n)) return;
    left -= n;
  }
}

void FileReadString3ds(char* buffer, uint32_t max) {
  if (!buffer || max == 0) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  for (uint32_t i = 0; i < max; ++i) {
    char c = 0;
    if (!ReadRaw(&c, 1)) {
      buffer[i] = '\0';
      return;
    }
    buffer[i] = c;
    if (c == '\0') return;
  }
  buffer[max - 1] = '\0';
  ftkErrorPush(ERR_READING_FILE);
}

void FileReadPaddedString3ds(char* buffer, uint32_t size) {
  FileReadString3ds(buffer, size);
  if (ftkStop3ds()) return;
  const size_t used = std::strlen(buffer) + 1;
  if (used < size) FileReadBytes3ds(static_cast<uint32_t>(size - used), buffer + used);
}

namespace {

void ReadNewString(char** out, uint32_t maxlen, bool padded) {
  if (!out) {
    ftkErrorPush(ERR_INVALID_ARG);
    return;
  }
  *out = nullptr;
  char* temp = static_cast<char*>(std::calloc(static_cast<size_t>(maxlen) + 1, 1));
  if (!temp) {
    ftkErrorPush(ERR_NO_MEM);
    return;
  }
  if (padded) {
    FileReadPaddedString3ds(temp, maxlen + 1);
  } else {
    FileReadString3ds(temp, maxlen + 1);
  }
  *out = StrDup3ds(temp);  // a failed read still leaves a terminated string
  std::free(temp);
  if (!*out) ftkErrorPush(ERR_NO_MEM);
}

}  // namespace

void FileReadNewString3ds(char** out, uint32_t maxlen) { ReadNewString(out, maxlen, false); }
void FileReadNewPaddedString3ds(char** out, uint32_t maxlen) { ReadNewString(out, maxlen, true); }

void FileWritePoint3ds(const Point3ds& p) {
  FileWriteFloat3ds(p.x);
  if (ftkStop3ds()) return;
  FileWriteFloat3ds(p.y);
  if (ftkStop3ds()) return;
  FileWriteFloat3ds(p.z);
}

void FileReadPoint3ds(Point3ds* p) {
  if (!p) return ftkErrorPush(ERR_INVALID_ARG);
  *p = {0, 0, 0};
  p->x = FileReadFloat3ds();
  if (ftkStop3ds()) return;
  p->y = FileReadFloat3ds();
  if (ftkStop3ds()) return;
  p->z = FileReadFloat3ds();
}

void FileWriteTexVert3ds(const TexVert3ds& t) {
  FileWriteFloat3ds(t.u);
  if (ftkStop3ds()) return;
  FileWriteFloat3ds(t.v);
}

void FileReadTexVert3ds(TexVert3ds* t) {
  if (!t) return ftkErrorPush(ERR_INVALID_ARG);
  *t = {0, 0};
  t->u = FileReadFloat3ds();
  if (ftkStop3ds()) return;
  t->v = FileReadFloat3ds();
}

void FileWriteFace3ds(const Face3ds& f) {
  const uint16_t w[4] = {f.v1, f.v2, f.v3, f.flag};
  for (uint16_t x : w) {
    FileWriteWord3ds(x);
    if (ftkStop3ds()) return;
  }
}

void FileReadFace3ds(Face3ds* f) {
  if (!f) return ftkErrorPush(ERR_INVALID_ARG);
  *f = {0, 1, 2, 0};
  uint16_t* w[4] = {&f->v1, &f->v2, &f->v3, &f->flag};
  for (uint16_t* x : w) {
    *x = FileReadWord3ds();
    if (ftkStop3ds()) return;
  }
}

void FileWriteTrackHeader3ds(const TrackHeader3ds& h) {
  FileWriteWord3ds(h.flags);
  if (ftkStop3ds()) return;
  FileWriteDword3ds(h.nu1);
  if (ftkStop3ds()) return;
  FileWriteDword3ds(h.nu2);
  if (ftkStop3ds()) return;
  FileWriteDword3ds(h.keyCount);
}

void FileReadTrackHeader3ds(TrackHeader3ds* h) {
  if (!h) return ftkErrorPush(ERR_INVALID_ARG);
  *h = {0, 0, 0, 1};
  h->flags = FileReadWord3ds();
  if (ftkStop3ds()) return;
  h->nu1 = FileReadDword3ds();
  if (ftkStop3ds()) return;
  h->nu2 = FileReadDword3ds();
  if (ftkStop3ds()) return;
  h->keyCount = FileReadDword3ds();
}

namespace {
float* KeyValue(KeyHeader3ds& k, int bit) {
  switch (bit) {
    case 0: return &k.tension;
    case 1: return &k.continuity;
    case 2: return &k.bias;
    case 3: return &k.easeTo;
    default: return &k.easeFrom;
  }
}
}  // namespace

void FileWriteKeyHeader3ds(const KeyHeader3ds& k) {
  FileWriteDword3ds(k.frame);
  if (ftkStop3ds()) return;
  FileWriteWord3ds(k.splineFlags);
  KeyHeader3ds copy = k;
  for (int bit = 0; bit < 5; ++bit) {
    if (ftkStop3ds()) return;
    if (k.splineFlags & (1u << bit)) FileWriteFloat3ds(*KeyValue(copy, bit));
  }
}

void FileReadKeyHeader3ds(KeyHeader3ds* k) {
  if (!k) return ftkErrorPush(ERR_INVALID_ARG);
  *k = KeyHeader3ds{};
  k->frame = FileReadDword3ds();
  if (ftkStop3ds()) return;
  k->splineFlags = FileReadWord3ds();
  for (int bit = 0; bit < 5; ++bit) {
    if (ftkStop3ds()) return;
    if (k->splineFlags & (1u << bit)) *KeyValue(*k, bit) = FileReadFloat3ds();
  }
}

char* StrDup3ds(const char* s) {
  if (!s) return nullptr;
  const size_t n = std::strlen(s) + 1;
  char* copy = static_cast<char*>(std::malloc(n));
  if (copy) std::memcpy(copy, s, n);
  return copy;
}

uint32_t CheckStringLength3ds(const char* s, uint32_t max) {
  if (!s) {
    ftkErrorPush(ERR_INVALID_ARG);
    return 0;
  }
  for (uint32_t i = 0; i <= max; ++i) {
    if (s[i] == '\0') return i;
  }
  ftkErrorPush(ERR_STRING_TOO_LONG);
  return ftkContinueAfterErrors() ? max + 1 : 0;
}

void CopyName3ds(char* field, uint32_t size, const char* s) {
  if (!field || size == 0) return;
  field[0] = '\0';
  if (!s) return;
  const size_t len = strnlen(s, size);
  if (len >= size) {
    std::memcpy(field, s, size - 1);
    field[size - 1] = '\0';
    ftkErrorPush(ERR_STRING_TOO_LONG);
    return;
  }
  std::memcpy(field, s, len + 1);
}
