// Fuzz target: any bytes as the key file. Whatever the file holds, the keys in force stay four
// whole values (the file's or the ones held before), the store reads back what lies on disk, and
// what the dialog would write back reads as the same keys.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/keyremap/key_file.h"
#include "core/shell/game_window.h"
#include "host/key_file_on_disk.h"
#include "support/null_world.h"
#include "support/temp_folder.h"

namespace {

// The key file lies in a folder of its own, removed when the fuzzer exits.
const std::string& keyPath() {
  static const cw::TempFolder folder("cw-fuzz-keys");
  static const std::string path = (folder / "crateworks.key").string();
  return path;
}

void check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const std::optional<cw::KeySet> keys = cw::parseKeyFile(bytes);
  if (keys) {
    for (int k : *keys) check(k >= 0 && k <= 65535);
    check(cw::parseKeyFile(cw::formatKeyFile(*keys)) == keys);
  }

  // The same bytes on disk, read by the store and taken by the game window at activation.
  const int fd = ::open(keyPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  check(fd >= 0);
  check(::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
  ::close(fd);
  cw::KeyFileOnDisk store(keyPath());
  const std::optional<std::string> read = store.read();
  check(read.has_value());
  check(*read == bytes.substr(0, read->size()) &&
        (read->size() == bytes.size() || read->size() >= 4096));

  cw::NullWorld world;
  cw::GameWindow game(world.seams(store));
  game.Form_Load();
  game.Form_Activate();
  const cw::GameState& s = game.state();
  const cw::KeySet held{s.KeyNandoUp, s.KeyNandoDown, s.KeyBepoUp, s.KeyBepoDown};
  const std::optional<cw::KeySet> fromRead = cw::parseKeyFile(*read);
  check(held == (fromRead ? *fromRead : cw::KeySet{81, 65, 80, 76}));
  return 0;
}
