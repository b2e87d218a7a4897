#include "platform/input.h"

#include <algorithm>

namespace plat {

std::unique_ptr<InputBackend> CreateSdlInput();

namespace {

std::unique_ptr<InputBackend>& Active() {
  static std::unique_ptr<InputBackend> backend;
  return backend;
}

// A device of the scripted back end: reads what the test fed, in order.
class ScriptedDevice : public InputDevice {
 public:
  ScriptedDevice(ScriptedInput::Device& d, int& sessions) : m_D(d), m_Sessions(sessions) {
    m_D.open = true;
  }
  ~ScriptedDevice() override {
    m_D.open = false;
    m_D.acquired = false;
  }

  bool SetFormat(InputFormat format) override {
    switch (m_D.info.type) {
      case kInputTypeMouse:
        return format == InputFormat::Mouse;
      case kInputTypeKeyboard:
        return format == InputFormat::Keyboard;
      default:
        return format == InputFormat::Joystick;
    }
  }
  bool SetAbsoluteAxes() override { return !m_D.absoluteFails; }
  bool GetRange(std::int32_t& min, std::int32_t& max) override {
    if (m_D.rangeFails) return false;
    min = m_D.min;
    max = m_D.max;
    return true;
  }
  bool Acquire() override {
    m_D.acquired = true;
    return true;
  }
  void Unacquire() override { m_D.acquired = false; }
  bool Read(InputRecord* records, std::uint32_t& count) override {
    if (m_D.readFails || !m_D.acquired || m_Sessions <= 0) {
      count = 0;
      return false;
    }
    const std::uint32_t n =
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(m_D.records.size()));
    for (std::uint32_t i = 0; i < n; ++i) {
      records[i] = m_D.records.front();
      m_D.records.pop_front();
    }
    count = n;
    return true;
  }

 private:
  ScriptedInput::Device& m_D;
  int& m_Sessions;
};

class ScriptedSession : public InputSession {
 public:
  ScriptedSession(ScriptedInput& in, std::vector<ScriptedInput::Device*> devices)
      : m_In(in), m_Devices(std::move(devices)) {
    ++m_In.sessions;
  }
  ~ScriptedSession() override { --m_In.sessions; }

  bool EnumDevices(std::vector<InputDeviceInfo>& out) override {
    if (m_In.enumFails) return false;
    for (ScriptedInput::Device* d : m_Devices) out.push_back(d->info);
    return true;
  }
  std::unique_ptr<InputDevice> CreateDevice(std::uint32_t id) override {
    ScriptedInput::Device* d = m_In.Find(id);
    if (!d || d->createFails) return nullptr;
    return std::make_unique<ScriptedDevice>(*d, m_In.sessions);
  }

 private:
  ScriptedInput& m_In;
  std::vector<ScriptedInput::Device*> m_Devices;
};

}  // namespace

InputBackend& GetInputBackend() {
  auto& b = Active();
  if (!b) b = CreateSdlInput();
  return *b;
}

void SetInputBackend(std::unique_ptr<InputBackend> backend) { Active() = std::move(backend); }

// ---------------------------------------------------------------------------------------------
// Scripted back end

ScriptedInput::Device& ScriptedInput::AddDevice(std::uint32_t type, const std::string& name) {
  auto d = std::make_unique<Device>();
  d->info.type = type;
  d->info.id = m_NextId++;
  d->info.name = name;
  m_Devices.push_back(std::move(d));
  return *m_Devices.back();
}

ScriptedInput::Device* ScriptedInput::Find(std::uint32_t id) {
  for (auto& d : m_Devices) {
    if (d->info.id == id) return d.get();
  }
  return nullptr;
}

ScriptedInput::Device* ScriptedInput::First(std::uint32_t type) {
  for (auto& d : m_Devices) {
    if (d->info.type == type) return d.get();
  }
  return nullptr;
}

void ScriptedInput::Feed(std::uint32_t id, std::uint32_t offset, std::uint32_t data) {
  Device* d = Find(id);
  if (!d) return;
  InputRecord r;
  r.offset = offset;
  r.data = data;
  r.sequence = ++m_Sequence;
  r.timeStamp = m_Sequence;
  d->records.push_back(r);
}

void ScriptedInput::Key(std::uint8_t code, bool down) {
  if (Device* d = First(kInputTypeKeyboard)) Feed(d->info.id, code, down ? kInputPressed : 0);
}

void ScriptedInput::MouseMove(int dx, int dy) {
  Device* d = First(kInputTypeMouse);
  if (!d) return;
  if (dx) Feed(d->info.id, kMouseX, static_cast<std::uint32_t>(dx));
  if (dy) Feed(d->info.id, kMouseY, static_cast<std::uint32_t>(dy));
}

void ScriptedInput::Wheel(int notches) {
  if (Device* d = First(kInputTypeMouse)) {
    Feed(d->info.id, kMouseWheel, static_cast<std::uint32_t>(notches * kWheelNotch));
  }
}

void ScriptedInput::Button(int button, bool down) {
  if (Device* d = First(kInputTypeMouse)) {
    Feed(d->info.id, kMouseButton0 + static_cast<std::uint32_t>(button), down ? kInputPressed : 0);
  }
}

bool ScriptedInput::Load() {
  if (loadFails) return false;
  loaded = true;
  return true;
}

std::unique_ptr<InputSession> ScriptedInput::Create() {
  if (createFails || !loaded) return nullptr;
  std::vector<Device*> devices;
  for (auto& d : m_Devices) devices.push_back(d.get());
  return std::make_unique<ScriptedSession>(*this, std::move(devices));
}

}  // namespace plat
