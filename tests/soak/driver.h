// The soak's player: picks each command of a session from what the device shows, as a player
// of the session's profile would, records it as a replay line and plays it under the checks.
// Its session plumbing and key table are in driver.cpp, the choices of what to do in
// driver_inputs.cpp.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <string>

#include "replay/replay_session.h"
#include "soak.h"

namespace cw::soak {

class Driver {
 public:
  Driver(std::uint64_t seed, const Profile& profile, const std::string& keyFilePath,
         const LineSink& record, const InvariantChecker::Report& report);
  SessionResult run();

 private:
  const Device& device() const { return session_.device(); }
  const GameState& state() const { return device().game().state(); }

  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  Millis logUniform(double lo, double hi) {
    double x = std::uniform_real_distribution<double>(std::log(lo), std::log(hi))(rng_);
    return std::max<Millis>(1, static_cast<Millis>(std::exp(x)));
  }
  template <typename T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[uniform(0, static_cast<int>(N) - 1)];
  }

  // Records a replay line and plays it.
  void emit(const std::string& line);
  void wait(Millis ms) { emit("wait " + std::to_string(ms)); }
  void emitTime();

  // Which row of the game window's key table a code reaches: 0 Esc, 1 F1, 2 F2, then 3 Nando
  // up, 4 Nando down, 5 Bepo up, 6 Bepo down; -1 nothing. The first row that matches wins.
  int rowOf(int code) const;
  // A key that reaches `row`: the remapped one or its fixed alternative; -1 when a collision
  // has shadowed both.
  int keyFor(int row);
  int anyKey();  // any key but Esc

  // One decision, by what the device shows.
  void step();
  void startGame();
  void idleStep();
  void dialogStep();
  void playStep();
  void chaosStep();
  void steer(int pose, int hand, const std::array<int, 3>& handovers, int upRow, int downRow);
  std::optional<int> levelToDrop(const std::array<int, 3>& handovers) const;

  std::mt19937_64 rng_;
  const Profile& profile_;
  const LineSink& record_;
  ReplayOptions options_;
  std::ostream null_{nullptr};
  ReplaySession session_;
  InvariantChecker checker_;
  std::size_t commands_ = 0;
  int lastLoad_ = 0;
  bool sabotage_ = false;
};

}  // namespace cw::soak
