#include "game/app/save_unit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/regular_file.h"

#include "engine/core/log.h"

namespace {

constexpr const char* kSender = "SaveUnit";
// A list longer than this is not one of ours.
constexpr size_t kMaxListBytes = 64 * 1024;
constexpr size_t kMaxListEntries = 64;

class cDiskFileLayer : public iSaveFileLayer {
 public:
  bool Write(const std::string& path, const std::vector<vek::u8>& bytes) override {
    if (!plat::WriteNewFile(path, bytes.data(), bytes.size(), 0644)) return false;
    plat::SyncFolderOf(path);
    return true;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    plat::SyncFolderOf(to);
    return true;
  }
  bool Remove(const std::string& path) override { return std::remove(path.c_str()) == 0; }
  bool Link(const std::string& from, const std::string& to) override {
    if (::link(from.c_str(), to.c_str()) != 0) {
      std::vector<vek::u8> bytes;
      if (errno == EEXIST || Read(from, bytes) != plat::eFileRead::Ok) return false;
      return Write(to, bytes);
    }
    plat::SyncFolderOf(to);
    return true;
  }
  eSaveFileKind Kind(const std::string& path) override {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return eSaveFileKind::Missing;
    if (S_ISREG(st.st_mode)) return eSaveFileKind::Regular;
    return S_ISDIR(st.st_mode) ? eSaveFileKind::Folder : eSaveFileKind::Other;
  }
  plat::eFileRead Read(const std::string& path, std::vector<vek::u8>& bytes) override {
    return plat::ReadRegularFile(path, kMaxSaveFileBytes, bytes);
  }
  bool MakeFolder(const std::string& path) override {
    std::string part;
    for (size_t i = 0; i <= path.size(); ++i) {
      if (i == path.size() || path[i] == '/') {
        if (!part.empty() && part != "/") ::mkdir(part.c_str(), 0700);
      }
      if (i < path.size()) part += path[i];
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
};

iSaveFileLayer* g_pLayer = nullptr;

// A listed name must stay inside the profile folder: relative, no "..", no empty parts.
bool IsSafeName(const std::string& name) {
  if (name.empty() || name.size() > 200 || name.front() == '/') return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  for (char c : name)
    if (static_cast<unsigned char>(c) < 32) return false;
  return true;
}

// One entry of a list: a file of the unit, and whether it had no previous version ("+name").
struct cListed {
  std::string name;
  bool added = false;
};

// The list file: one name a line, "+" before the name of a file that had no previous version,
// then the line "end" (a list without it is not whole).
bool ParseList(const std::vector<vek::u8>& bytes, std::vector<cListed>& names) {
  if (bytes.size() > kMaxListBytes) return false;
  std::string text(bytes.begin(), bytes.end());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) return false;
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line == "end") return start == text.size() && !names.empty();
    const bool added = !line.empty() && line.front() == '+';
    if (added) line.erase(0, 1);
    if (!IsSafeName(line) || names.size() >= kMaxListEntries) return false;
    names.push_back({line, added});
  }
  return false;
}

// The listed files of a list file; false (logged) when it can't be read or is not one of ours.
enum class eList { Ok, Unreadable, Damaged };
eList ReadList(iSaveFileLayer& files, const std::string& path, std::vector<cListed>& listed) {
  std::vector<vek::u8> bytes;
  if (const plat::eFileRead read = files.Read(path, bytes); read != plat::eFileRead::Ok) {
    vek::LogError(kSender, "Can't read the save list '%s' (%s)\n", path, plat::FileReadText(read));
    return eList::Unreadable;
  }
  if (!ParseList(bytes, listed)) {
    // Our own lists are whole (written through a rename), so this one is not ours to follow.
    vek::LogError(kSender, "Damaged save list '%s' removed\n", path);
    files.Remove(path);
    return eList::Damaged;
  }
  return eList::Ok;
}

