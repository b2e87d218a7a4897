// The script host: life cycle of the Lua state, running files and texts, and handing native
// objects to scripts.
#include "engine/script/script.h"

#include <lua.hpp>
#include <luabind/detail/class_registry.hpp>
#include <luabind/detail/class_rep.hpp>
#include <luabind/detail/inheritance.hpp>
#include <luabind/detail/instance_holder.hpp>
#include <luabind/detail/object_rep.hpp>
#include <luabind/error.hpp>
#include <luabind/exception_handler.hpp>
#include <luabind/open.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "engine/core/log.h"
#include "engine/files/data_manager.h"
#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "engine/script/script_bind.h"
#include "engine/script/script_hooks.h"
#include "platform/os.h"

namespace vek {

namespace {

using luabind::detail::class_id;
using luabind::detail::class_registry;
using luabind::detail::class_rep;
using luabind::detail::object_rep;

cScript* g_pScript = nullptr;

// Holds a native object for a script object without owning it: the garbage collector
// destroys the holder and never the object. The class is the one the caller named.
class cNativeHolder final : public luabind::detail::instance_holder {
 public:
  cNativeHolder(void* object, class_id cls) : instance_holder(false), m_pObject(object), m_Class(cls) {}

  std::pair<void*, int> get(luabind::detail::cast_graph const& casts, class_id target) const override {
    if (!m_pObject) return std::pair<void*, int>(nullptr, 0);
    return casts.cast(m_pObject, m_Class, target, m_Class, m_pObject);
  }

  void release() override {}

