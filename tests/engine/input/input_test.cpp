#include "engine/input/input.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "platform/input.h"
#include "platform/os.h"
#include "platform/window.h"
#include "tests/support/temp_dir.h"

namespace {

using Events = std::vector<std::pair<int, int>>;

// The input manager on the scripted input back end, logging into a temporary folder.
class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto o = std::make_unique<plat::FixedOs>();
    o->dataHome = tmp.path() + "/xdg";
    plat::SetOs(std::move(o));
    vek::SetPathToken(vek::e_AppPath, tmp.path() + "/app");
    vek::CreateLogHolder(1024.0f, 768.0f);
    auto in = std::make_unique<plat::ScriptedInput>();
    input = in.get();
    plat::SetInputBackend(std::move(in));
    auto w = std::make_unique<plat::ScriptedWindow>();
    window = w.get();
    plat::SetWindow(std::move(w));
  }
  void TearDown() override {
    if (vek::g_pInput) vek::DestroyInput();
    vek::DestroyLogHolder();
    plat::SetInputBackend(nullptr);
    plat::SetWindow(nullptr);
    plat::SetOs(nullptr);
  }

  // The usual machine: one mouse, one keyboard, one joystick.
  void CreateStandard() {
    mouse = &input->AddDevice(plat::kInputTypeMouse, "mouse");
    keyboard = &input->AddDevice(plat::kInputTypeKeyboard, "keyboard");
    joystick = &input->AddDevice(plat::kInputTypeJoystick, "stick");
    ASSERT_TRUE(vek::CreateInput());
  }

  Events Poll() {
    vek::InputEventList list;
    EXPECT_TRUE(vek::g_pInput->Update(&list));
    Events out;
    for (const vek::InputEvent& e : list) out.emplace_back(e.type, e.param);
    return out;
  }

  static std::string Entry(const char* level, const char* sender, const char* text) {
    return std::string("<span class='sender'>") + sender + ": </span><span class='" + level + "'>" +
           text + "<br />\n</span>";
  }
  bool Logged(const char* level, const char* sender, const char* text) const {
    return vektest::ReadFileText(tmp.path() + "/app/_log.html").find(Entry(level, sender, text)) !=
           std::string::npos;
  }
  bool LoggedAny(const char* text) const {
    return vektest::ReadFileText(tmp.path() + "/app/_log.html").find(text) != std::string::npos;
  }

  vektest::TempDir tmp;
  plat::ScriptedInput* input = nullptr;
  plat::ScriptedWindow* window = nullptr;
  plat::ScriptedInput::Device* mouse = nullptr;
  plat::ScriptedInput::Device* keyboard = nullptr;
  plat::ScriptedInput::Device* joystick = nullptr;
};

TEST_F(InputTest, CreateAndDestroyAreSingletonOperations) {
  CreateStandard();
  EXPECT_TRUE(Logged("text", "CreateInput", "Ok"));
  EXPECT_FALSE(vek::CreateInput());
  EXPECT_TRUE(Logged("warning", "CreateInput", "input already exists"));
  EXPECT_TRUE(vek::DestroyInput());
  EXPECT_EQ(vek::g_pInput, nullptr);
  EXPECT_TRUE(Logged("text", "DestroyInput", "Ok"));
  EXPECT_FALSE(input->loaded);
  EXPECT_EQ(input->sessions, 0);
  EXPECT_FALSE(mouse->open || keyboard->open || joystick->open);
  EXPECT_FALSE(vek::DestroyInput());
  EXPECT_TRUE(Logged("warning", "DestroyInput", "Input does not exist"));
  EXPECT_FALSE(LoggedAny("Free: input manager invalid"));
}

