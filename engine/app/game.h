#pragma once
// The engine application object: window, message loop, frame step and timing, display
// modes and gamma. One object exists, reached through g_pGame.
#include <functional>
#include <list>
#include <vector>

#include "engine/core/types.h"
#include "engine/gui/gui_host.h"
#include "engine/input/input_event.h"

namespace plat {
struct Message;
}

namespace vek {

class cWidget;
class cGUI;
class cQuadBatch;

// A display mode of the mode list.
struct DisplayModeRecord {
  u32 width = 0, height = 0, bpp = 0, refresh = 0;
  bool operator==(const DisplayModeRecord&) const = default;
};

// The GUI and render layers reach it as their host (widget list, GUI, active and windowed
// flags, quad batch) while it is the engine object.
class cGame final : public iGuiHost {
 public:
  struct cSettings {
    vek::string title;
    vek::string appName;
    u32 colorDepth = 32;
    u32 depthBufferFlags = 1;
    u32 multisample = 0;
    u32 renderReserved = 0;
    f32 width = 1024.0f;
    f32 height = 768.0f;
  };

  // A handler of a registered message id (0xC000..0xFFFF).
  struct cMessageHandler {
    u32 id = 0;
    std::function<u32(u32, u32)> handler;
  };

  // Construction: services come up in their fixed order; sets g_pGame.
  void Init(const cSettings& settings);
  // Destroys the services in the reverse order and closes the log.
  void Shutdown();

  // Main loop: returns the exit code of the quit message.
  int Run();
  void Frame();
  void UpdateFrameTime();
  void TimerProc();
  // Handles one window message (quit is handled by Run).
  u32 WindowProc(const plat::Message& msg);

  void OnChar(u32 character);
  void OnResize(int width, int height);

  void SetFocusWidget(const vek::string& name);
  const vek::string& GetFocusWidgetName() const;
  void PauseWidget(bool pause);
  cWidget* GetFocusWidget() const { return m_pFocus; }
  // A widget being deleted: it loses the focus when it has it.
  void ForgetWidget(cWidget* widget) override;
  int GetPauseCount() const { return m_Pause; }

  // Window and display.
  bool CreateWindow(bool windowed, u32 width, u32 height);
  // Closes the window after the textures' pixels went back to memory for the next window; at
  // the program's end (`final`) they are dropped instead, since no window follows.
  void DestroyWindow(bool final = false);
  void ResizeWindow(u32 width, u32 height);
  void GetClientSize(int* width, int* height) const;
  void RestoreDisplaySettings();
  bool EnumGraphicsModes();
  void DumpResolutions() const;
  f32 GetGamma();
  void SetGamma(f32 gamma);
  void SetWindowTitle(const vek::string& title);
  void Exit(int code);
  bool IsWindowed() const override { return m_bWindowed; }
  void EnableConsole(bool enable) { m_bConsoleEnabled = enable; }
  bool IsConsoleEnabled() const { return m_bConsoleEnabled; }
  void SetLocale(const vek::string& name);
  const vek::string& GetLocale() const { return m_Locale; }

  void SetBackground(bool background) { m_bBackground = background; }
  bool IsActive() const override { return m_bActive; }
  bool IsBackground() const { return m_bBackground; }

  // Frame statistics.
  f32 GetFrameTime() const { return m_FrameTime; }
  void SetFrameTime(f32 dt) { m_FrameTime = dt; }
  // Step clock: every frame of the main loop counts exactly one fixed step and is not paced,
  // so the game runs as fast as it draws, frame for frame as it would at 30 frames a second.
  // For tests that play long stretches of the real program; off by default.
  // On the step clock only one frame in kStepDrawEvery is drawn: the steps between them are
  // played the same, only their pictures are skipped (a software renderer spends nearly all of
  // such a run drawing). DrawNow draws the present state at once, for a picture taken then.
  //
  // A test that drives the step clock grants steps as it asks its questions, so the game keeps
  // step with the test however loaded the machine is: a question lets the game on by a few
  // steps, and while the test is busy with its own work the game waits for it. When no test
  // has asked anything for a while, the game plays on at its own pace.
  void SetStepClock(bool on) { m_bStepClock = on; }
  bool IsStepClock() const { return m_bStepClock; }
  void DrawNow();
  // Any thread may grant steps, before, while and after a game exists.
  static void GrantSteps(u32 steps);
  f32 GetAverageFrameTime() const { return m_AverageFrameTime; }
  f32 GetTotalTime() const { return m_TotalTime; }
  u32 GetFPS() const { return m_FPS; }
  const std::vector<f32>& GetFrameSamples() const { return m_Samples; }
  // Restarts the frame clock: counter = now, frame time = 0.
  void ResetFrameClock();

