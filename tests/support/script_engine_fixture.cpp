#include "tests/support/script_engine_fixture.h"

#include "engine/script/script.h"

namespace vektest {

std::string EvalLua(lua_State* L, const std::string& expression) {
  const int top = lua_gettop(L);
  const std::string code = "return tostring(" + expression + ")";
  std::string result;
  if (luaL_loadstring(L, code.c_str()) != LUA_OK || vek::cScript::PCall(L, 0, 1) != LUA_OK) {
    const char* msg = lua_tostring(L, -1);
    result = std::string("<error: ") + (msg ? msg : "?") + ">";
  } else {
    const char* s = lua_tostring(L, -1);
    result = s ? s : "<nil>";
  }
  lua_settop(L, top);
  return result;
}

std::vector<std::string> LuaStrings(lua_State* L, const char* name) {
  std::vector<std::string> out;
  lua_getglobal(L, name);
  const int n = static_cast<int>(lua_rawlen(L, -1));
  for (int i = 1; i <= n; ++i) {
    lua_rawgeti(L, -1, i);
    const char* s = lua_tostring(L, -1);
    out.push_back(s ? s : "<nil>");
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  return out;
}

void ScriptEngineFixture::SetUp() {
  EngineFixture::SetUp();
  if (HasFatalFailure()) return;
  ASSERT_NE(vek::GetScript(), nullptr);
  L = vek::GetScript()->GetState();
  ASSERT_NE(L, nullptr);
}

bool ScriptEngineFixture::Run(const std::string& code) { return vek::GetScript()->DoString(code, "=test"); }

}  // namespace vektest
