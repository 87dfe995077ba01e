#include "artPreview.h"

#include "artPaint.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace art {

namespace {

// A skin as the program reads it from a theme: cut (right and bottom exclusive), zones, fill modes, tint.
struct Skin {
  QRect cut;
  int zone[4] = {0, 0, 0, 0};
  int fill[5] = {0, 0, 0, 0, 0};  // left, top, right, bottom, client
  QRgb over = 0;
  int padding[4] = {0, 0, 0, 0};
};

// A theme read back from its info text and image, enough to draw the mock sheet.
class Theme {
public:
  Theme(const QImage &image, const QByteArray &info) : image_(image) {
    static const QRegularExpression tagRe(QStringLiteral("<(\\w+)\\s*([^>]*?)/?>"));
    for (const QString &line : QString::fromLatin1(info).split("\r\n")) {
      const auto m = tagRe.match(line);
      if (m.hasMatch())
        tags_[m.captured(1)] = m.captured(2);
    }
  }

  QString Attribute(const QString &tag, const QString &name) const {
    const QString text = tags_.value(tag);
    static const QRegularExpression attrRe(QStringLiteral("(\\w+)=(\"[^\"]*\"|\\S+)"));
    for (auto it = attrRe.globalMatch(text); it.hasNext();) {
      const auto m = it.next();
      if (m.captured(1) == name)
        return m.captured(2).remove('"');
    }
    return QString();
  }

  QRgb Sample(const QString &position) const {
    const std::vector<int> v = IntegersOf(position, 2);
    return image_.pixel(std::clamp(v[0], 0, image_.width() - 1), std::clamp(v[1], 0, image_.height() - 1));
  }

  QColor FontColor(const QString &tag) const { return QColor(Sample(Attribute(tag, "Color"))).toRgb(); }

  QColor TopColor(const QString &name, QColor fallback) const {
    const QRegularExpression re(name + QStringLiteral("=(\\d+,\\d+)"));
    const auto m = re.match(tags_.value(QStringLiteral("ThemeInfo")));
    return m.hasMatch() ? QColor::fromRgba(Sample(m.captured(1))) : fallback;
  }

  Skin SkinOf(const QString &tag) const {
    Skin s;
    const std::vector<int> c = IntegersOf(Attribute(tag, "Cut"));
    s.cut = (c[0] || c[1] || c[2] || c[3]) ? QRect(QPoint(c[0], c[1]), QPoint(c[2], c[3])) : image_.rect();
    const std::vector<int> z = IntegersOf(Attribute(tag, "Zone"));
    const std::vector<int> pad = IntegersOf(Attribute(tag, "Padding"));
    for (int i = 0; i < 4; ++i) {
      s.zone[i] = z[i];
      s.padding[i] = pad[i];
    }
    const char *modes[] = {"FillModeLeft", "FillModeTop", "FillModeRight", "FillModeBottom", "FillModeClient"};
    for (int i = 0; i < 5; ++i) {
      const int m = Attribute(tag, modes[i]).toInt();
      s.fill[i] = (m >= 0 && m <= 2) ? m : 0;
    }
    const QString over = Attribute(tag, "ColorOver");
    s.over = over.isEmpty() ? 0 : Sample(over);
    return s;
  }

  // The cut, tinted by the skin's colour when it has one (each channel moves toward the tint by the tint's
  // alpha; the pixel's own alpha stays).
  QImage Source(const Skin &s) const {
    QImage src = image_.copy(s.cut).convertToFormat(QImage::Format_ARGB32);
    if (s.over == 0)
      return src;
    const double a = qAlpha(s.over) / 255.0;
    for (int y = 0; y < src.height(); ++y) {
      QRgb *row = reinterpret_cast<QRgb *>(src.scanLine(y));
      for (int x = 0; x < src.width(); ++x) {
        if (qAlpha(row[x]) == 0)
          continue;
        auto ch = [a](int c, int p) { return std::clamp(int(std::lround(a * c + (1 - a) * p)), 0, 255); };
        row[x] = qRgba(ch(qRed(s.over), qRed(row[x])), ch(qGreen(s.over), qGreen(row[x])),
                       ch(qBlue(s.over), qBlue(row[x])), qAlpha(row[x]));
      }
    }
    return src;
  }

  void DrawImage(QPainter &p, const QString &tag, QPoint at) const { p.drawImage(at, Source(SkinOf(tag))); }

