// The shape of a session, drawn from its seed: how well and how fast the player plays, how
// often odd inputs come, how long the move sound holds, and the key file it starts with.
#include <cmath>
#include <random>

#include "core/keyremap/key_file.h"
#include "soak.h"

namespace cw::soak {

Profile drawProfile(std::uint64_t seed) {
  std::mt19937_64 rng(seed ^ 0x9E3779B97F4A7C15ull);
  auto unit = [&rng] { return std::uniform_real_distribution<double>(0, 1)(rng); };
  Profile p;
  p.length = static_cast<Millis>(std::exp(std::log(120000.0) + unit() * std::log(30.0)));
  const Millis sounds[] = {0, 1, 55, 120, 250, 499, 500, 750, 1000, 2500, 7000};
  const double kind = unit();
  if (kind < 0.4) {
    // A good player: games run long, trucks fill, double points come, scores pass 1000.
    p.skill = unit() < 0.5 ? 1.0 : 0.999;
    p.think = 10 + static_cast<Millis>(unit() * 50);
    p.chaos = 0.002 + unit() * 0.02;
    p.moveSound = sounds[rng() % 5];
    p.mischief = unit() < 0.5 ? 0.5 : 0.0;
    p.attention = 1800;
  } else if (kind < 0.7) {
    p.skill = 0.8 + unit() * 0.19;
    p.think = 20 + static_cast<Millis>(unit() * 200);
    p.chaos = 0.05 + unit() * 0.5;
    p.moveSound = sounds[rng() % 11];
    p.mischief = unit() * 0.2;
    p.attention = 60;
  } else {
    p.skill = unit() * 0.6;
    p.think = 10 + static_cast<Millis>(unit() * 400);
    p.chaos = 1 + unit() * 4;
    p.attention = 10;
    p.moveSound = sounds[rng() % 11];
  }
  p.quitAtEnd = unit() < 0.1;
  const double k = unit();
  if (k < 0.2) {
    // A valid file, its keys often colliding with each other or with Esc, F1 and F2.
    const int pool[] = {81, 65, 80, 76, 27, 112, 113, 45, 46, 33, 34, 0, 65535, 38, 40, 75};
    KeySet keys;
    for (int& key : keys) key = pool[rng() % 16];
    p.keyFile = formatKeyFile(keys);
  } else if (k < 0.3) {
    std::string junk(rng() % 64, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    const std::string kinds[] = {junk,
                                 "81\n65\n",
                                 "81\r\n65\r\n80\r\n76",
                                 "-1\n2\n3\n4\n",
                                 std::string(10000, '9'),
                                 "70\n88\n38\n40\ntrailing words\n"};
    p.keyFile = kinds[rng() % 6];
  }
  return p;
}

}  // namespace cw::soak
