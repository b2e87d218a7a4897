// The console: printing, keys, history, Lua lines, and its place in the frame.
#include "engine/app/console.h"

#include <gtest/gtest.h>
#include <lua.hpp>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/gui/widget.h"
#include "engine/script/script.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr vek::u32 kToggle = 0x29;

// A console without an engine, its history read from a temporary data folder.
class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Saved = vek::GetPathToken(vek::e_StaticPath);
    // Log holders made here get the engine's console, as under the engine object.
    vek::SetLogConsoleMaker(&vek::MakeConsole);
  }
  void TearDown() override { vek::SetPathToken(vek::e_StaticPath, m_Saved); }
  std::unique_ptr<vek::cConsole> Make(const char* concom) {
    vek::SetPathToken(vek::e_StaticPath, tmp.path());
    if (concom) {
      std::filesystem::create_directories(tmp.path() + "/conf");
      std::ofstream(tmp.path() + "/conf/concom.txt", std::ios::binary) << concom;
    }
    return std::make_unique<vek::cConsole>(1024.0f, 768.0f, 384.0f);
  }
  // Opens the console fully.
  static void Open(vek::cConsole& c) {
    c.OnKey(kToggle);
    c.Draw(1.0f);
    ASSERT_EQ(c.GetShownHeight(), 384.0f);
  }
  static void Type(vek::cConsole& c, const std::string& text) {
    for (unsigned char ch : text) c.OnChar(ch);
  }

  vektest::TempDir tmp;
  vek::string m_Saved;
};

TEST_F(ConsoleTest, PrintJoinsPartialLinesAndCapsTheList) {
  auto c = Make(nullptr);
  c->Print("ab");
  EXPECT_EQ(c->GetLines(), (std::deque<vek::string>{"ab"}));
  c->Print("c\n");
  EXPECT_EQ(c->GetLines(), (std::deque<vek::string>{"abc"}));
  c->Print("x\r\ny%i", 5);
  EXPECT_EQ(c->GetLines(), (std::deque<vek::string>{"abc", "x", "", "y5"}));
  EXPECT_EQ(c->GetLineCount(), 4);
  EXPECT_EQ(c->GetViewPos(), 4);
  for (size_t i = 0; i < vek::cConsole::kMaxLines + 10; ++i) c->Print("line %i\n", static_cast<int>(i));
  EXPECT_EQ(c->GetLines().size(), vek::cConsole::kMaxLines);
  EXPECT_EQ(c->GetLines().back(), "line " + std::to_string(vek::cConsole::kMaxLines + 9));
  EXPECT_EQ(c->GetViewPos(), static_cast<int>(vek::cConsole::kMaxLines));
}

TEST_F(ConsoleTest, HistoryComesFromConcomAndKeysWalkIt) {
  auto c = Make("first\n\nsecond\r\nthird\n");
  EXPECT_EQ(c->GetHistory(), (std::vector<vek::string>{"first", "second", "third"}));
  EXPECT_FALSE(c->OnKey(0xC8));  // hidden: keys and characters are refused
  EXPECT_FALSE(c->OnChar('a'));
  Open(*c);
  struct Step {
    vek::u32 key;
    const char* input;
    int caret;
  };
  const Step steps[] = {{0xC8, "third", 5},  {0xC8, "second", 6}, {0xC8, "first", 5}, {0xC8, "first", 5},
                        {0xD0, "second", 6}, {0xC7, "second", 0}, {0xCD, "second", 1}, {0xD3, "scond", 1},
                        {0xCB, "scond", 0},  {0xCB, "scond", 0},  {0xCF, "scond", 5},  {0xD3, "scond", 5},
                        {0xD0, "third", 5},  {0xD0, "", 0},       {0xD0, "", 0},       {0x1E, "", 0}};
  for (const Step& s : steps) {
    EXPECT_TRUE(c->OnKey(s.key));
    EXPECT_EQ(c->GetInput(), s.input) << s.key;
    EXPECT_EQ(c->GetCaret(), s.caret) << s.key;
  }
  // A missing file leaves the history empty.
  std::filesystem::remove(tmp.path() + "/conf/concom.txt");
  EXPECT_TRUE(Make(nullptr)->GetHistory().empty());
}

