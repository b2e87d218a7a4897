#pragma once
// Device loss as both back ends emulate it: a display change loses the device until it is
// reset; a full-screen device that loses the focus stays lost until the focus is back.
#include "platform/gfx.h"

namespace plat::gfx {

class DeviceLoss {
 public:
  void DisplayChange() { m_Lost = true; }
  void Focus(bool active, bool windowed) {
    m_Active = active;
    if (!active && !windowed) m_Lost = true;
  }
  bool Lost() const { return m_Lost; }
  Result Test() const {
    if (!m_Lost) return kOk;
    return m_Active ? kErrDeviceNotReset : kErrDeviceLost;
  }
  // A reset is allowed once the device can be reset; it ends the loss.
  bool CanReset() const { return !m_Lost || m_Active; }
  void ResetDone() { m_Lost = false; }

 private:
  bool m_Lost = false;
  bool m_Active = true;
};

}  // namespace plat::gfx
