// The error list, the file primitives and the open-file table.
#include <unistd.h>

#include <dirent.h>

#include <string>
#include <vector>

#include "tests/engine/file3ds/chunk_writer.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace test3ds;

using ErrorList = Toolkit;

TEST_F(ErrorList, TextsAndOverflow) {
  EXPECT_STREQ(ftkErrorText(0), "NO_FTK_ERRORS: No errors are pending");
  EXPECT_STREQ(ftkErrorText(13), "ERR_READING_FILE: Error occured while reading file");
  EXPECT_STREQ(ftkErrorText(22), "N_ERRORS: More errors were reported then could be recorded.");
  for (int32_t unknown : {20, 21, 23, -1})
    EXPECT_STREQ(ftkErrorText(unknown), "Unknown error code was encountered") << unknown;

  ftkErrorPush(0);
  EXPECT_FALSE(ftkErrorPending());

  const int32_t before = ftkErrorOverflow().code;
  for (int32_t i = 1; i <= 19; ++i) ftkErrorPush(i);
  EXPECT_EQ(Codes().size(), 19u);
  EXPECT_EQ(ftkErrorList()[19].code, 0);
  if (before == 0) {
    ftkErrorPush(17);  // the twentieth goes to the overflow record
    EXPECT_EQ(ftkErrorOverflow().code, 17);
  }
  ftkErrorPush(3);  // and then it turns into N_ERRORS for good
  EXPECT_EQ(ftkErrorOverflow().code, N_ERRORS);
  EXPECT_STREQ(ftkErrorOverflow().text, ftkErrorText(N_ERRORS));

  ftkErrorClear();
  EXPECT_FALSE(ftkErrorPending());
  EXPECT_TRUE(Codes().empty());
  EXPECT_EQ(ftkErrorOverflow().code, N_ERRORS);

  // Printed newest first.
  ftkErrorPush(ERR_NO_MEM);
  ftkErrorPush(ERR_INVALID_ARG);
  char* text = nullptr;
  size_t size = 0;
  std::FILE* mem = open_memstream(&text, &size);
  ftkErrorPrint(mem);
  std::fclose(mem);
  const std::string printed(text, size);
  free(text);
  EXPECT_EQ(printed, std::string(ftkErrorText(2)) + "\n" + ftkErrorText(1) + "\n");
}

class Primitives : public Toolkit {
 protected:
  // Runs the writes on a fresh file and gives its bytes.
  template <class F>
  Bytes Written(F&& writes) {
    const std::string path = tmp / "p.bin";
    File3ds* f = OpenFile3ds(path.c_str(), "w");
    EXPECT_NE(f, nullptr);
    SetCurrentFile3ds(f);
    writes();
    CloseFile3ds(f);
    return ReadBytes(path);
  }
  // Makes a file of the bytes the current file.
  void ReadFrom(const Bytes& bytes) {
    const std::string path = tmp / "r.bin";
    WriteBytes(path, bytes);
    SetCurrentFile3ds(OpenFile3ds(path.c_str(), "r"));
  }
  vektest::TempDir tmp;
};

TEST_F(Primitives, ByteLayouts) {
  EXPECT_EQ(Written([] {
              FileWriteWord3ds(0x1234);
              FileWriteDword3ds(0xA1B2C3D4);
              FileWriteFloat3ds(1.0f);
            }),
            (Bytes{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0, 0, 0x80, 0x3F}));
  EXPECT_EQ(Written([] { FileWriteString3ds("abcdefghij"); }).size(), 11u);
  const Bytes padded = Written([] { FileWritePaddedString3ds("abcde", 13); });
  EXPECT_EQ(padded, (B().raw({'a', 'b', 'c', 'd', 'e'}).raw(Bytes(8, 0)).b));
  KeyHeader3ds key{7, 0x0005, 0.5f, 9.0f, -0.5f, 9.0f, 9.0f};
  EXPECT_EQ(Written([&] { FileWriteKeyHeader3ds(key); }),
            (B().d(7).w(5).f(0.5f).f(-0.5f).b));
  EXPECT_FALSE(ftkErrorPending());

  // A padded write of a string that does not fit is refused.
  EXPECT_TRUE(Written([] { FileWritePaddedString3ds("abcdefghijklm", 13); }).empty());
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_STRING_TOO_LONG});
}

TEST_F(Primitives, ReadsAndTheirFailures) {
  ReadFrom(B().d(7).w(5).f(0.5f).f(-0.5f).s("name").raw({'x', 'y', 'z'}));
  KeyHeader3ds key;
  FileReadKeyHeader3ds(&key);
  EXPECT_EQ(key.frame, 7u);
  EXPECT_EQ(key.tension, 0.5f);
  EXPECT_EQ(key.continuity, 0.0f);
  EXPECT_EQ(key.bias, -0.5f);
  char buffer[5];
  FileReadString3ds(buffer, 5);
  EXPECT_STREQ(buffer, "name");
  EXPECT_FALSE(ftkErrorPending());
  // No zero byte within the limit: ERR_READING_FILE, and the buffer is still terminated.
  char small[3];
  FileReadString3ds(small, 3);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_READING_FILE});
  EXPECT_EQ(small[2], '\0');
  ftkErrorClear();
  EXPECT_EQ(FileReadDword3ds(), 0u);  // past the end
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_READING_FILE});
}

