#pragma once
// The GUI manager: owns every window, keeps the shown windows in stacking order, routes input
// from the top window down, delivers posted window messages once per fixed step, sends each
// shown window a timer message, and owns the mouse cursor. One exists, owned by the engine
// object and known to scripts as "theGUI".
//
// GUI coordinates: x to the right and y upwards from the bottom-left corner of the GUI area;
// a position travels in a message's second parameter as y << 16 | (x & 0xFFFF).
#include <deque>
#include <list>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/recti.h"
#include "engine/core/types.h"
#include "engine/render/quad_batch.h"

namespace vek {

class cCtrl;
class cCursor;
class cWindow;
class cWindowFunction;

// Window message codes. 1..14 have script names; the others are compared as numbers.
enum eWndMessage : u32 {
  e_wndPaint = 1,
  e_wndTimer = 2,
  e_wndKeyDown = 3,
  e_wndChar = 4,
  e_wndMouseMove = 5,
  e_wndLButtonDown = 6,
  e_wndLButtonUp = 7,
  e_wndCreate = 8,
  e_wndDestroy = 9,
  e_wndShow = 10,
  e_wndHide = 11,
  e_wndAfterCreate = 12,
  e_wndKeyUp = 13,
  e_wndHideImmediately = 14,
  e_wndActivate = 15,
  e_wndDeactivate = 16,
  e_wndRButtonDown = 17,
  e_wndRButtonUp = 18,
  e_wndHover = 19,  // p2: the hovered control's id
  // Control notifications; p2 is always the sender's id.
  e_ntfMouseEnter = 32,
  e_ntfMouseLeave = 33,
  e_ntfEditEnter = 35,
  e_ntfButtonClick = 48,
  e_ntfCheckToggle = 49,  // p1: the new state
  e_ntfEditChange = 50,
  e_ntfSliderValue = 51,  // p1: the value truncated toward zero
  e_ntfEditKillFocus = 52,
  e_ntfListChoose = 53,  // p1: the item index
};

// Packs a GUI position into a message parameter.
inline u32 PackPosition(i32 x, i32 y) {
  return (static_cast<u32>(y) << 16) | (static_cast<u32>(x) & 0xFFFF);
}

class cGUI {
 public:
  cGUI(f32 width, f32 height);
  ~cGUI();
  cGUI(const cGUI&) = delete;
  cGUI& operator=(const cGUI&) = delete;

  // The 2-D pass: every shown window paints itself bottom to top, then the cursor. Where a
  // window's controls cover the screen fully, what windows below it draw there is left out.
  void Draw();
  // For a picture drawn before Draw in the same frame: from now on until Draw, what is drawn
  // where the shown windows cover the screen fully is left out (see vek::SetCovers). Nothing
  // may show, hide or move a window between this and Draw.
  void PrepareCovers();
  // Message delivery, timers, cursor animation and caret blink; once per fixed step.
  void Update(f32 seconds);

  // Id of the first window with the name; 0 when none.
  unsigned FindWindow(const vek::string& name) const;
  cWindow* GetWindowById(unsigned id) const;
  cWindow* GetWindow(const vek::string& name) const;
  // Appends the window, stores its id and sends it e_wndCreate; 0 for none.
  unsigned AddWindow(cWindow* window);

  // 0, or 1 for an unknown name.
  int ShowWindow(const vek::string& name);
  int HideWindow(const vek::string& name);
  bool IsWindowShown(const vek::string& name) const;
  // 0, or 1 when the window is not shown.
  int CloseWindow(unsigned id);

  // The window function's result at once (0 without a window).
  int SendMessage(unsigned id, u32 message, u32 p1, u32 p2);
  // Queues the message for the next update; 0.
  int PostMessage(unsigned id, u32 message, u32 p1, u32 p2);

  // Input routing from the top window down; true when a window (or a modal one) took it. A
  // window that answered a key, a character or a button by showing, hiding or closing a
  // window has acted on it and takes it as well: one press is one action, and the window it
  // brought up (or uncovered) does not get the same press. Keys are DirectInput codes;
  // points are client-area pixels.
  bool OnKeyDown(u32 key);
  bool OnKeyUp(u32 key);
  bool OnChar(u32 character);
  bool OnMouseMove(i32 x, i32 y);
  bool OnMouseButton(bool released, i32 button, i32 x, i32 y);

