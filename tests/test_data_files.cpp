// Sound names as the game gives them, and sound lengths from WAV headers.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "host/data_files.h"
#include "support/temp_folder.h"

namespace cw {
namespace {

void put32(std::vector<char>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
}
void put16(std::vector<char>& b, std::uint16_t v) {
  for (int i = 0; i < 2; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
}

// A PCM WAV header for `dataBytes` bytes at `rate` Hz, 16-bit mono, with `extra` chunk first.
std::vector<char> wav(std::uint32_t rate, std::uint32_t dataBytes, std::uint32_t present,
                      bool listChunk = false) {
  std::vector<char> b{'R', 'I', 'F', 'F'};
  put32(b, 36 + dataBytes);
  for (char c : std::string("WAVEfmt ")) b.push_back(c);
  put32(b, 16);
  put16(b, 1);
  put16(b, 1);
  put32(b, rate);
  put32(b, rate * 2);
  put16(b, 2);
  put16(b, 16);
  if (listChunk) {
    for (char c : std::string("LIST")) b.push_back(c);
    put32(b, 3);
    b.insert(b.end(), {'a', 'b', 'c', 0});  // odd size, padded
  }
  for (char c : std::string("data")) b.push_back(c);
  put32(b, dataBytes);
  b.insert(b.end(), present, 0);
  return b;
}

class DataFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir_ / "audio"); }
  std::string write(const std::string& name, const std::vector<char>& bytes) {
    std::string p = (dir_ / name).string();
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
    return p;
  }
  TempFolder dir_{"cw-data"};
};

TEST_F(DataFilesTest, NamesMatchEachPartWithoutRegardToCase) {
  write("audio/Enemy.wav", wav(44100, 4410, 4410));
  write("audio/move.wav", wav(44100, 4410, 4410));
  // Compared as paths: on Windows the separators may differ.
  EXPECT_EQ(std::filesystem::path(resolveDataFile(dir_.path().string(), "Audio\\Enemy.wav")),
            dir_ / "audio/Enemy.wav");
  EXPECT_EQ(std::filesystem::path(resolveDataFile(dir_.path().string(), "AUDIO\\MOVE.WAV")),
            dir_ / "audio/move.wav");
  EXPECT_EQ(resolveDataFile(dir_.path().string(), "audio\\missing.wav"), "");
  EXPECT_EQ(resolveDataFile(dir_.path().string(), "..\\audio\\move.wav"), "");
  EXPECT_EQ(resolveDataFile("", "audio\\move.wav"), "");
}

// The data where the program is, in a folder named beyond ASCII (a user's own folder on
// Windows, reached by the wide calls only): found, and its sounds' lengths read.
TEST_F(DataFilesTest, AFolderNamedBeyondAsciiHoldsTheData) {
  const std::filesystem::path place = dir_ / std::filesystem::path(u8"J\u00fcrgen \u4e2d");
  std::filesystem::create_directories(place / "audio");
  const std::vector<char> bytes = wav(44100, 8820, 8820);
  std::ofstream(place / "audio" / "move.wav", std::ios::binary)
      .write(bytes.data(), static_cast<long>(bytes.size()));
  const std::u8string text = place.u8string();
  const std::string found =
      resolveDataFile(std::string(text.begin(), text.end()), "Audio\\Move.wav");
  EXPECT_FALSE(found.empty());
  EXPECT_EQ(wavLengthMs(found), 100);
}

TEST_F(DataFilesTest, LengthComesFromTheHeaderAndBadFilesHaveNone) {
  EXPECT_EQ(wavLengthMs(write("a.wav", wav(44100, 88200, 88200))), 1000);
  EXPECT_EQ(wavLengthMs(write("b.wav", wav(48000, 4800, 4800, true))), 50);
  // Truncated: plays what is there.
  EXPECT_EQ(wavLengthMs(write("c.wav", wav(44100, 88200, 8820))), 100);
  EXPECT_FALSE(wavLengthMs(write("d.wav", wav(44100, 0, 0))).has_value());
  EXPECT_FALSE(
      wavLengthMs(write("e.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'})).has_value());
  EXPECT_FALSE(wavLengthMs(write("f.wav", {})).has_value());
  EXPECT_FALSE(wavLengthMs((dir_ / "none.wav").string()).has_value());
  auto header = wav(44100, 100, 100);
  header.resize(30);  // cut inside the format chunk
  EXPECT_FALSE(wavLengthMs(write("g.wav", header)).has_value());
}

}  // namespace
}  // namespace cw
