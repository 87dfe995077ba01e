#include "pfPlatform.h"

#include "pfFileDialogs.h"
#include "pfShell.h"
#include "pfSingleInstance.h"
#include "pfSound.h"
#include "pfUserInterface.h"

TPlatformServices::TPlatformServices() {
  InstallUserInterface(std::make_unique<TQtUserInterface>());
  InstallShell(std::make_unique<TXdgShell>());
  InstallSingleInstance(std::make_unique<TLocalSingleInstance>());
  InstallFileDialogs(std::make_unique<TQtFileDialogs>());
  InstallSound(std::make_unique<TAlsaSound>());
}

TPlatformServices::~TPlatformServices() {
  InstallSound(nullptr);
  InstallFileDialogs(nullptr);
  InstallSingleInstance(nullptr);
  InstallShell(nullptr);
  InstallUserInterface(nullptr);
}
