#pragma once
// The input manager: the mouse, the keyboard and any joystick, read as buffered records and
// turned into input events once per frame. Each device also keeps the pressed state of its
// keys or buttons (and a joystick its axes), which GetState reads.
#include <array>
#include <memory>
#include <vector>

#include "engine/core/types.h"
#include "engine/input/input_event.h"

namespace plat {
class InputBackend;
class InputDevice;
class InputSession;
struct InputRecord;
enum class InputFormat;
}  // namespace plat

namespace vek {

// One input device; the subclasses decode their records.
class cInputDevice {
 public:
  // Opens the device `id` of the session (none when the session is null).
  cInputDevice(plat::InputSession* session, u32 id);
  virtual ~cInputDevice();
  cInputDevice(const cInputDevice&) = delete;
  cInputDevice& operator=(const cInputDevice&) = delete;

  // Reads up to 16 records and appends their events to `events` (when given); false when the
  // device delivered nothing.
  virtual bool Poll(InputEventList* events) = 0;

  // Whether construction completed; a device that did not is not listed.
  bool IsValid() const { return m_bValid; }

 protected:
  // The first construction step of every device class: the record layout Init selected for
  // `kind` set on the device. When the layout is missing, logs `noFormat` under `sender`; when
  // the device is, says so; false in both cases.
  bool SetFormat(const char* sender, plat::InputFormat kind, const char* noFormat);
  // Reads up to 16 records into `buffer`; the number read, 0 when none or the read failed.
  u32 ReadRecords(plat::InputRecord* buffer);
  // Unacquires and releases the device.
  void Release();

  std::unique_ptr<plat::InputDevice> m_pDevice;
  bool m_bValid = false;
};

class cMouse : public cInputDevice {
 public:
  cMouse(plat::InputSession* session, u32 id);
  bool Poll(InputEventList* events) override;
  // 1 pressed, 0 released; buttons 8 and above read as released.
  u8 GetButton(u32 index) const { return index < m_Buttons.size() ? m_Buttons[index] : 0; }

 private:
  std::array<u8, 8> m_Buttons{};
};

class cKeyboard : public cInputDevice {
 public:
  cKeyboard(plat::InputSession* session, u32 id);
  bool Poll(InputEventList* events) override;
  u8 GetKey(u32 code) const { return code < m_Keys.size() ? m_Keys[code] : 0; }

 private:
  std::array<u8, 256> m_Keys{};
};

class cJoystick : public cInputDevice {
 public:
  cJoystick(plat::InputSession* session, u32 id);
  bool Poll(InputEventList* events) override;
  u8 GetButton(u32 index) const { return index < m_Buttons.size() ? m_Buttons[index] : 0; }
  // Axis 0, 1, 2 (X, Y, Z) as -1.0 at the range minimum to +1.0 at its maximum.
  f32 GetAxis(u32 axis) const;
  i32 GetRangeMin() const { return m_Min; }
  i32 GetRangeMax() const { return m_Max; }

 private:
  std::array<u8, 32> m_Buttons{};
  i32 m_Min = 0, m_Max = 65535;
  i32 m_X = 0, m_Y = 0, m_Z = 0;
};

class cInput {
 public:
  // State kinds of GetState.
  enum eState {
    e_KeyDown = 1,
    e_KeyUp = 2,
    e_MouseDown = 4,
    e_MouseUp = 5,
    e_JoyUp = 8,
    e_JoyDown = 9,
    e_JoyX = 16,
    e_JoyY = 17,
    e_JoyZ = 18,
  };

  cInput();
  virtual ~cInput();
  cInput(const cInput&) = delete;
  cInput& operator=(const cInput&) = delete;

  // Brings the input service up and creates the attached devices.
  bool Init();
  // Deletes every device and takes the service down; called by the destructor.
  bool Free();
  // Polls every mouse, then every keyboard, then every joystick; `events` may be null, which
  // empties the buffers and updates the states without producing events. Always true.
  bool Update(InputEventList* events);
  // The state `kind` of key or button `index` of the first device of its class.
  f32 GetState(int kind, u32 index);

  const std::vector<std::unique_ptr<cMouse>>& GetMice() const { return m_Mice; }
  const std::vector<std::unique_ptr<cKeyboard>>& GetKeyboards() const { return m_Keyboards; }
  const std::vector<std::unique_ptr<cJoystick>>& GetJoysticks() const { return m_Joysticks; }

 private:
  // The input service: the loaded back end and its session.
  struct cService {
    plat::InputBackend* backend = nullptr;
    std::unique_ptr<plat::InputSession> session;
  };
  cService m_Service;
  std::vector<std::unique_ptr<cMouse>> m_Mice;
  std::vector<std::unique_ptr<cKeyboard>> m_Keyboards;
  std::vector<std::unique_ptr<cJoystick>> m_Joysticks;
};

// The engine's input manager (null until CreateInput).
extern cInput* g_pInput;

// Creates the input manager and brings it up; a second call only warns.
bool CreateInput();
bool DestroyInput();

// The record layout that Init selected for a device class; null before the first Init.
const plat::InputFormat* SelectedInputFormat(plat::InputFormat kind);

// The cursor position in client pixels of the game window; either output may be null.
// False (outputs untouched) when it cannot be read.
bool GetCursorClientPos(i32* x, i32* y);

}  // namespace vek
