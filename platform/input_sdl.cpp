// The SDL2 back end of the input devices. The window's event pump hands every SDL event to
// the hub below, which turns it into records for the devices. Key and button states are kept
// here from the events themselves (SDL's own state arrays do not see pushed events), so a key
// that is already down gives no second record: no auto-repeat.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <deque>

#include "platform/input.h"
#include "platform/window.h"

namespace plat {
namespace {

constexpr std::uint32_t kMouseId = 1;
constexpr std::uint32_t kKeyboardId = 2;
constexpr std::uint32_t kJoystickIdBase = 0x100;
// Records kept per device while nobody reads; beyond it the oldest go first, so the newest
// state always arrives.
constexpr std::size_t kQueueLimit = 1024;

class SdlDevice;

// Routes the pumped events to the devices; shared by the session and every device it made.
class Hub {
 public:
  explicit Hub(bool joysticks) : m_Joysticks(joysticks) { AddRawEventHook(&Hub::OnRaw, this); }
  ~Hub() {
    RemoveRawEventHook(&Hub::OnRaw, this);
    if (m_Joysticks) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
  Hub(const Hub&) = delete;
  Hub& operator=(const Hub&) = delete;

  bool HasJoysticks() const { return m_Joysticks; }
  void Attach(SdlDevice* d) { m_Devices.push_back(d); }
  void Detach(SdlDevice* d) {
    m_Devices.erase(std::remove(m_Devices.begin(), m_Devices.end(), d), m_Devices.end());
  }
  std::uint32_t NextSequence() { return ++m_Sequence; }

 private:
  static void OnRaw(const void* event, void* user);
  bool m_Joysticks;
  std::vector<SdlDevice*> m_Devices;
  std::uint32_t m_Sequence = 0;
};

class SdlDevice : public InputDevice {
 public:
  SdlDevice(std::shared_ptr<Hub> hub, InputFormat format)
      : m_Hub(std::move(hub)), m_Format(format) {
    m_Hub->Attach(this);
  }
  ~SdlDevice() override { m_Hub->Detach(this); }

  bool SetFormat(InputFormat format) override { return format == m_Format; }
  bool SetAbsoluteAxes() override { return false; }
  bool GetRange(std::int32_t&, std::int32_t&) override { return false; }
  bool Acquire() override {
    m_Acquired = true;
    return true;
  }
  void Unacquire() override { m_Acquired = false; }

  bool Read(InputRecord* records, std::uint32_t& count) override {
    if (!m_Acquired || (m_Gone && m_Queue.empty())) {
      count = 0;
      return false;
    }
    const std::uint32_t n =
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(m_Queue.size()));
    std::copy_n(m_Queue.begin(), n, records);
    m_Queue.erase(m_Queue.begin(), m_Queue.begin() + n);
    count = n;
    return true;
  }

  // One pumped event; acquired devices turn what concerns them into records.
  void Dispatch(const SDL_Event& e) {
    if (m_Acquired && !m_Gone) OnEvent(e);
  }

 protected:
  virtual void OnEvent(const SDL_Event& e) = 0;

  void Push(std::uint32_t offset, std::uint32_t data, std::uint32_t time) {
    if (m_Queue.size() >= kQueueLimit) m_Queue.pop_front();
    InputRecord r;
    r.offset = offset;
    r.data = data;
    r.timeStamp = time;
    r.sequence = m_Hub->NextSequence();
    m_Queue.push_back(r);
  }

  std::shared_ptr<Hub> m_Hub;
  InputFormat m_Format;
  bool m_Acquired = false;
  bool m_Gone = false;
  std::deque<InputRecord> m_Queue;
};

void Hub::OnRaw(const void* event, void* user) {
  const SDL_Event& e = *static_cast<const SDL_Event*>(event);
  for (SdlDevice* d : static_cast<Hub*>(user)->m_Devices) d->Dispatch(e);
}

std::uint32_t Data(std::int32_t v) { return static_cast<std::uint32_t>(v); }

class SdlMouse : public SdlDevice {
 public:
  explicit SdlMouse(std::shared_ptr<Hub> hub) : SdlDevice(std::move(hub), InputFormat::Mouse) {}

