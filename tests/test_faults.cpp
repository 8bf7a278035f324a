// Faults of the disk that the game must live through: key files that are missing, broken, huge,
// not files at all, unreadable or unwritable, and sounds that are missing, empty, cut short or
// not sounds. The keys in force stay four whole values, the key file on disk stays whole, and
// the game plays on; a sound that cannot play holds nothing.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <random>

#include "core/keyremap/key_file.h"
#include "core/shell/device.h"
#include "core/shell/game_window.h"
#include "core/shell/line_geometry.h"
#include "host/key_file_on_disk.h"
#include "replay/replay_session.h"
#include "support/null_world.h"
#include "support/temp_folder.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

const KeySet kDefaults{81, 65, 80, 76};

KeySet keysOf(const Device& d) {
  const GameState& s = d.game().state();
  return {s.KeyNandoUp, s.KeyNandoDown, s.KeyBepoUp, s.KeyBepoDown};
}

// Runs `f` on another thread; if it has not returned after two seconds, calls `unblock` (so that
// the test can end) and fails: the game must never wait on the disk.
template <typename F>
auto withoutHanging(F f, const std::function<void()>& unblock, const std::string& what) {
  auto result = std::async(std::launch::async, f);
  if (result.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
    ADD_FAILURE() << what << " hung";
    unblock();
  }
  return result.get();
}

// Opens and closes the writing end of a FIFO, which lets a reader blocked on it go.
void releaseFifo(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY);
  if (fd >= 0) ::close(fd);
}

class DiskFaults : public ::testing::Test {
 protected:
  std::string keyPath() const { return (dir_ / "crateworks.key").string(); }
  void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  TempFolder dir_{"cw-faults"};
};

TEST_F(DiskFaults, AKeyFileThatCannotBeTakenLeavesTheKeysAsTheyWere) {
  std::mt19937 bytes(7);
  std::string garbage(3000, '\0');
  for (char& c : garbage) c = static_cast<char>(bytes());
  std::string junkLines;
  for (int i = 0; i < 10000; ++i) junkLines += "line " + std::to_string(i) + "\r\n";
  const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> faults = {
      {"missing", [](const std::string&) {}},
      {"empty", [this](const std::string& p) { write(p, ""); }},
      {"binary garbage", [&](const std::string& p) { write(p, garbage); }},
      {"one enormous line", [this](const std::string& p) { write(p, std::string(5 << 20, '8')); }},
      {"ten thousand lines of words", [&](const std::string& p) { write(p, junkLines); }},
      {"three lines", [this](const std::string& p) { write(p, "70\r\n88\r\n38\r\n"); }},
      {"a folder", [](const std::string& p) { fs::create_directories(p + "/inside"); }},
      {"a dangling link", [](const std::string& p) { fs::create_symlink(p + ".gone", p); }},
      {"a link to itself", [](const std::string& p) { fs::create_symlink(p, p); }},
      // Reading the process's own memory at offset 0 fails with EIO, for root as well.
      {"a file that fails to read",
       [](const std::string& p) { fs::create_symlink("/proc/self/mem", p); }},
      // A FIFO with no writer: opening it to read would wait for one forever.
      {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
  };
  for (const auto& [what, make] : faults) {
    SCOPED_TRACE(what);
    fs::remove_all(keyPath());
    make(keyPath());
    KeySet held = withoutHanging(
        [this] {
          NullWorld world;
          KeyFileOnDisk store(keyPath());
          Device d(world.seams(store));
          d.start();
          return keysOf(d);
        },
        [this] { releaseFifo(keyPath()); }, "start-up with " + what);
    EXPECT_EQ(held, kDefaults);
  }
}

TEST_F(DiskFaults, AnUnreadableKeyFileIsIgnored) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads a file whatever its mode";
  write(keyPath(), "70\r\n88\r\n38\r\n40\r\n");
  fs::permissions(keyPath(), fs::perms::none);
  KeyFileOnDisk store(keyPath());
  EXPECT_FALSE(store.read().has_value());
}

TEST_F(DiskFaults, TenThousandLinesGiveTheKeysOfTheFirstFour) {
  std::string text = "70\r\n88\r\n38\r\n40\r\n";
  for (int i = 0; i < 9996; ++i) text += "1\r\n";
  write(keyPath(), text);
  NullWorld world;
  KeyFileOnDisk store(keyPath());
  Device d(world.seams(store));
  d.start();
  EXPECT_EQ(keysOf(d), (KeySet{70, 88, 38, 40}));
}

// Opens the dialog, sets Bepo's up key to K and closes it, where the key file cannot be written.
void chooseBepoUpK(Device& d) {
  d.click(Group::ButtonTime);
  ASSERT_NE(d.dialog(), nullptr);
  d.clickLabel(3);
  d.keyDown(75);
  EXPECT_FALSE(d.closeDialog().ok()) << "the key file cannot be written here";
}

TEST_F(DiskFaults, AFullDiskKeepsTheOldFileWholeAndTheChosenKeysInForce) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string old = "70\r\n88\r\n38\r\n40\r\n";
  write(keyPath(), old);
  fs::create_symlink("/dev/full", keyPath() + ".new");  // every write there fails: ENOSPC
  NullWorld world;
  KeyFileOnDisk store(keyPath());
  Device d(world.seams(store));
  d.start();
  ASSERT_EQ(keysOf(d), (KeySet{70, 88, 38, 40}));
  chooseBepoUpK(d);
  EXPECT_EQ(contents(keyPath()), old);
  EXPECT_EQ(keysOf(d), (KeySet{70, 88, 75, 40}));
  EXPECT_TRUE(d.windows().gameShown && d.windows().gameEnabled);
  // The game goes on with them: K moves Bepo up.
  d.keyDown(112);
  d.keyDown(75);
  EXPECT_EQ(d.game().state().BepoPose, kTopLevel);
}

