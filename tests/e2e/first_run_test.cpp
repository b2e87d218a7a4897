// The real program the way a new player meets it: no display (or one that does not answer), no
// sound card, a second start, an unusable lock folder, the menu's cost in CPU time, and the
// installed layout after the play build.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

using vektest::ChildProcess;
using vektest::ReadFileText;

const char* const kNoDisplay =
    "no display: set DISPLAY or WAYLAND_DISPLAY, or SDL_VIDEODRIVER=offscreen for a headless run\n";

// The folders of one player: data (with the log) and runtime under a temporary folder.
std::vector<std::string> PlayerEnv(const vektest::TempDir& tmp) {
  return {"XDG_DATA_HOME=" + tmp.path() + "/data", "XDG_RUNTIME_DIR=" + tmp.path() + "/run",
          "XDG_CACHE_HOME=" + tmp.path() + "/cache", "HOME=" + tmp.path()};
}

// Starts the program as that player with `extra` entries on top, its stderr into tmp/<errFile>.
void StartAs(ChildProcess& p, const vektest::TempDir& tmp, const std::vector<std::string>& extra,
             const std::string& errFile, const std::string& program = vektest::GameBinary()) {
  auto env = PlayerEnv(tmp);
  env.insert(env.end(), extra.begin(), extra.end());
  p.SetStderrFile(tmp / errFile);
  ASSERT_TRUE(p.Start(program, env));
}

std::string LogOf(const vektest::TempDir& tmp) {
  return ReadFileText(tmp.path() + "/data/Kelvra/Orchardia/_log.html");
}

bool ReachesTheGame(const vektest::TempDir& tmp) {
  return vektest::WaitFor(30.0, [&] { return LogOf(tmp).find("CreateWareManager") != std::string::npos; });
}

// User plus system CPU time of a process, in seconds.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string f;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::stoll(f);
    if (i == 15) stime = std::stoll(f);
  }
  return double(utime + stime) / double(::sysconf(_SC_CLK_TCK));
}

// A display number no X server answers on.
std::string DeadDisplay() {
  for (int n = 231;; ++n)
    if (!std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n))) return ":" + std::to_string(n);
}

