#include "platform/vk.h"

namespace cw {
namespace {

// Keypad keys 1-9, 0 and the decimal point: with NumLock, and without it.
struct PadKey {
  SDL_Scancode scancode;
  int withNumLock;
  int without;
};
constexpr PadKey kPad[] = {
    {SDL_SCANCODE_KP_1, 97, 35},  {SDL_SCANCODE_KP_2, 98, 40},       {SDL_SCANCODE_KP_3, 99, 34},
    {SDL_SCANCODE_KP_4, 100, 37}, {SDL_SCANCODE_KP_5, 101, 12},      {SDL_SCANCODE_KP_6, 102, 39},
    {SDL_SCANCODE_KP_7, 103, 36}, {SDL_SCANCODE_KP_8, 104, 38},      {SDL_SCANCODE_KP_9, 105, 33},
    {SDL_SCANCODE_KP_0, 96, 45},  {SDL_SCANCODE_KP_PERIOD, 110, 46},
};

int byPosition(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  // The digit row runs 1..9, 0 in scancode order.
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 112 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return 124 + (sc - SDL_SCANCODE_F13);
  switch (sc) {
    case SDL_SCANCODE_0:
      return '0';
    case SDL_SCANCODE_BACKSPACE:
      return 8;
    case SDL_SCANCODE_TAB:
      return 9;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER:
      return 13;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return 16;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return 17;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return 18;
    case SDL_SCANCODE_PAUSE:
      return 19;
    case SDL_SCANCODE_CAPSLOCK:
      return 20;
    case SDL_SCANCODE_ESCAPE:
      return 27;
    case SDL_SCANCODE_SPACE:
      return 32;
    case SDL_SCANCODE_PAGEUP:
      return 33;
    case SDL_SCANCODE_PAGEDOWN:
      return 34;
    case SDL_SCANCODE_END:
      return 35;
    case SDL_SCANCODE_HOME:
      return 36;
    case SDL_SCANCODE_LEFT:
      return 37;
    case SDL_SCANCODE_UP:
      return 38;
    case SDL_SCANCODE_RIGHT:
      return 39;
    case SDL_SCANCODE_DOWN:
      return 40;
    case SDL_SCANCODE_PRINTSCREEN:
      return 44;
    case SDL_SCANCODE_INSERT:
      return 45;
    case SDL_SCANCODE_DELETE:
      return 46;
    case SDL_SCANCODE_LGUI:
      return 91;
    case SDL_SCANCODE_RGUI:
      return 92;
    case SDL_SCANCODE_APPLICATION:
      return 93;
    case SDL_SCANCODE_KP_MULTIPLY:
      return 106;
    case SDL_SCANCODE_KP_PLUS:
      return 107;
    case SDL_SCANCODE_KP_MINUS:
      return 109;
    case SDL_SCANCODE_KP_DIVIDE:
      return 111;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return 144;
    case SDL_SCANCODE_SCROLLLOCK:
      return 145;
    case SDL_SCANCODE_KP_EQUALS:
      return 146;
    // Punctuation at its US-layout place.
    case SDL_SCANCODE_SEMICOLON:
      return 186;
    case SDL_SCANCODE_EQUALS:
      return 187;
    case SDL_SCANCODE_COMMA:
      return 188;
    case SDL_SCANCODE_MINUS:
      return 189;
    case SDL_SCANCODE_PERIOD:
      return 190;
    case SDL_SCANCODE_SLASH:
      return 191;
    case SDL_SCANCODE_GRAVE:
      return 192;
    case SDL_SCANCODE_LEFTBRACKET:
      return 219;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
      return 220;
    case SDL_SCANCODE_RIGHTBRACKET:
      return 221;
    case SDL_SCANCODE_APOSTROPHE:
      return 222;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return 226;
    default:
      return 0;
  }
}

}  // namespace

int virtualKeyCode(SDL_Scancode scancode, SDL_Keycode sym, bool numLock) {
  // The only use of the character: a letter, wherever the layout puts it.
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
  for (const PadKey& k : kPad)
    if (k.scancode == scancode) return numLock ? k.withNumLock : k.without;
  return byPosition(scancode);
}

}  // namespace cw