TEST_F(DiskFaults, AnUnwritableFolderKeepsTheChosenKeysInForce) {
  // Nobody, root included, can make a file in /proc/self.
  const std::string path = "/proc/self/crateworks.key";
  NullWorld world;
  KeyFileOnDisk store(path);
  Device d(world.seams(store));
  d.start();
  EXPECT_EQ(keysOf(d), kDefaults);
  chooseBepoUpK(d);
  EXPECT_EQ(keysOf(d), (KeySet{81, 65, 75, 76}));
  EXPECT_FALSE(fs::exists(path));
}

// ---------------------------------------------------------------- sounds

void put32(std::string& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i));
}

// A 16-bit mono PCM WAV at 8000 Hz whose data chunk claims `claimed` bytes and holds `present`.
std::string wav(std::uint32_t claimed, std::uint32_t present) {
  std::string b = "RIFF";
  put32(b, 36 + claimed);
  b += "WAVEfmt ";
  put32(b, 16);
  b += std::string("\x01\x00\x01\x00", 4);
  put32(b, 8000);
  put32(b, 16000);
  b += std::string("\x02\x00\x10\x00", 4);
  b += "data";
  put32(b, claimed);
  b += std::string(present, '\0');
  return b;
}

// What a game start by F1 and one move of Bepo hold, with `make` putting the move sound in place.
std::pair<Millis, int> startAndMove(const fs::path& dataDir, const std::string& keyPath) {
  ReplayOptions options{dataDir.string(), keyPath};
  std::ostream null(nullptr);
  ReplaySession session(options, null);
  for (const char* line : {"keydown 112", "keydown 80"})
    EXPECT_TRUE(session.execute(parseScenario(line)->at(0)).ok());
  return {session.device().now(), session.device().game().state().BepoPose};
}

TEST_F(DiskFaults, ASoundThatCannotPlayHoldsNothingAndTheGamePlaysOn) {
  const fs::path audio = dir_ / "audio";
  const std::string move = (audio / "move.wav").string();
  std::string cut = wav(16000, 16000);
  cut.resize(30);  // inside the format chunk
  const std::vector<std::pair<std::string, std::function<void()>>> faults = {
      {"missing", [] {}},
      {"empty", [&] { write(move, ""); }},
      {"not a WAV", [&] { write(move, "this is a text file, not a sound\n"); }},
      {"a header cut short", [&] { write(move, cut); }},
      {"no samples", [&] { write(move, wav(0, 0)); }},
      {"a folder", [&] { fs::create_directories(move + "/x"); }},
      {"endless zeros", [&] { fs::create_symlink("/dev/zero", move); }},
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo(move.c_str(), 0600), 0); }},
  };
  for (const auto& [what, make] : faults) {
    SCOPED_TRACE(what);
    fs::remove_all(audio);
    fs::create_directories(audio);
    make();
    auto [held, pose] = withoutHanging([&] { return startAndMove(dir_.path(), keyPath()); },
                                       [&] { releaseFifo(move); }, "a move sound that is " + what);
    EXPECT_EQ(held, 0);
    EXPECT_EQ(pose, kTopLevel);  // started, and Bepo moved up from the middle level
  }
}

TEST_F(DiskFaults, ASoundCutShortHoldsForWhatItHolds) {
  fs::create_directories(dir_ / "audio");
  write((dir_ / "audio" / "move.wav").string(), wav(16000, 1600));  // claims 1 s, holds 100 ms
  auto [held, pose] = startAndMove(dir_.path(), keyPath());
  EXPECT_EQ(held, 200);  // the start sound and the move sound
  EXPECT_EQ(pose, kTopLevel);
}

}  // namespace
}  // namespace cw

namespace cw {
namespace {

// A recording cut at any byte (a copy stopped, a disk full, a crash mid-write): either every line
// left parses and the replay plays them all, or the parser names the cut line, the last one, and
// says the file ends in it. Never a crash, never a line before the cut blamed.
TEST_F(DiskFaults, ARecordingCutAnywhereReplaysUpToTheCutOrSaysWhereItIsCut) {
  const std::string whole = contents(CW_SOURCE_DIR "/tests/scenarios/recorded_key_dialog_game.scn");
  ASSERT_GT(whole.size(), 1000u);
  const ReplayOptions options{std::string(), keyPath()};
  int refused = 0;
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    const std::string text = whole.substr(0, cut);
    const Result<Script> script = parseScenario(text);
    if (!script) {
      ++refused;
      const int lastLine = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
      EXPECT_EQ(script.error().rfind("line " + std::to_string(lastLine) + ": ", 0), 0u)
          << cut << ": " << script.error();
      EXPECT_NE(script.error().find("cut short"), std::string::npos) << cut;
      continue;
    }
    std::ostringstream out;
    ReplaySession session(options, out);
    for (const Command& c : *script) EXPECT_TRUE(session.execute(c)) << cut;
    // What made it whole before the cut replays as it was: only a value cut short may differ.
    const bool midLine = !text.empty() && text.back() != '\n';
    EXPECT_LE(session.differences(), midLine ? 1 : 0) << cut << ": " << session.lastDifference();
  }
  EXPECT_GT(refused, 10);
}

}  // namespace
}  // namespace cw