// Undoes a listed save: every listed file gets its previous version back ("<file>.old", a
// second link to it made before the list), a file that had none is removed, and the
// temporaries go. The list is first renamed to the rollback list, so a kill in the middle
// goes on undoing, never back to finishing. True when the previous save is whole again.
bool RollBack(iSaveFileLayer& files, const std::string& root, const std::vector<cListed>& listed,
              const std::string& list) {
  const std::string marker = root + kSaveRollbackName;
  if (list != marker && !files.Rename(list, marker)) {
    vek::LogError(kSender, "Can't undo the unfinished save in '%s'\n", root);
    return false;
  }
  bool ok = true;
  for (const auto& entry : listed) {
    const std::string path = root + entry.name;
    const std::string temp = path + kSaveTempEnding;
    const std::string old = path + kSaveOldEnding;
    if (files.Kind(temp) != eSaveFileKind::Missing) files.Remove(temp);
    if (entry.added) {
      if (files.Kind(path) == eSaveFileKind::Regular && !files.Remove(path)) ok = false;
      continue;
    }
    if (files.Kind(old) == eSaveFileKind::Missing) continue;  // back already, or never kept
    // A rename between two links of one file changes nothing: the file was not replaced yet.
    if (!files.Rename(old, path)) {
      ok = false;
    } else if (files.Kind(old) != eSaveFileKind::Missing) {
      files.Remove(old);
    }
  }
  if (!ok) {
    vek::LogError(kSender, "Can't put the previous save back in '%s'; nothing is saved until it is\n", root);
    return false;
  }
  files.Remove(marker);
  vek::LogText(kSender, "The unfinished save in '%s' is undone; the previous one is kept\n", root);
  return true;
}

// The listed files take their new versions; then the previous versions and the list go.
// False, with nothing removed, when a file can't be replaced.
bool Finish(iSaveFileLayer& files, const std::string& root, const std::vector<cListed>& listed,
            const std::string& list) {
  for (const auto& entry : listed) {
    const std::string temp = root + entry.name + kSaveTempEnding;
    if (files.Exists(temp) && !files.Rename(temp, root + entry.name)) {
      vek::LogError(kSender, "Can't replace '%s'\n", root + entry.name);
      return false;
    }
  }
  for (const auto& entry : listed) {
    const std::string old = root + entry.name + kSaveOldEnding;
    if (files.Kind(old) != eSaveFileKind::Missing) files.Remove(old);
  }
  files.Remove(list);
  return true;
}

}  // namespace

iSaveFileLayer& DiskFileLayer() {
  static cDiskFileLayer disk;
  return disk;
}

iSaveFileLayer& SaveFileLayer() { return g_pLayer ? *g_pLayer : DiskFileLayer(); }
void SetSaveFileLayer(iSaveFileLayer* layer) { g_pLayer = layer; }

