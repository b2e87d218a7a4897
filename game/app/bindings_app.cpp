// Script classes of the application: its settings, the widget base, the splash screen and
// the game object, and the game's free functions.
#include <luabind/operator.hpp>

#include "engine/app/console.h"
#include "engine/core/log.h"
#include "engine/script/script_bind.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/widget.h"
#include "game/app/bindings_parts.h"
#include "game/app/garden.h"
#include "game/app/splash_widget.h"
#include "game/app/type_tags.h"

namespace game_bindings {

namespace {

// The control as an image control; nil for a control of another class.
vek::cImageCtrl* ToImageCtrl(vek::cCtrl* control) { return dynamic_cast<vek::cImageCtrl*>(control); }

void DumpGame(const vek::string& /*ignored*/) {
  const char* header = "-----------------------------   Game Information   ----------------------------\n";
  const vek::string rule = vek::string(79, '-') + "\n";
  if (vek::cConsole* console = vek::GetConsole()) {
    console->Print(header);
    console->Print(rule.c_str());
  }
  if (vek::g_pLogHolder) {
    vek::g_pLogHolder->m_LogFile.Print(header);
    vek::g_pLogHolder->m_LogFile.Print(rule.c_str());
  }
}

// The two kinds of care a plant asks of the gardener, as scripts name them.
struct cWork {
  enum eKind { e_Water = 0, e_Weed = 1 };
};

vek::string GardenName(const cGarden& g) { return g.GetName(); }
vek::i32 GardenMoney(const cGarden& g) { return g.GetMoney(); }

}  // namespace

luabind::scope AppClasses() {
  using luabind::class_;
  using luabind::constructor;
  return (class_<cSettings>("cSettings")
              .def_readwrite("fMouseSpeed", &cSettings::fMouseSpeed)
              .def_readwrite("iCheatMode", &cSettings::iCheatMode)
              .def_readwrite("iRenderInfo", &cSettings::iRenderInfo),
          class_<vek::cWidget>("vek::cWidget").def(constructor<const vek::string&>()),
          class_<cSplashWidget, vek::cWidget>("cSplashWidget")
              .def("SetBackColor", &cSplashWidget::SetBackColor)
              .def("AddNode", &cSplashWidget::AddNode),
          class_<cSplashWidget::cNode>("cNode").def("AddImage", &cSplashWidget::cNode::AddImage),
          class_<cGarden>("cGarden")
              .def("ChangePlayer", &cGarden::ChangePlayer)
              .def("GetName", &GardenName)
              .def("SetPlayerCounter", &cGarden::SetPlayerCounter)
              .def("GetPlayerCounter", &cGarden::GetPlayerCounter)
              .def("GetMoney", &GardenMoney)
              .def("HideAllWindows", &cGarden::HideAllWindows)
              .def("StartLevel", &cGarden::StartLevel)
              .def_readwrite("m_pIsland", &cGarden::m_pIsland)
              .def_readwrite("m_Settings", &cGarden::m_Settings)
              .def_readwrite("m_iTraining", &cGarden::m_iTraining)
              .def_readwrite("m_strLinkFinishBeta", &cGarden::m_strLinkFinishBeta),
          class_<cWork>("cWork").enum_("eKind")[(luabind::value("e_Water", cWork::e_Water),
                                                 luabind::value("e_Weed", cWork::e_Weed))]);
}

luabind::scope AppFunctions() {
  using luabind::def;
  return (def("luaToImageCtrl", &ToImageCtrl), def("IsFloat", &IsFloat), def("IsInt", &IsInt),
          def("IsString", &IsString), def("IsArray", &IsArray), def("luaDumpGD", &DumpGame));
}

void KeepSplashNative(lua_State* L) {
  vek::undelete_class_rep<cSplashWidget>(L);
  // The engine's widget list owns every widget, a script-made one too.
  vek::undelete_class_rep<vek::cWidget>(L);
}

}  // namespace game_bindings
