// A profile's files under hostile conditions, on the real paths: special files and links where
// the files belong, a folder in a file's place, files that can't be read, a folder that can't
// be written, folders of other users, and kills in the middle of saves. Nothing hangs, nothing
// outside the profile is touched, and the profile is always wholly one save.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>

#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "game/app/window_host.h"
#include "tests/game/app/rules_fixture.h"
#include "tests/support/failing_save_layer.h"
#include "tests/support/fifo_rescue.h"
#include "tests/support/temp_dir.h"

namespace vektest {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The user whose rights the permission cases run with when the tests run as root (root reads
// and writes whatever the modes say).
constexpr uid_t kNobody = 65534;

bool IsA(const std::string& path, mode_t type) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
}
bool Missing(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) != 0;
}

class ProfileFilesTest : public RulesFixture {
 protected:
  void SetUp() override {
    RulesFixture::SetUp();
    ClearPendingNotices();
    // Two world files carrying the game's generation, read the way the field and the island
    // read theirs: a file that is there but not four bytes is refused.
    for (const char* name : {"level.dat", "island.dat"}) {
      AddWorldSaveFile({name,
                        [this](vek::cBitStream& out, int) {
                          out.WriteInt(static_cast<vek::u32>(generation));
                          return true;
                        },
                        [this, name](const vek::string& path, int) {
                          const std::string native = vek::NativePath(vek::filename(path).path);
                          const std::string bytes = ReadFileText(native);
                          seen[name] = bytes.size() == 4 ? static_cast<unsigned char>(bytes[0]) : -1;
                          return bytes.size() == 4 || Missing(native);
                        }});
    }
  }
  void TearDown() override {
    ClearPendingNotices();
    RulesFixture::TearDown();
  }

  bool SaveGeneration(cPlayer& p, int g) {
    generation = g;
    p.money = g;
    p.bank = g;
    p.levelProgress = g % 40;
    return p.SaveGame(-1);
  }
  // A fresh profile holding generation g.
  void MakeProfile(int g) {
    SetSaveFileLayer(nullptr);
    cPlayer p("plr000");
    ASSERT_TRUE(SaveGeneration(p, g));
  }
  // Loads the profile afresh: the generation every file agrees on, -1 for a mix, -2 when the
  // profile can't be loaded.
  int LoadedGeneration() {
    SetSaveFileLayer(nullptr);
    seen.clear();
    cPlayer p("plr000");
    if (!p.Load()) return -2;
    p.LoadGame(-1);
    const int g = p.money;
    const bool same = p.bank == g && p.levelProgress == g % 40 && seen["level.dat"] == g && seen["island.dat"] == g;
    return same ? g : -1;
  }
  // Whether the log since `from` holds the text (as the HTML log writes it).
  bool Logged(const std::string& text, std::size_t from = 0) const {
    std::string html;
    for (char ch : text) html += ch == '\'' ? std::string("&#39;") : std::string(1, ch);
    const std::string log = LogText();
    return log.find(html, std::min(from, log.size())) != std::string::npos;
  }
  bool Pending(const char* key) const {
    for (const auto& k : PendingNotices())
      if (k == key) return true;
    return false;
  }
  std::string Dir() const { return ProfileDir(); }

