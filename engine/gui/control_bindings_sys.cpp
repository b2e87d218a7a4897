// Script classes of the system controls with their look: the coloured label, the text box,
// the progress bar, the system slider and edit field, the push button and the check box.
// Every operation bound here is virtual, so a script call reaches the most derived control.
#include <lua.hpp>

#include "engine/core/vec.h"
#include "engine/gui/button_sys_ctrl.h"
#include "engine/gui/check_box_sys_ctrl.h"
#include "engine/gui/edit_sys_ctrl.h"
#include "engine/gui/gui_bindings_parts.h"
#include "engine/gui/label_sys_ctrl.h"
#include "engine/gui/progress_bar_sys_ctrl.h"
#include "engine/gui/slider_sys_ctrl.h"
#include "engine/gui/text_box_sys_ctrl.h"
#include "engine/gui/window.h"

namespace vek::bindings {

namespace {

// The edit field's frame takes a texture whatever the part selector says.
void SetEditTexture(cEditSysCtrl& edit, const vek::string& name, int /*flags*/) { edit.SetTexture(name); }

}  // namespace

luabind::scope SysControlClasses() {
  using luabind::bases;
  using luabind::class_;
  using luabind::constructor;
  using Ctor = constructor<const vek::string&, cWindow*>;
  using LabelColor = void (cLabelSysCtrl::*)(f32, f32, f32);
  using LabelColorVec = void (cLabelSysCtrl::*)(const vec3&);
  return (class_<cLabelSysCtrl, bases<cLabelCtrl>>("cLabelSysCtrl")
              .def(Ctor())
              .def("SetColor", static_cast<LabelColor>(&cLabelSysCtrl::SetColor))
              .def("SetColor", static_cast<LabelColorVec>(&cLabelSysCtrl::SetColor)),
          class_<cTextBoxSysCtrl, bases<cLabelSysCtrl>>("cTextBoxSysCtrl").def(Ctor()),
          class_<cProgressBarSysCtrl, bases<cCtrl>>("cProgressBarSysCtrl")
              .def(Ctor())
              .def("SetTexture", &cProgressBarSysCtrl::SetTexture)
              .def("SetValue", &cProgressBarSysCtrl::SetValue)
              .def("GetValue", &cProgressBarSysCtrl::GetValue),
          class_<cSliderSysCtrl, bases<cSliderCtrl>>("cSliderSysCtrl")
              .def(Ctor())
              .def("SetTexture", &cSliderSysCtrl::SetTexture),
          class_<cEditSysCtrl, bases<cEditCtrl>>("cEditSysCtrl")
              .def(Ctor())
              .def("SetAlign", &cEditSysCtrl::SetAlign)
              .def("SetFontPrt", &cEditSysCtrl::SetFontPrt)
              .def("SetColor", &cEditSysCtrl::SetColor)
              .def("SetTexture", &SetEditTexture),
          class_<cButtonSysCtrl, bases<cCtrl>>("cButtonSysCtrl")
              .def(Ctor())
              .def("SetText", &cButtonSysCtrl::SetText)
              .def("SetFontPrt", &cButtonSysCtrl::SetFontPrt)
              .def("SetColor", &cButtonSysCtrl::SetColor)
              .def("SetTexture", &cButtonSysCtrl::SetTexture),
          class_<cCheckBoxSysCtrl, bases<cCtrl>>("cCheckBoxSysCtrl")
              .def(Ctor())
              .def("SetColor", &cCheckBoxSysCtrl::SetColor)
              .def("SetText", &cCheckBoxSysCtrl::SetText)
              .def("SetFontPrt", &cCheckBoxSysCtrl::SetFontPrt)
              .def("SetAlign", &cCheckBoxSysCtrl::SetAlign)
              .def("SetTexture", &cCheckBoxSysCtrl::SetTexture)
              .def("SetCheck", &cCheckBoxSysCtrl::SetCheck)
              .def("IsChecked", &cCheckBoxSysCtrl::IsChecked));
}

void KeepSysControlsNative(lua_State* L) {
  AddControlScriptClass<cLabelSysCtrl>("cLabelSysCtrl");
  AddControlScriptClass<cTextBoxSysCtrl>("cTextBoxSysCtrl");
  AddControlScriptClass<cProgressBarSysCtrl>("cProgressBarSysCtrl");
  AddControlScriptClass<cSliderSysCtrl>("cSliderSysCtrl");
  AddControlScriptClass<cEditSysCtrl>("cEditSysCtrl");
  AddControlScriptClass<cButtonSysCtrl>("cButtonSysCtrl");
  AddControlScriptClass<cCheckBoxSysCtrl>("cCheckBoxSysCtrl");
  KeepControlNative<cLabelSysCtrl>(L);
  KeepControlNative<cTextBoxSysCtrl>(L);
  KeepControlNative<cProgressBarSysCtrl>(L);
  KeepControlNative<cSliderSysCtrl>(L);
  KeepControlNative<cEditSysCtrl>(L);
  KeepControlNative<cButtonSysCtrl>(L);
  KeepControlNative<cCheckBoxSysCtrl>(L);
}

}  // namespace vek::bindings
