#include "game/app/test_query.h"

#include <SDL.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/list_ctrl.h"
#include "engine/gui/window.h"
#include "engine/render/screenshot.h"
#include "platform/window.h"

namespace {

constexpr const char* kSender = "TestQuery";
constexpr float kScreenHeight = 768.0f;

struct Request {
  std::string line;
  std::string reply;
  bool done = false;
  std::mutex mutex;
  std::condition_variable ready;
};

Uint32 g_EventType = 0;
// The point armed by "stop" (main thread only).
std::string g_StopAt;

std::map<std::string, TestQuestion>& Questions() {
  static std::map<std::string, TestQuestion> questions;
  return questions;
}

// x y w h in window pixels: the GUI counts from the bottom, the window from the top.
std::string RectText(const vek::rectf& r) {
  std::ostringstream out;
  out << static_cast<int>(r.x) << ' ' << static_cast<int>(kScreenHeight - r.y - r.h) << ' ' << static_cast<int>(r.w)
      << ' ' << static_cast<int>(r.h);
  return out.str();
}

std::string RectReply(const vek::rectf& r) { return "ok " + RectText(r); }

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '|') c = ' ';
  return text;
}

// The texts a window shows: its visible labels (and what derives from them), in control order.
std::string Words(vek::cWindow* w) {
  std::string out = "ok";
  bool first = true;
  for (unsigned id = 1; id < w->GetControlCount(); ++id) {
    vek::cCtrl* c = w->GetControl(id);
    auto* label = dynamic_cast<vek::cLabelCtrl*>(c);
    if (!label || !c->GetState(vek::cCtrl::e_Visibility) || label->GetText().empty()) continue;
    out += (first ? " " : "|") + OneLine(label->GetText());
    first = false;
  }
  return out;
}

// On the main thread, while the platform polls its events.
void OnEvent(const void* event, void*) {
  const SDL_Event& e = *static_cast<const SDL_Event*>(event);
  if (g_EventType == 0 || e.type != g_EventType) return;
  auto* held = static_cast<std::shared_ptr<Request>*>(e.user.data1);
  std::shared_ptr<Request> request = *held;
  delete held;
  std::string reply = AnswerTestQuery(request->line);
  std::lock_guard<std::mutex> lock(request->mutex);
  request->reply = std::move(reply);
  request->done = true;
  request->ready.notify_all();
}

Uint32 WindowId() {
  SDL_Window* w = SDL_GL_GetCurrentWindow();
  return w ? SDL_GetWindowID(w) : 0;
}

void PushMouse(Uint32 type, int x, int y, Uint8 button) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.windowID = WindowId();
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = 1;
  } else {
    e.button.windowID = WindowId();
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
  }
  SDL_PushEvent(&e);
}

void PushKey(SDL_Keycode key, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = WindowId();
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = key;
  e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  SDL_PushEvent(&e);
}

// Input commands go straight into the event queue; the rest wait for the main thread.
std::string Handle(const std::string& line) {
  // Each question lets the game on by a few steps of the step clock.
  vek::cGame::GrantSteps(vek::kStepsPerGrant);
  std::istringstream in(line);
  std::string verb;
  in >> verb;
  int x = 0, y = 0;
  if (verb == "move" || verb == "click" || verb == "rclick" || verb == "down" || verb == "up") {
    if (!(in >> x >> y)) return "error: " + verb + " wants x y";
    PushMouse(SDL_MOUSEMOTION, x, y, 0);
    if (verb == "down" || verb == "up") {
      PushMouse(verb == "down" ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, x, y, SDL_BUTTON_LEFT);
    } else if (verb != "move") {
      const Uint8 b = verb == "click" ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
      PushMouse(SDL_MOUSEBUTTONDOWN, x, y, b);
      PushMouse(SDL_MOUSEBUTTONUP, x, y, b);
    }
    return "ok";
  }
  if (verb == "key") {
    std::string name;
    std::getline(in >> std::ws, name);
    const SDL_Keycode key = SDL_GetKeyFromName(name.c_str());
    if (key == SDLK_UNKNOWN) return "error: no key '" + name + "'";
    PushKey(key, true);
    PushKey(key, false);
    return "ok";
  }
  if (verb == "text") {
    std::string text;
    std::getline(in >> std::ws, text);
    for (char c : text) {
      SDL_Event e{};
      e.type = SDL_TEXTINPUT;
      e.text.windowID = WindowId();
      e.text.text[0] = c;
      SDL_PushEvent(&e);
    }
    return "ok";
  }
  auto request = std::make_shared<Request>();
  request->line = line;
  SDL_Event e{};
  e.type = g_EventType;
  e.user.data1 = new std::shared_ptr<Request>(request);
  if (SDL_PushEvent(&e) != 1) {
    delete static_cast<std::shared_ptr<Request>*>(e.user.data1);
    return "error: event queue full";
  }
  std::unique_lock<std::mutex> lock(request->mutex);
  // Loading frames are slow on a software renderer.
  if (!request->ready.wait_for(lock, std::chrono::seconds(120), [&] { return request->done; }))
    return "error: the game did not answer";
  return request->reply;
}

