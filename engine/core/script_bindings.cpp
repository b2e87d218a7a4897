#include "engine/core/script_bindings.h"

#include <luabind/luabind.hpp>

#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/core/script_bindings_parts.h"
#include "engine/core/script_hooks.h"
#include "engine/render/render_bindings.h"

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
                        SoundFunctions(),
                        LocaleClass(),
                        GameClass(),
                        SoundManagerClass(),
                        ScriptClass(),
                        FileSystemClass(),
                        FileClass(),
                        FilenameClass(),
                        StrlistClass(),
                        DataManagerClass(),
                        AlignClass(),
                        VectorClasses(),
                        RectClasses(),
                        // Until the GUI registration holds them.
                        FontClasses())];
    KeepFontsNative(L);
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
