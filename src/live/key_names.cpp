#include "live/key_names.h"

#include <array>
#include <utility>

#include "base/virtual_keys.h"

namespace cw {
namespace {

constexpr std::pair<int, const char*> kNames[] = {
    {vk::Backspace, "Backspace"},
    {vk::Tab, "Tab"},
    {vk::Clear, "Clear"},
    {vk::Return, "Enter"},
    {vk::Shift, "Shift"},
    {vk::Control, "Ctrl"},
    {vk::Alt, "Alt"},
    {vk::Pause, "Pause"},
    {vk::CapsLock, "Caps Lock"},
    {vk::Escape, "Esc"},
    {vk::Space, "Space"},
    {vk::PageUp, "Page Up"},
    {vk::PageDown, "Page Down"},
    {vk::End, "End"},
    {vk::Home, "Home"},
    {vk::Left, "Left"},
    {vk::Up, "Up"},
    {vk::Right, "Right"},
    {vk::Down, "Down"},
    {vk::PrintScreen, "Print Screen"},
    {vk::Insert, "Insert"},
    {vk::Delete, "Delete"},
    {vk::LeftWindows, "Left Windows"},
    {vk::RightWindows, "Right Windows"},
    {vk::Menu, "Menu"},
    {vk::Multiply, "Num *"},
    {vk::Add, "Num +"},
    {vk::Subtract, "Num -"},
    {vk::Decimal, "Num ."},
    {vk::Divide, "Num /"},
    {vk::NumLock, "Num Lock"},
    {vk::ScrollLock, "Scroll Lock"},
    {vk::KeypadEquals, "Num ="},
    {vk::Semicolon, ";"},
    {vk::Equals, "="},
    {vk::Comma, ","},
    {vk::Minus, "-"},
    {vk::Period, "."},
    {vk::Slash, "/"},
    {vk::Grave, "`"},
    {vk::LeftBracket, "["},
    {vk::Backslash, "\\"},
    {vk::RightBracket, "]"},
    {vk::Apostrophe, "'"},
    {vk::NonUsBackslash, "\\ (beside Shift)"},
};

}  // namespace

std::string keyName(int code) {
  if (code >= vk::A && code < vk::A + 26) return std::string(1, static_cast<char>(code));
  if (code >= vk::Digit0 && code < vk::Digit0 + 10) return std::string(1, static_cast<char>(code));
  if (code >= vk::Numpad0 && code < vk::Numpad0 + 10)
    return "Num " + std::to_string(code - vk::Numpad0);
  if (code >= vk::F1 && code < vk::F1 + 24) return "F" + std::to_string(code - vk::F1 + 1);
  for (const auto& [c, name] : kNames)
    if (c == code) return name;
  return "key " + std::to_string(code);
}

}  // namespace cw
