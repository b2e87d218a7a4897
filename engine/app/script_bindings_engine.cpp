// Script bindings of the engine object, the script host and the engine's free functions.
#include <luabind/luabind.hpp>
#include <luabind/out_value_policy.hpp>

#include "engine/app/app_bindings.h"
#include "engine/app/game.h"
#include "engine/core/path_tokens.h"
#include "engine/files/filename.h"
#include "engine/render/screenshot.h"
#include "engine/script/script.h"

namespace vek::bindings {

namespace {

// "info" and "dump_vek15" with no argument dump every section.
void InfoAll() { DumpSystemInformation(""); }
void InfoSections(const char* sections) { DumpSystemInformation(sections ? sections : ""); }
void DumpAll() { DumpEngineInformation(""); }
void DumpSections(const char* sections) { DumpEngineInformation(sections ? sections : ""); }

// The path constants read on the engine object ("theEngine.e_AppPath").
template <int Value>
int PathConstant(const cGame&) {
  return Value;
}

// Two results for scripts: width, height = theEngine:GetClientSize().
void ClientSize(const cGame& game, int& width, int& height) { game.GetClientSize(&width, &height); }

}  // namespace

luabind::scope EngineFunctions() {
  using luabind::def;
  return (def("dump_vek15", &DumpAll),
          def("dump_vek15", &DumpSections),
          def("info", &InfoAll),
          def("info", &InfoSections),
          def("display", &Display),
          def("shot", &shot),
          def("GetScript", &GetScript));
}

luabind::scope GameClass() {
  using luabind::value;
  using luabind::pure_out_value;
  return luabind::class_<cGame>("cGame")
      .enum_("ePath")[(value("e_ExePath", 0),
                       value("e_StaticPath", 1),
                       value("e_AppPath", 2),
                       value("e_UserPath", 3))]
      .property("e_ExePath", &PathConstant<e_ExePath>)
      .property("e_StaticPath", &PathConstant<e_StaticPath>)
      .property("e_AppPath", &PathConstant<e_AppPath>)
      .property("e_UserPath", &PathConstant<e_UserPath>)
      .def("SetWindowTitle", &cGame::SetWindowTitle)
      .def("Exit", &cGame::Exit)
      .def("EnableConsole", &cGame::EnableConsole)
      .def("GetGamma", &cGame::GetGamma)
      .def("SetGamma", &cGame::SetGamma)
      .def("SetLocale", &cGame::SetLocale)
      .def("GetClientSize", &ClientSize, pure_out_value(_2) + pure_out_value(_3))
      .def("IsWindowed", &cGame::IsWindowed)
      .def("PauseWidget", &cGame::PauseWidget)
      .def("SetFocusWidget", &cGame::SetFocusWidget);
}

luabind::scope ScriptClass() {
  return luabind::class_<cScript>("cScript").def("LoadFile", &cScript::LoadFile);
}

}  // namespace vek::bindings