  // A client-area point in GUI coordinates.
  void ClientToGUI(i32 cx, i32 cy, i32* x, i32* y) const;
  // The client area, set on every resize.
  void SetScreenRect(i32 x, i32 y, i32 w, i32 h) { m_Screen = recti{x, y, w, h}; }
  const recti& GetScreenRect() const { return m_Screen; }

  cCursor* GetCursor() const { return m_pCursor; }
  static f32 ParamToTime(u32 milliseconds) { return static_cast<f32>(milliseconds) / 1000.0f; }
  f32 GetWidth() const { return m_Width; }
  f32 GetHeight() const { return m_Height; }
  bool GetCaretBlink() const { return m_bCaretBlink; }
  int GetActiveCount() const { return m_ActiveCount; }
  const std::list<unsigned>& GetShownList() const { return m_Shown; }
  unsigned GetWindowCount() const { return static_cast<unsigned>(m_Windows.size()); }
  size_t GetQueuedCount() const { return m_Queue.size(); }
  bool IsShown(unsigned id) const;

  // Script-made objects that no window holds yet: the GUI keeps them until a window takes
  // them, and deletes what is left when it goes.
  void AdoptOrphan(cCtrl* control);
  bool ReleaseOrphan(cCtrl* control);
  void AdoptFunction(cWindowFunction* function);
  bool ReleaseFunction(cWindowFunction* function);
  // Whether a window other than `except` holds the function.
  bool IsFunctionOwned(const cWindowFunction* function, const cWindow* except) const;

  // Applies the system pointer rule ("the system pointer whenever the GUI draws no cursor of
  // its own"). With guiDrawn false the GUI is taken to draw nothing from now on. force applies
  // it even when the state looks unchanged: a focus switch may have changed the pointer behind
  // the GUI's back.
  void RefreshSystemCursor(bool guiDrawn, bool force);

 private:
  friend class cWindow;
  struct cMessage {
    u32 message;
    unsigned window;
    u32 p1, p2;
  };

  // A window being deleted leaves the table (its slot stays empty) and the shown list.
  void RemoveWindow(cWindow* window);
  int CallWindow(cWindow* window, u32 message, u32 p1, u32 p2);
  // Walks the shown windows from the top down with the message.
  bool Route(u32 message, u32 p1, u32 p2);
  // Shows or hides the system cursor over the window as the GUI cursor is drawn or not.
  void UpdateSystemCursor(bool guiCursorDrawn);
  // The covers of the shown windows' controls, each in the layer of its window's place in
  // the drawing order (see PaintsControlsAsTheyAre).
  void CollectCovers(std::vector<cCover>* out) const;

  std::deque<cMessage> m_Queue;
  std::vector<cWindow*> m_Windows;
  std::list<unsigned> m_Shown;
  f32 m_OriginX = 0.0f, m_OriginY = 0.0f;
  f32 m_Width = 0.0f, m_Height = 0.0f;
  recti m_Screen;
  int m_ActiveCount = 0;
  unsigned m_WindowChanges = 0;  // counts shows, hides and closes, for the input routing
  cCursor* m_pCursor = nullptr;
  bool m_bCaretBlink = false;
  std::vector<cCtrl*> m_Orphans;
  std::vector<cWindowFunction*> m_Functions;
  int m_SystemCursorState = -1;  // last applied (GUI cursor drawn, game active), -1 none
  bool m_bCursorDrawn = false;   // whether the last drawn frame showed the GUI cursor
  std::vector<cCover> m_Covers, m_DrawCovers;  // prepared before the frame's picture; Draw's own
  bool m_bCoversPrepared = false;
  bool m_bCoversWarned = false;
};

// The window table report, to the console and the log file.
void DumpGUI();

// Places the inner rectangle inside the outer one by cAlign flags (Right over Center, Top
// over Middle; y grows upwards).
void AlignRect(const rectf& outer, rectf& inner, int flags);

}  // namespace vek
