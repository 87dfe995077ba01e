#include "testFakes.h"

TFakeDesktop::TFakeDesktop()
    : TFakeDesktop(std::make_unique<TFakeUserInterface>(), std::make_unique<TFakeShell>(),
                   std::make_unique<TFakeSingleInstance>(), std::make_unique<TFakeFileDialogs>()) {}

TFakeDesktop::TFakeDesktop(std::unique_ptr<TFakeUserInterface> ui, std::unique_ptr<TFakeShell> shell,
                           std::unique_ptr<TFakeSingleInstance> instance,
                           std::unique_ptr<TFakeFileDialogs> dialogs)
    : Ui(*ui), Shell(*shell), Instance(*instance), Dialogs(*dialogs) {
  FPreviousUi = InstallUserInterface(std::move(ui));
  FPreviousShell = InstallShell(std::move(shell));
  FPreviousInstance = InstallSingleInstance(std::move(instance));
  FPreviousDialogs = InstallFileDialogs(std::move(dialogs));
}

TFakeDesktop::~TFakeDesktop() {
  InstallFileDialogs(std::move(FPreviousDialogs));
  InstallSingleInstance(std::move(FPreviousInstance));
  InstallShell(std::move(FPreviousShell));
  InstallUserInterface(std::move(FPreviousUi));
}
