// crateworks: the device in a real window.
#define SDL_MAIN_HANDLED
#include <cstdio>

#include "host/data_files.h"
#include "host/key_file_store.h"
#include "platform/front_end.h"

int main() {
  const cw::Result<std::string> data = cw::dataDirectory();
  if (!data) {
    std::fprintf(stderr, "crateworks: %s\n", data.error().c_str());
    return 1;
  }
  cw::FrontEnd frontEnd({*data, cw::userKeyFilePath()});
  if (cw::Status opened = frontEnd.open(); !opened) {
    std::fprintf(stderr, "crateworks: %s\n", opened.error().c_str());
    return 1;
  }
  return frontEnd.run();
}
