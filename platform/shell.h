#pragma once
// Opening a web address with the desktop's opener (xdg-open), started directly with an
// argument vector, never through a shell. Tests install a recorder in place of the launch.
#include <functional>
#include <string>

namespace plat {

// True for an address this program hands to the desktop: "http://" or "https://" followed by
// at least one character, and nothing below a space, no space, no DEL and no quote or
// backslash anywhere in it.
bool IsWebAddress(const std::string& address);

// Starts the opener with the address as its one argument and does not wait for it. False
// (nothing started) for an address that is not a web address, or when the process cannot be
// started.
bool OpenWebAddress(const std::string& address);

// Replaces the launch (tests); an empty function restores the real one. The launcher gets
// the program name and the address; its result is OpenWebAddress's.
using Launcher = std::function<bool(const std::string& program, const std::string& address)>;
void SetLauncher(Launcher launcher);

}  // namespace plat
