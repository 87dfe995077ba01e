// quillnote-cli theme-sheet [--theme NAME] [--font-size normal|large|great] OUT.png: one picture of a theme
// for a person to look at - every skin at three sizes with its tag, the five fonts, the overlay colours, and
// every cell of every image strip (and the program's icons) labelled with its meaning.
#include "cliCommands.h"
#include "cuClasses.h"
#include "cuFileSystem.h"
#include "diResources.h"
#include "diSchemeImages.h"
#include "diThemes.h"
#include "umUniversalImage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

constexpr int kPageWidth = 960;
constexpr int kMargin = 16;

// The strips in registration order, with the meaning of each cell.
struct TStripInfo {
  const char *Name;
  int Cell;
  std::vector<const char *> Meanings;
};
const TStripInfo kStrips[] = {
    {"diClassesCharImages", 12, {"collapsed", "expanded"}},
    {"diClassesSmallImages", 16, {"default command", "spare"}},
    {"diDataElementSmallImages", 16, {"image element", "image element (2)"}},
    {"diTableElementSmallImages", 16, {"table"}},
    {"diCommonElementsSmallImages",
     16,
     {"comment", "logic frame", "star", "information", "question", "important", "ready", "stop", "grey box"}},
    {"diClassesLargeImages", 32, {"default command", "Disabled", "spare"}},
    {"diDataElementLargeImages",
     32,
     {"Edit", "Apply", "Cancel", "image format", "Load from File", "Save to File", "spare", "insert Image"}},
    {"diSimpleElementsLargeImages", 32, {"Choose Color"}},
    {"diTitledLargeImages", 32, {"Collapsed", "Description"}},
    {"diTableElementLargeImages", 32, {"insert column", "insert row", "insert Table"}},
    {"diLogImages", 9, {"hint", "warning", "highest"}},
};
const char *const kPictures[] = {"QuillnoteIcon16", "QuillnoteIcon32", "QuillnoteIcon48", "QuillnoteIcon64", "Logo"};

class TSheetPainter {
public:
  TSheetPainter(TSheetTheme &theme, int percent) : FTheme(theme), FPercent(percent) {
    FPage.SetSize(kPageWidth, 6000);
    FPage.Clear(Color32FromPlatform(clWindow));
    FTheme.DrawNineSlice(steSheet, FPage, FPage.BoundsRect());
  }

  int Scaled(int n) const { return n * FPercent / 100; }

  void UseFont(TSheetThemeFont font) {
    const TSheetThemeFontData &data = FTheme.Fonts(font);
    FPage.Font().Name = data.Name;
    FPage.Font().Size = data.Size;
    FPage.Font().Style = data.Style;
    FPage.Font().Color = Color32FromPlatform(data.Color);
  }
  // Text in a theme font (with its shadow colour first, as element captions are drawn); answers its width.
  int Text(int x, int y, const QString &text, TSheetThemeFont font = stfStone) {
    UseFont(font);
    const TSheetThemeFontData &data = FTheme.Fonts(font);
    if (data.SecondColor != clNone) {
      FPage.Font().Color = Color32FromPlatform(data.SecondColor);
      FPage.TextOut(x + 1, y + 1, text);
      FPage.Font().Color = Color32FromPlatform(data.Color);
    }
    FPage.TextOut(x, y, text);
    return FPage.TextWidth(text);
  }
  int LineHeight(TSheetThemeFont font = stfStone) {
    UseFont(font);
    return FPage.TextHeight(QStringLiteral("0"));
  }
  void Heading(const QString &text) {
    FY += Scaled(10);
    UseFont(stfStone);
    FPage.Font().Style = fsBold;
    FPage.Font().Size += 2;
    FPage.TextOut(kMargin, FY, text);
    FY += FPage.TextHeight(text) + Scaled(6);
  }

