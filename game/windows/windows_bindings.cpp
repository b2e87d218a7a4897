// Script classes of the game's controls. Every operation bound here is virtual, so a script
// call reaches the most derived control.
#include "game/windows/windows_bindings.h"

#include <lua.hpp>

#include "engine/core/log.h"
#include "engine/gui/gui_bindings_parts.h"
#include "engine/gui/window.h"
#include "game/windows/base_wf.h"
#include "game/windows/controls/button_ctrl.h"
#include "game/windows/controls/check_box_ctrl.h"
#include "game/windows/controls/display_ctrl.h"
#include "game/windows/controls/mission_ctrl.h"
#include "game/app/sprite.h"
#include "game/windows/controls/toolbar_ctrl.h"

namespace {

using namespace vek;

// For window files: the first frame of a sheet's area as a control's texture coordinates, for
// the part the flags name; false (nothing changed) when the sheet has no such area.
bool SetSheetArea(cCtrl* control, const vek::string& sheet, const vek::string& area, int flags) {
  const cSprite found = FindSprite(sheet, area);
  if (!control || found.texture == 0) return false;
  control->SetUVPos(found.Frame().x, found.Frame().y, flags);
  control->SetUVSize(found.Frame().w, found.Frame().h, flags);
  return true;
}
using namespace vek::bindings;

luabind::scope GameControlClasses() {
  using luabind::bases;
  using luabind::class_;
  using luabind::constructor;
  using luabind::value;
  using Ctor = constructor<const vek::string&, cWindow*>;
  return (class_<cButtonCtrl, bases<cCtrl>>("cButtonCtrl")
              .def(Ctor())
              .def("SetText", &cButtonCtrl::SetText)
              .def("SetFontPrt", &cButtonCtrl::SetFontPrt)
              .def("SetColor", &cButtonCtrl::SetColor)
              .def("SetTexture", &cButtonCtrl::SetTexture),
          class_<cTabButtonCtrl, bases<cButtonCtrl>>("cTabButtonCtrl").def(Ctor()),
          class_<cButtonLogoCtrl, bases<cCtrl>>("cButtonLogoCtrl").def(Ctor()),
          class_<cLinkCtrl, bases<cLabelCtrl>>("cLinkCtrl")
              .def(Ctor())
              .def("SetColor", &cLinkCtrl::SetColor)
              .enum_("eLink")[(value("e_lnkNormal", cLinkCtrl::e_lnkNormal),
                               value("e_lnkHighlight", cLinkCtrl::e_lnkHighlight))],
          class_<cCheckBoxCtrl, bases<cCheckBoxSysCtrl>>("cCheckBoxCtrl").def(Ctor()),
          class_<cCheckBoxUpCtrl, bases<cCheckBoxCtrl>>("cCheckBoxUpCtrl").def(Ctor()),
          class_<cSliderCtrlEx, bases<cSliderSysCtrl>>("cSliderCtrlEx").def(Ctor()),
          class_<cClockCtrl, bases<cFrameCtrl>>("cClockCtrl").def(Ctor()),
          class_<cImageCtrlEx, bases<cImageCtrl>>("cImageCtrlEx")
              .def(Ctor())
              .def("SetColor", static_cast<void (cImageCtrlEx::*)(f32, f32, f32, f32)>(&cImageCtrlEx::SetColor)),
          class_<cAnimationCtrl, bases<cImageCtrl>>("cAnimationCtrl")
              .def(Ctor())
              .def("SetTileset", &cAnimationCtrl::SetTileset),
          class_<cMissionCtrl, bases<cCtrl>>("cMissionCtrl")
              .def(Ctor())
              .def("SetTexture", &cMissionCtrl::SetTexture)
              .def("SetIcon", &cMissionCtrl::SetIcon)
              .def("SetIconCheck", &cMissionCtrl::SetIconCheck)
              .def("SetText", &cMissionCtrl::SetText)
              .def("SetAlign", &cMissionCtrl::SetAlign)
              .def("SetFontPrt", &cMissionCtrl::SetFontPrt)
              .def("SetColor", &cMissionCtrl::SetColor)
              .enum_("eItem")[(value("e_itemLabel", cMissionCtrl::e_itemLabel),
                               value("e_itemImage", cMissionCtrl::e_itemImage),
                               value("e_itemFrame", cMissionCtrl::e_itemFrame))],
          class_<cTaskCtrl, bases<cMissionCtrl>>("cTaskCtrl").def(Ctor()),
          class_<cToolbarCtrl, bases<cListCtrl>>("cToolbarCtrl")
              .def(Ctor())
              .def("SetTexture", &cToolbarCtrl::SetTexture));
}

void KeepGameControlsNative(lua_State* L) {
  AddControlScriptClass<cButtonCtrl>("cButtonCtrl");
  AddControlScriptClass<cButtonLogoCtrl>("cButtonLogoCtrl");
  AddControlScriptClass<cLinkCtrl>("cLinkCtrl");
  AddControlScriptClass<cCheckBoxCtrl>("cCheckBoxCtrl");
  AddControlScriptClass<cSliderCtrlEx>("cSliderCtrlEx");
  AddControlScriptClass<cImageCtrlEx>("cImageCtrlEx");
  AddControlScriptClass<cAnimationCtrl>("cAnimationCtrl");
  AddControlScriptClass<cMissionCtrl>("cMissionCtrl");
  AddControlScriptClass<cToolbarCtrl>("cToolbarCtrl");
  KeepControlNative<cButtonCtrl>(L);
  KeepControlNative<cTabButtonCtrl>(L);
  KeepControlNative<cButtonLogoCtrl>(L);
  KeepControlNative<cLinkCtrl>(L);
  KeepControlNative<cCheckBoxCtrl>(L);
  KeepControlNative<cCheckBoxUpCtrl>(L);
  KeepControlNative<cSliderCtrlEx>(L);
  KeepControlNative<cClockCtrl>(L);
  KeepControlNative<cImageCtrlEx>(L);
  KeepControlNative<cAnimationCtrl>(L);
  KeepControlNative<cMissionCtrl>(L);
  KeepControlNative<cTaskCtrl>(L);
  KeepControlNative<cToolbarCtrl>(L);
}

}  // namespace

void RegisterGameWindows(lua_State* L) {
  if (!L) return;
  try {
    luabind::module(L)[(GameControlClasses())];
    luabind::module(L)[luabind::def("SetSheetArea", &SetSheetArea)];
    KeepGameControlsNative(L);
    // The mission binds its tasks to the score window's task indicators.
    SetTaskIndicatorFinder([](const vek::string& window, const vek::string& control) -> iTaskIndicator* {
      return dynamic_cast<cTaskCtrl*>(FindControl(window, control));
    });
  } catch (const std::exception& e) {
    LogWarning("RegisterGameWindows", "%s\n", e.what());
  }
}
