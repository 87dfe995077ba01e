// A file system for tests: the real one with one injected failure. Installed for its lifetime, so that
// every write of the code under test meets the failure; a failing write still writes half of its bytes,
// as a full disk does.
#pragma once

#include "cuFileSystem.h"

#include <QStringList>

enum TFault { fNone, fFullDisk, fSyncFails, fRenameFails, fReadOnlyFolder };

class TFaultyFileSystem : public TFileSystem {
public:
  explicit TFaultyFileSystem(TFault fault);
  ~TFaultyFileSystem() override;
  int CreateExclusive(const QString &path, int permissions, THandle &handle) override;
  int Write(THandle handle, const char *data, qint64 size) override;
  int Sync(THandle handle) override;
  int Close(THandle handle) override;
  int Rename(const QString &from, const QString &to) override;
  int Remove(const QString &path) override;
  int SyncFolder(const QString &folder) override;

private:
  TFault FFault;
  TFileSystem *FPrevious;
};

// The names of every file in a folder (hidden ones included), sorted.
QStringList FolderEntries(const QString &folder);