  void Skins() {
    Heading(QStringLiteral("Skins"));
    for (int i = 0; i < kSheetThemeElementCount; ++i) {
      const auto skin = TSheetThemeElement(i);
      const TSheetThemeElementData &e = FTheme.Elements(skin);
      const QString label = SheetThemeElementTag(skin) +
                            (SheetThemeElementIsNineSlice(skin) ? QString() : QStringLiteral(" (image)"));
      int rowHeight = LineHeight();
      int x = kMargin + Scaled(190);
      if (SheetThemeElementIsNineSlice(skin)) {
        // Three sizes; thin cuts (a line) keep their height.
        const int widths[] = {24, 64, 150}, heights[] = {16, 28, 48};
        for (int k = 0; k < 3; ++k) {
          const int w = Scaled(widths[k]);
          const int h = e.Cut.height() <= 4 ? e.Cut.height() : Scaled(heights[k]);
          FTheme.DrawNineSlice(skin, FPage, QRect(x, FY, w, h));
          x += w + Scaled(16);
          rowHeight = std::max(rowHeight, h);
        }
      } else {
        // Drawn at its own size, then magnified 2 and 3 times to show its pixels.
        TBitmap32 image;
        image.SetSize(e.Cut.width(), e.Cut.height());
        image.Clear(0);
        FTheme.DrawImage(skin, image, QPoint(0, 0));
        image.SetDrawMode(dmBlend);
        for (int zoom = 1; zoom <= 3; ++zoom) {
          Magnified(image, x, FY, zoom);
          x += image.Width() * zoom + Scaled(16);
          rowHeight = std::max(rowHeight, image.Height() * zoom);
        }
      }
      Text(kMargin, FY + (rowHeight - LineHeight()) / 2, label);
      FY += rowHeight + Scaled(8);
    }
  }

  void Fonts() {
    Heading(QStringLiteral("Fonts"));
    for (int f = 0; f < kSheetThemeFontCount; ++f) {
      const auto font = TSheetThemeFont(f);
      const TSheetThemeFontData &data = FTheme.Fonts(font);
      QString style;
      if (data.Style & fsBold)
        style += QStringLiteral(" bold");
      if (data.Style & fsItalic)
        style += QStringLiteral(" italic");
      if (data.Style & fsUnderline)
        style += QStringLiteral(" underline");
      const QString face = data.Name.isEmpty() ? QStringLiteral("(default face)") : data.Name;
      Text(kMargin, FY, SheetThemeFontTag(font));
      Text(kMargin + Scaled(190), FY, QStringLiteral("%1 %2 pt%3: The quick brown fox, 0123456789").arg(face).arg(data.Size).arg(style), font);
      FY += std::max(LineHeight(), LineHeight(font)) + Scaled(6);
    }
  }

  void Colours() {
    Heading(QStringLiteral("Overlays"));
    const std::pair<const char *, TColor32> overlays[] = {{"DisableColor", FTheme.DisableColor},
                                                          {"SelectColor", FTheme.SelectColor},
                                                          {"SelectInactiveColor", FTheme.SelectInactiveColor}};
    for (const auto &[name, colour] : overlays) {
      Text(kMargin, FY, QString::fromLatin1(name));
      const int x = kMargin + Scaled(190);
      const int w = Text(x + Scaled(4), FY, QStringLiteral("Text under the overlay"), stfValue) + Scaled(8);
      FPage.FillRectBlended(x, FY - Scaled(2), x + w, FY + LineHeight(stfValue) + Scaled(2), colour);
      FY += LineHeight() + Scaled(10);
    }
  }

  void Strips() {
    Heading(QStringLiteral("Image strips"));
    for (const TStripInfo &strip : kStrips) {
      TSchemeImages list(strip.Cell, strip.Cell);
      list.AddStrip(QString::fromLatin1(strip.Name));
      std::vector<std::pair<const TBitmap32 *, QString>> cells;
      for (int i = 0; i < list.Count(); ++i)
        cells.emplace_back(&list.Cell(i), i < int(strip.Meanings.size()) ? QString::fromLatin1(strip.Meanings[i])
                                                                          : QStringLiteral("(unlabelled)"));
      Cells(QStringLiteral("%1 (%2 px)").arg(QString::fromLatin1(strip.Name)).arg(strip.Cell), cells);
    }
    std::vector<TUniversalImage> pictures(std::size(kPictures));
    std::vector<std::pair<const TBitmap32 *, QString>> cells;
    for (std::size_t i = 0; i < std::size(kPictures); ++i) {
      QFile file(RenderResourcePath(QString::fromLatin1(kPictures[i])));
      if (!file.open(QIODevice::ReadOnly))
        throw EException(QStringLiteral("The picture \"%1\" is missing from the resources").arg(kPictures[i]));
      pictures[i].LoadFromStream(file);
      cells.emplace_back(&pictures[i].Images(0), QString::fromLatin1(kPictures[i]));
    }
    Cells(QStringLiteral("window and tray icon, logo"), cells);
  }

