#pragma once
// The settings window "options": screen resolution and windowed mode, gamma, sound and music
// volumes, mouse speed and the hints switch. Every change is applied at once, while the
// control moves; the back button (and Escape) returns to the menu it was opened from.
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
};

class cOptionsGDWF : public cOptionsWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

 private:
  vek::cCheckBoxSysCtrl* m_pHints = nullptr;
};
