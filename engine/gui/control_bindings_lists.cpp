// Script classes of the lists: the list logic, the text list, the image grid and the toolbar.
// Every operation bound here is virtual, so a script call reaches the most derived list.
#include <lua.hpp>

#include "engine/gui/gui_bindings_parts.h"
#include "engine/gui/image_list_sys_ctrl.h"
#include "engine/gui/list_ctrl.h"
#include "engine/gui/list_sys_ctrl.h"
#include "engine/gui/toolbar_sys_ctrl.h"
#include "engine/gui/window.h"

namespace vek::bindings {

luabind::scope ListControlClasses() {
  using luabind::bases;
  using luabind::class_;
  using luabind::constructor;
  using Ctor = constructor<const vek::string&, cWindow*>;
  return (class_<cListCtrl, bases<cCtrl>>("cListCtrl")
              .def(Ctor())
              .def("DeleteItem", &cListCtrl::DeleteItem)
              .def("DeleteAllItems", &cListCtrl::DeleteAllItems)
              .def("GetItemCount", &cListCtrl::GetItemCount)
              .def("SetItemData", &cListCtrl::SetItemData)
              .def("GetItemData", &cListCtrl::GetItemData)
              .def("GetSelectedItem", &cListCtrl::GetSelectedItem)
              .def("IsSelectedItem", &cListCtrl::IsSelectedItem)
              .def("SelectItem", &cListCtrl::SelectItem)
              .def("SetMultiselect", &cListCtrl::SetMultiselect)
              .def("IsMultiselect", &cListCtrl::IsMultiselect)
              .def("GetVisibleCount", &cListCtrl::GetVisibleCount)
              .def("SetFirstVisible", &cListCtrl::SetFirstVisible)
              .def("GetFirstVisible", &cListCtrl::GetFirstVisible)
              .def("EnsureVisible", &cListCtrl::EnsureVisible)
              .def("IsVisible", &cListCtrl::IsVisible),
          class_<cListSysCtrl, bases<cListCtrl>>("cListSysCtrl")
              .def(Ctor())
              .def("SetTexture", &cListSysCtrl::SetTexture)
              .def("SetFontPrt", &cListSysCtrl::SetFontPrt)
              .def("SetAlign", &cListSysCtrl::SetAlign)
              .def("SetColor", &cListSysCtrl::SetColor)
              .def("InsertItem", &cListSysCtrl::InsertItem)
              .def("SetItemText", &cListSysCtrl::SetItemText)
              .def("GetItemText", &cListSysCtrl::GetItemText),
          // The grid's own insertion: (index, texture name, uv rectangle, data).
          class_<cImageListSysCtrl, bases<cListCtrl>>("cImageListSysCtrl")
              .def(Ctor())
              .def("InsertItem", &cImageListSysCtrl::InsertItem),
          class_<cToolbarSysCtrl, bases<cImageListSysCtrl>>("cToolbarSysCtrl").def(Ctor()));
}

void KeepListControlsNative(lua_State* L) {
  AddControlScriptClass<cListCtrl>("cListCtrl");
  AddControlScriptClass<cListSysCtrl>("cListSysCtrl");
  AddControlScriptClass<cImageListSysCtrl>("cImageListSysCtrl");
  AddControlScriptClass<cToolbarSysCtrl>("cToolbarSysCtrl");
  KeepControlNative<cListCtrl>(L);
  KeepControlNative<cListSysCtrl>(L);
  KeepControlNative<cImageListSysCtrl>(L);
  KeepControlNative<cToolbarSysCtrl>(L);
}

}  // namespace vek::bindings