  // Nine-slice drawing; borders are clamped to the target, so nothing is drawn outside it.
  void DrawNineSlice(QPainter &p, const QString &tag, QRect target) const {
    const Skin s = SkinOf(tag);
    const QImage src = Source(s);
    auto split = [](int size, int a, int b, int &outA, int &outB) {
      if (size >= a + b) {
        outA = a;
        outB = b;
      } else {
        outA = a + b > 0 ? int(std::lround(double(size) * a / (a + b))) : 0;
        outB = size - outA;
      }
    };
    int tl, tr, tt, tb;
    split(target.width(), s.zone[0], s.zone[2], tl, tr);
    split(target.height(), s.zone[1], s.zone[3], tt, tb);
    const int sw = src.width(), sh = src.height();
    const int sl = std::min(s.zone[0], sw), sr = std::min(s.zone[2], sw - sl);
    const int st = std::min(s.zone[1], sh), sb = std::min(s.zone[3], sh - st);
    const int sx[3] = {0, sl, sw - sr}, sws[3] = {sl, sw - sl - sr, sr};
    const int sy[3] = {0, st, sh - sb}, shs[3] = {st, sh - st - sb, sb};
    const int tx[3] = {target.left(), target.left() + tl, target.left() + target.width() - tr};
    const int tws[3] = {tl, target.width() - tl - tr, tr};
    const int ty[3] = {target.top(), target.top() + tt, target.top() + target.height() - tb};
    const int ths[3] = {tt, target.height() - tt - tb, tb};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) {
        const QRect from(sx[c], sy[r], sws[c], shs[r]);
        const QRect to(tx[c], ty[r], tws[c], ths[r]);
        if (from.isEmpty() || to.isEmpty())
          continue;
        int mode = 0;
        if (r == 1 && c == 0) mode = s.fill[0];
        if (r == 0 && c == 1) mode = s.fill[1];
        if (r == 1 && c == 2) mode = s.fill[2];
        if (r == 2 && c == 1) mode = s.fill[3];
        if (r == 1 && c == 1) mode = s.fill[4];
        const QImage slice = src.copy(from);
        if (mode == 0) {
          p.drawImage(to, slice);
        } else if (mode == 1) {
          p.save();
          p.setClipRect(to);
          for (int y = to.top(); y <= to.bottom(); y += slice.height())
            for (int x = to.left(); x <= to.right(); x += slice.width())
              p.drawImage(x, y, slice);
          p.restore();
        }
      }
  }

  QSize CutSize(const QString &tag) const { return SkinOf(tag).cut.size(); }

private:
  QImage image_;
  QMap<QString, QString> tags_;
};

QFont UiFont(int pixels, bool italic = false, const char *family = "Liberation Sans") {
  QFont f(QString::fromLatin1(family));
  f.setPixelSize(pixels);
  f.setItalic(italic);
  return f;
}

