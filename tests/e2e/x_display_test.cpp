// The game on a real X server (Xvfb with a 1280 x 800 screen), as a player meets it: first
// with no window manager, which leaves a full-screen request ungranted (the window keeps its
// 1024 x 768), then with openbox, which grants it. Whatever the window got, the picture fills it
// with its aspect kept (black bars beside it), and the real pointer clicked on a button's centre
// presses that button. On the way "In a window" is switched off and on with the pointer.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/image_compare.h"
#include "tests/support/playthrough.h"

#if defined(VEK_HAVE_XTEST)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#endif

namespace {

#if defined(VEK_HAVE_XTEST)

constexpr int kScreenW = 1280, kScreenH = 800;

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
};

// Where a 1024 x 768 picture stands in a window of w x h: as large as fits, centred.
Box PictureIn(int w, int h) {
  const double s = std::min(w / 1024.0, h / 768.0);
  const int pw = static_cast<int>(1024 * s + 0.5), ph = static_cast<int>(768 * s + 0.5);
  return Box{(w - pw) / 2, (h - ph) / 2, pw, ph};
}

class XDisplay : public playthrough::GameRun {
 protected:
  void TearDown() override {
    GameRun::TearDown();
    if (m_X) XCloseDisplay(m_X);
    m_X = nullptr;
  }

  // An X error (a request on a window that went away) is the test's to judge, not a reason to
  // end the test program.
  static int IgnoreError(Display*, XErrorEvent*) { return 0; }

