// POSIX systems hand a program its arguments as bytes and its streams as they are.
#include "host/process.h"

namespace cw {

std::vector<std::string> programArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void prepareStandardStreams() {}

}  // namespace cw
