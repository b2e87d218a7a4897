#include "tests/support/process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace vektest {

ChildProcess::~ChildProcess() {
  if (Running()) {
    ::kill(m_Pid, SIGKILL);
    Wait(5.0);
  }
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& env,
                         const std::vector<std::string>& args) {
  std::vector<std::string> vars;
  for (char** e = environ; *e; ++e) vars.emplace_back(*e);
  for (const std::string& v : env) {
    const bool unset = v.find('=') == std::string::npos;
    const std::string name = unset ? v + "=" : v.substr(0, v.find('=') + 1);
    std::erase_if(vars, [&](const std::string& x) { return x.compare(0, name.size(), name) == 0; });
    if (!unset) vars.push_back(v);
  }
  std::vector<char*> envp;
  for (std::string& v : vars) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  m_Done = false;
  // Everything the child needs is made before the fork: after it the child only makes calls
  // that are safe there.
  const char* errPath = m_Stderr.empty() ? nullptr : m_Stderr.c_str();
  const char* folder = m_Folder.empty() ? nullptr : m_Folder.c_str();
  const pid_t parent = ::getpid();
  // A pipe closed by a successful exec: the child writes its errno into it when the exec fails.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (pid == 0) {
    // The program dies with the test: a test killed on a timeout or by a crash leaves no game
    // running (and drawing flat out) behind it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    ::close(report[0]);
    if (errPath) {
      const int fd = ::open(errPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0 && fd != 2) {
        ::dup2(fd, 2);
        ::close(fd);
      }
    }
    if (!folder || ::chdir(folder) == 0) ::execve(argv[0], argv.data(), envp.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  int error = 0;
  ssize_t got = 0;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  m_Pid = pid;
  if (got > 0) {
    // The program could not be started: the child is reaped here.
    Wait(5.0);
    m_Pid = 0;
    return false;
  }
  return true;
}

bool ChildProcess::Running() {
  if (m_Pid <= 0 || m_Done) return false;
  int status = 0;
  pid_t r = ::waitpid(m_Pid, &status, WNOHANG);
  if (r == m_Pid) {
    m_Done = true;
    m_Status = status;
    return false;
  }
  return r == 0;
}

int ChildProcess::Wait(double seconds) {
  WaitFor(seconds, [&] { return !Running(); });
  if (!m_Done) return -1;
  return WIFEXITED(m_Status) ? WEXITSTATUS(m_Status) : -1;
}

void ChildProcess::Signal(int sig) {
  if (Running()) ::kill(m_Pid, sig);
}

std::string GameBinary() { return std::string(VEK_TEST_BIN_DIR) + "/orchardia"; }

std::vector<std::string> GameEnv(const std::string& root, const std::string& socket) {
  std::vector<std::string> env = {"SDL_VIDEODRIVER=offscreen",      "SDL_AUDIODRIVER=dummy",
                                  "XDG_DATA_HOME=" + root + "/data", "XDG_CONFIG_HOME=" + root + "/config",
                                  "XDG_RUNTIME_DIR=" + root,         "HOME=" + root + "/home"};
  if (!socket.empty()) env.push_back("ORCHARDIA_TEST_QUERY=" + socket);
  return env;
}

double TimeScale() {
  static const double scale = [] {
    const char* text = std::getenv("VEK_TEST_TIME_SCALE");
    const double value = text ? std::strtod(text, nullptr) : 1.0;
    return value >= 1.0 && value <= 100.0 ? value : 1.0;
  }();
  return scale;
}

bool WaitFor(double seconds, const std::function<bool()>& predicate) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds * TimeScale());
  while (std::chrono::steady_clock::now() < end) {
    if (predicate()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return predicate();
}

}  // namespace vektest
