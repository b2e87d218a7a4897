#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

int OpenRegularForReading(const std::string& path, bool followLinks) {
  // What is not a regular file is not even opened: opening a device can have effects of its
  // own, and a FIFO opened for reading tells a writer that someone listens.
  struct stat before;
  if ((followLinks ? ::stat(path.c_str(), &before) : ::lstat(path.c_str(), &before)) == 0 &&
      !S_ISREG(before.st_mode)) {
    errno = S_ISLNK(before.st_mode) ? ELOOP : EINVAL;
    return -1;
  }
  // O_NONBLOCK: opening a FIFO with no writer returns at once instead of waiting for one.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW));
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

const char* FileReadText(eFileRead result) {
  switch (result) {
    case eFileRead::Ok:
      return "";
    case eFileRead::Missing:
      return "missing";
    case eFileRead::NotRegular:
      return "not a regular file";
    case eFileRead::TooLarge:
      return "too large";
    case eFileRead::Unreadable:
      return "can't be read";
  }
  return "";
}

eFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::vector<unsigned char>& bytes) {
  bytes.clear();
  const int fd = OpenRegularForReading(path, false);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return eFileRead::Missing;
    if (errno == EINVAL || errno == ELOOP) return eFileRead::NotRegular;
    return eFileRead::Unreadable;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return eFileRead::Unreadable;
  }
  // The size is checked before a byte is read: a sparse file of gigabytes costs nothing.
  if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > maxBytes) {
    ::close(fd);
    return eFileRead::TooLarge;
  }
  // A file that grows while it is read is cut at the bound plus one byte, and refused.
  bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t done = 0;
  eFileRead result = eFileRead::Ok;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) result = eFileRead::Unreadable;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (result == eFileRead::Ok && done > maxBytes) result = eFileRead::TooLarge;
  if (result != eFileRead::Ok) {
    bytes.clear();
    return result;
  }
  bytes.resize(done);
  return eFileRead::Ok;
}

int CreateNewFile(const std::string& path, unsigned mode) {
  struct stat st;
  // unlink() removes a link itself, never its target; a folder is left and fails below.
  if (::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(path.c_str());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                        static_cast<mode_t>(mode));
  if (fd < 0) return -1;
  // The permissions asked for, whatever the umask left: set on the descriptor, so on this
  // very file and never through a name. A failure only leaves the umask's choice.
  (void)::fchmod(fd, static_cast<mode_t>(mode));
  return fd;
}

bool WriteNewFile(const std::string& path, const void* data, std::size_t size, unsigned mode) {
  const int fd = CreateNewFile(path, mode);
  if (fd < 0) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t done = 0;
  bool ok = size == 0 || data != nullptr;
  while (ok && done < size) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (!ok) ::unlink(path.c_str());
  return ok;
}

void SyncFolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace plat
