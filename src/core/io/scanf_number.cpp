#include "core/io/scanf_number.h"

#include <locale.h>
#include <stdlib.h>

#include <limits>
#include <string>

namespace litho {

namespace scan_detail {

locale_t cLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

namespace {

bool matches(const char* p, const char* end, const char* word) {
  for (; *word; ++word, ++p)
    if (p == end || lower(*p) != *word) return false;
  return true;
}

// The characters scanf collects for a hexadecimal number starting at "0x".
const char* collectHex(const char* p, const char* end) {
  const char* q = p + 2;
  bool gotDigit = false, gotDot = false, gotE = false;
  for (; q != end; ++q) {
    const char c = *q;
    const char l = lower(c);
    if (isDigit(c) || (!gotE && l >= 'a' && l <= 'f')) {
      gotDigit = true;
    } else if (gotE && lower(q[-1]) == 'p' && (c == '+' || c == '-')) {
    } else if (gotDigit && !gotE && l == 'p') {
      gotE = gotDot = true;
    } else if (!gotDot && c == '.') {
      gotDot = true;
    } else {
      break;
    }
  }
  return q;
}

template <class T>
const char* special(const char* p, const char* end, bool negative, T& value) {
  const char c = lower(*p);
  if (c == 'n') {
    if (!matches(p, end, "nan")) return nullptr;
    const T nan = std::numeric_limits<T>::quiet_NaN();
    value = negative ? -nan : nan;
    return p + 3;
  }
  if (c == 'i') {
    if (!matches(p, end, "inf")) return nullptr;
    const char* q = p + 3;
    if (q != end && lower(*q) == 'i') {
      if (!matches(q, end, "inity")) return nullptr;
      q += 5;
    }
    const T inf = std::numeric_limits<T>::infinity();
    value = negative ? -inf : inf;
    return q;
  }
  const char* q = collectHex(p, end);
  if (q - p == 2) return nullptr;
  std::string text = negative ? "-" : "";
  text.append(p, q);
  char* stop = nullptr;
  T v;
  if constexpr (sizeof(T) == sizeof(float))
    v = strtof_l(text.c_str(), &stop, cLocale());
  else
    v = strtod_l(text.c_str(), &stop, cLocale());
  if (stop == text.c_str()) return nullptr;
  value = v;
  return q;
}

}  // namespace

const char* scanSpecial(const char* p, const char* end, bool negative, float& value) {
  return special(p, end, negative, value);
}
const char* scanSpecial(const char* p, const char* end, bool negative, double& value) {
  return special(p, end, negative, value);
}

const char* scanFloatOutOfLine(const char* p, const char* end, float& value) { return scanFloat(p, end, value); }

}  // namespace scan_detail

ClassicNumbers::ClassicNumbers() : previous_(uselocale(scan_detail::cLocale())) {}
ClassicNumbers::~ClassicNumbers() { uselocale(static_cast<locale_t>(previous_)); }

int countLeadingNumbers(const char* p, const char* end) {
  int n = 0;
  float v;
  while (n < 3 && (p = scanFloat(p, end, v)) != nullptr) ++n;
  return n;
}

}  // namespace litho