  // Writes the used part of the page as PNG.
  QByteArray Png() {
    TBitmap32 out;
    out.SetSize(kPageWidth, FY + kMargin);
    FPage.SetDrawMode(dmOpaque);
    FPage.DrawTo(out, 0, 0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!out.ToImage().save(&buffer, "PNG"))
      throw EException(QStringLiteral("The theme sheet could not be encoded as PNG"));
    return bytes;
  }

  int Top() const { return FY; }
  void SetTop(int y) { FY = y; }

private:
  void Magnified(const TBitmap32 &image, int x, int y, int zoom) {
    for (int sy = 0; sy < image.Height(); ++sy)
      for (int sx = 0; sx < image.Width(); ++sx)
        FPage.FillRectBlended(x + sx * zoom, y + sy * zoom, x + (sx + 1) * zoom, y + (sy + 1) * zoom,
                              image.Pixel(sx, sy));
  }

  // A labelled row of cells (wrapping), each at its size and magnified twice, its meaning below.
  void Cells(const QString &title, const std::vector<std::pair<const TBitmap32 *, QString>> &cells) {
    Text(kMargin, FY, title);
    FY += LineHeight() + Scaled(4);
    int x = kMargin, rowHeight = 0;
    for (const auto &[cell, meaning] : cells) {
      UseFont(stfComment);
      const int w = std::max(cell->Width() * 3 + Scaled(6), FPage.TextWidth(meaning)) + Scaled(14);
      if (x + w > kPageWidth - kMargin && x > kMargin) {
        FY += rowHeight + Scaled(8);
        x = kMargin, rowHeight = 0;
      }
      cell->DrawTo(FPage, x, FY);
      Magnified(*cell, x + cell->Width() + Scaled(6), FY, 2);
      const int textTop = FY + cell->Height() * 2 + Scaled(3);
      Text(x, textTop, meaning, stfComment);
      rowHeight = std::max(rowHeight, textTop - FY + LineHeight(stfComment));
      x += w;
    }
    FY += rowHeight + Scaled(12);
  }

  TSheetTheme &FTheme;
  TBitmap32 FPage;
  int FPercent;
  int FY = kMargin;
};

int RunThemeSheet(TCliContext &context) {
  QString themeName = QStringLiteral("Default"), fontSize = QStringLiteral("normal"), output;
  const QStringList &args = context.Args;
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--theme") && i + 1 < args.size())
      themeName = args[++i];
    else if (args[i] == QLatin1String("--font-size") && i + 1 < args.size())
      fontSize = args[++i];
    else if (output.isEmpty() && !args[i].startsWith(QLatin1Char('-')))
      output = args[i];
    else
      output.clear(), i = int(args.size());
  }
  const std::map<QString, std::pair<int, int>> scales = {
      {QStringLiteral("normal"), {0, 100}}, {QStringLiteral("large"), {2, 140}}, {QStringLiteral("great"), {4, 180}}};
  if (output.isEmpty() || !scales.count(fontSize)) {
    context.Err << "usage: quillnote-cli theme-sheet [--theme NAME] [--font-size normal|large|great] OUT.png\n";
    return csUsage;
  }

  TSheetTheme theme;
  if (themeName.compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0)
    theme.LoadFromResource(TSheetTheme::BuiltInName());
  else {
    // The program falls back to the built-in theme without a word; a person looking at a theme is told.
    const QString file = QDir(TSheetTheme::ThemesFolder()).filePath(themeName + QStringLiteral(".txt"));
    try {
      theme.LoadFromFile(file);
    } catch (const EException &e) {
      context.Err << "quillnote-cli theme-sheet: " << e.Message() << "; drawing the built-in theme\n";
      theme.LoadFromResource(TSheetTheme::BuiltInName());
    }
  }
  const auto [step, percent] = scales.at(fontSize);
  theme.SetScale(step, percent);

  TSheetPainter painter(theme, percent);
  painter.Text(kMargin, painter.Top(), QStringLiteral("Theme \"%1\", font size %2").arg(themeName, fontSize), stfArt);
  painter.SetTop(painter.Top() + painter.LineHeight(stfArt));
  painter.Skins();
  painter.Fonts();
  painter.Colours();
  painter.Strips();
  AtomicWriteFile(output, painter.Png());
  return csOk;
}

} // namespace

QN_CLI_COMMAND("theme-sheet", "[--theme NAME] [--font-size normal|large|great] OUT.png",
               "draws every skin, font and image strip cell of a theme into a PNG file", RunThemeSheet);
