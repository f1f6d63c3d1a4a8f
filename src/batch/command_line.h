#pragma once
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace litho {

// One option of a batch subcommand: its names ("o", "size"), and how many
// values follow it (0, 1, or 2 for a range such as --cutoff LO HI).
struct BatchOption {
  std::vector<std::string> names;
  int values = 0;
};

// The options and file arguments of one subcommand, parsed by Qt's command
// line parser: "--name value", "--name=value", "-o value", and "--" before
// file names that start with '-'. A value may itself start with '-' (a
// negative number), for every option that takes one.
class BatchCommandLine {
 public:
  // args without the program name and the subcommand.
  bool parse(const std::vector<std::string>& args, std::initializer_list<BatchOption> options);
  // Why parse() failed, e.g. "Unknown option 'x'.".
  const std::string& error() const { return error_; }

  bool isSet(const std::string& name) const;
  // The last value given (--size 1x1 --size 2x2 gives 2x2), "" when not set.
  std::string value(const std::string& name) const;
  // The two values of a range option.
  std::optional<std::pair<std::string, std::string>> range(const std::string& name) const;
  const std::vector<std::string>& files() const { return files_; }

 private:
  std::vector<std::pair<std::string, std::string>> given_;  // name (as declared first), value
  std::vector<std::string> files_;
  std::string error_;
};

// What every loading command takes: --second FILE, --log, --octree, --yes
// and --memory-limit MB.
struct LoadOptions {
  std::string second;
  bool log = false, octree = false, yes = false;
  unsigned long long memoryLimit = 0;
};
// Reads them from a parsed line into o; the usage problem, or "" when they are good.
std::string readLoadOptions(const BatchCommandLine& line, LoadOptions& o);

// --help or -h among the options (before any "--").
bool wantsHelp(const std::vector<std::string>& args);

// WIDTHxHEIGHT, each from least to most.
std::optional<std::pair<int, int>> parseImageSize(const std::string& text, int least, int most);

}  // namespace litho
