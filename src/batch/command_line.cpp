#include "batch/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

#include "core/load/memory.h"

namespace litho {

namespace {

// Joins a range option's two values into one, so that the parser, which
// knows one value an option, sees "--cutoff" "LO\nHI".
constexpr char kRangeSeparator = '\n';

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

bool BatchCommandLine::parse(const std::vector<std::string>& args, std::initializer_list<BatchOption> options) {
  given_.clear();
  files_.clear();
  error_.clear();
  auto optionNamed = [&](const std::string& arg) -> const BatchOption* {
    std::string name = arg;
    if (name.rfind("--", 0) == 0)
      name.erase(0, 2);
    else if (name.rfind('-', 0) == 0)
      name.erase(0, 1);
    else
      return nullptr;
    for (const BatchOption& o : options)
      for (const std::string& n : o.names)
        if (n == name) return &o;
    return nullptr;
  };

  QStringList list{QStringLiteral("lithoscan3d-batch")};
  bool filesOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") filesOnly = true;
    const BatchOption* o = filesOnly ? nullptr : optionNamed(a);
    if (o && o->values == 2) {
      if (i + 2 >= args.size()) {
        error_ = "Missing value after '" + a + "'.";
        return false;
      }
      if (args[i + 1].find(kRangeSeparator) != std::string::npos) {
        error_ = "Bad value after '" + a + "'.";
        return false;
      }
      list << qs(a) << qs(args[i + 1] + kRangeSeparator + args[i + 2]);
      i += 2;
      continue;
    }
    list << qs(a);
    // A value that starts with '-' is taken as the value, not as an option.
    if (o && o->values == 1 && i + 1 < args.size()) list << qs(args[++i]);
  }

  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const BatchOption& o : options) {
    QStringList names;
    for (const std::string& n : o.names) names << qs(n);
    QCommandLineOption option(names);
    if (o.values > 0) option.setValueName(QStringLiteral("value"));
    parser.addOption(option);
  }
  if (!parser.parse(list)) {
    error_ = parser.errorText().toStdString();
    return false;
  }
  for (const BatchOption& o : options) {
    const QString name = qs(o.names.front());
    if (!parser.isSet(name)) continue;
    if (o.values == 0) {
      given_.emplace_back(o.names.front(), std::string());
    } else {
      const QString v = parser.values(name).constLast();
      given_.emplace_back(o.names.front(), v.toStdString());
    }
  }
  for (const QString& f : parser.positionalArguments()) files_.push_back(f.toStdString());
  return true;
}

bool BatchCommandLine::isSet(const std::string& name) const {
  for (const auto& g : given_)
    if (g.first == name) return true;
  return false;
}

std::string BatchCommandLine::value(const std::string& name) const {
  for (const auto& g : given_)
    if (g.first == name) return g.second;
  return {};
}

std::optional<std::pair<std::string, std::string>> BatchCommandLine::range(const std::string& name) const {
  if (!isSet(name)) return std::nullopt;
  const std::string v = value(name);
  const auto cut = v.find(kRangeSeparator);
  if (cut == std::string::npos) return std::nullopt;
  return std::make_pair(v.substr(0, cut), v.substr(cut + 1));
}

std::string readLoadOptions(const BatchCommandLine& line, LoadOptions& o) {
  o.second = line.value("second");
  if (line.isSet("second") && o.second.empty()) return "--second needs a file";
  o.log = line.isSet("log");
  o.octree = line.isSet("octree");
  o.yes = line.isSet("yes");
  if (line.isSet("memory-limit")) {
    const auto limit = parseMemoryLimit(line.value("memory-limit"));
    if (!limit) return "--memory-limit needs a number of megabytes";
    o.memoryLimit = *limit;
  }
  return {};
}

bool wantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

std::optional<std::pair<int, int>> parseImageSize(const std::string& text, int least, int most) {
  int w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < least || h < least || w > most || h > most)
    return std::nullopt;
  return std::make_pair(w, h);
}

}  // namespace litho
