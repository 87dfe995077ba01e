#include "cuDesktop.h"

#include "cuClasses.h"

namespace {

std::unique_ptr<TUserInterface> &CurrentUserInterface() {
  static std::unique_ptr<TUserInterface> current;
  return current;
}
std::unique_ptr<TShell> &CurrentShell() {
  static std::unique_ptr<TShell> current;
  return current;
}
std::unique_ptr<TSingleInstance> &CurrentSingleInstance() {
  static std::unique_ptr<TSingleInstance> current;
  return current;
}
std::unique_ptr<TSound> &CurrentSound() {
  static std::unique_ptr<TSound> current;
  return current;
}
std::unique_ptr<TFileDialogs> &CurrentFileDialogs() {
  static std::unique_ptr<TFileDialogs> current;
  return current;
}

template <class T> T &Required(const std::unique_ptr<T> &current, const char *what) {
  if (!current)
    throw EException(QStringLiteral("No %1 is installed").arg(QLatin1String(what)));
  return *current;
}

}  // namespace

std::unique_ptr<TUserInterface> InstallUserInterface(std::unique_ptr<TUserInterface> userInterface) {
  CurrentUserInterface().swap(userInterface);
  return userInterface;
}

std::unique_ptr<TShell> InstallShell(std::unique_ptr<TShell> shell) {
  CurrentShell().swap(shell);
  return shell;
}

std::unique_ptr<TSingleInstance> InstallSingleInstance(std::unique_ptr<TSingleInstance> singleInstance) {
  CurrentSingleInstance().swap(singleInstance);
  return singleInstance;
}

std::unique_ptr<TSound> InstallSound(std::unique_ptr<TSound> sound) {
  CurrentSound().swap(sound);
  return sound;
}

std::unique_ptr<TFileDialogs> InstallFileDialogs(std::unique_ptr<TFileDialogs> fileDialogs) {
  CurrentFileDialogs().swap(fileDialogs);
  return fileDialogs;
}

TUserInterface &UserInterface() { return Required(CurrentUserInterface(), "user interface"); }
TShell &Shell() { return Required(CurrentShell(), "desktop shell"); }
TSingleInstance &SingleInstance() { return Required(CurrentSingleInstance(), "single-instance service"); }
TSound &Sound() { return Required(CurrentSound(), "sound player"); }

bool PlaySoundData(const QByteArray &wave) {
  TSound &sound = Sound();
  if (sound.IsPlaying())
    return false;
  sound.Start(wave);
  return true;
}
TFileDialogs &FileDialogs() { return Required(CurrentFileDialogs(), "file dialog service"); }
