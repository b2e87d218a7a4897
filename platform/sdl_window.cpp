// The SDL2 back end of the game window.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/os.h"
#include "platform/sdl_x11.h"
#include "platform/window.h"

namespace plat {
namespace {

struct Hook {
  RawEventHook fn;
  void* user;
};
std::vector<Hook>& Hooks() {
  static std::vector<Hook> hooks;
  return hooks;
}

std::uint32_t Pack(int w, int h) {
  return (static_cast<std::uint32_t>(h & 0xFFFF) << 16) | static_cast<std::uint32_t>(w & 0xFFFF);
}

std::uint32_t BitsOf(std::uint32_t format) {
  if (SDL_BYTESPERPIXEL(format) == 4) return 32;
  return SDL_BITSPERPIXEL(format);
}

const char* const kNoDisplay =
    "no display: set DISPLAY or WAYLAND_DISPLAY, or SDL_VIDEODRIVER=offscreen for a headless run";

bool EnvSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// Why no display answered: the display that DISPLAY or WAYLAND_DISPLAY names could not be
// opened (with SDL's reason), or none is named at all.
std::string NamedDisplayError(const std::string& reason) {
  std::string named;
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    if (!EnvSet(variable)) continue;
    if (!named.empty()) named += " or ";
    named += "\"" + std::string(std::getenv(variable)) + "\" named by " + variable;
  }
  if (named.empty()) return kNoDisplay;
  return "cannot open the display " + named + (reason.empty() ? std::string() : " (SDL: " + reason + ")") +
         "; SDL_VIDEODRIVER=offscreen runs the game headless";
}

// The compiled video drivers that show a picture on a screen, as a list for SDL's driver hint.
// SDL would otherwise fall back to its offscreen driver when no display answers and the game
// would run unseen; the headless drivers are used only when SDL_VIDEODRIVER names them.
std::string DisplayDrivers() {
  std::string list;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const std::string name = SDL_GetVideoDriver(i);
    if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
    // Without a runtime folder the Wayland client library prints its own complaint.
    if (name == "wayland" && !EnvSet("WAYLAND_DISPLAY") && !EnvSet("XDG_RUNTIME_DIR")) continue;
    if (!list.empty()) list += ',';
    list += name;
  }
  return list;
}

class SdlWindow : public Window {
 public:
  ~SdlWindow() override { Shutdown(); }

