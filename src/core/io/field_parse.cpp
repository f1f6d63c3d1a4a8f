#include "core/io/field_parse.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace litho {

namespace {
bool onlyBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return *p == '\0';
}
}  // namespace

std::optional<double> parseDoubleField(const std::string& text) {
  const char* s = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(s, &end);
  if (end == s || !onlyBlanks(end) || errno == ERANGE || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<float> parseFloatField(const std::string& text) {
  const auto d = parseDoubleField(text);
  if (!d || std::fabs(*d) > 3.4028234663852886e38) return std::nullopt;
  return static_cast<float>(*d);
}

std::optional<int> parseIntField(const std::string& text) {
  const char* s = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(s, &end, 10);
  if (end == s || !onlyBlanks(end) || errno == ERANGE || v < INT_MIN || v > INT_MAX) return std::nullopt;
  return static_cast<int>(v);
}

std::string formatFloatField(float value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(value));
  return buf;
}

std::string formatFloatExact(float value) {
  char buf[64];
  for (int digits = 6; digits <= 9; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(buf, nullptr) == value) break;
  }
  return buf;
}

}  // namespace litho
