// The fast number scanner against the C library's sscanf: same accept/reject
// decision, same consumed length, bit-identical value.
#include "core/io/scanf_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace litho {
namespace {

template <class T>
std::uint64_t bitsOf(T v) {
  if constexpr (sizeof(T) == 4) {
    std::uint32_t b;
    std::memcpy(&b, &v, 4);
    return b;
  } else {
    std::uint64_t b;
    std::memcpy(&b, &v, 8);
    return b;
  }
}

const char* scan(const char* p, const char* e, float& v) { return scanFloat(p, e, v); }
const char* scan(const char* p, const char* e, double& v) { return scanDouble(p, e, v); }

// Returns the number of disagreements (reported for the first few).
template <class T>
int compareWithSscanf(const std::string& token, int& reported) {
  T expected{};
  int consumed = -1;
  const int r = std::sscanf(token.c_str(), sizeof(T) == 4 ? "%g%n" : "%lg%n", &expected, &consumed);
  const bool ok = r == 1;
  T got{};
  const char* end = scan(token.data(), token.data() + token.size(), got);
  bool same = ok == (end != nullptr);
  if (same && ok) same = bitsOf(expected) == bitsOf(got) && consumed == end - token.data();
  if (!same && reported++ < 10) {
    ADD_FAILURE() << (sizeof(T) == 4 ? "%g" : "%lg") << " on \"" << token << "\": sscanf " << (ok ? "accepts" : "rejects")
                  << " value " << static_cast<double>(expected) << " consumed " << consumed << "; scanner "
                  << (end ? "accepts" : "rejects") << " value " << static_cast<double>(got) << " consumed "
                  << (end ? end - token.data() : -1);
  }
  return same ? 0 : 1;
}

// The in-place scanner of the model reader sees the token as a line followed
// by the next lines (digits, to tempt it), or as the last line of a file
// followed by the reader's NUL and stale bytes.
int compareFast(const std::string& token, int& reported) {
  float expected{};
  int consumed = -1;
  const bool ok = std::sscanf(token.c_str(), "%g%n", &expected, &consumed) == 1;
  int wrong = 0;
  for (const char after : {'\n', '\0'}) {
    std::string buf = token + after + std::string(40, '7');
    float got{};
    const char* b = buf.data();
    const char* end = scanFloatFast(b, b + token.size() + 1, b + buf.size(), got);
    bool same = ok == (end != nullptr);
    if (same && ok) same = bitsOf(expected) == bitsOf(got) && consumed == end - b;
    if (!same && reported++ < 10)
      ADD_FAILURE() << "fast scan of \"" << token << "\" followed by " << (after ? "a newline" : "NUL")
                    << ": sscanf " << (ok ? "accepts" : "rejects") << " " << static_cast<double>(expected)
                    << " consumed " << consumed << "; scanner " << (end ? "accepts" : "rejects") << " "
                    << static_cast<double>(got) << " consumed " << (end ? end - b : -1);
    wrong += !same;
  }
  return wrong;
}

int compareBoth(const std::string& token, int& reported) {
  return compareWithSscanf<float>(token, reported) + compareWithSscanf<double>(token, reported) +
         compareFast(token, reported);
}

const std::vector<std::string> kAwkward = {
    "+1.5", "1e-5", ".5", "5.", "0x1p-3", "inf", "nan", "-nan", "+nan", "NaN", "NAN", "INF", "-Inf", "Infinity",
    "-INFINITY", "infinit", "infinityx", "infin", "infx", "nanx", "nan(123)", "na", "n", "i", "in", "0x", "0X",
    "-0x", "0x.", "0xp3", "0x1p", "0x1p+", "0x1P-2", "0x.8", "0x1.8p1", "0xg", "0x1e5", "0x1.fffffep127",
    "0x1.ffffffp127", "0x1p-149", "0x1p-150", "0x1.8p-150", "0x123456789abcdef", "1e", "1e+", "1e-", "1E5",
    "1.5.3", " \t 7", "", " ", "\t", "-", "+", ".", "-.", "+.e5", ".e5", "1e5e3", "1e+5e", "5.e", "5.e3",
    "3.4028235e38", "3.4028236e38", "3.5e38", "1e39", "-1e39", "1e309", "-1e309", "1e-46", "1e-45", "7e-46",
    "7.1e-46", "1.401298464324817e-45", "7.006492321624085e-46", "7.006492321624086e-46", "1e-320", "4e-324",
    "2.4703282292062327e-324", "2.4703282292062328e-324", "-0", "-0.0", "+0", "0", "00000000000000000000001.5",
    "0.000000000000000000000000000000000000000000000000000001", "0.5 text", "0.5\ttext", "1,5", "\r", "1\r",
    "\v\f5", "--5", "+-5", "-+5", "- 5", "1-2", "1e5.5", "123456789012345678901234567890",
    "1.00000005960464477539062500000000000000000000000000001", "1.000000059604644775390625",
    "1.0000000596046447753906249999999999999", "16777217", "16777217.0000000000000001", "9007199254740993",
    "1e99999999999999999999", "1e-99999999999999999999", "0e99999999999999999999", "0.0e-99999",
    "1234567890123456789012345e-30", "abc", "e5", "x", "\x01", "1\x7f", "1.5\xff"};

TEST(ScanfNumber, AwkwardTokensMatchSscanf) {
  int reported = 0;
  int wrong = 0;
  for (const auto& t : kAwkward) {
    wrong += compareBoth(t, reported);
    wrong += compareBoth("  " + t + "  tail", reported);
  }
  EXPECT_EQ(wrong, 0);
}

TEST(ScanfNumber, EmbeddedNulEndsTheLine) {
  const std::string t("1.5\0" "7", 5);
  float v = 0;
  EXPECT_EQ(scanFloat(t.data(), t.data() + t.size(), v), t.data() + 3);
  EXPECT_EQ(v, 1.5f);
  const std::string blank("  \0" "7", 4);
  EXPECT_EQ(scanFloat(blank.data(), blank.data() + blank.size(), v), nullptr);
}

TEST(ScanfNumber, NewlineEndsTheLine) {
  // Lines are scanned in place: the scanner must not run into the next one.
  const std::string t = "  \n5";
  float v = 0;
  EXPECT_EQ(scanFloat(t.data(), t.data() + t.size(), v), nullptr);
  const std::string e = "1e\n5";
  EXPECT_EQ(scanFloat(e.data(), e.data() + e.size(), v), e.data() + 2);
  EXPECT_EQ(v, 1.0f);
  const std::string n = "inf\ninity";
  EXPECT_EQ(scanFloat(n.data(), n.data() + n.size(), v), n.data() + 3);
  EXPECT_TRUE(std::isinf(v));
}

TEST(ScanfNumber, CountsNumbersAsTheThreeNumberPatternDoes) {
  int reported = 0;
  const std::vector<std::string> lines = {"1 2 3",   "1 2",         "3 0 4 extra", "1,2,3",   "1 2e 3",
                                          "1.5.3 4", "nan inf -0",  "",            "  \t",    "x 1 2",
                                          "1 x 2",   "0x1p3 .5 5.", "1e+ 2e- 3",   "1\t2\r3", "infinit 1 2"};
  for (const auto& l : lines) {
    float a, b, c;
    const int r = std::sscanf(l.c_str(), "%g %g %g", &a, &b, &c);
    const int expected = r < 0 ? 0 : r;
    if (countLeadingNumbers(l.data(), l.data() + l.size()) != expected && reported++ < 10)
      ADD_FAILURE() << "\"" << l << "\": sscanf converts " << expected;
  }
  EXPECT_EQ(reported, 0);
}

// Tokens of the kinds model files hold, and of kinds they should not.
class TokenMaker {
 public:
  explicit TokenMaker(unsigned seed) : rng_(seed) {}