  // Runs `body` in a child process with the rights of an ordinary user: as root the profile's
  // folders are handed to "nobody" and the child becomes it, since root passes every mode.
  // The child's result: 0 for success, else the number of the check that failed; -1 when it
  // did not end within 10 s.
  int AsOrdinaryUser(const std::function<int()>& body) {
    const bool root = ::geteuid() == 0;
    if (root) {
      const std::string app = vek::GetPathToken(vek::e_AppPath);
      std::error_code ec;
      ::chown(app.c_str(), kNobody, kNobody);
      // The folders above must let that user through.
      for (fs::path up = fs::path(app).parent_path(); up.has_relative_path(); up = up.parent_path()) {
        struct stat st;
        if (::stat(up.c_str(), &st) == 0 && (st.st_mode & S_IXOTH) == 0) ::chmod(up.c_str(), (st.st_mode & 07777) | S_IXOTH);
      }
      for (const auto& e : fs::recursive_directory_iterator(app, ec)) ::lchown(e.path().c_str(), kNobody, kNobody);
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (root && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(100);
      ::_exit(body());
    }
    const auto until = Clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (Clock::now() > until) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
      }
      ::usleep(2000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  int generation = 0;
  std::map<std::string, int> seen;
};

// Special files where the profile's files belong: start-up (reading the profile and its game)
// and saving return at once; what is refused is named in the log, kept aside and told.
TEST_F(ProfileFilesTest, SpecialFilesAreRefusedAtOnce) {
  enum eKind { e_Fifo, e_DevZero, e_Sparse };
  enum eOp { e_Load, e_Save };
  struct Case {
    const char* file;
    eKind kind;
    eOp op;
  };
  const Case cases[] = {
      {"player.dat", e_Fifo, e_Load},       {"player.dat", e_DevZero, e_Load}, {"player.dat", e_Sparse, e_Load},
      {"save.dat", e_Fifo, e_Load},         {"save.dat", e_DevZero, e_Load},   {"save.dat", e_Sparse, e_Load},
      {"level.dat", e_Fifo, e_Load},        {"island.dat", e_DevZero, e_Load}, {"save.commit", e_Fifo, e_Load},
      {"save.commit", e_Fifo, e_Save},      {"save.dat.new", e_Fifo, e_Save},  {"player.dat.new", e_Fifo, e_Save},
      {"level.dat.new", e_Fifo, e_Save},    {"save.commit.new", e_Fifo, e_Save},
      {"island.dat.old", e_Fifo, e_Save},
  };
  const char* kinds[] = {"a FIFO", "a link to /dev/zero", "a sparse 3 GB file"};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << " as " << kinds[c.kind] << (c.op == e_Load ? ", loaded" : ", saved"));
    fs::remove_all(Dir());
    MakeProfile(1);
    ClearPendingNotices();
    const std::string path = Dir() + c.file;
    // A save's temporaries are planted after the profile was read (reading cleans them up).
    cPlayer saver("plr000");
    if (c.op == e_Save) { ASSERT_TRUE(saver.Load()); }
    ::unlink(path.c_str());
    if (c.kind == e_Fifo) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }
    if (c.kind == e_DevZero) { ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0); }
    if (c.kind == e_Sparse) {
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ASSERT_GE(fd, 0);
      ASSERT_EQ(::ftruncate(fd, off_t(3) << 30), 0);
      ::close(fd);
    }
    FifoRescue rescue(path);
    const auto start = Clock::now();
    const std::size_t log0 = LogText().size();
    if (c.op == e_Load) {
      cPlayer p("plr000");
      const bool loaded = p.Load();
      EXPECT_EQ(loaded, std::string(c.file) != "player.dat");
      if (loaded) {
        p.LoadGame(-1);
        const bool partOfTheGame = std::string(c.file) != "save.commit";
        // save.dat refused: the game restarts; a world file refused: that part starts fresh.
        EXPECT_EQ(p.money, std::string(c.file) == "save.dat" ? 0 : 1);
        if (partOfTheGame) {
          EXPECT_TRUE(Pending("ErrorDamagedFile"));
        }
        EXPECT_TRUE(SaveGeneration(p, 2));
      }
      EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
      if (std::string(c.file) == "save.commit") {
        EXPECT_TRUE(Missing(path));
        EXPECT_EQ(LoadedGeneration(), 2);
      } else {
        // Named in the log, and kept as it was: beside the save, or in place for a profile
        // that is left out (nothing saves over it).
        const mode_t kind = c.kind == e_Fifo ? S_IFIFO : c.kind == e_DevZero ? S_IFLNK : S_IFREG;
        EXPECT_TRUE(Logged(path + "' " + (c.kind == e_Sparse ? "too large" : "not a regular file"), log0))
            << LogText().substr(log0);
        if (std::string(c.file) == "player.dat") {
          EXPECT_TRUE(IsA(path, kind));
          EXPECT_TRUE(Pending("ErrorProfileUnreadable"));
        } else {
          EXPECT_TRUE(IsA(path + ".damaged", kind));
          EXPECT_TRUE(IsA(path, S_IFREG));
        }
      }
    } else {
      EXPECT_TRUE(SaveGeneration(saver, 2));
      EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
      EXPECT_EQ(LoadedGeneration(), 2);
      EXPECT_TRUE(PendingNotices().empty());
    }
  }
}

