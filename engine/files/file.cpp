#include "engine/files/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/files/file_system.h"
#include "platform/regular_file.h"

namespace vek {
namespace {

const char* const kSender = "File";

// The longest member name compared; longer stored names never match.
constexpr unsigned kMaxMemberName = 1024;
// Upper bound of the member entries walked while looking for a name.
constexpr unsigned kMaxMembers = 1u << 20;
// Deflate cannot expand data by more than about 1032:1; a larger claim is a lying header.
constexpr u64 kMaxDeflateRatio = 1032;

enum eKind : u32 { e_None = 0, e_Disk = 1, e_Member = 2 };

char FoldForMatch(char c) {
  if (c == '\\') return '/';
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameMemberName(const char* stored, const vek::string& wanted) {
  size_t n = std::strlen(stored);
  if (n != wanted.size()) return false;
  for (size_t i = 0; i < n; ++i) {
    if (FoldForMatch(stored[i]) != FoldForMatch(wanted[i])) return false;
  }
  return true;
}

// Makes the current entry the member of that name; false when the archive has none.
bool LocateMember(unzFile zip, const vek::string& member) {
  char stored[kMaxMemberName + 1];
  unsigned walked = 0;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK && walked < kMaxMembers;
       rc = unzGoToNextFile(zip), ++walked) {
    unz_file_info info;
    std::memset(stored, 0, sizeof(stored));
    if (unzGetCurrentFileInfo(zip, &info, stored, kMaxMemberName, nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      return false;
    }
    if (info.size_filename > kMaxMemberName) continue;
    if (SameMemberName(stored, member)) return true;
  }
  return false;
}

// Archive reading: a read-only stream over the archive file with a window of cached bytes,
// so that walking the central directory and reading members seek in memory instead of
// asking the system for every few bytes.
struct ArchiveStream {
  static constexpr u32 kWindow = 32768;
  int fd = -1;
  u64 size = 0;
  u64 pos = 0;
  u64 windowStart = 0;
  u32 windowLength = 0;
  bool error = false;
  u8 window[kWindow];
};

voidpf ZCALLBACK ArchiveOpen(voidpf, const void* path, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ || !path) {
    return nullptr;
  }
  int fd = plat::OpenRegularForReading(static_cast<const char*>(path));
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return nullptr;
  }
  auto* s = new ArchiveStream;
  s->fd = fd;
  s->size = static_cast<u64>(st.st_size);
  return s;
}

uLong ZCALLBACK ArchiveRead(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* s = static_cast<ArchiveStream*>(stream);
  u8* out = static_cast<u8*>(buffer);
  uLong done = 0;
  while (done < size && s->pos < s->size) {
    if (s->pos >= s->windowStart && s->pos < s->windowStart + s->windowLength) {
      u64 offset = s->pos - s->windowStart;
      u64 n = std::min<u64>(size - done, s->windowLength - offset);
      std::memcpy(out + done, s->window + offset, n);
      done += n;
      s->pos += n;
      continue;
    }
    ssize_t n = ::pread(s->fd, s->window, ArchiveStream::kWindow, static_cast<off_t>(s->pos));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      s->error = n < 0;
      break;
    }
    s->windowStart = s->pos;
    s->windowLength = static_cast<u32>(n);
  }
  return done;
}

uLong ZCALLBACK ArchiveWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK ArchiveTell(voidpf, voidpf stream) {
  return static_cast<ArchiveStream*>(stream)->pos;
}

long ZCALLBACK ArchiveSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<ArchiveStream*>(stream);
  u64 base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
    base = s->pos;
  } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
    base = s->size;
  } else if (origin != ZLIB_FILEFUNC_SEEK_SET) {
    return -1;
  }
  u64 target = base + offset;
  if (target < base || target > s->size) return -1;  // outside the file
  s->pos = target;
  return 0;
}

int ZCALLBACK ArchiveClose(voidpf, voidpf stream) {
  auto* s = static_cast<ArchiveStream*>(stream);
  int rc = ::close(s->fd);
  delete s;
  return rc;
}

int ZCALLBACK ArchiveError(voidpf, voidpf stream) {
  return static_cast<ArchiveStream*>(stream)->error ? 1 : 0;
}

unzFile OpenArchive(const vek::string& nativePath) {
  zlib_filefunc64_def io;
  io.zopen64_file = ArchiveOpen;
  io.zread_file = ArchiveRead;
  io.zwrite_file = ArchiveWrite;
  io.ztell64_file = ArchiveTell;
  io.zseek64_file = ArchiveSeek;
  io.zclose_file = ArchiveClose;
  io.zerror_file = ArchiveError;
  io.opaque = nullptr;
  return unzOpen2_64(nativePath.c_str(), &io);
}

