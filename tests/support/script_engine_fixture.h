#pragma once
// The engine object with its script host as the start-up leaves them, and the Lua helpers the
// script tests share.
#include <lua.hpp>

#include <string>
#include <vector>

#include "tests/support/engine_fixture.h"

namespace vektest {

// The value of a Lua expression converted with tostring; "<error: message>" when it raises.
std::string EvalLua(lua_State* L, const std::string& expression);

// The strings of the global array `name` (empty when it holds none).
std::vector<std::string> LuaStrings(lua_State* L, const char* name);

class ScriptEngineFixture : public EngineFixture {
 protected:
  void SetUp() override;

  // Runs a chunk through the engine's script host (errors are reported as the host reports them).
  bool Run(const std::string& code);
  std::string Eval(const std::string& expression) { return EvalLua(L, expression); }

  lua_State* L = nullptr;
};

}  // namespace vektest
