#pragma once
// Questions about folders and files on disk, and changes to folders: list a folder, test
// whether a path exists or is a folder, create a folder chain, delete a folder tree, and give
// a path the engine's permissions. Works on disk only, never inside archives.
#include "engine/core/types.h"
#include "engine/files/filename.h"

namespace vek {

class cFileSystem {
 public:
  cFileSystem() = default;
  ~cFileSystem();
  cFileSystem(const cFileSystem&) = delete;
  cFileSystem& operator=(const cFileSystem&) = delete;

  // The first entry of the folder ("." and ".." passed over), or an empty filename.
  filename GetFirst(const filename& folder);
  // The next entry of the search, or an empty filename at its end or with no search open.
  filename GetNext();

  bool Exist(const filename& path);
  bool IsFolder(const filename& path);
  // Creates every missing folder of the chain (mode 0755). True only when the last folder
  // was newly created; it then gets the engine's folder permissions.
  bool CreateFolder(const filename& path);
  // The game's own folders (its data home, settings, profiles): creates every missing folder of
  // the chain with mode 0700, so only this user may enter the new ones; folders already there
  // keep their modes. True when the path is a folder afterwards (also when it was one before).
  bool CreatePrivateFolder(const filename& path);
  // False, with a warning in the log naming the folder, when every user may write into the
  // folder (and it is not sticky); true otherwise, and for a path that is no folder.
  bool CheckPrivate(const filename& path);
  // Deletes the folder with everything in it; links inside it, and a folder that is itself a
  // link, are removed as links, never followed. An entry that cannot be removed is tried once
  // and logged; the folder then stays.
  void DeleteFolder(const filename& folder);
  // Gives a path the engine's permissions: 0755 for a folder, 0644 for a file (readable by
  // everyone, writable by the owner only). A link is never followed: false for a link, and
  // when the permissions cannot be set.
  bool FullAccess(const filename& path);

 private:
  void CloseSearch();
  filename NextEntry();

  void* m_pSearch = nullptr;  // the open folder stream (DIR*), null when no search is open
  filename m_Folder;
};

}  // namespace vek
