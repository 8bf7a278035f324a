// WASI gives a program no working directory: wasi-libc starts it at "/". The runner
// (tools/wasm-replay) names the one it was started from in PWD, so that a relative name (the
// key file, a scenario) means the same file as it does to the native program. Linked into the
// wasm programs only; it runs before main.
#include <unistd.h>

#include <cstdlib>

namespace {

const bool kInWorkingDir = [] {
  const char* pwd = std::getenv("PWD");
  return pwd && *pwd == '/' && chdir(pwd) == 0;
}();

}  // namespace