  bool Open(const std::string& title, bool windowed, int width, int height) override {
    if (!InitVideo()) return false;
    m_Windowed = windowed;
    m_PictureW = width;
    m_PictureH = height;
    if (!m_Window) {
      Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
      if (!windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
      SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
      // Colour only: the graphics device keeps depth and stencil in buffers of its own.
      SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
      SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
      m_Window = SDL_CreateWindow(Cp1252ToUtf8(title).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  width, height, flags);
      if (!m_Window) {
        m_LastError = SDL_GetError();
        return false;
      }
      m_Context = SDL_GL_CreateContext(m_Window);
      if (!m_Context) {
        m_LastError = SDL_GetError();
        SDL_DestroyWindow(m_Window);
        m_Window = nullptr;
        return false;
      }
      SDL_GL_MakeCurrent(m_Window, m_Context);
      // Wait for the display's refresh where it has one; headless drivers ignore this.
      if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
    } else {
      SDL_SetWindowTitle(m_Window, Cp1252ToUtf8(title).c_str());
      SDL_SetWindowFullscreen(m_Window, windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
      if (windowed) {
        SDL_SetWindowSize(m_Window, width, height);
        SDL_SetWindowPosition(m_Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
      }
    }
    SDL_ShowWindow(m_Window);
    SDL_RaiseWindow(m_Window);
    m_Open = true;
    MeasureWindow();
    return true;
  }

  void Close() override { m_Open = false; }

  void Shutdown() override {
    m_Open = false;
    m_RealW = m_RealH = 0;
    if (m_Context) SDL_GL_DeleteContext(m_Context);
    m_Context = nullptr;
    if (m_Window) SDL_DestroyWindow(m_Window);
    m_Window = nullptr;
    if (m_WaitCursor) SDL_FreeCursor(m_WaitCursor);
    m_WaitCursor = nullptr;
    m_Busy = false;
    if (m_VideoUp) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    m_VideoUp = false;
  }

  bool IsOpen() const override { return m_Open; }
  bool IsWindowed() const override { return m_Windowed; }

  void Resize(int width, int height) override {
    m_PictureW = width;
    m_PictureH = height;
    if (m_Window && m_Windowed) {
      SDL_SetWindowSize(m_Window, width, height);
      SDL_SetWindowPosition(m_Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
  }

  bool ClientSize(int& w, int& h) override {
    if (!m_Window || !m_Open) return false;
    if (m_Windowed) {
      WindowSize(w, h);
    } else {
      w = m_PictureW;
      h = m_PictureH;
    }
    return true;
  }

  bool DrawableSize(int& w, int& h) override {
    if (!m_Window) return false;
    if (m_RealW > 0 && m_RealH > 0) {
      w = m_RealW;
      h = m_RealH;
    } else {
      SDL_GL_GetDrawableSize(m_Window, &w, &h);
    }
    return true;
  }

  Rect PictureRect() override {
    int dw = 0, dh = 0;
    if (!DrawableSize(dw, dh)) return Rect{};
    return Letterbox(dw, dh);
  }

  bool CursorPos(int& x, int& y) override {
    if (!m_Window) return false;
    int mx = 0, my = 0;
    SDL_GetMouseState(&mx, &my);
    if (m_HaveMotion) {
      mx = m_MouseX;
      my = m_MouseY;
    }
    if (m_Windowed) {
      x = mx;
      y = my;
      return true;
    }
    int ww = 0, wh = 0;
    WindowSize(ww, wh);
    Rect r = Letterbox(ww, wh);
    if (r.w <= 0 || r.h <= 0) return false;
    x = (mx - r.x) * m_PictureW / r.w;
    y = (my - r.y) * m_PictureH / r.h;
    return true;
  }

  void SetTitle(const std::string& title) override {
    if (m_Window) SDL_SetWindowTitle(m_Window, Cp1252ToUtf8(title).c_str());
  }
  void Minimize() override {
    if (m_Window) SDL_MinimizeWindow(m_Window);
  }
  void Restore() override {
    if (m_Window) SDL_RestoreWindow(m_Window);
  }
  bool IsMinimized() override {
    return m_Window && (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_MINIMIZED);
  }
  bool HasFocus() override { return m_Window && (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_INPUT_FOCUS); }
  void ShowSystemCursor(bool show) override {
    if (m_VideoUp) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
  }
  void ShowBusyCursor(bool busy) override {
    if (!m_VideoUp || busy == m_Busy) return;
    m_Busy = busy;
    if (busy) {
      if (!m_WaitCursor) m_WaitCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
      m_ShownBeforeBusy = SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
      if (m_WaitCursor) SDL_SetCursor(m_WaitCursor);
      SDL_ShowCursor(SDL_ENABLE);
    } else {
      SDL_SetCursor(SDL_GetDefaultCursor());
      SDL_ShowCursor(m_ShownBeforeBusy ? SDL_ENABLE : SDL_DISABLE);
    }
  }
  void Raise() override {
    if (!m_Window) return;
    if (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(m_Window);
    SDL_RaiseWindow(m_Window);
  }
  std::string DisplayError() const override { return m_DisplayError; }
  int RefreshRate() override {
    if (!m_Window) return Window::RefreshRate();
    SDL_DisplayMode m{};
    const int display = SDL_GetWindowDisplayIndex(m_Window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &m) != 0) return 0;
    return m.refresh_rate;
  }

  void Wait() override {
    if (!m_VideoUp) {
      GetOs().SleepMs(10);
      return;
    }
    while (!TerminationRequested()) {
      if (SDL_WaitEventTimeout(nullptr, 100)) return;
    }
  }

  bool DesktopMode(DisplayMode& mode) override {
    if (!InitVideo()) return false;
    SDL_DisplayMode m{};
    if (SDL_GetDesktopDisplayMode(0, &m) != 0) return false;
    mode = DisplayMode{static_cast<std::uint32_t>(m.w), static_cast<std::uint32_t>(m.h),
                       BitsOf(m.format), static_cast<std::uint32_t>(m.refresh_rate)};
    return true;
  }

  bool WorkArea(Rect& area) override {
    if (!InitVideo()) return false;
    SDL_Rect r{};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) return false;
    area = Rect{r.x, r.y, r.w, r.h};
    return true;
  }

  std::vector<DisplayMode> Modes() override {
    std::vector<DisplayMode> out;
    if (!InitVideo()) return out;
    int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
      SDL_DisplayMode m{};
      if (SDL_GetDisplayMode(0, i, &m) != 0) break;
      out.push_back(DisplayMode{static_cast<std::uint32_t>(m.w), static_cast<std::uint32_t>(m.h),
                                BitsOf(m.format), static_cast<std::uint32_t>(m.refresh_rate)});
    }
    return out;
  }

  bool TestMode(const DisplayMode& mode) override { return mode.width > 0 && mode.height > 0; }

  bool GetGammaRamp(std::uint16_t ramp[768]) override {
    if (!m_Window) return false;
    return SDL_GetWindowGammaRamp(m_Window, ramp, ramp + 256, ramp + 512) == 0;
  }
  bool SetGammaRamp(const std::uint16_t ramp[768]) override {
    if (!m_Window) return false;
    return SDL_SetWindowGammaRamp(m_Window, ramp, ramp + 256, ramp + 512) == 0;
  }

  void* GLGetProcAddress(const char* name) override {
    return m_Context ? SDL_GL_GetProcAddress(name) : nullptr;
  }
  void GLSwap() override {
    if (m_Window && m_Context) SDL_GL_SwapWindow(m_Window);
  }
  bool HasGLContext() const override { return m_Context != nullptr; }

 protected:
  void Pump() override {
    if (!m_VideoUp) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_SYSWMEVENT) {
        // The window system's own events: only the window's real size is read from them.
        int w = 0, h = 0;
        if (X11ConfigureSize(e, m_Window, w, h)) {
          m_RealW = w;
          m_RealH = h;
        }
        continue;
      }
      for (const Hook& h : Hooks()) h.fn(&e, h.user);
      Translate(e);
    }
  }

 private:
  bool InitVideo() {
    if (m_VideoUp) return true;
    if (!m_DisplayError.empty()) return false;  // tried already: no display answers
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    const bool asked = EnvSet("SDL_VIDEODRIVER");
    if (!asked) {
      const std::string drivers = DisplayDrivers();
      if (drivers.empty()) {
        m_DisplayError = kNoDisplay;
        return false;
      }
      SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
      m_LastError = SDL_GetError();
      if (asked)
        m_DisplayError = "cannot start the video driver " + std::string(std::getenv("SDL_VIDEODRIVER")) + ": " + m_LastError;
      else
        m_DisplayError = NamedDisplayError(m_LastError);
      return false;
    }
    m_VideoUp = true;
    // The X server's configure notifications tell the window's real size (below).
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return true;
  }

  // The size the window really has. A full-screen request is only a request: without a window
  // manager (a bare X server, some kiosk and tiling set-ups) the window keeps its first size
  // while SDL reports the desktop's, and a window manager may grant it only later. On X11 the
  // server's own size is read after every mode change and kept up to date from its configure
  // notifications; elsewhere SDL's sizes are the window's.
  void MeasureWindow() {
    int w = 0, h = 0;
    if (X11WindowSize(m_Window, w, h)) {
      m_RealW = w;
      m_RealH = h;
    } else {
      m_RealW = m_RealH = 0;
    }
  }

  // The window's size in the coordinates of mouse events.
  void WindowSize(int& w, int& h) {
    if (m_RealW > 0 && m_RealH > 0) {
      w = m_RealW;
      h = m_RealH;
    } else {
      SDL_GetWindowSize(m_Window, &w, &h);
    }
  }

  Rect Letterbox(int dw, int dh) const {
    if (m_Windowed || m_PictureW <= 0 || m_PictureH <= 0) return Rect{0, 0, dw, dh};
    // Scale the picture to fit and keep its aspect ratio; the rest are black bars.
    double s = std::min(static_cast<double>(dw) / m_PictureW, static_cast<double>(dh) / m_PictureH);
    int w = static_cast<int>(m_PictureW * s + 0.5);
    int h = static_cast<int>(m_PictureH * s + 0.5);
    return Rect{(dw - w) / 2, (dh - h) / 2, w, h};
  }

  void Translate(const SDL_Event& e) {
    switch (e.type) {
      case SDL_QUIT:
        Post(Message{MsgKind::Close, 0, 0, 0});
        break;
      case SDL_MOUSEMOTION:
        m_HaveMotion = true;
        m_MouseX = e.motion.x;
        m_MouseY = e.motion.y;
        break;
      case SDL_TEXTINPUT: {
        std::string text = Utf8ToCp1252(e.text.text);
        for (unsigned char c : text) Post(Message{MsgKind::Char, c, 0, 0});
        break;
      }
      case SDL_KEYDOWN: {
        // The control keys arrive as characters too, with the keyboard's repeat.
        std::uint32_t c = 0;
        switch (e.key.keysym.sym) {
          case SDLK_BACKSPACE: c = 8; break;
          case SDLK_TAB: c = 9; break;
          case SDLK_RETURN:
          case SDLK_KP_ENTER: c = 13; break;
          case SDLK_ESCAPE: c = 27; break;
          default: break;
        }
        if (c) Post(Message{MsgKind::Char, c, 0, 0});
        break;
      }
      case SDL_DISPLAYEVENT:
        PostDisplayChange();
        break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            Post(Message{MsgKind::Close, 0, 0, 0});
            break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            Post(Message{MsgKind::Activate, 1, IsMinimized() ? 1u : 0u, 0});
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            Post(Message{MsgKind::Activate, 0, 0, 0});
            break;
          case SDL_WINDOWEVENT_SIZE_CHANGED: {
            MeasureWindow();
            int w = 0, h = 0;
            if (ClientSize(w, h)) Post(Message{MsgKind::Size, 0, Pack(w, h), 0});
            break;
          }
          case SDL_WINDOWEVENT_MINIMIZED:
            Post(Message{MsgKind::Size, 1, 0, 0});
            break;
          case SDL_WINDOWEVENT_RESTORED:
            // The focus may come back while the window is still minimised (a window manager
            // restoring it for the task switcher focuses it first): that activation does
            // nothing, so the restored window with the focus is activated now.
            if (SDL_GetWindowFlags(m_Window) & SDL_WINDOW_INPUT_FOCUS) Post(Message{MsgKind::Activate, 1, 0, 0});
            break;
          case SDL_WINDOWEVENT_DISPLAY_CHANGED:
            PostDisplayChange();
            break;
          default:
            break;
        }
        break;
      default:
        break;
    }
  }