// A huge history file: the console keeps its newest lines (as many as its output) and reads
// the file without holding it, even under an address-space limit far below the file's cost.
TEST_F(ConsoleTest, HugeHistoryFileKeepsTheNewestLinesWithinBoundedMemory) {
  std::filesystem::create_directories(tmp.path() + "/conf");
  const int count = 8'000'000;
  {
    std::ofstream out(tmp.path() + "/conf/concom.txt", std::ios::binary);
    std::string chunk;
    for (int i = 0; i < count; ++i) {
      chunk += std::to_string(i);
      chunk += i % 1000 == 7 ? "\r\n" : "\n";
      if (i == count - 5) chunk += std::string(vek::cConsole::kMaxHistoryLine + 1, 'x') + "\n";
      if (chunk.size() > (1 << 20)) {
        out << chunk;
        chunk.clear();
      }
    }
    out << chunk;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The file costs hundreds of megabytes when held as one string per line.
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (rlim_t(200) << 20);
    struct rlimit rl = {limit, limit};
    ::setrlimit(RLIMIT_AS, &rl);
    vek::SetPathToken(vek::e_StaticPath, tmp.path());
    bool good = false;
    try {
      vek::cConsole console(1024.0f, 768.0f, 384.0f);
      const auto& history = console.GetHistory();
      const int kept = static_cast<int>(vek::cConsole::kMaxLines);
      good = history.size() == vek::cConsole::kMaxLines && history.back() == std::to_string(count - 1) &&
             history.front() == std::to_string(count - kept) &&
             history[history.size() - 1000] == std::to_string(count - 1000);
    } catch (...) {
      ::_exit(4);  // an exception left the constructor
    }
    ::_exit(good ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ConsoleTest, EnteredLinesRunAsLuaAndJoinTheHistoryOnce) {
  vek::CreateLogHolder(1024.0f, 768.0f);
  ASSERT_TRUE(vek::CreateScript());
  vek::cConsole& c = *vek::GetConsole();
  Open(c);
  Type(c, "print('hi ' .. 6 * 7)\r");
  EXPECT_EQ(c.GetLines().back(), "hi 42");
  Type(c, "print('hi ' .. 6 * 7)\r");
  Type(c, "bad(\r");  // an error shows as a warning
  EXPECT_NE(c.GetLines().back().find("^5"), std::string::npos) << c.GetLines().back();
  EXPECT_EQ(c.GetHistory(), (std::vector<vek::string>{"print('hi ' .. 6 * 7)", "bad("}));
  // Tab on an empty input takes the last entry; on a prefix the last entry that begins with it.
  Type(c, "\t");
  EXPECT_EQ(c.GetInput(), "bad(");
  Type(c, "\b\b\b\bpr\t");
  EXPECT_EQ(c.GetInput(), "print('hi ' .. 6 * 7)");
  EXPECT_EQ(c.GetCaret(), 21);
  // Toggle characters are swallowed, other characters inserted at the caret.
  c.OnKey(0xC7);
  Type(c, "`~x\xE9");
  EXPECT_EQ(c.GetInput(), "xprint('hi ' .. 6 * 7)");  // \xE9 is not printable here
  vek::DestroyScript();
  vek::DestroyLogHolder();
}

TEST_F(ConsoleTest, ToggleSlidesAndReversesMidway) {
  auto c = Make(nullptr);
  EXPECT_FALSE(c->Draw(0.1f));
  EXPECT_TRUE(c->OnKey(kToggle));
  EXPECT_EQ(c->GetSpeed(), 768.0f);
  EXPECT_TRUE(c->Draw(0.25f));
  EXPECT_EQ(c->GetShownHeight(), 192.0f);
  EXPECT_TRUE(c->OnKey(0x94));  // mid-slide: back up from where it is
  EXPECT_EQ(c->GetSpeed(), -768.0f);
  c->Draw(0.125f);
  EXPECT_EQ(c->GetShownHeight(), 96.0f);
  EXPECT_FALSE(c->Draw(1.0f));
  EXPECT_EQ(c->GetShownHeight(), 0.0f);
  EXPECT_EQ(c->GetSpeed(), 0.0f);
  Open(*c);
  c->OnKey(kToggle);
  EXPECT_EQ(c->GetSpeed(), -768.0f);
}

TEST_F(ConsoleTest, ScrollingAndTheScrollMark) {
  auto c = Make(nullptr);
  Open(*c);
  // No lines: the mark fills the panel instead of dividing by zero.
  float x, y, w, h;
  c->GetScrollMark(&x, &y, &w, &h);
  EXPECT_EQ(x, 1022.0f);
  EXPECT_EQ(w, 2.0f);
  EXPECT_EQ(h, 384.0f);
  EXPECT_EQ(y, 384.0f);
  for (int i = 0; i < 1000; ++i) c->Print("%i\n", i);
  const int visible = c->GetVisibleCount();
  ASSERT_GT(visible, 1);
  c->OnKey(0xC9);  // Page Up: the first page
  EXPECT_EQ(c->GetViewPos(), visible - 1);
  c->GetScrollMark(&x, &y, &w, &h);
  EXPECT_NEAR(h, 384.0f * (visible - 1) / 1000.0f, 1e-3);
  EXPECT_FLOAT_EQ(y + h, 768.0f);  // against the top of the panel
  c->OnKey(0xD1);  // Page Down: the newest lines
  EXPECT_EQ(c->GetViewPos(), 1000);
  c->GetScrollMark(&x, &y, &w, &h);
  EXPECT_EQ(y, 384.0f);
}

// The console inside the engine's frame.
class ConsoleLoop : public vektest::EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
    probe = new Probe("menu");
    game->SetFocusWidget("menu");
    console = vek::GetConsole();
    ASSERT_NE(console, nullptr);
  }
  void Frame(float dt = 0.05f) {
    game->SetFrameTime(dt);
    game->Frame();
  }
  void Char(unsigned char c) { game->WindowProc(plat::Message{plat::MsgKind::Char, c, 0, 0}); }

  struct Probe : vek::cWidget {
    using vek::cWidget::cWidget;
    void OnEvent(unsigned type, unsigned param) override { events.push_back({type, param}); }
    std::vector<std::pair<unsigned, unsigned>> events;
  };
  Probe* probe = nullptr;
  vek::cConsole* console = nullptr;
};

