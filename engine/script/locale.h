#pragma once
// The engine's user-visible default texts: names of input devices, keys and buttons, the
// texts of a network transfer, message-box captions and titles, and the default player
// name. One program-wide object exists from program start; scripts may replace any text
// through the global "vek_locale" (script class "cLocale"), which the game publishes before
// it runs its locale file.
#include "engine/core/types.h"

namespace vek {

class cLocale {
 public:
  vek::string Mouse = "Mouse";
  vek::string MouseButton = "Mouse button";
  vek::string MouseButtonLeft = "Left mouse button";
  vek::string MouseButtonRight = "Right mouse button";
  vek::string MouseButtonMiddle = "Middle mouse button";
  vek::string MouseWheelUp = "Mouse wheel up";
  vek::string MouseWheelDown = "Mouse wheel down";
  vek::string Keyboard = "Keyboard";
  vek::string KeyboardControl = "Control";
  vek::string KeyboardEnter = "Enter";
  vek::string KeyboardSpace = "Space";
  vek::string KeyboardBackspace = "Backspace";
  vek::string KeyboardShift = "Shift";
  vek::string KeyboardLeft = "Left";
  vek::string KeyboardRight = "Right";
  vek::string KeyboardUp = "Up";
  vek::string KeyboardDown = "Down";
  vek::string Joystick = "Joystick";
  vek::string TransferWait = "Please wait...";
  vek::string TransferFailed = "Connection failed";
  vek::string Ok = "Ok";
  vek::string Cancel = "Cancel";
  vek::string Yes = "Yes";
  vek::string No = "No";
  vek::string Ignore = "Ignore";
  vek::string Abort = "Abort";
  vek::string Help = "Help";
  vek::string Information = "Information";
  vek::string Warning = "Warning";
  vek::string Error = "Error";
  vek::string Player = "Player";
};

// The program-wide texts.
extern cLocale g_Locale;

}  // namespace vek
