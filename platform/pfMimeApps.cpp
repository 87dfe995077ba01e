#include "pfMimeApps.h"

#include "pfDesktopEntry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString Folder(const char *variable, const QString &fallback) {
  const QString value = qEnvironmentVariable(variable);
  return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;  // relative values are invalid
}

QStringList Folders(const char *variable, const QStringList &fallback) {
  QStringList folders;
  for (const QString &folder : qEnvironmentVariable(variable).split(QLatin1Char(':'), Qt::SkipEmptyParts))
    if (QDir::isAbsolutePath(folder))
      folders.append(QDir::cleanPath(folder));
  return folders.isEmpty() ? fallback : folders;
}

// The groups of a mimeapps.list file: MIME type -> desktop IDs, for each group.
QHash<QString, QHash<QString, QStringList>> ReadListFile(const QString &fileName) {
  QHash<QString, QHash<QString, QStringList>> groups;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    return groups;
  QString group;
  for (const QByteArray &rawLine : file.readAll().split('\n')) {
    const QString line = QString::fromUtf8(rawLine).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
      continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      group = line.mid(1, line.size() - 2);
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals <= 0 || group.isEmpty())
      continue;
    QStringList &ids = groups[group][line.left(equals).trimmed()];
    for (const QString &id : line.mid(equals + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
      if (!ids.contains(id.trimmed()))
        ids.append(id.trimmed());
  }
  return groups;
}

// A program named by a command line's first argument, when it can be started.
bool ProgramExists(const QString &program) {
  if (program.contains(QLatin1Char('/'))) {
    const QFileInfo info(program);
    return info.isAbsolute() && info.isFile() && info.isExecutable();
  }
  return !QStandardPaths::findExecutable(program).isEmpty();
}

}  // namespace

