#include "pfPlatform.h"

#include "pfShell.h"
#include "pfSingleInstance.h"
#include "pfUserInterface.h"

TPlatformServices::TPlatformServices() {
  InstallUserInterface(std::make_unique<TQtUserInterface>());
  InstallShell(std::make_unique<TXdgShell>());
  InstallSingleInstance(std::make_unique<TLocalSingleInstance>());
}

TPlatformServices::~TPlatformServices() {
  InstallSingleInstance(nullptr);
  InstallShell(nullptr);
  InstallUserInterface(nullptr);
}
