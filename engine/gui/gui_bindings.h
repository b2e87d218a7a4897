#pragma once
// The GUI's script registration: the cursor, window, window-function, GUI and font classes
// (RegisterGuiBindings, which ends with RegisterControlBindings), and the control classes.
// Windows, window functions and controls that scripts construct belong to the native side:
// the GUI keeps its windows, a window its controls and its function, and the GUI holds a
// script-made control or function until a window takes it.
namespace vek {

class cScript;

// Called once by the engine's registration after the script host is open; false when the
// host has no state or the registration failed (logged).
bool RegisterGuiBindings(cScript* script);
bool RegisterControlBindings(cScript* script);

}  // namespace vek
