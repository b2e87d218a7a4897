#pragma once
// The main menu "main" and the escape menu "escape". The bases handle the buttons that do not
// depend on the game's state (profiles, options, high scores, help, leaving, resuming, the
// greeting); the game's versions add starting, continuing, restarting and ending, and ask
// before the program ends or a level is left.
#include "game/windows/base_wf.h"

namespace vek {
class cLabelCtrl;
}

class cMainWF : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  // The label's own text is the greeting's format; "%s" takes the player's name.
  const vek::string& GetGreetingFormat() const { return m_Format; }

 private:
  vek::cLabelCtrl* m_pProfile = nullptr;
  vek::string m_Format;
};

class cEscapeWF : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  const cPauseHold& GetPause() const { return m_Pause; }

 protected:
  // The play screen's pause, taken when the menu opens over a running game.
  cPauseHold m_Pause;
};

class cMainGDWF : public cMainWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  bool IsFirstShowing() const { return m_bFirstShowing; }

 private:
  bool m_bFirstShowing = true;
};

class cEscapeGDWF : public cEscapeWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

 private:
  vek::cCtrl* m_pRestart = nullptr;
};

// Whether the engine has a widget of that name, and giving it the focus when it has.
bool FocusWidgetIfPresent(const vek::string& name);
