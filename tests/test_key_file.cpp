// Reading and writing the key file: bad files never change the keys, writes are all or nothing.
// The settings file beside it: key = value lines; a bad or missing one reads as no settings.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/keyremap/key_file.h"
#include "core/keyremap/key_remap_dialog.h"
#include "host/conf_file.h"
#include "host/key_file_on_disk.h"
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
    std::ofstream(path())
        << "1\r\n2\r\n3\r\n4\r\n-- a much longer old file that must not survive --";
  }
  EXPECT_TRUE(store.write(formatKeyFile({81, 65, 75, 76})).ok());
  EXPECT_EQ(store.read(), "81\r\n65\r\n75\r\n76\r\n");
  EXPECT_FALSE(std::filesystem::exists(path() + ".new"));
}

TEST_F(KeyStoreTest, AFailedWriteLeavesTheOldFileAndSaysWhy) {
  KeyFileOnDisk store(path());
  { std::ofstream(path()) << "81\r\n65\r\n80\r\n76\r\n"; }
  if (::geteuid() != 0) {
    // A read-only folder (root writes anyway, so only checked as a normal user).
    std::filesystem::permissions(
        dir_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(store.write(formatKeyFile({1, 2, 3, 4})).ok());
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_all);
  }
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
  { std::ofstream(path()) << "81\r\n65\r\n80\r\n76\r\n"; }
  KeyFileOnDisk store(path());
  EXPECT_FALSE(store.write(formatKeyFile({1, 2, 3, 4})).ok());
  EXPECT_EQ(store.read(), "81\r\n65\r\n80\r\n76\r\n");
}

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
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  const std::string savedXdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  const std::filesystem::path savedCwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  ::unsetenv("HOME");
  ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
  const Result<std::string> where = userKeyFilePath();
  KeyFileOnDisk store(where);
  const Status saved = store.write(formatKeyFile({81, 65, 80, 76}));
  const bool readNothing = !store.read().has_value();
  std::filesystem::current_path(savedCwd);
  if (!savedHome.empty()) ::setenv("HOME", savedHome.c_str(), 1);
  savedXdg.empty() ? ::unsetenv("XDG_CONFIG_HOME")
                   : ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);

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
