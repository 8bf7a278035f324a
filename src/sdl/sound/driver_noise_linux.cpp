#include <dlfcn.h>

#include "sdl/sound/driver_noise.h"

namespace cw {
namespace {

// libasound's error handler takes printf-style arguments.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

// With no sound card libasound writes its own errors on stderr while SDL looks for a device,
// several lines a player cannot act on; our one line says what matters. SDL loads libasound
// itself; loaded here first, the same library takes a handler that says nothing. It stays
// loaded: libasound must keep the handler while SDL uses it.
void silenceDriverNoise() {
  static const bool done = [] {
    void* lib = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return false;
    using SetHandler = int (*)(AlsaErrorHandler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(lib, "snd_lib_error_set_handler")))
      set(&quietAlsa);
    return true;
  }();
  (void)done;
}

}  // namespace cw
