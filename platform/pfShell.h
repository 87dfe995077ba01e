// TShell on a freedesktop desktop: the default handler and the application lists come from the XDG
// associations (pfMimeApps), programs are started detached with argument vectors, and the "Open with"
// chooser is the desktop portal's, where one runs.
#pragma once

#include "cuDesktop.h"

class TXdgShell : public TShell {
public:
  TLaunchResult OpenDocument(const QString &path) override;
  TLaunchResult ChooseApplication(const QString &path) override;
  TLaunchResult StartProgram(const QString &program, const QStringList &arguments) override;
  bool OpenAddress(const QUrl &address) override;
  TApplicationList ApplicationsFor(const QString &extension) override;
};