bool SaveUnit(iSaveFileLayer& files, const std::string& root, const std::vector<cSaveFile>& unit) {
  const std::string list = root + kSaveCommitName;
  std::vector<std::string> names;
  for (const auto& file : unit) names.push_back(file.name);
  // A list still there belongs to a save that has not finished: writing a new one over it
  // would lose which files it still has to replace.
  const bool pending = files.Kind(list) != eSaveFileKind::Missing ||
                       files.Kind(root + kSaveRollbackName) != eSaveFileKind::Missing;
  if (pending && !RecoverUnit(files, root, names)) {
    vek::LogError(kSender, "An earlier save in '%s' can't be finished; nothing is saved until it is\n", root);
    return false;
  }
  for (const auto& file : unit) {
    if (!IsSafeName(file.name)) {
      vek::LogError(kSender, "Bad file name '%s' in a save\n", file.name);
      return false;
    }
    // Checked before anything is written: a rename over a folder would fail only after the
    // list made the new set count.
    if (files.Kind(root + file.name) == eSaveFileKind::Folder) {
      vek::LogError(kSender, "'%s' is a folder, not a file; the previous save is kept\n", root + file.name);
      return false;
    }
  }
  std::vector<std::string> written;
  auto dropTemps = [&] {
    for (const auto& path : written)
      if (files.Kind(path) != eSaveFileKind::Missing) files.Remove(path);
  };
  std::vector<cListed> listed;
  std::string listText;
  for (const auto& file : unit) {
    const std::string path = root + file.name;
    const std::string temp = path + kSaveTempEnding;
    written.push_back(temp);
    if (!files.Write(temp, file.bytes)) {
      vek::LogError(kSender, "Can't write '%s'; the previous save is kept\n", temp);
      dropTemps();
      return false;
    }
    // The previous version stays reachable as "<file>.old" (a second link, no copy) until the
    // save is whole, so a save that can't be finished is undone.
    const bool added = files.Kind(path) == eSaveFileKind::Missing;
    if (!added) {
      const std::string old = path + kSaveOldEnding;
      written.push_back(old);
      if (files.Kind(old) != eSaveFileKind::Missing) files.Remove(old);
      if (!files.Link(path, old)) {
        vek::LogError(kSender, "Can't keep the previous '%s'; the previous save is kept\n", path);
        dropTemps();
        return false;
      }
    }
    listed.push_back({file.name, added});
    listText += (added ? "+" : "") + file.name + "\n";
  }
  listText += "end\n";
  const std::string listTemp = list + kSaveTempEnding;
  written.push_back(listTemp);
  if (!files.Write(listTemp, std::vector<vek::u8>(listText.begin(), listText.end())) ||
      !files.Rename(listTemp, list)) {
    vek::LogError(kSender, "Can't write '%s'; the previous save is kept\n", list);
    dropTemps();
    return false;
  }
  if (Finish(files, root, listed, list)) return true;
  // Undone now; when even that fails, the next load or save goes on undoing.
  RollBack(files, root, listed, list);
  vek::LogError(kSender, "The save in '%s' could not be finished; the previous save is kept\n", root);
  return false;
}

bool RecoverUnit(iSaveFileLayer& files, const std::string& root, const std::vector<std::string>& names) {
  const std::string list = root + kSaveCommitName;
  const std::string marker = root + kSaveRollbackName;
  if (files.Kind(list + kSaveTempEnding) != eSaveFileKind::Missing) files.Remove(list + kSaveTempEnding);
  // An undoing that was cut short goes on first.
  if (files.Kind(marker) != eSaveFileKind::Missing) {
    std::vector<cListed> listed;
    const eList read = ReadList(files, marker, listed);
    if (read == eList::Unreadable) return false;
    if (read == eList::Ok) {
      if (files.Kind(list) != eSaveFileKind::Missing) files.Remove(list);
      return RollBack(files, root, listed, marker);
    }
  }
  if (files.Kind(list) == eSaveFileKind::Missing) {
    // No list: a save that never reached it. Its temporaries and kept links go.
    for (const auto& name : names) {
      for (const char* ending : {kSaveTempEnding, kSaveOldEnding})
        if (files.Kind(root + name + ending) != eSaveFileKind::Missing) files.Remove(root + name + ending);
    }
    return true;
  }
  if (const eSaveFileKind kind = files.Kind(list); kind == eSaveFileKind::Other || kind == eSaveFileKind::Folder) {
    // Our lists are regular files; a FIFO or link of that name is nobody's list and goes
    // (the link itself, never what it points to). A folder stays, and so does the refusal.
    vek::LogError(kSender, "'%s' is not a regular file and no save list; removed\n", list);
    files.Remove(list);
    return files.Kind(list) == eSaveFileKind::Missing;
  }
  std::vector<cListed> listed;
  const eList read = ReadList(files, list, listed);
  if (read == eList::Unreadable) return false;
  if (read == eList::Damaged) return true;
  if (Finish(files, root, listed, list)) {
    vek::LogText(kSender, "Finished the interrupted save in '%s'\n", root);
    return true;
  }
  vek::LogError(kSender, "Can't finish the interrupted save in '%s'; it is undone\n", root);
  return RollBack(files, root, listed, list);
}
