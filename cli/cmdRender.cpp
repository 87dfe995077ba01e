// quillnote-cli render FILE OUT.png [--width N] [--theme NAME] [--font-size normal|large|great]: lays the
// document out on a sheet N pixels wide (800 by default) without a height limit, so that the root is as
// tall as its content, and paints all of it into a PNG as the window shows it (without caret).
#include "cliDocument.h"

#include "cuFileSystem.h"
#include "diSheet.h"
#include "diSheetSettings.h"
#include "diThemes.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

// Taller pictures are refused: they would take gigabytes and no viewer shows them.
constexpr int kMaxHeight = 100000;
constexpr int kMaxWidth = 20000;
constexpr int kBandHeight = 1024;

// Takes the document root off the sheet when the command ends, before the sheet goes.
struct TPlacedRoot {
  TVisualElement &Root;
  ~TPlacedRoot() { Root.SetVisualParent(nullptr); }
};

int Usage(TCliContext &context) {
  context.Err << "usage: quillnote-cli render FILE OUT.png [--width N] [--theme NAME] "
                 "[--font-size normal|large|great]\n";
  return csUsage;
}

int RunRender(TCliContext &context) {
  QString themeName = QStringLiteral("Default"), fontSize = QStringLiteral("normal");
  int width = 800;
  QStringList files;
  const QStringList &args = context.Args;
  for (int i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == QLatin1String("--width") && hasValue) {
      bool ok = false;
      width = args[++i].toInt(&ok);
      if (!ok || width < 1 || width > kMaxWidth) {
        context.Err << "quillnote-cli render: the width must be a number from 1 to " << kMaxWidth << '\n';
        return csUsage;
      }
    } else if (args[i] == QLatin1String("--theme") && hasValue) {
      themeName = args[++i];
    } else if (args[i] == QLatin1String("--font-size") && hasValue) {
      fontSize = args[++i];
    } else if (!args[i].startsWith(QLatin1Char('-'))) {
      files.append(args[i]);
    } else {
      return Usage(context);
    }
  }
  const QStringList sizes = {QStringLiteral("normal"), QStringLiteral("large"), QStringLiteral("great")};
  if (files.size() != 2 || !sizes.contains(fontSize))
    return Usage(context);
  const bool builtIn = themeName.compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0;
  // The program falls back to the built-in theme without a word; a picture asked for a theme is not
  // drawn with another one.
  if (!builtIn && !QFileInfo::exists(QDir(TSheetTheme::ThemesFolder()).filePath(themeName + QStringLiteral(".txt")))) {
    context.Err << "quillnote-cli render: there is no theme \"" << themeName << "\" in "
                << QDir::toNativeSeparators(TSheetTheme::ThemesFolder()) << '\n';
    return csFailed;
  }

  TPlainDocumentSchemes document = OpenDocumentFile(files[0]);
  TNodePtr<TSheetSettings> settings(new TSheetSettings(nullptr, QStringLiteral("Sheet")));
  settings->Theme().SetValue(builtIn ? QStringLiteral("Default") : themeName);
  settings->FontSize().SetValue(int(sizes.indexOf(fontSize)));
  TSheet sheet(*settings);
  sheet.SetLimits(width, 0);
  TPlainRoot &root = document.Root();
  root.SetVisualParent(sheet.RootElement());
  TPlacedRoot placed{root};

  const int height = std::max(root.Top() + root.Height(), 1);
  if (height > kMaxHeight) {
    context.Err << "quillnote-cli render: the document is " << height << " pixels tall at width " << width
                << "; pictures taller than " << kMaxHeight << " pixels are not drawn\n";
    return csFailed;
  }
  QImage image(width, height, QImage::Format_ARGB32);
  if (image.isNull()) {
    context.Err << "quillnote-cli render: there is not enough memory for a picture of " << width << " x " << height
                << " pixels\n";
    return csFailed;
  }
  image.fill(Qt::white);
  {
    // In bands, so that the sheet's paint buffer stays small however tall the picture is.
    QPainter painter(&image);
    for (int top = 0; top < height; top += kBandHeight)
      sheet.Paint(&painter, QRect(0, top, width, std::min(kBandHeight, height - top)), pfNoCaret);
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    context.Err << "quillnote-cli render: the picture could not be encoded\n";
    return csFailed;
  }
  AtomicWriteFile(files[1], png);
  return csOk;
}

}  // namespace

QN_CLI_COMMAND("render", "FILE OUT.png [--width N] [--theme NAME] [--font-size normal|large|great]",
               "lays a data file out on a sheet N pixels wide (800) and paints all of it into a PNG", RunRender);
