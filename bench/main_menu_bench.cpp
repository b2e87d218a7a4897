// Time from the program's start to its main menu, the real program on the offscreen video
// driver with dummy audio: the whole road and its stages (start-up, splash, loading, the
// end of loading), each taken when its line reaches the log. The splash's slide times and the
// loading screen's pacing (an item shown in one frame, loaded at most six frames later) are
// part of the road; the counters give each stage so that the pacing can be told apart. Then the
// program stays at the main menu, paced as a player sees it: the share of a core it takes
// there (every thread, from /proc), its resident memory and the most it was resident.
//
// When the peer engine (`love`) is installed, each round also runs bench/peer: a plain
// program on it holding the game's own pictures and sounds and drawing a frame like the
// main menu's, paced alike, measured the same way on the same driver; the counters then
// give the peer's figures and the game's as a share of them (cpu_ratio, rss_ratio,
// peak_ratio).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
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

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

// The peer engine's program, from PATH; empty when it is not installed.
std::string PeerProgram() {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && access((dir + "/love").c_str(), X_OK) == 0) return dir + "/love";
  return {};
}

struct PeerFigures {
  double cpu = 0.0, rss = 0.0, peak = 0.0;
  bool ok = false;
};

// Runs the peer program over the game's data: `settle` seconds to load and settle, then the
// share of a core it takes over kMenuSeconds, its resident memory and its peak.
PeerFigures MeasurePeer(const std::string& love, const std::string& root) {
  PeerFigures f;
  const std::string list = root + "/peer_list.txt";
  {
    std::ofstream out(list);
    for (const auto& e : fs::recursive_directory_iterator(std::string(VEK_BIN_DIR) + "/data")) {
      const std::string ext = e.path().extension().string();
      if (e.is_regular_file() && (ext == ".png" || ext == ".jpg" || ext == ".wav")) out << e.path().string() << "\n";
    }
  }
  std::vector<std::string> env = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "ALSOFT_DRIVERS=null",
                                  "PEER_LIST=" + list, "HOME=" + root + "/home", "XDG_DATA_HOME=" + root};
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  std::vector<std::string> args = {love, std::string(VEK_SOURCE_DIR) + "/bench/peer"};
  std::vector<char*> envp = Pointers(env), argv = Pointers(args);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, love.c_str(), &quiet, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return f;
  usleep(8000000);  // loading the pictures and sounds, then settling
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == 0) {
    const double cpu0 = CpuSeconds(pid);
    const auto m0 = Clock::now();
    usleep(static_cast<useconds_t>(kMenuSeconds * 1e6));
    const double wall = std::chrono::duration<double>(Clock::now() - m0).count();
    f.cpu = 100.0 * (CpuSeconds(pid) - cpu0) / wall;
    f.rss = StatusMb(pid, "VmRSS");
    f.peak = StatusMb(pid, "VmHWM");
    f.ok = f.rss > 0.0;
    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
  }
  return f;
}

void BM_StartToMainMenu(benchmark::State& state) {
  const std::string root = (fs::temp_directory_path() / "vekbench-mainmenu").string();
  const char* stages[] = {"Show splash screen...", "End splash screen", "Start loading...",
                          "Loading complete. Finish game initialization...", "Game initialization complete. Run game..."};
  double sums[5] = {};
  double menuCpu = 0.0, menuRss = 0.0, peakRss = 0.0;
  const std::string love = PeerProgram();
  double peerCpu = 0.0, peerRss = 0.0, peerPeak = 0.0;
  int peerRounds = 0;
  for (auto _ : state) {
    fs::remove_all(root);
    fs::create_directories(root + "/home");
    std::vector<std::string> env = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "XDG_DATA_HOME=" + root,
                                    "XDG_RUNTIME_DIR=" + root, "HOME=" + root + "/home"};
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> envp = Pointers(env);
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
    // The peer's round, right after the game's, on the same machine in the same state.
    if (!love.empty()) {
      state.PauseTiming();
      const PeerFigures peer = MeasurePeer(love, root);
      state.ResumeTiming();
      if (peer.ok) {
        peerCpu += peer.cpu;
        peerRss += peer.rss;
        peerPeak += peer.peak;
        ++peerRounds;
      }
    }
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
    if (peerRounds > 0 && peerRounds == static_cast<int>(n)) {
      state.counters["peer_cpu_pct"] = peerCpu / n;
      state.counters["peer_rss_mb"] = peerRss / n;
      state.counters["peer_peak_rss_mb"] = peerPeak / n;
      state.counters["cpu_ratio"] = menuCpu / peerCpu;
      state.counters["rss_ratio"] = menuRss / peerRss;
      state.counters["peak_ratio"] = peakRss / peerPeak;
    }
  }
  fs::remove_all(root);
}
BENCHMARK(BM_StartToMainMenu)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
