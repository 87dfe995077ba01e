// The program's entry point.
#include "cuClasses.h"
#include "cuUtils.h"
#include "pfPlatform.h"
#include "unStartup.h"

#include <QApplication>

int main(int argc, char **argv) {
  // X11 (or XWayland) unless the user chose a platform; the native Wayland platform cannot yet do what
  // the program needs of the window system (activation by a second start, among others).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  TPlatformServices services;
  try {
    return RunProgram(QCoreApplication::applicationFilePath());
  } catch (const EException &e) {
    ShowMessageBox(e.Message(), {}, mbIconError);
    return 1;
  }
}