 private:
  void* m_pObject;
  class_id m_Class;
};

class_id ClassIdOf(const std::type_info& type) {
  return luabind::detail::allocate_class_id(luabind::type_id(type));
}

// The class registered for a type, or null (with the registry's state in `noRegistry`).
class_rep* FindClass(lua_State* L, const std::type_info& type, bool& noRegistry) {
  class_registry* registry = class_registry::get_registry(L);
  noRegistry = registry == nullptr;
  if (!registry) return nullptr;
  return registry->find_class(luabind::type_id(type));
}

struct PushRequest {
  class_rep* cls;     // null: push nil
  void* object;
  class_id id;
  const char* global;  // set this global (raw) instead of leaving the value on the stack
};

// Protected body: makes the script object for the request in argument 1.
int PushObjectBody(lua_State* L) {
  const PushRequest* request = static_cast<const PushRequest*>(lua_touserdata(L, 1));
  if (request->cls && request->object) {
    object_rep* instance = luabind::detail::push_new_instance(L, request->cls);
    void* storage = instance->allocate(sizeof(cNativeHolder));
    if (!storage) return luaL_error(L, "not enough memory");
    instance->set_instance(new (storage) cNativeHolder(request->object, request->id));
  } else {
    lua_pushnil(L);
  }
  if (!request->global) return 1;
  lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
  lua_pushstring(L, request->global);
  lua_pushvalue(L, -3);
  lua_rawset(L, -3);
  return 0;
}

// Pushes the object as an instance of `cls` (or sets it as the global), without a Lua error
// escaping; on failure nothing is set and nil is pushed. True on success.
bool PushObject(lua_State* L, class_rep* cls, void* object, const std::type_info& type,
                const char* global = nullptr) {
  PushRequest request{cls, object, ClassIdOf(type), global};
  if (!lua_checkstack(L, 3)) return false;
  lua_pushcfunction(L, PushObjectBody);
  lua_pushlightuserdata(L, &request);
  if (lua_pcall(L, 1, global ? 0 : 1, 0) != LUA_OK) {
    lua_pop(L, 1);
    if (!global) lua_pushnil(L);
    return false;
  }
  return true;
}

// A script constructor of a native-owned class: runs the class's own constructor (upvalue
// 1), then takes the new object away from the garbage collector the way luabind's adopt
// policy does. Upvalue 2 is the class id, upvalue 3 the function that keeps the script part
// of a script-derived object alive.
int ConstructNativeOwned(lua_State* L) {
  int n = lua_gettop(L);
  luaL_checkstack(L, n + 2, nullptr);
  lua_pushvalue(L, lua_upvalueindex(1));
  for (int i = 1; i <= n; ++i) lua_pushvalue(L, i);
  lua_call(L, n, 0);

  char message[256] = "";
  bool failed = false;
  try {
    object_rep* instance = n >= 1 ? luabind::detail::get_instance(L, 1) : nullptr;
    if (instance) {
      class_id cls = static_cast<class_id>(lua_tointeger(L, lua_upvalueindex(2)));
      void* object = instance->get_instance(cls).first;
      instance->release();
      auto keep = reinterpret_cast<void (*)(void*)>(lua_touserdata(L, lua_upvalueindex(3)));
      if (keep && object) keep(object);
    }
  } catch (...) {
    script_detail::CopyCurrentException(message, sizeof(message));
    failed = true;
  }
  if (failed) {
    lua_pushstring(L, message);
    return lua_error(L);
  }
  return 0;
}

struct UndeleteRequest {
  class_rep* cls;
  class_id id;
  void (*keep)(void*);
};

void WrapConstructor(lua_State* L, const UndeleteRequest& request) {
  lua_pushliteral(L, "__init");
  lua_rawget(L, -2);
  if (!lua_isfunction(L, -1) || lua_tocfunction(L, -1) == ConstructNativeOwned) {
    lua_pop(L, 1);
    return;
  }
  lua_pushinteger(L, static_cast<lua_Integer>(request.id));
  lua_pushlightuserdata(L, reinterpret_cast<void*>(request.keep));
  lua_pushcclosure(L, ConstructNativeOwned, 3);
  lua_pushliteral(L, "__init");
  lua_insert(L, -2);
  lua_rawset(L, -3);
}

int UndeleteBody(lua_State* L) {
  const UndeleteRequest* request = static_cast<const UndeleteRequest*>(lua_touserdata(L, 1));
  // Scripts reach the constructor through the class table (cls(...)) and through the default
  // table (Base.__init(self, ...) in a derived script class).
  request->cls->get_table(L);
  WrapConstructor(L, *request);
  lua_pop(L, 1);
  request->cls->get_default_table(L);
  WrapConstructor(L, *request);
  lua_pop(L, 1);
  return 0;
}

// The state's allocator: Lua's own contract (free on size 0, null on failure), counting what
// the state holds and refusing growth beyond the limit. Lua collects garbage and tries once
// more before it raises "not enough memory".
template <class Memory>
void* Allocate(void* ud, void* block, size_t oldSize, size_t newSize) {
  auto* memory = static_cast<Memory*>(ud);
  if (!block) oldSize = 0;  // then oldSize holds the kind of object, not a size
  if (newSize == 0) {
    std::free(block);
    memory->used -= oldSize;
    return nullptr;
  }
  if (newSize > oldSize && memory->used - oldSize + newSize > memory->limit) return nullptr;
  void* grown = std::realloc(block, newSize);
  if (grown) memory->used = memory->used - oldSize + newSize;
  return grown;
}

int Panic(lua_State* L) {
  const char* text = lua_tostring(L, -1);
  std::fprintf(stderr, "unprotected error in a script: %s\n", text ? text : "(no message)");
  return 0;  // Lua then aborts
}

// The budget of the chunk of values that is running (RunValues), or null.
struct cRunBudget {
  long remaining;
  double seconds;
  std::chrono::steady_clock::time_point deadline;  // set when the chunk starts
};
cRunBudget* g_pBudget = nullptr;
// Instructions between two looks at a budget.
constexpr int kBudgetInterval = 1000;

// Runs every kInterruptInterval instructions of any script: a termination request ends the
// running script with an error, so that the main loop gets to close the program. While a
// chunk of values runs, it runs every kBudgetInterval instructions and ends the chunk when
// its budget is spent.
void InterruptHook(lua_State* L, lua_Debug*) {
  if (plat::TerminationRequested()) {
    // From now on at once: a script that catches the error with pcall meets it again.
    lua_sethook(L, InterruptHook, LUA_MASKCOUNT, 1);
    luaL_error(L, "script interrupted: the program is closing");
    return;
  }
  int next = cScript::kInterruptInterval;
  if (cRunBudget* budget = g_pBudget) {
    budget->remaining -= lua_gethookcount(L);
    if (budget->remaining <= 0 || std::chrono::steady_clock::now() >= budget->deadline) {
      budget->remaining = 0;
      lua_sethook(L, InterruptHook, LUA_MASKCOUNT, 1);
      // Level 0 inside a hook is the running script: the message names its line.
      luaL_where(L, 0);
      lua_pushliteral(L, "the script ran too long and was stopped");
      lua_concat(L, 2);
      lua_error(L);
      return;
    }
    next = static_cast<int>(std::min<long>(kBudgetInterval, budget->remaining));
  }
  if (lua_gethookcount(L) != next) lua_sethook(L, InterruptHook, LUA_MASKCOUNT, next);
}

// Protected body of RunValues: argument 1 holds the text, 2 the chunk name. Loads the text as
// source only, gives it a new empty table as its globals, runs it and returns that table.
int RunValuesBody(lua_State* L) {
  const vek::string* text = static_cast<const vek::string*>(lua_touserdata(L, 1));
  const char* chunkName = static_cast<const char*>(lua_touserdata(L, 2));
  if (luaL_loadbufferx(L, text->data(), text->size(), chunkName, "t") != LUA_OK) return lua_error(L);
  lua_newtable(L);
  lua_pushvalue(L, -1);
  // The one upvalue of a main chunk is its table of globals.
  if (!lua_setupvalue(L, -3, 1)) lua_pop(L, 1);
  lua_insert(L, -2);
  g_pBudget->deadline = std::chrono::steady_clock::now() +
                        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                            std::chrono::duration<double>(g_pBudget->seconds));
  lua_sethook(L, InterruptHook, LUA_MASKCOUNT, static_cast<int>(std::min<long>(kBudgetInterval, g_pBudget->remaining)));
  lua_call(L, 0, 0);
  return 1;
}

// The exceptions of native functions whose text is the whole script error message.
void TranslateScriptError(lua_State* L, const cScriptError& e) { lua_pushstring(L, e.what()); }

void InstallLuabindHooks() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  luabind::set_pcall_callback(&script_detail::ErrorHook);
  luabind::register_exception_handler<cScriptError>(&TranslateScriptError);
}

}  // namespace

