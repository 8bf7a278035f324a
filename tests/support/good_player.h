// The autoplayer's hands on a device: the one good player that drives long games in tests and
// in the benchmark's recorder.
#pragma once

#include <functional>
#include <utility>

#include "core/shell/device.h"

namespace cw {

class GoodPlayer {
 public:
  static constexpr Millis kDecisionMs = 20;  // how often it looks at the line and decides
  using Pressed = std::function<void(int key)>;

  // `pressed`, when given, hears of each key just before the device takes it.
  explicit GoodPlayer(Device& device, Pressed pressed = nullptr)
      : device_(device), pressed_(std::move(pressed)) {}

  // Presses what the line asks for now, at most one move per worker as a player's two hands
  // would, then lets a decision's time pass. Returns how far the clock ran after the keys.
  Millis turn();

 private:
  Device& device_;
  Pressed pressed_;
};

}  // namespace cw
