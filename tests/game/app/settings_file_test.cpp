// The settings file: what the game writes reads back to the same values, a hostile or broken
// file is refused with one log line naming it and the defaults apply, and writing goes
// through a new temporary whatever lies at its name.
#include "game/app/settings_file.h"

#include <gtest/gtest.h>
#include <lua.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/core/path_tokens.h"
#include "engine/script/script.h"
#include "tests/engine/core/captured_log.h"
#include "tests/support/script_engine_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A text as the log file shows it.
std::string Html(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\'': out += "&#39;"; break;
      case '"': out += "&quot;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      default: out += c;
    }
  }
  return out;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_SavedAppPath = vek::GetPathToken(vek::e_AppPath);
    vek::SetPathToken(vek::e_AppPath, tmp.path());
    fs::create_directories(tmp / "conf");
    ASSERT_TRUE(script.Init());
    L = script.GetState();
  }
  void TearDown() override { vek::SetPathToken(vek::e_AppPath, m_SavedAppPath); }

  std::string Path() const { return tmp / "conf/settings.lua"; }
  bool Load() { return LoadSettingsFile(script, "{AppPath}/conf/settings.lua"); }
  bool Write(const cSettingValues& values) { return WriteSettingsFile("{AppPath}/conf/settings.lua", values); }
  std::string Eval(const std::string& expression) { return vektest::EvalLua(L, expression); }
  // How often the log names the settings file as not used.
  int Refusals() {
    const std::string text = log.Text();
    const std::string line = "Settings file " + Path() + " not used: ";
    int n = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++n;
    return n;
  }

  vektest::TempDir tmp;
  vektest::CapturedLog log;
  vek::cScript script;
  lua_State* L = nullptr;

 private:
  vek::string m_SavedAppPath;
};