cScript::~cScript() { Close(); }

void cScript::Close() {
  if (m_pState) {
    lua_close(m_pState);
    m_pState = nullptr;
  }
}

bool cScript::Init() {
  if (m_pState) return true;
  lua_State* L = lua_newstate(&Allocate<cMemory>, &m_Memory);
  if (!L) return false;
  lua_atpanic(L, Panic);
  lua_sethook(L, InterruptHook, LUA_MASKCOUNT, kInterruptInterval);
  lua_pushcfunction(L, script_detail::OpenLibraries);
  if (lua_pcall(L, 0, 0, 0) != LUA_OK) {
    lua_close(L);
    return false;
  }
  try {
    luabind::open(L);
    InstallLuabindHooks();
  } catch (...) {
    lua_close(L);
    return false;
  }
  m_pState = L;
  return true;
}

int cScript::PCall(lua_State* L, int nargs, int nresults) {
  int base = lua_gettop(L) - nargs;
  lua_pushcfunction(L, script_detail::ErrorHook);
  lua_insert(L, base);
  int status = lua_pcall(L, nargs, nresults, base);
  lua_remove(L, base);
  return status;
}

bool cScript::RunValues(const vek::string& text, const char* chunkName, const cValuesBudget& budget,
                        vek::string* error) {
  lua_State* L = m_pState;
  const auto fail = [&](const char* message) {
    if (error) *error = message ? message : "(no message)";
    return false;
  };
  if (!L) return fail("no script state");
  if (g_pBudget) return fail("a chunk of values is running already");
  if (!lua_checkstack(L, 6)) return fail("stack overflow");
  const int top = lua_gettop(L);

  // The strings' methods (string.rep and the patterns) could take memory and time in one
  // instruction: strings have no metatable while the chunk runs.
  lua_pushliteral(L, "");
  if (!lua_getmetatable(L, -1)) lua_pushnil(L);
  const int stringMeta = lua_gettop(L);
  lua_pushliteral(L, "");
  lua_pushnil(L);
  lua_setmetatable(L, -2);
  lua_pop(L, 1);

  cRunBudget running{std::max(1, budget.instructions), std::clamp(budget.seconds, 0.0, 3600.0), {}};
  const u64 savedLimit = m_Memory.limit;
  m_Memory.limit = std::min(savedLimit, m_Memory.used + budget.memory);
  g_pBudget = &running;
  lua_pushcfunction(L, RunValuesBody);
  lua_pushlightuserdata(L, const_cast<vek::string*>(&text));
  lua_pushlightuserdata(L, const_cast<char*>(chunkName ? chunkName : "=values"));
  const int status = lua_pcall(L, 2, 1, 0);
  g_pBudget = nullptr;
  m_Memory.limit = savedLimit;
  lua_sethook(L, InterruptHook, LUA_MASKCOUNT, plat::TerminationRequested() ? 1 : kInterruptInterval);

  lua_pushliteral(L, "");
  lua_pushvalue(L, stringMeta);
  lua_setmetatable(L, -2);
  lua_pop(L, 1);

  if (status != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    fail(message ? message : "error object is not a string");
    lua_settop(L, top);
    return false;
  }
  lua_replace(L, top + 1);
  lua_settop(L, top + 1);
  return true;
}

