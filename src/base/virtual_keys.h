// Keys as the game knows them: Windows virtual-key codes, the numbers a key press delivers and
// the key file stores, each under the name of its key.
#pragma once

namespace cw::vk {

inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Clear = 12;  // keypad 5 without NumLock
inline constexpr int Return = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Alt = 18;
inline constexpr int Pause = 19;
inline constexpr int CapsLock = 20;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int PrintScreen = 44;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
// The digit row and the letters are their characters: '0'..'9' and 'A'..'Z'.
inline constexpr int Digit0 = '0';
inline constexpr int A = 'A';
inline constexpr int LeftWindows = 91;
inline constexpr int RightWindows = 92;
inline constexpr int Menu = 93;
// The keypad with NumLock: Numpad0 + n for digit n.
inline constexpr int Numpad0 = 96;
inline constexpr int Multiply = 106;
inline constexpr int Add = 107;
inline constexpr int Subtract = 109;
inline constexpr int Decimal = 110;
inline constexpr int Divide = 111;
// F1 + n - 1 for Fn, up to F24.
inline constexpr int F1 = 112;
inline constexpr int F2 = 113;
inline constexpr int F3 = 114;
inline constexpr int F11 = 122;
inline constexpr int F12 = 123;
inline constexpr int F13 = 124;
inline constexpr int NumLock = 144;
inline constexpr int ScrollLock = 145;
inline constexpr int KeypadEquals = 146;
// Punctuation, named by where a US keyboard has it.
inline constexpr int Semicolon = 186;
inline constexpr int Equals = 187;
inline constexpr int Comma = 188;
inline constexpr int Minus = 189;
inline constexpr int Period = 190;
inline constexpr int Slash = 191;
inline constexpr int Grave = 192;
inline constexpr int LeftBracket = 219;
inline constexpr int Backslash = 220;
inline constexpr int RightBracket = 221;
inline constexpr int Apostrophe = 222;
inline constexpr int NonUsBackslash = 226;

}  // namespace cw::vk
