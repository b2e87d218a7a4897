#pragma once
// The one game window: an event pump that yields the messages the main loop handles,
// display modes, gamma ramp and the GL context. A real back end (SDL2) and a scripted one.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace plat {

struct DisplayMode {
  std::uint32_t width = 0, height = 0, bpp = 0, refresh = 0;
  bool operator==(const DisplayMode&) const = default;
};

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

enum class MsgKind {
  Quit,           // w: exit code
  Close,          // the user asked to close the window (or a termination signal)
  Destroy,        // the window is being destroyed
  EndSession,     // the session ends
  Activate,       // w: 1 active, 0 inactive; l: 1 when minimised
  Size,           // w: 0 restored, 1 minimised, 2 maximised; l: height << 16 | width
  DisplayChange,  // w: bits per pixel; l: height << 16 | width
  Char,           // w: windows-1252 character
  Timer,          // w: timer id
  User,           // w, l: free for tests and registered handlers
};

struct Message {
  MsgKind kind = MsgKind::User;
  std::uint32_t w = 0;
  std::uint32_t l = 0;
  std::uint32_t id = 0;  // User: message id
};

class Window {
 public:
  virtual ~Window() = default;

  // Opens the window, or re-configures the open one: windowed play is a centred window
  // with a client area of width x height; full screen covers the desktop and shows the
  // width x height picture scaled with its aspect ratio kept. The GL context survives.
  virtual bool Open(const std::string& title, bool windowed, int width, int height) = 0;
  // Marks the window closed for the engine; the system window and context are kept for reuse.
  virtual void Close() = 0;
  // Destroys the system window and the GL context (program end).
  virtual void Shutdown() = 0;
  virtual bool IsOpen() const = 0;
  virtual bool IsWindowed() const = 0;
  // Windowed: client area width x height, centred on the desktop; full screen: the picture size.
  virtual void Resize(int width, int height) = 0;

  // Client size in picture pixels (what the engine draws and where the mouse is).
  virtual bool ClientSize(int& width, int& height) = 0;
  // Size of the drawable surface in device pixels, and the picture's place inside it.
  virtual bool DrawableSize(int& width, int& height) = 0;
  virtual Rect PictureRect() = 0;
  // Cursor position in picture pixels; false when unknown.
  virtual bool CursorPos(int& x, int& y) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void Minimize() = 0;
  virtual void Restore() = 0;
  virtual bool IsMinimized() = 0;
  // Whether the window has the keyboard focus now (as of the last Pump), whatever messages
  // about it still wait.
  virtual bool HasFocus() = 0;
  // Whether the system cursor shows over the window.
  virtual void ShowSystemCursor(bool show) = 0;
  // While busy, the system's wait pointer shows over the window (the game draws no frames
  // meanwhile); afterwards the pointer is as it was.
  virtual void ShowBusyCursor(bool busy) = 0;
  // Brings the window to the front, restored when minimised, where the window system allows it
  // (a second start of the program asks for this).
  virtual void Raise() = 0;
  // Why the video system could not reach a display; empty while it can (or was not tried).
  virtual std::string DisplayError() const = 0;

  // Frame pacing, called once a frame: sleeps until one refresh period of the display has
  // passed since the previous paced frame (60 Hz when the rate is unknown), so that no more
  // frames are made than the display shows. With vertical sync the swap has waited already and
  // the sleep is near zero. The fixed logic step is measured in time and does not change.
  void PaceFrame();
  // Benchmarks turn pacing off to measure the whole speed of a frame.
  void SetFramePacing(bool on) { m_Pacing = on; }
  // Refresh rate of the display the window is on, in Hz; 0 when unknown.
  virtual int RefreshRate();

  // Event pump: the next message, removed from the queue; false when none waits.
  bool Peek(Message& msg);
  // Blocks until a message waits (or a termination request arrives).
  virtual void Wait() = 0;
  // Posts a quit message carrying the exit code.
  void PostQuit(int code);
  // Posts any message at the end of the queue.
  void Post(const Message& msg) { m_Posted.push_back(msg); }
  // Removes every waiting message (the quit mark included) without handling it. Events the
  // system has not handed over yet stay with it: the player's input and a test's questions made
  // while the window is re-made are handled afterwards, not in the middle of it.
  void DiscardPending();
  // A timer that is not bound to a window: a Timer message every period.
  void SetTimer(std::uint32_t id, std::uint32_t periodMs);
  void KillTimer(std::uint32_t id);

