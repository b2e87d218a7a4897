#pragma once
// A script host with a log file in a temporary folder, and helpers to run Lua snippets.
#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/script/script.h"
#include "tests/support/script_engine_fixture.h"
#include "tests/support/temp_dir.h"

namespace vektest {

class ScriptFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    m_SavedAppPath = vek::GetPathToken(vek::e_AppPath);
    vek::SetPathToken(vek::e_AppPath, tmp.path() + "/app");
    vek::CreateLogHolder(1024.0f, 768.0f);
    ASSERT_TRUE(vek::CreateScript());
    script = vek::GetScript();
    L = script->GetState();
    ASSERT_NE(L, nullptr);
  }

  void TearDown() override {
    if (vek::GetScript()) vek::DestroyScript();
    vek::DestroyLogHolder();
    vek::SetPathToken(vek::e_AppPath, m_SavedAppPath);
  }

  // The log file written so far.
  std::string Log() const { return ReadFileText(tmp.path() + "/app/_log.html"); }

  // How a log entry shows in the file (the message as HTML).
  static std::string Entry(const std::string& sender, const std::string& level,
                           const std::string& html) {
    return "<span class='sender'>" + sender + ": </span><span class='" + level + "'>" + html;
  }

  static int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }

  // Runs a chunk through the host (errors are reported as the host reports them).
  bool Run(const std::string& code) { return script->DoString(code, "=test"); }

  // The value of a Lua expression converted with tostring; "<error: message>" when it fails.
  std::string Eval(const std::string& expression) { return EvalLua(L, expression); }

  TempDir tmp;
  vek::cScript* script = nullptr;
  lua_State* L = nullptr;

 private:
  vek::string m_SavedAppPath;
};

}  // namespace vektest
