#pragma once
// The engine's script registration: its classes, enumerations and free functions.
namespace vek {

class cScript;

// Registers the engine's bindings into the host's global table; false when the host has no
// state or the registration failed (logged).
bool RegisterEngine(cScript* script);

}  // namespace vek
