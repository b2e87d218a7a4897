#pragma once
// The test side of the running game's test queries (ORCHARDIA_TEST_QUERY): a connection to
// its socket, the questions end-to-end tests ask, and input aimed at named controls.
#include <string>

namespace vektest {

class GameQueries {
 public:
  GameQueries() = default;
  ~GameQueries();
  GameQueries(const GameQueries&) = delete;
  GameQueries& operator=(const GameQueries&) = delete;

  // Connects to the socket, retrying while it does not listen yet; false when the time runs out.
  bool Connect(const std::string& socketPath, double seconds = 30.0);
  void Close();

  // One question, one line of answer ("error: ..." when the connection is gone).
  std::string Ask(const std::string& line);
  bool Shown(const std::string& window);
  bool WaitShown(const std::string& window, double seconds = 60.0);
  bool WaitGone(const std::string& window, double seconds = 60.0);
  bool WaitFocus(const std::string& widget, double seconds = 60.0);
  // The centre of the named control, asked of the game; false when it is not on screen.
  bool Centre(const std::string& window, const std::string& control, int& x, int& y);
  // A click in the middle of the named control; false when it is not on screen.
  bool Click(const std::string& window, const std::string& control);
  // Waits until the game has polled its events `count` more times: input sent before is
  // handled and the frames after it drawn.
  void Frames(int count);
  // Ends the opening slides as an impatient player does, with Escape, until the game has
  // gone on to its loading (or beyond); false when it never did.
  bool SkipSplash(double seconds = 120.0);
  // Waits until no shown window fades in or out any more.
  bool WaitSettled(double seconds = 60.0);
  // Once the windows stand still, the frame on screen, copied to <build>/screenshots/<name>.png; `desktop` is the folder
  // the game writes its screenshots to. False when none was taken.
  bool Shot(const std::string& desktop, const std::string& name);

 private:
  int m_Socket = -1;
};

}  // namespace vektest
