#include "platform/sdl_x11.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace plat {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// The X library that SDL's X11 driver has loaded; looked up at run time, so the program does
// not need it where it runs on another video driver.
using GetAttributesFn = Status (*)(Display*, ::Window, XWindowAttributes*);

GetAttributesFn GetAttributes() {
  static GetAttributesFn fn = [] {
    void* lib = SDL_LoadObject("libX11.so.6");
    return lib ? reinterpret_cast<GetAttributesFn>(SDL_LoadFunction(lib, "XGetWindowAttributes")) : nullptr;
  }();
  return fn;
}

bool X11Handles(SDL_Window* window, Display*& display, ::Window& xwindow) {
  if (!window) return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  display = info.info.x11.display;
  xwindow = info.info.x11.window;
  return display != nullptr;
}

}  // namespace

bool X11WindowSize(SDL_Window* window, int& width, int& height) {
  Display* display = nullptr;
  ::Window xwindow = 0;
  if (!X11Handles(window, display, xwindow)) return false;
  GetAttributesFn get = GetAttributes();
  XWindowAttributes a{};
  if (!get || !get(display, xwindow, &a) || a.width <= 0 || a.height <= 0) return false;
  width = a.width;
  height = a.height;
  return true;
}

bool X11ConfigureSize(const SDL_Event& event, SDL_Window* window, int& width, int& height) {
  if (event.type != SDL_SYSWMEVENT || !event.syswm.msg || event.syswm.msg->subsystem != SDL_SYSWM_X11) return false;
  const XEvent& x = event.syswm.msg->msg.x11.event;
  if (x.type != ConfigureNotify) return false;
  Display* display = nullptr;
  ::Window xwindow = 0;
  if (!X11Handles(window, display, xwindow) || x.xconfigure.window != xwindow) return false;
  if (x.xconfigure.width <= 0 || x.xconfigure.height <= 0) return false;
  width = x.xconfigure.width;
  height = x.xconfigure.height;
  return true;
}

#else

bool X11WindowSize(SDL_Window*, int&, int&) { return false; }
bool X11ConfigureSize(const SDL_Event&, SDL_Window*, int&, int&) { return false; }

#endif

}  // namespace plat
