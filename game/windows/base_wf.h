#pragma once
// The bases of the game's window functions and what they share.
//
// cBaseWF: a window fades in from 110 % size and transparent when shown and fades out when
// hidden (it leaves the screen only when the fade reaches 0, and the application is then
// told); a window whose layout lacks a control it needs reports it once and stays inert
// (Escape still hides it); edit fields click while typing.
// cBaseGDWF: no fade; a hidden window leaves the screen at the next timer message.
#include "engine/core/tween.h"
#include "engine/core/types.h"
#include "engine/gui/window.h"

namespace vek {
class cCtrl;
}

// Message codes and keys the game's windows use beside the engine's.
constexpr vek::u32 kKeyEscape = 1;
constexpr vek::u32 kKeyEnter = 28;

class cBaseWF : public vek::cWindowFunction {
 public:
  cBaseWF();

  // Concrete windows end in HandleMessage.
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  // Yes once the fade-in is over: only a fading window is tinted and scaled.
  bool PaintsControlsAsTheyAre(const vek::cWindow* window) const override;
  // Marks the function failed and, for a non-empty text, warns "[window] text". Returns 0.
  virtual int ReportError(vek::cWindow* window, const vek::string& text);
  // False when failed or fading out.
  virtual bool IsReady() const;

  // The shared handling: fade, close on the timer, the application's close notification,
  // Escape on an inert window, the typing click.
  int HandleMessage(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2);

  // Sends the command of the named control to the window's function at once, as a click
  // would; an unknown name sends id 0. False only without a window.
  static bool NotifyControl(vek::cWindow* window, const vek::string& controlName);
  // The named control of the window; null for an unknown name (control 0 is never given).
  static vek::cCtrl* GetControlByName(vek::cWindow* window, const vek::string& name);
  // The same, of class T: a control of another class counts as missing.
  template <class T>
  static T* GetControlAs(vek::cWindow* window, const vek::string& name) {
    return dynamic_cast<T*>(GetControlByName(window, name));
  }
  // Whether p2 of a command is the named control's id (never for an unknown name).
  static bool IsControl(vek::cWindow* window, vek::u32 id, const vek::string& name);

  bool IsFailed() const { return m_bFailed; }
  const vek::cAnimatedFloat& GetFade() const { return m_Fade; }

 protected:
  vek::cAnimatedFloat m_Fade;
  bool m_bFailed = false;
};

class cBaseGDWF : public vek::cWindowFunction {
 public:
  int ReportError(vek::cWindow* window, const vek::string& text);
  int HandleMessage(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2);
  bool IsFailed() const { return m_bFailed; }
  bool IsClosePending() const { return m_bClosePending; }

 protected:
  bool m_bFailed = false;
  bool m_bClosePending = false;
};

// The named control of the named window; null with a warning when either is missing.
vek::cCtrl* FindControl(const vek::string& windowName, const vek::string& controlName);

// The engine's widget pause as one holder takes it: a holder raises the pause counter at
// most once and lowers it only when it raised it, so windows that pause the game never
// release each other's pause.
class cPauseHold {
 public:
  ~cPauseHold() = default;
  // Raises the counter unless this holder holds it already.
  void Take();
  // Raises the counter only when no one holds it (it is 0) and this holder does not.
  void TakeIfClear();
  // Lowers the counter when this holder raised it.
  void Release();
  bool IsHeld() const { return m_bHeld; }

 private:
  bool m_bHeld = false;
};

// The format with its first "%s" replaced by the value; every other character (other
// placeholders included) is kept as it is.
vek::string SubstituteText(const vek::string& format, const vek::string& value);
