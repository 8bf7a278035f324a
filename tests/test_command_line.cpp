// The command-line parser with options of every kind, as the programs will grow them: GNU's
// conventions for values, "--", short flags, and a clear reason for each mistake.
#include <gtest/gtest.h>

#include <vector>

#include "host/command_line.h"

namespace {

constexpr cw::OptionSpec kOptions[] = {
    {"help", 'h', "", "show this help and exit"},
    {"scale", 0, "N", "draw the window N times its size"},
    {"fullscreen", 'f', "", "fill the screen"},
    {"scanlines", 0, "", "draw the LCD's lines"},
};

cw::Result<cw::CommandLine> parse(std::vector<const char*> args) {
  return cw::parseCommandLine(kOptions, args);
}

TEST(CommandLine, ValuesAsGnuProgramsTakeThem) {
  auto equals = parse({"--scale=2"});
  ASSERT_TRUE(equals) << equals.error();
  EXPECT_EQ(*equals->value("scale"), "2");
  auto separate = parse({"--scale", "3", "file"});
  ASSERT_TRUE(separate) << separate.error();
  EXPECT_EQ(*separate->value("scale"), "3");
  EXPECT_EQ(separate->operands(), std::vector<std::string>{"file"});
  // An empty value after '=' is a value; the last of several wins.
  auto last = parse({"--scale=", "--scale=4"});
  ASSERT_TRUE(last);
  EXPECT_EQ(*last->value("scale"), "4");
  // Short flags share a dash; "-" alone and everything after "--" are operands.
  auto rest = parse({"-hf", "-", "--", "--scale", "-h"});
  ASSERT_TRUE(rest);
  EXPECT_TRUE(rest->has("help"));
  EXPECT_TRUE(rest->has("fullscreen"));
  EXPECT_FALSE(rest->has("scale"));
  EXPECT_EQ(rest->operands(), (std::vector<std::string>{"-", "--scale", "-h"}));
}

TEST(CommandLine, EachMistakeSaysWhat) {
  EXPECT_EQ(parse({"--scale"}).error(), "option '--scale' requires an argument");
  EXPECT_EQ(parse({"--help=yes"}).error(), "option '--help' doesn't allow an argument");
  EXPECT_EQ(parse({"--scales=2"}).error(), "unrecognized option '--scales'");
  // As GNU programs take them, the start of one option's name stands for it, and only of one.
  auto start = parse({"--scal=2", "--full"});
  ASSERT_TRUE(start) << start.error();
  EXPECT_EQ(*start->value("scale"), "2");
  EXPECT_TRUE(start->has("fullscreen"));
  EXPECT_EQ(parse({"--sc=2"}).error(),
            "option '--sc' is ambiguous; possibilities: '--scale' '--scanlines'");
  EXPECT_EQ(parse({"-hx"}).error(), "invalid option -- 'x'");
  // A word from the user is repeated escaped and cut, never raw.
  EXPECT_EQ(
      parse({"--a\x1b[2Jbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"}).error(),
      "unrecognized option '--a\\x1b[2Jbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb'...");
}

}  // namespace
