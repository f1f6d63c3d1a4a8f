#include "gl/gl_resources.h"

namespace litho {

void GlResources::release() {
  scene_.release();
  screenText_.release();
  lists_.freeAll();
}

}  // namespace litho
