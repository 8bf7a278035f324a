#include "sdl/input/vk.h"

#include <array>

#include "base/virtual_keys.h"

namespace cw {
namespace {

// Keypad keys 1-9, 0 and the decimal point: with NumLock, and without it.
struct KeypadKey {
  SDL_Scancode scancode;
  int withNumLock;
  int without;
};
constexpr KeypadKey kKeypad[] = {
    {SDL_SCANCODE_KP_1, vk::Numpad0 + 1, vk::End},
    {SDL_SCANCODE_KP_2, vk::Numpad0 + 2, vk::Down},
    {SDL_SCANCODE_KP_3, vk::Numpad0 + 3, vk::PageDown},
    {SDL_SCANCODE_KP_4, vk::Numpad0 + 4, vk::Left},
    {SDL_SCANCODE_KP_5, vk::Numpad0 + 5, vk::Clear},
    {SDL_SCANCODE_KP_6, vk::Numpad0 + 6, vk::Right},
    {SDL_SCANCODE_KP_7, vk::Numpad0 + 7, vk::Home},
    {SDL_SCANCODE_KP_8, vk::Numpad0 + 8, vk::Up},
    {SDL_SCANCODE_KP_9, vk::Numpad0 + 9, vk::PageUp},
    {SDL_SCANCODE_KP_0, vk::Numpad0, vk::Insert},
    {SDL_SCANCODE_KP_PERIOD, vk::Decimal, vk::Delete},
};

// Every other key the game has a code for, by its place on the keyboard.
struct PlacedKey {
  SDL_Scancode scancode;
  int code;
};
constexpr PlacedKey kPlaced[] = {
    {SDL_SCANCODE_0, vk::Digit0},
    {SDL_SCANCODE_BACKSPACE, vk::Backspace},
    {SDL_SCANCODE_TAB, vk::Tab},
    {SDL_SCANCODE_RETURN, vk::Return},
    {SDL_SCANCODE_RETURN2, vk::Return},
    {SDL_SCANCODE_KP_ENTER, vk::Return},
    {SDL_SCANCODE_LSHIFT, vk::Shift},
    {SDL_SCANCODE_RSHIFT, vk::Shift},
    {SDL_SCANCODE_LCTRL, vk::Control},
    {SDL_SCANCODE_RCTRL, vk::Control},
    {SDL_SCANCODE_LALT, vk::Alt},
    {SDL_SCANCODE_RALT, vk::Alt},
    {SDL_SCANCODE_PAUSE, vk::Pause},
    {SDL_SCANCODE_CAPSLOCK, vk::CapsLock},
    {SDL_SCANCODE_ESCAPE, vk::Escape},
    {SDL_SCANCODE_SPACE, vk::Space},
    {SDL_SCANCODE_PAGEUP, vk::PageUp},
    {SDL_SCANCODE_PAGEDOWN, vk::PageDown},
    {SDL_SCANCODE_END, vk::End},
    {SDL_SCANCODE_HOME, vk::Home},
    {SDL_SCANCODE_LEFT, vk::Left},
    {SDL_SCANCODE_UP, vk::Up},
    {SDL_SCANCODE_RIGHT, vk::Right},
    {SDL_SCANCODE_DOWN, vk::Down},
    {SDL_SCANCODE_PRINTSCREEN, vk::PrintScreen},
    {SDL_SCANCODE_INSERT, vk::Insert},
    {SDL_SCANCODE_DELETE, vk::Delete},
    {SDL_SCANCODE_LGUI, vk::LeftWindows},
    {SDL_SCANCODE_RGUI, vk::RightWindows},
    {SDL_SCANCODE_APPLICATION, vk::Menu},
    {SDL_SCANCODE_KP_MULTIPLY, vk::Multiply},
    {SDL_SCANCODE_KP_PLUS, vk::Add},
    {SDL_SCANCODE_KP_MINUS, vk::Subtract},
    {SDL_SCANCODE_KP_DIVIDE, vk::Divide},
    {SDL_SCANCODE_NUMLOCKCLEAR, vk::NumLock},
    {SDL_SCANCODE_SCROLLLOCK, vk::ScrollLock},
    {SDL_SCANCODE_KP_EQUALS, vk::KeypadEquals},
    // Punctuation at its US-layout place.
    {SDL_SCANCODE_SEMICOLON, vk::Semicolon},
    {SDL_SCANCODE_EQUALS, vk::Equals},
    {SDL_SCANCODE_COMMA, vk::Comma},
    {SDL_SCANCODE_MINUS, vk::Minus},
    {SDL_SCANCODE_PERIOD, vk::Period},
    {SDL_SCANCODE_SLASH, vk::Slash},
    {SDL_SCANCODE_GRAVE, vk::Grave},
    {SDL_SCANCODE_LEFTBRACKET, vk::LeftBracket},
    {SDL_SCANCODE_BACKSLASH, vk::Backslash},
    {SDL_SCANCODE_NONUSHASH, vk::Backslash},
    {SDL_SCANCODE_RIGHTBRACKET, vk::RightBracket},
    {SDL_SCANCODE_APOSTROPHE, vk::Apostrophe},
    {SDL_SCANCODE_NONUSBACKSLASH, vk::NonUsBackslash},
};

// Each scancode's code, built once from the tables and the runs of letters, digits and F-keys.
const std::array<int, SDL_NUM_SCANCODES>& byPosition() {
  static const std::array<int, SDL_NUM_SCANCODES> codes = [] {
    std::array<int, SDL_NUM_SCANCODES> c{};
    for (int i = 0; i < 26; ++i) c[SDL_SCANCODE_A + i] = vk::A + i;
    // The digit row runs 1..9, 0 in scancode order.
    for (int i = 0; i < 9; ++i) c[SDL_SCANCODE_1 + i] = vk::Digit0 + 1 + i;
    for (int i = 0; i < 12; ++i) c[SDL_SCANCODE_F1 + i] = vk::F1 + i;
    for (int i = 0; i < 12; ++i) c[SDL_SCANCODE_F13 + i] = vk::F13 + i;
    for (const PlacedKey& k : kPlaced) c[k.scancode] = k.code;
    return c;
  }();
  return codes;
}

}  // namespace

int virtualKeyCode(SDL_Scancode scancode, SDL_Keycode sym, bool numLock) {
  // The only use of the character: a letter, wherever the layout puts it.
  if (sym >= SDLK_a && sym <= SDLK_z) return vk::A + (sym - SDLK_a);
  for (const KeypadKey& k : kKeypad)
    if (k.scancode == scancode) return numLock ? k.withNumLock : k.without;
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
  return byPosition()[scancode];
}

}  // namespace cw
