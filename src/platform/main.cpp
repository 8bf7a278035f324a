// crateworks: the device in a real window.
#define SDL_MAIN_HANDLED
#include <cstdio>
#include <string>

#include "host/command_line.h"
#include "host/data_files.h"
#include "host/key_file_store.h"
#include "platform/front_end.h"

namespace {

constexpr const char* kUsage = "Usage: crateworks [OPTION]...";

constexpr cw::OptionSpec kOptions[] = {
    {"help", 'h', "", "show this help and exit"},
    {"version", 0, "", "show the version and exit"},
};

void printHelp() {
  std::printf(
      "%s\n"
      "Plays Crateworks: two workers lift crates up a zig-zag of belts onto a truck.\n"
      "\n"
      "Options:\n%s"
      "\n"
      "Keys: F1/F2 or the casing's GAME A/GAME B start a game; Q/A (or Insert/Delete) move\n"
      "Nando up/down, P/L (or Page Up/Page Down) move Bepo; the TIME button chooses the four\n"
      "movement keys; Esc or the ACL button quits.\n"
      "\n"
      "The movement keys are kept in $XDG_CONFIG_HOME/crateworks/crateworks.key\n"
      "(~/.config/crateworks/crateworks.key by default).\n"
      "\n"
      "Exit status: 0 when the game ends normally, 1 when it cannot start (no display, missing\n"
      "pictures), 2 for a bad command line.\n",
      kUsage, cw::optionsHelp(kOptions).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  // Before SDL starts any thread: only the loop's wait lets a quit signal in, so that it wakes
  // the loop at once wherever the loop sleeps.
  cw::blockQuitSignals();
  const auto line = cw::parseCommandLine(kOptions, {argv + 1, static_cast<std::size_t>(argc - 1)});
  if (!line || !line->operands().empty()) {
    const std::string why =
        line ? "unexpected operand '" + line->operands()[0] + "'" : line.error();
    std::fprintf(stderr, "crateworks: %s\n%s\nTry 'crateworks --help' for more information.\n",
                 why.c_str(), kUsage);
    return 2;
  }
  if (line->has("help")) {
    printHelp();
    return 0;
  }
  if (line->has("version")) {
    std::printf("crateworks %s\n", CW_VERSION);
    return 0;
  }
  const cw::Result<std::string> data = cw::dataDirectory();
  if (!data) {
    std::fprintf(stderr, "crateworks: %s\n", data.error().c_str());
    return 1;
  }
  cw::FrontEnd frontEnd({*data, cw::userKeyFilePath(), std::nullopt});
  if (cw::Status opened = frontEnd.open(); !opened) {
    std::fprintf(stderr, "crateworks: %s\n", opened.error().c_str());
    return 1;
  }
  return frontEnd.run();
}
