#pragma once
// The control base: every element inside a window. A control made with a window joins that
// window's control list (the window owns it and deletes it with itself); its id is its index
// there. A control made without a window (a member of a composite control, or a script object
// not yet placed) has id 0 and sends no notifications.
#include "engine/core/geometry.h"
#include "engine/core/types.h"

namespace vek {

class cGUI;
class cWindow;

// Control rectangles hit-test with their edges included.
bool RectContainsInclusive(const rectf& r, f32 x, f32 y);

class cCtrl {
 public:
  // State flags.
  enum eState : int {
    e_None = 0,
    e_Visibility = 2,  // drawn and receives events
    e_Disabled = 4,    // no button-down from the window
    e_Ignorable = 8,   // drawn, but left out of hover tests and events
    e_All = -1,
  };
  // Part selectors of the position, size, texture-coordinate, texture and colour setters.
  enum ePart : int {
    e_frmBorder = 2,
    e_sldImage = 4,
    e_lstItems = 8,
    e_edtFont = 1024,
    e_btnFont = 2048,
    e_btnNormal = 4096,
    e_btnPush = 8192,
    e_cbFont = 16384,
    e_cbNormal = 32768,
    e_cbPush = 65536,
    e_liFont = 131072,
    e_lstNormal = 262144,
    e_lstHighlight = 524288,
    e_lstSelection = 1048576,
  };
  // Event codes a window hands to its controls through OnEvent.
  enum eEvent : u32 {
    e_evTimer = 2,         // p1: milliseconds since the last timer message
    e_evChar = 4,          // p1: the character byte
    e_evMouseMove = 5,     // p2: y << 16 | x in GUI coordinates
    e_evLButtonDown = 6,   // p2: as for 5
    e_evLButtonUp = 7,     // p2: as for 5
    e_evMouseEnter = 32,
    e_evMouseLeave = 33,
    e_evFocusGained = 34,
    e_evFocusLost = 35,
  };

  cCtrl(const vek::string& name, cWindow* window);
  virtual ~cCtrl();
  cCtrl(const cCtrl&) = delete;
  cCtrl& operator=(const cCtrl&) = delete;

  virtual void Draw() {}
  // The area (GUI coordinates) that Draw covers fully as the control is now, nothing behind
  // it showing through; false when there is none or it is not known.
  virtual bool GetCover(rectf* /*area*/) const { return false; }
  // False when the control consumed the event, true when the event goes on.
  virtual bool OnEvent(u32 code, u32 p1, u32 p2);
  virtual void UpdateLayout() {}
  virtual const vek::string& GetName() const { return m_Name; }
  virtual unsigned GetID() const { return m_ID; }
  virtual void SetPos(f32 x, f32 y, int flags);
  virtual void MoveBy(f32 dx, f32 dy, int flags);
  virtual void SetSize(f32 w, f32 h, int flags);
  virtual void SetUVPos(f32 /*u*/, f32 /*v*/, int /*flags*/) {}
  virtual void SetUVSize(f32 /*du*/, f32 /*dv*/, int /*flags*/) {}
  virtual bool HitTest(f32 /*x*/, f32 /*y*/) const { return false; }
  virtual rectf GetRect() const { return rectf{}; }
  virtual void EnableState(int flags) { m_State |= flags; }
  virtual void DisableState(int flags) { m_State &= ~flags; }
  virtual bool GetState(int flags) const { return (m_State & flags) != 0; }
  virtual const char* GetClassName() const { return "cCtrl"; }

  cWindow* GetWindow() const { return m_pWindow; }
  cGUI* GetGUI() const { return m_pGUI; }

 protected:
  // Sends a notification to the window's function at once; nothing without a window.
  void Notify(u32 message, u32 p1);
  // Posts a notification for the GUI's next update; nothing without a window.
  void PostNotify(u32 message, u32 p1);

 private:
  friend class cWindow;
  cWindow* m_pWindow = nullptr;
  cGUI* m_pGUI = nullptr;
  vek::string m_Name;
  int m_State = e_Visibility;
  unsigned m_ID = 0;
};

}  // namespace vek
