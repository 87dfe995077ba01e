// Runs the built quillnote-cli for the command-line tests.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct TRun {
  int Status;
  QByteArray Out, Err;
};

// Runs quillnote-cli with `args` and waits (up to a minute) for it to end.
TRun RunCli(const QStringList &args);

// A fixture with a temporary folder for the files a test hands to the command.
class CliTest : public ::testing::Test {
protected:
  // Writes `bytes` to a file `name` in the folder and answers its path.
  QString File(const char *name, const QByteArray &bytes);
  QTemporaryDir FDir;
};
