// Script classes of the control base and the plain controls. Every operation bound here is
// virtual, so a script call reaches the most derived control.
#include <lua.hpp>
#include <luabind/detail/class_registry.hpp>

#include <map>
#include <string>

#include "engine/gui/edit_ctrl.h"
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/gui_bindings_parts.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/slider_ctrl.h"
#include "engine/gui/window.h"

namespace vek::bindings {

namespace {

struct cScriptClass {
  const std::type_info* type;
  ControlCaster cast;
};

std::map<std::string, cScriptClass>& ScriptClasses() {
  static std::map<std::string, cScriptClass> classes;
  return classes;
}

bool IsRegistered(lua_State* L, const std::type_info& type) {
  luabind::detail::class_registry* registry = luabind::detail::class_registry::get_registry(L);
  return registry && registry->find_class(luabind::type_id(type));
}

}  // namespace

void AddControlScriptClass(const char* name, const std::type_info& type, ControlCaster cast) {
  ScriptClasses()[name] = cScriptClass{&type, cast};
}

void PushControl(lua_State* L, cCtrl* control) {
  if (!control) {
    lua_pushnil(L);
    return;
  }
  const std::type_info& own = typeid(*control);
  if (IsRegistered(L, own)) {
    push_pointer(L, dynamic_cast<void*>(control), own);
    return;
  }
  auto it = ScriptClasses().find(control->GetClassName());
  if (it != ScriptClasses().end() && IsRegistered(L, *it->second.type)) {
    if (void* object = it->second.cast(control)) {
      push_pointer(L, object, *it->second.type);
      return;
    }
  }
  push_pointer(L, control);
}

luabind::scope PlainControlClasses() {
  using luabind::bases;
  using luabind::class_;
  using luabind::constructor;
  using luabind::value;
  using Ctor = constructor<const vek::string&, cWindow*>;
  return (class_<cCtrl>("cCtrl")
              .def(Ctor())
              .enum_("eFlags")[(value("e_None", cCtrl::e_None), value("e_Visibility", cCtrl::e_Visibility),
                                value("e_Disabled", cCtrl::e_Disabled), value("e_Ignorable", cCtrl::e_Ignorable),
                                value("e_All", cCtrl::e_All), value("e_frmBorder", cCtrl::e_frmBorder),
                                value("e_sldImage", cCtrl::e_sldImage), value("e_lstItems", cCtrl::e_lstItems),
                                value("e_edtFont", cCtrl::e_edtFont), value("e_btnFont", cCtrl::e_btnFont),
                                value("e_btnNormal", cCtrl::e_btnNormal), value("e_btnPush", cCtrl::e_btnPush),
                                value("e_cbFont", cCtrl::e_cbFont), value("e_cbNormal", cCtrl::e_cbNormal),
                                value("e_cbPush", cCtrl::e_cbPush), value("e_liFont", cCtrl::e_liFont),
                                value("e_lstNormal", cCtrl::e_lstNormal),
                                value("e_lstHighlight", cCtrl::e_lstHighlight),
                                value("e_lstSelection", cCtrl::e_lstSelection))]
              .def("GetID", &cCtrl::GetID)
              .def("GetName", &cCtrl::GetName)
              .def("EnableState", &cCtrl::EnableState)
              .def("DisableState", &cCtrl::DisableState)
              .def("GetState", &cCtrl::GetState)
              .def("SetPos", &cCtrl::SetPos)
              .def("SetSize", &cCtrl::SetSize)
              .def("SetUVPos", &cCtrl::SetUVPos)
              .def("SetUVSize", &cCtrl::SetUVSize),
          ListControlClasses(),
          class_<cImageCtrl, bases<cCtrl>>("cImageCtrl").def(Ctor()).def("SetTexture", &cImageCtrl::SetTexture),
          class_<cLabelCtrl, bases<cCtrl>>("cLabelCtrl")
              .def(Ctor())
              .def("SetText", &cLabelCtrl::SetText)
              .def("SetFontPrt", &cLabelCtrl::SetFontPrt)
              .def("SetAlign", &cLabelCtrl::SetAlign),
          class_<cFrameCtrl, bases<cCtrl>>("cFrameCtrl")
              .def(Ctor())
              .def("SetTexture", &cFrameCtrl::SetTexture)
              .def("DrawInnerRect", &cFrameCtrl::DrawInnerRect),
          class_<cSliderCtrl, bases<cCtrl>>("cSliderCtrl")
              .def(Ctor())
              .def("SetValue", &cSliderCtrl::SetValue)
              .def("GetValue", &cSliderCtrl::GetValue)
              .def("GetMin", &cSliderCtrl::GetMin)
              .def("GetMax", &cSliderCtrl::GetMax)
              .def("SetMinMax", &cSliderCtrl::SetMinMax)
              .def("SetVertical", &cSliderCtrl::SetVertical)
              .def("IsVertical", &cSliderCtrl::IsVertical),
          class_<cEditCtrl, bases<cCtrl>>("cEditCtrl")
              .def(Ctor())
              .def("SetText", &cEditCtrl::SetText)
              .def("GetText", &cEditCtrl::GetText)
              .def("SetMaxLength", &cEditCtrl::SetMaxLength),
          SysControlClasses());
}

void KeepPlainControlsNative(lua_State* L) {
  KeepListControlsNative(L);
  AddControlScriptClass<cCtrl>("cCtrl");
  AddControlScriptClass<cImageCtrl>("cImageCtrl");
  AddControlScriptClass<cLabelCtrl>("cLabelCtrl");
  AddControlScriptClass<cFrameCtrl>("cFrameCtrl");
  AddControlScriptClass<cSliderCtrl>("cSliderCtrl");
  AddControlScriptClass<cEditCtrl>("cEditCtrl");
  KeepControlNative<cCtrl>(L);
  KeepControlNative<cImageCtrl>(L);
  KeepControlNative<cLabelCtrl>(L);
  KeepControlNative<cFrameCtrl>(L);
  KeepControlNative<cSliderCtrl>(L);
  KeepControlNative<cEditCtrl>(L);
  KeepSysControlsNative(L);
}

}  // namespace vek::bindings
