#pragma once
// The floating-point conversions of scanf ("%g" into a float, "%lg" into a
// double) as glibc performs them, on a line held in memory:
//   - leading blanks are skipped, a '\n' or NUL ends the line;
//   - the characters scanf consumes are the ones its scanner collects, which
//     may be more than the number ("1e+" yields 1 and consumes all three);
//   - the value is what strtof/strtod give for the collected characters,
//     always with '.' as the decimal point whatever the process locale.
// Returns one past the last consumed character, or nullptr when scanf would
// convert nothing. Never reads at or beyond end.
#include <fast_float/fast_float.h>

#include <cstdint>

namespace litho {

namespace scan_detail {

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
inline bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

// Digit values (0..9) of n <= 8 characters, the first in the lowest byte.
inline std::uint64_t swarDigits(std::uint64_t x, int n) {
  const int shift = 4 * (8 - n);  // two shifts: n = 0 shifts everything out
  x = (x << shift) << shift;
  x = x * 10 + (x >> 8);
  return (((x & 0x000000FF000000FF) * 0x000F424000000064) +
          (((x >> 16) & 0x000000FF000000FF) * 0x0000271000000001)) >> 32;
}

// Leading digits of the 8 characters in w, first in the lowest byte (0..8),
// and their digit values.
inline int swarRun(std::uint64_t w, std::uint64_t& x) {
  x = w - 0x3030303030303030;
  const std::uint64_t nonDigit = (x | (x + 0x7676767676767676)) & 0x8080808080808080;
  return nonDigit ? __builtin_ctzll(nonDigit) >> 3 : 8;
}
inline int swarRun(const char* p, std::uint64_t& x) {
  std::uint64_t w;
  __builtin_memcpy(&w, p, 8);
  return swarRun(w, x);
}

inline constexpr std::uint64_t kPow10[] = {1,
                                           10,
                                           100,
                                           1000,
                                           10000,
                                           100000,
                                           1000000,
                                           10000000,
                                           100000000,
                                           1000000000,
                                           10000000000,
                                           100000000000,
                                           1000000000000,
                                           10000000000000,
                                           100000000000000,
                                           1000000000000000,
                                           10000000000000000};

inline constexpr double kDoublePow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// scanFloat, not inlined: the fast path's rare way out.
const char* scanFloatOutOfLine(const char* p, const char* end, float& value);

// "nan", "inf", "infinity" and hexadecimal numbers: rare, out of line.
const char* scanSpecial(const char* p, const char* end, bool negative, float& value);
const char* scanSpecial(const char* p, const char* end, bool negative, double& value);

// scanf takes an 'e' without exponent digits ("1e", "1e-") along with the number.
inline const char* takeDanglingExponent(const char* begin, const char* r, const char* end) {
  if (r == end || lower(*r) != 'e') return r;
  const char* b = r;
  while (b > begin && isDigit(b[-1])) --b;
  if (b > begin && (b[-1] == '+' || b[-1] == '-')) --b;
  if (b > begin && lower(b[-1]) == 'e') return r;  // the number already has its exponent
  ++r;
  if (r != end && (*r == '+' || *r == '-')) ++r;
  return r;
}

// Clinger's exact cases: m and 10^|e| both exact, one rounding. For a float
// the division may also run in double when the double result is no float
// midpoint (rounding to double then to float can only go wrong on a midpoint).
inline bool exactValue(std::uint64_t m, int e, float& v) {
  static constexpr float kFloatPow[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  if (m <= (std::uint64_t{1} << 24) && e >= -10 && e <= 10) {
    const float f = static_cast<float>(m);
    v = e < 0 ? f / kFloatPow[-e] : f * kFloatPow[e];
    return true;
  }
  if (m <= (std::uint64_t{1} << 53) && e >= -22 && e <= 22) {
    const double d = static_cast<double>(m);
    const double r = e < 0 ? d / kDoublePow10[-e] : d * kDoublePow10[e];
    std::uint64_t bits;
    __builtin_memcpy(&bits, &r, sizeof bits);
    if ((bits & 0x1FFFFFFF) == 0x10000000) return false;
    v = static_cast<float>(r);
    return true;
  }
  return false;
}

inline bool exactValue(std::uint64_t m, int e, double& v) {
  if (m <= (std::uint64_t{1} << 53) && e >= -22 && e <= 22) {
    const double d = static_cast<double>(m);
    v = e < 0 ? d / kDoublePow10[-e] : d * kDoublePow10[e];
    return true;
  }
  return false;
}

template <class T>
inline const char* scanNumber(const char* p, const char* end, T& value) {
  while (p != end && isBlank(*p)) ++p;
  if (p == end) return nullptr;
  bool negative = false;
  if (*p == '-' || *p == '+') {
    negative = *p == '-';
    if (++p == end) return nullptr;
  }
  const char c = *p;
  if (isDigit(c) || c == '.') {
    if (c == '0' && end - p > 1 && lower(p[1]) == 'x') return scanSpecial(p, end, negative, value);
    // Plain decimals of up to 19 digits; anything else goes to fast_float.
    const char* q = p;
    std::uint64_t m = 0;
    while (q != end && isDigit(*q)) m = m * 10 + static_cast<unsigned>(*q++ - '0');
    int digits = static_cast<int>(q - p);
    int e = 0;
    if (q != end && *q == '.') {
      const char* f = ++q;
      while (q != end && isDigit(*q)) m = m * 10 + static_cast<unsigned>(*q++ - '0');
      e = -static_cast<int>(q - f);
      digits -= e;
    }
    if (digits == 0) return nullptr;
    const char* after = q;
    if (q != end && lower(*q) == 'e') {
      const char* x = q + 1;
      bool minus = false;
      if (x != end && (*x == '+' || *x == '-')) minus = *x++ == '-';
      if (x != end && isDigit(*x)) {
        int n = 0;
        while (x != end && isDigit(*x) && n < 10000) n = n * 10 + (*x++ - '0');
        if (x != end && isDigit(*x)) digits = 100;  // an absurd exponent: leave it to fast_float
        e += minus ? -n : n;
      }
      after = x;  // scanf consumes a dangling "e" or "e+" too
    }
    T v;
    if (digits <= 19 && exactValue(m, e, v)) {
      value = negative ? -v : v;
      return after;
    }
    const auto r = fast_float::from_chars(p, end, v);
    if (r.ec != std::errc()) return nullptr;
    value = negative ? -v : v;
    return takeDanglingExponent(p, r.ptr, end);
  }
  if (lower(c) == 'n' || lower(c) == 'i') return scanSpecial(p, end, negative, value);
  return nullptr;
}

}  // namespace scan_detail

inline const char* scanFloat(const char* p, const char* end, float& value) {
  return scan_detail::scanNumber(p, end, value);
}
inline const char* scanDouble(const char* p, const char* end, double& value) {
  return scan_detail::scanNumber(p, end, value);
}

// scanFloat for the common shapes of model files ("-0.12345678", "4.5e-05",
// "  12"), reading whole 8-byte words. Every byte up to readable must be
// addressable. Anything else goes to scanFloat.
[[gnu::always_inline]] inline const char* scanFloatFast(const char* p, const char* end, const char* readable,
                                                        float& value) {
  using namespace scan_detail;
  const char* q = p;
  while (q != end && isBlank(*q)) ++q;
  if (readable - q >= 48) {
    const char c0 = q[0], c1 = q[1], c2 = q[2];
    const bool negative = c0 == '-';
    const char* d = q + negative;
    std::uint64_t x;
    int nInt;
    std::uint64_t m;
    const char* t;
    int digits, e;
    const char d0 = negative ? c1 : c0, d1 = negative ? c2 : c1;
    if (isDigit(d0) && d1 == '.') {
      // The usual shape, one digit before the point: the fraction's place is
      // known without counting, so its words load at once, for either sign.
      std::uint64_t w1p, w1n, w2p, w2n, y;
      __builtin_memcpy(&w1p, q + 2, 8);
      __builtin_memcpy(&w1n, q + 3, 8);
      __builtin_memcpy(&w2p, q + 10, 8);
      __builtin_memcpy(&w2n, q + 11, 8);
      const int n1 = swarRun(negative ? w1n : w1p, x);
      const int n2 = swarRun(negative ? w2n : w2p, y);
      const int more = n1 == 8 ? n2 : 0;
      nInt = 1;
      m = static_cast<std::uint64_t>(d0 - '0') * kPow10[n1 + more] + swarDigits(x, n1) * kPow10[more] +
          swarDigits(y, more);
      e = -(n1 + more);
      digits = 1 - e;
      t = d + 2 + n1 + more;
    } else {
      nInt = swarRun(d, x);
      m = swarDigits(x, nInt);
      t = d + nInt;
      digits = nInt;
      e = 0;
    }
    if (nInt != 1 && *t == '.') {
      ++t;
      int n = swarRun(t, x);
      m = m * kPow10[n] + swarDigits(x, n);
      t += n;
      e = -n;
      if (n == 8) {
        n = swarRun(t, x);
        m = m * kPow10[n] + swarDigits(x, n);
        t += n;
        e -= n;
      }
      digits -= e;
    }
    bool plain = nInt < 8 && e > -16 && digits >= 1 && digits <= 16;  // e = -16: more digits may follow
    if (lower(*t) == 'e') {
      const char* x1 = t + 1;
      const bool minus = *x1 == '-';
      x1 += minus || *x1 == '+';
      int n = 0, k = 0;
      for (; k < 4 && isDigit(x1[k]); ++k) n = n * 10 + (x1[k] - '0');
      plain = plain && k >= 1 && k <= 3;
      e += minus ? -n : n;
      t = x1 + k;
    } else if (lower(*t) == 'x') {
      plain = false;
    }
    if (plain && m <= (std::uint64_t{1} << 53) && e >= -22 && e <= 22) {
      // Exact m and 10^|e|, one rounding to double; rounding on to float
      // can only go wrong when the double is a float midpoint.
      const double dm = static_cast<double>(m);
      const double r = e <= 0 ? dm / kDoublePow10[-e] : dm * kDoublePow10[e];
      std::uint64_t bits;
      __builtin_memcpy(&bits, &r, sizeof bits);
      if ((bits & 0x1FFFFFFF) != 0x10000000) {
        const float v = static_cast<float>(r);
        value = negative ? -v : v;
        return t;
      }
    }
  }
  return scan_detail::scanFloatOutOfLine(p, end, value);
}

// While it lives, the C library's conversions on this thread use the "C"
// locale (the Qt layer sets the process locale from the environment).
class ClassicNumbers {
 public:
  ClassicNumbers();
  ~ClassicNumbers();
  ClassicNumbers(const ClassicNumbers&) = delete;
  ClassicNumbers& operator=(const ClassicNumbers&) = delete;

 private:
  void* previous_;
};

// How many numbers the pattern "%g %g %g" converts from a line (0 to 3).
int countLeadingNumbers(const char* p, const char* end);

}  // namespace litho
