#pragma once
#include "gl/bitmap_text.h"
#include "gl/display_lists.h"
#include "gl/scene_gl.h"

namespace litho {

// Everything one GL context owns for the view: its display-list names, the
// model scene and the glyph lists. Built lazily; release() frees them while
// the context is still current (before it is destroyed), after which they are
// built again on first use in a new context.
class GlResources {
 public:
  GlResources() = default;
  GlResources(const GlResources&) = delete;
  GlResources& operator=(const GlResources&) = delete;

  SceneRenderer& scene() { return scene_; }
  const SceneRenderer& scene() const { return scene_; }
  BitmapText& screenText() { return screenText_; }
  // Where the overlays' text goes: the screen glyphs unless an export sets its own.
  TextRenderer& text() { return text_ ? *text_ : screenText_; }
  // The data points' names, which an export sets in a size of their own.
  TextRenderer& nameText() { return names_ ? *names_ : text(); }
  void setText(TextRenderer* text, TextRenderer* names = nullptr) {
    text_ = text;
    names_ = names;
  }
  const DisplayLists& lists() const { return lists_; }

  void release();

 private:
  DisplayLists lists_;
  SceneRenderer scene_{lists_};
  BitmapText screenText_{lists_};
  TextRenderer* text_ = nullptr;
  TextRenderer* names_ = nullptr;
};

}  // namespace litho