  // Display: the desktop's current mode, the work area, the mode list and a mode test.
  virtual bool DesktopMode(DisplayMode& mode) = 0;
  virtual bool WorkArea(Rect& area) = 0;
  virtual std::vector<DisplayMode> Modes() = 0;
  virtual bool TestMode(const DisplayMode& mode) = 0;
  // Gamma ramp, 3 x 256 values (red, green, blue).
  virtual bool GetGammaRamp(std::uint16_t ramp[768]) = 0;
  virtual bool SetGammaRamp(const std::uint16_t ramp[768]) = 0;

  // GL context of the window.
  virtual void* GLGetProcAddress(const char* name) = 0;
  virtual void GLSwap() = 0;
  virtual bool HasGLContext() const = 0;

 protected:
  // Moves system events into the queue (back end specific).
  virtual void Pump() = 0;
  std::deque<Message> m_Posted;

 private:
  struct Timer {
    std::uint32_t id;
    std::uint32_t periodMs;
    std::int64_t due;
  };
  std::vector<Timer> m_Timers;
  bool m_QuitPosted = false;
  int m_QuitCode = 0;
  bool m_Pacing = true;
  bool m_Paced = false;  // a frame was paced: m_LastPaced holds its end
  std::int64_t m_LastPaced = 0;
};

// Platform modules that read the same system events (input) register here; the SDL2 back end
// hands each polled event (an SDL_Event) to every hook before translating it.
using RawEventHook = void (*)(const void* event, void* user);
void AddRawEventHook(RawEventHook hook, void* user);
void RemoveRawEventHook(RawEventHook hook, void* user);

// The active back end (SDL2 unless a test installed another).
Window& GetWindow();
// Installs a back end; null restores the SDL2 one.
void SetWindow(std::unique_ptr<Window> window);

// Scripted back end for tests: a queue the test fills, a table of modes and a stored ramp.
class ScriptedWindow : public Window {
 public:
  bool openFails = false;
  bool gammaFails = false;
  bool open = false;
  bool windowed = false;
  bool minimized = false;
  bool focused = true;  // the focus as the window system has it now
  int clientW = 0, clientH = 0;
  int cursorX = 0, cursorY = 0;
  bool cursorKnown = true;
  std::string title;
  DisplayMode desktop{1024, 768, 32, 60};
  Rect workArea{0, 0, 1024, 768};
  std::vector<DisplayMode> modes;
  std::uint16_t ramp[768] = {};
  int opens = 0, closes = 0, swaps = 0, raises = 0;
  int busyOpens = 0;  // opens made while the wait pointer showed
  bool systemCursorShown = true;
  bool busyShown = false;

  // Messages the next Pump delivers.
  std::deque<Message> script;

  bool Open(const std::string& t, bool w, int width, int height) override;
  void Close() override { open = false; ++closes; }
  void Shutdown() override { open = false; }
  bool IsOpen() const override { return open; }
  bool IsWindowed() const override { return windowed; }
  void Resize(int width, int height) override {
    clientW = width;
    clientH = height;
  }
  bool ClientSize(int& w, int& h) override;
  bool DrawableSize(int& w, int& h) override { return ClientSize(w, h); }
  Rect PictureRect() override { return Rect{0, 0, clientW, clientH}; }
  bool CursorPos(int& x, int& y) override;
  void SetTitle(const std::string& t) override { title = t; }
  void Minimize() override { minimized = true; }
  void Restore() override { minimized = false; }
  bool IsMinimized() override { return minimized; }
  bool HasFocus() override { return focused; }
  void ShowSystemCursor(bool show) override { systemCursorShown = show; }
  void ShowBusyCursor(bool busy) override { busyShown = busy; }
  void Raise() override { ++raises; }
  std::string DisplayError() const override { return {}; }
  void Wait() override;
  bool DesktopMode(DisplayMode& mode) override {
    mode = desktop;
    return true;
  }
  bool WorkArea(Rect& area) override {
    area = workArea;
    return true;
  }
  std::vector<DisplayMode> Modes() override { return modes; }
  bool TestMode(const DisplayMode&) override { return true; }
  bool GetGammaRamp(std::uint16_t r[768]) override;
  bool SetGammaRamp(const std::uint16_t r[768]) override;
  void* GLGetProcAddress(const char*) override { return nullptr; }
  void GLSwap() override { ++swaps; }
  bool HasGLContext() const override { return false; }

 protected:
  void Pump() override;
};

}  // namespace plat
