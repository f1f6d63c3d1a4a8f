#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "core/scene/glyphs.h"
#include "gl/display_lists.h"
#include "gl/text_renderer.h"

namespace litho {

// Screen text: one glBitmap display list per character. The printable ASCII
// lists are built together on first use; other characters are rendered when
// first drawn and kept until the font changes.
class BitmapText : public TextRenderer {
 public:
  explicit BitmapText(DisplayLists& lists) : lists_(lists) {}
  using TextRenderer::drawText;
  void drawText(const std::string& utf8) override;
  double textWidth(const std::string& utf8) override;

  // A new font: the lists are rebuilt on the next draw (no GL call here).
  void setGlyphSource(GlyphSource source);
  // Frees the lists (context current); they are built again when needed.
  void release();
  // Characters beyond ASCII that have a list.
  std::size_t extraGlyphCount() const { return extra_.size(); }

 private:
  unsigned listOf(char32_t c, bool mayBuild);
  unsigned compile(char32_t c, unsigned list);

  DisplayLists& lists_;
  GlyphSource source_;
  bool stale_ = false;  // the lists hold the previous font's glyphs
  unsigned ascii_ = 0;  // lists of ' '..'~'
  std::unordered_map<char32_t, unsigned> extra_;
  std::vector<unsigned> calls_;
  std::unordered_map<char32_t, float> advances_;  // of the current font
};

}  // namespace litho
