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
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "tests/engine/sound/sound_fixture.h"
#include "tests/support/small_disk.h"

namespace {

using vek::cDataManager;
using vek::filename;
using vektest::SoundFixture;

using Clock = std::chrono::steady_clock;

// Opens the FIFO's writing end after a while, so that a reader stuck in open() comes free and
// the test reports the hang as a failure instead of hanging itself.
class FifoRescue {
 public:
  explicit FifoRescue(std::string path)
      : m_Thread([this, path] {
          const auto until = Clock::now() + std::chrono::seconds(3);
          while (!m_Done && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(20));
          while (!m_Done) {
            const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          }
        }) {}
  ~FifoRescue() {
    m_Done = true;
    m_Thread.join();
  }

 private:
  std::atomic<bool> m_Done{false};
  std::thread m_Thread;
};

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
