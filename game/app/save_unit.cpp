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
    return plat::WriteNewFile(path, bytes.data(), bytes.size(), 0644);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    plat::SyncFolderOf(to);
    return true;
  }
  bool Remove(const std::string& path) override { return std::remove(path.c_str()) == 0; }
  eSaveFileKind Kind(const std::string& path) override {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return eSaveFileKind::Missing;
    return S_ISREG(st.st_mode) ? eSaveFileKind::Regular : eSaveFileKind::Other;
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

// The list file: one name a line, then the line "end" (a list without it is not whole).
bool ParseList(const std::vector<vek::u8>& bytes, std::vector<std::string>& names) {
  if (bytes.size() > kMaxListBytes) return false;
  std::string text(bytes.begin(), bytes.end());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) return false;
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line == "end") return start == text.size() && !names.empty();
    if (!IsSafeName(line) || names.size() >= kMaxListEntries) return false;
    names.push_back(line);
  }
  return false;
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
  if (files.Kind(list) != eSaveFileKind::Missing && !RecoverUnit(files, root, names)) {
    vek::LogError(kSender, "An earlier save in '%s' can't be finished; nothing is saved until it is\n", root);
    return false;
  }
  for (const auto& file : unit) {
    // Checked before anything is written: a rename over a folder would fail only after the
    // list made the new set count.
    if (IsSafeName(file.name) && files.Kind(root + file.name) == eSaveFileKind::Other) {
      vek::LogError(kSender, "'%s' is not a regular file; the previous save is kept\n", root + file.name);
      return false;
    }
  }
  std::vector<std::string> written;
  auto dropTemps = [&] {
    for (const auto& path : written) files.Remove(path);
  };
  std::string listText;
  for (const auto& file : unit) {
    if (!IsSafeName(file.name)) {
      vek::LogError(kSender, "Bad file name '%s' in a save\n", file.name);
      dropTemps();
      return false;
    }
    const std::string temp = root + file.name + kSaveTempEnding;
    const bool ok = files.Write(temp, file.bytes);
    written.push_back(temp);
    if (!ok) {
      vek::LogError(kSender, "Can't write '%s'; the previous save is kept\n", temp);
      dropTemps();
      return false;
    }
    listText += file.name + "\n";
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
  for (const auto& file : unit) {
    if (!files.Rename(root + file.name + kSaveTempEnding, root + file.name)) {
      vek::LogError(kSender, "Can't replace '%s'; the save is finished on the next load\n", root + file.name);
      return false;
    }
  }
  files.Remove(list);
  return true;
}

bool RecoverUnit(iSaveFileLayer& files, const std::string& root, const std::vector<std::string>& names) {
  const std::string list = root + kSaveCommitName;
  if (files.Kind(list + kSaveTempEnding) != eSaveFileKind::Missing) files.Remove(list + kSaveTempEnding);
  if (files.Kind(list) == eSaveFileKind::Missing) {
    for (const auto& name : names)
      if (files.Kind(root + name + kSaveTempEnding) != eSaveFileKind::Missing) files.Remove(root + name + kSaveTempEnding);
    return true;
  }
  if (files.Kind(list) == eSaveFileKind::Other) {
    // Our lists are regular files; a FIFO or link of that name is nobody's list and goes
    // (the link itself, never what it points to). A folder stays, and so does the refusal.
    vek::LogError(kSender, "'%s' is not a regular file and no save list; removed\n", list);
    files.Remove(list);
    return files.Kind(list) == eSaveFileKind::Missing;
  }
  std::vector<vek::u8> bytes;
  std::vector<std::string> listed;
  if (const plat::eFileRead read = files.Read(list, bytes); read != plat::eFileRead::Ok) {
    vek::LogError(kSender, "Can't read the save list '%s' (%s)\n", list, plat::FileReadText(read));
    return false;
  }
  if (!ParseList(bytes, listed)) {
    // Our own lists are whole (written through a rename), so this one is not ours to follow.
    vek::LogError(kSender, "Damaged save list '%s' removed\n", list);
    files.Remove(list);
    return true;
  }
  bool ok = true;
  for (const auto& name : listed) {
    const std::string temp = root + name + kSaveTempEnding;
    if (files.Exists(temp) && !files.Rename(temp, root + name)) ok = false;
  }
  if (!ok) {
    vek::LogError(kSender, "Can't finish the interrupted save in '%s'\n", root);
    return false;
  }
  vek::LogText(kSender, "Finished the interrupted save in '%s'\n", root);
  files.Remove(list);
  return true;
}
