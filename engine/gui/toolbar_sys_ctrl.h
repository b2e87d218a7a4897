#pragma once
// An image list whose click on a cell tells the window at once (message 53 with the cell's
// index) instead of selecting it. A disabled cell tells nothing; the click is consumed.
#include "engine/gui/image_list_sys_ctrl.h"

namespace vek {

class cToolbarSysCtrl : public cImageListSysCtrl {
 public:
  cToolbarSysCtrl(const vek::string& name, cWindow* window) : cImageListSysCtrl(name, window) {}

  bool OnEvent(u32 code, u32 p1, u32 p2) override;
  const char* GetClassName() const override { return "cToolbarSysCtrl"; }
};

}  // namespace vek
