#include "pfPlatform.h"

#include "pfShell.h"
#include "pfSingleInstance.h"
#include "pfSound.h"
#include "pfUserInterface.h"

TPlatformServices::TPlatformServices() {
  InstallUserInterface(std::make_unique<TQtUserInterface>());
  InstallShell(std::make_unique<TXdgShell>());
  InstallSingleInstance(std::make_unique<TLocalSingleInstance>());
  InstallSound(std::make_unique<TAlsaSound>());
}

TPlatformServices::~TPlatformServices() {
  InstallSound(nullptr);
  InstallSingleInstance(nullptr);
  InstallShell(nullptr);
  InstallUserInterface(nullptr);
}
