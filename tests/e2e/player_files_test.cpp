// The real program with hostile files where the player's files belong: FIFOs named like the
// profile's files and their temporaries, a profile that is a link to /dev/zero, a sparse file
// of 3 GB, a dangling link where a temporary is written and a settings folder every user may
// write into. The game starts, tells the player about the files it kept aside, and ends
// quickly on SIGTERM without having written through any of them. The screen is saved as
// build/screenshots/files_*.png.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "engine/core/path_tokens.h"
#include "game/app/player.h"
#include "tests/support/fifo_rescue.h"
#include "tests/support/game_queries.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class PlayerFiles : public ::testing::Test {
 protected:
  std::vector<std::string> Env() const { return vektest::GameEnv(tmp.path(), tmp.path() + "/q.sock"); }
  std::string AppDir() const { return tmp.path() + "/data/Kelvra/Orchardia"; }
  std::string Log() const { return vektest::ReadFileText(AppDir() + "/_log.html"); }
  std::string LogTail() const {
    const std::string log = Log();
    return log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
  }
  static std::string Html(const std::string& text) {
    std::string out;
    for (char ch : text) out += ch == '\'' ? std::string("&#39;") : std::string(1, ch);
    return out;
  }
  static bool IsA(const std::string& path, mode_t type) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
  }

  vektest::TempDir tmp;
  vektest::GameQueries q;
};

