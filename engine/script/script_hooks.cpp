// The script host's hook functions: the engine's print, the "_ALERT"/"_ERROR" handler, the
// "_VEK_PRINT" handler, and the message handler that every protected call runs with.
//
// Lua 5.2 calls the message handler of the running protected call at the point where an
// error is raised (error(), failed operations, errors of native functions and of luabind),
// before the stack unwinds. Giving every protected call the same handler therefore reaches
// "_ERROR" for every run-time error. The protected calls that scripts make themselves
// (pcall, xpcall and the body of a coroutine) are replaced here by versions that install
// the handler; native callers use cScript::PCall; luabind's calls from C++ get it through
// its pcall callback (set by the host).
//
// Every function here is called by Lua: none keeps a C++ object with a destructor alive
// across a Lua call that may raise, and no C++ exception leaves one of them.
#include <lua.hpp>

#include <cstdio>
#include <cstring>
#include <exception>

#include "engine/core/log.h"
#include "engine/script/script.h"
#include "engine/script/script_hooks.h"

namespace vek {
namespace script_detail {

void CopyMessage(char* out, std::size_t size, const char* text) {
  if (size == 0) return;
  std::snprintf(out, size, "%s", text ? text : "");
}

void CopyCurrentException(char* out, std::size_t size) noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    CopyMessage(out, size, e.what());
  } catch (...) {
    CopyMessage(out, size, "unknown native exception");
  }
}

namespace {

// Raised when "_ERROR" itself fails or raises: the nested error is not handed on again.
int g_ErrorHookDepth = 0;

// Reads a global without metamethods (the handler must not raise by itself).
void RawGetGlobal(lua_State* L, const char* name) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
  lua_pushstring(L, name);
  lua_rawget(L, -2);
  lua_remove(L, -2);
}

// Calls "_ERROR" with the value at `index`; errors inside "_ERROR" are dropped.
void CallErrorGlobal(lua_State* L, int index) {
  if (g_ErrorHookDepth > 0 || !lua_checkstack(L, 4)) return;
  index = lua_absindex(L, index);
  RawGetGlobal(L, "_ERROR");
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushvalue(L, index);
  ++g_ErrorHookDepth;
  if (lua_pcall(L, 1, 0, 0) != LUA_OK) lua_pop(L, 1);
  --g_ErrorHookDepth;
}

// The message handler of xpcall: "_ERROR" first, then the script's own handler (upvalue 1),
// whose result becomes the error object. A failing handler gives the message Lua gives.
int ErrorHookThen(lua_State* L) {
  if (lua_gettop(L) < 1) lua_pushnil(L);
  lua_settop(L, 1);
  CallErrorGlobal(L, 1);
  if (!lua_checkstack(L, 3)) return 1;
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_pushvalue(L, 1);
  if (lua_pcall(L, 1, 1, 0) != LUA_OK) {
    lua_pop(L, 1);
    lua_pushliteral(L, "error in error handling");
  }
  return 1;
}

// Stack of the replaced pcall and xpcall: [handler, status, function, arguments...].
int FinishPcall(lua_State* L, int ok) {
  if (!lua_checkstack(L, 1)) {
    lua_settop(L, 0);
    lua_pushboolean(L, 0);
    lua_pushliteral(L, "stack overflow");
    return 2;
  }
  lua_pushboolean(L, ok);
  lua_replace(L, 2);
  lua_remove(L, 1);
  return lua_gettop(L);
}

int PcallContinue(lua_State* L) {
  int status = lua_getctx(L, nullptr);
  return FinishPcall(L, status == LUA_YIELD);
}

int HookedPcall(lua_State* L) {
  luaL_checkany(L, 1);
  lua_pushnil(L);
  lua_insert(L, 1);
  lua_pushcfunction(L, ErrorHook);
  lua_insert(L, 1);
  int status = lua_pcallk(L, lua_gettop(L) - 3, LUA_MULTRET, 1, 0, PcallContinue);
  return FinishPcall(L, status == LUA_OK);
}

int HookedXpcall(lua_State* L) {
  int n = lua_gettop(L);
  luaL_argcheck(L, n >= 2, 2, "value expected");
  // [f, h, args...] -> [hook(h), nil, f, args...]
  lua_pushvalue(L, 2);
  lua_pushcclosure(L, ErrorHookThen, 1);
  lua_replace(L, 2);
  lua_pushvalue(L, 1);
  lua_insert(L, 3);
  lua_remove(L, 1);
  lua_pushnil(L);
  lua_insert(L, 2);
  int status = lua_pcallk(L, lua_gettop(L) - 3, LUA_MULTRET, 1, 0, PcallContinue);
  return FinishPcall(L, status == LUA_OK);
}

// The body of every coroutine made by a script: runs the script's function (upvalue 1)
// with the message handler and raises its error again unchanged, so that resume reports it
// as before. Stack: [handler, function, arguments...].
int FinishCoroutine(lua_State* L, int ok) {
  if (!ok) return lua_error(L);
  lua_remove(L, 1);
  return lua_gettop(L);
}

int CoroutineContinue(lua_State* L) {
  int status = lua_getctx(L, nullptr);
  return FinishCoroutine(L, status == LUA_YIELD);
}

int CoroutineBody(lua_State* L) {
  luaL_checkstack(L, 2, nullptr);
  lua_pushcfunction(L, ErrorHook);
  lua_insert(L, 1);
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 2);
  int status = lua_pcallk(L, lua_gettop(L) - 2, LUA_MULTRET, 1, 0, CoroutineContinue);
  return FinishCoroutine(L, status == LUA_OK);
}

