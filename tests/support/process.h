#pragma once
// Runs the real program as a child process for end-to-end tests.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace vektest {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();  // kills a child still running
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts the program with the current environment plus the given "NAME=value" entries; an
  // entry without "=" removes that variable. `args` follow the program's name.
  bool Start(const std::string& program, const std::vector<std::string>& env,
             const std::vector<std::string>& args = {});
  // Before Start: the file that receives the child's stderr, and the folder it starts in.
  void SetStderrFile(const std::string& path) { m_Stderr = path; }
  void SetWorkingFolder(const std::string& path) { m_Folder = path; }
  bool Running();
  // Waits up to the given time; the exit code, or -1 (still running or killed by a signal).
  int Wait(double seconds);
  void Signal(int sig);
  pid_t pid() const { return m_Pid; }

 private:
  pid_t m_Pid = -1;
  std::string m_Stderr;
  std::string m_Folder;
  int m_Status = -1;
  bool m_Done = false;
};

// The game built beside the tests.
std::string GameBinary();
// The environment of the real program started by a test: headless, silent, every folder of its
// own under `root`, and its test queries on the socket `socket` (none when empty).
std::vector<std::string> GameEnv(const std::string& root, const std::string& socket);
// The factor on the tests' time limits: VEK_TEST_TIME_SCALE from the environment (ctest sets it
// from the build's configuration: more than 1 on a small or loaded machine), 1 when unset.
double TimeScale();
// Polls until the predicate holds or the time runs out; the time grows by TimeScale(), as
// every wait on the real program does.
bool WaitFor(double seconds, const std::function<bool()>& predicate);

}  // namespace vektest