// The whole reply; false when the client has gone. MSG_NOSIGNAL: a client that leaves while
// it is answered must not end the game with SIGPIPE.
bool SendAll(int client, const std::string& reply) {
  for (size_t at = 0; at < reply.size();) {
    const ssize_t n = send(client, reply.data() + at, reply.size() - at, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += static_cast<size_t>(n);
  }
  return true;
}

void Serve(int listener) {
  for (;;) {
    const int client = accept(listener, nullptr, nullptr);
    if (client < 0) continue;
    std::string pending;
    char buf[512];
    for (bool open = true; open;) {
      const ssize_t n = read(client, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      pending.append(buf, static_cast<size_t>(n));
      for (size_t at; open && (at = pending.find('\n')) != std::string::npos;) {
        const std::string line = pending.substr(0, at);
        pending.erase(0, at + 1);
        open = SendAll(client, Handle(line) + "\n");
      }
    }
    close(client);
  }
}

}  // namespace

void AddTestQuestion(const std::string& verb, TestQuestion answer) { Questions()[verb] = answer; }

void TestStopPoint(const char* point) {
  if (g_StopAt.empty() || g_StopAt != point) return;
  vek::LogText(kSender, "Stopped at '%s'\n", point);
  // As a kill ends a program: no clean-up, no saving.
  raise(SIGKILL);
}

std::string AnswerTestQuery(const std::string& line) {
  std::istringstream in(line);
  std::string verb;
  in >> verb;
  if (verb.empty()) return "error: empty question";
  if (auto it = Questions().find(verb); it != Questions().end()) {
    std::string args;
    std::getline(in >> std::ws, args);
    return it->second(args);
  }
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (verb == "focus") return "ok " + (vek::g_pGame ? vek::g_pGame->GetFocusWidgetName() : vek::string());
  if (verb == "shot") {
    // On the step clock the last drawn frame may be a few steps old: draw the present one.
    if (vek::g_pGame && vek::g_pGame->IsStepClock()) vek::g_pGame->DrawNow();
    return vek::shot() ? "ok" : "error: no screenshot";
  }
  if (verb == "clock") {
    std::string mode;
    in >> mode;
    if (!vek::g_pGame || (mode != "steps" && mode != "real")) return "error: clock wants steps or real";
    vek::g_pGame->SetStepClock(mode == "steps");
    return "ok";
  }
  if (verb == "stop") {
    std::string point;
    if (!(in >> point)) return "error: stop wants a point";
    g_StopAt = point;
    return "ok";
  }
  if (!gui) return "error: no GUI";
  if (verb == "shown") {
    std::string out = "ok";
    for (unsigned id : gui->GetShownList())
      if (vek::cWindow* w = gui->GetWindowById(id)) out += " " + w->GetName();
    return out;
  }
  if (verb == "rect") {
    std::string window, control;
    in >> window >> control;
    vek::cWindow* w = gui->GetWindow(window);
    if (!w || !gui->IsWindowShown(window)) return "none";
    if (control.empty()) return "error: rect wants a window and a control";
    vek::cCtrl* c = w->GetControl(w->FindControl(control));
    return c ? RectReply(c->GetRect()) : "none";
  }
  if (verb == "words") {
    std::string window;
    in >> window;
    vek::cWindow* w = gui->GetWindow(window);
    if (!w || !gui->IsWindowShown(window)) return "none";
    return Words(w);
  }
  if (verb == "rows") {
    std::string window, control;
    in >> window >> control;
    vek::cWindow* w = gui->GetWindow(window);
    if (!w || !gui->IsWindowShown(window)) return "none";
    const unsigned id = w->FindControl(control);
    auto* list = id ? dynamic_cast<vek::cListCtrl*>(w->GetControl(id)) : nullptr;
    if (!list) return "none";
    std::string out = "ok " + std::to_string(list->GetSelectedItem(0));
    for (unsigned i = 0; i < list->GetItemCount(); ++i) {
      auto* row = dynamic_cast<vek::cLabelCtrl*>(list->GetItem(i));
      if (!row || !list->IsVisible(i)) continue;
      out += "|" + RectText(row->GetRect()) + " " + OneLine(row->GetText());
    }
    return out;
  }

  if (verb == "label") {
    // The text a label of a shown window shows, its line breaks as spaces.
    std::string window, control;
    in >> window >> control;
    vek::cWindow* w = gui->GetWindow(window);
    if (!w || !gui->IsWindowShown(window)) return "none";
    auto* label = dynamic_cast<vek::cLabelCtrl*>(w->GetControl(w->FindControl(control)));
    return label ? "ok " + OneLine(label->GetText()) : "none";
  }
  return "error: unknown question '" + verb + "'";
}

void InstallTestQuery() {
  const char* path = std::getenv("ORCHARDIA_TEST_QUERY");
  if (!path || !*path) return;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (std::string(path).size() >= sizeof address.sun_path) {
    vek::LogError(kSender, "Socket path '%s' is too long\n", path);
    return;
  }
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path);
  unlink(path);
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 1) != 0) {
    vek::LogError(kSender, "Cannot listen on '%s'\n", path);
    if (listener >= 0) close(listener);
    return;
  }
  g_EventType = SDL_RegisterEvents(1);
  plat::AddRawEventHook(&OnEvent, nullptr);
  std::thread(Serve, listener).detach();
  vek::LogText(kSender, "Test queries on '%s'\n", path);
}
