#pragma once
// The engine's one way to read and write files: a file on disk, or a member of a zip
// archive when the path runs through a folder whose name contains ".zip". Archives are
// read only; members are found whatever the case of their stored names and whichever
// separator they use.
#include "engine/core/types.h"
#include "engine/files/filename.h"

namespace vek {

class cFile {
 public:
  // Results of Open.
  enum eOpenResult : int {
    e_Opened = 0,         // the file is open
    e_NotFound = 1,       // empty path, disk file not opened, or no such member
    e_NoArchive = 2,      // the archive itself is not found
    e_BadMode = 3,        // the mode cannot be served (archives are read only)
    e_ArchiveError = 4,   // the archive fails inside (member information, opening, bad sizes,
                          // a compression method other than stored or deflate)
    e_AlreadyOpen = 5,    // this object holds a file already; nothing changed
  };

  cFile() = default;
  ~cFile();
  cFile(const cFile&) = delete;
  cFile& operator=(const cFile&) = delete;

  // Opens a disk file (mode beginning with "r", "w" or "a"; "t" is ignored) or an archive
  // member (mode "r..." only). Only regular files are opened, never waiting for one: a folder,
  // FIFO or device is e_NotFound. Files opened for writing get the engine's file permissions.
  // Failures are logged as warnings of the sender "File".
  int Open(const filename& name, const char* mode);
  // Closes whatever is open. False when an error was found while closing: buffered data
  // could not be written to disk, or an archive member failed its checksum.
  bool Close();
  bool IsOpen() const { return m_pRecord != nullptr; }

  // Whole elements read. A member is good only when its whole declared size comes out with
  // a matching checksum: data that ends early or fails the checksum is a read error (logged),
  // which delivers no further elements and makes Close return false.
  u32 Read(void* buffer, u32 size, u32 count);
  // Whole elements written; 0 unless a disk file is open.
  u32 Write(const void* buffer, u32 size, u32 count);
  // Length in bytes: a member's uncompressed size, a disk file's length (the position is
  // kept); 0 when nothing is open.
  u32 GetSize();
  // Writes a disk file's buffers through to the disk; false on error or when no disk file
  // is open.
  bool Flush();
  // Whether a disk file is open (archive members are never written).
  bool IsDiskFile() const;

 private:
  struct Record;
  Record* m_pRecord = nullptr;
};

}  // namespace vek
