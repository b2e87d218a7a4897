#pragma once
// The one way the game opens its own files. Reading never hangs on special files (a FIFO, a
// device or a socket named like a data file would block in open() or deliver endless bytes)
// and never reads more than a bound; writing never goes through a name that is already there
// (a planted link, a FIFO, a stale temporary), so nothing outside the game's folders is
// created, truncated or given new permissions.
#include <cstddef>
#include <string>
#include <vector>

namespace plat {

// Opens the path read only (close-on-exec) without blocking - a path that is no regular file
// is not even opened - and keeps the descriptor only when it names a regular file; the
// descriptor is then in blocking mode again. With `followLinks` false a symbolic link as the
// last part of the path is refused too. -1 otherwise, with errno set (EINVAL for a file that
// is not regular, ELOOP for a link).
int OpenRegularForReading(const std::string& path, bool followLinks = true);

enum class eFileRead {
  Ok,
  Missing,     // nothing of that name
  NotRegular,  // a folder, link, FIFO, device or socket
  TooLarge,    // larger than the caller's bound (checked before anything is read)
  Unreadable,  // there, but the system refuses to open or read it
};
// Why a read failed, for log lines: "not a regular file" and so on ("" for Ok).
const char* FileReadText(eFileRead result);

// The whole regular file at `path` (never through a link), when it holds at most `maxBytes`.
eFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes, std::vector<unsigned char>& bytes);

// Creates `path` as a new, empty regular file with `mode` (before the umask) and gives its
// descriptor (close-on-exec), or -1 with errno set. Whatever has that name already - a stale
// temporary, a FIFO, a link planted there - is removed first, never opened or followed; the
// file is then made with O_CREAT | O_EXCL | O_NOFOLLOW, so a name planted again in between
// makes the call fail instead of writing through it. A folder of that name fails.
int CreateNewFile(const std::string& path, unsigned mode);

// CreateNewFile, then the bytes written, flushed and synced to disk, and closed. False on any
// failure; the partial file is then removed.
bool WriteNewFile(const std::string& path, const void* data, std::size_t size, unsigned mode);

// Makes the folder entry of a rename or a new file in the folder of `path` durable;
// failures only cost durability.
void SyncFolderOf(const std::string& path);

}  // namespace plat
