// A device whose game a test may change behind the handlers' backs: the way to plant a state
// that no input can reach.
#pragma once

#include "core/shell/device.h"

namespace cw {

struct PlantableDevice : Device {
  using Device::Device;
  GameWindow& plantable() { return mutableGame(); }
};

}  // namespace cw
