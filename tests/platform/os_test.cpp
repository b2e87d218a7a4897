#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>

#include "platform/os.h"
#include "platform/window.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(CodePage, Utf8AndWindows1252) {
  struct Case {
    const char* utf8;
    const char* cp1252;
  };
  const Case cases[] = {
      {"abc", "abc"},
      {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},          // é
      {"\xE2\x82\xAC 5", "\x80 5"},                // euro sign lives at 0x80
      {"\xE2\x80\x9Cq\xE2\x80\x9D", "\x93q\x94"},  // curly quotes
      {"\xE4\xB8\xAD!", "!"},                      // no code in the page: dropped
      {"\xC3", ""},                                // truncated sequence
      {"\x80x", "x"},                              // stray continuation byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
  }
  EXPECT_EQ(plat::Cp1252ToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(plat::Cp1252ToUtf8("\x81"), "");  // an unused byte
}

TEST(Folders, MakeFoldersCreatesParentsWith0755) {
  vektest::TempDir tmp;
  const std::string deep = tmp / "a/b/c";
  ASSERT_TRUE(plat::MakeFolders(deep));
  struct stat st{};
  ASSERT_EQ(::stat(deep.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_TRUE(plat::MakeFolders(deep));  // exists already
  ASSERT_TRUE(vektest::WriteFileText(tmp / "file", "x"));
  EXPECT_FALSE(plat::MakeFolders(tmp / "file/sub"));
}

using LockResult = plat::InstanceLock::Result;

TEST(InstanceLock, SecondHolderIsToldAndAsksTheFirstToShowItsWindow) {
  vektest::TempDir tmp;
  auto os = std::make_unique<plat::FixedOs>();
  os->runtimeFolder = tmp / "run";  // missing: made private
  plat::SetOs(std::move(os));
  plat::InstallTerminationHandlers();
  plat::TakeShowRequest();
  {
    plat::InstanceLock a, b;
    ASSERT_EQ(a.Acquire("GardenMutex"), LockResult::Acquired) << a.Error();
    struct stat st{};
    ASSERT_EQ(::stat((tmp / "run").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((tmp / "run/GardenMutex.lock").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(vektest::ReadFileText(tmp / "run/GardenMutex.lock"), std::to_string(::getpid()) + "\n");

    EXPECT_EQ(b.Acquire("GardenMutex"), LockResult::Held);
    EXPECT_TRUE(b.Error().empty());
    // The holder (this process here) gets the show request; its window pump raises the window.
    EXPECT_TRUE(b.AskHolderToShow());
    plat::ScriptedWindow w;
    plat::Message m;
    w.Peek(m);
    EXPECT_EQ(w.raises, 1);
    w.Peek(m);
    EXPECT_EQ(w.raises, 1);
    // A pid in the file that does not hold the lock (what a holder in a sandbox with its own
    // pids would leave) is never signalled.
    ASSERT_TRUE(vektest::WriteFileText(tmp / "run/GardenMutex.lock", std::to_string(::getppid()) + "\n"));
    EXPECT_FALSE(b.AskHolderToShow());

    a.Release();
    EXPECT_EQ(b.Acquire("GardenMutex"), LockResult::Acquired);
  }
  plat::SetOs(nullptr);
}

TEST(InstanceLock, UnusableFoldersFailWithAReasonAndCreateNothing) {
  vektest::TempDir tmp;
  const std::string other = tmp / "other";
  ASSERT_EQ(::mkdir(other.c_str(), 0700), 0);
  const bool haveOtherUser = ::chown(other.c_str(), 65534, 65534) == 0;
  const std::string open = tmp / "open";
  ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
  const std::string mine = tmp / "mine";
  ASSERT_EQ(::mkdir(mine.c_str(), 0700), 0);
  ASSERT_EQ(::symlink(mine.c_str(), (tmp / "link").c_str()), 0);
  ASSERT_TRUE(vektest::WriteFileText(tmp / "file", "x"));
  ASSERT_EQ(::mkdir((tmp / "lockdir").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((tmp / "lockdir/GardenMutex.lock").c_str(), 0700), 0);

  struct Case {
    std::string folder;
    const char* reason;
  };
  std::vector<Case> cases = {
      {"/proc", "/proc/GardenMutex.lock"},  // the kernel's folder: no file can be made
      {open, "may be written by other users"},
      {tmp / "link", "is not a folder"},
      {tmp / "file", "is not a folder"},
      {tmp / "lockdir", "Is a directory"},
  };
  if (haveOtherUser) {
    cases.push_back({other, "belongs to another user (uid 65534)"});
    // Another user's lock file in a folder of ours is not held on their behalf either.
    const std::string theirs = tmp / "theirs";
    ASSERT_EQ(::mkdir(theirs.c_str(), 0700), 0);
    ASSERT_TRUE(vektest::WriteFileText(theirs + "/GardenMutex.lock", ""));
    ASSERT_EQ(::chown((theirs + "/GardenMutex.lock").c_str(), 65534, 65534), 0);
    cases.push_back({theirs, "not a file of this user"});
  }
  for (const Case& c : cases) {
    auto os = std::make_unique<plat::FixedOs>();
    os->runtimeFolder = c.folder;
    plat::SetOs(std::move(os));
    plat::InstanceLock lock;
    EXPECT_EQ(lock.Acquire("GardenMutex"), LockResult::Failed) << c.folder;
    EXPECT_NE(lock.Error().find(c.reason), std::string::npos) << c.folder << ": " << lock.Error();
    EXPECT_FALSE(lock.AskHolderToShow());
  }
  plat::SetOs(nullptr);
  struct stat st{};
  EXPECT_NE(::stat((other + "/GardenMutex.lock").c_str(), &st), 0);
  EXPECT_NE(::stat((open + "/GardenMutex.lock").c_str(), &st), 0);
  EXPECT_NE(::stat((mine + "/GardenMutex.lock").c_str(), &st), 0);
  if (!haveOtherUser) GTEST_SKIP() << "cannot give a folder to another user here";
}

// Sets environment variables for one scope and restores them afterwards.
class EnvScope {
 public:
  void Set(const char* name, const char* value) {
    if (m_Saved.find(name) == m_Saved.end()) {
      const char* old = std::getenv(name);
      m_Saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~EnvScope() {
    for (const auto& [name, value] : m_Saved) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> m_Saved;
};

TEST(InstanceLock, WithoutARuntimeFolderTheLockLivesInThePlayersOwnCache) {
  vektest::TempDir tmp;
  EnvScope env;
  env.Set("XDG_RUNTIME_DIR", nullptr);
  env.Set("HOME", tmp.path().c_str());
  env.Set("XDG_CACHE_HOME", nullptr);
  plat::SetOs(nullptr);
  EXPECT_EQ(plat::GetOs().RuntimeFolder(), tmp / ".cache/orchardia");
  env.Set("XDG_CACHE_HOME", (tmp / "cache").c_str());
  EXPECT_EQ(plat::GetOs().RuntimeFolder(), tmp / "cache/orchardia");
  {
    plat::InstanceLock lock;
    ASSERT_EQ(lock.Acquire("GardenMutex"), LockResult::Acquired) << lock.Error();
    struct stat st{};
    ASSERT_EQ(::stat((tmp / "cache/orchardia").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());
  }
  // A cache folder another user made first is never used: the lock is refused, not shared.
  const std::string taken = tmp / "taken";
  ASSERT_EQ(::mkdir(taken.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((taken + "/orchardia").c_str(), 0700), 0);
  if (::chown((taken + "/orchardia").c_str(), 65534, 65534) != 0) {
    GTEST_SKIP() << "cannot give a folder to another user here";
  }
  env.Set("XDG_CACHE_HOME", taken.c_str());
  plat::InstanceLock lock;
  EXPECT_EQ(lock.Acquire("GardenMutex"), LockResult::Failed);
  EXPECT_NE(lock.Error().find("belongs to another user"), std::string::npos) << lock.Error();
  struct stat st{};
  EXPECT_NE(::stat((taken + "/orchardia/GardenMutex.lock").c_str(), &st), 0);
}

TEST(FramePacing, RealClockWaitsARefreshPeriodBetweenFrames) {
  plat::SetOs(nullptr);
  plat::ScriptedWindow w;
  w.desktop.refresh = 50;
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < 11; ++i) w.PaceFrame();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_GE(seconds, 10 * 0.02 - 0.002);
  w.SetFramePacing(false);
  const auto t1 = std::chrono::steady_clock::now();
  for (int i = 0; i < 11; ++i) w.PaceFrame();
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count(), 0.05);
}

TEST(EventPump, TerminationBecomesCloseAndTimersFollowTheClock) {
  auto os = std::make_unique<plat::FixedOs>();
  plat::FixedOs* clock = os.get();
  plat::SetOs(std::move(os));
  plat::ScriptedWindow w;
  plat::InstallTerminationHandlers();
  ::raise(SIGTERM);
  plat::Message m;
  ASSERT_TRUE(w.Peek(m));
  EXPECT_EQ(m.kind, plat::MsgKind::Close);

  w.SetTimer(1, 500);
  EXPECT_FALSE(w.Peek(m));
  clock->Advance(0.5);
  ASSERT_TRUE(w.Peek(m));
  EXPECT_EQ(m.kind, plat::MsgKind::Timer);
  EXPECT_FALSE(w.Peek(m));

  // Queued messages come before the quit mark; discarding removes both.
  w.PostQuit(3);
  w.script.push_back(plat::Message{plat::MsgKind::Char, 'x', 0, 0});
  ASSERT_TRUE(w.Peek(m));
  EXPECT_EQ(m.kind, plat::MsgKind::Char);
  ASSERT_TRUE(w.Peek(m));
  EXPECT_EQ(m.kind, plat::MsgKind::Quit);
  EXPECT_EQ(m.w, 3u);
  w.PostQuit(0);
  w.DiscardPending();
  EXPECT_FALSE(w.Peek(m));
  plat::SetOs(nullptr);
}

}  // namespace

TEST(Folders, DesktopFolderReadsUserDirsAndIgnoresASpecialFileThere) {
  vektest::TempDir tmp;
  EnvScope env;
  env.Set("HOME", tmp.path().c_str());
  env.Set("XDG_CONFIG_HOME", (tmp / "conf").c_str());
  plat::SetOs(nullptr);
  ASSERT_EQ(::mkdir((tmp / "conf").c_str(), 0755), 0);
  {
    std::ofstream f(tmp / "conf/user-dirs.dirs");
    f << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
  }
  EXPECT_EQ(plat::GetOs().DesktopFolder(), tmp / "Schreibtisch");
  // A FIFO in its place (nobody writes to it) falls back at once instead of blocking.
  ASSERT_EQ(::unlink((tmp / "conf/user-dirs.dirs").c_str()), 0);
  ASSERT_EQ(::mkfifo((tmp / "conf/user-dirs.dirs").c_str(), 0644), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(plat::GetOs().DesktopFolder(), tmp / "Desktop");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}
