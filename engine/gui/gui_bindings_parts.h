#pragma once
// The pieces of the GUI's script registration, one group per source file. Include it only in
// binding files: luabind makes a translation unit slow to compile.
#include <luabind/scope.hpp>

#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/script/script_bind.h"

struct lua_State;

namespace vek::bindings {

// gui_bindings.cpp: "vec2", "vec3", "cCursor", "cWindow", "cWindowFunction", "cGUI".
luabind::scope GuiClasses();
void KeepGuiObjectsNative(lua_State* L);

// control_bindings.cpp: "cCtrl" with its flag values and the plain controls.
luabind::scope PlainControlClasses();
void KeepPlainControlsNative(lua_State* L);
// control_bindings_sys.cpp: the coloured label, text box, progress bar, system slider and edit
// field, push button and check box (part of the scope above, after the plain controls).
luabind::scope SysControlClasses();
void KeepSysControlsNative(lua_State* L);

// control_bindings_lists.cpp: the list classes, registered right after "cCtrl".
luabind::scope ListControlClasses();
void KeepListControlsNative(lua_State* L);

// The script classes that controls show as. A control whose own class scripts do not know
// (a game control, say) shows as the nearest class they know: the one its GetClassName
// names, as every control class that does not name itself inherits its base's name.
using ControlCaster = void* (*)(cCtrl*);
void AddControlScriptClass(const char* name, const std::type_info& type, ControlCaster cast);
template <class T>
void AddControlScriptClass(const char* name) {
  AddControlScriptClass(name, typeid(T), [](cCtrl* c) -> void* { return dynamic_cast<T*>(c); });
}
// Pushes the control as its most derived class known to scripts (nil for none).
void PushControl(lua_State* L, cCtrl* control);

// For a control class T that scripts construct: the native side owns the object; one made
// without a window is held by the GUI until a window takes it.
template <class T>
void KeepControl(void* object) {
  cCtrl* control = static_cast<T*>(object);
  if (!control->GetWindow() && control->GetGUI()) control->GetGUI()->AdoptOrphan(control);
}
template <class T>
void KeepControlNative(lua_State* L) {
  undelete_class_rep(L, typeid(T), &KeepControl<T>);
}

}  // namespace vek::bindings
