#include "engine/files/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "engine/core/log.h"

namespace vek {
namespace {

const char* const kSender = "cFileSystem";
// Folder trees deeper than this are not descended (a guard against runaway recursion).
constexpr int kMaxDepth = 256;

bool IsDots(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Removes a folder tree by its native path. Every entry is tried once, so a tree that cannot
// be emptied ends the call instead of being retried forever. True when the folder is gone.
bool RemoveTree(const vek::string& native, int depth) {
  if (::rmdir(native.c_str()) == 0) return true;
  if (errno == ENOENT) return true;
  if (depth >= kMaxDepth) return false;
  DIR* dir = ::opendir(native.c_str());
  if (!dir) return false;
  std::vector<vek::string> entries;
  while (dirent* e = ::readdir(dir)) {
    if (!IsDots(e->d_name)) entries.push_back(e->d_name);
  }
  ::closedir(dir);
  for (const vek::string& entry : entries) {
    vek::string child = native + "/" + entry;
    struct stat st;
    if (::lstat(child.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      RemoveTree(child, depth + 1);  // a link to a folder is removed as a file, never followed
    } else {
      ::unlink(child.c_str());
    }
  }
  return ::rmdir(native.c_str()) == 0;
}

}  // namespace

cFileSystem::~cFileSystem() { CloseSearch(); }

void cFileSystem::CloseSearch() {
  if (m_pSearch) ::closedir(static_cast<DIR*>(m_pSearch));
  m_pSearch = nullptr;
}

filename cFileSystem::NextEntry() {
  if (!m_pSearch) return filename();
  while (dirent* e = ::readdir(static_cast<DIR*>(m_pSearch))) {
    // "." and ".." come in any order here, so they are passed over everywhere.
    if (IsDots(e->d_name)) continue;
    return CombinePath(m_Folder.path, e->d_name);
  }
  CloseSearch();
  return filename();
}

filename cFileSystem::GetFirst(const filename& folder) {
  CloseSearch();
  m_Folder = folder;
  if (folder.path.empty()) return filename();
  m_pSearch = ::opendir(NativePath(folder.path).c_str());
  return NextEntry();
}

filename cFileSystem::GetNext() { return NextEntry(); }

bool cFileSystem::Exist(const filename& path) {
  struct stat st;
  return !path.path.empty() && ::stat(NativePath(path.path).c_str(), &st) == 0;
}

bool cFileSystem::IsFolder(const filename& path) {
  struct stat st;
  return !path.path.empty() && ::stat(NativePath(path.path).c_str(), &st) == 0 &&
         S_ISDIR(st.st_mode);
}

bool cFileSystem::CreateFolder(const filename& path) {
  vek::string native = NativePath(path.path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  bool hasPart = false;
  for (char c : native) hasPart = hasPart || c != '/';
  if (!hasPart) return false;
  // Every folder of the chain from the first one on; existing ones are simply passed.
  for (size_t i = 1; i < native.size(); ++i) {
    if (native[i] == '/' && native[i - 1] != '/') ::mkdir(native.substr(0, i).c_str(), 0755);
  }
  if (::mkdir(native.c_str(), 0755) != 0) return false;
  if (!FullAccess(path)) LogWarning(kSender, "Folder %s security info not changed\n", path.path);
  return true;
}

void cFileSystem::DeleteFolder(const filename& folder) {
  if (folder.path.empty()) return;
  vek::string native = NativePath(folder.path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  // A folder that is a link goes as a link: what it points to is not emptied.
  struct stat st;
  if (::lstat(native.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (::unlink(native.c_str()) != 0) LogWarning(kSender, "Folder %s not deleted\n", folder.path);
    return;
  }
  if (!RemoveTree(native, 0)) LogWarning(kSender, "Folder %s not deleted\n", folder.path);
}

bool cFileSystem::FullAccess(const filename& path) {
  if (path.path.empty()) return false;
  vek::string native = NativePath(path.path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  struct stat st;
  // A link is never followed: its target may be anyone's file.
  if (::lstat(native.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
  const mode_t mode = S_ISDIR(st.st_mode) ? 0755 : 0644;
  if (::fchmodat(AT_FDCWD, native.c_str(), mode, AT_SYMLINK_NOFOLLOW) == 0) return true;
  // Without /proc the C library cannot change a path without following it; the entry was
  // just seen not to be a link.
  return (errno == ENOTSUP || errno == ENOSYS) && ::chmod(native.c_str(), mode) == 0;
}

bool cFileSystem::CreatePrivateFolder(const filename& path) {
  vek::string native = NativePath(path.path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  bool hasPart = false;
  for (char c : native) hasPart = hasPart || c != '/';
  if (!hasPart) return false;
  for (size_t i = 1; i <= native.size(); ++i) {
    if (i == native.size() || (native[i] == '/' && native[i - 1] != '/')) ::mkdir(native.substr(0, i).c_str(), 0700);
  }
  struct stat st;
  return ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool cFileSystem::CheckPrivate(const filename& path) {
  vek::string native = NativePath(path.path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  struct stat st;
  if (native.empty() || ::stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return true;
  // A sticky folder (like /tmp) lets nobody remove or replace another user's entries.
  if ((st.st_mode & S_IWOTH) == 0 || (st.st_mode & S_ISVTX) != 0) return true;
  LogWarning(kSender, "Folder %s can be written by every user: others could change or replace the files in it; "
             "make it private (chmod 700)\n", native);
  return false;
}

}  // namespace vek
