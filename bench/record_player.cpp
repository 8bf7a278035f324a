// Writes a replay scenario of a game played for a given virtual time by the autoplayer, for
// the replay benchmark: crateworks-record-player MS > game.scn
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "core/shell/device.h"
#include "support/good_player.h"
#include "support/null_world.h"

namespace {

constexpr std::uint64_t kSeed = 20261207;
constexpr cw::Millis kMoveSoundMs = 60;

}  // namespace

int main(int argc, char** argv) {
  const cw::Millis total = argc > 1 ? std::atoll(argv[1]) : 3'600'000;
  cw::NullWorld world(kSeed, kMoveSoundMs);
  cw::Device device(world.seams());
  std::cout << "seed " << kSeed << "\nsoundlength audio\\move.wav " << kMoveSoundMs << "\n";
  device.start();
  cw::Millis waited = 0;
  auto flush = [&] {
    if (waited) std::cout << "wait " << waited << '\n';
    waited = 0;
  };
  auto record = [&](int key) {
    flush();
    std::cout << "keydown " << key << '\n';
  };
  // The player presses its keys itself; the recorder writes each down first.
  cw::GoodPlayer player(device, record);
  auto startGameB = [&] {
    record(113);
    device.keyDown(113);
    std::cout << "keyup 113\n";
    device.keyUp(113);
  };
  startGameB();
  while (device.now() < total) {
    // A lost game is followed by a new one, so a game is in progress all along.
    if (device.game().state().GameRunning == 0) startGameB();
    waited += player.turn();
  }
  flush();
  std::cout << "print Score\nprint time\n";
  return 0;
}
