#include "core/load/command_line.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace litho {

namespace {

bool blank(std::string_view s) { return s.find_first_not_of(" \t\r\n") == std::string_view::npos; }

std::string unquoted(const std::string& a) {
  if (a.size() >= 2 && a.front() == '"' && a.back() == '"') return a.substr(1, a.size() - 2);
  return a;
}

}  // namespace

CommandLine parseArguments(const std::vector<std::string>& args) {
  CommandLine c;
  std::vector<std::string> names;
  for (const std::string& a : args) {
    if (blank(a)) continue;
    c.empty = false;
    bool* const flags[] = {&c.noBanner, &c.log, &c.mod2log, &c.tq5rdata, &c.trnsmt, &c.openglhw, &c.octree};
    constexpr std::string_view switches[] = {"/NOBANNER", "/log",      "/mod2log", "/tq5rdata",
                                             "/trnsmt",   "/openglhw", "/octree"};
    bool isSwitch = false;
    for (std::size_t s = 0; s < std::size(switches); ++s)
      if (a == switches[s]) *flags[s] = isSwitch = true;
    if (isSwitch) continue;
    const std::string name = unquoted(a);
    if (!blank(name)) names.push_back(name);
  }
  if (!names.empty() && names.back().ends_with(".ls3d")) c.viewFile = names.back();
  c.fields = static_cast<int>(std::min<std::size_t>(names.size(), 2));
  if (c.fields >= 1) c.meshText = names[0];
  if (c.fields >= 2) c.modelText = names[1];
  if (names.size() > 2) c.extra.assign(names.begin() + 2, names.end());
  return c;
}

}  // namespace litho
