#pragma once
// A saved game is several files (save.dat, the world's level.dat and island.dat, player.dat)
// that must change together: after a save, or after the program is killed in the middle of
// one, a profile holds either the whole new set or the whole previous one.
//
// The save writes every file's new bytes to "<file>.new" beside it, flushed to disk, and keeps
// a second name "<file>.old" for each file's previous version. Only when all of them are
// complete does it write the list of files, "save.commit" in the profile folder, through a
// temporary and one rename: that rename is the moment the new set counts. Then each
// "<file>.new" is renamed over its file, in the order given, and the ".old" names and the list
// are removed. A list is never written over: a save first finishes one left by an interrupted
// save. When a file can't be replaced the save is undone: the list becomes "save.rollback"
// and every file gets its previous version back, so the profile is wholly the previous save.
// Before a profile's files are read, Recover goes on with an interrupted undoing, finishes an
// interrupted save whose list exists (or undoes it when it can't be finished), and throws
// away the temporaries of one whose list does not.
#include <memory>
#include <string>
#include <vector>

#include "engine/core/types.h"
#include "platform/regular_file.h"

// What stands at a path, without following a link there: nothing, a regular file, a folder, or
// anything else (a link, a FIFO, a device).
enum class eSaveFileKind { Missing, Regular, Folder, Other };

// The largest file of a save that is read: far beyond what a game writes, far below what
// would hurt.
inline constexpr size_t kMaxSaveFileBytes = 16u << 20;

// The file operations a save needs, on native paths. The real layer works on disk and makes
// every write durable; tests put a layer that fails in between.
class iSaveFileLayer {
 public:
  virtual ~iSaveFileLayer() = default;
  // The whole file, created new (never written through a name that is already there: see
  // plat::CreateNewFile) and flushed to disk. False on any failure.
  virtual bool Write(const std::string& path, const std::vector<vek::u8>& bytes) = 0;
  // Replaces `to` by `from` (one step); then makes the change durable.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // A second name `to` for the file `from` (a hard link, or a copy where the file system has
  // none); then makes it durable.
  virtual bool Link(const std::string& from, const std::string& to) = 0;
  // A regular file is there (a link is not followed).
  virtual bool Exists(const std::string& path) { return Kind(path) == eSaveFileKind::Regular; }
  virtual eSaveFileKind Kind(const std::string& path) = 0;
  // The whole regular file, at most kMaxSaveFileBytes, never through a link, never waiting
  // on a special file.
  virtual plat::eFileRead Read(const std::string& path, std::vector<vek::u8>& bytes) = 0;
  // Creates the folder chain (new folders only for this user); true when it exists afterwards.
  virtual bool MakeFolder(const std::string& path) = 0;
};

// The disk.
iSaveFileLayer& DiskFileLayer();
// The layer the profiles use: the disk unless a test set another (null restores the disk).
iSaveFileLayer& SaveFileLayer();
void SetSaveFileLayer(iSaveFileLayer* layer);

// One file of a save: its path relative to the profile folder ("save.dat", "7/level.dat")
// and its new bytes.
struct cSaveFile {
  std::string name;
  std::vector<vek::u8> bytes;
};

// The name of the list of files of a save in progress.
inline constexpr const char* kSaveCommitName = "save.commit";
// The list of a save being undone.
inline constexpr const char* kSaveRollbackName = "save.rollback";
// The ending of the temporary of each file.
inline constexpr const char* kSaveTempEnding = ".new";
// The ending of the second name of a file's previous version while a save is not whole.
inline constexpr const char* kSaveOldEnding = ".old";

// Writes the files as one unit into the profile folder `root` (a native path ending in "/").
// True when every file was replaced. A list still pending from an earlier save is finished
// first, never overwritten: when it cannot be finished nothing is saved. A folder in the place
// of a file of the unit refuses the save before anything is written (a link or a FIFO there is
// replaced by the rename like a file, never written through). On a failure before the list was written nothing has changed
// and the temporaries are removed; on a failure after it, Recover finishes the save.
bool SaveUnit(iSaveFileLayer& files, const std::string& root, const std::vector<cSaveFile>& unit);

// Brings the profile folder to a whole set: finishes a listed save, or removes the
// temporaries of the files named in `names` when there is no list. False (logged) when a
// listed save cannot be finished.
bool RecoverUnit(iSaveFileLayer& files, const std::string& root, const std::vector<std::string>& names);
