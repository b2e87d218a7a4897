// Opens an arbitrary file as a zip archive and reads its members through vek::cFile: every
// member the archive lists (up to a few), a fixed name, and a name given case-blind with back
// slashes. Sizes, names, compression data and checksums all come from the input.
#include <unistd.h>
#include <unzip.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/path_tokens.h"
#include "engine/files/file.h"

namespace {

// A private folder for the input file, removed at exit (a plain array: it outlives every
// destructor that runs at exit).
char g_Folder[] = "/tmp/vekfuzz-zip-XXXXXX";
char g_Input[sizeof(g_Folder) + 8];

void RemoveFolder() {
  std::remove(g_Input);
  ::rmdir(g_Folder);
}

const char* Folder() {
  static bool made = [] {
    if (!::mkdtemp(g_Folder)) std::abort();
    std::snprintf(g_Input, sizeof(g_Input), "%s/in.zip", g_Folder);
    std::atexit(RemoveFolder);
    return true;
  }();
  (void)made;
  return g_Folder;
}

// The listing reads the input from memory.
struct Memory {
  const std::uint8_t* data;
  std::uint64_t size;
  std::uint64_t pos;
};
voidpf ZCALLBACK MemOpen(voidpf opaque, const void*, int) { return opaque; }
uLong ZCALLBACK MemRead(voidpf, voidpf stream, void* buf, uLong size) {
  auto* m = static_cast<Memory*>(stream);
  std::uint64_t n = m->pos < m->size ? std::min<std::uint64_t>(size, m->size - m->pos) : 0;
  if (n) std::memcpy(buf, m->data + m->pos, n);
  m->pos += n;
  return n;
}
uLong ZCALLBACK MemWrite(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK MemTell(voidpf, voidpf stream) { return static_cast<Memory*>(stream)->pos; }
long ZCALLBACK MemSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* m = static_cast<Memory*>(stream);
  std::uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR ? m->pos
                       : origin == ZLIB_FILEFUNC_SEEK_END ? m->size
                                                          : 0;
  if (base + offset > m->size) return -1;
  m->pos = base + offset;
  return 0;
}
int ZCALLBACK MemClose(voidpf, voidpf) { return 0; }
int ZCALLBACK MemError(voidpf, voidpf) { return 0; }

std::vector<std::string> ListMembers(const std::uint8_t* data, std::size_t size) {
  Memory memory{data, size, 0};
  zlib_filefunc64_def io{MemOpen, MemRead, MemWrite, MemTell, MemSeek, MemClose, MemError, &memory};
  std::vector<std::string> names;
  unzFile zip = unzOpen2_64("memory", &io);
  if (!zip) return names;
  char name[300];
  int walked = 0;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK && walked < 4;
       rc = unzGoToNextFile(zip), ++walked) {
    unz_file_info info;
    if (unzGetCurrentFileInfo(zip, &info, name, sizeof(name) - 1, nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      break;
    }
    name[sizeof(name) - 1] = 0;
    names.push_back(name);
  }
  unzClose(zip);
  return names;
}

void ReadMember(const std::string& member) {
  vek::cFile file;
  if (file.Open(vek::filename("{StaticPath}/in.zip/" + member), "rb") != vek::cFile::e_Opened) {
    return;
  }
  vek::u32 size = file.GetSize();
  (void)size;
  static char buffer[4096];
  // Odd element sizes, so that whole-element counting and partial reads are exercised.
  const vek::u32 elements[] = {1, 3, 7, 512};
  for (int i = 0; i < 64; ++i) {
    vek::u32 e = elements[i % 4];
    if (file.Read(buffer, e, sizeof(buffer) / e) == 0) break;
  }
  file.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vek::SetPathToken(vek::e_StaticPath, Folder());
  const std::string path = g_Input;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  if (size > 0) std::fwrite(data, 1, size, out);
  std::fclose(out);

  // The names the archive lists, as its central directory states them.
  std::vector<std::string> names = ListMembers(data, size);
  for (const std::string& n : names) ReadMember(n);
  ReadMember("a.txt");
  ReadMember("SUB\\B.TXT");
  return 0;
}
