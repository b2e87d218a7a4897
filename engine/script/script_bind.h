#pragma once
// What the engine's binding files share: luabind, the exception that becomes a plain script
// error, and the typed form of undelete_class_rep. Include it only in binding files: luabind
// makes a translation unit slow to compile.
#include <luabind/luabind.hpp>
#include <luabind/wrapper_base.hpp>

#include <stdexcept>
#include <type_traits>

#include "engine/script/script.h"

namespace vek {

// Thrown by a native function reached from a script: the script sees a Lua error whose
// message is exactly the text (luabind would otherwise prefix the exception's type).
class cScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace script_detail {

// For an object of a script class derived from T: keeps the script part alive as long as
// the native side holds the object (what luabind's adopt policy does for wrapped classes).
template <class T>
void KeepScriptPart(void* object) {
  if constexpr (std::is_polymorphic_v<T>) {
    if (auto* wrapped = dynamic_cast<luabind::wrap_base*>(static_cast<T*>(object))) {
      luabind::wrapped_self_t& self = luabind::detail::wrap_access::ref(*wrapped);
      lua_State* L = self.state();
      if (!L) return;
      self.get(L);
      self.m_strong_ref.pop(L);
    }
  }
}

}  // namespace script_detail

// Objects of T that scripts construct are owned by the native side (see script.h).
template <class T>
void undelete_class_rep(lua_State* L) {
  undelete_class_rep(L, typeid(T), &script_detail::KeepScriptPart<T>);
}

}  // namespace vek
