// Elsewhere the sound drivers keep quiet.
#include "sdl/sound/driver_noise.h"

namespace cw {

void silenceDriverNoise() {}

}  // namespace cw
