#include "testFaultyFileSystem.h"

#include <QDir>

#include <cerrno>

namespace {
TFileSystem &Real() { return PosixFileSystem(); }
}  // namespace

TFaultyFileSystem::TFaultyFileSystem(TFault fault) : FFault(fault), FPrevious(SetFileSystem(this)) {}

TFaultyFileSystem::~TFaultyFileSystem() { SetFileSystem(FPrevious == &PosixFileSystem() ? nullptr : FPrevious); }

int TFaultyFileSystem::CreateExclusive(const QString &path, int permissions, THandle &handle) {
  return FFault == fReadOnlyFolder ? EROFS : Real().CreateExclusive(path, permissions, handle);
}

int TFaultyFileSystem::Write(THandle handle, const char *data, qint64 size) {
  if (FFault != fFullDisk)
    return Real().Write(handle, data, size);
  Real().Write(handle, data, size / 2);
  return ENOSPC;
}

int TFaultyFileSystem::Sync(THandle handle) { return FFault == fSyncFails ? EIO : Real().Sync(handle); }

int TFaultyFileSystem::Close(THandle handle) { return Real().Close(handle); }

int TFaultyFileSystem::Rename(const QString &from, const QString &to) {
  return FFault == fRenameFails ? EACCES : Real().Rename(from, to);
}

int TFaultyFileSystem::Remove(const QString &path) { return Real().Remove(path); }

int TFaultyFileSystem::SyncFolder(const QString &folder) { return Real().SyncFolder(folder); }

QStringList FolderEntries(const QString &folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