// coroutine.create and coroutine.wrap: the library's function (upvalue 1) is called with
// the script's function wrapped in CoroutineBody.
int HookedCoroutineMaker(lua_State* L) {
  luaL_checktype(L, 1, LUA_TFUNCTION);
  lua_settop(L, 1);
  lua_pushcclosure(L, CoroutineBody, 1);
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, 1, 1);
  return 1;
}

// The engine's print: tostring of every argument, joined by tabs, handed as one line to
// "_VEK_PRINT" when that is a function. The line is built in a Lua buffer, so it has no
// length limit and nothing leaks when tostring raises.
int EnginePrint(lua_State* L) {
  int n = lua_gettop(L);
  lua_getglobal(L, "tostring");
  luaL_Buffer line;
  luaL_buffinit(L, &line);
  for (int i = 1; i <= n; ++i) {
    if (i > 1) luaL_addchar(&line, '\t');
    lua_pushvalue(L, n + 1);
    lua_pushvalue(L, i);
    lua_call(L, 1, 1);
    if (lua_tostring(L, -1) == nullptr)
      return luaL_error(L, "`tostring' must return a string to `print'");
    luaL_addvalue(&line);
  }
  luaL_pushresult(&line);
  lua_getglobal(L, "_VEK_PRINT");
  if (lua_isfunction(L, -1)) {
    lua_insert(L, -2);
    lua_call(L, 1, 0);
  }
  return 0;
}

void SetFunctionField(lua_State* L, int table, const char* name, lua_CFunction fn) {
  table = lua_absindex(L, table);
  lua_getfield(L, table, name);
  lua_pushcclosure(L, fn, 1);
  lua_setfield(L, table, name);
}

int AlertBody(lua_State* L) {
  lua_getglobal(L, "_ALERT");
  if (lua_isfunction(L, -1)) {
    lua_pushvalue(L, 1);
    lua_call(L, 1, 0);
  } else {
    const char* text = lua_tostring(L, 1);
    std::fprintf(stderr, "%s\n", text ? text : "(error object is not a string)");
  }
  return 0;
}

}  // namespace

int ErrorHook(lua_State* L) {
  if (lua_gettop(L) < 1) lua_pushnil(L);
  lua_settop(L, 1);
  CallErrorGlobal(L, 1);
  return 1;
}

void ReportAlert(lua_State* L) {
  if (!lua_checkstack(L, 3)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushcfunction(L, AlertBody);
  lua_insert(L, -2);
  if (lua_pcall(L, 1, 0, 0) != LUA_OK) lua_pop(L, 1);
}

int OpenLibraries(lua_State* L) {
  // Base (with coroutines), math, io (with os), string, table; no debug library and no
  // loader of modules or native libraries.
  static const luaL_Reg libs[] = {{"_G", luaopen_base},          {"coroutine", luaopen_coroutine},
                                  {LUA_MATHLIBNAME, luaopen_math}, {LUA_IOLIBNAME, luaopen_io},
                                  {LUA_OSLIBNAME, luaopen_os},     {LUA_STRLIBNAME, luaopen_string},
                                  {LUA_TABLIBNAME, luaopen_table}};
  for (const luaL_Reg& lib : libs) {
    luaL_requiref(L, lib.name, lib.func, 1);
    lua_pop(L, 1);
  }

  lua_register(L, "_ALERT", ScriptAlert);
  lua_register(L, "_ERROR", ScriptAlert);
  lua_register(L, "_VEK_PRINT", ScriptPrint);

  lua_register(L, "print", EnginePrint);
  lua_register(L, "pcall", HookedPcall);
  lua_register(L, "xpcall", HookedXpcall);
  lua_getglobal(L, "coroutine");
  SetFunctionField(L, -1, "create", HookedCoroutineMaker);
  SetFunctionField(L, -1, "wrap", HookedCoroutineMaker);
  lua_pop(L, 1);
  return 0;
}

}  // namespace script_detail

namespace {

// The top value as text: a string, or a number converted; anything else gives none.
const char* TopText(lua_State* L) {
  if (lua_gettop(L) < 1) return nullptr;
  int type = lua_type(L, -1);
  if (type != LUA_TSTRING && type != LUA_TNUMBER) return nullptr;
  return lua_tostring(L, -1);
}

// The top value as the text of an error: a string or a number as it is, a value with a
// __tostring metamethod by that, anything else as "error object is a <type> value".
const char* ErrorText(lua_State* L) {
  if (lua_gettop(L) < 1) lua_pushnil(L);
  if (const char* text = TopText(L)) return text;
  if (!lua_checkstack(L, 3)) return "error object is not a string";
  const int value = lua_gettop(L);
  if (luaL_getmetafield(L, value, "__tostring")) {
    lua_pushvalue(L, value);
    if (lua_pcall(L, 1, 1, 0) == LUA_OK && lua_type(L, -1) == LUA_TSTRING) return lua_tostring(L, -1);
    lua_settop(L, value);
  }
  lua_pushfstring(L, "error object is a %s value", luaL_typename(L, value));
  return lua_tostring(L, -1);
}

}  // namespace

int ScriptAlert(lua_State* L) {
  const char* text = ErrorText(L);
  try {
    LogWarning("cScript", "%s\n", text);
  } catch (...) {
    // Logging is best effort here: nothing may leave a function that Lua called.
  }
  return 0;
}

int ScriptPrint(lua_State* L) {
  const char* text = TopText(L);
  try {
    // The line is the format and no records are given: conversions print nothing.
    if (text) LogPlain(text);
  } catch (...) {
  }
  return 0;
}

}  // namespace vek
