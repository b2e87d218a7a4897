#include "engine/files/data_manager.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/files/file.h"
#include "platform/regular_file.h"

namespace vek {
namespace {

// Reads a whole file opened with the mode into the buffer (one byte longer than the data,
// which ends in a zero byte). A file that delivers fewer bytes than its size, or reports an
// error when closed, is an InternalError.
cDataManager::cResult ReadWhole(const filename& name, const char* mode, std::vector<char>& buffer,
                                u32& length) {
  cFile file;
  if (file.Open(name, mode) != cFile::e_Opened) return cDataManager::FileNotFound;
  u32 size = file.GetSize();
  if (size < 1 || size > cDataManager::kMaxFileBytes) {
    file.Close();
    return cDataManager::InternalError;
  }
  buffer.assign(size_t(size) + 1, 0);
  length = file.Read(buffer.data(), 1, size);
  bool closed = file.Close();
  if (length != size || !closed) return cDataManager::InternalError;
  buffer[length] = 0;
  return cDataManager::Ok;
}

}  // namespace

cDataManager::cResult cDataManager::ReadText(vek::string* text, const filename& name) {
  if (!text) return NoOutput;
  std::vector<char> buffer;
  u32 length = 0;
  cResult result = ReadWhole(name, "rt", buffer, length);
  if (result != Ok) return result;
  *text = buffer.data();  // up to the first zero byte
  return Ok;
}

cDataManager::cResult cDataManager::ReadBinary(cBitStream* stream, const filename& name) {
  if (!stream) return NoOutput;
  std::vector<char> buffer;
  u32 length = 0;
  cResult result = ReadWhole(name, "rb", buffer, length);
  if (result != Ok) return result;
  stream->SetData(buffer.data(), length);
  return Ok;
}

cDataManager::cResult cDataManager::WriteBinary(const cBitStream* stream, const filename& name) {
  if (!stream) return NoOutput;
  const u32 count = stream->GetByteCount();
  return WriteWhole(name, count ? stream->GetBytes().data() : nullptr, count);
}

cDataManager::cResult cDataManager::WriteWhole(const filename& name, const void* data, u32 size) {
  if (name.path.empty() || !name.archive.empty()) return FileNotFound;
  // The temporary beside the target: "<name>.<ext>.tmp".
  filename temp = name;
  if (!name.ext.empty()) temp.name += "." + name.ext;
  temp.replace_ext("tmp");
  const vek::string nativeTemp = NativePath(temp.path);
  const vek::string nativeTarget = NativePath(name.path);
  if (size > 0 && !data) return InternalError;
  // Made new and exclusive: whatever had the temporary's name (a link planted there, a FIFO,
  // a stale temporary) is removed, never written through.
  const int fd = plat::CreateNewFile(nativeTemp, 0644);
  if (fd < 0) return FileNotFound;
  const auto* bytes = static_cast<const u8*>(data);
  u32 done = 0;
  bool ok = true;
  while (ok && done < size) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<u32>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  // The rename replaces whatever has the target's name - a link itself, never its target.
  if (ok) ok = std::rename(nativeTemp.c_str(), nativeTarget.c_str()) == 0;
  if (!ok) {
    ::unlink(nativeTemp.c_str());
    return InternalError;
  }
  plat::SyncFolderOf(nativeTarget);
  return Ok;
}

}  // namespace vek
