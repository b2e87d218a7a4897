#include "tests/support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace vektest {

ChildProcess::~ChildProcess() {
  if (Running()) {
    ::kill(m_Pid, SIGKILL);
    Wait(5.0);
  }
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& env) {
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
  std::string prog = program;
  char* argv[] = {prog.data(), nullptr};
  m_Done = false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!m_Stderr.empty())
    posix_spawn_file_actions_addopen(&actions, 2, m_Stderr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!m_Folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, m_Folder.c_str());
  const bool started = ::posix_spawn(&m_Pid, program.c_str(), &actions, nullptr, argv, envp.data()) == 0;
  posix_spawn_file_actions_destroy(&actions);
  return started;
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

bool WaitFor(double seconds, const std::function<bool()>& predicate) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (predicate()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return predicate();
}

}  // namespace vektest
