#include "engine/app/game.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>

#include "engine/app/console.h"
#include "engine/app/script_bindings.h"
#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/input/input.h"
#include "engine/render/buffer_manager.h"
#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/screenshot.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "engine/sound/sound_manager.h"
#include "platform/os.h"
#include "platform/window.h"

namespace vek {

cGame* g_pGame = nullptr;
bool g_bSmallDesktop = false;

namespace {
const char* const kSender = "cGame";
const vek::string kNoName;
// Seconds of logic time not yet stepped; survives window re-creation and focus changes.
f32 s_StepAccumulator = 0.0f;
const u32 kFrameRateTimer = 1;

// Key codes of the screenshot key and the two console keys.
constexpr i32 kKeySysRq = 0xB7;
constexpr i32 kKeyGrave = 0x29;
constexpr i32 kKeyConsole2 = 0x94;

vek::string StaticDataFolder(const vek::string& exeFolder) {
  // The data folder beside the program (build tree), else under the install prefix.
  const vek::string beside = exeFolder + "/data";
  std::error_code ec;
  if (std::filesystem::is_directory(beside, ec)) return beside;
  const std::filesystem::path installed =
      std::filesystem::path(exeFolder).parent_path() / "share" / "orchardia" / "data";
  if (std::filesystem::is_directory(installed, ec)) return installed.string();
  return beside;
}
}  // namespace

f32 GetStepAccumulator() { return s_StepAccumulator; }
void SetStepAccumulator(f32 seconds) { s_StepAccumulator = seconds; }

void cGame::Init(const cSettings& settings) {
  m_bActive = true;
  m_bBackground = false;
  m_bWindowed = true;
  m_pFocus = nullptr;
  m_Pause = 0;
  m_bConsoleEnabled = false;

  // The GUI manager, then the quad batch.
  m_pGUI = new cGUI(settings.width, settings.height);
  if (!m_pQuadBatch) m_pQuadBatch = new cQuadBatch;
  m_FrameTime = 0.0f;
  m_AverageFrameTime = 0.0f;
  m_Samples.assign(100, 0.0f);
  m_SampleIndex = 0;
  m_TotalTime = 0.0f;
  m_FPS = 0;
  m_FramesCounted = 0;
  g_pGame = this;
  SetGuiHost(this);

  plat::Os& os = plat::GetOs();
  // Path tokens.
  SetPathToken(e_ExePath, os.ExecutableFolder());
  SetPathToken(e_StaticPath, StaticDataFolder(GetPathToken(e_ExePath)));
  SetPathToken(e_AppPath, os.DataHomeFolder() + "/Kelvra/" + settings.appName);
  SetPathToken(e_UserPath, os.HomeFolder());

  SetLogConsoleMaker(&MakeConsole);
  CreateLogHolder(settings.width, settings.height);

  m_Frequency = os.Frequency();
  if (m_Frequency <= 0) m_Frequency = 1;

  if (!os.UserName(m_UserName)) m_UserName.clear();
  LogText(kSender, "User name: %s\n", m_UserName);

  LogText(kSender, "System paths:\n");
  LogPlain("  {ExePath} = %s\n", GetPathToken(e_ExePath));
  LogPlain("  {StaticPath} = %s\n", GetPathToken(e_StaticPath));
  LogPlain("  {AppPath} = %s\n", GetPathToken(e_AppPath));
  LogPlain("  {UserPath} = %s\n", GetPathToken(e_UserPath));

  plat::Window& window = plat::GetWindow();
  LogText(kSender, "Enum current display settings: ");
  plat::DisplayMode desk;
  if (window.DesktopMode(desk)) {
    m_DesktopMode = DisplayModeRecord{desk.width, desk.height, desk.bpp, desk.refresh};
    m_CurrentMode = m_DesktopMode;
    LogPlain("(%i, %i, %i, %i)\n", static_cast<int>(desk.width), static_cast<int>(desk.height),
             static_cast<int>(desk.bpp), static_cast<int>(desk.refresh));
    m_bClassRegistered = true;
  } else {
    LogPlain("Failed!\n");
  }

  EnumGraphicsModes();
  LogText(kSender, "Enum all graphics modes... Ok\n");

  m_Settings = settings;

  // The window system stands in for the window class: without a display nothing can be drawn.
  if (!m_bClassRegistered) {
    LogError(kSender, "Registering Class... Failed\n");
    return;
  }
  LogText(kSender, "Registering Class... Ok. Atom: 0x%X\n", 0xC000);
  LogText(kSender, "SetUnhandledExceptionFilter... Ok\n");

  // Services, in their fixed order: script host, renderer, buffer manager, texture manager,
  // input, sound manager, font manager; then the script registration of the engine.
  CreateScript();
  CreateRender();
  CreateBufferManager();
  CreateTextureManager();
  CreateInput();
  CreateSoundManager();
  CreateFontManager();

  RegisterEngine(GetScript());
  if (cScript* script = GetScript()) {
    script->RegisterVar("theEngine", this);
    script->RegisterVar("theGUI", m_pGUI);
  }
}

void cGame::Shutdown() {
  // Widgets the game left registered go first, before any engine service; each one takes
  // itself off the list as it goes.
  while (!m_Widgets.empty()) {
    cWidget* w = m_Widgets.front();
    if (w) {
      delete w;
    } else {
      m_Widgets.pop_front();
    }
  }
  m_pFocus = nullptr;
  // The GUI goes while the script host is still open: its windows' functions (script ones
  // among them) receive e_wndDestroy and are freed before the state closes.
  delete m_pGUI;
  m_pGUI = nullptr;

  // Services in the reverse order: fonts, sound, input, textures, buffers, renderer, scripts.
  DestroyFontManager();
  DestroySoundManager();
  DestroyInput();
  DestroyTextureManager();
  DestroyBufferManager();
  DestroyRender();
  DestroyScript();
  delete m_pQuadBatch;
  m_pQuadBatch = nullptr;

  LogText(kSender, "Restore display settings\n");
  m_CurrentMode = m_DesktopMode;

  DestroyLogHolder();
  if (g_pGame == this) g_pGame = nullptr;
  if (GetGuiHost() == this) SetGuiHost(nullptr);
}

void cGame::ResetFrameClock() {
  m_LastCounter = plat::GetOs().Counter();
  m_FrameTime = 0.0f;
}

int cGame::Run() {
  plat::Window& window = plat::GetWindow();
  window.SetTimer(kFrameRateTimer, 500);
  ResetFrameClock();

  plat::Message msg;
  for (;;) {
    if (window.Peek(msg)) {
      if (msg.kind == plat::MsgKind::Quit) break;
      WindowProc(msg);
      continue;
    }
    if (!m_bActive && !m_bBackground) {
      window.Wait();
      ResetFrameClock();
      PollInput(nullptr);
      continue;
    }
    if (m_bStepClock && !TakeStep()) {
      plat::GetOs().SleepMs(1);
      continue;
    }
    try {
      Frame();
    } catch (const std::exception& e) {
      // A frame that fails (out of memory) is logged; the program goes on or closes normally.
      LogError("cGame", "frame failed: %s\n", e.what());
    }
    if (!m_bStepClock) window.PaceFrame();
    UpdateFrameTime();
  }
  window.KillTimer(kFrameRateTimer);
  return static_cast<int>(msg.w);
}

namespace {
std::atomic<u32> s_StepsGranted{0};
std::atomic<i64> s_LastGrant{0};
}  // namespace

void cGame::GrantSteps(u32 steps) {
  s_LastGrant = plat::GetOs().Counter();
  u32 held = s_StepsGranted.load();
  while (!s_StepsGranted.compare_exchange_weak(held, std::min(held + steps, kMostStepsGranted))) {
  }
}

bool cGame::TakeStep() {
  for (u32 held = s_StepsGranted.load(); held > 0;)
    if (s_StepsGranted.compare_exchange_weak(held, held - 1)) return true;
  const i64 quiet = plat::GetOs().Counter() - s_LastGrant.load();
  if (quiet < static_cast<i64>(kStepGrantPatience * static_cast<f32>(m_Frequency))) return false;
  // Nobody is asking: play on at the display's pace.
  plat::GetWindow().PaceFrame();
  return true;
}

void cGame::TimerProc() {
  m_FPS = m_FramesCounted * 2;
  m_FramesCounted = 0;
}

void cGame::UpdateFrameTime() {
  const i64 now = plat::GetOs().Counter();
  const f32 dt = m_bStepClock ? kFixedStep
                              : static_cast<f32>(static_cast<double>(now - m_LastCounter) /
                                                 static_cast<double>(m_Frequency));
  m_FrameTime = dt;
  m_TotalTime += dt;
  m_LastCounter = now;
  ++m_FramesCounted;

  // A single long frame counts as at most twice the sample before it.
  f32 sample = dt;
  if (m_SampleIndex > 0) sample = std::min(dt, 2.0f * m_Samples[m_SampleIndex - 1]);
  m_Samples[m_SampleIndex] = sample;
  if (++m_SampleIndex >= 100) m_SampleIndex = 0;

  f32 sum = 0.0f;
  for (f32 s : m_Samples) sum += s;
  m_AverageFrameTime = sum / 100.0f;
}

void cGame::Frame() {
  const bool live = m_pFocus != nullptr && m_Pause == 0;
  const f32 dt = m_FrameTime;

  const bool draw = !m_bStepClock || m_StepFrames++ % kStepDrawEvery == 0;
  const bool began = draw && BeginRender();
  if (began) {
    DrawScene(dt);
    EndRender();
  }

  int x = 0, y = 0;
  if (plat::GetWindow().CursorPos(x, y)) {
    m_CursorX = x;
    m_CursorY = y;
  }

  InputEventList events;
  if (PollInput(&events)) {
    for (const InputEvent& ev : events) {
      // Each event goes to whatever widget has the focus at that moment; whether the frame
      // hands events to it at all was decided at the frame's start.
      RouteEvent(ev, live);
    }
  }

  s_StepAccumulator += dt;
  if (s_StepAccumulator >= kFixedStep) {
    if (live && m_pFocus) m_pFocus->Step();
    if (m_pGUI) m_pGUI->Update(kFixedStep);
    while (s_StepAccumulator >= kFixedStep) s_StepAccumulator -= kFixedStep;
  }

  if (live && m_pFocus) m_pFocus->Update(dt);

  if (began) Present();
}

void cGame::DrawScene(f32 dt) {
  if (m_pFocus) {
    m_pFocus->Render();
  } else {
    ClearScreen();
    // Nothing draws the GUI, so nothing draws its cursor: the system pointer shows.
    if (m_pGUI) m_pGUI->RefreshSystemCursor(false, false);
  }
  if (cConsole* console = GetConsole()) console->Draw(dt);
}

void cGame::DrawNow() {
  if (!BeginRender()) return;
  DrawScene(0.0f);
  EndRender();
  Present();
}

void cGame::RouteEvent(const InputEvent& ev, bool live) {
  bool taken = false;
  switch (ev.type) {
    case 1:  // key down
      if (ev.param == kKeySysRq) {
        // The screenshot key takes a picture and goes no further.
        shot();
        return;
      }
      if ((ev.param == kKeyGrave || ev.param == kKeyConsole2) && !m_bConsoleEnabled) return;
      // The console gets the key first, then the GUI.
      if (cConsole* console = GetConsole()) taken = console->OnKey(static_cast<u32>(ev.param));
      if (!taken && m_pGUI) taken = m_pGUI->OnKeyDown(static_cast<u32>(ev.param));
      break;
    case 2:  // key up: offered to the GUI
      if (m_pGUI) taken = m_pGUI->OnKeyUp(static_cast<u32>(ev.param));
      break;
    case 6:  // mouse move: offered to the GUI
      if (m_pGUI) taken = m_pGUI->OnMouseMove(m_CursorX, m_CursorY);
      break;
    case 4:  // button down: offered to the GUI
      if (m_pGUI) taken = m_pGUI->OnMouseButton(false, ev.param, m_CursorX, m_CursorY);
      break;
    case 5:  // button up: offered to the shown windows as a release
      OfferButtonRelease(ev, taken);
      break;
    default:
      break;
  }
  if (!taken && live && m_pFocus) {
    m_pFocus->OnEvent(static_cast<u32>(ev.type), static_cast<u32>(ev.param));
  }
}

void cGame::OfferButtonRelease(const InputEvent& ev, bool& taken) {
  // Walks the GUI's shown windows from the top with code 7, 18 or 0.
  if (m_pGUI) taken = m_pGUI->OnMouseButton(true, ev.param, m_CursorX, m_CursorY);
}

u32 ButtonReleaseCode(i32 button) {
  if (button == 0) return 7;
  if (button == 1) return 18;
  return 0;
}

bool cGame::BeginRender() { return g_pRender && g_pRender->Begin() == 0; }

void cGame::ClearScreen() {
  g_pRender->SetClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  g_pRender->Clear(plat::gfx::kClearTarget, 1.0f);
}

void cGame::EndRender() { g_pRender->End(); }

void cGame::Present() { g_pRender->SwapBuffers(); }

bool cGame::PollInput(InputEventList* events) {
  if (g_pInput) return g_pInput->Update(events);
  return true;
}

u32 cGame::WindowProc(const plat::Message& msg) {
  plat::Window& window = plat::GetWindow();
  switch (msg.kind) {
    case plat::MsgKind::Destroy:
    case plat::MsgKind::EndSession:
    case plat::MsgKind::Close:
      window.PostQuit(0);
      return 0;
    case plat::MsgKind::Size:
      if (msg.w == 0 || msg.w == 2) {
        const int w = static_cast<int>(msg.l & 0xFFFF);
        const int h = static_cast<int>(msg.l >> 16);
        Log("^6", "Size of window was changed to %ix%i, Window state is - %#X\n", "text", "LOOP",
            w, h, static_cast<int>(msg.w));
        if (msg.l != 0) OnResize(w, h);
      }
      return 0;
    case plat::MsgKind::Activate:
      if (msg.w != 0) {
        if (msg.l != 0) return 0;  // activated while minimised: nothing of its own
        Log("^6", "Window get focus\n", "text", "LOOP");
        // Stepping aside and coming back follow the focus the window has now: a window manager
        // that frames, iconifies or restores the window sends several changes at once, and a
        // late message acted on would undo the newer state, the window flapping between
        // iconified and restored for good.
        if (!m_bWindowed && window.IsMinimized() && window.HasFocus()) window.Restore();
        ResetFrameClock();
        m_bActive = true;
        // The pointer follows the GUI: hidden only while the GUI draws its own cursor.
        if (m_pGUI) {
          m_pGUI->RefreshSystemCursor(m_pFocus != nullptr, true);
        } else {
          window.ShowSystemCursor(true);
        }
        if (g_pRender) g_pRender->OnFocusChange(true);
        if (cSoundManager* sound = GetSound()) sound->Resume();
      } else {
        Log("^6", "Window lose focus\n", "text", "LOOP");
        if (cSoundManager* sound = GetSound()) sound->Pause();
        m_bActive = false;
        // A full-screen device loses its display with the focus.
        if (g_pRender) g_pRender->OnFocusChange(false);
        if (!m_bWindowed && !window.HasFocus()) window.Minimize();
        if (m_pGUI) {
          m_pGUI->RefreshSystemCursor(m_pFocus != nullptr, true);  // inactive: the system pointer
        } else {
          window.ShowSystemCursor(true);
        }
      }
      return 0;
    case plat::MsgKind::DisplayChange:
      Log("^6", "Resolution of display was changed to %ix%ix%i\n", "text", "LOOP",
          static_cast<int>(msg.l & 0xFFFF), static_cast<int>(msg.l >> 16),
          static_cast<int>(msg.w));
      if (g_pRender) g_pRender->OnDisplayChange();
      return 0;
    case plat::MsgKind::Char:
      OnChar(msg.w);
      return 0;
    case plat::MsgKind::Timer:
      TimerProc();
      return 0;
    case plat::MsgKind::User:
      if (msg.id >= 0xC000 && msg.id <= 0xFFFF) {
        for (const cMessageHandler& h : m_Handlers) {
          if (h.id == msg.id && h.handler) return h.handler(msg.w, msg.l);
        }
      }
      return 0;
    case plat::MsgKind::Quit:
      return 0;
  }
  return 0;
}

void cGame::OnChar(u32 character) {
  // The console gets the character first, then the GUI.
  if (cConsole* console = GetConsole()) {
    if (console->OnChar(character)) return;
  }
  if (m_pGUI && m_pGUI->OnChar(character)) return;
  if (m_pFocus && m_Pause == 0) m_pFocus->OnEvent(3, character);
}

void cGame::OnResize(int width, int height) {
  if (height == 0) height = 1;
  // The renderer's viewport and the GUI's client rectangle become (0, 0, width, height).
  if (g_pRender) g_pRender->SetViewport(0, 0, width, height);
  if (m_pGUI) m_pGUI->SetScreenRect(0, 0, width, height);
}

void cGame::SetFocusWidget(const vek::string& name) {
  if (m_pFocus && m_pFocus->GetName() == name) {
    LogWarning(kSender, "Widget with name '%s' is focused already.\n", name);
    return;
  }
  if (m_pFocus) {
    m_pFocus->Deactivate();
    m_pFocus = nullptr;
  }
  for (cWidget* w : m_Widgets) {
    if (w && w->GetName() == name) {
      m_pFocus = w;
      m_Pause = 0;
      w->Activate();
      LogText(kSender, "Set focus to widget with name '%s'.\n", name);
      return;
    }
  }
  LogWarning(kSender, "Widget with name '%s' not found.\n", name);
}

void cGame::ForgetWidget(cWidget* widget) {
  if (m_pFocus == widget) m_pFocus = nullptr;
}

const vek::string& cGame::GetFocusWidgetName() const {
  return m_pFocus ? m_pFocus->GetName() : kNoName;
}

void cGame::PauseWidget(bool pause) {
  m_Pause += pause ? 1 : -1;
  if (m_Pause < 0) m_Pause = 0;
}

void cGame::SetLocale(const vek::string& name) {
  m_Locale = name;
  SetLowerCaseLocale(name);
}

void cGame::Exit(int code) { plat::GetWindow().PostQuit(code); }

}  // namespace vek
