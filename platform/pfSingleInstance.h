// TSingleInstance through a lock file and a local socket, both named by the key, in the user's runtime
// folder ($XDG_RUNTIME_DIR, or else a private folder of the user's under the temporary folder). The lock
// is an flock(2) lock, which the kernel drops when its holder ends in any way, so a lock file left
// behind never blocks a later start. The holder listens on the socket; a later start that finds the lock
// taken connects to it, and the connection itself is the request to show the window.
#pragma once

#include "cuDesktop.h"

#include <QString>

#include <memory>

class QSocketNotifier;

class TLocalSingleInstance : public TSingleInstance {
public:
  TLocalSingleInstance();
  ~TLocalSingleInstance() override;
  bool Acquire(const QString &key) override;
  void SetActivationHandler(std::function<void()> handler) override;

  // The folder that holds the lock files and sockets, with a trailing "/"; empty when no folder that
  // only this user can enter is available.
  static QString RuntimeFolder();

private:
  void Listen(const QString &socketPath);
  void AcceptRequests();

  int FLockFd = -1;
  int FServerFd = -1;
  QString FSocketPath;
  std::unique_ptr<QSocketNotifier> FNotifier;
  std::function<void()> FHandler;
};