TEST_F(ConsoleLoop, ToggleKeyOnlyWhenEnabledAndTypedLinesRun) {
  input->Key(0x29, true);
  Frame();
  EXPECT_EQ(console->GetSpeed(), 0.0f);
  EXPECT_FALSE(console->IsShown());
  // Hidden: Enter and printable characters reach the game.
  Char('a');
  Char('\r');
  EXPECT_EQ(probe->events, (std::vector<std::pair<unsigned, unsigned>>{{3, 'a'}, {3, '\r'}}));

  ASSERT_TRUE(vek::GetScript()->DoString("theEngine:EnableConsole(true)", "=test"));
  input->Key(0x29, false);
  input->Key(0x29, true);
  Frame(0.05f);
  Frame(1.0f);  // drawn in the frame: slides fully open
  EXPECT_EQ(console->GetShownHeight(), 384.0f);
  probe->events.clear();
  for (char ch : std::string("print('typed ' .. 1 + 1)")) Char(static_cast<unsigned char>(ch));
  Char('\r');
  EXPECT_EQ(console->GetLines().back(), "typed 2");
  input->Key(0x1E, true);  // keys go to the console while it is shown
  Frame();
  EXPECT_TRUE(probe->events.empty());
}

TEST(ConsoleData, ShippedHistoryLinesAreLua) {
  std::ifstream in(std::string(VEK_SOURCE_DIR) + "/data/conf/concom.txt");
  ASSERT_TRUE(in.good());
  lua_State* L = luaL_newstate();
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    EXPECT_EQ(luaL_loadstring(L, line.c_str()), LUA_OK) << line;
    lua_settop(L, 0);
    ++count;
  }
  lua_close(L);
  EXPECT_GT(count, 3);
}

}  // namespace
