#pragma once
// The script host: the program's one Lua state with luabind, the engine's print and error
// hooks, and the services other parts use to reach scripts.
//
// Error reporting: every run-time error raised in a script goes to the global "_ERROR"
// first (a script's own pcall included), with its message unchanged. Lua 5.2 has no hook at
// the point where an error is raised, so the host installs a message handler on every
// protected call it makes or offers: LoadFile/DoString, PCall, luabind's calls from C++
// (call_function, wrapper callbacks), and the script-visible pcall, xpcall and coroutines.
// Native code that calls into scripts uses cScript::PCall instead of a bare lua_pcall.
#include <typeinfo>

#include "engine/core/types.h"

struct lua_State;

namespace vek {

class filename;

class cScript {
 public:
  cScript() = default;
  virtual ~cScript();
  cScript(const cScript&) = delete;
  cScript& operator=(const cScript&) = delete;

  // Memory the state may hold unless told otherwise: a script that needs more gets a
  // "not enough memory" error instead of taking the machine's memory.
  static constexpr u64 kDefaultMemoryLimit = u64(1) << 30;
  // Lua instructions between two checks for a termination request.
  static constexpr int kInterruptInterval = 10000;

  // Opens the state, the standard libraries, the hooks and luabind. False leaves no state.
  // While a script runs, a termination request (SIGTERM, SIGINT) ends it with the error
  // "script interrupted: the program is closing", so that the program can shut down.
  bool Init();

  // The most memory the state may hold (bytes); takes effect at once, also for a running
  // state (memory already held stays).
  void SetMemoryLimit(u64 bytes) { m_Memory.limit = bytes; }
  u64 GetMemoryLimit() const { return m_Memory.limit; }
  // The memory the state holds now.
  u64 GetMemoryUsed() const { return m_Memory.used; }

  // The Lua state; null when Init failed or has not run.
  lua_State* GetState() const { return m_pState; }

  // Sets the script global `name` to `object` as an object of the class registered for
  // `type`. The script never owns (never deletes) the object.
  void RegisterVar(const std::type_info& type, const char* name, void* object);
  template <class T>
  void RegisterVar(const char* name, T* object) {
    RegisterVar(typeid(T), name, const_cast<void*>(static_cast<const void*>(object)));
  }

  // Reads the file as text and runs it as one chunk. A missing, unreadable or empty file
  // gives false without a log entry; a failing chunk is logged with the file's path.
  bool LoadFile(const filename& file);

  // Runs a text as one chunk (the console's input line, LoadFile's text). Errors are
  // reported through "_ALERT". `chunkName` names the chunk in messages ("@path" for a file).
  bool DoString(const vek::string& text, const char* chunkName);

  // What a chunk of values (RunValues) may spend before it is stopped.
  struct cValuesBudget {
    int instructions = 100000;    // Lua instructions
    u64 memory = u64(1) << 20;    // bytes above what the state holds when the chunk starts
    double seconds = 0.25;        // wall-clock time
  };

  // Runs a text that only sets values ("Settings = { width = 1024 }") so that it can reach
  // nothing: its globals are an empty table of its own (no library, no function of the
  // program; string methods are out of reach while it runs), it must be source text (no
  // precompiled chunk), and it runs under the budget, counted by the same instruction hook
  // that honours termination requests. On success the table of the globals it set is pushed
  // and true returned. Otherwise nothing is pushed, `error` gets the message (a loop that
  // never ends gives "... script ran too long ...") and nothing is logged: the caller knows
  // which file it was.
  bool RunValues(const vek::string& text, const char* chunkName, const cValuesBudget& budget,
                 vek::string* error);

  // Protected call of the function below `nargs` arguments on the stack, with the host's
  // error hook as message handler: the error reaches "_ERROR" and its message stays the
  // error object. Returns the Lua status (0 on success) like lua_pcall.
  static int PCall(lua_State* L, int nargs, int nresults);

 private:
  void Close();

  struct cMemory {
    u64 used = 0;
    u64 limit = kDefaultMemoryLimit;
  };

  lua_State* m_pState = nullptr;
  cMemory m_Memory;
};

// The engine-wide host; null when none exists.
cScript* GetScript();
// Creates the host and runs Init; a second call only warns.
bool CreateScript();
// Closes the state and deletes the host.
bool DestroyScript();

// Pushes exactly one value: the object as an instance of the class registered for `type`
// (not owned by the script), or nil for a null object, an unregistered class or a failure
// (the last two are logged).
void push_pointer(lua_State* L, void* object, const std::type_info& type);
template <class T>
void push_pointer(lua_State* L, T* object) {
  push_pointer(L, const_cast<void*>(static_cast<const void*>(object)), typeid(T));
}

// Objects of the class that scripts construct from now on are owned by the native side: the
// garbage collector never deletes them. For a script class derived from this class, the
// script part stays alive while the native side holds the object.
void undelete_class_rep(lua_State* L, const std::type_info& type);
void undelete_class_rep(lua_State* L, const std::type_info& type, void (*keepScriptPart)(void*));

// The handlers of "_ALERT"/"_ERROR" and of "_VEK_PRINT".
int ScriptAlert(lua_State* L);
int ScriptPrint(lua_State* L);

}  // namespace vek
