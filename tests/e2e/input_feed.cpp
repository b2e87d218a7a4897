// Player input for the real program in end-to-end tests. Preloaded into the game, it reads a
// command file that the test appends to and turns each line into SDL events, pushed into the
// event queue the game drains every frame. The game is not changed for it: the events take
// the same road as a real mouse and keyboard.
//
// The file is named by VEK_INPUT_FEED. One command a line, at most one command a frame:
//   move X Y        the pointer to window pixel (X, Y), top-left origin
//   click X Y       move there, press the left button, release it a few frames later
//   down X Y        move there and press the left button (a drag starts)
//   up X Y          move there and release it
//   text WORD       typed characters
//   key NAME        press and release: backspace, return, escape, printscreen
//   wait N          N frames without input
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using PollFn = int (*)(SDL_Event*);
using SwapFn = void (*)(SDL_Window*);

struct Feed {
  std::string path;
  std::streamoff read = 0;            // bytes of the file taken so far
  std::deque<std::string> pending;    // whole lines not yet played
  unsigned frame = 0, lastPlayed = 0;
  int idle = 0;                       // frames still to wait
  int releaseIn = 0, pointerX = 0, pointerY = 0;
};

// The game's window: the one its drawing context belongs to (a new one after a display change).
Uint32 WindowId() {
  SDL_Window* w = SDL_GL_GetCurrentWindow();
  return w ? SDL_GetWindowID(w) : 0;
}

Feed& State() {
  static Feed feed;
  if (feed.path.empty()) {
    const char* p = std::getenv("VEK_INPUT_FEED");
    feed.path = p ? p : "";
  }
  return feed;
}

void TakeNewLines(Feed& f) {
  std::ifstream in(f.path, std::ios::binary);
  if (!in) return;
  in.seekg(f.read);
  std::string chunk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t end = chunk.rfind('\n');
  if (end == std::string::npos) return;  // a line still being written waits
  f.read += static_cast<std::streamoff>(end + 1);
  std::istringstream lines(chunk.substr(0, end + 1));
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) f.pending.push_back(line);
}

void PushMotion(Feed& f, int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = WindowId();
  e.motion.x = x;
  e.motion.y = y;
  e.motion.xrel = x - f.pointerX;
  e.motion.yrel = y - f.pointerY;
  if (e.motion.xrel == 0 && e.motion.yrel == 0) e.motion.xrel = 1;
  f.pointerX = x;
  f.pointerY = y;
  SDL_PushEvent(&e);
}

void PushButton(const Feed& f, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.windowID = WindowId();
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = f.pointerX;
  e.button.y = f.pointerY;
  SDL_PushEvent(&e);
}

void PushKey(const std::string& name) {
  SDL_Keycode sym = SDLK_UNKNOWN;
  SDL_Scancode code = SDL_SCANCODE_UNKNOWN;
  if (name == "backspace") sym = SDLK_BACKSPACE, code = SDL_SCANCODE_BACKSPACE;
  if (name == "return") sym = SDLK_RETURN, code = SDL_SCANCODE_RETURN;
  if (name == "escape") sym = SDLK_ESCAPE, code = SDL_SCANCODE_ESCAPE;
  if (name == "printscreen") sym = SDLK_PRINTSCREEN, code = SDL_SCANCODE_PRINTSCREEN;
  if (sym == SDLK_UNKNOWN) {
    std::fprintf(stderr, "input feed: unknown key '%s'\n", name.c_str());
    return;
  }
  for (bool down : {true, false}) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = WindowId();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = code;
    SDL_PushEvent(&e);
  }
}

void PushText(const std::string& word) {
  for (char c : word) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = WindowId();
    e.text.text[0] = c;
    SDL_PushEvent(&e);
  }
}

// Plays what is due this frame.
void Play(Feed& f) {
  if (f.path.empty() || f.lastPlayed == f.frame) return;
  f.lastPlayed = f.frame;
  if (f.releaseIn > 0 && --f.releaseIn == 0) {
    PushButton(f, false);
    return;
  }
  if (f.releaseIn > 0) return;
  if (f.idle > 0) {
    --f.idle;
    return;
  }
  if (f.pending.empty()) TakeNewLines(f);
  if (f.pending.empty()) return;
  std::istringstream line(f.pending.front());
  f.pending.pop_front();
  std::string what;
  line >> what;
  if (what == "move" || what == "click" || what == "down" || what == "up") {
    int x = 0, y = 0;
    line >> x >> y;
    PushMotion(f, x, y);
    if (what == "click" || what == "down") PushButton(f, true);
    if (what == "up") PushButton(f, false);
    if (what == "click") f.releaseIn = 3;
  } else if (what == "text") {
    std::string word;
    line >> word;
    PushText(word);
  } else if (what == "key") {
    std::string name;
    line >> name;
    PushKey(name);
  } else if (what == "wait") {
    line >> f.idle;
  } else {
    std::fprintf(stderr, "input feed: unknown command '%s'\n", what.c_str());
  }
}

}  // namespace

extern "C" int SDL_PollEvent(SDL_Event* event) {
  static const auto real = reinterpret_cast<PollFn>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
  Play(State());
  return real(event);
}

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
  static const auto real = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
  ++State().frame;
  real(window);
}
