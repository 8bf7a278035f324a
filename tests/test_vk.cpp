// Keys to Windows virtual-key codes, as the live window delivers them.
#include <gtest/gtest.h>

#include "sdl/input/vk.h"

namespace cw {
namespace {

int vk(SDL_Scancode sc, SDL_Keycode sym, bool numLock = true) {
  return virtualKeyCode(sc, sym, numLock);
}

TEST(VirtualKeys, LettersFollowTheLayoutsCharacter) {
  EXPECT_EQ(vk(SDL_SCANCODE_A, SDLK_a), 65);
  EXPECT_EQ(vk(SDL_SCANCODE_Z, SDLK_z), 90);
  EXPECT_EQ(vk(SDL_SCANCODE_P, SDLK_p), 80);
  // AZERTY: the key labelled A sits where US has Q, and M where US has the semicolon.
  EXPECT_EQ(vk(SDL_SCANCODE_Q, SDLK_a), 65);
  EXPECT_EQ(vk(SDL_SCANCODE_A, SDLK_q), 81);
  EXPECT_EQ(vk(SDL_SCANCODE_SEMICOLON, SDLK_m), 77);
  // A layout whose letter keys carry no Latin letter keeps the letter of the position.
  EXPECT_EQ(vk(SDL_SCANCODE_F, 0x430), 70);
}

TEST(VirtualKeys, AzertyDigitRowGivesDigitsNotTheCodesOfItsCharacters) {
  // On AZERTY the unshifted digit row gives & é " ' ( - è _ ç à; as numbers &, ", ', ( and -
  // would be Up, Page Down, Right, Down and Insert.
  const SDL_Keycode azerty[] = {'&', 0xE9, '"', '\'', '(', '-', 0xE8, '_', 0xE7, 0xE0};
  const SDL_Scancode row[] = {SDL_SCANCODE_1, SDL_SCANCODE_2, SDL_SCANCODE_3, SDL_SCANCODE_4,
                              SDL_SCANCODE_5, SDL_SCANCODE_6, SDL_SCANCODE_7, SDL_SCANCODE_8,
                              SDL_SCANCODE_9, SDL_SCANCODE_0};
  for (int i = 0; i < 10; ++i) {
    const int digit = i == 9 ? '0' : '1' + i;
    EXPECT_EQ(vk(row[i], azerty[i]), digit) << i;
    EXPECT_EQ(vk(row[i], '0' + (i + 1) % 10), digit) << i;  // US layout
  }
  // Punctuation keys by their US place, whatever they carry.
  EXPECT_EQ(vk(SDL_SCANCODE_MINUS, ')'), 189);
  EXPECT_EQ(vk(SDL_SCANCODE_LEFTBRACKET, '^'), 219);
}

TEST(VirtualKeys, NamedKeysAndBothSidesOfModifiers) {
  struct Case {
    SDL_Scancode sc;
    SDL_Keycode sym;
    int code;
  };
  const Case cases[] = {
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, 13},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13},
      {SDL_SCANCODE_TAB, SDLK_TAB, 9},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, 32},
      {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 8},
      {SDL_SCANCODE_INSERT, SDLK_INSERT, 45},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, 46},
      {SDL_SCANCODE_HOME, SDLK_HOME, 36},
      {SDL_SCANCODE_END, SDLK_END, 35},
      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 33},
      {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 34},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, 37},
      {SDL_SCANCODE_UP, SDLK_UP, 38},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},
      {SDL_SCANCODE_DOWN, SDLK_DOWN, 40},
      {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 16},
      {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 16},
      {SDL_SCANCODE_LCTRL, SDLK_LCTRL, 17},
      {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 17},
      {SDL_SCANCODE_LALT, SDLK_LALT, 18},
      {SDL_SCANCODE_RALT, SDLK_RALT, 18},
      {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 20},
      {SDL_SCANCODE_PAUSE, SDLK_PAUSE, 19},
      {SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, 44},
      {SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 93},
      {SDL_SCANCODE_LGUI, SDLK_LGUI, 91},
      {SDL_SCANCODE_RGUI, SDLK_RGUI, 92},
      {SDL_SCANCODE_F1, SDLK_F1, 112},
      {SDL_SCANCODE_F2, SDLK_F2, 113},
      {SDL_SCANCODE_F12, SDLK_F12, 123},
      {SDL_SCANCODE_F13, SDLK_F13, 124},
      {SDL_SCANCODE_F24, SDLK_F24, 135},
      {SDL_SCANCODE_SEMICOLON, ';', 186},
      {SDL_SCANCODE_EQUALS, '=', 187},
      {SDL_SCANCODE_COMMA, ',', 188},
      {SDL_SCANCODE_PERIOD, '.', 190},
      {SDL_SCANCODE_SLASH, '/', 191},
      {SDL_SCANCODE_GRAVE, '`', 192},
      {SDL_SCANCODE_BACKSLASH, '\\', 220},
      {SDL_SCANCODE_RIGHTBRACKET, ']', 221},
      {SDL_SCANCODE_APOSTROPHE, '\'', 222},
      {SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP, 0},  // no code: not delivered
  };
  for (const Case& c : cases) EXPECT_EQ(vk(c.sc, c.sym), c.code) << SDL_GetScancodeName(c.sc);
}

TEST(VirtualKeys, KeypadDependsOnNumLock) {
  const SDL_Scancode pad[] = {SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_1,     SDL_SCANCODE_KP_2,
                              SDL_SCANCODE_KP_3, SDL_SCANCODE_KP_4,     SDL_SCANCODE_KP_5,
                              SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_7,     SDL_SCANCODE_KP_8,
                              SDL_SCANCODE_KP_9, SDL_SCANCODE_KP_PERIOD};
  const int on[] = {96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 110};
  // Insert, End, Down, Page Down, Left, Clear, Right, Home, Up, Page Up, Delete.
  const int off[] = {45, 35, 40, 34, 37, 12, 39, 36, 38, 33, 46};
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(vk(pad[i], SDLK_KP_0 + i, true), on[i]) << i;
    EXPECT_EQ(vk(pad[i], SDLK_UNKNOWN, false), off[i]) << i;
  }
  // The operators do not depend on it.
  for (bool numLock : {true, false}) {
    EXPECT_EQ(vk(SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, numLock), 106);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, numLock), 107);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, numLock), 109);
    EXPECT_EQ(vk(SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, numLock), 111);
  }
}

}  // namespace
}  // namespace cw
