// What the orderly end of the program needs: the document's side of it, the recovery file for a
// document that could not be saved while the session ends, and the signals that ask for the end.
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;

// The document holder as the shutdown sees it.
class TShutdownDocument {
public:
  virtual ~TShutdownDocument() = default;
  // The document changed since it was last written to the data file.
  virtual bool ChangesPending() const = 0;
  // Writes the document to the data file (with the backup rule); raises EException on failure.
  virtual void SaveNow() = 0;
  // Writes the whole document to `fileName` only (through a temporary file in its folder, flushed and
  // renamed over it), leaving the data file and the pending state alone; raises EException on failure.
  virtual void SaveCopy(const QString &fileName) = 0;
};

// Writes the document to a new file "<base name>Recovery<n>.qnt" in RecoveryFolder() (created when
// missing), n the first number not taken, so that no existing file, the data file included, is ever
// overwritten; answers its path. On failure nothing is left behind and the error passes on.
QString WriteRecoveryFile(TShutdownDocument &document, const QString &baseName);

// Catches SIGTERM, SIGINT and SIGHUP while it exists. The handler only writes the signal's number into a
// pipe; the main loop reads it there and calls `onSignal` with it. One object at a time; destroying it
// puts the previous handlers back.
class TShutdownSignals {
public:
  explicit TShutdownSignals(std::function<void(int)> onSignal);
  ~TShutdownSignals();
  TShutdownSignals(const TShutdownSignals &) = delete;
  TShutdownSignals &operator=(const TShutdownSignals &) = delete;

private:
  void ReadSignals();

  int FPipe[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> FNotifier;
  std::function<void(int)> FOnSignal;
};
