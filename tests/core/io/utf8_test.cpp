#include "core/io/utf8.h"

#include <gtest/gtest.h>

namespace litho {
namespace {

TEST(Utf8, DecodesSequencesAndTakesStrayBytesAsLatin1) {
  {
    SCOPED_TRACE("one to four bytes");
    EXPECT_EQ(decodeUtf8("a\xC2\xB0\xE2\x82\xAC\xF0\x9F\x98\x80"), (std::u32string{U'a', 0xB0, 0x20AC, 0x1F600}));
  }
  {
    SCOPED_TRACE("a Latin-1 degree sign, a truncated sequence, an overlong '/' and a surrogate");
    EXPECT_EQ(decodeUtf8("20\xB0"
                         "C"),
              (std::u32string{U'2', U'0', 0xB0, U'C'}));
    EXPECT_EQ(decodeUtf8("\xE2\x82"), (std::u32string{0xE2, 0x82}));
    EXPECT_EQ(decodeUtf8("\xC0\xAF"), (std::u32string{0xC0, 0xAF}));
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80").size(), 3u);
  }
  {
    SCOPED_TRACE("Latin-1 for 8-bit output");
    EXPECT_EQ(utf8ToLatin1("\xC2\xB5m \xC3\xA9t\xC3\xA9 \xE2\x82\xAC"), "\xB5m \xE9t\xE9 ?");
  }
}

}  // namespace
}  // namespace litho
