// quillnote-artgen SOURCE_DIR [--preview DIR]
//
// Writes the program's artwork into the source tree: the built-in theme (render/res/LoomDefaultTheme.txt and
// .png), the dark theme (Themes/Dark.txt and .png), the image strips, the window icon at four sizes and the
// logo (render/res/), and the sounds (framework/res/). With --preview it also writes enlarged copies and mock
// sheets of both themes into DIR for looking at them.
#include "artPaint.h"
#include "artPreview.h"
#include "artSounds.h"
#include "artStrips.h"
#include "artTheme.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  QString preview;
  const int at = args.indexOf("--preview");
  if (at >= 0 && at + 1 < args.size()) {
    preview = args.at(at + 1);
    args.remove(at, 2);
  }
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: quillnote-artgen SOURCE_DIR [--preview DIR]\n");
    return 2;
  }
  const QString root = args.first() + '/';
  try {
    for (const char *dir : {"render/res", "framework/res", "Themes"})
      if (!QDir().mkpath(root + dir))
        throw std::runtime_error(std::string("cannot create ") + dir);
    QStringList written;
    auto png = [&](const QImage &image, const QString &path) {
      art::SavePng(image, root + path);
      written << path;
    };
    auto bytes = [&](const QByteArray &data, const QString &path) {
      art::SaveBytes(data, root + path);
      written << path;
    };

    art::PreviewInput in;
    in.lightTheme = art::DrawThemeImage(art::ThemeKind::Light);
    in.darkTheme = art::DrawThemeImage(art::ThemeKind::Dark);
    in.lightInfo = art::ThemeInfoText(art::ThemeKind::Light);
    in.darkInfo = art::ThemeInfoText(art::ThemeKind::Dark);
    png(in.lightTheme, "render/res/LoomDefaultTheme.png");
    bytes(in.lightInfo, "render/res/LoomDefaultTheme.txt");
    png(in.darkTheme, "Themes/Dark.png");
    bytes(in.darkInfo, "Themes/Dark.txt");

    in.strips = art::DrawStrips();
    for (const art::StripArt &s : in.strips)
      png(s.image, "render/res/" + s.resourceName + ".png");
    for (int size : {16, 32, 48, 64}) {
      in.icons.push_back(art::DrawAppIcon(size));
      png(in.icons.back(), QString("render/res/QuillnoteIcon%1.png").arg(size));
    }
    in.logo = art::DrawLogo();
    png(in.logo, "render/res/Logo.png");

    for (const art::SoundArt &s : art::SynthesiseSounds())
      bytes(s.wav, "framework/res/" + s.resourceName + ".wav");

    if (!preview.isEmpty())
      art::WritePreviews(preview, in);
    for (const QString &path : written)
      std::printf("%s\n", qPrintable(path));
  } catch (const std::exception &e) {
    std::fprintf(stderr, "quillnote-artgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
