// The file readers and writers against hostile surroundings: special files named like data
// files, and a disk that fills up while a file is written.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "engine/core/bitstream.h"
#include "engine/core/path_tokens.h"
#include "engine/files/data_manager.h"
#include "engine/files/file.h"
#include "engine/files/file_system.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "tests/engine/sound/sound_fixture.h"
#include "tests/support/fifo_rescue.h"
#include "tests/support/small_disk.h"

namespace {

using vek::cDataManager;
using vek::filename;
using vektest::FifoRescue;
using vektest::SoundFixture;

using Clock = std::chrono::steady_clock;

TEST_F(SoundFixture, SpecialFilesNamedLikeDataFilesAreRefusedAtOnce) {
  struct Case {
    const char* file;
    std::function<bool(const std::string& path)> refused;
  };
  const Case cases[] = {
      {"conf.txt",
       [](const std::string& p) {
         vek::string text = "kept";
         return cDataManager::ReadText(&text, filename(p)) != cDataManager::Ok && text == "kept";
       }},
      {"save.dat",
       [](const std::string& p) {
         vek::cBitStream stream;
         return cDataManager::ReadBinary(&stream, filename(p)) != cDataManager::Ok;
       }},
      {"raw.bin",
       [](const std::string& p) {
         vek::cFile file;
         return file.Open(filename(p), "rb") != vek::cFile::e_Opened &&
                file.Open(filename(p), "r+b") != vek::cFile::e_Opened;
       }},
      {"pic.png",
       [](const std::string& p) {
         vek::cImage image;
         return cDataManager::ReadImage(filename(p), &image) != 0;
       }},
      {"data.zip",
       [](const std::string& p) {
         vek::string text;
         return cDataManager::ReadText(&text, filename(p + "/a.txt")) != cDataManager::Ok;
       }},
      {"beep.wav",
       [](const std::string& p) {
         cDataManager::cSampleRecord record;
         return cDataManager::ReadSoundBuffer(filename(p), &record) != cDataManager::Ok;
       }},
      // The WAV writer's source goes to the sound decoder by its path.
      {"tune.ogg",
       [this](const std::string& p) {
         return cDataManager::WriteWAV(p, filename(tmp / "out.wav"), false) != cDataManager::Ok;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = tmp / c.file;
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    FifoRescue rescue(path);
    const auto start = Clock::now();
    EXPECT_TRUE(c.refused(path));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  }
  // A character device is no data file either.
  vek::string text = "kept";
  EXPECT_NE(cDataManager::ReadText(&text, filename("/dev/zero")), cDataManager::Ok);
  EXPECT_EQ(text, "kept");
}

// The whole-file writer's temporary is always made new: whatever stands at its name - a FIFO,
// a dangling link, a link planted to another file of the user - is replaced, never written
// through, and nothing outside gets created, truncated or given new permissions.
TEST_F(SoundFixture, TheWriteWholeTemporaryIsNeverOpenedThroughItsName) {
  const std::string victim = tmp / "victim.dat";
  const std::string outside = tmp / "outside.dat";
  struct Case {
    const char* what;
    std::function<void(const std::string& temp)> plant;
    cDataManager::cResult result;
  };
  const Case cases[] = {
      {"a FIFO", [](const std::string& t) { ASSERT_EQ(::mkfifo(t.c_str(), 0600), 0); }, cDataManager::Ok},
      {"a dangling link", [&](const std::string& t) { ASSERT_EQ(::symlink(outside.c_str(), t.c_str()), 0); },
       cDataManager::Ok},
      {"a link to the user's own file",
       [&](const std::string& t) { ASSERT_EQ(::symlink(victim.c_str(), t.c_str()), 0); }, cDataManager::Ok},
      {"a stale temporary", [](const std::string& t) { ASSERT_TRUE(vektest::WriteFileText(t, "stale")); },
       cDataManager::Ok},
      {"a folder", [](const std::string& t) { ASSERT_EQ(::mkdir(t.c_str(), 0700), 0); }, cDataManager::FileNotFound},
  };
  const std::string bytes = "the new table";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string conf = tmp / "conf";
    ::mkdir(conf.c_str(), 0700);
    const std::string target = conf + "/highscore.dat";
    const std::string temp = target + ".tmp";
    ASSERT_TRUE(vektest::WriteFileText(target, "old table"));
    ASSERT_TRUE(vektest::WriteFileText(victim, "the player's secret"));
    ASSERT_EQ(::chmod(victim.c_str(), 0600), 0);
    c.plant(temp);
    FifoRescue rescue(temp);
    const auto start = Clock::now();
    EXPECT_EQ(cDataManager::WriteWhole(filename(target), bytes.data(), vek::u32(bytes.size())), c.result);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(vektest::ReadFileText(target), c.result == cDataManager::Ok ? bytes : "old table");
    struct stat st;
    EXPECT_EQ(vektest::ReadFileText(victim), "the player's secret");
    ASSERT_EQ(::stat(victim.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_NE(::lstat(outside.c_str(), &st), 0) << "created outside through the link";
    ASSERT_EQ(::lstat(target.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    ::rmdir(temp.c_str());
    ::unlink(temp.c_str());
  }
}

// Permissions and writes never go through a link; the player's own files ({AppPath}) are not
// even read through one, while the game's data may be linked in (as a package installs it).
TEST_F(SoundFixture, LinksAreNotFollowedToOtherFiles) {
  const std::string victim = tmp / "victim.dat";
  ASSERT_TRUE(vektest::WriteFileText(victim, "secret"));
  ASSERT_EQ(::chmod(victim.c_str(), 0600), 0);
  const std::string link = tmp / "link.dat";
  ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
  EXPECT_FALSE(vek::cFileSystem().FullAccess(filename(link)));
  vek::cFile file;
  EXPECT_NE(file.Open(filename(link), "wb"), vek::cFile::e_Opened);
  EXPECT_NE(file.Open(filename(link), "ab"), vek::cFile::e_Opened);
  struct stat st;
  ASSERT_EQ(::stat(victim.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(vektest::ReadFileText(victim), "secret");

  const std::string app = vek::GetPathToken(vek::e_AppPath);
  const std::string own = app + "/linked.dat";
  ASSERT_EQ(::symlink(victim.c_str(), own.c_str()), 0);
  const std::size_t mark = Mark();
  vek::string text;
  EXPECT_EQ(cDataManager::ReadText(&text, filename(own)), cDataManager::FileNotFound);
  EXPECT_NE(Since(mark).find("is a link; refused"), std::string::npos) << Since(mark);
  vektest::TempDir data;  // outside the player's folder
  const std::string linkedData = data / "linked.txt";
  ASSERT_EQ(::symlink(victim.c_str(), linkedData.c_str()), 0);
  EXPECT_EQ(cDataManager::ReadText(&text, filename(linkedData)), cDataManager::Ok);
  EXPECT_EQ(text, "secret");
}

// Every writer on a disk that fills up: the write fails and is reported, the previous file is
// kept whole, and no temporary is left behind.
TEST_F(SoundFixture, WritersOnAFullDiskKeepThePreviousFile) {
  vektest::SmallDisk disk(256 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << "a small file system cannot be mounted here";
  // File names are lower-cased outside their token: the disk is reached through one.
  const std::string savedUserPath = vek::GetPathToken(vek::e_UserPath);
  vek::SetPathToken(vek::e_UserPath, disk.path());
  ASSERT_TRUE(vektest::WriteFileText(tmp / "long.wav", vektest::MakeConstantWav(40000, 1234)));

  vek::cBitStream save;
  for (vek::u32 i = 0; i < 20000; ++i) save.WriteInt(i * 2654435761u);
  vek::cImage picture(4, 128, 128, 1);
  vek::u32 noise = 1;
  for (vek::u32 b = 0; b < picture.GetLevelSize(0); ++b) {
    noise = noise * 1103515245u + 12345u;
    picture.GetLevel(0)[b] = vek::u8(noise >> 24);
  }
  struct Case {
    const char* file;
    std::function<bool(const std::string& path)> failed;
    const char* logged;
  };
  const Case cases[] = {
      {"save.dat",
       [&](const std::string& p) {
         return cDataManager::WriteBinary(&save, filename(p)) == cDataManager::InternalError;
       },
       nullptr},
      {"shot.png",
       [&](const std::string& p) { return vek::WritePNG(picture, filename(p)) == vek::e_ImgNotWritten; },
       "Could not write PNG file"},
      {"sound.wav",
       [&](const std::string& p) {
         return cDataManager::WriteWAV(tmp / "long.wav", filename(p), false) == cDataManager::NoOutput;
       },
       "WriteWAV: file not written"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = std::string("{UserPath}/") + c.file;
    const std::string native = disk / c.file;
    const std::string old = std::string("the previous good ") + c.file;
    ASSERT_TRUE(vektest::WriteFileText(native, old));
    ASSERT_TRUE(disk.Fill(8192));
    const std::size_t mark = Mark();
    EXPECT_TRUE(c.failed(path));
    if (c.logged) {
      EXPECT_NE(Since(mark).find(c.logged), std::string::npos) << Since(mark);
    }
    EXPECT_EQ(vektest::ReadFileText(native), old);
    struct stat st;
    EXPECT_NE(::stat((native + ".tmp").c_str(), &st), 0);
    ::unlink((disk / ".filler").c_str());
  }
  vek::SetPathToken(vek::e_UserPath, savedUserPath);
}

}  // namespace