TEST_F(Primitives, StringLengthChecks) {
  EXPECT_EQ(CheckStringLength3ds("abcdefghij", 10), 10u);
  EXPECT_FALSE(ftkErrorPending());
  EXPECT_EQ(CheckStringLength3ds("abcdefghijk", 10), 0u);  // max + 1 is too long
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_STRING_TOO_LONG});
  ftkErrorClear();
  CheckStringLength3ds(nullptr, 10);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_INVALID_ARG});
}

class FileTable : public Toolkit {
 protected:
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    DIR* d = opendir(tmp.path().c_str());
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    }
    closedir(d);
    return names;
  }
  vektest::TempDir tmp;
};

TEST_F(FileTable, OpenModesAndLimits) {
  const std::string path = tmp / "a.3ds";
  WriteBytes(path, Bytes{1, 2, 3});
  File3ds* a = OpenFile3ds(path.c_str(), "rb");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(OpenFile3ds(path.c_str(), "r"), a);  // the same record, no second stream
  EXPECT_EQ(FindFileByName3ds(path.c_str()), a);
  EXPECT_EQ(GetFileByIndex3ds(a->index), a);

  EXPECT_EQ(OpenFile3ds(path.c_str(), "a"), nullptr);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_INIT_FAILED});
  ftkErrorClear();
  EXPECT_EQ(OpenFile3ds((tmp / "missing.3ds").c_str(), "r"), nullptr);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_OPENING_FILE});
  ftkErrorClear();

  // 252 files at once; a failed open leaves no slot behind, so the table is full at 252.
  std::vector<File3ds*> files = {a};
  for (int i = 1; i < kMaxFiles3ds; ++i) {
    const std::string name = tmp / ("w" + std::to_string(i));
    File3ds* f = OpenFile3ds(name.c_str(), "w");
    ASSERT_NE(f, nullptr) << i;
    files.push_back(f);
  }
  EXPECT_EQ(OpenFile3ds((tmp / "one-more").c_str(), "w"), nullptr);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_TOO_MANY_FILES});
  ftkErrorClear();
  CloseFile3ds(files[5]);  // a slot below the count is used again
  File3ds* again = OpenFile3ds((tmp / "again").c_str(), "w");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->index, 5);
  CloseAllFiles3ds();
  EXPECT_FALSE(ftkErrorPending());
  EXPECT_EQ(GetFileByIndex3ds(0), nullptr);
}

TEST_F(FileTable, WritingOverAReaderKeepsBothUntilClosed) {
  const std::string path = tmp / "scene.3ds";
  WriteBytes(path, B().d(0x11111111).d(0x22222222));
  File3ds* reader = OpenFile3ds(path.c_str(), "r");
  ASSERT_NE(reader, nullptr);
  SetCurrentFile3ds(reader);
  EXPECT_EQ(FileReadDword3ds(), 0x11111111u);

  File3ds* writer = OpenFile3ds(path.c_str(), "w");
  ASSERT_NE(writer, nullptr);
  ASSERT_NE(writer, reader);
  // The reader goes on under a temporary name in the same folder.
  EXPECT_EQ(reader->isTempFile, 1);
  EXPECT_EQ(std::string(reader->fileName).rfind(tmp.path() + "/", 0), 0u);
  EXPECT_EQ(FindFileByName3ds(path.c_str()), writer);
  SetCurrentFile3ds(writer);
  FileWriteDword3ds(0x33333333);
  SetCurrentFile3ds(reader);
  EXPECT_EQ(FileReadDword3ds(), 0x22222222u);
  // Until the writer is closed the old contents stay under the name.
  EXPECT_EQ(ReadBytes(path).size(), 8u);
  CloseFile3ds(writer);
  EXPECT_EQ(ReadBytes(path), B().d(0x33333333).b);
  CloseFile3ds(reader);
  EXPECT_FALSE(ftkErrorPending());
  EXPECT_EQ(Listing(), std::vector<std::string>{"scene.3ds"});
}

TEST_F(FileTable, AFailedWriteKeepsThePreviousFile) {
  const std::string path = tmp / "keep.3ds";
  WriteBytes(path, Bytes{9, 9});
  File3ds* writer = OpenFile3ds(path.c_str(), "w");
  ASSERT_NE(writer, nullptr);
  SetCurrentFile3ds(writer);
  FileWriteDword3ds(1);
  writer->writeFailed = 1;  // as after a failed write (disk full)
  CloseFile3ds(writer);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_CLOSING_FILE});
  EXPECT_EQ(ReadBytes(path), (Bytes{9, 9}));
  EXPECT_EQ(Listing(), std::vector<std::string>{"keep.3ds"});
}

}  // namespace