TEST_F(SettingsFileTest, WhatTheGameWritesReadsBackToTheSameValues) {
  const cSettingValues values = {
      {"gamma", 0.98},
      {"mouseSpeed", static_cast<double>(0.3f)},
      {"soundVolume", static_cast<double>(0.7f)},
      {"width", 1024.0},
      {"playerCounter", 0.0},
      {"huge", 1e300},
      {"tiny", 1.5e-7},
      {"below", -2.5},
      {"nothing", std::nan("")},
      {"windowed", false},
      {"player", vek::string("Ann \"the\" \\ gardener\n\t\x01\x7f\xc3\xa9")},
      {"two words", 1.0},
      {"end", true},
  };
  ASSERT_TRUE(Write(values));
  const std::string text = vektest::ReadFileText(Path());
  for (const char* line : {"Settings = {\n", "  gamma = 0.98,\n", "  mouseSpeed = 0.3,\n", "  soundVolume = 0.7,\n",
                           "  width = 1024,\n", "  playerCounter = 0,\n", "  huge = 1e+300,\n", "  tiny = 1.5e-07,\n",
                           "  below = -2.5,\n", "  windowed = false,\n", "  [\"two words\"] = 1,\n",
                           "  [\"end\"] = true,\n",
                           "  player = \"Ann \\\"the\\\" \\\\ gardener\\n\\t\\001\\127\xc3\xa9\",\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
  EXPECT_EQ(text.find("nothing"), std::string::npos) << "a NaN is left out";
  struct stat st {};
  ASSERT_EQ(::stat(Path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 022, 0u);

  ASSERT_TRUE(Load());
  EXPECT_EQ(Eval("Settings.gamma == 0.98"), "true");
  lua_getglobal(L, "Settings");
  lua_getfield(L, -1, "mouseSpeed");
  EXPECT_EQ(static_cast<float>(lua_tonumber(L, -1)), 0.3f);
  lua_getfield(L, -2, "soundVolume");
  EXPECT_EQ(static_cast<float>(lua_tonumber(L, -1)), 0.7f);
  lua_getfield(L, -3, "player");
  size_t length = 0;
  const char* player = lua_tolstring(L, -1, &length);
  EXPECT_EQ(vek::string(player, length), std::get<vek::string>(values.at("player")));
  lua_settop(L, 0);
  EXPECT_EQ(Eval("Settings.huge == 1e300 and Settings.tiny == 1.5e-7 and Settings.below == -2.5"), "true");
  EXPECT_EQ(Eval("Settings.width .. ' ' .. tostring(Settings.windowed) .. ' ' .. tostring(Settings['end'])"),
            "1024 false true");
  EXPECT_EQ(Refusals(), 0);
}

// Every way a settings file can be hostile or broken: refused at once with one log line
// naming it, nothing of it run outside, "Settings" nil so the defaults apply.
TEST_F(SettingsFileTest, HostileAndBrokenFilesAreRefusedWithOneLine) {
  const std::string marker = tmp / "marker";
  const std::string values = "Settings = { width = 800 }\n";
  const struct {
    const char* what;
    std::string text;
    int mode;
    unsigned owner;  // 0: the player's own
    const char* why;
  } cases[] = {
      {"another user's file", values + "os.execute('touch " + marker + "')\n", 0644, 65534,
       "it belongs to another user (uid 65534)"},
      {"world-writable", values, 0666, 0, "other users may write it (mode 666)"},
      {"group-writable", values, 0664, 0, "other users may write it (mode 664)"},
      {"too large", values + "-- " + std::string(70 * 1024, 'x') + "\n", 0644, 0, "it is larger than 65536 bytes"},
      {"endless", values + "while true do end\n", 0644, 0, "settings.lua:2: the script ran too long and was stopped"},
      {"runs a command", "os.execute('touch " + marker + "')\n" + values, 0644, 0, "attempt to index global 'os'"},
      {"writes a file", "io.open('" + marker + "', 'w')\n" + values, 0644, 0, "attempt to index global 'io'"},
      {"loads code", "load(\"os.execute('touch " + marker + "')\")()\n", 0644, 0, "attempt to call global 'load'"},
      {"broken", "Settings = { width = }\n", 0644, 0, "settings.lua:1: unexpected symbol near '}'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.owner != 0 && ::geteuid() != 0) {
      std::printf("skipped (needs root to give a file away): %s\n", c.what);
      continue;
    }
    fs::remove(Path());
    ASSERT_TRUE(vektest::WriteFileText(Path(), c.text));
    ASSERT_EQ(::chmod(Path().c_str(), c.mode), 0);
    if (c.owner != 0) {
      ASSERT_EQ(::chown(Path().c_str(), c.owner, c.owner), 0);
    }
    ASSERT_TRUE((luaL_dostring(L, "Settings = { width = 1 }") == LUA_OK));
    const int before = Refusals();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Load());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(Refusals(), before + 1) << log.Text();
    EXPECT_TRUE(log.Contains(Html(c.why))) << log.Text();
    EXPECT_EQ(Eval("Settings"), "nil");
    EXPECT_FALSE(fs::exists(marker));
  }

  // Not a regular file: a FIFO with no writer and a folder are refused without waiting.
  for (const bool fifo : {true, false}) {
    fs::remove_all(Path());
    ASSERT_EQ(fifo ? ::mkfifo(Path().c_str(), 0600) : ::mkdir(Path().c_str(), 0700), 0);
    const int before = Refusals();
    EXPECT_FALSE(Load());
    EXPECT_EQ(Refusals(), before + 1);
    EXPECT_TRUE(log.Contains("it is not a regular file"));
  }

  // A first start (no file) and an empty file: not used, and not a word about it.
  fs::remove_all(Path());
  const int before = Refusals();
  EXPECT_FALSE(Load());
  ASSERT_TRUE(vektest::WriteFileText(Path(), ""));
  EXPECT_FALSE(Load());
  EXPECT_EQ(Refusals(), before);
}

// A file that defines functions (the game's own WriteSettings among them) keeps its values;
// its functions stay in it and the game's are untouched.
TEST_F(SettingsFileTest, FunctionsInTheFileNeverReplaceTheGames) {
  ASSERT_TRUE((luaL_dostring(L, "function WriteSettings(path) return 0 end mine = WriteSettings") == LUA_OK));
  ASSERT_TRUE(vektest::WriteFileText(
      Path(), "Settings = { width = 800, write = function() end, nested = { 1 } }\n"
              "function WriteSettings(path) while true do end end\n"
              "function LoadHardwareSettings() while true do end end\n"));
  EXPECT_TRUE(Load());
  EXPECT_EQ(Eval("Settings.width"), "800");
  EXPECT_EQ(Eval("tostring(Settings.write) .. ' ' .. tostring(Settings.nested)"), "nil nil");
  EXPECT_EQ(Eval("WriteSettings == mine"), "true");
  EXPECT_EQ(Eval("LoadHardwareSettings"), "nil");
  EXPECT_EQ(Refusals(), 0);
}

// Whatever lies at the temporary's name - a link leading outside, a FIFO - the settings file
// is written in its folder, at once, and nothing outside is touched.
TEST_F(SettingsFileTest, WritingTakesANewTemporaryWhateverLiesAtItsName) {
  const std::string outside = tmp / "outside";
  const std::string temp = Path() + ".tmp";
  for (const bool link : {true, false}) {
    SCOPED_TRACE(link ? "a dangling link" : "a FIFO");
    fs::remove(temp);
    if (link) {
      fs::create_symlink(outside, temp);
    } else {
      ASSERT_EQ(::mkfifo(temp.c_str(), 0600), 0);
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Write({{"width", 800.0}}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(fs::exists(fs::symlink_status(outside)));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Path())));
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
    EXPECT_NE(vektest::ReadFileText(Path()).find("width = 800,"), std::string::npos);
  }
  // A folder that cannot be written: false, with a line naming the file.
  vek::SetPathToken(vek::e_AppPath, tmp / "missing");
  EXPECT_FALSE(Write({{"width", 800.0}}));
  EXPECT_TRUE(log.Contains("Settings file " + (tmp / "missing/conf/settings.lua") + " not written"));
}

}  // namespace
