// The program's entry point.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Quillnote"));
  window.resize(640, 480);
  window.show();
  return application.exec();
}
