// The real program played as a player plays it: only input events through its window, the
// places to click asked of the running game (its test queries), screenshots of every stage
// under build/screenshots/. A fresh install makes its profile and reaches the main menu; a run
// killed without warning starts again with the last completed save, and Exit ends the game.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class Playthrough : public ::testing::Test {
 protected:
  void TearDown() override {
    if (m_Socket >= 0) close(m_Socket);
  }
  std::string AppDir() const { return tmp.path() + "/data/Kelvra/Orchardia"; }
  std::string Log() const { return vektest::ReadFileText(AppDir() + "/_log.html"); }
  std::string Socket() const { return tmp.path() + "/q.sock"; }

  // Starts the game and connects to its test queries once the main menu's road is over.
  void Start() {
    std::error_code ignored;
    fs::remove(AppDir() + "/_log.html", ignored);
    if (m_Socket >= 0) close(m_Socket);
    m_Socket = -1;
    ASSERT_TRUE(game.Start(vektest::GameBinary(),
                           {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "XDG_DATA_HOME=" + tmp.path() + "/data",
                            "XDG_RUNTIME_DIR=" + tmp.path(), "HOME=" + tmp.path() + "/home",
                            "XDG_CONFIG_HOME=" + tmp.path() + "/config", "ORCHARDIA_TEST_QUERY=" + Socket()}));
    ASSERT_TRUE(vektest::WaitFor(240.0, [&] { return Log().find("Run game...") != std::string::npos; })) << Log();
    m_Socket = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", Socket().c_str());
    ASSERT_EQ(connect(m_Socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << Socket();
  }

  // One question, one line of answer.
  std::string Ask(const std::string& line) {
    const std::string out = line + "\n";
    if (write(m_Socket, out.data(), out.size()) < 0) return "error: write";
    std::string reply;
    char c = 0;
    while (read(m_Socket, &c, 1) == 1 && c != '\n') reply += c;
    return reply;
  }
  bool Shown(const std::string& window) {
    std::istringstream in(Ask("shown"));
    for (std::string w; in >> w;)
      if (w == window) return true;
    return false;
  }
  bool WaitShown(const std::string& window, double seconds = 60.0) {
    return vektest::WaitFor(seconds, [&] { return Shown(window); });
  }
  // A click in the middle of the named control, found by asking.
  void Click(const std::string& window, const std::string& control) {
    std::istringstream in(Ask("rect " + window + " " + control));
    std::string ok;
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(in >> ok >> x >> y >> w >> h && ok == "ok") << window << "." << control << " " << Ask("shown");
    EXPECT_EQ(Ask("click " + std::to_string(x + w / 2) + " " + std::to_string(y + h / 2)), "ok");
  }
  std::string Tree() const {
    std::string out;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(AppDir(), ec)) out += e.path().string() + "\n";
    return out;
  }
  // The profile file of the first player; empty when there is none.
  std::string ProfileSave() const {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(AppDir() + "/profile", ec))
      if (fs::exists(e.path() / "player.dat")) return (e.path() / "player.dat").string();
    return {};
  }
  // The frame on screen, as build/screenshots/playthrough_<stage>.png.
  void Shot(const std::string& stage) {
    const std::string desktop = tmp.path() + "/home/Desktop";
    std::error_code ignored;
    fs::remove_all(desktop, ignored);
    usleep(1000000);  // the last input drawn and the fades over
    ASSERT_EQ(Ask("shot"), "ok") << stage;
    const fs::path dir = fs::path(vektest::GameBinary()).parent_path().parent_path() / "screenshots";
    fs::create_directories(dir);
    fs::copy_file(desktop + "/vek00.png", dir / ("playthrough_" + stage + ".png"), fs::copy_options::overwrite_existing,
                  ignored);
    EXPECT_FALSE(ignored) << stage << ": " << ignored.message();
  }

  vektest::TempDir tmp;
  vektest::ChildProcess game;
  int m_Socket = -1;
};

TEST_F(Playthrough, FreshInstallToTheMainMenuThenAKilledRunStartsFromItsSave) {
  Start();
  // A fresh install asks who is playing; the new profile is made by name.
  ASSERT_TRUE(WaitShown("profile_select")) << Ask("shown");
  Shot("01_profile_select");
  Click("profile_select", "btAdd");
  ASSERT_TRUE(WaitShown("profile_add")) << Ask("shown");
  // The field offers the account's name: erased, then the player's own typed.
  for (int i = 0; i < 24; ++i) EXPECT_EQ(Ask("key Backspace"), "ok");
  EXPECT_EQ(Ask("text Ann"), "ok");
  Shot("02_profile_add");
  Click("profile_add", "ok");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_add"); })) << Ask("shown");
  Shot("03_profile_made");
  Click("profile_select", "btOk");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_select") && Shown("main"); })) << Ask("shown");
  Shot("04_main_menu");
  const std::string saved = ProfileSave();
  ASSERT_FALSE(saved.empty()) << "no profile was saved:\n" << Tree();
  const std::string before = vektest::ReadFileText(saved);

  // Killed without warning; the next start finds the profile as it was last saved.
  game.Signal(SIGKILL);
  EXPECT_EQ(game.Wait(30.0), -1);
  Start();
  EXPECT_NE(Log().find("Found 1 Player profiles"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("class='error'"), std::string::npos) << Log();
  EXPECT_EQ(vektest::ReadFileText(saved), before);
  // The profile is chosen again (the killed run may not have kept it as the last player).
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return Shown("main") || Shown("profile_select"); })) << Ask("shown");
  if (Shown("profile_select")) Click("profile_select", "btOk");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_select") && Shown("main"); })) << Ask("shown");
  Shot("05_after_kill");
  // Ended from the menu: Exit, the question answered, and the game closes with 0.
  Click("main", "btExit");
  ASSERT_TRUE(WaitShown("messagebox")) << Ask("shown");
  Shot("06_exit_question");
  Click("messagebox", "ok");
  EXPECT_EQ(game.Wait(120.0), 0) << Ask("shown");
}

}  // namespace
