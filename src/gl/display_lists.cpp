#include "gl/display_lists.h"

#include <GL/gl.h>

namespace litho {

unsigned DisplayLists::allocate(int count) {
  if (count <= 0) return 0;
  const GLuint first = glGenLists(count);
  if (first != 0) blocks_[first] = count;
  return first;
}

void DisplayLists::free(unsigned first) {
  const auto it = blocks_.find(first);
  if (it == blocks_.end()) return;
  glDeleteLists(it->first, it->second);
  blocks_.erase(it);
}

void DisplayLists::freeAll() {
  for (const auto& [first, count] : blocks_) glDeleteLists(first, count);
  blocks_.clear();
}

}  // namespace litho
