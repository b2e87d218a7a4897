#pragma once
// The application frame's part of the engine's script registration
// (script_bindings_engine.cpp).
#include <luabind/scope.hpp>

namespace vek::bindings {

luabind::scope EngineFunctions();  // "dump_vek15", "info", "display", "GetScript"
luabind::scope GameClass();        // "cGame"
luabind::scope ScriptClass();      // "cScript"

}  // namespace vek::bindings
