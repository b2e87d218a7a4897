#include "platform/os.h"
#include "platform/regular_file.h"

#include <fcntl.h>
#include <malloc.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

namespace plat {
namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return (v && *v) ? std::string(v) : fallback;
}

// Reads XDG_DESKTOP_DIR from the user-dirs file; "$HOME" inside it is expanded.
// Only a regular file is read (a FIFO or device there must not hang the start), and only its
// first 64 KB: the real file is a few hundred bytes.
std::string DesktopFromUserDirs(const std::string& home, const std::string& configHome) {
  const int fd = OpenRegularForReading(configHome + "/user-dirs.dirs");
  if (fd < 0) return {};
  std::string text;
  char buf[4096];
  while (text.size() < 65536) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DESKTOP_DIR=";
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string v = line.substr(key.size());
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    if (v.compare(0, 5, "$HOME") == 0) v = home + v.substr(5);
    if (!v.empty() && v[0] == '/') return v;
  }
  return {};
}

class PosixOs : public Os {
 public:
  std::int64_t Counter() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
  }
  std::int64_t Frequency() override { return 1000000000LL; }
  void SleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  void SleepUntil(std::int64_t counter) override {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(counter / 1000000000LL);
    ts.tv_nsec = static_cast<long>(counter % 1000000000LL);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
      if (TerminationRequested()) return;
    }
  }

  std::string ExecutableFolder() override {
    char buf[PATH_MAX + 1];
    ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return {};
    std::string p(buf, static_cast<size_t>(n));
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash);
  }

  std::string HomeFolder() override {
    std::string home = EnvOr("HOME", "");
    if (!home.empty()) return home;
    if (passwd* pw = ::getpwuid(::getuid())) return pw->pw_dir ? pw->pw_dir : "";
    return {};
  }

  std::string DataHomeFolder() override {
    return EnvOr("XDG_DATA_HOME", HomeFolder() + "/.local/share");
  }

  std::string DesktopFolder() override {
    std::string home = HomeFolder();
    std::string d = DesktopFromUserDirs(home, EnvOr("XDG_CONFIG_HOME", home + "/.config"));
    return d.empty() ? home + "/Desktop" : d;
  }

  std::string RuntimeFolder() override {
    std::string r = EnvOr("XDG_RUNTIME_DIR", "");
    if (!r.empty()) return r;
    // Never a shared folder such as /tmp, where another user could make the folder first.
    const std::string home = HomeFolder();
    const std::string cache = EnvOr("XDG_CACHE_HOME", home.empty() ? std::string() : home + "/.cache");
    return cache.empty() ? std::string() : cache + "/orchardia";
  }

  bool UserName(std::string& name) override {
    passwd* pw = ::getpwuid(::getuid());
    if (!pw || !pw->pw_name) return false;
    name = Utf8ToCp1252(pw->pw_name);
    return true;
  }

  std::string LocalTimeText() override {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, "%a %b %d %H:%M:%S %Y", &tm);
    return buf;
  }

  double DayTimeSeconds() override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + ts.tv_nsec / 1e9;
  }
};

std::unique_ptr<Os>& Active() {
  static std::unique_ptr<Os> os = std::make_unique<PosixOs>();
  return os;
}

std::atomic<bool> g_Termination{false};
std::atomic<bool> g_ShowRequest{false};

void OnTerminate(int) { g_Termination.store(true); }
void OnShowRequest(int) { g_ShowRequest.store(true); }

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

// windows-1252 bytes 0x80..0x9F; 0 marks the five bytes with no character.
const std::uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

Os& GetOs() { return *Active(); }

void SetOs(std::unique_ptr<Os> os) {
  Active() = os ? std::move(os) : std::make_unique<PosixOs>();
}

bool MakeFolders(const std::string& path, unsigned mode) {
  if (path.empty()) return false;
  std::string cur;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find('/', pos);
    if (next == std::string::npos) next = path.size();
    cur = path.substr(0, next);
    if (!cur.empty()) {
      if (::mkdir(cur.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
        struct stat st{};
        if (::stat(cur.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
      }
    }
    pos = next + 1;
  }
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakePrivateFolder(const std::string& path, std::string& why) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) {
      why = ErrnoText(path);
      return false;
    }
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) MakeFolders(path.substr(0, slash));
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
      why = ErrnoText("cannot create " + path);
      return false;
    }
    if (::lstat(path.c_str(), &st) != 0) {
      why = ErrnoText(path);
      return false;
    }
  }
  if (!S_ISDIR(st.st_mode)) {
    why = path + " is not a folder";
    return false;
  }
  if (st.st_uid != ::geteuid()) {
    why = path + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    return false;
  }
  if (st.st_mode & (S_IWGRP | S_IWOTH)) {
    why = path + " may be written by other users";
    return false;
  }
  return true;
}

