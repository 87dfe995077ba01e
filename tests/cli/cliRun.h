// Runs the built quillnote-cli for the command-line tests.
#pragma once

#include <QByteArray>
#include <QStringList>

struct TRun {
  int Status;
  QByteArray Out, Err;
};

// Runs quillnote-cli with `args` and waits (up to a minute) for it to end.
TRun RunCli(const QStringList &args);