// Links planted where the save writes its temporaries, or standing for its files: the save
// never creates, truncates or changes anything outside the profile through them.
TEST_F(ProfileFilesTest, LinksInTheProfileAreNeverFollowed) {
  const std::string outside = tmp / "outside.dat";
  const std::string victim = tmp / "victim.dat";
  struct Case {
    const char* file;
    const std::string* target;
    bool beforeLoad;  // a file of the save itself; else a temporary, planted after the load
  };
  const Case cases[] = {{"save.dat.new", &outside, false},  {"player.dat.new", &outside, false},
                        {"level.dat.new", &outside, false}, {"save.commit.new", &outside, false},
                        {"save.dat.new", &victim, false},   {"player.dat.old", &victim, false},
                        {"save.dat", &victim, true},        {"level.dat", &outside, true},
                        // A file of the save that became a link after it was read: replaced.
                        {"island.dat", &victim, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << " -> " << *c.target);
    fs::remove_all(Dir());
    ::unlink(outside.c_str());
    MakeProfile(1);
    ASSERT_TRUE(WriteFileText(victim, "the player's own file"));
    ASSERT_EQ(::chmod(victim.c_str(), 0600), 0);
    const std::string path = Dir() + c.file;
    auto plant = [&] {
      ::unlink(path.c_str());
      ASSERT_EQ(::symlink(c.target->c_str(), path.c_str()), 0);
    };
    if (c.beforeLoad) plant();
    {
      cPlayer p("plr000");
      ASSERT_TRUE(p.Load());
      p.LoadGame(-1);
      if (!c.beforeLoad) plant();
      EXPECT_TRUE(SaveGeneration(p, 2));
    }
    EXPECT_EQ(LoadedGeneration(), 2);
    EXPECT_TRUE(Missing(outside));
    EXPECT_EQ(ReadFileText(victim), "the player's own file");
    struct stat st;
    ASSERT_EQ(::stat(victim.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    for (const char* f : {"save.dat", "player.dat", "level.dat", "island.dat"}) EXPECT_TRUE(IsA(Dir() + f, S_IFREG)) << f;
  }
}

// A file of the save that can't be replaced (a folder in its place) refuses the save before
// anything changes; a list left pending is finished or undone before the next save, never
// written over.
TEST_F(ProfileFilesTest, AFileInTheWayLeavesTheWholePreviousSave) {
  MakeProfile(1);
  ASSERT_EQ(::unlink((Dir() + "level.dat").c_str()), 0);
  ASSERT_EQ(::mkdir((Dir() + "level.dat").c_str(), 0700), 0);
  ASSERT_TRUE(WriteFileText(Dir() + "level.dat/inside", "x"));
  const std::string save1 = ReadFileText(Dir() + "save.dat");
  const std::string island1 = ReadFileText(Dir() + "island.dat");
  {
    cPlayer p("plr000");
    ASSERT_TRUE(p.Load());
    generation = 2;
    p.money = 2;
    EXPECT_FALSE(p.SaveGame(-1));
    // The profile alone after it: nothing was pending, nothing is mixed.
    EXPECT_TRUE(p.WriteProfile());
  }
  EXPECT_EQ(ReadFileText(Dir() + "save.dat"), save1);
  EXPECT_EQ(ReadFileText(Dir() + "island.dat"), island1);
  for (const char* f : {"save.commit", "save.rollback", "save.dat.new", "island.dat.new", "save.dat.old"})
    EXPECT_TRUE(Missing(Dir() + f)) << f;
  EXPECT_TRUE(Logged("level.dat' is a folder, not a file; the previous save is kept")) << LogText();
  EXPECT_TRUE(Pending("ErrorSaveFailed"));

  // A list that an earlier program left pending, whose file can't be replaced: the next save
  // undoes it (the file it had replaced gets its previous version back) instead of writing
  // its own list over it.
  ASSERT_TRUE(WriteFileText(Dir() + "save.dat.new", "new but never finished"));
  ASSERT_EQ(::link((Dir() + "save.dat").c_str(), (Dir() + "save.dat.old").c_str()), 0);
  ASSERT_TRUE(WriteFileText(Dir() + "island.dat.new", "replaced already"));
  ASSERT_EQ(::link((Dir() + "island.dat").c_str(), (Dir() + "island.dat.old").c_str()), 0);
  ASSERT_EQ(::rename((Dir() + "island.dat.new").c_str(), (Dir() + "island.dat").c_str()), 0);
  ASSERT_TRUE(WriteFileText(Dir() + "level.dat.new", "xxxx"));
  ASSERT_TRUE(WriteFileText(Dir() + "save.commit", "island.dat\nlevel.dat\nsave.dat\nend\n"));
  {
    cPlayer p("plr000");
    p.money = 1;
    EXPECT_TRUE(p.WriteProfile());
  }
  EXPECT_EQ(ReadFileText(Dir() + "save.dat"), save1);
  EXPECT_EQ(ReadFileText(Dir() + "island.dat"), island1);
  for (const char* f : {"save.commit", "save.rollback", "save.dat.new", "level.dat.new", "island.dat.old"})
    EXPECT_TRUE(Missing(Dir() + f)) << f;
  EXPECT_NE(LogText().find("is undone; the previous one is kept"), std::string::npos);

  // Loading moves the folder aside; the next save is whole.
  {
    cPlayer p("plr000");
    ASSERT_TRUE(p.Load());
    p.LoadGame(-1);
    EXPECT_TRUE(IsA(Dir() + "level.dat.damaged", S_IFDIR));
    EXPECT_TRUE(SaveGeneration(p, 3));
  }
  EXPECT_EQ(LoadedGeneration(), 3);
}

// A save whose file can't be replaced after its list was written is undone; killed anywhere
// in the save or in the undoing, the profile loads as the whole previous save or the whole
// new one.
TEST_F(ProfileFilesTest, AKillAfterAFailedRenameLeavesAWholeSave) {
  // A save of four files that all exist: a write and a link each (operations 1-8), the list's
  // write and rename (9, 10), the four renames (11-14); an undoing renames the list and puts
  // the four files back.
  int cases = 0;
  for (int failAt : {1, 6, 9, 10, 11, 12, 13, 14}) {
    for (int killAt = failAt + 1; killAt <= failAt + 6; ++killAt) {
      SCOPED_TRACE(testing::Message() << "failing at " << failAt << ", killed at " << killAt);
      fs::remove_all(Dir());
      MakeProfile(1);
      vektest::FailingSaveLayer layer(failAt, killAt);
      SetSaveFileLayer(&layer);
      cPlayer p("plr000");
      ASSERT_TRUE(p.Load());
      const bool saved = SaveGeneration(p, 2);
      const bool killed = layer.Operations() >= killAt;
      const int loaded = LoadedGeneration();
      EXPECT_TRUE(loaded == 1 || loaded == 2) << loaded;
      EXPECT_FALSE(saved);
      // A save that failed and was not killed is wholly undone at once.
      if (!killed) { EXPECT_EQ(loaded, 1); }
      for (const char* f : {"save.commit", "save.rollback", "save.dat.new", "player.dat.new", "save.dat.old"})
        EXPECT_TRUE(Missing(Dir() + f)) << f;
      ++cases;
    }
  }
  EXPECT_EQ(cases, 48);
}

// The real thing: 200 saves killed at random moments (SIGKILL, with the writes on the disk).
TEST_F(ProfileFilesTest, RandomKillsDuringSavesLeaveAWholeSave) {
  MakeProfile(1);
  std::mt19937 random(37);
  int newer = 0;
  for (int kill = 0; kill < 200; ++kill) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      cPlayer p("plr000");
      p.Load();
      (void)!::write(ready[1], "x", 1);
      for (int g = 2;; g = g % 200 + 2) SaveGeneration(p, g);
    }
    char byte;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    // A save with its flushes to disk takes some tens of milliseconds.
    ::usleep(std::uniform_int_distribution<int>(0, 60000)(random));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const int loaded = LoadedGeneration();
    ASSERT_GE(loaded, 1) << "after kill " << kill;
    newer += loaded != 1;
    for (const char* f : {"save.commit", "save.rollback", "save.dat.new", "save.dat.old"})
      ASSERT_TRUE(Missing(Dir() + f)) << f << " after kill " << kill;
  }
  EXPECT_GT(newer, 20);
}