  std::string next() {
    char buf[128];
    switch (pick(11)) {
      case 0: {  // any float, shortest-ish and full precision
        const float f = randomFloat();
        std::snprintf(buf, sizeof buf, pick(2) ? "%g" : "%.9g", static_cast<double>(f));
        return buf;
      }
      case 1: {  // any double at full precision: rounding to float matters
        const double d = randomDouble();
        std::snprintf(buf, sizeof buf, "%.17g", d);
        return buf;
      }
      case 2: {  // a value as an inversion code writes it
        const double d = std::ldexp(static_cast<double>(rng_()) / 4294967296.0, pick(40) - 30) * (pick(2) ? 1 : -1);
        static const char* kFormats[] = {"%g", "%.6e", "%.4f", "%12.5E", "%+.3g", "%.0f", "%#.0f", "%.10f"};
        std::snprintf(buf, sizeof buf, kFormats[pick(8)], d);
        return buf;
      }
      case 3: {  // halfway between two floats, and a hair either side
        const float f = randomFloat();
        if (!std::isfinite(f)) return "1";
        const double mid = (static_cast<double>(f) + static_cast<double>(std::nextafter(f, INFINITY))) / 2;
        std::snprintf(buf, sizeof buf, "%.*g", 17 + pick(20), mid);
        std::string s = buf;
        if (pick(3) == 0 && s.find('e') == std::string::npos && s.find('.') != std::string::npos)
          s += pick(2) ? "1" : "0000000000001";
        return s;
      }
      case 4: {  // long digit strings and wide exponents
        std::string s = pick(3) == 0 ? "-" : "";
        const int n = 1 + pick(40);
        for (int i = 0; i < n; ++i) s += static_cast<char>('0' + pick(10));
        if (pick(2)) s.insert(pick(static_cast<int>(s.size()) + 1), ".");
        if (pick(2)) s += "e" + std::to_string(pick(900) - 450);
        return s;
      }
      case 5: {  // hexadecimal floats
        std::snprintf(buf, sizeof buf, "%a", pick(2) ? static_cast<double>(randomFloat()) : randomDouble());
        return buf;
      }
      case 9: {  // float midpoints that are integers, scaled by a power of ten in the text
        const int shift = pick(29);
        const std::uint64_t mid = ((std::uint64_t{1} << 24) + 2 * (rng_() % (1u << 23)) + 1) << shift;
        std::string s = std::to_string(mid + static_cast<std::uint64_t>(pick(3)) - 1);
        const int dot = pick(static_cast<int>(s.size()) + 1);
        if (pick(2)) s = s.substr(0, static_cast<std::size_t>(dot)) + "." + s.substr(static_cast<std::size_t>(dot)) +
                         "e" + std::to_string(static_cast<int>(s.size()) - dot);
        return s;
      }
      case 6: {  // subnormal and boundary floats
        const std::uint32_t bits = static_cast<std::uint32_t>(pick(4) == 0 ? 0x7f7ffff0u + pick(16) : pick(0x00900000));
        float f;
        std::memcpy(&f, &bits, 4);
        std::snprintf(buf, sizeof buf, "%.*g", 3 + pick(15), static_cast<double>(f));
        return buf;
      }
      default: {  // garbage from the number alphabet
        static const char kAlphabet[] = "0123456789.eE+-xXpPaAfFnNiItTyY \t\r,()_";
        std::string s;
        const int n = pick(12);
        for (int i = 0; i < n; ++i) s += kAlphabet[pick(sizeof kAlphabet - 1)];
        return s;
      }
    }
  }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  float randomFloat() {
    const std::uint32_t b = static_cast<std::uint32_t>(rng_());
    float f;
    std::memcpy(&f, &b, 4);
    return f;
  }
  double randomDouble() {
    const std::uint64_t b = (static_cast<std::uint64_t>(rng_()) << 32) | rng_();
    double d;
    std::memcpy(&d, &b, 8);
    return d;
  }
  std::mt19937 rng_;
};

TEST(ScanfNumber, MillionGeneratedTokensMatchSscanf) {
  TokenMaker maker(20240611);
  int reported = 0;
  int wrong = 0;
  constexpr int kTokens = 1'000'000;
  for (int i = 0; i < kTokens; ++i) {
    std::string t = maker.next();
    if (i % 7 == 0) t = " \t" + t;
    if (i % 5 == 0) t += i % 2 ? " 12" : "x";
    wrong += compareBoth(t, reported);
  }
  EXPECT_EQ(wrong, 0) << "of " << kTokens << " tokens";
}

}  // namespace
}  // namespace litho
