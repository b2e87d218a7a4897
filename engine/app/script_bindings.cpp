#include "engine/app/script_bindings.h"

#include <luabind/luabind.hpp>

#include "engine/app/app_bindings.h"
#include "engine/core/log.h"
#include "engine/gui/gui_bindings.h"
#include "engine/script/script.h"
#include "engine/script/script_bindings_parts.h"
#include "engine/script/script_hooks.h"
#include "engine/sound/sound_bindings.h"

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
                        RectClasses())];
  } catch (...) {
    script_detail::CopyCurrentException(message, sizeof(message));
    failed = true;
  }
  if (failed) {
    LogWarning("RegisterEngine", "%s\n", message);
    return false;
  }
  RegisterGuiBindings(script);
  return true;
}

}  // namespace vek
