#include "core/load/command_line.h"

#include <array>
#include <cstdio>

namespace litho {

namespace {
constexpr std::array<std::string_view, 7> kSwitches = {"/NOBANNER", "/log",     "/mod2log", "/tq5rdata",
                                                       "/trnsmt",   "/openglhw", "/octree"};

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '"'; }

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}
}  // namespace

bool hasSwitch(std::string_view raw, std::string_view sw) {
  bool quoted = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if ((i == 0 || isSeparator(raw[i - 1])) && raw.substr(i, sw.size()) == sw &&
        (i + sw.size() == raw.size() || isSeparator(raw[i + sw.size()])))
      return true;
  }
  return false;
}

CommandLine parseCommandLine(const std::string& raw) {
  CommandLine c;
  c.raw = raw;
  c.empty = raw.find_first_not_of(" \t\r\n") == std::string::npos;
  c.noBanner = hasSwitch(raw, "/NOBANNER");
  c.viewFile = endsWith(raw, ".ls3d") || endsWith(raw, ".ls3d\"");

  std::array<char, 520> mesh{};
  std::array<char, 720> model{};
  const int n = std::sscanf(raw.c_str(), "\" %519[^\"] %*[ \"] %719[^\"]", mesh.data(), model.data());
  c.fields = n < 0 ? 0 : n;
  if (c.fields >= 1) c.meshText = mesh.data();
  if (c.fields >= 2) c.modelText = model.data();

  c.log = hasSwitch(raw, "/log");
  c.mod2log = hasSwitch(raw, "/mod2log");
  c.tq5rdata = hasSwitch(raw, "/tq5rdata");
  c.trnsmt = hasSwitch(raw, "/trnsmt");
  c.openglhw = hasSwitch(raw, "/openglhw");
  c.octree = hasSwitch(raw, "/octree");
  return c;
}

std::string rawCommandLine(const std::vector<std::string>& args) {
  std::string raw;
  for (const auto& a : args) {
    if (!raw.empty()) raw += ' ';
    bool isSwitch = false;
    for (auto sw : kSwitches) isSwitch = isSwitch || a == sw;
    if (isSwitch) {
      raw += a;
    } else {
      raw += '"';
      raw += a;
      raw += '"';
    }
  }
  return raw;
}

}  // namespace litho