  void PostDisplayChange() {
    DisplayMode m;
    if (DesktopMode(m)) {
      Post(Message{MsgKind::DisplayChange, m.bpp,
                   Pack(static_cast<int>(m.width), static_cast<int>(m.height)), 0});
    }
  }

  SDL_Window* m_Window = nullptr;
  SDL_GLContext m_Context = nullptr;
  bool m_VideoUp = false;
  bool m_Open = false;
  bool m_Windowed = true;
  int m_PictureW = 1024, m_PictureH = 768;
  int m_RealW = 0, m_RealH = 0;
  SDL_Cursor* m_WaitCursor = nullptr;
  bool m_Busy = false;
  bool m_ShownBeforeBusy = false;  // the window's size as the X server has it; 0 when not known
  bool m_HaveMotion = false;
  int m_MouseX = 0, m_MouseY = 0;
  std::string m_LastError;
  std::string m_DisplayError;
};

}  // namespace

void AddRawEventHook(RawEventHook hook, void* user) { Hooks().push_back(Hook{hook, user}); }

void RemoveRawEventHook(RawEventHook hook, void* user) {
  auto& h = Hooks();
  h.erase(std::remove_if(h.begin(), h.end(),
                         [&](const Hook& x) { return x.fn == hook && x.user == user; }),
          h.end());
}

std::unique_ptr<Window> CreateSdlWindow() { return std::make_unique<SdlWindow>(); }

}  // namespace plat
