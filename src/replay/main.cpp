// crateworks-replay: the game's core in virtual time, driven by a scenario.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "host/data_files.h"
#include "replay/scenario.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: crateworks-replay [SCENARIO]\n";
    return 2;
  }
  std::string text;
  if (argc == 2) {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
      std::cerr << "crateworks-replay: cannot read " << argv[1] << '\n';
      return 2;
    }
    text.assign(std::istreambuf_iterator<char>(in), {});
  } else {
    text.assign(std::istreambuf_iterator<char>(std::cin), {});
  }
  const cw::Result<cw::Script> script = cw::parseScenario(text);
  if (!script) {
    std::cerr << script.error() << '\n';
    return 2;
  }
  cw::ReplayOptions options;
  // Without the data folder the sounds hold nothing unless the scenario gives their lengths.
  if (auto dir = cw::dataDirectory()) options.dataDir = *dir;
  cw::ReplaySession session(options, std::cout);
  // A failure leaves the command done (the keys chosen hold though not saved): say so, go on.
  for (const cw::Command& c : *script)
    if (cw::Status s = session.execute(c); !s)
      std::cerr << "crateworks-replay: " << s.error() << '\n';
  return 0;
}
