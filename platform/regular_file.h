#pragma once
// Opening files for reading without hanging on special files: a FIFO, a device or a socket
// named like a data file would block in open() or deliver endless bytes.
#include <string>

namespace plat {

// Opens the path read only (close-on-exec) without blocking, and keeps the descriptor only
// when it names a regular file; the descriptor is then in blocking mode again. -1 otherwise,
// with errno set (EINVAL for a file that is not regular).
int OpenRegularForReading(const std::string& path);

}  // namespace plat
