#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

#include "app/application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests (at build time) needs no display.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  litho::setDefaultSurfaceFormat();
  QApplication app(argc, argv);
  // Qt takes the locale from the environment; numbers in files and fields use '.'.
  std::setlocale(LC_NUMERIC, "C");
  return RUN_ALL_TESTS();
}
