#include "engine/files/file.h"

#include "engine/core/bitstream.h"
#include "engine/files/data_manager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/engine/files/file_test_support.h"

namespace {

using filetest::ZipMember;
using vek::cFile;

std::string ReadAll(cFile& file) {
  std::string out;
  char buf[700];  // an odd chunk size, so that reads end inside deflate blocks
  while (vek::u32 n = file.Read(buf, 1, sizeof(buf))) out.append(buf, n);
  return out;
}

class ZipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(m_Tokens / "Data");
    m_Big.reserve(100000);
    for (int i = 0; m_Big.size() < 100000; ++i) m_Big += "line " + std::to_string(i) + "\n";
    std::vector<ZipMember> members = {
        {"a.txt", "hello archive", false},
        {"Sub/Deep/Big.TXT", m_Big, true},
        {"win\\c.txt", "stored with a back slash", true},
        {"six.bin", "123456", false},
        {"empty.txt", "", true},
        {"bad_stored.txt", "CORRUPT-ME-PLEASE", false},
        // Raw deflate data that is not deflate data.
        {"bad_deflated.txt", std::string(64, '\xff'), true, true, 1000, 0x12345678},
        {"liar.txt", std::string(5000, 'x'), true},
        {"liar_stored.txt", "short", false},
    };
    std::string path = m_Tokens / "Data/gfx.zip";
    ASSERT_TRUE(filetest::WriteZip(path, members));
    std::string bytes = vektest::ReadFileText(path);
    size_t at = bytes.find("CORRUPT-ME-PLEASE");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'X';
    // A deflated member that claims to unpack to 2 GB.
    ASSERT_TRUE(filetest::PatchSizes(bytes, "liar.txt", 0x7FFFFFFF));
    // A stored member that claims 1 GB of data in a small archive.
    ASSERT_TRUE(filetest::PatchSizes(bytes, "liar_stored.txt", 0x40000000, true));
    ASSERT_TRUE(vektest::WriteFileText(path, bytes));
  }

  filetest::TokenFolders m_Tokens;
  std::string m_Big;
};

TEST_F(ZipTest, ReadsStoredAndDeflatedMembersCaseBlindWithEitherSeparator) {
  struct Case {
    const char* path;
    std::string data;
  } cases[] = {
      {"{StaticPath}/gfx.zip/a.txt", "hello archive"},
      {"{StaticPath}/GFX.ZIP/A.TXT", "hello archive"},
      {"{StaticPath}/gfx.zip/sub/deep/big.txt", m_Big},
      {"{StaticPath}\\gfx.zip\\Sub\\Deep\\Big.txt", m_Big},
      {"{StaticPath}/gfx.zip/win/c.txt", "stored with a back slash"},
      {"{StaticPath}/gfx.zip/empty.txt", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    cFile file;
    ASSERT_EQ(file.Open(c.path, "rb"), cFile::e_Opened);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_FALSE(file.IsDiskFile());
    EXPECT_EQ(file.GetSize(), c.data.size());
    EXPECT_EQ(ReadAll(file), c.data);
    EXPECT_EQ(file.Write("x", 1, 1), 0u);
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.IsOpen());
  }
}

TEST_F(ZipTest, ReadsWholeElementsOnly) {
  cFile file;
  ASSERT_EQ(file.Open("{StaticPath}/gfx.zip/six.bin", "rb"), cFile::e_Opened);
  char buf[40];
  EXPECT_EQ(file.Read(buf, 4, 10), 1u);  // 6 bytes left: one whole element of 4
  EXPECT_EQ(file.Read(buf, 4, 10), 0u);
  EXPECT_TRUE(file.Close());
}

