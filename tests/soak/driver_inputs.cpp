// What the soak's player does at each decision: start games in every way there is, work the
// dialog, steer the workers (as a good player would, or not, by the profile), and now and then
// an odd input of any kind.
#include <sstream>

#include "core/shell/line_geometry.h"
#include "driver.h"
#include "support/autoplayer.h"

namespace cw::soak {

void Driver::startGame() {
  const char* buttons[] = {"left", "right", "middle"};
  switch (uniform(0, 5)) {
    case 0:
    case 1: {
      const int key = chance(0.5) ? 112 : 113;
      emit("keydown " + std::to_string(key));
      if (chance(0.7)) {
        wait(logUniform(1, 400));
        emit("keyup " + std::to_string(key));
      }
      break;
    }
    case 2:
    case 3: {
      const std::string button = chance(0.5) ? "ButtonA" : "ButtonB";
      emit("mousedown " + button + " " + pick(buttons));
      if (chance(0.7)) {
        wait(logUniform(1, 400));
        // Released over the other button now and then: the release goes where it is told.
        emit("mouseup " + (chance(0.8) ? button : std::string("ButtonA")));
      }
      break;
    }
    default:
      emit(chance(0.5) ? "click ButtonA" : "click ButtonB");
      break;
  }
}

void Driver::idleStep() {
  const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
  if (r < 0.08) return emit("click ButtonTime");
  if (r < 0.12) return emitTime();
  if (r < 0.55) return startGame();
  wait(logUniform(1, 120000));
}

void Driver::dialogStep() {
  const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
  if (r < 0.2) return emit("close");
  if (r < 0.4) return emit("click Label" + std::to_string(uniform(1, 4)));
  if (r < 0.75) {
    // Any key is taken, also Esc, F1, F2 and keys another row holds: collisions on purpose.
    const GameState& s = state();
    const int pool[] = {
        27,          112,           113, 45,   46, 33, 34, s.KeyNandoUp, s.KeyNandoDown,
        s.KeyBepoUp, s.KeyBepoDown, 0,   65535};
    const int code = chance(0.5) ? pick(pool) : (chance(0.7) ? uniform(65, 90) : uniform(0, 65535));
    return emit("keydown " + std::to_string(code));
  }
  if (r < 0.8) return emit("keyup " + std::to_string(anyKey()));
  if (r < 0.85) return emit("mousedown ButtonA");  // the game window is disabled
  wait(logUniform(1, 20000));
}

// The level a worker should leave on purpose: the one where a crate will be tested in the
// very tick that puts the eighth crate on the truck, after that crate (a higher slot), so
// that the truck fills and the miss follows in the same tick. None when there is none.
std::optional<int> Driver::levelToDrop(const std::array<int, 3>& handovers) const {
  const GameState& s = state();
  if (s.TruckLoad != kTruckFull - 1) return std::nullopt;
  int top = 0;
  for (int k = 1; k <= 6; ++k)
    if (s.CrateActive[k] == 1 && s.CratePos[k] == kLastStep) top = k;
  if (top == 0) return std::nullopt;
  for (int k = top + 1; k <= 6; ++k) {
    if (s.CrateActive[k] != 1) continue;
    for (std::size_t l = 0; l < handovers.size(); ++l)
      if (s.CratePos[k] == handovers[l]) return kHandoverLevels[l];
  }
  return std::nullopt;
}

void Driver::steer(int pose, int hand, const std::array<int, 3>& handovers, int upRow,
                   int downRow) {
  if (chance(profile_.skill)) {
    std::optional<int> want = wantedLevel(state(), handovers);
    if (const auto drop = sabotage_ ? levelToDrop(handovers) : std::nullopt)
      want = *drop == kBottomLevel ? kMiddleLevel : kBottomLevel;  // away from the crate
    if (!want) return;
    int row;
    const std::optional<int> level = levelOf(pose);
    if (!level) {
      // A break scene that runs with the line moving leaves a worker sitting or scolded while
      // crates come: down takes him back among the levels (7 gives 5, 8 gives 6, 9 gives 7).
      row = downRow;
    } else if (*want != *level) {
      row = *want > *level ? upRow : downRow;  // a move lowers lifted hands on the way
    } else if (!isLifted(pose) || hand == 1) {
      return;  // in place, or the hand timer will stand him there
    } else {
      // Hands up with no hand timer to lower them (a move down from 8): step off and back.
      row = pose == kTopLevel + 1 ? downRow : upRow;
    }
    const int key = keyFor(row);
    if (key >= 0) emit("keydown " + std::to_string(key));
  } else if (chance(0.3)) {
    const int key = keyFor(uniform(3, 6));
    if (key >= 0) emit("keydown " + std::to_string(key));
  }
}

void Driver::playStep() {
  // Whether to drop a crate near the end of this truck is decided once per truck.
  const int load = state().TruckLoad;
  if (load == kTruckFull - 1 && lastLoad_ != kTruckFull - 1) sabotage_ = chance(profile_.mischief);
  lastLoad_ = load;
  if (chance(0.5)) {
    steer(state().NandoPose, state().NandoHand, kNandoHandovers, 3, 4);
    steer(state().BepoPose, state().BepoHand, kBepoHandovers, 5, 6);
  } else {
    steer(state().BepoPose, state().BepoHand, kBepoHandovers, 5, 6);
    steer(state().NandoPose, state().NandoHand, kNandoHandovers, 3, 4);
  }
  const double think = static_cast<double>(profile_.think);
  if (chance(think / 1000.0 / profile_.attention))
    return wait(logUniform(1000, 300000));  // the player looks away
  wait(std::max<Millis>(1, static_cast<Millis>(think * (0.3 + 1.7 * chance(0.5)))));
}

void Driver::chaosStep() {
  const char* buttons[] = {"left", "right", "middle"};
  const char* others[] = {"Camion", "Omino", "Crash1", "IMGameA", "Ora", "duepunti", "Vuoto"};
  switch (uniform(0, 9)) {
    case 0:
      return emit("keydown " + std::to_string(anyKey()));
    case 1:
      return emit("keyup " + std::to_string(anyKey()));
    case 2:
      return emit(std::string(chance(0.5) ? "mousedown " : "mouseup ") +
                  (chance(0.5) ? "ButtonA " : "ButtonB ") + pick(buttons));
    case 3:
      return emit("click ButtonTime");
    case 4:
      return emit(std::string(chance(0.5) ? "click " : "mousedown ") + pick(others));
    case 5: {
      std::string line = "draw";
      const int n = uniform(1, 6);
      for (int i = 0; i < n; ++i) {
        const double v = chance(0.3) ? pick({0.0, 0.0833, 0.5, 0.999999})
                                     : std::uniform_real_distribution<double>(0, 1)(rng_);
        std::ostringstream text;
        text.precision(6);
        text << std::fixed << v;
        line += " " + text.str();
      }
      return emit(line);
    }
    case 6:
      return emitTime();
    case 7:
      return startGame();
    default:
      return wait(logUniform(1, 300000));
  }
}

}  // namespace cw::soak
