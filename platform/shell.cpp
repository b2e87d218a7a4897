#include "platform/shell.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plat {

namespace {

Launcher& CurrentLauncher() {
  static Launcher launcher;
  return launcher;
}

// fork + exec with an argument vector: the address is one argument, never parsed by a shell.
// The child forks once more so that the opener is reparented and leaves no zombie behind.
bool SpawnDetached(const std::string& program, const std::string& address) {
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    if (fork() != 0) _exit(0);
    const int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, STDIN_FILENO);
      dup2(devnull, STDOUT_FILENO);
      dup2(devnull, STDERR_FILENO);
    }
    char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(address.c_str()), nullptr};
    execvp(program.c_str(), argv);
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool IsWebAddress(const std::string& address) {
  size_t prefix = 0;
  if (address.rfind("http://", 0) == 0)
    prefix = 7;
  else if (address.rfind("https://", 0) == 0)
    prefix = 8;
  else
    return false;
  if (address.size() <= prefix) return false;
  for (unsigned char c : address) {
    if (c <= ' ' || c == 0x7F || c == '"' || c == '\'' || c == '\\' || c == '`') return false;
  }
  return true;
}

bool OpenWebAddress(const std::string& address) {
  if (!IsWebAddress(address)) return false;
  if (CurrentLauncher()) return CurrentLauncher()("xdg-open", address);
  return SpawnDetached("xdg-open", address);
}

void SetLauncher(Launcher launcher) { CurrentLauncher() = std::move(launcher); }

}  // namespace plat
