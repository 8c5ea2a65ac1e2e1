#include <gtest/gtest.h>

#include <QApplication>

// The entry point of the widget tests: one QApplication around all the
// tests, gone before the program's static objects are.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Offscreen always, also while CTest lists the tests at build time.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef QUILLORY_TEST_SCALE_FACTOR
  qputenv("QT_SCALE_FACTOR", QUILLORY_TEST_SCALE_FACTOR);
#endif
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