TEST_F(PlayerFiles, SpecialFilesAndLinksNeitherHangNorAreWrittenThrough) {
  const std::string profile = AppDir() + "/profile/";
  const std::string outside = tmp / "outside.dat";
  vek::SetPathToken(vek::e_AppPath, AppDir());
  for (const char* folder : {"plr000", "plr001", "plr002"}) {
    cPlayer player(folder);
    player.GetName() = folder == std::string("plr000") ? "Ann" : folder;
    ASSERT_TRUE(player.WriteProfile());
  }
  std::vector<std::string> fifos;
  for (const char* f : {"plr000/save.dat", "plr001/player.dat"}) {
    fifos.push_back(profile + f);
    ::unlink(fifos.back().c_str());
    ASSERT_EQ(::mkfifo(fifos.back().c_str(), 0600), 0) << f;
  }
  fifos.push_back(AppDir() + "/conf/highscore.dat.tmp");
  fs::create_directories(AppDir() + "/conf");
  ASSERT_EQ(::mkfifo(fifos.back().c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/dev/zero", (profile + "plr000/level.dat").c_str()), 0);
  {
    const int fd = ::open((profile + "plr002/player.dat").c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t(3) << 30), 0);
    ::close(fd);
  }
  ASSERT_EQ(::chmod((AppDir() + "/conf").c_str(), 0777), 0);
  // A reader or writer that still waited on a FIFO would come free after 3 s: slow, and caught.
  std::vector<std::unique_ptr<vektest::FifoRescue>> rescues;
  for (const auto& f : fifos) rescues.push_back(std::make_unique<vektest::FifoRescue>(f));

  vektest::ChildProcess game;
  game.SetStderrFile(tmp / "stderr.txt");
  ASSERT_TRUE(game.Start(vektest::GameBinary(), Env()));
  ASSERT_TRUE(q.Connect(tmp.path() + "/q.sock", 120.0)) << LogTail();
  ASSERT_EQ(q.Ask("clock steps"), "ok");
  ASSERT_TRUE(q.SkipSplash()) << q.Ask("focus") << "\n" << LogTail();
  ASSERT_TRUE(vektest::WaitFor(270.0, [&] {
    return Log().find("Game initialization complete. Run game...") != std::string::npos;
  })) << LogTail();
  // No reader waited on a FIFO (the readers are timed one by one in the unit tests).
  for (const auto& r : rescues) EXPECT_FALSE(r->Rescued());
  const std::string log = Log();
  EXPECT_NE(log.find("Found 1 Player profiles"), std::string::npos) << log;
  for (const std::string& refused :
       {profile + "plr001/player.dat' not a regular file", profile + "plr002/player.dat' too large",
        profile + "plr000/save.dat' not a regular file", profile + "plr000/level.dat' not a regular file"})
    EXPECT_NE(log.find(Html(refused)), std::string::npos) << refused << "\n" << log;
  EXPECT_NE(log.find("conf can be written by every user"), std::string::npos);

  // The player hears of it: the message box says what happened, one notice after the other.
  auto readBox = [&] {
    std::string said;
    for (int i = 0; i < 5; ++i) {
      const std::string line = q.Ask("label messagebox line" + std::to_string(i));
      if (line.rfind("ok ", 0) == 0) said += line.substr(3) + " ";
    }
    return said;
  };
  ASSERT_TRUE(q.WaitShown("messagebox")) << q.Ask("shown");
  ASSERT_TRUE(q.WaitSettled());
  std::string said = readBox();
  EXPECT_NE(said.find("player is left out"), std::string::npos) << said;
  ASSERT_TRUE(q.Shot(tmp.path() + "/home/Desktop", "files_1_profile_notice")) << LogTail();
  ASSERT_TRUE(q.Click("messagebox", "ok"));
  ASSERT_TRUE(q.WaitGone("messagebox")) << q.Ask("shown");
  // The next notice waits for the next screen: the options.
  ASSERT_TRUE(q.Click("main", "btOptions")) << q.Ask("shown");
  ASSERT_TRUE(q.WaitShown("options")) << q.Ask("shown");
  ASSERT_TRUE(q.WaitShown("messagebox")) << q.Ask("shown");
  ASSERT_TRUE(q.WaitSettled());
  said = readBox();
  EXPECT_NE(said.find("can't be read"), std::string::npos) << said;
  EXPECT_NE(said.find(".damaged"), std::string::npos) << said;
  ASSERT_TRUE(q.Shot(tmp.path() + "/home/Desktop", "files_2_damaged_notice")) << LogTail();
  ASSERT_TRUE(q.Click("messagebox", "ok"));
  ASSERT_TRUE(q.WaitGone("messagebox")) << q.Ask("shown");
  ASSERT_TRUE(q.Click("options", "btBack")) << q.Ask("shown");
  ASSERT_TRUE(q.WaitGone("options")) << q.Ask("shown");

  // The exit saves the profiles and the high scores: planted now, the FIFOs and links where
  // their temporaries go are replaced without waiting on them or writing through them.
  for (const char* f : {"plr000/player.dat.new", "plr000/save.commit.new", "plr000/save.dat.old"}) {
    fifos.push_back(profile + f);
    ASSERT_EQ(::mkfifo(fifos.back().c_str(), 0600), 0) << f;
    rescues.push_back(std::make_unique<vektest::FifoRescue>(fifos.back()));
  }
  for (const char* f : {"plr000/save.dat.new", "plr000/player.dat.old"})
    ASSERT_EQ(::symlink(outside.c_str(), (profile + f).c_str()), 0) << f;
  const auto stop = Clock::now();
  game.Signal(SIGTERM);
  EXPECT_EQ(game.Wait(180.0), 0) << LogTail();
  const double exitSeconds = std::chrono::duration<double>(Clock::now() - stop).count();
  EXPECT_LT(exitSeconds, 2.0);
  for (const auto& r : rescues) EXPECT_FALSE(r->Rescued());
  rescues.clear();
  EXPECT_NE(Log().find("</html>"), std::string::npos);

  // Kept aside, not lost; nothing created outside; the new save is whole and regular.
  EXPECT_TRUE(IsA(profile + "plr001/player.dat", S_IFIFO));
  EXPECT_TRUE(IsA(profile + "plr002/player.dat", S_IFREG));
  EXPECT_TRUE(IsA(profile + "plr000/save.dat.damaged", S_IFIFO));
  EXPECT_TRUE(IsA(profile + "plr000/level.dat.damaged", S_IFLNK));
  EXPECT_FALSE(fs::exists(outside));
  EXPECT_TRUE(IsA(profile + "plr000/player.dat", S_IFREG));
  EXPECT_NE(vektest::ReadFileText(profile + "plr000/player.dat").find("Ann"), std::string::npos);
  for (const char* f : {"player.dat.new", "save.commit.new", "save.commit", "player.dat.old"})
    EXPECT_FALSE(fs::exists(profile + "plr000/" + f)) << f;
  EXPECT_TRUE(IsA(AppDir() + "/conf/highscore.dat", S_IFREG));
  EXPECT_FALSE(fs::exists(AppDir() + "/conf/highscore.dat.tmp"));
}

}  // namespace