TEST_F(InputTest, FailedStartLeavesAManagerWithoutDevices) {
  struct Case {
    void (*fail)(plat::ScriptedInput&);
    const char* message;
    bool serviceUp;  // the service came up before the failure
  };
  const Case cases[] = {
      {[](plat::ScriptedInput& i) { i.loadFails = true; }, "Init: dinput8.dll not found", false},
      {[](plat::ScriptedInput& i) { i.entryMissing = true; }, "Init: DirectInputCreate not found",
       false},
      {[](plat::ScriptedInput& i) { i.createFails = true; }, "Init: DirectInputCreate", false},
      {[](plat::ScriptedInput& i) { i.enumFails = true; }, "Init: EnumDevices", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    TearDown();
    SetUp();
    input->AddDevice(plat::kInputTypeKeyboard);
    input->Key(0x1E, true);
    c.fail(*input);
    EXPECT_FALSE(vek::CreateInput());
    EXPECT_TRUE(Logged("warning", "cInput", c.message));
    EXPECT_TRUE(Logged("warning", "CreateInput", "Init"));
    ASSERT_NE(vek::g_pInput, nullptr);
    EXPECT_TRUE(vek::g_pInput->GetKeyboards().empty());
    EXPECT_TRUE(Poll().empty());
    EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyDown, 0x1E), 0.0f);
    EXPECT_TRUE(vek::DestroyInput());
    EXPECT_EQ(LoggedAny("Free: input manager invalid"), !c.serviceUp);
    EXPECT_FALSE(input->loaded);
  }
}

TEST_F(InputTest, EnumerationCreatesTheKnownDeviceTypesOnly) {
  input->AddDevice(plat::kInputTypeGamepad);
  input->AddDevice(plat::kInputTypeMouse);
  input->AddDevice(plat::kInputTypeFlight);
  input->AddDevice(0x0113);  // the type's low byte decides
  input->AddDevice(plat::kInputTypeKeyboard).createFails = true;
  plat::ScriptedInput::Device& relative = input->AddDevice(plat::kInputTypeJoystick);
  relative.absoluteFails = true;
  input->AddDevice(plat::kInputTypeJoystick);
  ASSERT_TRUE(vek::CreateInput());
  EXPECT_EQ(vek::g_pInput->GetMice().size(), 1u);
  EXPECT_EQ(vek::g_pInput->GetKeyboards().size(), 1u);
  EXPECT_EQ(vek::g_pInput->GetJoysticks().size(), 1u);
  EXPECT_TRUE(Logged("warning", "cInputDevice", "constructor: CreateDevice"));
  EXPECT_TRUE(Logged("warning", "cKeyboard", "constructor: device invalid"));
  EXPECT_TRUE(Logged("warning", "cJoystick", "constructor: SetProperty(DIPROP_AXISMODE)"));
  EXPECT_FALSE(relative.open);  // released, not listed
  EXPECT_TRUE(input->Find(2)->acquired);
}

TEST_F(InputTest, MouseRecordsBecomeEvents) {
  CreateStandard();
  input->MouseMove(-1, 2);  // diagonal: one event per axis
  input->MouseMove(0, -1);
  input->Wheel(1);
  input->Wheel(-1);
  input->Button(1, true);
  input->Feed(mouse->info.id, plat::kMouseButton0 + 7, 0x80);  // last of the 8 stored buttons
  input->Feed(mouse->info.id, plat::kMouseButton0 + 8, 0x80);  // beyond them: nothing
  const Events expected = {{6, 0xFFFF}, {6, 0x20000}, {6, static_cast<int>(0xFFFF0000u)},
                           {7, 120},    {7, -120},    {4, 1},
                           {4, 7}};
  EXPECT_EQ(Poll(), expected);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_MouseDown, 1), 1.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_MouseUp, 0), 1.0f);
  input->Button(1, false);
  EXPECT_EQ(Poll(), (Events{{5, 1}}));
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_MouseDown, 1), 0.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_MouseDown, 8), 0.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_MouseUp, 8), 1.0f);
}

