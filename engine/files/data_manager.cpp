#include "engine/files/data_manager.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/files/file.h"

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

// Makes the directory entry of a rename durable; failures only cost durability.
void SyncFolderOf(const vek::string& native) {
  size_t slash = native.rfind('/');
  vek::string folder = slash == vek::string::npos ? "." : (slash == 0 ? "/" : native.substr(0, slash));
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
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
  // The temporary beside the target: "<name>.<ext>.tmp".
  filename temp = name;
  if (!name.ext.empty()) temp.name += "." + name.ext;
  temp.replace_ext("tmp");

  cFile file;
  if (file.Open(temp, "wb") != cFile::e_Opened) return FileNotFound;
  bool ok = size == 0 || (data && file.Write(data, 1, size) == size);
  ok = file.Flush() && ok;
  ok = file.Close() && ok;
  vek::string nativeTemp = NativePath(temp.path);
  vek::string nativeTarget = NativePath(name.path);
  if (ok) ok = std::rename(nativeTemp.c_str(), nativeTarget.c_str()) == 0;
  if (!ok) {
    std::remove(nativeTemp.c_str());
    return InternalError;
  }
  SyncFolderOf(nativeTarget);
  return Ok;
}

}  // namespace vek
