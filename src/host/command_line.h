// Command lines read as GNU programs read them: long options as --name=value or --name value,
// short ones as -x (flags only), "--" ends the options, and everything else is an operand.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace cw {

struct OptionSpec {
  std::string_view name;       // the long name, without the dashes
  char shortName;              // 0 for none
  std::string_view valueName;  // empty for a flag, else what the value is called in the help
  std::string_view help;       // one line
};

class CommandLine {
 public:
  bool has(std::string_view name) const { return values_.contains(name); }
  // The value given to an option (the last one when it was given several times), or nothing.
  const std::string* value(std::string_view name) const;
  const std::vector<std::string>& operands() const { return operands_; }

 private:
  friend Result<CommandLine> parseCommandLine(std::span<const OptionSpec>,
                                              std::span<const char* const>);
  std::map<std::string, std::string, std::less<>> values_;
  std::vector<std::string> operands_;
};

// Reads the arguments after the program's name. The failure says which option is unknown, or
// lacks its value, or was given one it does not take.
Result<CommandLine> parseCommandLine(std::span<const OptionSpec> options,
                                     std::span<const char* const> args);
// The same for the arguments as programArguments (host/process.h) gives them.
Result<CommandLine> parseCommandLine(std::span<const OptionSpec> options,
                                     const std::vector<std::string>& args);

// A command line the program cannot take: `why` and the usage line on stderr, with where to
// find help, as "PROGRAM: WHY". Returns the exit status for it, 2.
int usageError(std::string_view usage, const std::string& why);

// The options as `--help` lists them, one per line, their explanations aligned.
std::string optionsHelp(std::span<const OptionSpec> options);

}  // namespace cw
