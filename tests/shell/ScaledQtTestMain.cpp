#include <gtest/gtest.h>

#include <QApplication>

// The widget tests' entry point on a desktop scaled to 2: every widget has
// two device pixels per logical one along each axis.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
