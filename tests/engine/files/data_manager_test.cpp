#include "engine/files/data_manager.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "engine/core/bitstream.h"
#include "tests/engine/files/file_test_support.h"

namespace {

namespace fs = std::filesystem;
using vek::cBitStream;
using vek::cDataManager;

class DataManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(m_Tokens / "Data"); }
  filetest::TokenFolders m_Tokens;
};

TEST_F(DataManagerTest, ReadText) {
  vektest::WriteFileText(m_Tokens / "Data/a.lua", "print('hi')\n");
  vektest::WriteFileText(m_Tokens / "Data/zero.txt", std::string("before\0after", 12));
  vektest::WriteFileText(m_Tokens / "Data/empty.txt", "");
  std::string text = "unchanged";
  EXPECT_EQ(cDataManager::ReadText(&text, "{StaticPath}/a.lua"), cDataManager::Ok);
  EXPECT_EQ(text, "print('hi')\n");
  EXPECT_EQ(cDataManager::ReadText(&text, "{StaticPath}/zero.txt"), cDataManager::Ok);
  EXPECT_EQ(text, "before");

  text = "unchanged";
  EXPECT_EQ(cDataManager::ReadText(&text, "{StaticPath}/empty.txt"), cDataManager::InternalError);
  EXPECT_EQ(cDataManager::ReadText(&text, "{StaticPath}/missing.txt"), cDataManager::FileNotFound);
  EXPECT_EQ(cDataManager::ReadText(&text, "{StaticPath}"), cDataManager::FileNotFound);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(cDataManager::ReadText(nullptr, "{StaticPath}/a.lua"), cDataManager::NoOutput);
}

TEST_F(DataManagerTest, ReadsFromArchivesAndRefusesCorruptMembers) {
  ASSERT_TRUE(filetest::WriteZip(m_Tokens / "Data/pack.zip",
                                 {{"conf/x.lua", "return 1", true},
                                  {"conf/bad.bin", "CORRUPT-ME", false}}));
  std::string bytes = vektest::ReadFileText(m_Tokens / "Data/pack.zip");
  bytes[bytes.find("CORRUPT-ME")] = 'X';
  vektest::WriteFileText(m_Tokens / "Data/pack.zip", bytes);

  std::string text;
  EXPECT_EQ(cDataManager::ReadText(&text, "{StaticPath}/pack.zip/conf/x.lua"), cDataManager::Ok);
  EXPECT_EQ(text, "return 1");
  cBitStream stream;
  EXPECT_EQ(cDataManager::ReadBinary(&stream, "{StaticPath}/pack.zip/conf/x.lua"),
            cDataManager::Ok);
  EXPECT_EQ(stream.GetSizeInBits(), 8 * 8);
  EXPECT_EQ(cDataManager::ReadBinary(&stream, "{StaticPath}/pack.zip/conf/bad.bin"),
            cDataManager::InternalError);
  EXPECT_EQ(cDataManager::WriteBinary(&stream, "{StaticPath}/pack.zip/conf/new.bin"),
            cDataManager::FileNotFound);
}

TEST_F(DataManagerTest, BinaryRoundTripReplacesTheFileWhole) {
  vektest::WriteFileText(m_Tokens / "app.dat", "an older and longer save file");
  cBitStream out;
  out.WriteInt(42);
  out.WriteString("Gardener");
  out.WriteFloat(0.9f);
  EXPECT_EQ(cDataManager::WriteBinary(&out, "{UserPath}/app.dat"), cDataManager::Ok);
  EXPECT_EQ(cDataManager::WriteBinary(&out, "{UserPath}/App.dat"), cDataManager::Ok);
  EXPECT_EQ(fs::file_size(m_Tokens / "app.dat"), 4u + 2u + 8u + 4u);
  EXPECT_FALSE(fs::exists(m_Tokens / "app.dat.tmp"));
  struct stat st;
  ASSERT_EQ(::stat((m_Tokens / "app.dat").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  cBitStream in;
  in.WriteInt(1);  // replaced by the file's bytes
  EXPECT_EQ(cDataManager::ReadBinary(&in, "{UserPath}/app.dat"), cDataManager::Ok);
  EXPECT_EQ(in.GetReadPosition(), 0);
  EXPECT_EQ(in.ReadInt(), 42u);
  std::string name;
  in.ReadString(name);
  EXPECT_EQ(name, "Gardener");
  EXPECT_EQ(in.ReadFloat(), 0.9f);
  EXPECT_TRUE(in.IsReadEnd());

  cBitStream empty;
  EXPECT_EQ(cDataManager::WriteBinary(&empty, "{UserPath}/empty.dat"), cDataManager::Ok);
  EXPECT_TRUE(fs::exists(m_Tokens / "empty.dat"));
  EXPECT_EQ(fs::file_size(m_Tokens / "empty.dat"), 0u);
  EXPECT_EQ(cDataManager::ReadBinary(&in, "{UserPath}/empty.dat"), cDataManager::InternalError);
  EXPECT_EQ(cDataManager::ReadBinary(&in, "{UserPath}/none.dat"), cDataManager::FileNotFound);
  EXPECT_EQ(cDataManager::ReadBinary(nullptr, "{UserPath}/app.dat"), cDataManager::NoOutput);
  EXPECT_EQ(cDataManager::WriteBinary(nullptr, "{UserPath}/never.dat"), cDataManager::NoOutput);
  EXPECT_FALSE(fs::exists(m_Tokens / "never.dat"));
  EXPECT_EQ(cDataManager::WriteBinary(&out, "{UserPath}/no/folder.dat"),
            cDataManager::FileNotFound);
}

// A full disk (here: a file-size limit) fails the write, reports it, and leaves the previous
// save as it was.
TEST_F(DataManagerTest, FailedWriteKeepsThePreviousSave) {
  const std::string old = "previous good save";
  vektest::WriteFileText(m_Tokens / "save.dat", old);
  cBitStream big;
  for (int i = 0; i < 20000; ++i) big.WriteInt(static_cast<vek::u32>(i));

  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = saved;
  limit.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  cDataManager::cResult result = cDataManager::WriteBinary(&big, "{UserPath}/save.dat");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result, cDataManager::InternalError);
  EXPECT_EQ(vektest::ReadFileText(m_Tokens / "save.dat"), old);
  EXPECT_FALSE(fs::exists(m_Tokens / "save.dat.tmp"));

  // A target that cannot be replaced (a folder) fails too and leaves no temporary behind.
  fs::create_directories(m_Tokens / "folder.dat");
  EXPECT_EQ(cDataManager::WriteBinary(&big, "{UserPath}/folder.dat"), cDataManager::InternalError);
  EXPECT_FALSE(fs::exists(m_Tokens / "folder.dat.tmp"));
}

}  // namespace