InstanceLock::~InstanceLock() { Release(); }

InstanceLock::Result InstanceLock::Acquire(const std::string& name) {
  Release();
  m_Error.clear();
  const std::string folder = GetOs().RuntimeFolder();
  if (folder.empty()) {
    m_Error = "no folder for the instance lock: neither XDG_RUNTIME_DIR nor HOME is set";
    return Result::Failed;
  }
  std::string why;
  if (!MakePrivateFolder(folder, why)) {
    m_Error = "cannot use the lock folder: " + why;
    return Result::Failed;
  }
  m_Path = folder + "/" + name + ".lock";
  const int fd = ::open(m_Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    m_Error = ErrnoText("cannot create the instance lock " + m_Path);
    return Result::Failed;
  }
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
    ::close(fd);
    m_Error = "the instance lock " + m_Path + " is not a file of this user";
    return Result::Failed;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return Result::Held;
    errno = err;
    m_Error = ErrnoText("cannot lock " + m_Path);
    return Result::Failed;
  }
  // The holder's pid, for a later start that asks it to show its window. Without it (a failed
  // write) the lock still holds and a second start only reports.
  const std::string pid = std::to_string(::getpid()) + "\n";
  bool written = ::ftruncate(fd, 0) == 0;
  written = written && ::pwrite(fd, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
  (void)written;
  m_Fd = fd;
  return Result::Acquired;
}

namespace {
// Whether the process holds a flock on the file with this inode, as the kernel lists it. The
// pid written in the lock file could name another process when the holder runs in another pid
// namespace (a sandbox); the kernel's list shows holders with pids of our own namespace.
bool HoldsFlock(long pid, ino_t inode) {
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    std::istringstream f(line);
    std::string id, type, kind, mode, dev;
    long holder = 0;
    if (!(f >> id >> type)) continue;
    if (type == "->") f >> type;  // a waiter, listed under the lock it waits for
    if (type != "FLOCK" || !(f >> kind >> mode >> holder >> dev)) continue;
    const size_t colon = dev.rfind(':');
    if (holder == pid && colon != std::string::npos &&
        std::strtoull(dev.c_str() + colon + 1, nullptr, 10) == static_cast<unsigned long long>(inode))
      return true;
  }
  return false;
}
}  // namespace

bool InstanceLock::AskHolderToShow() {
  if (m_Path.empty()) return false;
  const int fd = ::open(m_Path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  char buf[32] = {};
  const ssize_t n = ::read(fd, buf, sizeof buf - 1);
  struct stat st{};
  const bool known = ::fstat(fd, &st) == 0;
  ::close(fd);
  if (n <= 0 || !known) return false;
  char* end = nullptr;
  const long pid = std::strtol(buf, &end, 10);
  if (end == buf || pid <= 1 || pid > INT_MAX || !HoldsFlock(pid, st.st_ino)) return false;
  return ::kill(static_cast<pid_t>(pid), SIGUSR1) == 0;
}

void InstanceLock::Release() {
  if (m_Fd >= 0) {
    ::flock(m_Fd, LOCK_UN);
    ::close(m_Fd);
    m_Fd = -1;
  }
}

std::uint32_t Cp1252ToCodePoint(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80];
  return c;
}

unsigned char CodePointToCp1252(std::uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] != 0 && kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return 0;
}

std::string Utf8ToCp1252(const std::string& utf8) {
  std::string out;
  size_t i = 0;
  const size_t n = utf8.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    std::uint32_t cp = 0;
    int extra = 0;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      extra = 3;
    } else {
      ++i;  // stray continuation byte
      continue;
    }
    if (i + extra >= n) break;  // truncated sequence at the end
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
      if ((cc & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      ++i;
      continue;
    }
    i += 1 + extra;
    if (cp == 0) continue;
    if (unsigned char b = CodePointToCp1252(cp)) out.push_back(static_cast<char>(b));
  }
  return out;
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    std::uint32_t cp = Cp1252ToCodePoint(c);
    if (cp == 0) continue;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

void InstallTerminationHandlers() {
  struct sigaction sa{};
  sa.sa_handler = OnTerminate;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGINT, &sa, nullptr);
  sa.sa_handler = OnShowRequest;
  ::sigaction(SIGUSR1, &sa, nullptr);
}

bool TerminationRequested() { return g_Termination.load(); }
void ClearTerminationRequest() { g_Termination.store(false); }
bool TakeShowRequest() { return g_ShowRequest.exchange(false); }

void ReleaseFreeMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace plat
