#include "host/report.h"

#include <cstdio>
#include <string>

namespace cw {
namespace {

std::string& name() {
  static std::string n = "crateworks";
  return n;
}

}  // namespace

void setProgramName(std::string_view n) {
  name() = std::string(n);
}

std::string_view programName() {
  return name();
}

void report(std::string_view message) {
  // One write, so that lines of two processes sharing a terminal do not mix.
  const std::string line = name() + ": " + std::string(message) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace cw
