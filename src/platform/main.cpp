// crateworks: the device in a real window.
#define SDL_MAIN_HANDLED
#include "host/data_files.h"
#include "host/key_file_store.h"
#include "platform/front_end.h"

int main() {
  cw::FrontEnd frontEnd({cw::dataDirectory(), cw::userKeyFilePath()});
  if (!frontEnd.open()) return 1;
  return frontEnd.run();
}
