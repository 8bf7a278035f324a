// What a sound driver of the system says on its own on stderr while SDL looks for a device,
// kept quiet: lines a player cannot act on, where our one line says what matters. One file per
// operating system.
#pragma once

namespace cw {

// Before SDL first opens an audio device.
void silenceDriverNoise();

}  // namespace cw
