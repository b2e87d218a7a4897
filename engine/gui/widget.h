#pragma once
// Base of every full-screen element; exactly one widget has the focus at a time.
#include "engine/core/types.h"

namespace vek {

class cWidget {
 public:
  // Stores the name and registers the widget in the engine's widget list, which owns it.
  explicit cWidget(const vek::string& name);
  virtual ~cWidget();

  // Draws the widget; the default draws the GUI.
  virtual void Render();
  // One fixed step of 1/30 s while focused and not paused.
  virtual void Step() {}
  // Per-frame update with the frame time in seconds.
  virtual void Update(f32 /*seconds*/) {}
  virtual const vek::string& GetName() const { return m_Name; }
  virtual void Activate() {}
  virtual void Deactivate() {}
  // Input the GUI did not take (type 3: a typed character).
  virtual void OnEvent(u32 /*type*/, u32 /*param*/) {}

 protected:
  vek::string m_Name;
};

}  // namespace vek
