// The libFuzzer start-up shared by the targets that draw, measure or decode pictures: a QGuiApplication on
// the offscreen platform.
#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: stopping the application's threads at exit would race with the leak check, which
  // runs after static destructors.
  static QGuiApplication *application = new QGuiApplication(*argc, *argv);
  (void)application;
  return 0;
}