 protected:
  void OnEvent(const SDL_Event& e) override {
    switch (e.type) {
      case SDL_MOUSEMOTION:
        Move(e.motion.xrel, e.motion.yrel, e.motion.timestamp);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const int b = ButtonIndex(e.button.button);
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        if (b < 0 || m_Down[static_cast<std::size_t>(b)] == down) break;
        m_Down[static_cast<std::size_t>(b)] = down;
        Push(kMouseButton0 + static_cast<std::uint32_t>(b), down ? kInputPressed : 0,
             e.button.timestamp);
        break;
      }
      case SDL_MOUSEWHEEL: {
        std::int32_t y = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
        if (y != 0) Push(kMouseWheel, Data(y * kWheelNotch), e.wheel.timestamp);
        break;
      }
      default:
        break;
    }
  }

 private:
  // Left, right, middle and the first extra button; the layout has four.
  static int ButtonIndex(Uint8 button) {
    switch (button) {
      case SDL_BUTTON_LEFT:
        return 0;
      case SDL_BUTTON_RIGHT:
        return 1;
      case SDL_BUTTON_MIDDLE:
        return 2;
      case SDL_BUTTON_X1:
        return 3;
      default:
        return -1;
    }
  }

  // One record per axis that moved. Moves that follow each other with nothing read in between
  // are added into the waiting X and Y records, so a fast mouse cannot flood the queue.
  void Move(std::int32_t dx, std::int32_t dy, std::uint32_t time) {
    InputRecord* x = nullptr;
    InputRecord* y = nullptr;
    for (auto it = m_Queue.rbegin(); it != m_Queue.rend(); ++it) {
      if (it->offset == kMouseX && !x) {
        x = &*it;
      } else if (it->offset == kMouseY && !y) {
        y = &*it;
      } else {
        break;
      }
    }
    if (dx) {
      if (x) {
        x->data = Data(static_cast<std::int32_t>(x->data) + dx);
      } else {
        Push(kMouseX, Data(dx), time);
      }
    }
    if (dy) {
      if (y) {
        y->data = Data(static_cast<std::int32_t>(y->data) + dy);
      } else {
        Push(kMouseY, Data(dy), time);
      }
    }
  }

  std::array<bool, kMouseButtons> m_Down{};
};

class SdlKeyboard : public SdlDevice {
 public:
  explicit SdlKeyboard(std::shared_ptr<Hub> hub)
      : SdlDevice(std::move(hub), InputFormat::Keyboard) {}

 protected:
  void OnEvent(const SDL_Event& e) override {
    if (e.type != SDL_KEYDOWN && e.type != SDL_KEYUP) return;
    if (e.key.repeat) return;
    const std::uint8_t code = KeyCodeFromScancode(e.key.keysym.scancode);
    if (code == 0) return;
    const bool down = e.type == SDL_KEYDOWN;
    if (m_Down[code] == down) return;
    m_Down[code] = down;
    Push(code, down ? kInputPressed : 0, e.key.timestamp);
  }

 private:
  std::array<bool, 256> m_Down{};
};

class SdlJoystick : public SdlDevice {
 public:
  SdlJoystick(std::shared_ptr<Hub> hub, SDL_Joystick* joy)
      : SdlDevice(std::move(hub), InputFormat::Joystick),
        m_Joy(joy),
        m_Id(SDL_JoystickInstanceID(joy)) {}
  ~SdlJoystick() override { SDL_JoystickClose(m_Joy); }

  bool SetAbsoluteAxes() override { return true; }
  bool GetRange(std::int32_t& min, std::int32_t& max) override {
    min = SDL_JOYSTICK_AXIS_MIN;
    max = SDL_JOYSTICK_AXIS_MAX;
    return true;
  }

 protected:
  void OnEvent(const SDL_Event& e) override {
    switch (e.type) {
      case SDL_JOYAXISMOTION:
        if (e.jaxis.which == m_Id && e.jaxis.axis < kJoyAxes) {
          Push(kJoyX + 4u * e.jaxis.axis, Data(e.jaxis.value), e.jaxis.timestamp);
        }
        break;
      case SDL_JOYHATMOTION:
        if (e.jhat.which == m_Id && e.jhat.hat < kJoyHats) {
          Push(kJoyHat0 + 4u * e.jhat.hat, HatAngle(e.jhat.value), e.jhat.timestamp);
        }
        break;
      case SDL_JOYBUTTONDOWN:
      case SDL_JOYBUTTONUP: {
        if (e.jbutton.which != m_Id || e.jbutton.button >= kJoyButtons) break;
        const bool down = e.type == SDL_JOYBUTTONDOWN;
        if (m_Down[e.jbutton.button] == down) break;
        m_Down[e.jbutton.button] = down;
        Push(kJoyButton0 + e.jbutton.button, down ? kInputPressed : 0, e.jbutton.timestamp);
        break;
      }
      case SDL_JOYDEVICEREMOVED:
        if (e.jdevice.which == m_Id) {
          // Unplugged: held buttons are let go, then the device reads nothing more.
          for (std::uint32_t b = 0; b < kJoyButtons; ++b) {
            if (m_Down[b]) Push(kJoyButton0 + b, 0, e.jdevice.timestamp);
          }
          m_Down.fill(false);
          m_Gone = true;
        }
        break;
      default:
        break;
    }
  }

