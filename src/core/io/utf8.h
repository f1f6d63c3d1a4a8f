#pragma once
#include <string>
#include <string_view>

namespace litho {

// Code points of a UTF-8 text. A byte that starts no valid sequence (overlong,
// truncated, a surrogate, beyond U+10FFFF) is taken as one Latin-1 character, so
// names from older files in that encoding still show.
std::u32string decodeUtf8(std::string_view text);

// The same text in Latin-1, for output that takes 8-bit text; code points beyond U+00FF become '?'.
std::string utf8ToLatin1(std::string_view text);

}  // namespace litho