  // An X server of our own on a display number no one uses.
  void StartServer() {
    XSetErrorHandler(&IgnoreError);
    ASSERT_TRUE(std::filesystem::exists("/usr/bin/Xvfb")) << "Xvfb is missing: bash .ci/install test";
    for (int attempt = 0; attempt < 20 && !m_X; ++attempt) {
      const int n = 100 + (static_cast<int>(::getpid()) * 7 + attempt * 131) % 800;
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
      if (std::filesystem::exists(socket) || std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
      m_Display = ":" + std::to_string(n);
      m_Server.SetStderrFile(tmp / "xvfb.txt");
      ASSERT_TRUE(m_Server.Start("/usr/bin/Xvfb", {},
                                 {m_Display, "-screen", "0", std::to_string(kScreenW) + "x" + std::to_string(kScreenH) + "x24",
                                  "-nolisten", "tcp", "-noreset"}));
      vektest::WaitFor(20.0, [&] { return std::filesystem::exists(socket) || !m_Server.Running(); });
      if (m_Server.Running()) m_X = XOpenDisplay(m_Display.c_str());
      if (!m_X) m_Server.Signal(SIGKILL), m_Server.Wait(5.0);
    }
    ASSERT_NE(m_X, nullptr) << vektest::ReadFileText(tmp / "xvfb.txt");
  }

  void StartWindowManager() {
    ASSERT_TRUE(std::filesystem::exists("/usr/bin/openbox")) << "openbox is missing: bash .ci/install test";
    m_Wm.SetStderrFile(tmp / "openbox.txt");
    ASSERT_TRUE(m_Wm.Start("/usr/bin/openbox", {"DISPLAY=" + m_Display, "HOME=" + tmp.path() + "/home"}, {"--sm-disable"}));
    const Atom wmSelection = XInternAtom(m_X, "WM_S0", False);
    ASSERT_TRUE(vektest::WaitFor(30.0, [&] { return XGetSelectionOwner(m_X, wmSelection) != None; }))
        << vektest::ReadFileText(tmp / "openbox.txt");
  }

  // The game on that display, with one player made already; back once the main menu shows.
  void StartGameOnDisplay() {
    ASSERT_NO_FATAL_FAILURE(MakeProfile(0, 0));
    game.SetStderrFile(tmp / "game.txt");
    ASSERT_TRUE(game.Start(vektest::GameBinary(),
                           {"SDL_VIDEODRIVER", "WAYLAND_DISPLAY", "DISPLAY=" + m_Display, "SDL_AUDIODRIVER=dummy",
                            "XDG_DATA_HOME=" + tmp.path() + "/data", "XDG_RUNTIME_DIR=" + tmp.path(),
                            "HOME=" + tmp.path() + "/home", "XDG_CONFIG_HOME=" + tmp.path() + "/config",
                            "ORCHARDIA_TEST_QUERY=" + Socket()}));
    ASSERT_TRUE(q.Connect(Socket(), 120.0)) << vektest::ReadFileText(tmp / "game.txt");
    ASSERT_TRUE(q.SkipSplash()) << q.Ask("focus");
    ASSERT_TRUE(vektest::WaitFor(240.0, [&] { return Log().find("Run game...") != std::string::npos; })) << Log();
    ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
      if (Shown("profile_select") && q.Click("profile_select", "btOk")) q.Frames(10);
      return !Shown("profile_select") && Shown("main");
    })) << Ask("shown");
    ASSERT_TRUE(q.WaitSettled());
    m_Window = FindGameWindow(DefaultRootWindow(m_X));
    ASSERT_NE(m_Window, 0u) << "no window named Orchardia on " << m_Display;
  }

  ::Window FindGameWindow(::Window w) {
    char* name = nullptr;
    if (XFetchName(m_X, w, &name) && name) {
      const bool found = std::string(name) == "Orchardia";
      XFree(name);
      if (found) return w;
    }
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_X, w, &root, &parent, &children, &count)) return 0;
    ::Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) found = FindGameWindow(children[i]);
    if (children) XFree(children);
    return found;
  }

  // The game window's size and its place on the screen, as the X server has them.
  Box WindowBox() {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(m_X, m_Window, &a)) return Box{};
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(m_X, m_Window, DefaultRootWindow(m_X), 0, 0, &x, &y, &child);
    return Box{x, y, a.width, a.height};
  }

  // What the screen shows, as RGB rows from the top; saved as build/screenshots/xdisplay_<name>.png.
  std::vector<unsigned char> Capture(const std::string& name) {
    std::vector<unsigned char> rgb;
    XImage* image = XGetImage(m_X, DefaultRootWindow(m_X), 0, 0, kScreenW, kScreenH, AllPlanes, ZPixmap);
    if (!image) return rgb;
    rgb.resize(static_cast<size_t>(kScreenW) * kScreenH * 3);
    for (int y = 0; y < kScreenH; ++y)
      for (int x = 0; x < kScreenW; ++x) {
        const unsigned long p = XGetPixel(image, x, y);
        unsigned char* out = &rgb[(static_cast<size_t>(y) * kScreenW + x) * 3];
        out[0] = static_cast<unsigned char>((p & image->red_mask) >> 16);
        out[1] = static_cast<unsigned char>((p & image->green_mask) >> 8);
        out[2] = static_cast<unsigned char>(p & image->blue_mask);
      }
    XDestroyImage(image);
    std::vector<unsigned char> upsideDown(rgb.size());
    const size_t row = static_cast<size_t>(kScreenW) * 3;
    for (int y = 0; y < kScreenH; ++y)
      std::copy_n(&rgb[static_cast<size_t>(y) * row], row, &upsideDown[static_cast<size_t>(kScreenH - 1 - y) * row]);
    vektest::SaveScreenshot(upsideDown.data(), kScreenW, kScreenH, "xdisplay_" + name);
    return rgb;
  }

  // The mean brightness of a rectangle of the screen (0 black .. 255 white), the part of it on
  // the screen; -1 when none is.
  static double Brightness(const std::vector<unsigned char>& rgb, Box r) {
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = std::min(r.x + r.w, kScreenW), y1 = std::min(r.y + r.h, kScreenH);
    double sum = 0;
    long n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x, ++n) {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * kScreenW + x) * 3];
        sum += (p[0] + p[1] + p[2]) / 3.0;
      }
    return n ? sum / n : -1.0;
  }

  // The window shows the picture in `pic` (window pixels): a strip along each of its edges holds
  // the picture, and the bars beside it are black.
  void ExpectPictureFills(const Box& win, const Box& pic, const std::string& name) {
    const std::vector<unsigned char> rgb = Capture(name);
    ASSERT_EQ(rgb.size(), static_cast<size_t>(kScreenW) * kScreenH * 3);
    const int m = 3, s = 12;  // a margin for rounding, and the strip's width
    const int x = win.x + pic.x, y = win.y + pic.y;
    const Box strips[] = {{x + m, y + m, pic.w - 2 * m, s},
                          {x + m, y + pic.h - m - s, pic.w - 2 * m, s},
                          {x + m, y + m, s, pic.h - 2 * m},
                          {x + pic.w - m - s, y + m, s, pic.h - 2 * m}};
    for (const Box& b : strips) {
      const double light = Brightness(rgb, b);
      if (light >= 0) {
        EXPECT_GT(light, 12.0) << name << ": the picture's edge at " << b.x << "," << b.y;
      }
    }
    if (pic.x > m) {
      EXPECT_LT(Brightness(rgb, Box{win.x, win.y, pic.x - m, win.h}), 1.0) << name << ": the left bar";
      EXPECT_LT(Brightness(rgb, Box{x + pic.w + m, win.y, win.w - pic.x - pic.w - m, win.h}), 1.0)
          << name << ": the right bar";
    }
  }

  // The real pointer moved onto the control's centre (mapped into the picture as the window
  // shows it) and clicked there.
  void PointAndClick(const Box& win, const Box& pic, int px, int py) {
    const int x = win.x + pic.x + static_cast<int>((px + 0.5) * pic.w / 1024.0);
    const int y = win.y + pic.y + static_cast<int>((py + 0.5) * pic.h / 768.0);
    XTestFakeMotionEvent(m_X, -1, x, y, CurrentTime);
    XFlush(m_X);
    q.Frames(3);
    XTestFakeButtonEvent(m_X, 1, True, CurrentTime);
    XFlush(m_X);
    q.Frames(2);
    XTestFakeButtonEvent(m_X, 1, False, CurrentTime);
    XFlush(m_X);
    q.Frames(3);
  }

  void ClickControl(const Box& win, const Box& pic, const std::string& window, const std::string& control) {
    int px = 0, py = 0;
    ASSERT_TRUE(q.Centre(window, control, px, py)) << window << "." << control << " " << Ask("shown");
    PointAndClick(win, pic, px, py);
  }

  // The check box of "In a window": the square at the check's left.
  void ClickWindowedBox(const Box& win, const Box& pic) {
    std::istringstream in(Ask("rect options cbWindowed"));
    std::string ok;
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(in >> ok >> x >> y >> w >> h && ok == "ok") << Ask("shown");
    PointAndClick(win, pic, x + h / 2, y + h / 2);
  }

  // Asks the window manager to bring the window forward, as a task bar or Alt+Tab does.
  void Activate() {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = m_Window;
    e.xclient.message_type = XInternAtom(m_X, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2;  // from a pager: a player's choice
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_X, DefaultRootWindow(m_X), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(m_X);
  }

  bool Viewable() {
    XWindowAttributes a{};
    return XGetWindowAttributes(m_X, m_Window, &a) && a.map_state == IsViewable;
  }

  // Whether a window manager has put the window into a frame of its own.
  bool Framed() {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_X, m_Window, &root, &parent, &children, &count)) return false;
    if (children) XFree(children);
    return parent != root;
  }

  // Whether the window manager keeps the window iconified (its WM_STATE is Iconic). While it
  // takes the window into a frame the window is unmapped for a moment too, so being unmapped
  // alone does not tell that the game stepped aside.
  bool Iconic() {
    const Atom wmState = XInternAtom(m_X, "WM_STATE", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_X, m_Window, wmState, 0, 2, False, wmState, &type, &format, &items, &after, &data) !=
        Success)
      return false;
    const bool iconic = data && format == 32 && items >= 1 && reinterpret_cast<long*>(data)[0] == IconicState;
    if (data) XFree(data);
    return iconic;
  }

  // How often the log has the text.
  int Count(const std::string& text) {
    const std::string log = Log();
    int n = 0;
    for (size_t at = 0; (at = log.find(text, at)) != std::string::npos; ++at) ++n;
    return n;
  }
  int WindowsMade() { return Count("Resizing GUI... Ok"); }

  Display* m_X = nullptr;
  std::string m_Display;
  ::Window m_Window = 0;
  vektest::ChildProcess m_Server;
  vektest::ChildProcess m_Wm;
};

