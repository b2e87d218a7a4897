#include "platform/input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

TEST(KeyCodes, KeysThatMatterHaveTheirCodes) {
  struct Case {
    SDL_Scancode scancode;
    std::uint8_t code;
  };
  const Case cases[] = {
      // The keys of the console and the screenshot.
      {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_LANG5, 0x94}, {SDL_SCANCODE_PRINTSCREEN, 0xB7},
      {SDL_SCANCODE_SYSREQ, 0xB7},
      // Keys the console and the windows handle.
      {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_BACKSPACE, 0x0E}, {SDL_SCANCODE_TAB, 0x0F},
      {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_SPACE, 0x39},
      {SDL_SCANCODE_HOME, 0xC7}, {SDL_SCANCODE_END, 0xCF}, {SDL_SCANCODE_PAGEUP, 0xC9},
      {SDL_SCANCODE_PAGEDOWN, 0xD1}, {SDL_SCANCODE_INSERT, 0xD2}, {SDL_SCANCODE_DELETE, 0xD3},
      {SDL_SCANCODE_UP, 0xC8}, {SDL_SCANCODE_DOWN, 0xD0}, {SDL_SCANCODE_LEFT, 0xCB},
      {SDL_SCANCODE_RIGHT, 0xCD},
      // Modifiers.
      {SDL_SCANCODE_LCTRL, 0x1D}, {SDL_SCANCODE_RCTRL, 0x9D}, {SDL_SCANCODE_LSHIFT, 0x2A},
      {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_LALT, 0x38}, {SDL_SCANCODE_RALT, 0xB8},
      {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_RGUI, 0xDC}, {SDL_SCANCODE_CAPSLOCK, 0x3A},
      // Punctuation of the main block.
      {SDL_SCANCODE_MINUS, 0x0C}, {SDL_SCANCODE_EQUALS, 0x0D}, {SDL_SCANCODE_LEFTBRACKET, 0x1A},
      {SDL_SCANCODE_RIGHTBRACKET, 0x1B}, {SDL_SCANCODE_SEMICOLON, 0x27},
      {SDL_SCANCODE_APOSTROPHE, 0x28}, {SDL_SCANCODE_BACKSLASH, 0x2B}, {SDL_SCANCODE_COMMA, 0x33},
      {SDL_SCANCODE_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, 0x35}, {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
      // Numeric keypad.
      {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_KP_DIVIDE, 0xB5},
      {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_KP_MINUS, 0x4A}, {SDL_SCANCODE_KP_PLUS, 0x4E},
      {SDL_SCANCODE_KP_PERIOD, 0x53}, {SDL_SCANCODE_KP_0, 0x52}, {SDL_SCANCODE_KP_1, 0x4F},
      {SDL_SCANCODE_KP_2, 0x50}, {SDL_SCANCODE_KP_3, 0x51}, {SDL_SCANCODE_KP_4, 0x4B},
      {SDL_SCANCODE_KP_5, 0x4C}, {SDL_SCANCODE_KP_6, 0x4D}, {SDL_SCANCODE_KP_7, 0x47},
      {SDL_SCANCODE_KP_8, 0x48}, {SDL_SCANCODE_KP_9, 0x49},
      // Function keys.
      {SDL_SCANCODE_F1, 0x3B}, {SDL_SCANCODE_F10, 0x44}, {SDL_SCANCODE_F11, 0x57},
      {SDL_SCANCODE_F12, 0x58}, {SDL_SCANCODE_F13, 0x64}, {SDL_SCANCODE_F15, 0x66},
      {SDL_SCANCODE_PAUSE, 0xC5}, {SDL_SCANCODE_SCROLLLOCK, 0x46},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::KeyCodeFromScancode(c.scancode), c.code) << SDL_GetScancodeName(c.scancode);
  }
}

TEST(KeyCodes, LettersDigitsAndFunctionKeysFollowTheKeyboardRows) {
  // Set 1 numbers the keys along the rows of the keyboard.
  const char* rows[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  const std::uint8_t first[] = {0x02, 0x10, 0x1E, 0x2C};
  for (int r = 0; r < 4; ++r) {
    for (int i = 0; rows[r][i]; ++i) {
      const char name[2] = {rows[r][i], 0};
      const SDL_Scancode s = SDL_GetScancodeFromName(name);
      ASSERT_NE(s, SDL_SCANCODE_UNKNOWN) << name;
      EXPECT_EQ(plat::KeyCodeFromScancode(s), first[r] + i) << name;
    }
  }
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(plat::KeyCodeFromScancode(SDL_SCANCODE_F1 + i), 0x3B + i) << "F" << i + 1;
  }
}

TEST(KeyCodes, EveryKeyHasItsOwnCodeAndUnknownKeysNone) {
  // Keys that share a code on purpose: the same key reported in two ways.
  const std::set<SDL_Scancode> aliases = {SDL_SCANCODE_NONUSHASH, SDL_SCANCODE_SYSREQ,
                                          SDL_SCANCODE_MENU, SDL_SCANCODE_AUDIOMUTE};
  std::map<int, SDL_Scancode> seen;
  int mapped = 0;
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
    const int code = plat::KeyCodeFromScancode(s);
    if (!code) continue;
    ++mapped;
    if (aliases.count(static_cast<SDL_Scancode>(s))) continue;
    auto [it, fresh] = seen.emplace(code, static_cast<SDL_Scancode>(s));
    EXPECT_TRUE(fresh) << SDL_GetScancodeName(static_cast<SDL_Scancode>(s)) << " and "
                       << SDL_GetScancodeName(it->second) << " share 0x" << std::hex << code;
  }
  EXPECT_GT(mapped, 120);
  EXPECT_EQ(plat::KeyCodeFromScancode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(plat::KeyCodeFromScancode(SDL_SCANCODE_KP_00), 0);
  EXPECT_EQ(plat::KeyCodeFromScancode(-1), 0);
  EXPECT_EQ(plat::KeyCodeFromScancode(SDL_NUM_SCANCODES), 0);
}

}  // namespace
