// Time from the program's start to its main menu, the real program on the offscreen video
// driver with dummy audio: the whole road and its stages (start-up, splash, loading, the
// end of loading), each taken when its line reaches the log. The splash's slide times and the
// loading screen's pacing (an item shown in one frame, loaded at most six frames later) are
// part of the road; the counters give each stage so that the pacing can be told apart. Then the
// program stays at the main menu, paced as a player sees it: the share of a core it takes
// there (every thread, from /proc), its resident memory and the most it was resident.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kMenuSeconds = 5.0;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string GameBinary() {
  char buf[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return (fs::path(std::string(buf, n > 0 ? static_cast<size_t>(n) : 0)).parent_path().parent_path() / "bin" / "orchardia")
      .string();
}

// utime + stime of the process, in seconds.
double CpuSeconds(pid_t pid) {
  const std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
  // The fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0.0;
  std::istringstream in(stat.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && in >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A "Vm...:" line of /proc/<pid>/status, in MB.
double StatusMb(pid_t pid, const std::string& key) {
  std::istringstream in(ReadAll("/proc/" + std::to_string(pid) + "/status"));
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, key.size() + 1, key + ":") == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
  return 0.0;
}

void BM_StartToMainMenu(benchmark::State& state) {
  const std::string root = (fs::temp_directory_path() / "vekbench-mainmenu").string();
  const char* stages[] = {"Show splash screen...", "End splash screen", "Start loading...",
                          "Loading complete. Finish game initialization...", "Game initialization complete. Run game..."};
  double sums[5] = {};
  double menuCpu = 0.0, menuRss = 0.0, peakRss = 0.0;
  for (auto _ : state) {
    fs::remove_all(root);
    fs::create_directories(root + "/home");
    std::vector<std::string> env = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "XDG_DATA_HOME=" + root,
                                    "XDG_RUNTIME_DIR=" + root, "HOME=" + root + "/home"};
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string program = GameBinary();
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const std::string log = root + "/Kelvra/Orchardia/_log.html";

    const auto t0 = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
      state.SkipWithError("cannot start the game");
      break;
    }
    double at[5] = {};
    int next = 0;
    while (next < 5 && std::chrono::duration<double>(Clock::now() - t0).count() < 300.0) {
      const std::string text = ReadAll(log);
      while (next < 5 && text.find(stages[next]) != std::string::npos)
        at[next++] = std::chrono::duration<double>(Clock::now() - t0).count();
      usleep(2000);
    }
    state.SetIterationTime(at[4]);
    if (next == 5) {
      // The menu settles (windows fade in), then a stretch of frames at the menu.
      usleep(2000000);
      const double cpu0 = CpuSeconds(pid);
      const auto m0 = Clock::now();
      usleep(static_cast<useconds_t>(kMenuSeconds * 1e6));
      const double wall = std::chrono::duration<double>(Clock::now() - m0).count();
      menuCpu += 100.0 * (CpuSeconds(pid) - cpu0) / wall;
      menuRss += StatusMb(pid, "VmRSS");
      peakRss += StatusMb(pid, "VmHWM");
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (next < 5) {
      state.SkipWithError("the main menu was not reached");
      break;
    }
    for (int i = 0; i < 5; ++i) sums[i] += at[i];
  }
  const double n = static_cast<double>(state.iterations());
  if (n > 0) {
    state.counters["start_s"] = sums[0] / n;
    state.counters["splash_s"] = (sums[1] - sums[0]) / n;
    state.counters["loading_s"] = (sums[3] - sums[2]) / n;
    state.counters["finish_s"] = (sums[4] - sums[3]) / n;
    state.counters["menu_cpu_pct"] = menuCpu / n;
    state.counters["menu_rss_mb"] = menuRss / n;
    state.counters["peak_rss_mb"] = peakRss / n;
  }
  fs::remove_all(root);
}
BENCHMARK(BM_StartToMainMenu)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
