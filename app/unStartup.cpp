#include "unStartup.h"

#include "unAppMainForm.h"
#include "unGlobal.h"

#include <QApplication>
#include <QSessionManager>

int RunProgram(const QString &programFileName) {
  const TFileLayout layout = DecideFileLayout(programFileName);
  auto global = std::make_unique<TGlobal>(layout);
  if (FindRunningInstance(layout))
    return 0;
  std::unique_ptr<TAppMainForm> form = TMainForm::Create<TAppMainForm>(*global);
  TShutdownSignals caught([&form](int) {
    if (form)
      form->RequestShutdown();
  });
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, form.get(),
                   [&form](QSessionManager &) { form->RequestShutdown(); });
  form->show();
  const int code = QApplication::exec();
  // The window goes first (it lets go of the settings and the document), the data module after it.
  form.reset();
  global.reset();
  return code;
}
