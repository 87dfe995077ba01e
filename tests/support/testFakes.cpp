#include "testFakes.h"

TFakeDesktop::TFakeDesktop()
    : TFakeDesktop(std::make_unique<TFakeUserInterface>(), std::make_unique<TFakeShell>(),
                   std::make_unique<TFakeSingleInstance>()) {}

TFakeDesktop::TFakeDesktop(std::unique_ptr<TFakeUserInterface> ui, std::unique_ptr<TFakeShell> shell,
                           std::unique_ptr<TFakeSingleInstance> instance)
    : Ui(*ui), Shell(*shell), Instance(*instance) {
  FPreviousUi = InstallUserInterface(std::move(ui));
  FPreviousShell = InstallShell(std::move(shell));
  FPreviousInstance = InstallSingleInstance(std::move(instance));
}

TFakeDesktop::~TFakeDesktop() {
  InstallSingleInstance(std::move(FPreviousInstance));
  InstallShell(std::move(FPreviousShell));
  InstallUserInterface(std::move(FPreviousUi));
}
