#include "gl/bitmap_text.h"

#include <GL/gl.h>

#include "core/io/utf8.h"

namespace litho {

namespace {
constexpr char32_t kFirstAscii = 32, kLastAscii = 126;
}

void BitmapText::setGlyphSource(GlyphSource source) {
  source_ = std::move(source);
  stale_ = true;
  advances_.clear();
}

double BitmapText::textWidth(const std::string& utf8) {
  if (!source_) return 0;
  double width = 0;
  for (const char32_t c : decodeUtf8(utf8)) {
    if (c < kFirstAscii || c == 0x7F) continue;
    auto it = advances_.find(c);
    if (it == advances_.end()) it = advances_.emplace(c, source_(c).xmove).first;
    width += it->second;
  }
  return width;
}

void BitmapText::release() {
  lists_.free(ascii_);
  ascii_ = 0;
  for (const auto& [c, list] : extra_) lists_.free(list);
  extra_.clear();
}

namespace {
void bitmap(const GlyphBitmap& g) {
  glBitmap(g.width, g.height, g.xorig, g.yorig, g.xmove, 0, g.bits.empty() ? nullptr : g.bits.data());
}
}  // namespace

unsigned BitmapText::compile(char32_t c, unsigned list) {
  const GlyphBitmap g = source_ ? source_(c) : GlyphBitmap{};
  glNewList(list, GL_COMPILE);
  bitmap(g);
  glEndList();
  return list;
}

unsigned BitmapText::listOf(char32_t c, bool mayBuild) {
  if (c >= kFirstAscii && c <= kLastAscii) {
    if (ascii_ == 0) {
      if (!mayBuild) return 0;
      ascii_ = lists_.allocate(static_cast<int>(kLastAscii - kFirstAscii + 1));
      if (ascii_ == 0) return 0;
      glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
      for (char32_t a = kFirstAscii; a <= kLastAscii; ++a) compile(a, ascii_ + (a - kFirstAscii));
    }
    return ascii_ + (c - kFirstAscii);
  }
  const auto it = extra_.find(c);
  if (it != extra_.end()) return it->second;
  if (!mayBuild) return 0;
  const unsigned list = lists_.allocate(1);
  if (list == 0) return 0;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  extra_[c] = compile(c, list);
  return list;
}

void BitmapText::drawText(const std::string& utf8) {
  // Inside another list's compilation no list can be built: a glyph without one goes into that list as a bitmap.
  GLint compiling = 0;
  glGetIntegerv(GL_LIST_INDEX, &compiling);
  if (stale_ && compiling == 0) {
    release();
    stale_ = false;
  }
  calls_.clear();
  auto flush = [this] {
    if (calls_.empty()) return;
    glListBase(0);
    glCallLists(static_cast<GLsizei>(calls_.size()), GL_UNSIGNED_INT, calls_.data());
    calls_.clear();
  };
  for (const char32_t c : decodeUtf8(utf8)) {
    if (c < kFirstAscii || c == 0x7F) continue;  // control characters draw nothing
    if (const unsigned list = stale_ ? 0 : listOf(c, compiling == 0)) {
      calls_.push_back(list);
    } else if (compiling != 0 && source_) {
      flush();
      glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
      bitmap(source_(c));
    }
  }
  flush();
}

}  // namespace litho