// The mock sheet: a document with every element kind of the program, a gallery of the remaining skins, and
// the log with its signs, fixed text colour and link colours.
QImage MockSheet(const Theme &t, bool dark, const std::vector<StripArt> &strips) {
  const int W = 560, H = 470;
  QImage img(W, H, QImage::Format_ARGB32_Premultiplied);
  img.fill(Rgb(0xffffff));  // the system window colour under the page
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  const QRect docArea(0, 0, W, 360);
  t.DrawNineSlice(p, "Sheet", docArea);
  const QColor code = t.FontColor("CodeFont"), comment = t.FontColor("CommentFont");
  const QColor fixed = t.FontColor("FixedFont"), element = t.FontColor("ElementFont");
  const QFont body = UiFont(13), note = UiFont(12, true), mono = UiFont(13, false, "Liberation Mono");
  auto strip = [&](const char *name) -> const QImage & {
    for (const StripArt &s : strips)
      if (s.resourceName == QLatin1String(name))
        return s.image;
    throw std::runtime_error("no strip");
  };
  auto cell = [&](const char *name, int size, int index, int x, int y) {
    p.drawImage(QPoint(x, y), strip(name), QRect(index * size, 0, size, size));
  };
  auto text = [&](int x, int baseline, const QString &s, QColor c, const QFont &f) {
    p.setFont(f);
    p.setPen(c);
    p.drawText(x, baseline, s);
    return x + QFontMetrics(f).horizontalAdvance(s);
  };
  const int pad = 6;
  int y = 8;
  text(pad, y + 12, "Shopping list", code, body);
  y += 20;
  cell("diCommonElementsSmallImages", 16, 2, pad, y);
  int x = text(pad + 16, y + 12, " for the weekend ", code, body);
  cell("diCommonElementsSmallImages", 16, 5, x, y);
  x = text(x + 16, y + 12, " call ", code, body);
  cell("diCommonElementsSmallImages", 16, 6, x, y);
  x = text(x + 16, y + 12, " done ", code, body);
  cell("diCommonElementsSmallImages", 16, 7, x, y);
  x = text(x + 16, y + 12, " no ", code, body);
  cell("diCommonElementsSmallImages", 16, 3, x, y);
  x = text(x + 16, y + 12, " info ", code, body);
  cell("diCommonElementsSmallImages", 16, 4, x, y);
  y += 24;

  // An expanded logic frame holding text, a collapsed frame with content and an empty expanded one.
  auto frame = [&](int fx, int fy, int fw, int contentHeight, const QString &caption, bool expanded, bool data,
                   const std::function<void(int, int)> &content) {
    const int capW = QFontMetrics(note).horizontalAdvance(caption);
    const int buttonW = t.CutSize("Collapsed").width();
    const int rowH = 20;
    const int noteRight = fx + 2 - 2 + buttonW - 2 + 6 + capW + 9;
    if (expanded)
      t.DrawNineSlice(p, "LogicFrame", QRect(fx, fy + rowH / 2, fw, rowH / 2 + 8 + contentHeight + 8));
    t.DrawNineSlice(p, "Comment", QRect(fx, fy, noteRight - fx, rowH));
    const char *skin = expanded ? (data ? "ExpandedData" : "Expanded") : (data ? "CollapsedData" : "Collapsed");
    t.DrawImage(p, skin, QPoint(fx, fy + (rowH - buttonW) / 2));
    text(fx + buttonW - 2 + 6, fy + 14, caption, comment, note);
    if (expanded)
      content(fx + 10, fy + rowH + 6);
  };
  frame(pad, y, 330, 96, "Groceries", true, true, [&](int cx, int cy) {
    text(cx, cy + 12, "Milk, bread and", code, body);
    int x2 = text(cx, cy + 30, "some ", code, body);
    // A found word: the search mark around it.
    const int w = QFontMetrics(body).horizontalAdvance("butter");
    t.DrawNineSlice(p, "Mark", QRect(x2 - 2, cy + 17, w + 4, 18));
    x2 = text(x2, cy + 30, "butter", code, body);
    x2 = text(x2, cy + 30, " and ", code, body);
    const int sw = QFontMetrics(body).horizontalAdvance("cheese");
    text(x2, cy + 30, "cheese", code, body);
    p.fillRect(QRect(x2, cy + 18, sw, 16), t.TopColor("SelectColor", QColor(95, 143, 216, 130)));
    frame(cx, cy + 40, 200, 0, "Spices", false, true, [](int, int) {});
    frame(cx + 120, cy + 40, 100, 0, "Empty", false, false, [](int, int) {});
    frame(cx, cy + 66, 200, 0, "Open, empty", true, false, [](int, int) {});
  });
  y += 20 + 6 + 96 + 16 + 8;
  // A comment inside a line.
  x = text(pad, y + 14, "Remember: ", code, body);
  const QString c1 = "Check the fridge first";
  const int cw = QFontMetrics(note).horizontalAdvance(c1);
  t.DrawNineSlice(p, "Comment", QRect(x, y, cw + 6 + 9, 19));
  text(x + 6, y + 14, c1, comment, note);
  y += 28;
  // A table of 3 x 2 cells.
  {
    const int tx = pad, ty = y, colW = 70, rowH = 22;
    t.DrawNineSlice(p, "FrameSingle", QRect(tx, ty, colW * 3 + 8, rowH * 2 + 8));
    const char *cells[] = {"Item", "Qty", "Price", "Apples", "6", "2.40"};
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c) {
        const QRect cr(tx + 4 + c * colW, ty + 4 + r * rowH, colW, rowH);
        t.DrawNineSlice(p, "FrameSingle", cr);
        text(cr.left() + 7, cr.top() + 15, cells[r * 3 + c], code, body);
      }
  }
  // An empty image, an image in external editing, an unaccepted element with its error sign.
  {
    const int ix = 240, iy = y;
    t.DrawNineSlice(p, "FrameDot", QRect(ix, iy, 60, 40));
    t.DrawNineSlice(p, "ImageChess", QRect(ix + 70, iy, 48, 40));
    p.drawImage(QRect(ix + 70 + 4, iy + 2, 40, 36), strip("diDataElementSmallImages").copy(0, 0, 16, 16));
    t.DrawNineSlice(p, "ExternalEditingMode", QRect(ix + 70, iy, 48, 40));
    t.DrawImage(p, "Error", QPoint(ix + 70 - 2, iy - 8));
    const QString u = "<Foo Bar=\"1\"/>";
    const int uw = QFontMetrics(mono).horizontalAdvance(u);
    t.DrawNineSlice(p, "Unaccepted", QRect(ix + 130, iy, uw + 6, 18));
    text(ix + 133, iy + 14, u, fixed, mono);
    t.DrawImage(p, "Error", QPoint(ix + 130, iy - 8));
    t.DrawImage(p, "NeedValue", QPoint(ix + 130 + uw - 6, iy - 8));
  }
  y += 62;
  // A gallery of the skins no element kind of the program draws, at two sizes.
  {
    int gx = pad;
    const char *boxes[] = {"Element", "ElementCommand", "ElementExpression", "ElementTechnical", "Field", "Name",
                           "NamePrivate", "NamePublic"};
    for (const char *b : boxes) {
      t.DrawNineSlice(p, b, QRect(gx, y, 62, 26));
      p.setFont(UiFont(9));
      p.setPen(element);
      p.drawText(QRect(gx, y, 62, 26), Qt::AlignCenter, QString::fromLatin1(b).left(10));
      gx += 66;
    }
    y += 32;
    gx = pad;
    t.DrawNineSlice(p, "Substitution", QRect(gx, y, 70, 21));
    gx += 78;
    t.DrawNineSlice(p, "SubstitutionBegin", QRect(gx, y, 40, 21));
    t.DrawNineSlice(p, "SubstitutionContinue", QRect(gx + 40, y, 30, 21));
    t.DrawNineSlice(p, "SubstitutionEnd", QRect(gx + 70, y, 30, 21));
    gx += 108;
    t.DrawNineSlice(p, "Description", QRect(gx, y, 100, 30));
    text(gx + 14, y + 15, "description", element, UiFont(11));
    gx += 108;
    t.DrawImage(p, "CheckBoxChecked", QPoint(gx, y + 3));
    text(gx + 16, y + 14, "on", element, UiFont(11));
    t.DrawImage(p, "CheckBoxUnchecked", QPoint(gx + 36, y + 3));
    text(gx + 52, y + 14, "off", element, UiFont(11));
    gx += 80;
    t.DrawImage(p, "Referenced", QPoint(gx, y + 6));
    t.DrawNineSlice(p, "Line", QRect(gx + 14, y + 10, 80, 1));
    t.DrawNineSlice(p, "Container", QRect(gx + 100, y - 4, 40, 30));
  }
  // The log: its signs, text in the window-text colour (black on a light desktop), a link and a visited link
  // in the colours the text engine fixes.
  {
    const QRect logArea(0, 366, W, H - 366);
    p.fillRect(QRect(0, 360, W, 6), Rgb(dark ? 0x101214 : 0xd9dde3));
    t.DrawNineSlice(p, "Sheet", logArea);
    const QFont logFont = UiFont(11, false, "DejaVu Sans");
    int ly = logArea.top() + 8;
    const char *lines[] = {"Node \"Foo\" was not read", "Attribute \"Bar\" was not read", "The highest level"};
    for (int i = 0; i < 3; ++i) {
      cell("diLogImages", 9, i, pad, ly + 3);
      int lx = text(pad + 14, ly + 11, QString::fromLatin1(lines[i]) + " in ", Rgb(0x000000), logFont);
      QFont link = logFont;
      link.setUnderline(true);
      lx = text(lx, ly + 11, i == 1 ? "[visited element]" : "[element 12]", i == 1 ? Rgb(0x800000) : Rgb(0x0000ff),
                link);
      ly += 18;
    }
    p.setPen(dark ? Rgb(0x8a93a0) : Rgb(0x6b7380));
    p.setFont(UiFont(10));
    p.drawText(pad, H - 10, dark ? "dark theme: log text black, links blue and maroon (fixed colours)"
                                 : "built-in theme: log text black, links blue and maroon (fixed colours)");
  }
  return img;
}

} // namespace