TEST_F(InputTest, DevicesArePolledMiceKeyboardsJoysticks) {
  CreateStandard();
  input->Feed(joystick->info.id, plat::kJoyButton0 + 3, 0x80);
  input->Key(0x1C, true);
  input->Button(0, true);
  EXPECT_EQ(Poll(), (Events{{4, 0}, {1, 0x1C}, {9, 3}}));
  EXPECT_TRUE(Poll().empty());
}

TEST_F(InputTest, KeyStatesFollowTheRecordsAlsoWithoutAList) {
  CreateStandard();
  input->Key(0x2A, true);
  input->Key(0xC8, true);
  EXPECT_EQ(Poll(), (Events{{1, 0x2A}, {1, 0xC8}}));
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyDown, 0xC8), 1.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyUp, 0xC8), 0.0f);
  // Released while the window was inactive: the update without a list keeps the state.
  input->Key(0xC8, false);
  input->Feed(keyboard->info.id, 0x2A, 0x100);  // only the low byte tells a press
  EXPECT_TRUE(vek::g_pInput->Update(nullptr));
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyDown, 0xC8), 0.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyUp, 0xC8), 1.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyDown, 0x2A), 0.0f);
  EXPECT_TRUE(Poll().empty());  // the buffers were emptied
  // Key codes past the table read as not pressed.
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyDown, 256), 0.0f);
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_KeyUp, 256), 1.0f);
}

TEST_F(InputTest, MoreThanSixteenRecordsAreSplitOverFrames) {
  CreateStandard();
  Events first, second;
  for (int i = 0; i < 20; ++i) input->Wheel(i + 1);
  for (int i = 0; i < 3; ++i) input->Key(static_cast<std::uint8_t>(0x10 + i), true);
  for (int i = 0; i < 16; ++i) first.emplace_back(7, (i + 1) * 120);
  for (int i = 0; i < 3; ++i) first.emplace_back(1, 0x10 + i);
  for (int i = 16; i < 20; ++i) second.emplace_back(7, (i + 1) * 120);
  EXPECT_EQ(Poll(), first);
  EXPECT_EQ(Poll(), second);
  EXPECT_TRUE(Poll().empty());
}

TEST_F(InputTest, FailingReadContributesNothing) {
  CreateStandard();
  mouse->readFails = true;
  input->Button(0, true);
  input->Key(0x39, true);
  EXPECT_EQ(Poll(), (Events{{1, 0x39}}));
  EXPECT_EQ(vek::g_pInput->GetState(vek::cInput::e_MouseDown, 0), 0.0f);
}

TEST_F(InputTest, JoystickRecordsAndStates) {
  CreateStandard();
  const std::uint32_t id = joystick->info.id;
  struct Case {
    std::uint32_t offset;
    std::uint32_t data;
    int type;  // 0: no event
    int param;
  };
  const Case cases[] = {
      {plat::kJoyButton0 + 31, 0x80, 9, 31},
      {plat::kJoyButton0, 0, 8, 0},
      {plat::kJoyX, 1000, 16, 1000},
      {plat::kJoyY, static_cast<std::uint32_t>(-1000), 17, -1000},
      {plat::kJoyZ, 500, 18, 500},
      {plat::kJoyRx, 7, 19, 7},
      {plat::kJoyRy, 8, 20, 8},
      {plat::kJoyRz, 9, 21, 9},
      {plat::kJoySlider0, 10, 23, 10},
      {plat::kJoySlider0 + 4, 11, 23, 11},
      {plat::kJoyHat0, 9000, 22, 9000},
      {plat::kJoyHat0 + 4, 0xFFFFFFFFu, 22, -1},
      {plat::kJoyHat0 + 8, 0, 0, 0},
      {plat::kJoyHat0 + 12, 0, 0, 0},
  };
  Events expected;
  for (const Case& c : cases) {
    input->Feed(id, c.offset, c.data);
    if (c.type) expected.emplace_back(c.type, c.param);
  }
  EXPECT_EQ(Poll(), expected);
  vek::cInput& in = *vek::g_pInput;
  EXPECT_EQ(in.GetState(vek::cInput::e_JoyDown, 31), 1.0f);
  EXPECT_EQ(in.GetState(vek::cInput::e_JoyUp, 0), 1.0f);
  EXPECT_EQ(in.GetState(vek::cInput::e_JoyUp, 32), 1.0f);
  EXPECT_FLOAT_EQ(in.GetState(vek::cInput::e_JoyX, 0), 1.0f);
  EXPECT_FLOAT_EQ(in.GetState(vek::cInput::e_JoyY, 0), -1.0f);
  EXPECT_FLOAT_EQ(in.GetState(vek::cInput::e_JoyZ, 0), 0.5f);
}

