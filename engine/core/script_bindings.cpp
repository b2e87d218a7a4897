#include "engine/core/script_bindings.h"

#include <luabind/luabind.hpp>

#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/core/script_bindings_parts.h"
#include "engine/core/script_hooks.h"

namespace vek {

bool RegisterEngine(cScript* script) {
  lua_State* L = script ? script->GetState() : nullptr;
  if (!L) {
    LogWarning("RegisterEngine", "no script state\n");
    return false;
  }
  char message[256] = "";
  bool failed = false;
  try {
    using namespace bindings;
    // Free functions first, then the classes in their order.
    luabind::module(L)[(EngineFunctions(),
                        LocaleClass(),
                        GameClass(),
                        ScriptClass(),
                        FileSystemClass(),
                        FileClass(),
                        FilenameClass(),
                        StrlistClass(),
                        DataManagerClass(),
                        AlignClass(),
                        VectorClasses(),
                        RectClasses())];
  } catch (...) {
    script_detail::CopyCurrentException(message, sizeof(message));
    failed = true;
  }
  if (failed) {
    LogWarning("RegisterEngine", "%s\n", message);
    return false;
  }
  return true;
}

}  // namespace vek