TEST_F(ZipTest, FailuresAreLoggedAndLeaveTheObjectClosed) {
  filetest::LogCapture log;
  std::string truncated = vektest::ReadFileText(m_Tokens / "Data/gfx.zip");
  truncated.resize(truncated.size() / 2);
  ASSERT_TRUE(vektest::WriteFileText(m_Tokens / "Data/cut.zip", truncated));
  vek::filename missingArchive("{StaticPath}/missing.zip/a.txt");
  struct Case {
    vek::filename path;
    const char* mode;
    int result;
    std::string logged;
  } cases[] = {
      {"{StaticPath}/gfx.zip/a.txt", "wb", cFile::e_BadMode, ""},
      {"{StaticPath}/gfx.zip/a.txt", "a", cFile::e_BadMode, ""},
      {missingArchive, "rb", cFile::e_NoArchive,
       "ZIP file " + missingArchive.dir().substr(0, missingArchive.dir().size() - 1) +
           " not found"},
      {"{StaticPath}/cut.zip/a.txt", "rb", cFile::e_NoArchive, "cut.zip not found"},
      {"{StaticPath}/gfx.zip/Sub/none.txt", "rb", cFile::e_NotFound,
       "File sub\\none.txt not found in ZIP file"},
      {"{StaticPath}/gfx.zip/liar.txt", "rb", cFile::e_ArchiveError,
       "Internal error in ZIP file - couldn&#39;t get file info"},
      {"{StaticPath}/gfx.zip/liar_stored.txt", "rb", cFile::e_ArchiveError, ""},
      {"", "rb", cFile::e_NotFound, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.path + " " + c.mode);
    cFile file;
    EXPECT_EQ(file.Open(c.path, c.mode), c.result);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetSize(), 0u);
    if (!c.logged.empty()) {
      EXPECT_NE(log.Text().find(c.logged), std::string::npos) << log.Text();
    }
  }
}

TEST_F(ZipTest, CorruptMembersDeliverNoDataAndAreLogged) {
  for (const char* name : {"bad_stored.txt", "bad_deflated.txt"}) {
    SCOPED_TRACE(name);
    filetest::LogCapture log;
    cFile file;
    ASSERT_EQ(file.Open(vek::CombinePath("{StaticPath}/gfx.zip", name), "rb"), cFile::e_Opened);
    char buf[2000];
    EXPECT_EQ(file.Read(buf, 1, sizeof(buf)), 0u);
    EXPECT_EQ(file.Read(buf, 1, sizeof(buf)), 0u);
    EXPECT_FALSE(file.Close());
    EXPECT_NE(log.Text().find("Internal error in ZIP file - couldn&#39;t read file"),
              std::string::npos)
        << log.Text();
  }
}

