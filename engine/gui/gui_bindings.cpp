// Script classes of the GUI: the cursor, windows, window functions and the GUI manager, and
// the registration that puts them together with the fonts and the controls.
#include "engine/gui/gui_bindings.h"

#include <lua.hpp>
#include <luabind/detail/object_rep.hpp>

#include "engine/core/log.h"
#include "engine/core/vec.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui_bindings_parts.h"
#include "engine/gui/gui_host.h"
#include "engine/gui/window.h"
#include "engine/render/render_bindings.h"
#include "engine/script/script_hooks.h"

namespace vek {

namespace {

// A window function whose Call is a script class's method.
class cWindowFunctionWrap : public cWindowFunction, public luabind::wrap_base {
 public:
  int Call(cWindow* window, u32 message, u32 p1, u32 p2) override;
  // The default handling, for scripts that pass a message on (cWindowFunction.Call(self, ...)).
  static int DefaultCall(cWindowFunction* self, cWindow* window, u32 message, u32 p1, u32 p2) {
    return self->cWindowFunction::Call(window, message, p1, p2);
  }
};

// Protected body: (self, window, message, p1, p2) -> the script method's result. Without a
// script method the class's default (the native default handling) is called.
int InvokeCall(lua_State* L) {
  lua_pushvalue(L, 1);
  luabind::detail::do_call_member_selection(L, "Call");
  if (lua_isnil(L, -1)) {
    lua_pushinteger(L, 0);
    return 1;
  }
  lua_insert(L, 1);
  lua_call(L, 5, 1);
  return 1;
}

int cWindowFunctionWrap::Call(cWindow* window, u32 message, u32 p1, u32 p2) {
  const luabind::wrapped_self_t& self = luabind::detail::wrap_access::ref(*this);
  lua_State* L = self.state();
  if (!L || !lua_checkstack(L, 8)) return cWindowFunction::Call(window, message, p1, p2);
  const int top = lua_gettop(L);
  lua_pushcfunction(L, InvokeCall);
  self.get(L);
  push_pointer(L, window);
  lua_pushinteger(L, static_cast<lua_Integer>(message));
  lua_pushinteger(L, static_cast<lua_Integer>(p1));
  lua_pushinteger(L, static_cast<lua_Integer>(p2));
  int result = 0;
  // A failing method has been reported through "_ERROR"; it counts as not taken.
  if (cScript::PCall(L, 5, 1) == LUA_OK && lua_isnumber(L, -1))
    result = static_cast<int>(lua_tointeger(L, -1));
  lua_settop(L, top);
  return result;
}

// Script-made window functions belong to the GUI until a window takes them; the script part
// of a derived class lives as long as the native object.
void KeepFunction(void* object) {
  auto* function = static_cast<cWindowFunction*>(object);
  script_detail::KeepScriptPart<cWindowFunction>(object);
  if (iGuiHost* host = GetGuiHost(); host && host->GetGUI()) host->GetGUI()->AdoptFunction(function);
}

f32 ParamToTime(const cGUI&, u32 milliseconds) { return cGUI::ParamToTime(milliseconds); }
// The control as its most derived class known to scripts.
luabind::object GetControl(const cWindow& window, unsigned id, lua_State* L) {
  bindings::PushControl(L, window.GetControl(id));
  luabind::object result(luabind::from_stack(L, -1));
  lua_pop(L, 1);
  return result;
}

cWindow* GetWindowByName(const cGUI& gui, const vek::string& name) { return gui.GetWindow(name); }

}  // namespace

namespace bindings {

luabind::scope GuiClasses() {
  using luabind::class_;
  using luabind::constructor;
  using luabind::value;
  return (class_<vec2>("vec2")
              .def(constructor<>())
              .def(constructor<f32, f32>())
              .def_readwrite("x", &vec2::x)
              .def_readwrite("y", &vec2::y),
          class_<vec3>("vec3")
              .def(constructor<>())
              .def(constructor<f32, f32, f32>())
              .def_readwrite("x", &vec3::x)
              .def_readwrite("y", &vec3::y)
              .def_readwrite("z", &vec3::z),
          class_<cCursor>("cCursor").def(constructor<cGUI*>()).def("Set", &cCursor::Set),
          class_<cWindow>("cWindow")
              .def(constructor<cGUI*>())
              .def(constructor<cGUI*, cWindowFunction*>())
              .def("GetID", &cWindow::GetID)
              .def("FindControl", &cWindow::FindControl)
              .def("AddControl", &cWindow::AddControl)
              .def("GetControl", &GetControl)
              .def("SetActiveControl", &cWindow::SetActiveControl)
              .def("SetName", &cWindow::SetName)
              .def("GetName", &cWindow::GetName)
              .def("SetActive", &cWindow::SetActive)
              .def("IsActive", &cWindow::IsActive)
              .def("SetModal", &cWindow::SetModal)
              .def("IsModal", &cWindow::IsModal),
          class_<cWindowFunction, cWindowFunctionWrap>("cWindowFunction")
              .def(constructor<>())
              .def("Call", &cWindowFunction::Call, &cWindowFunctionWrap::DefaultCall),
          class_<cGUI>("cGUI")
              .enum_("eMessage")[(value("e_wndPaint", e_wndPaint), value("e_wndTimer", e_wndTimer),
                                  value("e_wndKeyDown", e_wndKeyDown), value("e_wndChar", e_wndChar),
                                  value("e_wndMouseMove", e_wndMouseMove),
                                  value("e_wndLButtonDown", e_wndLButtonDown),
                                  value("e_wndLButtonUp", e_wndLButtonUp), value("e_wndCreate", e_wndCreate),
                                  value("e_wndDestroy", e_wndDestroy), value("e_wndShow", e_wndShow),
                                  value("e_wndHide", e_wndHide), value("e_wndAfterCreate", e_wndAfterCreate),
                                  value("e_wndKeyUp", e_wndKeyUp),
                                  value("e_wndHideImmediately", e_wndHideImmediately))]
              .def("ParamToTime", &ParamToTime)
              .def("FindWindow", &cGUI::FindWindow)
              .def("GetWindow", &cGUI::GetWindowById)
              .def("GetWindow", &GetWindowByName)
              .def("ShowWindow", &cGUI::ShowWindow)
              .def("HideWindow", &cGUI::HideWindow)
              .def("GetCursor", &cGUI::GetCursor)
              .def("SendMessage", &cGUI::SendMessage)
              .def("PostMessage", &cGUI::PostMessage));
}

void KeepGuiObjectsNative(lua_State* L) {
  // Windows belong to their GUI, functions to their window.
  undelete_class_rep<cWindow>(L);
  undelete_class_rep(L, typeid(cWindowFunction), &KeepFunction);
}

}  // namespace bindings

namespace {

template <class Fn>
bool RegisterPart(cScript* script, const char* sender, Fn fn) {
  lua_State* L = script ? script->GetState() : nullptr;
  if (!L) {
    LogWarning(sender, "no script state\n");
    return false;
  }
  char message[256] = "";
  bool failed = false;
  try {
    fn(L);
  } catch (...) {
    script_detail::CopyCurrentException(message, sizeof(message));
    failed = true;
  }
  if (failed) {
    LogWarning(sender, "%s\n", message);
    return false;
  }
  return true;
}

}  // namespace

bool RegisterGuiBindings(cScript* script) {
  const bool ok = RegisterPart(script, "RegisterGuiBindings", [](lua_State* L) {
    using namespace bindings;
    luabind::module(L)[(GuiClasses(), FontClasses())];
    KeepGuiObjectsNative(L);
    KeepFontsNative(L);
  });
  if (!ok) return false;
  return RegisterControlBindings(script);
}

bool RegisterControlBindings(cScript* script) {
  return RegisterPart(script, "RegisterControlBindings", [](lua_State* L) {
    using namespace bindings;
    luabind::module(L)[(PlainControlClasses())];
    KeepPlainControlsNative(L);
  });
}

}  // namespace vek