  const cSettings& GetSettings() const { return m_Settings; }
  const vek::string& GetUserName() const { return m_UserName; }
  std::list<cWidget*>& GetWidgets() override { return m_Widgets; }
  std::vector<cMessageHandler>& GetMessageHandlers() { return m_Handlers; }
  cGUI* GetGUI() const override { return m_pGUI; }
  cQuadBatch* GetQuadBatch() const override { return m_pQuadBatch; }
  // Cursor position in client pixels, as read at the last frame.
  int GetCursorX() const { return m_CursorX; }
  int GetCursorY() const { return m_CursorY; }

  // The display-mode list, the desktop mode and the mode in use.
  const std::vector<DisplayModeRecord>& GetModes() const { return m_Modes; }
  const DisplayModeRecord& GetDesktopMode() const { return m_DesktopMode; }
  const DisplayModeRecord& GetCurrentMode() const { return m_CurrentMode; }

 private:
  // Frame parts that reach the renderer, input, the console and the GUI.
  bool BeginRender();
  // The focus widget (or a cleared screen) and the console, between BeginRender and EndRender.
  void DrawScene(f32 dt);
  void ClearScreen();
  void EndRender();
  void Present();
  bool PollInput(InputEventList* events);
  // live is the frame's decision (a focus widget, no pause) made once at the frame's start.
  void RouteEvent(const InputEvent& ev, bool live);
  void OfferButtonRelease(const InputEvent& ev, bool& taken);

  bool m_bActive = true;
  bool m_bBackground = false;
  std::vector<cMessageHandler> m_Handlers;
  bool m_bWindowed = true;
  cSettings m_Settings;
  cWidget* m_pFocus = nullptr;
  int m_Pause = 0;
  std::list<cWidget*> m_Widgets;
  bool m_bConsoleEnabled = false;
  bool m_bStepClock = false;
  u32 m_StepFrames = 0;
  // Whether the step clock may go on with a frame now (takes one granted step when there is).
  bool TakeStep();
  cGUI* m_pGUI = nullptr;
  cQuadBatch* m_pQuadBatch = nullptr;
  f32 m_FrameTime = 0.0f;
  f32 m_AverageFrameTime = 0.0f;
  std::vector<f32> m_Samples;
  u32 m_SampleIndex = 0;
  f32 m_TotalTime = 0.0f;
  vek::string m_Locale;
  vek::string m_UserName;
  u32 m_FPS = 0;
  u32 m_FramesCounted = 0;

  i64 m_Frequency = 1;
  i64 m_LastCounter = 0;
  int m_CursorX = 0, m_CursorY = 0;
  DisplayModeRecord m_DesktopMode;
  DisplayModeRecord m_CurrentMode;
  std::vector<DisplayModeRecord> m_Modes;
  bool m_bClassRegistered = false;
};

// The engine-wide pointer to the one engine object (set and cleared with the GUI's host).
extern cGame* g_pGame;
// Set when the desktop's work area is smaller than 1024 x 768.
extern bool g_bSmallDesktop;

// The fixed-step accumulator (seconds), kept for the whole program.
f32 GetStepAccumulator();
void SetStepAccumulator(f32 seconds);
// One fixed step: 1/30 s in single precision.
constexpr f32 kFixedStep = 1.0f / 30.0f;
constexpr u32 kStepDrawEvery = 4;
// Steps one test question grants, the most that can be held, and how long the game waits for
// the next question before it plays on at its own pace.
constexpr u32 kStepsPerGrant = 1;
constexpr u32 kMostStepsGranted = 2;
constexpr f32 kStepGrantPatience = 0.25f;

// Whether a "display" request must re-create the window.
bool DisplayNeedsRecreate(bool windowed, u32 width, u32 height, i32 bpp, bool curWindowed,
                          int clientW, int clientH, u32 modeBpp);
// The script function "display": re-creates the window when anything differs; returns true.
bool Display(bool windowed, u32 width, u32 height, i32 bpp);

// Gamma ramp helpers (3 x 256 values: red, green, blue).
void BuildGammaRamp(f32 gamma, u16 ramp[768]);
f32 EstimateGamma(const u16 ramp[768]);

// Sorts display modes by width, height, bits per pixel and refresh rate.
void SortDisplayModes(std::vector<DisplayModeRecord>& modes);

// The information dumps of the scripts' "info" and "dump_vek15".
void DumpSystemInformation(const char* sections);
void DumpEngineInformation(const char* sections);

// The mouse release as a window message code: 7 for button 0, 18 for button 1, 0 otherwise.
u32 ButtonReleaseCode(i32 button);

}  // namespace vek
