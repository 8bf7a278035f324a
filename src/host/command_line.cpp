#include "host/command_line.h"

#include <algorithm>
#include <vector>

#include "base/quoted.h"
#include "host/report.h"

namespace cw {
namespace {

// The option `name` names: its whole name, or as GNU programs take them, the start of one
// name only. The failure says the name is unknown or could be more than one.
Result<const OptionSpec*> findLong(std::span<const OptionSpec> options, std::string_view name) {
  std::vector<const OptionSpec*> starting;
  for (const OptionSpec& o : options) {
    if (o.name == name) return &o;
    if (!name.empty() && o.name.substr(0, name.size()) == name) starting.push_back(&o);
  }
  if (starting.size() == 1) return starting[0];
  if (starting.empty()) return failure("unrecognized option " + quoted("--" + std::string(name)));
  std::string all;
  for (const OptionSpec* o : starting) all += " " + quoted("--" + std::string(o->name));
  return failure("option " + quoted("--" + std::string(name)) +
                 " is ambiguous; possibilities:" + all);
}

const OptionSpec* findShort(std::span<const OptionSpec> options, char c) {
  for (const OptionSpec& o : options)
    if (o.shortName != 0 && o.shortName == c) return &o;
  return nullptr;
}

// How an option is written at the start of its help line.
std::string signature(const OptionSpec& o) {
  std::string s = o.shortName ? std::string("-") + o.shortName + ", " : "    ";
  s += "--" + std::string(o.name);
  if (!o.valueName.empty()) s += "=" + std::string(o.valueName);
  return s;
}

}  // namespace

const std::string* CommandLine::value(std::string_view name) const {
  auto it = values_.find(name);
  return it == values_.end() ? nullptr : &it->second;
}

Result<CommandLine> parseCommandLine(std::span<const OptionSpec> options,
                                     std::span<const char* const> args) {
  CommandLine line;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      line.operands_.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg[1] != '-') {
      // Short flags, several may share one dash.
      for (char c : arg.substr(1)) {
        const OptionSpec* o = findShort(options, c);
        if (!o) return failure("invalid option -- " + quoted(std::string(1, c)));
        line.values_[std::string(o->name)] = "";
      }
      continue;
    }
    const std::size_t equals = arg.find('=');
    const Result<const OptionSpec*> found =
        findLong(options, arg.substr(2, equals == std::string_view::npos ? arg.npos : equals - 2));
    if (!found) return failure(found.error());
    const OptionSpec* o = *found;
    const std::string_view name = o->name;
    if (o->valueName.empty()) {
      if (equals != std::string_view::npos)
        return failure("option " + quoted("--" + std::string(name)) + " doesn't allow an argument");
      line.values_[std::string(name)] = "";
    } else if (equals != std::string_view::npos) {
      line.values_[std::string(name)] = std::string(arg.substr(equals + 1));
    } else if (i + 1 < args.size()) {
      line.values_[std::string(name)] = args[++i];
    } else {
      return failure("option " + quoted("--" + std::string(name)) + " requires an argument");
    }
  }
  return line;
}

std::string optionsHelp(std::span<const OptionSpec> options) {
  std::size_t width = 0;
  for (const OptionSpec& o : options) width = std::max(width, signature(o).size());
  std::string out;
  for (const OptionSpec& o : options) {
    const std::string s = signature(o);
    out += "  " + s + std::string(width - s.size() + 2, ' ') + std::string(o.help) + "\n";
  }
  return out;
}

Result<CommandLine> parseCommandLine(std::span<const OptionSpec> options,
                                     const std::vector<std::string>& args) {
  std::vector<const char*> words;
  for (const std::string& a : args) words.push_back(a.c_str());
  return parseCommandLine(options, words);
}

int usageError(std::string_view usage, const std::string& why) {
  const std::string program(programName());
  report(why + "\n" + std::string(usage) + "\nTry '" + program + " --help' for more information.");
  return 2;
}

}  // namespace cw
