#include "tests/support/game_queries.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "tests/support/process.h"

namespace vektest {

namespace fs = std::filesystem;

GameQueries::~GameQueries() { Close(); }

void GameQueries::Close() {
  if (m_Socket >= 0) close(m_Socket);
  m_Socket = -1;
}

bool GameQueries::Connect(const std::string& socketPath, double seconds) {
  Close();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof address.sun_path) return false;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  return WaitFor(seconds, [&] {
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      close(s);
      return false;
    }
    m_Socket = s;
    return true;
  });
}

std::string GameQueries::Ask(const std::string& line) {
  if (m_Socket < 0) return "error: not connected";
  const std::string out = line + "\n";
  if (write(m_Socket, out.data(), out.size()) != static_cast<ssize_t>(out.size())) return "error: write";
  std::string reply;
  char c = 0;
  for (;;) {
    const ssize_t n = read(m_Socket, &c, 1);
    if (n != 1) return reply.empty() ? "error: connection closed" : reply;
    if (c == '\n') return reply;
    reply += c;
  }
}

bool GameQueries::Shown(const std::string& window) {
  std::istringstream in(Ask("shown"));
  std::string ok;
  if (!(in >> ok) || ok != "ok") return false;
  for (std::string w; in >> w;)
    if (w == window) return true;
  return false;
}

bool GameQueries::WaitShown(const std::string& window, double seconds) {
  return WaitFor(seconds, [&] { return Shown(window); });
}

bool GameQueries::WaitGone(const std::string& window, double seconds) {
  return WaitFor(seconds, [&] { return Ask("shown").rfind("ok", 0) == 0 && !Shown(window); });
}

bool GameQueries::WaitFocus(const std::string& widget, double seconds) {
  return WaitFor(seconds, [&] { return Ask("focus") == "ok " + widget; });
}

bool GameQueries::Centre(const std::string& window, const std::string& control, int& x, int& y) {
  std::istringstream in(Ask("rect " + window + " " + control));
  std::string ok;
  int left = 0, top = 0, w = 0, h = 0;
  if (!(in >> ok >> left >> top >> w >> h) || ok != "ok") return false;
  x = left + w / 2;
  y = top + h / 2;
  return true;
}

bool GameQueries::Click(const std::string& window, const std::string& control) {
  int x = 0, y = 0;
  return Centre(window, control, x, y) && Ask("click " + std::to_string(x) + " " + std::to_string(y)) == "ok";
}

void GameQueries::Frames(int count) {
  // Each answer comes from one poll of the game's events, and the next question reaches the
  // following one.
  for (int i = 0; i < count; ++i) Ask("focus");
}

bool GameQueries::SkipSplash(double seconds) {
  return WaitFor(seconds, [&] {
    const std::string focus = Ask("focus");
    if (focus == "ok splash") Ask("key Escape");
    // Before the first slide nothing has the focus yet.
    return focus.rfind("ok ", 0) == 0 && focus != "ok splash";
  });
}

bool GameQueries::WaitSettled(double seconds) {
  return WaitFor(seconds, [&] { return Ask("fading") == "ok"; });
}

bool GameQueries::Shot(const std::string& desktop, const std::string& name) {
  std::error_code ignored;
  fs::remove_all(desktop, ignored);
  // Two polls first: the input sent before is handled, and what it shows has begun to fade
  // in. The frame the screenshot takes is drawn after the last fade ended.
  Frames(2);
  if (!WaitSettled()) return false;
  if (Ask("shot") != "ok") return false;
  const fs::path dir = fs::path(GameBinary()).parent_path().parent_path() / "screenshots";
  fs::create_directories(dir, ignored);
  std::error_code copied;
  fs::copy_file(fs::path(desktop) / "vek00.png", dir / (name + ".png"), fs::copy_options::overwrite_existing, copied);
  return !copied;
}

}  // namespace vektest
