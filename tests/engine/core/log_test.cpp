#include "engine/core/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/path_tokens.h"
#include "platform/os.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_dir.h"

namespace {

// A log file writing into an anonymous temporary stream.
class LogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Stream = std::tmpfile();
    ASSERT_NE(m_Stream, nullptr);
    m_File.Attach(m_Stream);
  }
  void TearDown() override {
    m_File.Attach(nullptr);
    if (m_Stream) std::fclose(m_Stream);
  }
  // Everything written so far.
  std::string Written() {
    std::fflush(m_Stream);
    std::string text;
    std::rewind(m_Stream);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, m_Stream)) > 0) text.append(buf, n);
    std::fseek(m_Stream, 0, SEEK_END);
    return text;
  }

  std::FILE* m_Stream = nullptr;
  vek::cLogFile m_File;
};

TEST_F(LogFileTest, WriteHtmlConvertsText) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a  b", "a&nbsp;&nbsp;b"},
      {" a", "&nbsp;a"},
      {"a b", "a b"},
      {"a ", "a "},
      {"^1red^7white\n",
       "<span style='color:blue'>red</span><span style='color:white'>white</span><br />\n"},
      {"^0a^2b^3c^4d^5e\n",
       "<span style='color:black'>a</span><span style='color:green'>b</span>"
       "<span style='color:lightblue'>c</span><span style='color:red'>d</span>"
       "<span style='color:purple'>e</span><br />\n"},
      {"^1a^6b", "<span style='color:blue'>a</span>b"},  // ^6 only closes
      {"^1a^zb", "<span style='color:blue'>a</span>b"},  // other codes close and vanish
      {"^9x", "x"},
      {"end^", "end"},  // a caret at the very end is dropped
      {"^", ""},
      {"", ""},
      {"<a href=\"x\">&'", "&lt;a href=&quot;x&quot;&gt;&amp;&#39;"},
      {"\xE9t\xE9", "\xE9t\xE9"},
  };
  for (const auto& c : cases) {
    std::FILE* fresh = std::tmpfile();
    ASSERT_NE(fresh, nullptr);
    std::fclose(m_Stream);
    m_Stream = fresh;
    m_File.Attach(m_Stream);
    m_File.WriteHtml(c.in);
    EXPECT_EQ(Written(), c.out) << "text '" << c.in << "'";
  }
}

TEST_F(LogFileTest, SpanStaysOpenAcrossTexts) {
  m_File.WriteHtml("^2a");
  EXPECT_TRUE(m_File.SpanOpen());
  m_File.WriteHtml("b\n");
  EXPECT_FALSE(m_File.SpanOpen());
  EXPECT_EQ(Written(), "<span style='color:green'>ab</span><br />\n");
}

TEST_F(LogFileTest, EntryLayout) {
  vek::WriteLogEntry(m_File, "warning", "cScript", "LoadFile: error in file %s\n", "a b.lua",
                     vek::g_NoArg, vek::g_NoArg);
  EXPECT_EQ(Written(),
            "<span class='sender'>cScript: </span><span class='warning'>"
            "LoadFile: error in file a b.lua<br />\n</span>");
}

TEST_F(LogFileTest, ColourSpanLeftOpenEndsWithTheEntry) {
  vek::WriteLogEntry(m_File, "text", "cGame", "^4bad %d", 3, vek::g_NoArg, vek::g_NoArg);
  EXPECT_FALSE(m_File.SpanOpen());
  EXPECT_EQ(Written(),
            "<span class='sender'>cGame: </span><span class='text'>"
            "<span style='color:red'>bad 3</span></span>");
}

TEST_F(LogFileTest, PrintFormatsAndConverts) {
  m_File.Print("%s  %d%%\n", "x<y", 50);
  EXPECT_EQ(Written(), "x&lt;y&nbsp;&nbsp;50%<br />\n");
}

TEST(LogFileClosed, WritesNothing) {
  vek::cLogFile file;
  EXPECT_FALSE(file.IsOpen());
  file.Print("x %d\n", 1);
  file.WriteHtml("^");
  vek::WriteLogEntry(file, "text", "s", "x\n", vek::g_NoArg, vek::g_NoArg, vek::g_NoArg);
  vek::CloseLog(file);
  EXPECT_FALSE(file.IsOpen());
}

// A console that keeps the finished lines the log prints to it.
class RecordingConsole : public vek::iLogConsole {
 public:
  static std::vector<std::string>* s_pLines;
  static vek::iLogConsole* Make(float, float) { return new RecordingConsole; }
  void Print(const char* format, const vek::FormatArg& a1, const vek::FormatArg& a2,
             const vek::FormatArg& a3, const vek::FormatArg& a4, const vek::FormatArg& a5,
             const vek::FormatArg& a6, const vek::FormatArg& a7) override {
    vek::AppendFormat(m_Pending, format, a1, a2, a3, a4, a5, a6, a7);
    for (size_t end; (end = m_Pending.find('\n')) != std::string::npos;) {
      s_pLines->push_back(m_Pending.substr(0, end));
      m_Pending.erase(0, end + 1);
    }
  }