TEST(FirstRun, NoDisplayIsOneLineOnStderrAndExitOne) {
  const std::string dead = DeadDisplay();
  struct Case {
    std::vector<std::string> env;
    std::string expected;  // the start of the one line
  };
  const Case cases[] = {
      {{"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}, kNoDisplay},
      // A display named but not answering: that display, and SDL's reason.
      {{"DISPLAY=" + dead, "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"},
       "cannot open the display \"" + dead + "\" named by DISPLAY (SDL: "},
  };
  for (const Case& c : cases) {
    vektest::TempDir tmp;
    ChildProcess p;
    const auto t0 = std::chrono::steady_clock::now();
    StartAs(p, tmp, c.env, "stderr.txt");
    EXPECT_EQ(p.Wait(20.0), 1);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 5.0 * vektest::TimeScale());
    const std::string err = ReadFileText(tmp / "stderr.txt");
    EXPECT_EQ(err.rfind(c.expected, 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    const std::string log = LogOf(tmp);
    EXPECT_NE(log.find(c.expected.substr(0, 20)), std::string::npos) << log;
    EXPECT_NE(log.find("</html>"), std::string::npos);
  }
}

// On the offscreen driver with the real audio back end: the machines that run the tests have no
// sound card, which is the case that printed the sound library's complaints.
TEST(FirstRun, QuietPacedMenuAndSecondStart) {
  vektest::TempDir tmp;
  const std::vector<std::string> env = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER"};
  ChildProcess first;
  StartAs(first, tmp, env, "first.txt");
  ASSERT_TRUE(ReachesTheGame(tmp)) << LogOf(tmp);

  // Two seconds of the first screen stay well below what an unpaced loop burns (four cores and
  // more here): the splash is a full-screen picture that the software renderer fills 60 times a
  // second, about one core on its own. The frame rate itself is checked by the pacing GL test.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const double cpu0 = CpuSeconds(first.pid());
  const auto t0 = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const double share = (CpuSeconds(first.pid()) - cpu0) /
                       std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(share, 2.0) << "share of one core";

  ChildProcess second;
  StartAs(second, tmp, env, "second.txt");
  EXPECT_EQ(second.Wait(10.0), 0);
  EXPECT_EQ(ReadFileText(tmp / "second.txt"), "already running\n");
  EXPECT_TRUE(first.Running());

  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(20.0), 0);
  const std::string err = ReadFileText(tmp / "first.txt");
  EXPECT_EQ(err.find("ALSA"), std::string::npos) << err;
  // The reason stays in the log.
  const std::string cards = ReadFileText("/proc/asound/cards");
  if (cards.empty() || cards.find("no soundcards") != std::string::npos) {
    EXPECT_NE(LogOf(tmp).find("the game runs silent"), std::string::npos);
  }
}

TEST(FirstRun, UnusableLockFolderIsReportedAndTheGameStarts) {
  vektest::TempDir tmp;
  ChildProcess p;
  StartAs(p, tmp, {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "XDG_RUNTIME_DIR=/proc"},
          "stderr.txt");
  ASSERT_TRUE(ReachesTheGame(tmp)) << LogOf(tmp);
  p.Signal(SIGTERM);
  EXPECT_EQ(p.Wait(20.0), 0);
  const std::string err = ReadFileText(tmp / "stderr.txt");
  EXPECT_NE(err.find("cannot create the instance lock /proc/GardenMutex.lock"), std::string::npos) << err;
  EXPECT_NE(err.find("starting without the single-instance lock"), std::string::npos) << err;
  EXPECT_NE(LogOf(tmp).find("cannot create the instance lock /proc/GardenMutex.lock"), std::string::npos);
}

// Width and height of a PNG file from its header; 0 x 0 when it is not one.
std::pair<int, int> PngSize(const std::string& path) {
  const std::string s = ReadFileText(path);
  if (s.size() < 24 || s.compare(1, 3, "PNG") != 0) return {0, 0};
  auto be = [&](size_t at) {
    return (int((unsigned char)s[at]) << 24) | (int((unsigned char)s[at + 1]) << 16) |
           (int((unsigned char)s[at + 2]) << 8) | int((unsigned char)s[at + 3]);
  };
  return {be(16), be(20)};
}

// The targets `.ci/play` builds: the words after "--target" on its build line.
std::vector<std::string> PlayTargets() {
  std::istringstream play(ReadFileText(VEK_SOURCE_DIR "/.ci/play"));
  std::vector<std::string> targets;
  for (std::string line; std::getline(play, line);) {
    const size_t at = line.find("--target ");
    if (line.rfind("cmake --build", 0) != 0 || at == std::string::npos) continue;
    std::istringstream words(line.substr(at + 9));
    for (std::string w; words >> w;) targets.push_back(w);
  }
  return targets;
}

// The README's way: `bash .ci/play` builds, `cmake --install build --prefix ...` installs. The
// parts only installing needs (the icons) are taken away first, so the play build must make
// them again; the installed program then starts from another folder and reads its own data.
TEST(FirstRun, InstalledProgramFindsItsDataFromAnyFolder) {
  vektest::TempDir tmp;
  const std::vector<std::string> targets = PlayTargets();
  ASSERT_FALSE(targets.empty()) << "no build line with --target in .ci/play";
  std::string build = std::string("'") + VEK_CMAKE_COMMAND + "' --build '" + VEK_BUILD_DIR + "' --target";
  for (const std::string& t : targets) build += " " + t;
  std::filesystem::remove_all(std::string(VEK_BUILD_DIR) + "/icons");
  ASSERT_EQ(std::system((build + " > '" + tmp.path() + "/build.txt' 2>&1").c_str()), 0) << ReadFileText(tmp / "build.txt");

  const std::string prefix = tmp / "prefix";
  const std::string cmd = std::string("'") + VEK_CMAKE_COMMAND + "' --install '" + VEK_BUILD_DIR +
                          "' --prefix '" + prefix + "' > '" + tmp.path() + "/install.txt' 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadFileText(tmp / "install.txt");

  namespace fs = std::filesystem;
  EXPECT_TRUE(fs::is_regular_file(prefix + "/bin/orchardia"));
  // The whole data folder of the build, file for file.
  const fs::path built = fs::path(VEK_TEST_BIN_DIR) / "data";
  int files = 0;
  for (const auto& f : fs::recursive_directory_iterator(built)) {
    if (!f.is_regular_file()) continue;
    ++files;
    EXPECT_TRUE(fs::is_regular_file(prefix + "/share/orchardia/data/" + fs::relative(f.path(), built).string()))
        << f.path();
  }
  EXPECT_GT(files, 0);
  const std::string entry = ReadFileText(prefix + "/share/applications/orchardia.desktop");
  for (const char* line : {"[Desktop Entry]\n", "\nType=Application\n", "\nName=Orchardia\n",
                           "\nExec=orchardia\n", "\nIcon=orchardia\n", "\nCategories=Game;"}) {
    EXPECT_NE(entry.find(line), std::string::npos) << line;
  }
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string png = prefix + "/share/icons/hicolor/" + std::to_string(size) + "x" +
                            std::to_string(size) + "/apps/orchardia.png";
    EXPECT_EQ(PngSize(png), std::make_pair(size, size)) << png;
  }
  EXPECT_TRUE(fs::is_regular_file(prefix + "/share/icons/hicolor/scalable/apps/orchardia.svg"));
  // The desktop entry passes Debian's validator (desktop-file-utils, a test tool).
  const std::string validate = "desktop-file-validate '" + prefix + "/share/applications/orchardia.desktop' > '" +
                               tmp.path() + "/validate.txt' 2>&1";
  EXPECT_EQ(std::system(validate.c_str()), 0)
      << ReadFileText(tmp / "validate.txt") << "(desktop-file-validate comes with bash .ci/install test)";
  EXPECT_EQ(ReadFileText(tmp / "validate.txt"), "");

  // Started from an unrelated folder, the installed program reads the installed data.
  ASSERT_TRUE(fs::create_directory(tmp / "elsewhere"));
  ChildProcess p;
  p.SetWorkingFolder(tmp / "elsewhere");
  StartAs(p, tmp, {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"}, "stderr.txt",
          prefix + "/bin/orchardia");
  ASSERT_TRUE(ReachesTheGame(tmp)) << LogOf(tmp);
  p.Signal(SIGTERM);
  EXPECT_EQ(p.Wait(20.0), 0);
  const std::string log = LogOf(tmp);
  EXPECT_NE(log.find("{StaticPath} = " + prefix + "/share/orchardia/data"), std::string::npos) << log;
  EXPECT_EQ(log.find("class='error'"), std::string::npos) << log;
  // Nothing is made in the home folder but the game's own folders: no desktop folder, in any
  // spelling, until a screenshot is saved there.
  EXPECT_FALSE(fs::exists(tmp / "Desktop"));
  EXPECT_FALSE(fs::exists(tmp / "desktop"));
}

}  // namespace

namespace {

// The package script with stand-ins for the system's tools: a user who is not root, a package
// database where the listed packages are missing, a sudo that marks where it would ask, and an
// apt-get that prints a progress line.
TEST(FirstRun, InstallScriptSaysWhatAndWhyBeforeAskingForAPassword) {
  vektest::TempDir tmp;
  const std::string bin = tmp / "bin";
  ASSERT_TRUE(std::filesystem::create_directory(bin));
  const std::pair<const char*, const char*> stubs[] = {
      {"id", "#!/bin/sh\necho 1000\n"},
      {"dpkg-query",
       "#!/bin/sh\nfor p in $MISSING; do [ \"$p\" = \"$3\" ] && exit 1; done\n"
       "printf 'install ok installed'\n"},
      {"sudo", "#!/bin/sh\necho \"PASSWORD PROMPT\"\nshift 2\nexec \"$@\"\n"},
      {"apt-get", "#!/bin/sh\necho \"apt-get $*\"\necho \"Get:1 progress line\"\n"},
  };
  for (const auto& [name, text] : stubs) {
    ASSERT_TRUE(vektest::WriteFileText(bin + "/" + name, text));
    ASSERT_EQ(::chmod((bin + "/" + name).c_str(), 0755), 0);
  }
  struct Case {
    const char* set;  // the argument: what the packages are for
    const char* missing;
    const char* expected;  // the whole output
  };
  const Case cases[] = {
      {"test", "", "install: all packages present\n"},
      // Playing needs none of the test tools.
      {"play", "clang libgtest-dev xvfb", "install: all packages present\n"},
      {"", "libsdl2-dev clang", "install: 1 Debian package(s) needed to build and run Orchardia are missing: libsdl2-dev\n"
       "install: apt-get runs through sudo, which may ask for your password\n"
       "install: updating the package lists\n"
       "PASSWORD PROMPT\n"
       "apt-get update\n"
       "Get:1 progress line\n"
       "install: installing libsdl2-dev\n"
       "PASSWORD PROMPT\n"
       "apt-get install -y --no-install-recommends libsdl2-dev\n"
       "Get:1 progress line\n"
       "install: done\n"},
      {"test", "libxmp-dev zip",
       "install: 2 Debian package(s) needed to build and test Orchardia are missing: libxmp-dev zip\n"
       "install: apt-get runs through sudo, which may ask for your password\n"
       "install: updating the package lists\n"
       "PASSWORD PROMPT\n"
       "apt-get update\n"
       "Get:1 progress line\n"
       "install: installing libxmp-dev zip\n"
       "PASSWORD PROMPT\n"
       "apt-get install -y --no-install-recommends libxmp-dev zip\n"
       "Get:1 progress line\n"
       "install: done\n"},
  };
  for (const Case& c : cases) {
    const std::string cmd = "MISSING='" + std::string(c.missing) + "' PATH='" + bin + ":" +
                            std::getenv("PATH") + "' bash '" VEK_SOURCE_DIR "/.ci/install' " + c.set + " > '" +
                            tmp.path() + "/out.txt' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << c.missing;
    EXPECT_EQ(ReadFileText(tmp / "out.txt"), c.expected) << c.missing;
  }
}

}  // namespace
