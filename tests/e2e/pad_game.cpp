// The game with a virtual game controller in its own process, for the end-to-end session: the
// real window, loop, pads and input, with the pad's buttons and sticks set from lines read on
// standard input. The loop wakes on standard input as it wakes on a real pad's device, and
// each line reaches SDL as a real device's report would, to be read when the loop pumps.
//
//   pad_game DATA_DIR <COMMANDS
//
// Commands, one a line: plug | unplug | press BUTTON | release BUTTON | axis AXIS VALUE, with
// SDL's names for buttons and axes (dpup, dpdown, a, y, start, back, lefty, righty, ...).
#define SDL_MAIN_HANDLED
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include <cstdio>
#include <sstream>
#include <string>

#include "host/key_file_on_disk.h"
#include "sdl/loop/front_end.h"
#include "support/virtual_pad.h"

namespace {

class StdinPad final : public cw::WakeSource {
 public:
  void wakeFds(std::vector<int>& fds) const override {
    if (open_) fds.push_back(STDIN_FILENO);
  }
  void woken(int, short) override {
    char buffer[256];
    for (;;) {
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) {
        if (n == 0) open_ = false;  // end of the commands
        break;
      }
      pending_.append(buffer, static_cast<std::size_t>(n));
    }
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      run(pending_.substr(0, end));
      pending_.erase(0, end + 1);
      // Each command becomes its own events, as each report of a device would.
      SDL_JoystickUpdate();
    }
  }

 private:
  void run(const std::string& line) {
    std::istringstream in(line);
    std::string verb, name;
    int value = 0;
    in >> verb >> name >> value;
    if (verb == "plug" && !joystick_) {
      joystick_ = cw::plugVirtualPad("virtual pad");
    } else if (verb == "unplug" && joystick_) {
      cw::unplugVirtualPad(joystick_);
    } else if ((verb == "press" || verb == "release") && joystick_) {
      SDL_JoystickSetVirtualButton(joystick_, SDL_GameControllerGetButtonFromString(name.c_str()),
                                   verb == "press" ? 1 : 0);
    } else if (verb == "axis" && joystick_) {
      SDL_JoystickSetVirtualAxis(joystick_, SDL_GameControllerGetAxisFromString(name.c_str()),
                                 static_cast<Sint16>(value));
    } else {
      std::fprintf(stderr, "pad_game: cannot do '%s'\n", line.c_str());
    }
  }

  bool open_ = true;
  std::string pending_;
  SDL_Joystick* joystick_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pad_game DATA_DIR <COMMANDS\n");
    return 2;
  }
  ::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
  StdinPad pad;
  cw::FrontEndOptions options;
  options.dataDir = argv[1];
  options.keyFilePath = cw::userKeyFilePath();
  cw::FrontEnd frontEnd(std::move(options));
  if (cw::Status opened = frontEnd.open(); !opened) {
    std::fprintf(stderr, "pad_game: %s\n", opened.error().c_str());
    return 1;
  }
  frontEnd.watch(pad);
  return frontEnd.run();
}
