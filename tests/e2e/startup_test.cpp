// The real program on the offscreen video driver with its own data and runtime folders.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

using vektest::ChildProcess;

TEST(Startup, SingleInstanceCleanShutdownAndLogOrder) {
  vektest::TempDir tmp;
  const std::vector<std::string> env = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy",
                                        "XDG_DATA_HOME=" + tmp.path() + "/data",
                                        "XDG_RUNTIME_DIR=" + tmp.path()};
  const std::string logPath = tmp.path() + "/data/Kelvra/Orchardia/_log.html";

  ChildProcess first;
  ASSERT_TRUE(first.Start(vektest::GameBinary(), env));
  ASSERT_TRUE(vektest::WaitFor(20.0, [&] {
    return vektest::ReadFileText(logPath).find("CreateWareManager") != std::string::npos;
  })) << vektest::ReadFileText(logPath);
  EXPECT_TRUE(first.Running());

  // A second start ends at once with 0 and leaves the first running.
  ChildProcess second;
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(second.Start(vektest::GameBinary(), env));
  EXPECT_EQ(second.Wait(10.0), 0);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 5.0);
  EXPECT_TRUE(first.Running());

  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(20.0), 0);

  const std::string log = vektest::ReadFileText(logPath);
  const char* order[] = {"User name: ",
                         "System paths:",
                         "Enum current display settings: ",
                         "Enum all graphics modes... Ok",
                         "Registering Class... Ok",
                         "System Information",
                         "CreateWindow Started...",
                         "CreateWindowEx... Ok",
                         "Resizing GUI... Ok",
                         "System Information",
                         "CreateWareManager: </span><span class='text'>Ok",
                         "DestroyWindow... Ok",
                         "Restore display settings",
                         "</p></body>"};
  size_t pos = 0;
  for (const char* line : order) {
    const size_t at = log.find(line, pos);
    ASSERT_NE(at, std::string::npos) << "missing after " << pos << ": " << line << "\n" << log;
    pos = at + 1;
  }
}

}  // namespace

namespace {

TEST(Startup, NoWindowEndsWithOne) {
  // The dummy video driver has no GL: the window cannot be made, the game never starts.
  vektest::TempDir tmp;
  vektest::ChildProcess p;
  ASSERT_TRUE(p.Start(vektest::GameBinary(),
                      {"SDL_VIDEODRIVER=dummy", "XDG_DATA_HOME=" + tmp.path() + "/data",
                       "XDG_RUNTIME_DIR=" + tmp.path()}));
  EXPECT_EQ(p.Wait(20.0), 1);
  const std::string log =
      vektest::ReadFileText(tmp.path() + "/data/Kelvra/Orchardia/_log.html");
  EXPECT_NE(log.find("CreateWindowEx failed!"), std::string::npos);
  EXPECT_EQ(log.find("CreateWareManager"), std::string::npos);
  EXPECT_NE(log.find("</html>"), std::string::npos);
}

}  // namespace
