// The three input device classes: each reads its buffered records and turns them into
// events and stored states.
#include <array>

#include "engine/core/log.h"
#include "engine/input/input.h"
#include "platform/input.h"

namespace vek {

namespace {

constexpr u32 kBufferRecords = 16;

// One record buffer per device class, shared by every device of that class.
std::array<plat::InputRecord, kBufferRecords> s_MouseBuffer;
std::array<plat::InputRecord, kBufferRecords> s_KeyboardBuffer;
std::array<plat::InputRecord, kBufferRecords> s_JoystickBuffer;

void Append(InputEventList* events, i32 type, i32 param) {
  if (events && type != 0) events->push_back(InputEvent{type, param});
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Base

cInputDevice::cInputDevice(plat::InputSession* session, u32 id) {
  if (!session) return;
  m_pDevice = session->CreateDevice(id);
  if (!m_pDevice) LogWarning("cInputDevice", "constructor: CreateDevice\n");
}

cInputDevice::~cInputDevice() { Release(); }

void cInputDevice::Release() {
  if (!m_pDevice) return;
  m_pDevice->Unacquire();
  m_pDevice.reset();
}

bool cInputDevice::SetFormat(const char* sender, plat::InputFormat kind, const char* noFormat) {
  const plat::InputFormat* format = SelectedInputFormat(kind);
  if (!format) {
    LogWarning(sender, noFormat);
    return false;
  }
  if (!m_pDevice) {
    LogWarning(sender, "constructor: device invalid\n");
    return false;
  }
  m_pDevice->SetFormat(*format);
  return true;
}

u32 cInputDevice::ReadRecords(plat::InputRecord* buffer) {
  if (!m_pDevice) return 0;
  u32 count = kBufferRecords;
  if (!m_pDevice->Read(buffer, count)) return 0;
  return count;
}

// ---------------------------------------------------------------------------------------------
// Mouse

cMouse::cMouse(plat::InputSession* session, u32 id) : cInputDevice(session, id) {
  if (!SetFormat("cMouse", plat::InputFormat::Mouse, "constructor: c_pdfDIMouse invalid\n")) return;
  m_pDevice->Acquire();
  m_bValid = true;
}

bool cMouse::Poll(InputEventList* events) {
  const u32 n = ReadRecords(s_MouseBuffer.data());
  if (n == 0) return false;
  for (u32 i = 0; i < n; ++i) {
    const plat::InputRecord& r = s_MouseBuffer[i];
    i32 type = 0;
    i32 param = 0;
    if (r.offset == plat::kMouseX) {
      type = 6;
      param = static_cast<i32>(r.data & 0xFFFFu);
    } else if (r.offset == plat::kMouseY) {
      type = 6;
      param = static_cast<i32>((r.data & 0xFFFFu) << 16);
    } else if (r.offset == plat::kMouseWheel) {
      type = 7;
      param = static_cast<i32>(r.data);
    } else if (r.offset >= plat::kMouseButton0 &&
               r.offset < plat::kMouseButton0 + m_Buttons.size()) {
      const u32 button = r.offset - plat::kMouseButton0;
      const bool pressed = r.data != 0;
      m_Buttons[button] = pressed ? 1 : 0;
      type = pressed ? 4 : 5;
      param = static_cast<i32>(button);
    }
    Append(events, type, param);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Keyboard

cKeyboard::cKeyboard(plat::InputSession* session, u32 id) : cInputDevice(session, id) {
  if (!SetFormat("cKeyboard", plat::InputFormat::Keyboard, "constructor: c_pdfDIKeyboard invalid\n")) return;
  m_pDevice->Acquire();
  m_bValid = true;
}

bool cKeyboard::Poll(InputEventList* events) {
  const u32 n = ReadRecords(s_KeyboardBuffer.data());
  if (n == 0) return false;
  for (u32 i = 0; i < n; ++i) {
    const plat::InputRecord& r = s_KeyboardBuffer[i];
    const bool pressed = (r.data & 0xFFu) != 0;
    if (r.offset < m_Keys.size()) m_Keys[r.offset] = pressed ? 1 : 0;
    Append(events, pressed ? 1 : 2, static_cast<i32>(r.offset));
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Joystick

cJoystick::cJoystick(plat::InputSession* session, u32 id) : cInputDevice(session, id) {
  if (!SetFormat("cJoystick", plat::InputFormat::Joystick, "constructor: c_pdfDIJoystick invalid\n")) return;
  if (!m_pDevice->SetAbsoluteAxes()) {
    LogWarning("cJoystick", "constructor: SetProperty(DIPROP_AXISMODE)\n");
    Release();
    return;
  }
  i32 min = 0, max = 0;
  if (m_pDevice->GetRange(min, max)) {
    m_Min = min;
    m_Max = max;
  }
  // The centre, truncated toward zero; summed wide so that no range can overflow it.
  const i32 centre = static_cast<i32>((static_cast<i64>(m_Min) + m_Max) / 2);
  m_X = m_Y = m_Z = centre;
  m_pDevice->Acquire();
  m_bValid = true;
}

bool cJoystick::Poll(InputEventList* events) {
  const u32 n = ReadRecords(s_JoystickBuffer.data());
  if (n == 0) return false;
  for (u32 i = 0; i < n; ++i) {
    const plat::InputRecord& r = s_JoystickBuffer[i];
    const i32 value = static_cast<i32>(r.data);
    i32 type = 0;
    i32 param = value;
    if (r.offset >= plat::kJoyButton0 && r.offset < plat::kJoyButton0 + m_Buttons.size()) {
      const u32 button = r.offset - plat::kJoyButton0;
      const bool pressed = r.data != 0;
      m_Buttons[button] = pressed ? 1 : 0;
      type = pressed ? 9 : 8;
      param = static_cast<i32>(button);
    } else {
      switch (r.offset) {
        case plat::kJoyX:
          type = 16;
          m_X = value;
          break;
        case plat::kJoyY:
          type = 17;
          m_Y = value;
          break;
        case plat::kJoyZ:
          type = 18;
          m_Z = value;
          break;
        case plat::kJoyRx:
          type = 19;
          break;
        case plat::kJoyRy:
          type = 20;
          break;
        case plat::kJoyRz:
          type = 21;
          break;
        case plat::kJoySlider0:
        case plat::kJoySlider0 + 4:
          type = 23;
          break;
        case plat::kJoyHat0:
        case plat::kJoyHat0 + 4:
          type = 22;
          break;
        default:
          break;  // hats 2 and 3 and anything else give nothing
      }
    }
    Append(events, type, param);
  }
  return true;
}

f32 cJoystick::GetAxis(u32 axis) const {
  const i32 value = axis == 0 ? m_X : axis == 1 ? m_Y : m_Z;
  // A device reporting an empty range would divide by zero: it reads as centred.
  if (m_Max == m_Min) return 0.0f;
  const f64 t = (static_cast<f64>(value) - m_Min) / (static_cast<f64>(m_Max) - m_Min);
  return static_cast<f32>((t - 0.5) * 2.0);
}

}  // namespace vek
