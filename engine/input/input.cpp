#include "engine/input/input.h"

#include "engine/core/log.h"
#include "platform/input.h"
#include "platform/window.h"

namespace vek {

cInput* g_pInput = nullptr;

namespace {

const char* const kSender = "cInput";

// The record layouts, selected once the input service is up.
const plat::InputFormat kMouseFormat = plat::InputFormat::Mouse;
const plat::InputFormat kKeyboardFormat = plat::InputFormat::Keyboard;
const plat::InputFormat kJoystickFormat = plat::InputFormat::Joystick;
const plat::InputFormat* s_pMouseFormat = nullptr;
const plat::InputFormat* s_pKeyboardFormat = nullptr;
const plat::InputFormat* s_pJoystickFormat = nullptr;

// The devices the last GetState call chose, one per class.
cMouse* s_pCurMouse = nullptr;
cKeyboard* s_pCurKeyboard = nullptr;
cJoystick* s_pCurJoystick = nullptr;

template <class T>
T* First(const std::vector<std::unique_ptr<T>>& list) {
  return list.empty() ? nullptr : list.front().get();
}

// Adds a new device to its list when its construction completed.
template <class T>
void Keep(std::vector<std::unique_ptr<T>>& list, std::unique_ptr<T> device) {
  if (device->IsValid()) list.push_back(std::move(device));
}

}  // namespace

const plat::InputFormat* SelectedInputFormat(plat::InputFormat kind) {
  switch (kind) {
    case plat::InputFormat::Mouse:
      return s_pMouseFormat;
    case plat::InputFormat::Keyboard:
      return s_pKeyboardFormat;
    case plat::InputFormat::Joystick:
      return s_pJoystickFormat;
  }
  return nullptr;
}

cInput::cInput() = default;

cInput::~cInput() { Free(); }

bool cInput::Init() {
  plat::InputBackend& backend = plat::GetInputBackend();
  if (!backend.Load()) {
    LogWarning(kSender, "Init: dinput8.dll not found\n");
    return false;
  }
  if (!backend.HasEntry()) {
    LogWarning(kSender, "Init: DirectInputCreate not found\n");
    backend.Unload();
    return false;
  }
  std::unique_ptr<plat::InputSession> session = backend.Create();
  if (!session) {
    LogWarning(kSender, "Init: DirectInputCreate\n");
    backend.Unload();
    return false;
  }
  m_Service.backend = &backend;
  m_Service.session = std::move(session);

  s_pMouseFormat = &kMouseFormat;
  s_pKeyboardFormat = &kKeyboardFormat;
  s_pJoystickFormat = &kJoystickFormat;

  std::vector<plat::InputDeviceInfo> devices;
  if (!m_Service.session->EnumDevices(devices)) {
    LogWarning(kSender, "Init: EnumDevices\n");
    return false;
  }
  plat::InputSession* s = m_Service.session.get();
  for (const plat::InputDeviceInfo& d : devices) {
    switch (d.type & 0xFF) {
      case plat::kInputTypeMouse:
        Keep(m_Mice, std::make_unique<cMouse>(s, d.id));
        break;
      case plat::kInputTypeKeyboard:
        Keep(m_Keyboards, std::make_unique<cKeyboard>(s, d.id));
        break;
      case plat::kInputTypeJoystick:
        Keep(m_Joysticks, std::make_unique<cJoystick>(s, d.id));
        break;
      default:
        break;  // gamepads and other types are not used
    }
  }
  return true;
}

bool cInput::Free() {
  if (!m_Service.backend || !m_Service.session) {
    LogWarning(kSender, "Free: input manager invalid\n");
    return false;
  }
  m_Mice.clear();
  m_Keyboards.clear();
  m_Joysticks.clear();
  s_pCurMouse = nullptr;
  s_pCurKeyboard = nullptr;
  s_pCurJoystick = nullptr;
  m_Service.session.reset();
  m_Service.backend->Unload();
  m_Service.backend = nullptr;
  return true;
}

bool cInput::Update(InputEventList* events) {
  for (auto& d : m_Mice) d->Poll(events);
  for (auto& d : m_Keyboards) d->Poll(events);
  for (auto& d : m_Joysticks) d->Poll(events);
  return true;
}

f32 cInput::GetState(int kind, u32 index) {
  switch (kind) {
    case e_KeyDown:
    case e_KeyUp:
      s_pCurKeyboard = First(m_Keyboards);
      if (!s_pCurKeyboard) return 0.0f;
      return (s_pCurKeyboard->GetKey(index) != 0) == (kind == e_KeyDown) ? 1.0f : 0.0f;
    case e_MouseDown:
    case e_MouseUp:
      s_pCurMouse = First(m_Mice);
      if (!s_pCurMouse) return 0.0f;
      return (s_pCurMouse->GetButton(index) != 0) == (kind == e_MouseDown) ? 1.0f : 0.0f;
    case e_JoyUp:
    case e_JoyDown:
      s_pCurJoystick = First(m_Joysticks);
      if (!s_pCurJoystick) return 0.0f;
      return (s_pCurJoystick->GetButton(index) != 0) == (kind == e_JoyDown) ? 1.0f : 0.0f;
    case e_JoyX:
    case e_JoyY:
    case e_JoyZ:
      s_pCurJoystick = First(m_Joysticks);
      if (!s_pCurJoystick) return 0.0f;
      return s_pCurJoystick->GetAxis(static_cast<u32>(kind - e_JoyX));
    default:
      LogWarning(kSender, "GetState: unknown state request\n");
      return 0.0f;
  }
}

bool CreateInput() {
  const char* const sender = "CreateInput";
  if (g_pInput) {
    LogWarning(sender, "input already exists\n");
    return false;
  }
  g_pInput = new cInput();
  if (!g_pInput->Init()) {
    LogWarning(sender, "Init\n");
    return false;
  }
  LogText(sender, "Ok\n");
  return true;
}

bool DestroyInput() {
  const char* const sender = "DestroyInput";
  if (!g_pInput) {
    LogWarning(sender, "Input does not exist\n");
    return false;
  }
  delete g_pInput;
  g_pInput = nullptr;
  LogText(sender, "Ok\n");
  return true;
}

bool GetCursorClientPos(i32* x, i32* y) {
  int cx = 0, cy = 0;
  if (!plat::GetWindow().CursorPos(cx, cy)) return false;
  if (x) *x = cx;
  if (y) *y = cy;
  return true;
}

}  // namespace vek
