#pragma once
// What the X server says about the game window, where SDL's own idea may differ: a full-screen
// request that no window manager grants leaves the window at its first size while SDL takes it
// for the desktop's. Kept apart from the window code so that Xlib's names stay in one file.
struct SDL_Window;
union SDL_Event;

namespace plat {

// The window's size in pixels as the X server has it; false when the window is not on X11
// (or the X library cannot be reached).
bool X11WindowSize(SDL_Window* window, int& width, int& height);

// For a window-system event of the X11 driver (SDL_SYSWMEVENT, enabled by the caller): true
// when it is the window's configure notification, with the size it reports.
bool X11ConfigureSize(const SDL_Event& event, SDL_Window* window, int& width, int& height);

}  // namespace plat