 private:
  // Hundredths of a degree clockwise from up; centred is all bits set.
  static std::uint32_t HatAngle(Uint8 v) {
    switch (v) {
      case SDL_HAT_UP:
        return 0;
      case SDL_HAT_RIGHTUP:
        return 4500;
      case SDL_HAT_RIGHT:
        return 9000;
      case SDL_HAT_RIGHTDOWN:
        return 13500;
      case SDL_HAT_DOWN:
        return 18000;
      case SDL_HAT_LEFTDOWN:
        return 22500;
      case SDL_HAT_LEFT:
        return 27000;
      case SDL_HAT_LEFTUP:
        return 31500;
      default:
        return 0xFFFFFFFFu;
    }
  }

  SDL_Joystick* m_Joy;
  SDL_JoystickID m_Id;
  std::array<bool, kJoyButtons> m_Down{};
};

std::uint32_t JoystickType(SDL_JoystickType t) {
  switch (t) {
    case SDL_JOYSTICK_TYPE_GAMECONTROLLER:
      return kInputTypeGamepad;
    case SDL_JOYSTICK_TYPE_WHEEL:
      return kInputTypeDriving;
    case SDL_JOYSTICK_TYPE_FLIGHT_STICK:
    case SDL_JOYSTICK_TYPE_THROTTLE:
      return kInputTypeFlight;
    default:
      return kInputTypeJoystick;
  }
}

class SdlSession : public InputSession {
 public:
  explicit SdlSession(std::shared_ptr<Hub> hub) : m_Hub(std::move(hub)) {}

  bool EnumDevices(std::vector<InputDeviceInfo>& out) override {
    out.push_back(InputDeviceInfo{kInputTypeMouse, kMouseId, "Mouse"});
    out.push_back(InputDeviceInfo{kInputTypeKeyboard, kKeyboardId, "Keyboard"});
    if (!m_Hub->HasJoysticks()) return true;
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i) {
      const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
      if (id < 0) continue;
      const char* name = SDL_JoystickNameForIndex(i);
      out.push_back(InputDeviceInfo{JoystickType(SDL_JoystickGetDeviceType(i)),
                                    kJoystickIdBase + static_cast<std::uint32_t>(id),
                                    name ? name : ""});
    }
    return true;
  }

  std::unique_ptr<InputDevice> CreateDevice(std::uint32_t id) override {
    if (id == kMouseId) return std::make_unique<SdlMouse>(m_Hub);
    if (id == kKeyboardId) return std::make_unique<SdlKeyboard>(m_Hub);
    if (id < kJoystickIdBase || !m_Hub->HasJoysticks()) return nullptr;
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i) {
      if (kJoystickIdBase + static_cast<std::uint32_t>(SDL_JoystickGetDeviceInstanceID(i)) != id)
        continue;
      SDL_Joystick* joy = SDL_JoystickOpen(i);
      if (!joy) return nullptr;
      return std::make_unique<SdlJoystick>(m_Hub, joy);
    }
    return nullptr;
  }

 private:
  std::shared_ptr<Hub> m_Hub;
};

class SdlInput : public InputBackend {
 public:
  ~SdlInput() override { Unload(); }

  bool Load() override {
    if (m_Loaded) return true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return false;
    m_Loaded = true;
    return true;
  }

  bool HasEntry() override { return true; }

  std::unique_ptr<InputSession> Create() override {
    if (!m_Loaded) return nullptr;
    // A joystick keeps reporting while the game window is inactive, like the other devices.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const bool joysticks = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    return std::make_unique<SdlSession>(std::make_shared<Hub>(joysticks));
  }

  void Unload() override {
    if (m_Loaded) SDL_QuitSubSystem(SDL_INIT_EVENTS);
    m_Loaded = false;
  }

 private:
  bool m_Loaded = false;
};

}  // namespace

std::unique_ptr<InputBackend> CreateSdlInput() { return std::make_unique<SdlInput>(); }

}  // namespace plat