// A file under the player's own folder ({AppPath}): profiles, settings, high scores.
bool IsPlayerFile(const vek::string& native) {
  vek::string own = NativePath(GetPathToken(e_AppPath));
  while (own.size() > 1 && own.back() == '/') own.pop_back();
  return !own.empty() && own != "/" && native.size() > own.size() && native.compare(0, own.size(), own) == 0 &&
         native[own.size()] == '/';
}

// The mode without the letters that mean nothing on this system ("t").
vek::string CleanMode(const char* mode) {
  vek::string out;
  for (const char* p = mode; *p; ++p) {
    if (*p != 't') out += *p;
  }
  return out;
}

}  // namespace

struct cFile::Record {
  u32 kind = e_None;
  unzFile zip = nullptr;
  unz_file_info info{};
  std::FILE* disk = nullptr;
  // Archive members: bytes delivered so far, their checksum, and whether reading failed.
  u64 delivered = 0;
  uLong crc = 0;
  bool failed = false;
};

cFile::~cFile() { Close(); }

int cFile::Open(const filename& name, const char* mode) {
  if (m_pRecord) return e_AlreadyOpen;
  if (name.path.empty()) return e_NotFound;
  if (!mode) mode = "";

  if (!name.archive.empty()) {
    // Archives are read only; a write request leaves this object closed.
    if (mode[0] != 'r') return e_BadMode;
    vek::string archivePath = MakePath(name.drive, name.archive, "", "", "");
    if (!archivePath.empty()) archivePath.pop_back();  // the final separator
    vek::string member = MakePath("", "", name.folder, name.name, name.ext);

    unzFile zip = OpenArchive(NativePath(archivePath));
    if (!zip) {
      LogWarning(kSender, "ZIP file %s not found\n", archivePath);
      return e_NoArchive;
    }
    auto fail = [&](int result, const char* format, const vek::string* arg) {
      if (arg) {
        LogWarning(kSender, format, *arg);
      } else {
        LogWarning(kSender, format);
      }
      unzClose(zip);
      return result;
    };
    if (!LocateMember(zip, member)) {
      return fail(e_NotFound, "File %s not found in ZIP file\n", &member);
    }
    unz_file_info info;
    if (unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
      return fail(e_ArchiveError, "Internal error in ZIP file - couldn't get file info\n",
                  nullptr);
    }
    // Sizes are checked before anyone allocates by them: a member's data lies inside the
    // archive, a stored member is as long as its data, and a deflated one cannot grow beyond
    // what deflate can reach.
    struct stat archiveStat;
    bool sizesOk = ::stat(NativePath(archivePath).c_str(), &archiveStat) == 0 &&
                   info.compressed_size <= static_cast<u64>(archiveStat.st_size) &&
                   info.uncompressed_size <= 0xFFFFFFFFu &&
                   (info.compression_method == 0
                        ? info.uncompressed_size == info.compressed_size
                        : info.uncompressed_size <=
                              static_cast<u64>(info.compressed_size) * kMaxDeflateRatio + 1024);
    if (!sizesOk) {
      return fail(e_ArchiveError, "Internal error in ZIP file - couldn't get file info\n",
                  nullptr);
    }
    // Only stored and deflated members are read: the archive reader would hand over the raw
    // bytes of any other method as if they were the data.
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
      LogWarning(kSender, "Unsupported compression method %d of %s in ZIP file\n",
                 static_cast<int>(info.compression_method), member);
      unzClose(zip);
      return e_ArchiveError;
    }
    // Encrypted members cannot be read without a password.
    if ((info.flag & 1) != 0 || unzOpenCurrentFile(zip) != UNZ_OK) {
      return fail(e_ArchiveError, "Internal error in ZIP file - couldn't open file\n", nullptr);
    }
    m_pRecord = new Record;
    m_pRecord->kind = e_Member;
    m_pRecord->zip = zip;
    m_pRecord->info = info;
    m_pRecord->crc = crc32(0L, Z_NULL, 0);
    return e_Opened;
  }

  char first = mode[0];
  if (first != 'r' && first != 'w' && first != 'a') return e_BadMode;
  vek::string native = NativePath(name.path);
  vek::string cleanMode = CleanMode(mode);
  std::FILE* file = nullptr;
  bool update = cleanMode.find('+') != vek::string::npos;
  int fd = -1;
  // Why a disk file was refused, for the log; errno of the open.
  int refusal = 0;
  if (first == 'r' && !update) {
    // Only regular files are read: a folder, a FIFO or a device named like a data file is
    // refused without waiting for it. The player's own files are never read through a link.
    fd = plat::OpenRegularForReading(native, !IsPlayerFile(native));
    if (fd < 0) refusal = errno;
  } else {
    // Without blocking as well: a FIFO with no reader fails at once, and is then refused.
    // Never through a link: writing follows no name elsewhere.
    int flags = O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | (update ? O_RDWR : O_WRONLY) |
                (first == 'w' ? O_TRUNC : first == 'a' ? O_APPEND : 0);
    if (first == 'r') flags &= ~(O_CREAT | O_TRUNC);
    fd = ::open(native.c_str(), flags, 0644);
    struct stat st;
    int mode = fd >= 0 ? ::fcntl(fd, F_GETFL) : -1;
    if (fd < 0) refusal = errno == ENXIO ? EINVAL : errno;  // ENXIO: a FIFO without a reader
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || mode < 0 ||
                    ::fcntl(fd, F_SETFL, mode & ~O_NONBLOCK) != 0)) {
      ::close(fd);
      fd = -1;
      refusal = EINVAL;
    }
  }
  if (fd >= 0) {
    file = ::fdopen(fd, cleanMode.c_str());
    if (!file) ::close(fd);
  }
  if (!file) {
    if (refusal == EINVAL)
      LogWarning(kSender, "File %s is not a regular file; refused\n", name.path);
    else if (refusal == ELOOP)
      LogWarning(kSender, "File %s is a link; refused\n", name.path);
    else
      LogWarning(kSender, "File %s not found on disk\n", name.path);
    return e_NotFound;
  }
  m_pRecord = new Record;
  m_pRecord->kind = e_Disk;
  m_pRecord->disk = file;
  // The engine's file permissions, set on the open file itself (never through a name).
  if ((first == 'w' || first == 'a') && ::fchmod(::fileno(file), 0644) != 0)
    LogWarning(kSender, "File %s security info not changed\n", name.path);
  return e_Opened;
}