TEST_F(XDisplay, ThePictureFillsTheWindowItGotWithOrWithoutAWindowManager) {
  ASSERT_NO_FATAL_FAILURE(StartServer());
  ASSERT_NO_FATAL_FAILURE(StartGameOnDisplay());

  // No window manager: the full-screen request is not granted and the window keeps its size.
  Box win = WindowBox();
  EXPECT_EQ(win.w * 10000 + win.h, 1024 * 10000 + 768) << "no window manager grants full screen here";
  Box pic = PictureIn(win.w, win.h);
  ASSERT_NO_FATAL_FAILURE(ExpectPictureFills(win, pic, "no_wm_main"));
  ASSERT_NO_FATAL_FAILURE(ClickControl(win, pic, "main", "btOptions"));
  ASSERT_TRUE(q.WaitShown("options")) << Ask("shown");
  ASSERT_TRUE(q.WaitSettled());

  // A window manager arrives and takes the window into a frame. The window lost the focus on
  // the way, and a full-screen game steps aside then: it is brought back as the player's task
  // switcher does. Its size is what the window manager left it.
  const int focused = Count("Window get focus");
  ASSERT_NO_FATAL_FAILURE(StartWindowManager());
  ASSERT_TRUE(vektest::WaitFor(30.0, [&] { return Framed() && Iconic() && !Viewable(); })) << "the game never stepped aside";
  Activate();
  ASSERT_TRUE(vektest::WaitFor(30.0, [&] { return Viewable() && Count("Window get focus") > focused; })) << Log();
  q.Frames(5);
  ASSERT_TRUE(q.WaitSettled());
  win = WindowBox();
  pic = PictureIn(win.w, win.h);
  ASSERT_NO_FATAL_FAILURE(ExpectPictureFills(win, pic, "openbox_taken"));

  // "In a window" on and off with the pointer: a window of the picture's size, then full
  // screen, which the window manager grants: the whole screen, the picture letterboxed in it.
  const int made = WindowsMade();
  ASSERT_NO_FATAL_FAILURE(ClickWindowedBox(win, pic));
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return WindowsMade() == made + 1; })) << Log();
  ASSERT_TRUE(vektest::WaitFor(30.0, [&] {
    win = WindowBox();
    return win.w == 1024 && win.h == 768;
  })) << win.w << "x" << win.h;
  q.Frames(5);
  ASSERT_TRUE(q.WaitSettled());
  pic = PictureIn(win.w, win.h);
  ASSERT_NO_FATAL_FAILURE(ExpectPictureFills(win, pic, "openbox_windowed"));

  ASSERT_NO_FATAL_FAILURE(ClickWindowedBox(win, pic));
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return WindowsMade() == made + 2; })) << Log();
  ASSERT_TRUE(vektest::WaitFor(30.0, [&] {
    win = WindowBox();
    return win.w == kScreenW && win.h == kScreenH;
  })) << "full screen under openbox: " << win.w << "x" << win.h;
  q.Frames(5);
  ASSERT_TRUE(q.WaitSettled());
  pic = PictureIn(win.w, win.h);
  ASSERT_GT(pic.x, 50);  // a 4:3 picture on a 16:10 screen: bars left and right
  ASSERT_NO_FATAL_FAILURE(ExpectPictureFills(win, pic, "openbox_full_screen"));
  ASSERT_NO_FATAL_FAILURE(ClickControl(win, pic, "options", "btBack"));
  ASSERT_TRUE(q.WaitGone("options")) << Ask("shown");
  ASSERT_TRUE(q.WaitShown("main")) << Ask("shown");

  EndGame();
}

#else

TEST(XDisplay, ThePictureFillsTheWindowItGotWithOrWithoutAWindowManager) {
  FAIL() << "built without Xlib's XTest extension: install the test tools (bash .ci/install test) and configure again";
}

#endif

}  // namespace
