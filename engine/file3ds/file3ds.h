#pragma once
// Files of the toolkit: the open-file table (at most 252 files), the current file on which
// every primitive acts, and the little-endian primitives of the 3DS format.
//
// Writing never loses the previous copy of a file: a file opened for writing is written to a
// temporary file beside it, which replaces the target only when it is closed without a write
// error. A file still being read when its name is opened for writing stays readable: it is
// given a second name (a temporary in the same folder) that reading goes on from and that is
// removed when the reader is closed.
#include <cstdint>
#include <cstdio>

struct File3ds {
  std::FILE* stream;
  char* fileName;     // the name it was opened with (after a move aside, the temporary name)
  uint32_t state;     // 1 reading, 2 writing, 0 before the mode is known
  uint8_t index;      // slot in the open-file table, 255 when not registered
  uint8_t* buffer;    // stream buffer or null
  uint32_t bufferSize;
  uint8_t isTempFile;  // closing removes fileName
  char* writePath;     // writing: the temporary the stream fills, renamed to fileName on close
  uint8_t writeFailed;
  uint64_t position;  // the stream position as the primitives moved it
  uint64_t size;      // reading: bytes in the file
  uint64_t limit;     // reads may not pass this position (the end of the chunk being read)
  uint32_t serial;    // unique to each opening: a slot used again by another file differs
};

inline constexpr uint8_t kNoFile3ds = 255;
inline constexpr int kMaxFiles3ds = 252;
inline constexpr uint64_t kNoLimit3ds = ~uint64_t{0};

File3ds* OpenFile3ds(const char* fileName, const char* mode);
void CloseFile3ds(File3ds* file);
void CloseAllFiles3ds();
void NewFile3ds(File3ds** out);
void InitFileTable3ds();
void ReleaseFileTable3ds();
void RegisterFile3ds(File3ds* file);
void UnregisterFile3ds(File3ds* file);
File3ds* GetFileByIndex3ds(uint8_t index);
bool IsFileIndexValid3ds(uint8_t index);
File3ds* FindFileByName3ds(const char* name);
void SetCurrentFile3ds(File3ds* file);
void SetCurrentFileByIndex3ds(uint8_t index);
File3ds* GetCurrentFile3ds();
uint8_t GetCurrentFileIndex3ds();
void SetCurrentFileName3ds(const char* name);
const char* GetCurrentFileName3ds();
void SetCurrentStream3ds(std::FILE* stream);
std::FILE* GetCurrentStream3ds();
long FileTell3ds();
void FileSeek3ds(long position);
// Reads of the current file may not pass `end` (kNoLimit3ds: no bound); a read that would
// pushes ERR_INVALID_CHUNK.
void SetReadLimit3ds(uint64_t end);
uint64_t GetReadLimit3ds();
// Bytes left before the read limit (or the end of the file).
uint64_t BytesLeft3ds();

struct Point3ds { float x, y, z; };
struct TexVert3ds { float u, v; };
struct Face3ds { uint16_t v1, v2, v3, flag; };
struct TrackHeader3ds { uint16_t flags; uint32_t nu1, nu2, keyCount; };
struct KeyHeader3ds {
  uint32_t frame;
  uint16_t splineFlags;  // 1 tension, 2 continuity, 4 bias, 8 ease to, 16 ease from
  float tension, continuity, bias, easeTo, easeFrom;
};

void FileWriteByte3ds(uint8_t b);
uint8_t FileReadByte3ds();
void FileWriteWord3ds(uint16_t w);
uint16_t FileReadWord3ds();
void FileWriteDword3ds(uint32_t d);
uint32_t FileReadDword3ds();
void FileWriteFloat3ds(float f);
float FileReadFloat3ds();
void FileWriteDouble3ds(double x);
double FileReadDouble3ds();
void FileWriteBytes3ds(uint32_t count, const void* bytes);
void FileReadBytes3ds(uint32_t count, void* buffer);
void FileSkipBytes3ds(uint32_t count);
void FileWriteString3ds(const char* s);
// A string of `size` or more characters is refused with ERR_STRING_TOO_LONG (nothing written).
void FileWritePaddedString3ds(const char* s, uint32_t size);
// Reads up to and including the first zero byte, at most `max` bytes; without a zero byte in
// them pushes ERR_READING_FILE. The buffer (max bytes) is always terminated.
void FileReadString3ds(char* buffer, uint32_t max);
void FileReadPaddedString3ds(char* buffer, uint32_t size);
void FileReadNewString3ds(char** out, uint32_t maxlen);
void FileReadNewPaddedString3ds(char** out, uint32_t maxlen);
void FileWritePoint3ds(const Point3ds& p);
void FileReadPoint3ds(Point3ds* p);
void FileWriteTexVert3ds(const TexVert3ds& t);
void FileReadTexVert3ds(TexVert3ds* t);
void FileWriteFace3ds(const Face3ds& f);
void FileReadFace3ds(Face3ds* f);
void FileWriteTrackHeader3ds(const TrackHeader3ds& h);
void FileReadTrackHeader3ds(TrackHeader3ds* h);
void FileWriteKeyHeader3ds(const KeyHeader3ds& k);
void FileReadKeyHeader3ds(KeyHeader3ds* k);

char* StrDup3ds(const char* s);
// The length of s when it is at most max characters; else ERR_STRING_TOO_LONG and 0.
uint32_t CheckStringLength3ds(const char* s, uint32_t max);
// Copies s into a field of `size` bytes (at most size - 1 characters), always terminated;
// a longer string is cut and ERR_STRING_TOO_LONG pushed.
void CopyName3ds(char* field, uint32_t size, const char* s);
