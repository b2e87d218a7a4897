#include "tests/support/small_disk.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace vektest {

SmallDisk::SmallDisk(std::size_t bytes) {
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
  m_Mounted = ::mount("tmpfs", m_Dir.path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
  if (m_Mounted) ::umount2(m_Dir.path().c_str(), MNT_DETACH);
}

bool SmallDisk::Fill(std::size_t leave) {
  const std::string filler = m_Dir / ".filler";
  const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const std::vector<char> block(4096, 'f');
  off_t size = 0;
  for (;;) {
    const ssize_t n = ::write(fd, block.data(), block.size());
    if (n > 0) {
      size += n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  const off_t pages = static_cast<off_t>((leave + 4095) / 4096) * 4096;
  const bool ok = errno == ENOSPC && size >= pages && ::ftruncate(fd, size - pages) == 0;
  ::close(fd);
  return ok;
}

}  // namespace vektest
