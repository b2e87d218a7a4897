#include "engine/script/script.h"

#include <gtest/gtest.h>
#include <luabind/luabind.hpp>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/app/script_bindings.h"
#include "engine/core/path_tokens.h"
#include "engine/files/filename.h"
#include "engine/script/script_bind.h"
#include "platform/os.h"
#include "tests/engine/script/script_fixture.h"

namespace {

using vektest::ScriptFixture;

// ---------------------------------------------------------------------------------------------
// print and "_VEK_PRINT"

TEST_F(ScriptFixture, PrintJoinsArgumentsIntoOneLine) {
  ASSERT_TRUE(Run("lines = {} _VEK_PRINT = function(s) lines[#lines + 1] = s end"));
  struct {
    const char* call;
    std::string line;
  } cases[] = {
      {"print()", ""},
      {"print(1, 'a', nil)", "1\ta\tnil"},
      {"print(true, 2.5, '')", "true\t2.5\t"},
      {"print(setmetatable({}, {__tostring = function() return 'obj' end}))", "obj"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Run("lines = {} " + std::string(c.call))) << c.call;
    EXPECT_EQ(Eval("#lines"), "1") << c.call;
    EXPECT_EQ(Eval("lines[1]"), c.line) << c.call;
  }
  // A line far longer than any fixed buffer arrives whole.
  ASSERT_TRUE(Run("lines = {} print(string.rep('x', 5000), string.rep('y', 3000))"));
  EXPECT_EQ(Eval("#lines[1]"), "8001");
  EXPECT_EQ(Eval("lines[1]:sub(4999, 5003)"), "xx\tyy");
}

TEST_F(ScriptFixture, PrintWritesThePlainLineWithTheTextAsFormat) {
  ASSERT_TRUE(Run("print('100%d') print('|a%%b|') print('-', 7)"));
  const std::string log = Log();
  EXPECT_NE(log.find("100|a%b|-\t7"), std::string::npos) << log;
  // Nothing but the text: no sender, level or added newline.
  EXPECT_EQ(log.find("%d"), std::string::npos);
}

TEST_F(ScriptFixture, PrintWithoutVekPrintFunctionShowsNothing) {
  const size_t before = Log().size();
  EXPECT_TRUE(Run("_VEK_PRINT = 42 print('hidden') _VEK_PRINT = nil print('hidden too')"));
  EXPECT_EQ(Log().size(), before);
}

TEST_F(ScriptFixture, PrintRefusesAToStringThatReturnsNoText) {
  EXPECT_EQ(Eval("select(2, pcall(print, setmetatable({}, {__tostring = function() return {} end})))"),
            "`tostring' must return a string to `print'");
}

// ---------------------------------------------------------------------------------------------
// "_ERROR": every run-time error reaches it first, with its message unchanged

TEST_F(ScriptFixture, PcallOfErrorIsLoggedOnceAndReturnsTheMessage) {
  ASSERT_TRUE(Run("ok, msg = pcall(error, 'x')"));
  EXPECT_EQ(Eval("ok"), "false");
  EXPECT_EQ(Eval("msg"), "x");
  EXPECT_EQ(Count(Log(), Entry("cScript", "warning", "x<br />")), 1) << Log();
}

TEST_F(ScriptFixture, EveryKindOfRunTimeErrorReachesErrorHookBeforeTheHandler) {
  ASSERT_TRUE(Run("seen = {} _ERROR = function(m) seen[#seen + 1] = tostring(m) end"));
  struct {
    const char* code;    // a call that raises inside pcall
    const char* result;  // the message pcall returns
  } cases[] = {
      {"pcall(error, 'plain')", "plain"},
      {"pcall(function() error('lvl', 0) end)", "lvl"},
      {"pcall(function() error('at', 1) end)", "test:1: at"},
      {"pcall(function() return nil + 1 end)", "test:1: attempt to perform arithmetic on a nil value"},
      {"pcall(function() undefined_function() end)",
       "test:1: attempt to call global 'undefined_function' (a nil value)"},
      {"pcall(string.rep)", "bad argument #1 to 'string.rep' (string expected, got no value)"},
      {"pcall(error, {code = 3})", "table"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Run(std::string("seen = {} ok, msg = ") + c.code)) << c.code;
    EXPECT_EQ(Eval("ok"), "false") << c.code;
    std::string msg = Eval("type(msg) == 'table' and 'table' or msg");
    EXPECT_EQ(msg, c.result) << c.code;
    EXPECT_EQ(Eval("#seen"), "1") << c.code;
    if (msg != "table") {
      EXPECT_EQ(Eval("seen[1]"), c.result) << c.code;
    }
  }
}

TEST_F(ScriptFixture, XpcallHandlerRunsAfterErrorHookAndItsResultIsReturned) {
  ASSERT_TRUE(Run(R"(
    order = {}
    _ERROR = function(m) order[#order + 1] = 'E:' .. m end
    ok, res = xpcall(function() error('y', 0) end,
                     function(m) order[#order + 1] = 'H:' .. m return 'handled' end)
    ok2, res2 = xpcall(function(a, b) return a + b end, print, 2, 3)
    ok3, res3 = xpcall(function() error('z', 0) end, 42)
  )"));
  EXPECT_EQ(Eval("table.concat(order, ',')"), "E:y,H:y,E:z");
  EXPECT_EQ(Eval("ok"), "false");
  EXPECT_EQ(Eval("res"), "handled");
  EXPECT_EQ(Eval("ok2"), "true");
  EXPECT_EQ(Eval("res2"), "5");
  EXPECT_EQ(Eval("ok3"), "false");
  EXPECT_EQ(Eval("res3"), "error in error handling");
}

TEST_F(ScriptFixture, ErrorsInsideCoroutinesAndAcrossYieldsReachErrorHook) {
  ASSERT_TRUE(Run(R"(
    seen = {}
    _ERROR = function(m) seen[#seen + 1] = m end
    co = coroutine.create(function(a) local b = coroutine.yield(a + 1) error('co' .. b, 0) end)
    r1 = {coroutine.resume(co, 1)}
    r2 = {coroutine.resume(co, 5)}
    gen = coroutine.wrap(function()
      local ok, v = pcall(function() coroutine.yield('first') error('w', 0) end)
      coroutine.yield(tostring(ok) .. v)
    end)
    g1 = gen() g2 = gen()
  )"));
  EXPECT_EQ(Eval("tostring(r1[1]) .. r1[2]"), "true2");
  EXPECT_EQ(Eval("tostring(r2[1]) .. r2[2]"), "falseco5");
  EXPECT_EQ(Eval("g1 .. '/' .. g2"), "first/falsew");
  EXPECT_EQ(Eval("table.concat(seen, ',')"), "co5,w");
}

TEST_F(ScriptFixture, AFailingOrMissingErrorHookKeepsTheMessage) {
  for (const char* hook : {"function(m) error('inner') end", "17", "nil"}) {
    ASSERT_TRUE(Run(std::string("_ERROR = ") + hook + " ok, msg = pcall(error, 'x')")) << hook;
    EXPECT_EQ(Eval("tostring(ok) .. msg"), "falsex") << hook;
  }
}

TEST_F(ScriptFixture, NativeProtectedCallsUseTheErrorHook) {
  ASSERT_TRUE(Run("seen = {} _ERROR = function(m) seen[#seen + 1] = m end "
                  "function Fail(a) error('fail ' .. a, 0) end function Twice(a) return a * 2 end"));
  // cScript::PCall, the way the engine calls a script function by name.
  lua_getglobal(L, "Fail");
  lua_pushinteger(L, 3);
  EXPECT_NE(vek::cScript::PCall(L, 1, 1), LUA_OK);
  EXPECT_STREQ(lua_tostring(L, -1), "fail 3");
  lua_pop(L, 1);
  lua_getglobal(L, "Twice");
  lua_pushinteger(L, 4);
  ASSERT_EQ(vek::cScript::PCall(L, 1, 1), LUA_OK);
  EXPECT_EQ(lua_tointeger(L, -1), 8);
  lua_pop(L, 1);
  // luabind's calls from C++.
  EXPECT_THROW(luabind::call_function<void>(L, "Fail", 4), luabind::error);
  lua_settop(L, 0);
  EXPECT_EQ(Eval("table.concat(seen, ',')"), "fail 3,fail 4");
}

TEST_F(ScriptFixture, AlertHandlerLogsTextNumbersAndNothingElse) {
  ASSERT_TRUE(Run("_ALERT('alert text') _ALERT(12)"));
  const std::string log = Log();
  EXPECT_EQ(Count(log, Entry("cScript", "warning", "alert text<br />")), 1) << log;
  EXPECT_EQ(Count(log, Entry("cScript", "warning", "12<br />")), 1);
}

// Errors whose object is no text are logged readably, never as an empty warning.
TEST_F(ScriptFixture, ErrorsWithoutTextAreLoggedReadably) {
  struct Case {
    const char* code;
    const char* logged;
  };
  const Case cases[] = {
      {"error(nil)", "error object is a nil value"},
      {"error()", "error object is a nil value"},
      {"error({})", "error object is a table value"},
      {"error(true)", "error object is a boolean value"},
      {"error(setmetatable({}, {__tostring = function() return 'a described failure' end}))",
       "a described failure"},
      // A __tostring that fails or gives no text falls back to the type.
      {"error(setmetatable({}, {__tostring = function() error('inner') end}))",
       "error object is a table value"},
      {"error(setmetatable({}, {__tostring = function() return {} end}))",
       "error object is a table value"},
      {"_ALERT({})", "error object is a table value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const size_t before = Log().size();
    Run(c.code);
    const std::string log = Log().substr(before);
    EXPECT_NE(log.find(Entry("cScript", "warning", c.logged)), std::string::npos) << log;
    EXPECT_EQ(Count(log, Entry("cScript", "warning", "<br />")), 0) << log;
  }
}

// A script in an endless loop ends when the program is asked to close, and the host stays
// usable for the shutdown.
TEST_F(ScriptFixture, TerminationRequestEndsAnEndlessScript) {
  struct sigaction savedTerm{}, savedInt{};
  ::sigaction(SIGTERM, nullptr, &savedTerm);
  ::sigaction(SIGINT, nullptr, &savedInt);
  plat::InstallTerminationHandlers();
  struct Case {
    const char* code;
  };
  const Case cases[] = {
      {"while true do end"},
      {"local t = {} while true do t[1] = (t[1] or 0) + 1 end"},
      // A loop that catches every error still ends.
      {"while true do pcall(function() for i = 1, 1000 do end end) end"},
      {"local co = coroutine.wrap(function() while true do end end) co()"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    std::thread signaller([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      ::kill(::getpid(), SIGTERM);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Run(c.code));
    const auto took = std::chrono::steady_clock::now() - start;
    signaller.join();
    EXPECT_TRUE(plat::TerminationRequested());
    plat::ClearTerminationRequest();
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_NE(Log().find("script interrupted: the program is closing"), std::string::npos);
    // With the request handled, scripts run again.
    EXPECT_TRUE(Run("local n = 0 for i = 1, 100000 do n = n + i end assert(n == 5000050000)"));
  }
  ::sigaction(SIGTERM, &savedTerm, nullptr);
  ::sigaction(SIGINT, &savedInt, nullptr);
}

// The state's memory has a limit: a script that grows beyond it gets an error and the memory
// comes back; the limit can be set.
TEST_F(ScriptFixture, MemoryLimitTurnsExhaustionIntoAScriptError) {
  EXPECT_EQ(script->GetMemoryLimit(), vek::u64(1) << 30);
  const vek::u64 base = script->GetMemoryUsed();
  EXPECT_GT(base, 0u);
  script->SetMemoryLimit(base + (vek::u64(32) << 20));
  const char* const hogs[] = {
      "local t = {} while true do t[#t + 1] = string.rep('x', 4096) .. #t end",
      "local s = 'x' while true do s = s .. s end",
  };
  for (const char* hog : hogs) {
    SCOPED_TRACE(hog);
    EXPECT_FALSE(Run(hog));
    EXPECT_NE(Log().find("not enough memory"), std::string::npos);
    lua_gc(L, LUA_GCCOLLECT, 0);
    EXPECT_LT(script->GetMemoryUsed(), base + (vek::u64(4) << 20));
    EXPECT_TRUE(Run("local t = {} for i = 1, 1000 do t[i] = tostring(i) end"));
  }
}

// ---------------------------------------------------------------------------------------------
// LoadFile

TEST_F(ScriptFixture, LoadFileRunsAFileAndReportsFailuresWithThePath) {
  // File names lower-case everything but a token's value: the folder goes in a token.
  const std::string dir = tmp.path() + "/scripts";
  std::filesystem::create_directories(dir);
  const vek::string savedStatic = vek::GetPathToken(vek::e_StaticPath);
  vek::SetPathToken(vek::e_StaticPath, dir);
  ASSERT_TRUE(vektest::WriteFileText(dir + "/good.lua", "loaded = 'yes'\nreturn 1\n"));
  ASSERT_TRUE(vektest::WriteFileText(dir + "/syntax.lua", "x = = 1\n"));
  ASSERT_TRUE(vektest::WriteFileText(dir + "/runtime.lua", "\nerror('boom')\n"));
  ASSERT_TRUE(vektest::WriteFileText(dir + "/empty.lua", ""));

  EXPECT_TRUE(script->LoadFile(vek::filename("{StaticPath}/good.lua")));
  EXPECT_EQ(Eval("loaded"), "yes");

  // Missing and empty files: false and not a word in the log.
  const size_t before = Log().size();
  EXPECT_FALSE(script->LoadFile(vek::filename("{StaticPath}/missing.lua")));
  EXPECT_FALSE(script->LoadFile(vek::filename("{StaticPath}/empty.lua")));
  EXPECT_EQ(Log().size(), before);

  // A syntax error: the library's message once, then the file's warning.
  const vek::filename syntax("{StaticPath}/syntax.lua");
  EXPECT_FALSE(script->LoadFile(syntax));
  std::string log = Log().substr(before);
  EXPECT_EQ(Count(log, "syntax.lua:1: unexpected symbol near &#39;=&#39;"), 1) << log;
  EXPECT_EQ(Count(log, "LoadFile: error in file "), 1) << log;
  EXPECT_NE(log.find("LoadFile: error in file " + syntax.path), std::string::npos) << log;
  EXPECT_LT(log.find("unexpected symbol"), log.find("LoadFile: error in file"));

  // A run-time error: logged when raised and again when the chunk's failure is reported.
  const size_t mid = Log().size();
  EXPECT_FALSE(script->LoadFile(vek::filename("{StaticPath}/runtime.lua")));
  log = Log().substr(mid);
  EXPECT_EQ(Count(log, "runtime.lua:2: boom"), 2) << log;
  EXPECT_EQ(Count(log, "LoadFile: error in file "), 1) << log;
  vek::SetPathToken(vek::e_StaticPath, savedStatic);
}

// ---------------------------------------------------------------------------------------------
// Chunks of values

// The globals a chunk of values set, as "name=value" texts of its plain values, sorted.
std::vector<std::string> ValuesOnTop(lua_State* L) {
  std::vector<std::string> out;
  if (!lua_istable(L, -1)) return out;
  lua_pushnil(L);
  while (lua_next(L, -2) != 0) {
    lua_pushvalue(L, -2);
    const std::string key = lua_tostring(L, -1);
    lua_pop(L, 1);
    const char* value = lua_type(L, -1) == LUA_TTABLE ? "table" : lua_tostring(L, -1);
    out.push_back(key + "=" + (value ? value : "?"));
    lua_pop(L, 1);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A chunk of values sees nothing of the program, cannot set the program's globals, and is
// stopped when it loops, grows or is not source text; the host is as before afterwards.
TEST_F(ScriptFixture, RunValuesReachesNothingAndStopsAtItsBudget) {
  ASSERT_TRUE(Run("WriteSettings = 'the game' marker = 0"));
  const vek::u64 limit = script->GetMemoryLimit();
  const vek::cScript::cValuesBudget budget;
  vek::string error;

  ASSERT_TRUE(script->RunValues("Settings = { width = 800, name = 'x' .. 1 }\nfunction WriteSettings() end\nn = 2^10",
                                "=values", budget, &error))
      << error;
  const int top = lua_gettop(L);
  EXPECT_EQ(ValuesOnTop(L), (std::vector<std::string>{"Settings=table", "WriteSettings=?", "n=1024"}));
  lua_getfield(L, -1, "Settings");
  lua_getfield(L, -1, "name");
  EXPECT_STREQ(lua_tostring(L, -1), "x1");
  lua_settop(L, top - 1);
  EXPECT_EQ(Eval("WriteSettings"), "the game");

  // A chunk that is compiled, not source text.
  std::string binary;
  ASSERT_EQ(luaL_loadstring(L, "marker = 1"), LUA_OK);
  lua_dump(L, [](lua_State*, const void* p, size_t n, void* out) {
    static_cast<std::string*>(out)->append(static_cast<const char*>(p), n);
    return 0;
  }, &binary);
  lua_pop(L, 1);

  const struct {
    std::string code;
    const char* error;
  } cases[] = {
      {"while true do end", "values:1: the script ran too long and was stopped"},
      {"local function f() return f() end f()", "the script ran too long"},
      {"for i = 1, 1e9 do local t = {} end", "the script ran too long"},
      {"os.execute('touch /tmp/x')", "attempt to index global 'os' (a nil value)"},
      {"io.open('/tmp/x', 'w')", "attempt to index global 'io'"},
      {"load('marker = 1')()", "attempt to call global 'load'"},
      {"require 'os'", "attempt to call global 'require'"},
      {"dofile('/etc/passwd')", "attempt to call global 'dofile'"},
      {"setmetatable({}, {})", "attempt to call global 'setmetatable'"},
      {"marker = theGame or print or _G or pcall or string or x.y", "attempt to index global 'x'"},
      // One instruction that would cost memory or time: string methods are out of reach.
      {"s = ('x'):rep(1e9)", "(a string value)"},
      {"s = ('x'):rep(1e5):find('.-.-.-.-y')", "(a string value)"},
      {"local s = 'xxxxxxxxxxxxxxxx' for i = 1, 40 do s = s .. s end", "not enough memory"},
      {"t = {} for i = 1, 1e6 do t[i] = {{}, {}, {}} end", "not enough memory"},
      {binary, "attempt to load a binary chunk"},
      {"Settings = {", "values:1:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const auto start = std::chrono::steady_clock::now();
    error.clear();
    EXPECT_FALSE(script->RunValues(c.code, "=values", budget, &error));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(lua_gettop(L), top - 1);
    // The host is whole again: its globals, its strings' methods, its memory limit, and no
    // budget on the scripts that follow.
    EXPECT_EQ(Eval("marker"), "0");
    EXPECT_EQ(Eval("('ab'):rep(2)"), "abab");
    EXPECT_EQ(script->GetMemoryLimit(), limit);
    EXPECT_TRUE(Run("local n = 0 for i = 1, 2000000 do n = n + 1 end"));
  }
  // Nothing of this reached the log: the caller tells what failed.
  EXPECT_EQ(Log().find("too long"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Life cycle

TEST_F(ScriptFixture, SecondCreateWarnsAndKeepsTheFirstHost) {
  EXPECT_FALSE(vek::CreateScript());
  EXPECT_EQ(vek::GetScript(), script);
  EXPECT_EQ(script->GetState(), L);
  EXPECT_EQ(Count(Log(), Entry("CreateScript", "warning", "Script system already exists<br />")), 1)
      << Log();
  EXPECT_EQ(Count(Log(), Entry("cScript", "text", "CreateScript: Ok<br />")), 1);

  EXPECT_TRUE(vek::DestroyScript());
  EXPECT_EQ(vek::GetScript(), nullptr);
  EXPECT_FALSE(vek::DestroyScript());
  EXPECT_EQ(Count(Log(), Entry("DestroyScript", "text", "Ok<br />")), 1);
  EXPECT_EQ(Count(Log(), Entry("DestroyScript", "warning", "Script system does not exist<br />")), 1);
}

struct Plain {
  int value = 7;
};

TEST_F(ScriptFixture, AHostWithoutStateIsSafeEverywhere) {
  vek::cScript host;  // as after a failed Init
  ASSERT_EQ(host.GetState(), nullptr);
  Plain p;
  host.RegisterVar("p", &p);
  EXPECT_FALSE(host.LoadFile(vek::filename(tmp.path() + "/none.lua")));
  EXPECT_FALSE(host.DoString("x = 1", "=test"));
  EXPECT_FALSE(vek::RegisterEngine(&host));
  EXPECT_FALSE(vek::RegisterEngine(nullptr));
  vek::push_pointer(nullptr, &p);
  vek::undelete_class_rep<Plain>(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Native objects: RegisterVar, push_pointer, undelete_class_rep

// A class whose live objects are counted; each registers itself in a native list (as
// controls join their window), and its virtual Value can be overridden by a script class.
struct Counter {
  static inline int live = 0;
  static inline std::vector<Counter*> owned;
  explicit Counter(int v = 0) : value(v) {
    ++live;
    owned.push_back(this);
  }
  virtual ~Counter() {
    --live;
    owned.erase(std::remove(owned.begin(), owned.end(), this), owned.end());
  }
  virtual int Value() const { return value; }
  int value;
};

struct CounterWrap : Counter, luabind::wrap_base {
  explicit CounterWrap(int v = 0) : Counter(v) {}
  int Value() const override { return call<int>("Value"); }
  static int DefaultValue(const Counter* self) { return self->Counter::Value(); }
};

int CallValue(const Counter* c) { return c->Value(); }
void Refuse() { throw std::runtime_error("native says no"); }

class ObjectsTest : public ScriptFixture {
 protected:
  void SetUp() override {
    ScriptFixture::SetUp();
    luabind::module(L)[(luabind::class_<Plain>("Plain").def_readwrite("value", &Plain::value),
                        luabind::class_<Counter, CounterWrap>("Counter")
                            .def(luabind::constructor<int>())
                            .def("Value", &Counter::Value, &CounterWrap::DefaultValue),
                        luabind::def("CallValue", &CallValue), luabind::def("Refuse", &Refuse))];
  }
  void TearDown() override {
    // The native owner lets go of its objects before the state closes.
    while (!Counter::owned.empty()) delete Counter::owned.back();
    ScriptFixture::TearDown();
  }
};

TEST_F(ObjectsTest, RegisterVarPublishesANativeObjectTheScriptNeverOwns) {
  Plain p;
  script->RegisterVar("thePlain", &p);
  ASSERT_TRUE(Run("thePlain.value = thePlain.value + 1 alias = thePlain thePlain = nil"));
  ASSERT_TRUE(Run("alias = nil collectgarbage() collectgarbage()"));
  EXPECT_EQ(p.value, 8);  // still alive and changed by the script

  struct Unknown {};
  Unknown u;
  script->RegisterVar("u", &u);
  EXPECT_EQ(Eval("u"), "nil");
  EXPECT_NE(Log().find("RegisterVar: registry-&gt;find_class(...): "), std::string::npos) << Log();
}

TEST_F(ObjectsTest, PushPointerPushesExactlyOneValue) {
  ASSERT_TRUE(Run("function Args(...) return select('#', ...), (...) end"));
  Plain p;
  struct Unknown {};
  Unknown u;
  struct {
    void* object;
    const std::type_info& type;
    const char* first;
  } cases[] = {{&p, typeid(Plain), "userdata"}, {nullptr, typeid(Plain), "nil"}, {&u, typeid(Unknown), "nil"}};
  for (const auto& c : cases) {
    const int top = lua_gettop(L);
    lua_getglobal(L, "Args");
    vek::push_pointer(L, c.object, c.type);
    lua_pushinteger(L, 5);  // the caller's next argument keeps its place
    ASSERT_EQ(vek::cScript::PCall(L, 2, 2), LUA_OK);
    EXPECT_EQ(lua_tointeger(L, -2), 2) << c.first;
    EXPECT_STREQ(luaL_typename(L, -1), c.first);
    lua_settop(L, top);
  }
  EXPECT_NE(Log().find(Entry("push_pointer", "warning", "registry-&gt;find_class(...): ")), std::string::npos);
  // The pushed object is the native one.
  vek::push_pointer(L, &p);
  lua_setglobal(L, "pushed");
  ASSERT_TRUE(Run("pushed.value = 40"));
  EXPECT_EQ(p.value, 40);
}

TEST_F(ObjectsTest, WithoutUndeleteTheCollectorDeletesScriptObjects) {
  ASSERT_TRUE(Run("for i = 1, 3 do Counter(i) end collectgarbage() collectgarbage()"));
  EXPECT_EQ(Counter::live, 0);
}

TEST_F(ObjectsTest, UndeletedClassObjectsBelongToTheNativeSide) {
  vek::undelete_class_rep<Counter>(L);
  vek::undelete_class_rep<Counter>(L);  // a second call changes nothing
  ASSERT_TRUE(Run("for i = 1, 3 do local c = Counter(i) assert(c:Value() == i) end "
                  "collectgarbage() collectgarbage()"));
  ASSERT_EQ(Counter::live, 3);
  EXPECT_EQ(Counter::owned[2]->Value(), 3);
  delete Counter::owned[0];  // the owner deletes; the script's dead references do not matter
  ASSERT_TRUE(Run("collectgarbage() collectgarbage()"));
  EXPECT_EQ(Counter::live, 2);

  struct Unknown {};
  vek::undelete_class_rep<Unknown>(L);
  EXPECT_NE(Log().find(Entry("undelete_class_rep", "warning", "registry-&gt;find_class(...)<br />")),
            std::string::npos);
}

TEST_F(ObjectsTest, ScriptClassDerivedFromABoundClassOverridesAVirtualMethod) {
  vek::undelete_class_rep<Counter>(L);
  ASSERT_TRUE(Run(R"(
    class 'Special' (Counter)
    function Special:__init(v) Counter.__init(self, v) self.bonus = 100 end
    function Special:Value() return self.bonus + Counter.Value(self) end
    local s = Special(5)
    direct = s:Value()
    through_native = CallValue(s)
  )"));
  EXPECT_EQ(Eval("direct"), "105");
  EXPECT_EQ(Eval("through_native"), "105");
  // The native side owns the object: the override survives the script dropping it.
  ASSERT_TRUE(Run("collectgarbage() collectgarbage()"));
  ASSERT_EQ(Counter::live, 1);
  EXPECT_EQ(Counter::owned[0]->Value(), 105);
  delete Counter::owned[0];
  ASSERT_TRUE(Run("collectgarbage() collectgarbage()"));
  EXPECT_EQ(Counter::live, 0);
}

TEST_F(ObjectsTest, NativeExceptionsBecomeScriptErrors) {
  ASSERT_TRUE(Run("seen = {} _ERROR = function(m) seen[#seen + 1] = m end ok, msg = pcall(Refuse)"));
  EXPECT_EQ(Eval("ok"), "false");
  EXPECT_NE(Eval("msg").find("native says no"), std::string::npos) << Eval("msg");
  EXPECT_EQ(Eval("#seen"), "1");
  // A call that matches no overload is a script error too.
  EXPECT_EQ(Eval("(pcall(CallValue, 'text'))"), "false");
}

}  // namespace
