// The key file of a fuzz target lies in a folder of its own, removed when the fuzzer ends.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace cw::fuzz {

struct KeyFolder {
  explicit KeyFolder(std::string pattern) {
    pattern += "-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    folder = pattern;
    path = folder + "/crateworks.key";
  }
  ~KeyFolder() {
    ::unlink(path.c_str());
    ::unlink((path + ".new").c_str());
    ::rmdir(folder.c_str());
  }
  std::string folder;
  std::string path;
};

}  // namespace cw::fuzz