TMimeApps TMimeApps::FromEnvironment() {
  const QString home = QDir::homePath();
  QStringList configDirs{Folder("XDG_CONFIG_HOME", home + QLatin1String("/.config"))};
  configDirs += Folders("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
  QStringList dataDirs{Folder("XDG_DATA_HOME", home + QLatin1String("/.local/share"))};
  dataDirs += Folders("XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
  QStringList desktops;
  for (const QString &desktop : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
    desktops.append(desktop.toLower());
  return TMimeApps(configDirs, dataDirs, desktops, DesktopLocales());
}

TMimeApps::TMimeApps(QStringList configDirs, QStringList dataDirs, QStringList desktops, QStringList locales)
    : FLocales(std::move(locales)) {
  // Desktop-specific lists only name defaults; associations are added and removed by plain mimeapps.list.
  auto addLists = [&](const QString &folder, int firstFolder) {
    for (const QString &desktop : desktops) {
      TListFile list;
      list.FirstFolder = firstFolder;
      list.Groups.Default = ReadListFile(folder + QLatin1Char('/') + desktop + QLatin1String("-mimeapps.list"))
                                .value(QStringLiteral("Default Applications"));
      FLists.push_back(std::move(list));
    }
    const auto groups = ReadListFile(folder + QLatin1String("/mimeapps.list"));
    TListFile list;
    list.FirstFolder = firstFolder;
    list.Groups.Default = groups.value(QStringLiteral("Default Applications"));
    list.Groups.Added = groups.value(QStringLiteral("Added Associations"));
    list.Groups.Removed = groups.value(QStringLiteral("Removed Associations"));
    FLists.push_back(std::move(list));
  };
  for (const QString &folder : configDirs)
    addLists(folder, 0);
  for (const QString &folder : dataDirs) {
    FApplicationFolders.append(folder + QLatin1String("/applications"));
    addLists(FApplicationFolders.back(), int(FApplicationFolders.size()) - 1);
  }
  // Lists name types by any of their aliases; keys are compared in their canonical form.
  for (TListFile &list : FLists)
    for (QHash<QString, QStringList> *group : {&list.Groups.Default, &list.Groups.Added, &list.Groups.Removed}) {
      QHash<QString, QStringList> canonical;
      for (auto it = group->cbegin(); it != group->cend(); ++it)
        canonical[Canonical(it.key())] += it.value();
      *group = std::move(canonical);
    }
}

QString TMimeApps::Canonical(const QString &mimeType) {
  auto it = FCanonical.constFind(mimeType);
  if (it != FCanonical.cend())
    return *it;
  const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
  const QString name = type.isValid() ? type.name() : mimeType;
  FCanonical.insert(mimeType, name);
  return name;
}

void TMimeApps::Scan() {
  if (FScanned)
    return;
  FScanned = true;
  for (int folder = 0; folder < FApplicationFolders.size(); ++folder) {
    const QString root = FApplicationFolders[folder] + QLatin1Char('/');
    QStringList found;
    QDirIterator files(root, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString path = files.next();
      // The desktop ID is the path below the folder with "/" turned into "-".
      const QString id = path.mid(root.size()).replace(QLatin1Char('/'), QLatin1Char('-'));
      if (FEntries.contains(id))
        continue;
      const std::optional<TDesktopEntry> desktop = TDesktopEntry::Load(path);
      if (!desktop)
        continue;
      TEntry entry;
      entry.Folder = folder;
      entry.Application.Id = id;
      entry.Application.Name = desktop->LocalizedValue(QStringLiteral("Name"), FLocales);
      if (entry.Application.Name.isEmpty())
        entry.Application.Name = id.chopped(int(qstrlen(".desktop")));
      entry.Application.CommandLine = desktop->Value(QStringLiteral("Exec"));
      const QString tryExec = desktop->Value(QStringLiteral("TryExec"));
      const std::optional<QStringList> argv = SplitCommandLine(entry.Application.CommandLine);
      entry.Hidden = desktop->Value(QStringLiteral("Type")) != QLatin1String("Application") ||
                     desktop->BoolValue(QStringLiteral("Hidden")) || (!tryExec.isEmpty() && !ProgramExists(tryExec));
      entry.Runnable = !entry.Hidden && argv && ProgramExists(argv->first());
      entry.Listed = entry.Runnable && !desktop->BoolValue(QStringLiteral("NoDisplay"));
      for (const QString &type : desktop->ListValue(QStringLiteral("MimeType")))
        entry.MimeTypes.append(Canonical(type));
      FEntries.insert(id, std::move(entry));
      found.append(id);
    }
    std::sort(found.begin(), found.end());
    FIds += found;
  }
}

const TMimeApps::TEntry *TMimeApps::Installed(const QString &id) {
  Scan();
  auto it = FEntries.constFind(id);
  return it != FEntries.cend() && it->Runnable ? &*it : nullptr;
}

QStringList TMimeApps::TypeAndParents(const QString &mimeType) {
  const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
  QStringList chain{type.isValid() ? type.name() : mimeType};
  if (type.isValid())
    for (const QString &parent : type.allAncestors())
      // Every type descends from raw bytes; the programs for those are no editors of this type.
      if (parent != QLatin1String("application/octet-stream") && !chain.contains(parent))
        chain.append(parent);
  return chain;
}

std::optional<QString> TMimeApps::DefaultId(const QString &mimeType) {
  for (const TListFile &list : FLists)
    for (const QString &id : list.Groups.Default.value(mimeType))
      if (Installed(id))
        return id;
  return std::nullopt;
}

QStringList TMimeApps::OrderedIds(const QString &mimeType) {
  Scan();
  QStringList ids, blacklist;
  for (const TListFile &list : FLists) {
    for (const QString &id : list.Groups.Default.value(mimeType) + list.Groups.Added.value(mimeType))
      if (!blacklist.contains(id) && !ids.contains(id))
        ids.append(id);
    blacklist += list.Groups.Removed.value(mimeType);
  }
  for (const QString &id : std::as_const(FIds)) {
    const TEntry &entry = FEntries[id];
    if (ids.contains(id) || !entry.MimeTypes.contains(mimeType))
      continue;
    // A removal concerns the desktop files of its own folder and later ones only.
    const bool removed = std::any_of(FLists.begin(), FLists.end(), [&](const TListFile &list) {
      return list.FirstFolder <= entry.Folder && list.Groups.Removed.value(mimeType).contains(id);
    });
    if (!removed)
      ids.append(id);
  }
  return ids;
}

std::optional<TDesktopApplication> TMimeApps::DefaultApplication(const QString &mimeType) {
  for (const QString &type : TypeAndParents(Canonical(mimeType))) {
    if (const std::optional<QString> id = DefaultId(type))
      return Installed(*id)->Application;
    for (const QString &id : OrderedIds(type))
      if (const TEntry *entry = Installed(id))
        return entry->Application;
  }
  return std::nullopt;
}

TApplicationList TMimeApps::ApplicationsForExtension(const QString &extension) {
  TApplicationList result;
  if (extension.isEmpty())
    return result;
  const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(QLatin1String("file.") + extension);
  if (types.isEmpty())
    return result;
  QStringList chain;
  for (const QMimeType &type : types)
    for (const QString &name : TypeAndParents(type.name()))
      if (!chain.contains(name))
        chain.append(name);
  for (const QString &type : chain)
    for (const QString &id : OrderedIds(type)) {
      const TEntry *entry = Installed(id);
      if (!entry || !entry->Listed || result.Commands.contains(entry->Application.CommandLine))
        continue;
      result.Names.append(entry->Application.Name);
      result.Commands.append(entry->Application.CommandLine);
    }
  if (const std::optional<TDesktopApplication> preferred = DefaultApplication(types.first().name()))
    result.Default = int(result.Commands.indexOf(preferred->CommandLine));
  return result;
}
