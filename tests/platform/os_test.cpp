#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

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

TEST(InstanceLock, SecondHolderIsRefusedUntilReleased) {
  vektest::TempDir tmp;
  auto os = std::make_unique<plat::FixedOs>();
  os->runtimeFolder = tmp.path();
  plat::SetOs(std::move(os));
  {
    plat::InstanceLock a, b;
    EXPECT_TRUE(a.Acquire("GardenMutex"));
    EXPECT_FALSE(b.Acquire("GardenMutex"));
    a.Release();
    EXPECT_TRUE(b.Acquire("GardenMutex"));
  }
  plat::SetOs(nullptr);
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
