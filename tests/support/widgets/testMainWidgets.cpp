// The main of the test executables whose tests create widgets: a QApplication on the offscreen platform.
// It takes the place of testMain.cpp, which the linker then leaves out of the support library.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
