#pragma once
// The settings window "options": screen resolution and windowed mode, gamma, sound and music
// volumes, mouse speed and the hints switch. Every change is applied at once, while the
// control moves; the back button (and Escape) returns to the menu it was opened from.
// A change of the display mode re-makes the window and its textures, which takes a moment: it
// is made once the control's new state is on the screen, under the wait pointer, and the mode
// controls ignore clicks until it is done (clicks made meanwhile arrive only afterwards).
#include <memory>

#include "engine/sound/sound.h"
#include "game/windows/base_wf.h"

namespace vek {
class cCheckBoxSysCtrl;
class cListSysCtrl;
class cSliderCtrl;
}

class cOptionsWF : public cBaseWF {
 public:
  // The resolution rows: text, and width x height as the row's data.
  struct cMode {
    const char* text;
    vek::u32 width, height;
  };
  static const cMode kModes[5];

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  // Selects the resolution row whose data is the value (and no other).
  void SelectItemByData(vek::cWindow* window, vek::u32 value);

 protected:
  vek::cListSysCtrl* m_pResolution = nullptr;
  vek::cSliderCtrl* m_pGamma = nullptr;
  vek::cSliderCtrl* m_pSound = nullptr;
  vek::cSliderCtrl* m_pMusic = nullptr;
  vek::cSliderCtrl* m_pMouseSpeed = nullptr;
  vek::cCheckBoxSysCtrl* m_pWindowed = nullptr;
  std::unique_ptr<vek::cSound> m_pTestSound;

  // Whether a display switch is asked for, being made or settling.
  bool SwitchUnderWay() const { return m_Switch.state != cSwitch::e_None; }

 private:
  // A display switch: pending from the click until the second timer message (by then the
  // frame that shows the click has been presented), then made, then settling for two more
  // timer messages (the input queued while the window was re-made arrives in between).
  struct cSwitch {
    enum State { e_None, e_Pending, e_Settling } state = e_None;
    int timers = 0;
    bool windowed = false;
    vek::u32 width = 0, height = 0;
  };
  void RequestSwitch(bool windowed, vek::u32 width, vek::u32 height);
  void AdvanceSwitch();
  void SwitchNow();
  // The mode controls show the mode in use (or the one about to be made).
  void ShowMode(vek::cWindow* window);
  cSwitch m_Switch;
};

class cOptionsGDWF : public cOptionsWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

 private:
  vek::cCheckBoxSysCtrl* m_pHints = nullptr;
};
