#pragma once
// A window: a named set of controls shown and routed by the GUI manager. Its behaviour lives
// in its window function, which receives every window message; the base function is the
// default handling (painting, timers, characters, mouse and buttons, hover and focus).
//
// Ownership: a window owns its controls and its window function and deletes both with itself;
// the GUI owns its windows. A window function belongs to exactly one window: code that hands
// one to a window gives it away and must not delete it or hand it to another window.
#include <vector>

#include "engine/core/types.h"

namespace vek {

class cCtrl;
class cGUI;
class cWindow;

class cWindowFunction {
 public:
  cWindowFunction() = default;
  virtual ~cWindowFunction() = default;
  cWindowFunction(const cWindowFunction&) = delete;
  cWindowFunction& operator=(const cWindowFunction&) = delete;

  // Receives every message of its window; 1 means "taken" for routed input. The base
  // operation is the default handling.
  virtual int Call(cWindow* window, u32 message, u32 p1, u32 p2);
  // Whether painting the window now draws its visible controls as they are: in their own
  // colours, not moved, scaled or tinted. Their covers (cCtrl::GetCover) then hide whatever
  // is drawn before the window. No by default: a function may paint as it likes.
  virtual bool PaintsControlsAsTheyAre(const cWindow* /*window*/) const { return false; }
};

class cWindow {
 public:
  // Makes control 0 and registers with the GUI (the engine's GUI when none is given). Without
  // a function the window makes a default one. A function that another window already owns
  // is not taken (logged); the window then uses a default one.
  cWindow(cGUI* gui, cWindowFunction* function = nullptr);
  ~cWindow();
  cWindow(const cWindow&) = delete;
  cWindow& operator=(const cWindow&) = delete;

  // Appends the control and returns its id; 0 for none, and for a control of another window.
  unsigned AddControl(cCtrl* control);
  // Id of the first control with exactly this name; 0 when none.
  unsigned FindControl(const vek::string& name) const;
  cCtrl* GetControl(unsigned id) const;
  unsigned GetControlCount() const { return static_cast<unsigned>(m_Controls.size()); }

  // Focus: the old active control gets focus lost (35), the new one focus gained (34).
  void SetActiveControl(cCtrl* control);
  cCtrl* GetActiveControl() const { return m_pActive; }
  cCtrl* GetHoveredControl() const { return m_pHovered; }

  unsigned GetID() const { return m_ID; }
  cGUI* GetGUI() const { return m_pGUI; }
  void SetName(const vek::string& name) { m_Name = name; }
  const vek::string& GetName() const { return m_Name; }
  // The active flag: the window takes routed input (the GUI counts it when shown and closed).
  void SetActive(bool active) { m_bActive = active; }
  bool IsActive() const { return m_bActive; }
  void SetModal(bool modal) { m_bModal = modal; }
  bool IsModal() const { return m_bModal; }
  cWindowFunction* GetFunction() const { return m_pFunction; }

  // Moves every control by the difference to the old position, then stores the position.
  void SetPos(f32 x, f32 y);
  f32 GetX() const { return m_X; }
  f32 GetY() const { return m_Y; }

  // A visible, not ignorable control gets the event and its result is returned; otherwise
  // true (not consumed).
  bool SendControlEvent(cCtrl* control, u32 code, u32 p1, u32 p2);

  // The default handling's hover state.
  void SetHoveredControl(cCtrl* control) { m_pHovered = control; }
  f32 GetHoverTimer() const { return m_HoverTimer; }
  void SetHoverTimer(f32 seconds) { m_HoverTimer = seconds; }

 private:
  friend class cCtrl;
  friend class cGUI;
  // A control being deleted leaves the list (its slot stays empty, ids keep their meaning).
  void ForgetControl(cCtrl* control);

  unsigned m_ID = 0;
  cGUI* m_pGUI = nullptr;
  vek::string m_Name;
  std::vector<cCtrl*> m_Controls;
  cCtrl* m_pActive = nullptr;
  cCtrl* m_pHovered = nullptr;
  f32 m_HoverTimer = -1.0f;
  cWindowFunction* m_pFunction = nullptr;
  bool m_bActive = false;
  bool m_bModal = false;
  f32 m_X = 0.0f, m_Y = 0.0f;
  bool m_bDestroying = false;
};

}  // namespace vek
