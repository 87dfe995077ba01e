// quillnote-cli image-info FILE: what the program makes of a picture file - its format by extension, the
// size its header gives, and the size of every bitmap it decodes to (an icon file may hold several).
#include "cliCommands.h"
#include "cuClasses.h"
#include "cuLocalization.h"
#include "cuUtils.h"
#include "umUniversalImage.h"

#include <QFile>

namespace {

int RunImageInfo(TCliContext &context) {
  if (context.Args.size() != 1 || context.Args[0].startsWith(QLatin1Char('-'))) {
    context.Err << "usage: quillnote-cli image-info FILE\n";
    return csUsage;
  }
  const QString fileName = context.Args[0];
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    if (!file.exists())
      throw EException(FormatString(sidFileNotFound, {fileName}));
    throw EException(QStringLiteral("Cannot open file \"%1\": %2").arg(fileName, file.errorString()));
  }

  const int format = ImageFormatOf(fileName);
  if (format == ifNone)
    context.Out << "format: none (\"" << ExtensionOf(fileName) << "\" is not an image extension)\n";
  else
    context.Out << "format: " << ImageFormatExtension(format) << " (" << ImageFormatDescription(format) << ", "
                << format << ")\n";
  const TImageSize header = ImageSizeOf(file, format);
  if (header.Found)
    context.Out << "header size: " << header.Width << 'x' << header.Height << '\n';
  else
    context.Out << "header size: not found\n";
  context.Out.flush();

  // Decoded as the program decodes files; a failure is reported by main with its text and status 1.
  TUniversalImage image;
  image.LoadFromFile(fileName);
  for (int i = 0; i < image.Count(); ++i)
    context.Out << "bitmap " << (i + 1) << ": " << image.Images(i).Width() << 'x' << image.Images(i).Height() << '\n';
  return csOk;
}

} // namespace

QN_CLI_COMMAND("image-info", "FILE",
               "prints a picture's format, its header size and the size of every bitmap it decodes to",
               RunImageInfo);
