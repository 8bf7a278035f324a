// Reading and writing the key file: bad files never change the keys, writes are all or nothing.
// The settings file beside it: key = value lines; a bad or missing one reads as no settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/keyremap/key_file.h"
#include "core/keyremap/key_remap_dialog.h"
#include "host/conf_file.h"
#include "host/files.h"
#include "host/key_file_on_disk.h"
#include "support/environment.h"
#include "support/temp_folder.h"

namespace cw {
namespace {

TEST(KeyFile, ReadsFourCodesWithLfOrCrLfAndBlanks) {
  EXPECT_EQ(parseKeyFile("70\r\n88\r\n38\r\n40\r\n"), (KeySet{70, 88, 38, 40}));
  EXPECT_EQ(parseKeyFile("70\n 88 \n38\t\n40"), (KeySet{70, 88, 38, 40}));
  EXPECT_EQ(parseKeyFile("0\n65535\n1\n2\nanything after the four lines\n"),
            (KeySet{0, 65535, 1, 2}));
}

TEST(KeyFile, RejectsAnythingButFourWholeNumbersInRange) {
  for (const char* bad :
       {"", "81\n65\n80\n", "81\n65\n\n80\n76\n", "81\n-65\n80\n76\n", "81\n65536\n80\n76\n",
        "81\n6 5\n80\n76\n", "81\n0x41\n80\n76\n", "81\n65.0\n80\n76\n", "+81\n65\n80\n76\n",
        "999999999999\n1\n2\n3\n", "\x81\xff\x00\n1\n2\n3\n"}) {
    EXPECT_FALSE(parseKeyFile(bad).has_value()) << bad;
  }
}

TEST(KeyFile, WritesCrLfLinesThatReadBack) {
  KeySet keys{81, 65, 80, 75};
  EXPECT_EQ(formatKeyFile(keys), "81\r\n65\r\n80\r\n75\r\n");
  EXPECT_EQ(parseKeyFile(formatKeyFile(keys)), keys);
}

class KeyStoreTest : public ::testing::Test {
 protected:
  std::string path() const { return (dir_ / "crateworks.key").string(); }
  TempFolder dir_{"cw-keys"};
};

TEST_F(KeyStoreTest, MissingFolderAsFileAndHugeFilesReadSafely) {
  KeyFileOnDisk store(path());
  EXPECT_FALSE(store.read().has_value());
  std::filesystem::create_directory(path());
  EXPECT_FALSE(store.read().has_value());  // a folder in its place
  std::filesystem::remove(path());
  { std::ofstream(path()) << std::string(1 << 20, '7'); }
  auto text = store.read();
  ASSERT_TRUE(text.has_value());
  EXPECT_LE(text->size(), 4096u);
  EXPECT_FALSE(parseKeyFile(*text).has_value());
}

TEST_F(KeyStoreTest, ReplacesTheWholeFileAndLeavesNoTemporary) {
  KeyFileOnDisk store(path());
  {
    std::ofstream(path(), std::ios::binary)
        << "1\r\n2\r\n3\r\n4\r\n-- a much longer old file that must not survive --";
  }
  EXPECT_TRUE(store.write(formatKeyFile({81, 65, 75, 76})).ok());
  EXPECT_EQ(store.read(), "81\r\n65\r\n75\r\n76\r\n");
  EXPECT_FALSE(std::filesystem::exists(path() + ".new"));
}

TEST_F(KeyStoreTest, AFailedWriteLeavesTheOldFileAndSaysWhy) {
  KeyFileOnDisk store(path());
  { std::ofstream(path(), std::ios::binary) << "81\r\n65\r\n80\r\n76\r\n"; }
  // A read-only folder, where it keeps new files out (root writes anyway, and Windows' read-only
  // mark on a folder means nothing to its files).
  std::filesystem::permissions(
      dir_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (!std::ofstream(dir_ / "probe")) {
    EXPECT_FALSE(store.write(formatKeyFile({1, 2, 3, 4})).ok());
  }
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_all);
  std::filesystem::remove(dir_ / "probe");
  // The new file's place is taken by a folder: the write cannot even start.
  std::filesystem::create_directory(path() + ".new");
  std::filesystem::create_directory(path() + ".new/x");
  EXPECT_FALSE(store.write(formatKeyFile({1, 2, 3, 4})).ok());
  std::filesystem::remove_all(path() + ".new");
  // A folder where the key file should be: rename fails, nothing half-written remains.
  KeyFileOnDisk folderStore((dir_ / "sub").string());
  std::filesystem::create_directories(dir_ / "sub" / "inner");
  EXPECT_FALSE(folderStore.write("1\r\n2\r\n3\r\n4\r\n").ok());
  EXPECT_FALSE(std::filesystem::exists((dir_ / "sub.new")));
  EXPECT_EQ(store.read(), "81\r\n65\r\n80\r\n76\r\n");
}

TEST_F(KeyStoreTest, AFullDiskNeverReplacesTheFile) {
  // /dev/full refuses every write with ENOSPC: point the temporary file at it.
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", path() + ".new");
  { std::ofstream(path(), std::ios::binary) << "81\r\n65\r\n80\r\n76\r\n"; }
  KeyFileOnDisk store(path());
  EXPECT_FALSE(store.write(formatKeyFile({1, 2, 3, 4})).ok());
  EXPECT_EQ(store.read(), "81\r\n65\r\n80\r\n76\r\n");
}

// A player whose name is spelt beyond ASCII keeps his files under a folder of that name: every
// file call must reach it (on Windows only the wide calls do), the replace included.
TEST_F(KeyStoreTest, FilesInAFolderNamedBeyondAsciiAreKeptAndReplaced) {
  const std::filesystem::path folder =
      dir_ / std::filesystem::path(u8"J\u00fcrgen \u4e2d") / "Crateworks";
  const auto utf8 = [](const std::filesystem::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
  };
  KeyFileOnDisk store(utf8(folder / "crateworks.key"));
  EXPECT_FALSE(store.read().has_value());
  ASSERT_TRUE(store.write(formatKeyFile({81, 65, 80, 76})));  // makes the folders
  ASSERT_TRUE(store.write(formatKeyFile({87, 83, 79, 75})));  // replaces the file
  EXPECT_EQ(store.read(), formatKeyFile({87, 83, 79, 75}));
  EXPECT_TRUE(std::filesystem::exists(folder / "crateworks.key"));
  EXPECT_FALSE(std::filesystem::exists(folder / "crateworks.key.new"));
  ASSERT_TRUE(store.remove());
  EXPECT_FALSE(std::filesystem::exists(folder / "crateworks.key"));
  // A recording made there, and read back.
  const std::string recording = utf8(folder / "g\u00e4me.scn");
  {
    Result<AppendFile> made = AppendFile::create(recording, false);
    ASSERT_TRUE(made) << made.error();
    AppendFile file = std::move(made).value();
    ASSERT_TRUE(file.write("seed 7\n"));
    ASSERT_TRUE(file.sync());
  }
  EXPECT_FALSE(AppendFile::create(recording, false));  // kept unless replaced
  const Result<std::optional<std::string>> read = readSmallFile(recording, 100);
  ASSERT_TRUE(read && *read);
  EXPECT_EQ(**read, "seed 7\n");
}

#ifdef _WIN32
// On Windows the keys and settings are kept under %APPDATA%\Crateworks, whatever letters that
// folder's name holds (it is the user's own).
TEST_F(KeyStoreTest, OnWindowsTheFilesAreKeptUnderAppDataWhateverItsLetters) {
  const std::filesystem::path appData = dir_ / std::filesystem::path(u8"J\u00fcrgen \u4e2d");
  const std::wstring before = _wgetenv(L"APPDATA") ? _wgetenv(L"APPDATA") : L"";
  _wputenv((L"APPDATA=" + appData.wstring()).c_str());
  const Result<std::string> where = userKeyFilePath();
  const Status written = KeyFileOnDisk(where).write(formatKeyFile({81, 65, 80, 76}));
  _wputenv((L"APPDATA=" + before).c_str());
  ASSERT_TRUE(where) << where.error();
  EXPECT_EQ(std::filesystem::path(std::u8string(where->begin(), where->end())),
            appData / "Crateworks" / "crateworks.key");
  ASSERT_TRUE(written) << written.error();
  EXPECT_TRUE(std::filesystem::exists(appData / "Crateworks" / "crateworks.key"));
}
#endif

TEST(ConfFile, ReadsKeyValueLinesAndNamesTheFirstBadLine) {
  const auto values = parseConf("# a comment\r\n\n  scale = 2.5  \nview=screens\n");
  ASSERT_TRUE(values) << values.error();
  EXPECT_EQ(*values, (ConfValues{{"scale", "2.5"}, {"view", "screens"}}));
  EXPECT_EQ(parseConf(formatConf(*values)).value(), *values);
  for (const auto& [text, why] : std::vector<std::pair<std::string, std::string>>{
           {"scale = 2\ngarbage\n", "line 2: not key = value"},
           {" = 2\n", "line 1: no key"},
           {"Scale = 2\n", "line 1: not key = value"},
           {"scale = 2\nscale = 3\n", "line 2: scale given twice"}}) {
    const auto bad = parseConf(text);
    ASSERT_FALSE(bad) << text;
    EXPECT_EQ(bad.error(), why);
  }
}

TEST_F(KeyStoreTest, ASettingsFileMissingBadOrInAFolderThatCannotBeMadeReadsAsNone) {
  const std::string conf = (dir_ / "crateworks.conf").string();
  EXPECT_EQ(ConfFile(conf).read().value(), ConfValues{});  // missing: no settings, no fault
  { std::ofstream(conf) << std::string("\x89PNG\0\1", 6); }
  EXPECT_FALSE(ConfFile(conf).read());
  { std::ofstream(conf) << std::string(5000, '#'); }
  EXPECT_FALSE(ConfFile(conf).read());
  std::filesystem::remove(conf);
  std::filesystem::create_directory(conf);
  EXPECT_FALSE(ConfFile(conf).read());  // a folder in its place
  // Its folder cannot be made where a file stands: the write fails and says where.
  { std::ofstream(dir_ / "plain") << "x"; }
  const ConfFile blocked((dir_ / "plain" / "crateworks" / "crateworks.conf").string());
  const Status saved = blocked.write({{"scale", "2"}});
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.error().find("crateworks.conf"), std::string::npos) << saved.error();
  EXPECT_EQ(blocked.read().value(), ConfValues{});
  // Written whole, it reads back.
  const ConfFile made((dir_ / "new" / "crateworks.conf").string());
  ASSERT_TRUE(made.write({{"scale", "1.5"}, {"view", "casing"}}));
  EXPECT_EQ(made.read().value(), (ConfValues{{"scale", "1.5"}, {"view", "casing"}}));
}

// With neither XDG_CONFIG_HOME (or only a relative one) nor HOME there is nowhere to keep the
// keys: the store says so plainly and writes nothing, not even in the working directory.
TEST_F(KeyStoreTest, WithNoHomeTheStoreSaysSoAndTouchesNothing) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows always has its application data folder";
#endif
  const std::string savedHome = getEnv("HOME");
  const std::string savedXdg = getEnv("XDG_CONFIG_HOME");
  const std::filesystem::path savedCwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  unsetEnv("HOME");
  setEnv("XDG_CONFIG_HOME", "relative/config");
  const Result<std::string> where = userKeyFilePath();
  KeyFileOnDisk store(where);
  const Status saved = store.write(formatKeyFile({81, 65, 80, 76}));
  const bool readNothing = !store.read().has_value();
  std::filesystem::current_path(savedCwd);
  if (!savedHome.empty()) setEnv("HOME", savedHome);
  savedXdg.empty() ? unsetEnv("XDG_CONFIG_HOME") : setEnv("XDG_CONFIG_HOME", savedXdg);

  ASSERT_FALSE(where.ok());
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.error(), "nowhere to keep it: neither XDG_CONFIG_HOME nor HOME is set");
  EXPECT_TRUE(readNothing);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST(KeyBoxes, ShowTheWindows1252CharacterOrNothing) {
  EXPECT_EQ(boxCharacter(75), 75);    // K
  EXPECT_EQ(boxCharacter(38), 38);    // Up arrow shows "&"
  EXPECT_EQ(boxCharacter(9), -1);     // Tab: a control code
  EXPECT_EQ(boxCharacter(0x81), -1);  // undefined in Windows-1252
  EXPECT_EQ(boxCharacter(0xE9), 0xE9);
  EXPECT_EQ(boxCharacter(300), -1);
}

}  // namespace
}  // namespace cw
