#pragma once
// The edit field's logic: typed characters, backspace, Enter and the maximum length. The text
// itself lives in the subclass (SetText and GetText); the base keeps none.
#include "engine/gui/ctrl.h"

namespace vek {

class cEditCtrl : public cCtrl {
 public:
  cEditCtrl(const vek::string& name, cWindow* window) : cCtrl(name, window) {}

  // Consumes every event that reaches it, characters included.
  bool OnEvent(u32 code, u32 p1, u32 p2) override;
  const char* GetClassName() const override { return "cEditCtrl"; }

  virtual void SetText(const vek::string& /*text*/) {}
  virtual const vek::string& GetText() const;
  virtual void SetMaxLength(unsigned length) { m_MaxLength = length; }
  virtual unsigned GetMaxLength() const { return m_MaxLength; }

 protected:
  unsigned m_MaxLength = 256;
};

}  // namespace vek