 private:
  vek::string m_Pending;
};
std::vector<std::string>* RecordingConsole::s_pLines = nullptr;

// The holder writes {AppPath}/_log.html under a temporary data folder with a fixed clock.
class LogHolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto os = std::make_unique<plat::FixedOs>();
    os->timeText = "Thu Dec 10 12:00:00 2026";
    plat::SetOs(std::move(os));
    m_OldAppPath = vek::GetPathToken(vek::e_AppPath);
    vek::SetPathToken(vek::e_AppPath, m_Dir / "Kelvra/Orchardia");
    RecordingConsole::s_pLines = &m_ConsoleLines;
    vek::SetLogConsoleMaker(&RecordingConsole::Make);
  }
  void TearDown() override {
    vek::DestroyLogHolder();
    vek::SetLogConsoleMaker(nullptr);
    vek::SetPathToken(vek::e_AppPath, m_OldAppPath);
    plat::SetOs(nullptr);
  }
  std::string LogPath() const { return m_Dir / "Kelvra/Orchardia/_log.html"; }

  vektest::TempDir m_Dir;
  std::string m_OldAppPath;
  std::vector<std::string> m_ConsoleLines;
};

TEST_F(LogHolderTest, FileHoldsHeaderEntriesAndFooter) {
  // Logging before the holder exists and after it is gone goes nowhere.
  vek::LogText("cTest", "before\n");

  const mode_t oldMask = ::umask(077);
  vek::CreateLogHolder(1024.0f, 768.0f);
  ::umask(oldMask);
  ASSERT_NE(vek::g_pLogHolder, nullptr);
  ASSERT_NE(vek::g_pLogHolder->m_pConsole, nullptr);
  ASSERT_TRUE(vek::g_pLogHolder->m_LogFile.IsOpen());

  vek::LogText("cGame", "started %d\n", 5);
  vek::LogError("cRender", "no device\n");
  vek::LogPlain("plain ^1x\n");
  // The console shows the same entries with their colour codes.
  const auto& lines = m_ConsoleLines;
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "^7cGame^6: ^6started 5");
  EXPECT_EQ(lines[lines.size() - 2], "^7cRender^6: ^4no device");
  EXPECT_EQ(lines.back(), "plain ^1x");
  // Each entry is flushed at once.
  EXPECT_NE(vektest::ReadFileText(LogPath()).find("no device"), std::string::npos);

  vek::DestroyLogHolder();
  EXPECT_EQ(vek::g_pLogHolder, nullptr);
  vek::LogWarning("cTest", "after\n");

  struct stat st{};
  ASSERT_EQ(::stat(LogPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  const std::string text = vektest::ReadFileText(LogPath());
  const std::string header =
      "<!DOCTYPE html PUBLIC '-//W3C//DTD XHTML 1.0 Strict//EN' "
      "'http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd'> \n"
      "<html xmlns='http://www.w3.org/1999/xhtml'> \n"
      "<head> \n"
      "  <title>vek15 log file</title> \n";
  EXPECT_EQ(text.compare(0, header.size(), header), 0) << text;
  const std::string body =
      "  </style> \n"
      "</head> \n"
      "<body><p> \n"
      "<span class='time'>Thu Dec 10 12:00:00 2026</span><br />\n"
      "<span class='sender'>cGame: </span><span class='text'>started 5<br />\n</span>"
      "<span class='sender'>cRender: </span><span class='error'>no device<br />\n</span>"
      "plain <span style='color:blue'>x</span><br />\n"
      "<span class='time'>Thu Dec 10 12:00:00 2026</span>\n"
      "</p></body>\n</html>\n";
  ASSERT_GE(text.size(), body.size());
  EXPECT_EQ(text.substr(text.size() - body.size()), body);
  EXPECT_EQ(text.find("before"), std::string::npos);
  EXPECT_EQ(text.find("after"), std::string::npos);
}

TEST_F(LogHolderTest, FileIsReplacedAtEveryStartAndThePreviousOneKept) {
  vek::CreateLogHolder(1024.0f, 768.0f);
  vek::LogText("cGame", "first run\n");
  vek::DestroyLogHolder();
  vek::CreateLogHolder(1024.0f, 768.0f);
  vek::LogText("cGame", "second run\n");
  vek::DestroyLogHolder();
  EXPECT_EQ(vektest::ReadFileText(LogPath()).find("first run"), std::string::npos);
  const std::string old = vektest::ReadFileText(m_Dir / "Kelvra/Orchardia/_log.old.html");
  EXPECT_NE(old.find("first run"), std::string::npos);
  EXPECT_NE(old.find("</html>"), std::string::npos);
}

// A disk that fills up while the log is written: the previous log stays whole, the failure is
// told once on stderr, what fitted stays, and once there is room again the entries and the
// closing tags are written.
TEST_F(LogHolderTest, FullDiskIsReportedOnceAndThePreviousLogKept) {
  vektest::SmallDisk disk(64 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << "a small file system cannot be mounted here";
  vek::SetPathToken(vek::e_AppPath, disk.path());
  const std::string previous = "<html>the previous session</html>\n";
  ASSERT_TRUE(vektest::WriteFileText(disk / "_log.html", previous));
  ASSERT_TRUE(disk.Fill(4096));

  testing::internal::CaptureStderr();
  vek::CreateLogHolder(1024.0f, 768.0f);
  ASSERT_TRUE(vek::g_pLogHolder->m_LogFile.IsOpen());
  for (int i = 0; i < 300; ++i) vek::LogText("cGame", "entry number %d of a long session\n", i);
  EXPECT_TRUE(vek::g_pLogHolder->m_LogFile.WriteFailed());
  const std::string full = vektest::ReadFileText(disk / "_log.html");
  ::unlink((disk / ".filler").c_str());
  vek::LogText("cGame", "room again\n");
  vek::DestroyLogHolder();
  const std::string err = testing::internal::GetCapturedStderr();

  EXPECT_EQ(vektest::ReadFileText(disk / "_log.old.html"), previous);
  size_t reports = 0;
  for (size_t at = err.find("cannot write the log file"); at != std::string::npos;
       at = err.find("cannot write the log file", at + 1)) {
    ++reports;
  }
  EXPECT_EQ(reports, 1u) << err;
  EXPECT_EQ(full.rfind("<!DOCTYPE", 0), 0u);
  EXPECT_NE(full.find("entry number 0 of"), std::string::npos);
  const std::string text = vektest::ReadFileText(disk / "_log.html");
  EXPECT_NE(text.find("room again"), std::string::npos);
  const std::string end = "</p></body>\n</html>\n";
  ASSERT_GE(text.size(), end.size());
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
}

// A flood of one warning: a few dozen are written, the rest counted and told in one line at
// the end; other kinds and progress lines are written as they come.
TEST_F(LogHolderTest, RepeatedWarningsOfOneKindAreCountedPastAFewDozen) {
  vek::CreateLogHolder(1024.0f, 768.0f);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000000; ++i) vek::LogWarning("cData", "bad row %i\n", i);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  for (int i = 0; i < 60; ++i) vek::LogText("cGame", "level %i\n", i);
  for (int i = 0; i < 3; ++i) vek::LogError("cData", "bad file %i\n", i);
  for (int i = 0; i < 51; ++i) vek::LogWarning("cOther", "just past the limit\n");
  const auto limit = static_cast<int>(vek::cLogHolder::kRepeatLimit);
  EXPECT_EQ(m_ConsoleLines.size(), static_cast<size_t>(limit + 1 + 60 + 3 + limit + 1));
  vek::DestroyLogHolder();

  const std::string text = vektest::ReadFileText(LogPath());
  EXPECT_LT(text.size(), 32u * 1024) << "the log stays small";
  const auto count = [&](const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(">bad row "), limit);
  EXPECT_NE(text.find(vek::Formatted("bad row %i<", limit - 1)), std::string::npos);
  EXPECT_EQ(text.find(vek::Formatted("bad row %i<", limit)), std::string::npos);
  EXPECT_EQ(count("level "), 60);
  EXPECT_EQ(count("bad file "), 3);
  EXPECT_EQ(count("just past the limit<"), limit);
  // Where the counting starts, and the count of each kind at the end, before the closing time.
  EXPECT_EQ(count("Further entries like &quot;bad row %i&quot; are counted, not written"), 1) << text;
  const size_t closing =
      text.find(std::to_string(1000000 - limit) + " more entries like &quot;bad row %i&quot; were not written");
  EXPECT_NE(closing, std::string::npos) << text.substr(text.size() - 2000);
  EXPECT_NE(text.find("1 more entries like &quot;just past the limit&quot; were not written"), std::string::npos);
  EXPECT_LT(closing, text.rfind("<span class='time'>"));
  EXPECT_EQ(text.find("more entries like &quot;bad file"), std::string::npos);
}

TEST_F(LogHolderTest, UnwritableFolderLeavesTheLogClosed) {
  // The data folder's parent is a plain file, so no folder and no log can be made.
  ASSERT_TRUE(vektest::WriteFileText(m_Dir / "blocker", "x"));
  vek::SetPathToken(vek::e_AppPath, m_Dir / "blocker/Orchardia");
  testing::internal::CaptureStderr();
  vek::CreateLogHolder(1024.0f, 768.0f);
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_NE(vek::g_pLogHolder, nullptr);
  EXPECT_FALSE(vek::g_pLogHolder->m_LogFile.IsOpen());
  EXPECT_NE(err.find("_log.html"), std::string::npos);
  vek::LogText("cGame", "goes nowhere %s\n", "quietly");
  vek::LogPlain("nor this\n");
}

}  // namespace
