#include "app/key_state.h"

#include <QGuiApplication>

// After Qt: Xlib's macros (None, Bool, KeyPress) would clash with its names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace litho {

std::optional<bool> spaceBarDownNow() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return std::nullopt;
  const KeyCode code = XKeysymToKeycode(display, XK_space);
  if (code == 0) return std::nullopt;
  char keys[32] = {};
  XQueryKeymap(display, keys);
  return ((static_cast<unsigned char>(keys[code / 8]) >> (code % 8)) & 1) != 0;
}

}  // namespace litho
