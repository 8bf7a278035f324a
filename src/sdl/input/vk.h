// Keys as the game knows them: Windows virtual-key codes.
#pragma once

#include <SDL_keyboard.h>

namespace cw {

// The virtual-key code of a key, or 0 for a key the game has no code for. Letters come from the
// key's character under the user's layout (the key labelled A gives 65 on AZERTY too); every
// other key from its position, since the characters of punctuation keys differ per layout and
// their values would collide with codes such as the arrows. Left and right Shift, Ctrl and Alt
// give the generic codes. The keypad gives digits with `numLock`, navigation codes without.
int virtualKeyCode(SDL_Scancode scancode, SDL_Keycode sym, bool numLock);

}  // namespace cw
