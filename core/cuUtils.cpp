#include "cuUtils.h"

#include "cuClasses.h"
#include "cuLocalization.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QMimeType>
#include <QUrl>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// ---------------------------------------------------------------------------------------------------------
// File names and folders

QString ProgramFileName() {
  if (QCoreApplication::instance())
    return QCoreApplication::applicationFilePath();
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString ProgramFolder() { return QFileInfo(ProgramFileName()).absolutePath() + QLatin1Char('/'); }

QString ProgramBaseName() { return BaseName(ProgramFileName()); }

QString BaseName(const QString &path) { return QFileInfo(path).completeBaseName(); }

QString ExtensionOf(const QString &path) { return QFileInfo(path).suffix(); }

QString TempFolder() {
  QString folder = QDir::tempPath();
  if (!folder.endsWith(QLatin1Char('/')))
    folder += QLatin1Char('/');
  return folder;
}

TUniqueFile CreateUniqueFile(const QString &pattern, const QString &extension, const QString &folder) {
  const qsizetype placeholder = pattern.indexOf(QLatin1String("%d"));
  if (placeholder < 0)
    throw EException(QStringLiteral("The unique file pattern \"%1\" has no %d").arg(pattern));
  QString dir = folder.isEmpty() ? TempFolder() : folder;
  if (!dir.endsWith(QLatin1Char('/')))
    dir += QLatin1Char('/');
  for (qint64 n = 1;; ++n) {
    QString path = dir + QString(pattern).replace(placeholder, 2, QString::number(n));
    if (!extension.isEmpty())
      path += QLatin1Char('.') + extension;
    // O_EXCL also refuses an existing symbolic link, so the file opened is always the one created here.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      const int error = errno;
      if (error == EEXIST)
        continue;
      if (error == ENOENT || error == ENOTDIR)
        throw EException(FormatString(sidPathNotFound, {dir}));
      throw EException(QStringLiteral("Cannot create the file \"%1\": %2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
      ::close(fd);
      throw EException(QStringLiteral("Cannot create the file \"%1\": %2").arg(path, file->errorString()));
    }
    return {path, std::move(file)};
  }
}

void ListFiles(const QString &folder, const QString &mask, QStringList &list, bool keepExtension, bool withFolder) {
  // Without QDir::CaseSensitive the name filter ignores letter case.
  const QStringList names = QDir(folder).entryList({mask}, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
  for (const QString &name : names) {
    QString entry = keepExtension ? name : QFileInfo(name).completeBaseName();
    list.append(withFolder ? folder + entry : entry);
  }
}

QDateTime FileDate(const QString &path) {
  const QFileInfo info(path);
  return info.exists() ? info.lastModified() : QDateTime();
}

// ---------------------------------------------------------------------------------------------------------
// Launching

namespace {

// The status a missing `file` reports: its folder missing (or a folder path asked for) is a missing path.
TLaunchResult MissingFile(const QString &file) {
  const QFileInfo info(file);
  if (file.endsWith(QLatin1Char('/')) || !info.absoluteDir().exists())
    return {TLaunchResult::lrPathNotFound, {}};
  return {TLaunchResult::lrFileNotFound, {}};
}

[[noreturn]] void RaiseLaunchError(const QString &file, const TLaunchResult &result) {
  switch (result.Status) {
  case TLaunchResult::lrPathNotFound:
    throw EException(FormatString(sidPathNotFound, {file}));
  case TLaunchResult::lrFileNotFound:
    throw EException(FormatString(file.endsWith(QLatin1Char('/')) ? sidPathNotFound : sidFileNotFound, {file}));
  default:
    throw EException(QStringLiteral("Desktop launch error (%1) to launch \"%2\"").arg(result.Reason, file));
  }
}

}  // namespace

bool ShellOpen(const QString &file, const QStringList &parameters, bool raiseErrors) {
  TWaitCursor wait;
  TLaunchResult result;
  if (!parameters.isEmpty()) {
    result = Shell().StartProgram(file, parameters);
  } else if (file.isEmpty() || !QFileInfo::exists(file)) {
    result = MissingFile(file);
  } else {
    result = Shell().OpenDocument(file);
    if (result.Status == TLaunchResult::lrNoAssociation) {
      const TLaunchResult chosen = Shell().ChooseApplication(file);
      // Without a chooser the missing association is the better explanation.
      if (chosen.Status != TLaunchResult::lrNoChooser)
        result = chosen;
    }
  }
  if (result.Ok())
    return true;
  if (raiseErrors)
    RaiseLaunchError(file, result);
  return false;
}

bool OpenWithDialog(const QString &file) {
  TWaitCursor wait;
  return Shell().ChooseApplication(file).Ok();
}

bool OpenInBrowser(const QString &address) {
  const QUrl url(address, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty())
    return false;
  const QString scheme = url.scheme().toLower();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp"))
    return false;
  TWaitCursor wait;
  return Shell().OpenAddress(url);
}

namespace {

// Types the desktop would run rather than show. A type counts when it is one of these, inherits one, or
// its name says it is a program of some kind.
const char *const kLaunchableTypes[] = {
    "application/x-desktop", "application/x-executable", "application/x-pie-executable",
    "application/x-sharedlib", "application/x-elf", "application/x-object", "application/x-core",
    "application/x-shellscript", "application/x-sh", "application/x-csh", "application/x-perl",
    "application/x-ruby", "application/x-python", "text/x-python", "text/x-python3", "application/x-php",
    "application/x-tcl", "text/x-tcl", "application/x-awk", "application/x-lua", "text/x-lua",
    "application/javascript", "text/javascript", "application/x-java-archive", "application/java-archive",
    "application/x-java", "application/x-java-jnlp-file", "application/vnd.appimage",
    "application/x-iso9660-appimage", "application/x-ms-dos-executable", "application/x-msdownload",
    "application/x-msdos-program", "application/x-ms-ne-executable", "application/x-ms-shortcut",
    "application/x-msi", "application/x-ole-storage", "application/vnd.microsoft.portable-executable",
    "application/x-bat", "application/x-dosexec", "application/x-ms-wim", "application/x-cd-image",
    "application/vnd.debian.binary-package", "application/x-deb", "application/x-rpm",
    "application/x-redhat-package-manager", "application/vnd.snap", "application/vnd.flatpak",
    "application/vnd.flatpak.ref", "application/vnd.flatpak.repo", "application/x-flatpak",
    "application/x-flatpakref", "application/x-executable-script", "application/x-mswinurl",
    "application/x-mimearchive", "text/x-makefile", "application/x-trash",
};
const char *const kLaunchableWords[] = {"executable", "script", "sharedlib", "appimage", "java-archive",
                                        "desktop", "msdownload", "ms-dos", "msdos", "ms-shortcut",
                                        "portable-executable", "package", "installer", "flatpak", "snap", "powershell"};

bool IsLaunchableType(const QMimeType &type) {
  if (!type.isValid())
    return false;
  QStringList names = type.allAncestors();
  names.prepend(type.name());
  names += type.aliases();
  for (const QString &name : std::as_const(names)) {
    for (const char *t : kLaunchableTypes)
      if (name == QLatin1String(t))
        return true;
    const QString subtype = name.section(QLatin1Char('/'), 1).toLower();
    for (const char *w : kLaunchableWords)
      if (subtype.contains(QLatin1String(w)))
        return true;
  }
  return false;
}

// The scheme of a link and the text after its separator ("://" or ":\\"); false without both.
bool SplitLink(const QString &target, QString &scheme, QString &rest) {
  const qsizetype colon = target.indexOf(QLatin1Char(':'));
  if (colon <= 0)
    return false;
  const QStringView after = QStringView(target).mid(colon);
  if (!after.startsWith(u"://") && !after.startsWith(u":\\\\"))
    return false;
  scheme = target.left(colon).toLower();
  rest = target.mid(colon + 3);
  return true;
}

}  // namespace

QString FileLinkPath(const QString &target) {
  QString scheme, rest;
  if (!SplitLink(target, scheme, rest) || scheme != QLatin1String("file") || rest.isEmpty())
    return {};
  if (target.at(scheme.size() + 1) == QLatin1Char('/')) {
    QUrl url(target, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile())
      return {};
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
      return {};
    url.setHost(QString());  // else the path would come back as a share on that host
    return url.toLocalFile();
  }
  // The backslash form: a path with either separator; a share ("\\\\server") is no local file.
  QString path = rest;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (path.startsWith(QLatin1String("//")))
    return {};
  if (!path.startsWith(QLatin1Char('/')))
    path.prepend(QLatin1Char('/'));
  return path;
}

bool IsOpenableDocument(const QString &path) {
  if (path.isEmpty())
    return false;
  const QString resolved = QFileInfo(path).canonicalFilePath();
  if (resolved.isEmpty())
    return false;
  struct stat status;
  if (::stat(QFile::encodeName(resolved).constData(), &status) != 0 || !S_ISREG(status.st_mode))
    return false;
  if (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))
    return false;
  const QMimeDatabase types;
  return !IsLaunchableType(types.mimeTypeForFile(resolved, QMimeDatabase::MatchContent)) &&
         !IsLaunchableType(types.mimeTypeForFile(resolved, QMimeDatabase::MatchExtension)) &&
         !IsLaunchableType(types.mimeTypeForFile(path, QMimeDatabase::MatchExtension));
}

bool OpenLink(const QString &target) {
  bool opened = false;
  QString scheme, rest;
  if (SplitLink(target, scheme, rest)) {
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp")) {
      opened = OpenInBrowser(scheme + QStringLiteral("://") + rest);
    } else if (scheme == QLatin1String("file")) {
      const QString path = FileLinkPath(target);
      if (IsOpenableDocument(path)) {
        TWaitCursor wait;
        opened = Shell().OpenDocument(QFileInfo(path).canonicalFilePath()).Ok();
      }
    }
  }
  if (!opened)
    Beep();
  return opened;
}

int FindEditors(const QString &extension, QStringList &names, QStringList &commands) {
  const TApplicationList found = Shell().ApplicationsFor(extension);
  const int offset = int(names.size());
  names += found.Names;
  commands += found.Commands;
  return found.Default < 0 ? -1 : offset + found.Default;
}

// ---------------------------------------------------------------------------------------------------------
// Messages, the wait cursor and the beep

int ShowMessageBox(const QString &text, const QString &caption, int flags) {
  QString shown = text;
  if (!shown.isEmpty()) {
    const char16_t last = shown.back().unicode();
    if (last != u'.' && last != u'?' && last >= u'"')
      shown += QLatin1Char('.');
  }
  return UserInterface().MessageBox(shown, caption.isEmpty() ? LoadString(sidAppTitle) : caption, flags);
}

namespace {
std::atomic<int> WaitLevel{0};
}

void BeginWait() {
  TUserInterface &ui = UserInterface();  // raises before anything is counted
  if (WaitLevel.fetch_add(1) == 0)
    ui.SetWaitCursor(true);
}

void EndWait() {
  int level = WaitLevel.load();
  while (level > 0 && !WaitLevel.compare_exchange_weak(level, level - 1)) {
  }
  if (level == 1)
    UserInterface().SetWaitCursor(false);
}

TWaitCursor::~TWaitCursor() {
  try {
    EndWait();
  } catch (const EException &) {
    // The user interface was uninstalled while waiting: nothing is left to restore.
  }
}

void Beep() { UserInterface().Beep(); }
