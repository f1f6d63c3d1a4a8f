#include <gtest/gtest.h>

#include <QApplication>

#include "app/opengl_app.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  litho::setDefaultSurfaceFormat();
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
