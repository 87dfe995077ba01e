#include "unFileLayout.h"

#include "cuUtils.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

QString XdgHome(const char *variable, const char *fallback) {
  const QString value = qEnvironmentVariable(variable);
  return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QDir::homePath() + QLatin1String(fallback);
}

bool FolderTakesNewFiles(const QString &folder) {
  QTemporaryFile probe(folder + QLatin1String(".quillnote-probe-XXXXXX"));
  return probe.open();  // removed again when the probe goes
}

}  // namespace

QString ConfigHome() { return XdgHome("XDG_CONFIG_HOME", "/.config"); }
QString DataHome() { return XdgHome("XDG_DATA_HOME", "/.local/share"); }
QString RecoveryFolder() { return DataHome() + QLatin1String("/quillnote/"); }

QString CanonicalPath(const QString &path) {
  QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
  QString rest;
  while (!info.exists() && !info.isRoot()) {
    rest = rest.isEmpty() ? info.fileName() : info.fileName() + QLatin1Char('/') + rest;
    info = QFileInfo(info.absolutePath());
  }
  QString base = info.canonicalFilePath();
  if (rest.isEmpty())
    return base;
  if (!base.endsWith(QLatin1Char('/')))
    base += QLatin1Char('/');
  return base + rest;
}

QString TFileLayout::DataFolder() const { return QFileInfo(DefaultDataFileName).absolutePath() + QLatin1Char('/'); }

QString TFileLayout::ResolveDataPath(const QString &fileName) const {
  if (fileName.isEmpty() || QDir::isAbsolutePath(fileName))
    return fileName;
  return QDir::cleanPath(DataFolder() + fileName);
}

QString TFileLayout::InstanceKey() const {
  return QString::fromLatin1(
      QCryptographicHash::hash(CanonicalPath(SettingsFileName).toUtf8(), QCryptographicHash::Sha1).toHex());
}

TFileLayout DecideFileLayout(const QString &programFileName) {
  TFileLayout layout;
  const QFileInfo program(programFileName);
  layout.ProgramFolder = program.absolutePath() + QLatin1Char('/');
  layout.BaseName = BaseName(programFileName);
  layout.Portable = FolderTakesNewFiles(layout.ProgramFolder);
  const QString configFolder = layout.Portable ? layout.ProgramFolder : ConfigHome() + QLatin1String("/quillnote/");
  const QString dataFolder = layout.Portable ? layout.ProgramFolder : DataHome() + QLatin1String("/quillnote/");
  layout.SettingsFileName = configFolder + layout.BaseName + QLatin1String(".settings");
  layout.SessionFileName = configFolder + layout.BaseName + QLatin1String(".session");
  layout.DefaultDataFileName = dataFolder + layout.BaseName + QLatin1String(".qnt");
  layout.DefaultBackupFileName = dataFolder + layout.BaseName + QLatin1String("Backup.qnt");
  return layout;
}