TEST_F(InputTest, JoystickRangeAndCentre) {
  struct Case {
    bool rangeFails;
    std::int32_t min, max;
    std::int32_t centre;  // where X starts
    std::uint32_t x;      // then X moves here
    float state;
  };
  const Case cases[] = {
      {true, 0, 0, 32767, 65535, 1.0f},  // the read failed: 0..65535 stays
      {false, -32768, 32767, 0, 0, 1.0f / 65535.0f},
      {false, -5, 0, -2, static_cast<std::uint32_t>(-5), -1.0f},  // truncated toward zero
      {false, 7, 7, 7, 7, 0.0f},                                  // an empty range reads as centred
      {false, INT32_MAX, INT32_MAX, INT32_MAX, 0, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.min);
    TearDown();
    SetUp();
    plat::ScriptedInput::Device& stick = input->AddDevice(plat::kInputTypeJoystick);
    stick.rangeFails = c.rangeFails;
    stick.min = c.min;
    stick.max = c.max;
    ASSERT_TRUE(vek::CreateInput());
    const vek::cJoystick& j = *vek::g_pInput->GetJoysticks().front();
    const std::int32_t min = c.rangeFails ? 0 : c.min, max = c.rangeFails ? 65535 : c.max;
    EXPECT_EQ(j.GetRangeMin(), min);
    EXPECT_EQ(j.GetRangeMax(), max);
    if (max != min) {
      EXPECT_FLOAT_EQ(
          vek::g_pInput->GetState(vek::cInput::e_JoyY, 0),
          static_cast<float>(((double(c.centre) - min) / (double(max) - min) - 0.5) * 2.0));
    }
    input->Feed(stick.info.id, plat::kJoyX, c.x);
    vek::g_pInput->Update(nullptr);
    EXPECT_NEAR(vek::g_pInput->GetState(vek::cInput::e_JoyX, 0), c.state, 1e-6);
  }
}

TEST_F(InputTest, MissingDevicesReadZeroAndUnknownKindsWarn) {
  input->AddDevice(plat::kInputTypeKeyboard);
  ASSERT_TRUE(vek::CreateInput());
  for (int kind : {4, 5, 8, 9, 16, 17, 18}) EXPECT_EQ(vek::g_pInput->GetState(kind, 0), 0.0f);
  EXPECT_FALSE(LoggedAny("GetState"));
  EXPECT_EQ(vek::g_pInput->GetState(3, 0), 0.0f);
  EXPECT_TRUE(Logged("warning", "cInput", "GetState: unknown state request"));
}

TEST_F(InputTest, CursorClientPosition) {
  window->cursorX = 300;
  window->cursorY = 200;
  std::int32_t x = -1, y = -1;
  EXPECT_TRUE(vek::GetCursorClientPos(&x, &y));
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 200);
  EXPECT_TRUE(vek::GetCursorClientPos(nullptr, &y));
  window->cursorKnown = false;
  x = y = -1;
  EXPECT_FALSE(vek::GetCursorClientPos(&x, &y));
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
}

}  // namespace
