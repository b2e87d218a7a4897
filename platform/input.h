#pragma once
// Buffered input devices: the system mouse and keyboard and any joystick, each delivering
// records {offset, data, time stamp, sequence} in the layout the engine reads:
//   mouse     offset 0 X, 4 Y (relative moves, one record per axis), 8 wheel (+-120 a notch),
//             12..15 buttons 0..3 (left, right, middle, first extra; data 0x80 pressed, 0 released)
//   keyboard  offset = key code (scan-code set 1 numbering, extended keys 0x80 | code),
//             data 0x80 pressed, 0 released; no auto-repeat
//   joystick  offset 0 X, 4 Y, 8 Z, 12 X rotation, 16 Y rotation, 20 Z rotation, 24 and 28
//             sliders, 32..44 hats 0..3 (hundredths of a degree clockwise from up, centred
//             0xFFFFFFFF), 48..79 buttons 0..31 (data 0x80 pressed, 0 released)
// A real back end (SDL2 events) and a scripted one for tests; chosen at run time.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// Device types as the enumeration reports them (low byte).
constexpr std::uint32_t kInputTypeMouse = 0x12;
constexpr std::uint32_t kInputTypeKeyboard = 0x13;
constexpr std::uint32_t kInputTypeJoystick = 0x14;
constexpr std::uint32_t kInputTypeGamepad = 0x15;
constexpr std::uint32_t kInputTypeDriving = 0x16;
constexpr std::uint32_t kInputTypeFlight = 0x17;

// Record offsets of the three layouts.
constexpr std::uint32_t kMouseX = 0, kMouseY = 4, kMouseWheel = 8, kMouseButton0 = 12;
constexpr std::uint32_t kMouseButtons = 4;
constexpr std::uint32_t kJoyX = 0, kJoyY = 4, kJoyZ = 8, kJoyRx = 12, kJoyRy = 16, kJoyRz = 20;
constexpr std::uint32_t kJoySlider0 = 24, kJoyHat0 = 32, kJoyButton0 = 48;
constexpr std::uint32_t kJoyAxes = 8, kJoyHats = 4, kJoyButtons = 32;

// Data of a pressed key or button.
constexpr std::uint32_t kInputPressed = 0x80;
// Wheel movement of one notch.
constexpr std::int32_t kWheelNotch = 120;

// One buffered record (20 bytes).
struct InputRecord {
  std::uint32_t offset = 0;
  std::uint32_t data = 0;
  std::uint32_t timeStamp = 0;  // milliseconds
  std::uint32_t sequence = 0;   // rises across all devices of the session
  std::uint32_t appData = 0;
};

// The record layouts a device can be read in.
enum class InputFormat { Mouse, Keyboard, Joystick };

struct InputDeviceInfo {
  std::uint32_t type = 0;  // kInputType...
  std::uint32_t id = 0;    // identifies the device for CreateDevice
  std::string name;
};

// One attached device. It keeps the records that arrive while it is acquired until they
// are read, oldest first.
class InputDevice {
 public:
  virtual ~InputDevice() = default;
  // Chooses the record layout; false when the device cannot deliver it.
  virtual bool SetFormat(InputFormat format) = 0;
  // Joystick: axes report absolute positions.
  virtual bool SetAbsoluteAxes() = 0;
  // Joystick: the range of the axis values.
  virtual bool GetRange(std::int32_t& min, std::int32_t& max) = 0;
  // Starts and stops delivery; records arrive whether or not the game window is active.
  virtual bool Acquire() = 0;
  virtual void Unacquire() = 0;
  // Moves up to `count` waiting records into `records`; `count` becomes the number moved.
  // False when the device cannot be read (not acquired, gone).
  virtual bool Read(InputRecord* records, std::uint32_t& count) = 0;
};

// The running input service: the devices attached when it is asked.
class InputSession {
 public:
  virtual ~InputSession() = default;
  virtual bool EnumDevices(std::vector<InputDeviceInfo>& devices) = 0;
  // Null when the device cannot be opened.
  virtual std::unique_ptr<InputDevice> CreateDevice(std::uint32_t id) = 0;
};

// The input service as the engine brings it up: load, find its entry, create a session.
class InputBackend {
 public:
  virtual ~InputBackend() = default;
  virtual bool Load() = 0;
  virtual bool HasEntry() = 0;
  // Null when the session cannot be created.
  virtual std::unique_ptr<InputSession> Create() = 0;
  virtual void Unload() = 0;
};

// The active back end (SDL2 unless a test installed another).
InputBackend& GetInputBackend();
// Installs a back end; null restores the SDL2 one.
void SetInputBackend(std::unique_ptr<InputBackend> backend);

// The key code of an SDL scan code; 0 for a key without one.
std::uint8_t KeyCodeFromScancode(int scancode);

// Scripted back end for tests: a table of devices and the records each one delivers.
class ScriptedInput : public InputBackend {
 public:
  struct Device {
    InputDeviceInfo info;
    bool createFails = false;
    bool absoluteFails = false;
    bool rangeFails = false;
    bool readFails = false;
    std::int32_t min = -1000, max = 1000;
    bool acquired = false;
    bool open = false;                // a device object exists
    std::deque<InputRecord> records;  // waiting to be read
  };

  bool loadFails = false;
  bool entryMissing = false;
  bool createFails = false;
  bool enumFails = false;
  bool loaded = false;
  int sessions = 0;  // sessions alive

  // Adds an attached device; the pointer stays valid while the back end lives.
  Device& AddDevice(std::uint32_t type, const std::string& name = std::string());
  Device* Find(std::uint32_t id);

  // Records for the first device of the type (or the device with `id`), appended in order.
  void Feed(std::uint32_t id, std::uint32_t offset, std::uint32_t data);
  void Key(std::uint8_t code, bool down);
  void MouseMove(int dx, int dy);
  void Wheel(int notches);
  void Button(int button, bool down);

  bool Load() override;
  bool HasEntry() override { return !entryMissing; }
  std::unique_ptr<InputSession> Create() override;
  void Unload() override { loaded = false; }

 private:
  Device* First(std::uint32_t type);
  std::vector<std::unique_ptr<Device>> m_Devices;
  std::uint32_t m_NextId = 1;
  std::uint32_t m_Sequence = 0;
};

}  // namespace plat
