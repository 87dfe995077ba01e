// Free functions that talk to the desktop and the file system: file names, unique files, launching
// documents, programs and addresses, the applications for a file type, the image format table and header
// sizes, the program's message box, the wait cursor, and zlib compression. They keep no state but the
// wait-cursor counter; the desktop itself is reached through the interfaces of cuDesktop.
#pragma once

#include "cuDesktop.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>

// ---------------------------------------------------------------------------------------------------------
// File names and folders. Folders are returned with a trailing "/".

QString ProgramFileName();  // the canonical path of the running executable
QString ProgramFolder();
QString ProgramBaseName();  // BaseName(ProgramFileName())
// The file name without folder and without its last extension ("a/b.c.qnt" gives "b.c").
QString BaseName(const QString &path);
// The last extension without the point, empty when there is none.
QString ExtensionOf(const QString &path);
QString TempFolder();

struct TUniqueFile {
  QString Path;
  std::unique_ptr<QFile> File;  // open for writing, empty
};
// For n = 1, 2, 3, ... forms `folder` (TempFolder() when empty) + `pattern` with its first "%d" replaced by
// n + "." + `extension` (no point when `extension` is empty) and creates the first such file that does not
// exist yet. Creation is exclusive (a file or link created meanwhile by someone else is never opened)
// and the file is readable and writable by the user only. Raises EException when the folder is missing
// or a file cannot be created there, and for a pattern without "%d".
TUniqueFile CreateUniqueFile(const QString &pattern, const QString &extension, const QString &folder = {});

// Appends the names of the files in `folder` matching `mask` ("*.txt"; letter case ignored), hidden ones
// included, in the order the file system gives them; without extension unless `keepExtension`, prefixed
// by `folder` (which should end with "/") when `withFolder`.
void ListFiles(const QString &folder, const QString &mask, QStringList &list, bool keepExtension, bool withFolder);
// The last modification time of the file, invalid when it does not exist.
QDateTime FileDate(const QString &path);

// ---------------------------------------------------------------------------------------------------------
// Launching. Everything goes through TShell with the wait cursor shown; nothing builds a shell command line.

// Without parameters, opens the file or folder `file` with the application its type is associated with;
// when the desktop associates none, its application chooser is offered instead and its result counts.
// With parameters, `file` is a program (see TShell::StartProgram) started with them. Answers whether
// something was launched. With `raiseErrors` a failure raises EException: "Path not found: %1" (2067)
// when the folder is missing or `file` ends with "/", "File not found: %1" (2066) when the file or
// program is missing, and "Desktop launch error (reason) to launch "file"" otherwise.
bool ShellOpen(const QString &file, const QStringList &parameters = {}, bool raiseErrors = false);
// Offers the desktop's application chooser for `file`; answers whether the chooser could be shown.
bool OpenWithDialog(const QString &file);
// Opens an http, https or ftp address in the user's browser. Anything else (other schemes, addresses
// without a host, malformed text) is refused without launching anything. Answers whether it was opened.
bool OpenInBrowser(const QString &address);
// Opens the target of a link in a document; links never start a program. "http", "https" and "ftp"
// addresses (letter case ignored, after "://" or ":\\") open in the browser. A "file:" link (either
// separator; "file://" in URL form, percent-encoded, with no host but "localhost") opens only what
// IsOpenableDocument allows, with the application its type is associated with. Anything else ("url:"
// included) opens nothing. Every refusal and failure beeps. Answers whether something was opened.
bool OpenLink(const QString &target);
// The local path a "file:" link names (either separator), or an empty string when it names none.
QString FileLinkPath(const QString &target);
// True for an existing regular file (symbolic links resolved) without any execute bit whose type,
// judged by its content and by its name, is nothing the desktop would run: no desktop entry, executable,
// shared library, script, Java archive, AppImage, Windows executable, installer package or the like.
bool IsOpenableDocument(const QString &path);
// Appends the display names and commands of the applications registered for files with `extension` to
// the two lists and answers the index of the desktop's default application in them, or -1.
int FindEditors(const QString &extension, QStringList &names, QStringList &commands);

// ---------------------------------------------------------------------------------------------------------
// Images: the format table (index by extension, 0 = not in the table) and the size stored in a header.

enum : int {
  ifNone = 0,
  ifBmp = 1,
  ifIco = 2,
  ifCur = 3,
  ifEmf = 4,
  ifWmf = 5,
  ifJpeg = 6,
  ifJpg = 7,
  ifJpe = 8,
  ifJfif = 9,
  ifGif = 10,
  ifPng = 11,
  ifTif = 12,
  ifTiff = 13,
};
constexpr int ImageFormatCount = 13;

// Extension and description of a table index 1..ImageFormatCount; empty for any other index.
QString ImageFormatExtension(int format);
QString ImageFormatDescription(int format);
// The table index of the path's extension, letter case ignored; 0 when it is not in the table.
int ImageFormatOf(const QString &path);

struct TImageSize {
  int Width = 0;
  int Height = 0;
  bool Found = false;  // both values were read and are non-zero
};
// Reads the pixel size from the header of an image of table index `format` that starts at the device's
// current position, and puts the position back. A value that could not be read becomes 32 (the icon
// size) for icons and cursors and 100 for every other format. Never raises and never reads past the
// device's end; TIFF and formats outside the table are not read.
TImageSize ImageSizeOf(QIODevice &stream, int format);

// ---------------------------------------------------------------------------------------------------------
// Messages, the wait cursor and the beep.

// The program's message box: a period is appended to `text` unless it is empty or ends with ".", "?" or
// a character below the double quote (space, "!" or a control character); an empty caption becomes the
// application title (string 4000). Answers the button pressed (idOk, ...).
int ShowMessageBox(const QString &text, const QString &caption = {}, int flags = mbOk);

// The busy cursor, nested: the first BeginWait shows it, later ones only count, and the EndWait that
// brings the count back to 0 restores the cursor shown before. An EndWait without a BeginWait does
// nothing. The counter is atomic; the calls belong on the main thread. Cursors that windows set while
// the wait lasts show once it ends (the busy cursor overrides them meanwhile).
void BeginWait();
void EndWait();
// BeginWait for the lifetime of the object.
class TWaitCursor {
public:
  TWaitCursor() { BeginWait(); }
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor &) = delete;
  TWaitCursor &operator=(const TWaitCursor &) = delete;
};

void Beep();

// ---------------------------------------------------------------------------------------------------------
// Compression: the zlib stream format at the default level.

constexpr qsizetype DecompressedSizeLimit = qsizetype(256) * 1024 * 1024;

// `target` becomes the deflated `source` (empty for an empty source).
void CompressStream(const QByteArray &source, QByteArray &target);
// `target` becomes the inflated `source` (empty for an empty source). A damaged or truncated stream, or
// bytes after its end, raise EException and leave `target` empty; so does output beyond `limit` bytes.
void DecompressStream(const QByteArray &source, QByteArray &target, qsizetype limit = DecompressedSizeLimit);
