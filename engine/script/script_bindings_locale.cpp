// Script binding of the engine's default texts: every text is a read-write property.
#include <luabind/luabind.hpp>

#include "engine/script/locale.h"
#include "engine/script/script_bindings_parts.h"

namespace vek::bindings {

luabind::scope LocaleClass() {
  return luabind::class_<cLocale>("cLocale")
      .def_readwrite("Mouse", &cLocale::Mouse)
      .def_readwrite("MouseButton", &cLocale::MouseButton)
      .def_readwrite("MouseButtonLeft", &cLocale::MouseButtonLeft)
      .def_readwrite("MouseButtonRight", &cLocale::MouseButtonRight)
      .def_readwrite("MouseButtonMiddle", &cLocale::MouseButtonMiddle)
      .def_readwrite("MouseWheelUp", &cLocale::MouseWheelUp)
      .def_readwrite("MouseWheelDown", &cLocale::MouseWheelDown)
      .def_readwrite("Keyboard", &cLocale::Keyboard)
      .def_readwrite("KeyboardControl", &cLocale::KeyboardControl)
      .def_readwrite("KeyboardEnter", &cLocale::KeyboardEnter)
      .def_readwrite("KeyboardSpace", &cLocale::KeyboardSpace)
      .def_readwrite("KeyboardBackspace", &cLocale::KeyboardBackspace)
      .def_readwrite("KeyboardShift", &cLocale::KeyboardShift)
      .def_readwrite("KeyboardLeft", &cLocale::KeyboardLeft)
      .def_readwrite("KeyboardRight", &cLocale::KeyboardRight)
      .def_readwrite("KeyboardUp", &cLocale::KeyboardUp)
      .def_readwrite("KeyboardDown", &cLocale::KeyboardDown)
      .def_readwrite("Joystick", &cLocale::Joystick)
      .def_readwrite("TransferWait", &cLocale::TransferWait)
      .def_readwrite("TransferFailed", &cLocale::TransferFailed)
      .def_readwrite("Ok", &cLocale::Ok)
      .def_readwrite("Cancel", &cLocale::Cancel)
      .def_readwrite("Yes", &cLocale::Yes)
      .def_readwrite("No", &cLocale::No)
      .def_readwrite("Ignore", &cLocale::Ignore)
      .def_readwrite("Abort", &cLocale::Abort)
      .def_readwrite("Help", &cLocale::Help)
      .def_readwrite("Information", &cLocale::Information)
      .def_readwrite("Warning", &cLocale::Warning)
      .def_readwrite("Error", &cLocale::Error)
      .def_readwrite("Player", &cLocale::Player);
}

}  // namespace vek::bindings