void cScript::RegisterVar(const std::type_info& type, const char* name, void* object) {
  lua_State* L = m_pState;
  if (!L) {
    LogWarning("cScript", "RegisterVar: no script state\n");
    return;
  }
  if (!name) return;
  bool noRegistry = false;
  class_rep* cls = FindClass(L, type, noRegistry);
  if (noRegistry) {
    LogWarning("cScript", "RegisterVar: class_registry::get_registry\n");
    return;
  }
  if (!cls) {
    LogWarning("cScript", "RegisterVar: registry->find_class(...): %s\n", type.name());
    return;
  }
  if (!PushObject(L, cls, object, type, name)) LogWarning("cScript", "RegisterVar: %s not set\n", name);
}

bool cScript::DoString(const vek::string& text, const char* chunkName) {
  lua_State* L = m_pState;
  if (!L) return false;
  int top = lua_gettop(L);
  int status = luaL_loadbuffer(L, text.data(), text.size(), chunkName ? chunkName : "=?");
  if (status == LUA_OK) status = PCall(L, 0, LUA_MULTRET);
  if (status != LUA_OK) script_detail::ReportAlert(L);
  lua_settop(L, top);
  return status == LUA_OK;
}

bool cScript::LoadFile(const filename& file) {
  if (!m_pState) return false;
  // A missing loose file is an expected case (first start, optional scripts): it is told
  // only by the result, before the file layer would warn about it.
  if (file.archive.empty() && !cFileSystem().Exist(file)) return false;
  vek::string text;
  if (cDataManager::ReadText(&text, file) != cDataManager::Ok || text.empty()) return false;
  const vek::string& path = file.path;
  if (!DoString(text, ("@" + path).c_str())) {
    LogWarning("cScript", "LoadFile: error in file %s\n", path);
    return false;
  }
  return true;
}

cScript* GetScript() { return g_pScript; }

bool CreateScript() {
  if (g_pScript) {
    LogWarning("CreateScript", "Script system already exists\n");
    return false;
  }
  g_pScript = new cScript;
  if (!g_pScript->Init()) {
    LogWarning("CreateScript", "Init\n");
    return false;
  }
  LogText("cScript", "CreateScript: Ok\n");
  return true;
}

bool DestroyScript() {
  if (!g_pScript) {
    LogWarning("DestroyScript", "Script system does not exist\n");
    return false;
  }
  delete g_pScript;
  g_pScript = nullptr;
  LogText("DestroyScript", "Ok\n");
  return true;
}

void push_pointer(lua_State* L, void* object, const std::type_info& type) {
  if (!L) return;
  if (!object) {
    lua_pushnil(L);
    return;
  }
  bool noRegistry = false;
  class_rep* cls = FindClass(L, type, noRegistry);
  if (noRegistry) {
    LogWarning("push_pointer", "class_registry::get_registry\n");
    lua_pushnil(L);
    return;
  }
  if (!cls) {
    LogWarning("push_pointer", "registry->find_class(...): %s\n", type.name());
    lua_pushnil(L);
    return;
  }
  if (!PushObject(L, cls, object, type)) LogWarning("push_pointer", "object of %s not pushed\n", type.name());
}

void undelete_class_rep(lua_State* L, const std::type_info& type) { undelete_class_rep(L, type, nullptr); }

void undelete_class_rep(lua_State* L, const std::type_info& type, void (*keepScriptPart)(void*)) {
  if (!L) {
    LogWarning("undelete_class_rep", "class_registry::get_registry\n");
    return;
  }
  bool noRegistry = false;
  class_rep* cls = FindClass(L, type, noRegistry);
  if (noRegistry) {
    LogWarning("undelete_class_rep", "class_registry::get_registry\n");
    return;
  }
  if (!cls) {
    LogWarning("undelete_class_rep", "registry->find_class(...)\n");
    return;
  }
  UndeleteRequest request{cls, ClassIdOf(type), keepScriptPart};
  int top = lua_gettop(L);
  lua_pushcfunction(L, UndeleteBody);
  lua_pushlightuserdata(L, &request);
  if (lua_pcall(L, 1, 0, 0) != LUA_OK) LogWarning("undelete_class_rep", "%s\n", lua_tostring(L, -1));
  lua_settop(L, top);
}

}  // namespace vek