// A file that is there but can't be read (mode 000) or understood is an error in the log and
// on screen, and is kept aside, never saved over.
TEST_F(ProfileFilesTest, UnreadableFilesAreKeptAsideAndTold) {
  struct Case {
    const char* file;
    const char* bytes;  // null: mode 000 on the saved file
    bool profileLoads;
  };
  const Case cases[] = {{"save.dat", nullptr, true},   {"level.dat", nullptr, true},  {"player.dat", nullptr, false},
                        {"save.dat", "garbage", true}, {"level.dat", "abc", true},    {"player.dat", "\x01", false},
                        {"island.dat", "too long for us", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << (c.bytes ? " damaged" : " unreadable"));
    fs::remove_all(Dir());
    MakeProfile(25);
    const std::string path = Dir() + c.file;
    if (c.bytes) {
      ASSERT_TRUE(WriteFileText(path, c.bytes));
    } else {
      ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    }
    const std::string before = c.bytes ? std::string(c.bytes) : ReadFileText(path);
    const std::size_t logSize = LogText().size();
    const int result = AsOrdinaryUser([&] {
      cPlayer p("plr000");
      if (p.Load() != c.profileLoads) return 1;
      if (c.profileLoads) {
        p.LoadGame(-1);
        generation = 26;
        if (!p.SaveGame(-1)) return 2;
      }
      return Pending(c.profileLoads ? "ErrorDamagedFile" : "ErrorProfileUnreadable") ? 0 : 3;
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(Logged(path + "' ", logSize)) << LogText().substr(logSize);
    // The refused file is kept as it was: beside the new save, or in place for a profile that
    // is left out.
    const std::string kept = c.profileLoads ? path + ".damaged" : path;
    if (c.profileLoads) {
      EXPECT_TRUE(Logged("kept as '" + kept + "'", logSize));
      EXPECT_TRUE(IsA(path, S_IFREG));
    } else {
      EXPECT_TRUE(Logged("the profile is left out and the file kept as it is", logSize));
    }
    ::chmod(kept.c_str(), 0600);
    EXPECT_EQ(ReadFileText(kept), before);
  }
}

// A profile folder the player can't write, or a data folder that is read-only: saving fails,
// the play goes on, and the player is told on screen once, the log every time.
TEST_F(ProfileFilesTest, AFailedSaveIsToldOnceAndPlayGoesOn) {
  const std::string app = vek::GetPathToken(vek::e_AppPath);
  for (bool wholeDataFolder : {false, true}) {
    SCOPED_TRACE(wholeDataFolder ? "read-only data folder" : "read-only profile folder");
    fs::remove_all(Dir());
    MakeProfile(5);
    if (wholeDataFolder) fs::remove_all(Dir());
    const std::string locked = wholeDataFolder ? app + "/profile" : Dir();
    const std::size_t logSize = LogText().size();
    const int result = AsOrdinaryUser([&] {
      ClearPendingNotices();
      if (::chmod(locked.c_str(), 0500) != 0) return 9;
      cPlayer p("plr000");
      if (p.Load() == wholeDataFolder) return 8;
      for (int g = 6; g < 9; ++g)
        if (SaveGeneration(p, g)) return 1;
      if (p.WriteProfile()) return 2;
      int told = 0;
      for (const auto& k : PendingNotices()) told += k == "ErrorSaveFailed";
      return told == 1 ? 0 : 3;
    });
    ::chmod(locked.c_str(), 0700);
    EXPECT_EQ(result, 0);
    const std::string log = LogText().substr(logSize);
    std::size_t errors = 0;
    for (std::size_t at = 0; (at = log.find("The game could not be saved", at)) != std::string::npos; ++at) ++errors;
    EXPECT_EQ(errors, 4u) << log;
  }
}

// A profile folder that is a link into another user's folder is left out with a clear word,
// and nothing in that folder is read, moved or finished.
TEST_F(ProfileFilesTest, AProfileFolderOfAnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a folder that belongs to another user";
  TempDir other;
  const std::string theirs = other / "their_profile";
  ASSERT_EQ(::mkdir(theirs.c_str(), 0755), 0);
  MakeProfile(3);
  for (const char* f : {"player.dat", "save.dat"}) fs::copy_file(Dir() + f, theirs + "/" + f);
  ASSERT_TRUE(WriteFileText(theirs + "/save.dat.new", "theirs"));
  ASSERT_TRUE(WriteFileText(theirs + "/save.commit", "save.dat\nend\n"));
  for (const auto& e : fs::recursive_directory_iterator(other.path())) ::lchown(e.path().c_str(), kNobody, kNobody);
  const std::string link = ProfileDir("plr001");
  ASSERT_EQ(::symlink(theirs.c_str(), link.substr(0, link.size() - 1).c_str()), 0);
  cPlayer p("plr001");
  EXPECT_FALSE(p.Load());
  EXPECT_NE(LogText().find("is a link into a folder of user 65534"), std::string::npos);
  EXPECT_TRUE(Pending("ErrorProfileRefused"));
  EXPECT_EQ(ReadFileText(theirs + "/save.dat.new"), "theirs");
  EXPECT_FALSE(Missing(theirs + "/save.commit"));
}

// The game's own folders are made for this user alone; one that every user may write into is
// warned about in the log.
TEST_F(ProfileFilesTest, FoldersArePrivateAndOpenOnesAreWarnedAbout) {
  const mode_t mask = ::umask(0);
  {
    cPlayer p("plr007");
    ASSERT_FALSE(p.GetProfilePath(3).empty());
  }
  ::umask(mask);
  struct stat st;
  for (const std::string& folder : {ProfileDir("plr007"), ProfileDir("plr007") + "3"}) {
    ASSERT_EQ(::stat(folder.c_str(), &st), 0) << folder;
    EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
  }
  MakeProfile(1);
  ASSERT_EQ(::chmod(Dir().c_str(), 0777), 0);
  cPlayer p("plr000");
  EXPECT_TRUE(p.Load());
  EXPECT_NE(LogText().find("plr000 can be written by every user"), std::string::npos) << LogText();
}

}  // namespace
}  // namespace vektest
