#pragma once
// Operating-system services the engine uses: clock, folders, user name, single-instance
// lock, local time. A real back end (POSIX) and a fixed one for tests.
#include <cstdint>
#include <memory>
#include <string>

namespace plat {

class Os {
 public:
  virtual ~Os() = default;

  // Monotonic counter and its ticks per second.
  virtual std::int64_t Counter() = 0;
  virtual std::int64_t Frequency() = 0;
  virtual void SleepMs(int ms) = 0;

  // Folder of the running program, without a trailing separator; empty when unknown.
  virtual std::string ExecutableFolder() = 0;
  // The user's home folder; empty when unknown.
  virtual std::string HomeFolder() = 0;
  // $XDG_DATA_HOME, or ~/.local/share.
  virtual std::string DataHomeFolder() = 0;
  // The XDG desktop folder (user-dirs.dirs, else ~/Desktop).
  virtual std::string DesktopFolder() = 0;
  // $XDG_RUNTIME_DIR, or a private folder under /tmp.
  virtual std::string RuntimeFolder() = 0;
  // The login name in windows-1252; false when it cannot be found.
  virtual bool UserName(std::string& name) = 0;
  // Local time as 'Www Mmm dd hh:mm:ss yyyy'.
  virtual std::string LocalTimeText() = 0;
  // Seconds since local midnight, with fractions.
  virtual double DayTimeSeconds() = 0;
};

// The active back end (the POSIX one unless a test installed another).
Os& GetOs();
// Installs a back end (tests); null restores the POSIX one.
void SetOs(std::unique_ptr<Os> os);

// A fixed back end: every value is a field the test sets; the clock moves only on Advance.
class FixedOs : public Os {
 public:
  std::int64_t counter = 0;
  std::int64_t frequency = 1000000;
  std::string exeFolder = "/opt/orchardia";
  std::string homeFolder = "/home/Tester";
  std::string dataHome = "/home/Tester/.local/share";
  std::string desktopFolder = "/home/Tester/Desktop";
  std::string runtimeFolder = "/tmp";
  std::string userName = "Tester";
  bool userNameFails = false;
  std::string timeText = "Thu Dec 10 12:00:00 2026";
  double dayTime = 43200.0;

  void Advance(double seconds) { counter += static_cast<std::int64_t>(seconds * frequency + 0.5); }

  std::int64_t Counter() override { return counter; }
  std::int64_t Frequency() override { return frequency; }
  void SleepMs(int) override {}
  std::string ExecutableFolder() override { return exeFolder; }
  std::string HomeFolder() override { return homeFolder; }
  std::string DataHomeFolder() override { return dataHome; }
  std::string DesktopFolder() override { return desktopFolder; }
  std::string RuntimeFolder() override { return runtimeFolder; }
  bool UserName(std::string& name) override {
    if (userNameFails) return false;
    name = userName;
    return true;
  }
  std::string LocalTimeText() override { return timeText; }
  double DayTimeSeconds() override { return dayTime; }
};

// Creates a folder and its parents with mode 0755; true when it exists afterwards.
bool MakeFolders(const std::string& path);

// Holds a named single-instance lock: flock on "<runtime folder>/<name>.lock".
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  // False when another process holds the lock or the lock file cannot be made.
  bool Acquire(const std::string& name);
  void Release();

 private:
  int m_Fd = -1;
};

// Converts UTF-8 text to windows-1252; characters with no code in the page are dropped.
std::string Utf8ToCp1252(const std::string& utf8);
// Converts windows-1252 text to UTF-8.
std::string Cp1252ToUtf8(const std::string& text);
// Code point of one windows-1252 byte, and the byte of a code point (0 when none).
std::uint32_t Cp1252ToCodePoint(unsigned char c);
unsigned char CodePointToCp1252(std::uint32_t cp);

// Termination requests (SIGTERM, SIGINT) are caught and turned into a window close.
void InstallTerminationHandlers();
bool TerminationRequested();
void ClearTerminationRequest();

}  // namespace plat
