// Keeps litho_gl a valid library while it has no sources of its own.
