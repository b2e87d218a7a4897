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
  // Sleeps until the counter reaches the given value (at once when it has).
  virtual void SleepUntil(std::int64_t counter) = 0;

  // Folder of the running program, without a trailing separator; empty when unknown.
  virtual std::string ExecutableFolder() = 0;
  // The user's home folder; empty when unknown.
  virtual std::string HomeFolder() = 0;
  // $XDG_DATA_HOME, or ~/.local/share.
  virtual std::string DataHomeFolder() = 0;
  // The XDG desktop folder (user-dirs.dirs, else ~/Desktop).
  virtual std::string DesktopFolder() = 0;
  // $XDG_RUNTIME_DIR when it is a private folder of this user, else the private folder
  // "orchardia" under $XDG_CACHE_HOME (default ~/.cache). Not created here.
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

// A fixed back end: every value is a field the test sets; the clock moves only on Advance and
// on SleepUntil (a sleeper sees the time pass).
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
  std::int64_t sleeps = 0;  // SleepUntil calls that waited

  void SleepMs(int) override {}
  void SleepUntil(std::int64_t until) override {
    if (until <= counter) return;
    counter = until;
    ++sleeps;
  }
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

// Creates a folder and its parents with `mode` (0755, or 0700 for the game's own folders,
// which only this user may enter); true when it exists afterwards.
bool MakeFolders(const std::string& path, unsigned mode = 0755);

// A folder only this user may write in: created 0700 when missing (its parents 0755), then
// accepted only when it is a real folder (no symbolic link) owned by the user and not writable
// by group or others. False with the reason in `why` otherwise.
bool MakePrivateFolder(const std::string& path, std::string& why);

// A named single-instance lock: flock on "<runtime folder>/<name>.lock", which holds the pid
// of the holder so that a second start can ask it to show its window.
class InstanceLock {
 public:
  enum class Result {
    Acquired,  // this process holds the lock
    Held,      // another process holds it: the program runs already
    Failed,    // the lock could not be made (Error() says why); the caller goes on without it
  };

  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  Result Acquire(const std::string& name);
  void Release();
  // Why the last Acquire failed.
  const std::string& Error() const { return m_Error; }
  // After Held: asks the holder to raise its window; false when its pid is unknown.
  bool AskHolderToShow();

 private:
  int m_Fd = -1;
  std::string m_Path;
  std::string m_Error;
};

// Converts UTF-8 text to windows-1252; characters with no code in the page are dropped.
std::string Utf8ToCp1252(const std::string& utf8);
// Converts windows-1252 text to UTF-8.
std::string Cp1252ToUtf8(const std::string& text);
// Code point of one windows-1252 byte, and the byte of a code point (0 when none).
std::uint32_t Cp1252ToCodePoint(unsigned char c);
unsigned char CodePointToCp1252(std::uint32_t cp);

// Termination requests (SIGTERM, SIGINT) are caught and turned into a window close; a show
// request (SIGUSR1, sent by a second start) raises the window.
void InstallTerminationHandlers();
bool TerminationRequested();
void ClearTerminationRequest();
// True once per show request received since the last call.
bool TakeShowRequest();

// Gives the memory the heap keeps free back to the system (after a stage that freed much,
// such as loading).
void ReleaseFreeMemory();

}  // namespace plat