bool cFile::Close() {
  if (!m_pRecord) return true;
  bool ok = true;
  if (m_pRecord->kind == e_Member) {
    ok = unzCloseCurrentFile(m_pRecord->zip) == UNZ_OK && !m_pRecord->failed;
    unzClose(m_pRecord->zip);
  } else if (m_pRecord->kind == e_Disk) {
    ok = std::fclose(m_pRecord->disk) == 0;
  }
  delete m_pRecord;
  m_pRecord = nullptr;
  return ok;
}

u32 cFile::Read(void* buffer, u32 size, u32 count) {
  if (!m_pRecord || !buffer || size == 0 || count == 0) return 0;
  if (m_pRecord->kind == e_Disk) {
    return static_cast<u32>(std::fread(buffer, size, count, m_pRecord->disk));
  }
  if (m_pRecord->kind != e_Member || m_pRecord->failed) return 0;

  Record& r = *m_pRecord;
  u64 left = r.info.uncompressed_size - r.delivered;
  u64 want = static_cast<u64>(size) * count;
  if (want > left) want = left;
  u8* out = static_cast<u8*>(buffer);
  u64 got = 0;
  while (got < want) {
    int n = unzReadCurrentFile(r.zip, out + got, static_cast<unsigned>(want - got));
    if (n < 0) {
      LogWarning(kSender, "Internal error in ZIP file - couldn't read file\n");
      r.failed = true;
      return 0;
    }
    if (n == 0) break;
    r.crc = crc32(r.crc, out + got, static_cast<uInt>(n));
    got += static_cast<u64>(n);
  }
  r.delivered += got;
  // A member is good only when its whole declared size came out and its checksum matches:
  // data that ends early, or ends with the wrong checksum, is not delivered.
  bool ended = got < want || r.delivered == r.info.uncompressed_size;
  if (ended && (r.delivered != r.info.uncompressed_size || r.crc != r.info.crc)) {
    LogWarning(kSender, "Internal error in ZIP file - couldn't read file\n");
    r.failed = true;
    return 0;
  }
  return static_cast<u32>(got / size);
}

u32 cFile::Write(const void* buffer, u32 size, u32 count) {
  if (!m_pRecord || m_pRecord->kind != e_Disk || !buffer || size == 0 || count == 0) return 0;
  return static_cast<u32>(std::fwrite(buffer, size, count, m_pRecord->disk));
}

u32 cFile::GetSize() {
  if (!m_pRecord) return 0;
  if (m_pRecord->kind == e_Member) return static_cast<u32>(m_pRecord->info.uncompressed_size);
  if (m_pRecord->kind != e_Disk) return 0;
  std::FILE* f = m_pRecord->disk;
  off_t here = ::ftello(f);
  if (here < 0 || ::fseeko(f, 0, SEEK_END) != 0) return 0;
  off_t end = ::ftello(f);
  ::fseeko(f, here, SEEK_SET);
  if (end < 0) return 0;
  return end > static_cast<off_t>(0xFFFFFFFFu) ? 0xFFFFFFFFu : static_cast<u32>(end);
}

bool cFile::Flush() {
  if (!m_pRecord || m_pRecord->kind != e_Disk) return false;
  if (std::fflush(m_pRecord->disk) != 0) return false;
  return ::fsync(::fileno(m_pRecord->disk)) == 0;
}

bool cFile::IsDiskFile() const { return m_pRecord && m_pRecord->kind == e_Disk; }

}  // namespace vek
