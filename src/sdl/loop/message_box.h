// A message box, for what a player must see even without a terminal: a start that failed, a
// recording that stopped being written, a playback's verdict.
#pragma once

#include <SDL.h>

#include <string>

namespace cw {

// A line as stderr says it ("cannot write the recording x: No space left") as a box says it:
// capitalised, and broken after its first colon.
std::string boxText(std::string line);

// Shows `text` in a box over `parent` (or alone) and waits for the player to close it, when there
// is a display to show it on; nothing otherwise (the line on stderr is still there).
void showMessageBox(Uint32 flags, const std::string& text, SDL_Window* parent = nullptr);

}  // namespace cw