// Members whose own checks fail: each is a failed read with a log line, for a reader of
// the file layer and for the data manager's whole-file loaders.
TEST(ZipMemberChecks, MembersFailingTheirChecksAreReadErrors) {
  filetest::TokenFolders tokens;
  std::filesystem::create_directories(tokens / "Data");
  std::string text;
  for (int i = 0; text.size() < 20000; ++i) text += "row " + std::to_string(i) + " of the text\n";
  const std::string half = text.substr(0, text.size() / 2);
  const std::string bzip = "BZh91AY&SY" + std::string(40, '\x17');
  const unsigned long size = static_cast<unsigned long>(text.size());
  std::vector<ZipMember> members = {
      // A complete deflate stream of the first half, declared as the whole text.
      {"short.txt", filetest::RawDeflate(half), true, true, size, filetest::Crc(text)},
      // The whole text with a checksum that does not match it.
      {"checksum.txt", filetest::RawDeflate(text), true, true, size, filetest::Crc(text) ^ 1},
      // Bzip2 bytes with a size and checksum that fit them as they are.
      {"bzip.txt", bzip, true, true, static_cast<unsigned long>(bzip.size()), filetest::Crc(bzip)},
      {"good.txt", filetest::RawDeflate(text), true, true, size, filetest::Crc(text)},
  };
  const std::string path = tokens / "Data/bad.zip";
  ASSERT_TRUE(filetest::WriteZip(path, members));
  std::string bytes = vektest::ReadFileText(path);
  ASSERT_TRUE(filetest::PatchMethod(bytes, "bzip.txt", 12));
  ASSERT_TRUE(vektest::WriteFileText(path, bytes));

  struct Case {
    const char* member;
    const char* logged;
  };
  const Case cases[] = {
      {"short.txt", "couldn&#39;t read file"},
      {"checksum.txt", "couldn&#39;t read file"},
      {"bzip.txt", "Unsupported compression method 12 of bzip.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    const vek::filename name(vek::CombinePath("{StaticPath}/bad.zip", c.member));
    {
      filetest::LogCapture log;
      cFile file;
      if (file.Open(name, "rb") == cFile::e_Opened) {
        EXPECT_NE(ReadAll(file), text);
        EXPECT_FALSE(file.Close());
      }
      EXPECT_NE(log.Text().find(c.logged), std::string::npos) << log.Text();
    }
    filetest::LogCapture log;
    vek::string read = "before";
    EXPECT_NE(vek::cDataManager::ReadText(&read, name), vek::cDataManager::Ok);
    EXPECT_EQ(read, "before");
    vek::cBitStream stream;
    EXPECT_NE(vek::cDataManager::ReadBinary(&stream, name), vek::cDataManager::Ok);
    EXPECT_NE(log.Text().find(c.logged), std::string::npos) << log.Text();
  }
  // The same archive's good member reads whole.
  vek::string read;
  EXPECT_EQ(vek::cDataManager::ReadText(&read, vek::filename("{StaticPath}/bad.zip/good.txt")),
            vek::cDataManager::Ok);
  EXPECT_EQ(read, text);
}

TEST(FileTest, DiskFilesReadWriteAppendAndKeepTheirPosition) {
  filetest::TokenFolders tokens;
  cFile file;
  ASSERT_EQ(file.Open("{UserPath}/Notes.TXT", "wt"), cFile::e_Opened);
  EXPECT_TRUE(file.IsDiskFile());
  EXPECT_EQ(file.Write("abcdef", 2, 3), 3u);
  // A second open keeps the first file.
  EXPECT_EQ(file.Open("{UserPath}/other.txt", "wb"), cFile::e_AlreadyOpen);
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(std::filesystem::exists(tokens / "other.txt"));

  struct stat st;
  ASSERT_EQ(::stat((tokens / "notes.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  ASSERT_EQ(file.Open("{UserPath}/notes.txt", "a"), cFile::e_Opened);
  EXPECT_EQ(file.Write("gh", 1, 2), 2u);
  EXPECT_EQ(file.GetSize(), 8u);
  EXPECT_EQ(file.Write("i", 1, 1), 1u);  // still appending where it was
  EXPECT_TRUE(file.Close());

  ASSERT_EQ(file.Open("{UserPath}/notes.txt", "rb"), cFile::e_Opened);
  char buf[4];
  EXPECT_EQ(file.Read(buf, 4, 1), 1u);
  EXPECT_EQ(file.GetSize(), 9u);
  EXPECT_EQ(file.Read(buf, 1, 4), 4u);
  EXPECT_EQ(std::string(buf, 4), "efgh");
  EXPECT_EQ(file.Write("x", 1, 1), 0u);  // opened for reading
  EXPECT_TRUE(file.Close());
}

TEST(FileTest, DiskFailures) {
  filetest::TokenFolders tokens;
  filetest::LogCapture log;
  std::filesystem::create_directories(tokens / "folder");
  cFile file;
  EXPECT_EQ(file.Open("{UserPath}/missing.txt", "rb"), cFile::e_NotFound);
  EXPECT_NE(log.Text().find("missing.txt not found on disk"), std::string::npos);
  EXPECT_EQ(file.Open("{UserPath}/folder", "rb"), cFile::e_NotFound);  // a folder is no file
  EXPECT_EQ(file.Open("{UserPath}/x.txt", "x"), cFile::e_BadMode);
  EXPECT_EQ(file.Open("{UserPath}/nofolder/x.txt", "wb"), cFile::e_NotFound);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Read(nullptr, 1, 1), 0u);
  EXPECT_FALSE(file.Flush());
  EXPECT_TRUE(file.Close());  // closing a closed object changes nothing
}

}  // namespace