void WritePreviews(const QString &directory, const PreviewInput &in) {
  QDir().mkpath(directory);
  const QString d = directory + '/';
  SavePng(Enlarged(in.lightTheme, 6), d + "theme-light-x6.png");
  SavePng(Enlarged(in.darkTheme, 6, Rgb(0x30343a), Rgb(0x262a2f)), d + "theme-dark-x6.png");
  for (const StripArt &s : in.strips) {
    const int factor = s.cell <= 12 ? 12 : s.cell <= 16 ? 10 : 6;
    SavePng(Enlarged(s.image, factor), d + s.resourceName + "-x" + QString::number(factor) + ".png");
    SavePng(Enlarged(s.image, factor, Rgb(0x23272d), Rgb(0x2c3037)),
            d + s.resourceName + "-dark-x" + QString::number(factor) + ".png");
  }
  for (const QImage &icon : in.icons)
    SavePng(Enlarged(icon, 512 / icon.width()), d + "icon" + QString::number(icon.width()) + ".png");
  SavePng(Enlarged(in.logo, 16), d + "logo-x16.png");
  const Theme light(in.lightTheme, in.lightInfo), dark(in.darkTheme, in.darkInfo);
  const QImage lightSheet = MockSheet(light, false, in.strips), darkSheet = MockSheet(dark, true, in.strips);
  SavePng(lightSheet, d + "sheet-light.png");
  SavePng(darkSheet, d + "sheet-dark.png");
  SavePng(lightSheet.scaled(lightSheet.size() * 2), d + "sheet-light-x2.png");
  SavePng(darkSheet.scaled(darkSheet.size() * 2), d + "sheet-dark-x2.png");
}

} // namespace art
