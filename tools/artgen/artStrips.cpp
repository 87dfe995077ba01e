#include "artStrips.h"

#include "artPaint.h"

#include <QLinearGradient>

#include <cmath>

namespace art {

namespace {

// Colours of the pictures. They are not themed, so each picture carries its own outline and reads on a light
// and on a dark page alike.
const QColor kBlue = Rgb(0x2f7de1), kBlueDark = Rgb(0x1d5fb5), kBlueSoft = Rgb(0xd6e6fb);
const QColor kGreen = Rgb(0x2e9e4f), kGreenDark = Rgb(0x1f7a3b), kGreenSoft = Rgb(0xd9f0df);
const QColor kRed = Rgb(0xdb3f3a), kRedDark = Rgb(0xa92a26);
const QColor kAmber = Rgb(0xf4b52b), kAmberDark = Rgb(0xbd820c);
const QColor kGold = Rgb(0xf7c233), kGoldDark = Rgb(0xc38a0c);
const QColor kGrey = Rgb(0xa3acb7), kGreyDark = Rgb(0x6f7a87), kGreyLight = Rgb(0xe4e8ed);
const QColor kNote = Rgb(0xfdf0b6), kNoteEdge = Rgb(0xc9a646), kNoteLine = Rgb(0xb8994a);
const QColor kPaper = Rgb(0xffffff), kPaperEdge = Rgb(0x7d8898), kInkLine = Rgb(0xa9b2be);
const QColor kSky = Rgb(0xbfe0fb), kHill = Rgb(0x4aa564), kHillFar = Rgb(0x8fcf9c), kSun = Rgb(0xf7c233);
const QColor kWhite = Rgb(0xffffff);

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  bool first = true;
  for (QPointF pt : points) {
    if (first)
      path.moveTo(pt);
    else
      path.lineTo(pt);
    first = false;
  }
  path.closeSubpath();
  return path;
}

QPainterPath Circle(qreal cx, qreal cy, qreal r) {
  QPainterPath path;
  path.addEllipse(QPointF(cx, cy), r, r);
  return path;
}

QPainterPath Star(qreal cx, qreal cy, qreal outer, qreal inner) {
  QPainterPath path;
  for (int i = 0; i < 10; ++i) {
    const qreal a = -M_PI / 2 + i * M_PI / 5;
    const qreal r = (i % 2) ? inner : outer;
    const QPointF pt(cx + r * std::cos(a), cy + r * std::sin(a));
    if (i == 0)
      path.moveTo(pt);
    else
      path.lineTo(pt);
  }
  path.closeSubpath();
  return path;
}

// A framed landscape picture filling the pixel rectangle (x, y, w, h): sky, a far and a near hill, a sun.
void Picture(Painter &p, int x, int y, int w, int h) {
  p.Box(x, y, w, h, w >= 20 ? 2.5 : 1.5, kSky, kPaperEdge);
  p.save();
  p.setClipRect(x + 1, y + 1, w - 2, h - 2);
  const qreal ix = x + 1, iy = y + 1, iw = w - 2, ih = h - 2;
  p.FillPath(Polygon({{ix, iy + ih}, {ix, iy + ih * 0.62}, {ix + iw * 0.42, iy + ih * 0.30},
                      {ix + iw * 0.80, iy + ih * 0.68}, {ix + iw * 0.80, iy + ih}}),
             kHillFar);
  p.FillPath(Polygon({{ix + iw * 0.18, iy + ih}, {ix + iw * 0.62, iy + ih * 0.50}, {ix + iw, iy + ih * 0.82},
                      {ix + iw, iy + ih}}),
             kHill);
  p.FillPath(Circle(ix + iw * 0.76, iy + ih * 0.28, std::max<qreal>(1.3, iw * 0.11)), kSun);
  p.restore();
}

// A round badge with a white glyph in the bottom-right of a 32-pixel cell.
void Badge(Painter &p, qreal cx, qreal cy, qreal r, QColor fill, QColor edge) {
  p.FillPath(Circle(cx, cy, r + 1.2), kWhite);
  p.FillStroke(Circle(cx, cy, r), fill, edge, 1.0);
}

void PlusGlyph(Painter &p, qreal cx, qreal cy, qreal half, qreal width, QColor c) {
  QPainterPath plus;
  plus.moveTo(cx - half, cy);
  plus.lineTo(cx + half, cy);
  plus.moveTo(cx, cy - half);
  plus.lineTo(cx, cy + half);
  p.Stroke(plus, c, width, Qt::FlatCap);
}

void TickGlyph(Painter &p, qreal cx, qreal cy, qreal s, qreal width, QColor c) {
  QPainterPath tick;
  tick.moveTo(cx - s, cy);
  tick.lineTo(cx - s * 0.3, cy + s * 0.7);
  tick.lineTo(cx + s, cy - s * 0.75);
  p.Stroke(tick, c, width);
}

void CrossGlyph(Painter &p, qreal cx, qreal cy, qreal s, qreal width, QColor c) {
  QPainterPath cross;
  cross.moveTo(cx - s, cy - s);
  cross.lineTo(cx + s, cy + s);
  cross.moveTo(cx + s, cy - s);
  cross.lineTo(cx - s, cy + s);
  p.Stroke(cross, c, width);
}

// An empty cell kept for later use: a faint dashed square, so that a stray use shows rather than vanishes.
void Spare(Painter &p, int cell) {
  const int m = cell / 8, n = cell - 2 * m;
  const QColor c = Faded(kGreyDark, 0.55);
  const int dash = cell >= 32 ? 3 : 2;
  for (int i = 0; i < n; ++i)
    if ((i / dash) % 2 == 0) {
      p.Pixel(m + i, m, c);
      p.Pixel(m + i, m + n - 1, c);
      p.Pixel(m, m + i, c);
      p.Pixel(m + n - 1, m + i, c);
    }
}

// ---- 12 px: the tree glyphs of drop-down lists ----

// Pixel triangles, so the small glyphs stay sharp.
void CharCollapsed(Painter &p, int) {
  for (int i = 0; i < 4; ++i)
    p.Pixels(4 + i, 2 + i, 4 + i, 9 - i, Rgb(0x5d6878));
}
void CharExpanded(Painter &p, int) {
  for (int i = 0; i < 4; ++i)
    p.Pixels(2 + i, 4 + i, 9 - i, 4 + i, Rgb(0x5d6878));
}

// ---- 16 px ----

void SmallCommand(Painter &p, int) {
  // The default command: a blue key with a "run" triangle.
  p.Box(1, 1, 14, 14, 3, kBlue, kBlueDark);
  p.FillPath(Polygon({{6, 4.5}, {11.5, 8}, {6, 11.5}}), kWhite);
}

void SmallImage(Painter &p, int) { Picture(p, 1, 2, 14, 12); }

void SmallImageEditing(Painter &p, int) {
  // An image being edited: the picture with a pencil across its corner.
  Picture(p, 0, 1, 12, 10);
  QPainterPath body;
  body.moveTo(7.5, 14.5);
  body.lineTo(14, 8);
  p.Stroke(body, kAmberDark, 3.6, Qt::FlatCap);
  p.Stroke(body, kAmber, 2.0, Qt::FlatCap);
  p.FillPath(Polygon({{5.6, 15.6}, {6.4, 12.6}, {8.6, 14.8}}), Rgb(0x3a4352));
}

void SmallTable(Painter &p, int) {
  // A table: a header row and a 3 x 3 grid of crisp lines.
  const QColor line = Rgb(0x6b7a8f);
  p.Box(1, 2, 14, 12, 0, kPaper, line);
  p.Pixels(2, 3, 13, 5, kBlueSoft);
  p.Pixels(2, 6, 13, 6, line);
  p.Pixels(2, 9, 13, 9, line);
  p.Pixels(5, 3, 5, 12, line);
  p.Pixels(10, 3, 10, 12, line);
}

void SmallComment(Painter &p, int) {
  // A comment: a yellow note with its corner folded and two lines of text.
  QPainterPath body = Polygon({{1.5, 2.5}, {10.5, 2.5}, {14.5, 6.5}, {14.5, 13.5}, {1.5, 13.5}});
  p.FillStroke(body, kNote, kNoteEdge);
  p.FillStroke(Polygon({{10.5, 2.5}, {10.5, 6.5}, {14.5, 6.5}}), Rgb(0xf2dd8a), kNoteEdge);
  p.Pixels(4, 7, 9, 7, kNoteLine);
  p.Pixels(4, 10, 11, 10, kNoteLine);
}

void SmallLogicFrame(Painter &p, int) {
  // A logic frame: a caption note with its expand button, and the bracket of the group below it.
  const QColor bracket = Rgb(0x6f88b3);
  QPainterPath b;
  b.moveTo(3, 7);
  b.lineTo(3, 12.5);
  b.quadTo(3, 14, 4.5, 14);
  b.lineTo(7, 14);
  p.Stroke(b, bracket, 2.0, Qt::FlatCap);
  p.Box(0, 0, 16, 7, 1.5, kNote, kNoteEdge);
  p.Box(1, 1, 5, 5, 0, kWhite, Rgb(0x97a1ae));
  p.Pixels(2, 3, 4, 3, Rgb(0x3a4352));
  p.Pixels(8, 3, 13, 3, kNoteLine);
  p.Pixels(7, 9, 13, 9, kInkLine);
  p.Pixels(7, 12, 12, 12, kInkLine);
}

void SmallStar(Painter &p, int) { p.FillStroke(Star(8, 8.6, 7.4, 3.1), kGold, kGoldDark, 1.0); }

void SmallInformation(Painter &p, int) {
  // Information: a blue arrow pointing right.
  p.FillStroke(Polygon({{1.5, 6}, {8, 6}, {8, 2.2}, {14.6, 8}, {8, 13.8}, {8, 10}, {1.5, 10}}), kBlue, kBlueDark,
               1.0);
}

void SmallQuestion(Painter &p, int) {
  // A question: a blue question mark.
  QPainterPath q;
  q.moveTo(4.9, 5.4);
  q.cubicTo(4.9, 1.6, 11.3, 1.6, 11.3, 5.2);
  q.cubicTo(11.3, 7.4, 8.2, 7.6, 8.2, 10.2);
  p.Stroke(q, kBlueDark, 3.4, Qt::RoundCap);
  p.Stroke(q, kBlue, 2.0, Qt::RoundCap);
  p.FillStroke(Circle(8.2, 13.4, 1.3), kBlue, kBlueDark, 0.8);
}

void SmallImportant(Painter &p, int) {
  // Important: an amber warning triangle with an exclamation mark.
  p.FillStroke(Polygon({{8, 1.2}, {15.2, 14.4}, {0.8, 14.4}}), kAmber, kAmberDark, 1.0);
  const QColor ink = Rgb(0x3b2a05);
  p.Pixels(7, 5, 8, 9, ink);
  p.Pixels(7, 11, 8, 12, ink);
}

void SmallReady(Painter &p, int) {
  // Ready: a green tick.
  QPainterPath t;
  t.moveTo(2.6, 8.4);
  t.lineTo(6.2, 12);
  t.lineTo(13.4, 4.2);
  p.Stroke(t, kGreenDark, 4.2);
  p.Stroke(t, kGreen, 2.6);
}

void SmallStop(Painter &p, int) {
  // Stop: a red cross.
  QPainterPath c;
  c.moveTo(3.5, 3.5);
  c.lineTo(12.5, 12.5);
  c.moveTo(12.5, 3.5);
  c.lineTo(3.5, 12.5);
  p.Stroke(c, kRedDark, 4.2);
  p.Stroke(c, kRed, 2.6);
}

void SmallGreyBox(Painter &p, int) { p.Box(2, 2, 12, 12, 2.5, Rgb(0xb9c1ca), Rgb(0x848e9a)); }

// ---- 32 px ----

void LargeCommand(Painter &p, int) {
  QLinearGradient g(0, 3, 0, 29);
  g.setColorAt(0, Rgb(0x4f8de6));
  g.setColorAt(1, Rgb(0x2f6fcf));
  p.save();
  QPainterPath key;
  key.addRoundedRect(QRectF(3.5, 3.5, 25, 25), 6, 6);
  p.setBrush(g);
  p.setPen(QPen(kBlueDark, 1.0));
  p.drawPath(key);
  p.restore();
  p.Pixels(8, 5, 23, 5, Rgb(0xffffff, 60));
  QPainterPath play = Polygon({{12.5, 9.5}, {22.5, 16}, {12.5, 22.5}});
  p.FillStroke(play, kWhite, kWhite, 1.5);
}

void LargeDisabled(Painter &p, int) {
  // Disabled: a greyed element box with a prohibition sign over its corner.
  p.Box(2, 4, 22, 18, 4, kGreyLight, kGrey);
  p.Pixels(6, 9, 17, 9, kGrey);
  p.Pixels(6, 13, 14, 13, kGrey);
  p.Pixels(6, 17, 16, 17, kGrey);
  p.FillPath(Circle(21.5, 21.5, 9.2), kWhite);
  QPainterPath ring = Circle(21.5, 21.5, 7.4);
  p.Stroke(ring, kRed, 2.6);
  QPainterPath slash;
  slash.moveTo(16.3, 26.7);
  slash.lineTo(26.7, 16.3);
  p.Stroke(slash, kRed, 2.6, Qt::FlatCap);
}

void LargeEdit(Painter &p, int) {
  // Edit (in another program): the picture with a pencil.
  Picture(p, 1, 3, 24, 19);
  QPainterPath body;
  body.moveTo(14.5, 28.5);
  body.lineTo(28, 15);
  p.Stroke(body, Rgb(0x8a5d06), 6.4, Qt::FlatCap);
  p.Stroke(body, kAmber, 4.4, Qt::FlatCap);
  QPainterPath end;
  end.moveTo(26.2, 16.8);
  end.lineTo(28, 15);
  p.Stroke(end, Rgb(0xe48aa0), 4.4, Qt::FlatCap);
  p.FillPath(Polygon({{11.2, 31.2}, {12.4, 25.8}, {16.6, 30.0}}), Rgb(0xf1d9a8));
  p.FillPath(Polygon({{11.2, 31.2}, {11.8, 28.6}, {13.8, 30.6}}), Rgb(0x3a4352));
}

void LargeApply(Painter &p, int) {
  Picture(p, 1, 3, 24, 19);
  Badge(p, 23, 23, 7.5, kGreen, kGreenDark);
  TickGlyph(p, 23, 23.3, 3.8, 2.2, kWhite);
}

void LargeCancel(Painter &p, int) {
  Picture(p, 1, 3, 24, 19);
  Badge(p, 23, 23, 7.5, kRed, kRedDark);
  CrossGlyph(p, 23, 23, 3.0, 2.2, kWhite);
}

void LargeFormat(Painter &p, int) {
  // The image format: a picture file (a page with a folded corner) with a coloured type label.
  QPainterPath page = Polygon({{5.5, 1.5}, {20.5, 1.5}, {27.5, 8.5}, {27.5, 30.5}, {5.5, 30.5}});
  p.FillStroke(page, kPaper, kPaperEdge);
  p.FillStroke(Polygon({{20.5, 1.5}, {20.5, 8.5}, {27.5, 8.5}}), kGreyLight, kPaperEdge);
  Picture(p, 8, 10, 17, 12);
  p.Box(3, 23, 20, 7, 2, kBlue, kBlueDark);
  p.Pixels(6, 26, 8, 26, kWhite);
  p.Pixels(10, 26, 12, 26, kWhite);
  p.Pixels(14, 26, 19, 26, kWhite);
}

// An open folder in the lower part of a 32-pixel cell.
void Folder(Painter &p) {
  p.FillStroke(Polygon({{2.5, 10.5}, {10.5, 10.5}, {13, 13.5}, {25.5, 13.5}, {25.5, 28.5}, {2.5, 28.5}}),
               Rgb(0xe9a93a), Rgb(0xa86f10));
  p.FillStroke(Polygon({{6.5, 17.5}, {30.5, 17.5}, {26.5, 28.5}, {2.5, 28.5}}), Rgb(0xf8cf6a), Rgb(0xa86f10));
}

void LargeLoad(Painter &p, int) {
  // Load from a file: an open folder with an arrow coming up out of it.
  Folder(p);
  QPainterPath arrow = Polygon({{19, 1.5}, {26.5, 9}, {22, 9}, {22, 16}, {16, 16}, {16, 9}, {11.5, 9}});
  p.FillStroke(arrow, kGreen, kGreenDark);
}

void LargeSave(Painter &p, int) {
  // Save to a file: an arrow going down into a tray.
  p.FillStroke(Polygon({{2.5, 19.5}, {8.5, 19.5}, {10.5, 23.5}, {21.5, 23.5}, {23.5, 19.5}, {29.5, 19.5},
                        {29.5, 29.5}, {2.5, 29.5}}),
               Rgb(0xdfe5ec), Rgb(0x6f7a87));
  QPainterPath arrow = Polygon({{16, 24}, {25, 14.5}, {19.5, 14.5}, {19.5, 2.5}, {12.5, 2.5}, {12.5, 14.5}, {7, 14.5}});
  p.FillStroke(arrow, kBlue, kBlueDark);
}

void LargeInsertImage(Painter &p, int) {
  Picture(p, 1, 3, 24, 19);
  Badge(p, 23, 23, 7.5, kGreen, kGreenDark);
  PlusGlyph(p, 23, 23, 4.0, 2.4, kWhite);
}

void LargeChooseColor(Painter &p, int) {
  // Choose a colour: a painter's palette with five paints.
  QPainterPath palette;
  palette.moveTo(16, 3.5);
  palette.cubicTo(27, 3.5, 30.5, 11, 29.5, 17);
  palette.cubicTo(28.5, 22, 23.5, 21, 21.5, 23.5);
  palette.cubicTo(19.5, 26, 23, 29.5, 17, 29.5);
  palette.cubicTo(8, 29.5, 2.5, 23, 2.5, 16);
  palette.cubicTo(2.5, 8.5, 8, 3.5, 16, 3.5);
  palette.closeSubpath();
  palette.addEllipse(QPointF(21.5, 20.5), 2.2, 2.2);
  palette.setFillRule(Qt::OddEvenFill);
  p.FillStroke(palette, Rgb(0xf3e2bd), Rgb(0xa37f45));
  p.FillStroke(Circle(9.5, 12, 2.8), Rgb(0xe0443c), Rgb(0x9f2a24), 0.8);
  p.FillStroke(Circle(16.5, 8.6, 2.8), Rgb(0xf7c233), Rgb(0xb5860d), 0.8);
  p.FillStroke(Circle(23.5, 11.5, 2.8), Rgb(0x37a85a), Rgb(0x1f7a3b), 0.8);
  p.FillStroke(Circle(8.5, 19.5, 2.8), Rgb(0x2f7de1), Rgb(0x1d5fb5), 0.8);
  p.FillStroke(Circle(14, 24.5, 2.8), Rgb(0x8e5bd0), Rgb(0x61379c), 0.8);
}

// A caption note with an expand button: the head of a logic frame, in a 32-pixel cell.
void FrameHead(Painter &p, int y, bool expanded) {
  p.Box(1, y, 30, 10, 2, kNote, kNoteEdge);
  p.Box(3, y + 2, 7, 7, 1.5, kWhite, Rgb(0x6f7a87));
  p.Pixels(5, y + 5, 7, y + 5, Rgb(0x3a4352));
  if (!expanded)
    p.Pixels(6, y + 4, 6, y + 6, Rgb(0x3a4352));
  p.Pixels(13, y + 4, 27, y + 4, kNoteLine);
  p.Pixels(13, y + 6, 22, y + 6, kNoteLine);
}

void LargeCollapsed(Painter &p, int) {
  // Collapsed: a logic frame folded to its caption, the content drawn together under it.
  FrameHead(p, 3, false);
  const QColor arrow = Rgb(0x6f88b3);
  p.FillPath(Polygon({{10, 16}, {22, 16}, {16, 21}}), arrow);
  p.Pixels(4, 23, 27, 24, arrow);
  p.FillPath(Polygon({{10, 31}, {22, 31}, {16, 26}}), Faded(arrow, 0.55));
}

void LargeDescription(Painter &p, int) {
  // Description: an element box with a note tag hanging from its corner.
  p.Box(1, 2, 20, 14, 3, Rgb(0xf2f5f9), Rgb(0x8f9bab));
  p.Pixels(5, 7, 16, 7, kInkLine);
  p.Pixels(5, 11, 13, 11, kInkLine);
  const QColor fill = Rgb(0xe3eafa), edge = Rgb(0x6f86b8);
  p.Box(10, 13, 22, 17, 2.5, Rgb(0x1e2a3c, 40), Qt::transparent);
  p.Box(9, 12, 22, 17, 2.5, fill, edge);
  p.Pixels(13, 17, 27, 17, edge);
  p.Pixels(13, 20, 25, 20, edge);
  p.Pixels(13, 23, 22, 23, edge);
}

// A table of 3 x 3 cells in the pixel rectangle starting at (x, y), each cell `cw` x `ch` with 1-pixel lines.
void Table(Painter &p, int x, int y, int cw, int ch, int highlightColumn, int highlightRow) {
  const QColor line = Rgb(0x5f6e84);
  const int w = 3 * cw + 4, h = 3 * ch + 4;
  p.Box(x, y, w, h, 0, kPaper, line);
  p.Pixels(x + 1, y + 1, x + w - 2, y + ch, Rgb(0xdde7f5));
  // The new column or row, in the green of the insert badge.
  const QColor fresh = Rgb(0x9fdcb0);
  if (highlightColumn >= 0)
    p.Pixels(x + 1 + highlightColumn * (cw + 1), y + 1, x + highlightColumn * (cw + 1) + cw, y + h - 2, fresh);
  if (highlightRow >= 0)
    p.Pixels(x + 1, y + 1 + highlightRow * (ch + 1), x + w - 2, y + highlightRow * (ch + 1) + ch, fresh);
  for (int i = 1; i < 3; ++i) {
    p.Pixels(x + i * (cw + 1), y + 1, x + i * (cw + 1), y + h - 2, line);
    p.Pixels(x + 1, y + i * (ch + 1), x + w - 2, y + i * (ch + 1), line);
  }
}

void LargeInsertColumn(Painter &p, int) {
  Table(p, 1, 5, 7, 6, 1, -1);
  Badge(p, 24.5, 24.5, 6.5, kGreen, kGreenDark);
  PlusGlyph(p, 24.5, 24.5, 3.5, 2.2, kWhite);
}

void LargeInsertRow(Painter &p, int) {
  Table(p, 1, 5, 7, 6, -1, 1);
  Badge(p, 24.5, 24.5, 6.5, kGreen, kGreenDark);
  PlusGlyph(p, 24.5, 24.5, 3.5, 2.2, kWhite);
}

void LargeInsertTable(Painter &p, int) {
  Table(p, 1, 5, 7, 6, -1, -1);
  Badge(p, 24.5, 24.5, 6.5, kGreen, kGreenDark);
  PlusGlyph(p, 24.5, 24.5, 3.5, 2.2, kWhite);
}

// ---- 9 px: the log's signs ----

void LogHint(Painter &p, int) {
  // A hint: a blue disc with a white "i".
  p.FillPath(Circle(4.5, 4.5, 4.4), kBlue);
  p.Pixel(4, 2, kWhite);
  p.Pixels(4, 4, 4, 6, kWhite);
}

void LogWarning(Painter &p, int) {
  // A warning (also errors and missing values): an amber triangle with "!", drawn row by row.
  for (int r = 0; r < 9; ++r) {
    const int half = (r + 1) / 2;
    p.Pixels(4 - half, r, 4 + half, r, r == 8 ? kAmberDark : kAmber);
    p.Pixel(4 - half, r, kAmberDark);
    p.Pixel(4 + half, r, kAmberDark);
  }
  const QColor ink = Rgb(0x3b2a05);
  p.Pixels(4, 3, 4, 5, ink);
  p.Pixel(4, 7, ink);
}

void LogHighest(Painter &p, int) {
  // The highest level: a red disc with a white "!".
  p.FillPath(Circle(4.5, 4.5, 4.4), kRed);
  p.Pixels(4, 2, 4, 4, kWhite);
  p.Pixel(4, 6, kWhite);
}

} // namespace

std::vector<StripArt> DrawStrips() {
  struct Def {
    const char *name;
    int cell;
    std::vector<std::pair<const char *, CellPainter>> cells;
  };
  const std::vector<Def> defs = {
      {"diClassesCharImages", 12, {{"collapsed", CharCollapsed}, {"expanded", CharExpanded}}},
      {"diClassesSmallImages", 16, {{"default command", SmallCommand}, {"spare", Spare}}},
      {"diDataElementSmallImages", 16, {{"image", SmallImage}, {"image being edited", SmallImageEditing}}},
      {"diTableElementSmallImages", 16, {{"table", SmallTable}}},
      {"diCommonElementsSmallImages",
       16,
       {{"comment", SmallComment},
        {"logic frame", SmallLogicFrame},
        {"star", SmallStar},
        {"information", SmallInformation},
        {"question", SmallQuestion},
        {"important", SmallImportant},
        {"ready", SmallReady},
        {"stop", SmallStop},
        {"grey box", SmallGreyBox}}},
      {"diClassesLargeImages", 32, {{"default command", LargeCommand}, {"Disabled", LargeDisabled}, {"spare", Spare}}},
      {"diDataElementLargeImages",
       32,
       {{"Edit", LargeEdit},
        {"Apply", LargeApply},
        {"Cancel", LargeCancel},
        {"image format", LargeFormat},
        {"Load from File", LargeLoad},
        {"Save to File", LargeSave},
        {"spare", Spare},
        {"insert Image", LargeInsertImage}}},
      {"diSimpleElementsLargeImages", 32, {{"Choose Color", LargeChooseColor}}},
      {"diTitledLargeImages", 32, {{"Collapsed", LargeCollapsed}, {"Description", LargeDescription}}},
      {"diTableElementLargeImages",
       32,
       {{"insert column", LargeInsertColumn}, {"insert row", LargeInsertRow}, {"insert Table", LargeInsertTable}}},
      {"diLogImages", 9, {{"hint", LogHint}, {"warning", LogWarning}, {"highest", LogHighest}}},
  };
  std::vector<StripArt> strips;
  for (const Def &d : defs) {
    StripArt s;
    s.resourceName = QString::fromLatin1(d.name);
    s.cell = d.cell;
    std::vector<CellPainter> painters;
    for (const auto &[meaning, painter] : d.cells) {
      s.meanings << QString::fromLatin1(meaning);
      painters.push_back(painter);
    }
    s.image = Straight(Strip(d.cell, painters));
    strips.push_back(s);
  }
  return strips;
}

QImage DrawAppIcon(int size) {
  // A notepad page with a blue binding band and lines of writing, and a quill across its right side. Drawn
  // on a 64-unit grid scaled to the size; the 16-pixel icon is drawn on its own grid so its lines stay crisp.
  QImage image = NewImage(size, size);
  Painter p(image);
  const QColor band = Rgb(0x2f6fd0), bandDark = Rgb(0x1f54a8);
  const QColor vane = Rgb(0xf29b38), vaneDark = Rgb(0xb8650f), shaft = Rgb(0x7a3f05);
  if (size == 16) {
    p.Box(1, 1, 11, 14, 1.5, kPaper, Rgb(0x6b7686));
    p.Pixels(2, 2, 10, 3, band);
    p.Pixels(3, 6, 8, 6, kInkLine);
    p.Pixels(3, 9, 7, 9, kInkLine);
    p.Pixels(3, 12, 6, 12, kInkLine);
    QPainterPath leaf;
    leaf.moveTo(7, 13.5);
    leaf.cubicTo(7.5, 8, 11, 3, 15.8, 0.2);
    leaf.cubicTo(16, 6, 13, 11, 7, 13.5);
    p.FillStroke(leaf, vane, vaneDark, 1.0);
    QPainterPath quill;
    quill.moveTo(5.5, 15.5);
    quill.lineTo(9, 11);
    p.Stroke(quill, shaft, 1.4, Qt::RoundCap);
    return Straight(image);
  }
  const qreal u = size / 64.0;
  p.scale(u, u);
  const qreal edge = 1.0 / u * (size >= 48 ? 1.5 : 1.0);
  QPainterPath page;
  page.addRoundedRect(QRectF(5, 5, 42, 55), 5, 5);
  p.FillStroke(page, kPaper, Rgb(0x6b7686), edge);
  QPainterPath head;
  head.addRoundedRect(QRectF(5, 5, 42, 12), 5, 5);
  head.addRect(QRectF(5, 11, 42, 6));
  head.setFillRule(Qt::WindingFill);
  p.FillStroke(head.simplified(), band, bandDark, edge);
  if (size >= 48)
    for (int i = 0; i < 4; ++i)
      p.FillPath(Circle(13 + i * 9, 11, 1.8), Rgb(0xffffff, 200));
  const qreal lines[] = {26, 34, 42, 50};
  const qreal ends[] = {38, 34, 30, 26};
  for (int i = 0; i < 4; ++i) {
    QPainterPath l;
    l.moveTo(12, lines[i]);
    l.lineTo(ends[i], lines[i]);
    p.Stroke(l, Rgb(0x9aa5b3), 2.4 * std::max(1.0, 1.0 / (u * 2.4)), Qt::RoundCap);
  }
  QPainterPath leaf;
  leaf.moveTo(27, 55);
  leaf.cubicTo(30, 37, 42, 17, 62, 2);
  leaf.cubicTo(62, 22, 50, 42, 27, 55);
  p.FillStroke(leaf, vane, vaneDark, edge);
  QPainterPath barbs;
  barbs.moveTo(45, 28);
  barbs.lineTo(52, 26);
  barbs.moveTo(40, 37);
  barbs.lineTo(46, 36);
  p.Stroke(barbs, vaneDark, edge * 0.9, Qt::RoundCap);
  QPainterPath quill;
  quill.moveTo(24, 61);
  quill.lineTo(55, 10);
  p.Stroke(quill, shaft, std::max(1.6, 1.2 / u), Qt::RoundCap);
  return Straight(image);
}

QImage DrawLogo() {
  // A woven mark: three blue weft bands under and over three amber warp bands.
  QImage image = NewImage(24, 16);
  Painter p(image);
  const QColor weft = Rgb(0x2f6fd0), weftEdge = Rgb(0x1f54a8);
  const QColor warp = Rgb(0xf29b38), warpEdge = Rgb(0xb8650f);
  const int rows[] = {2, 7, 12};     // weft bands, 3 pixels tall (top row given)
  const int columns[] = {5, 11, 17}; // warp bands, 3 pixels wide (left column given)
  auto weftBand = [&](int y) {
    p.Pixels(1, y - 1, 22, y - 1, weftEdge);
    p.Pixels(1, y, 22, y + 1, weft);
    p.Pixels(1, y + 2, 22, y + 2, weftEdge);
  };
  auto warpBand = [&](int x, int y0, int y1) {
    p.Pixels(x - 1, y0, x - 1, y1, warpEdge);
    p.Pixels(x, y0, x + 1, y1, warp);
    p.Pixels(x + 2, y0, x + 2, y1, warpEdge);
  };
  for (int y : rows)
    weftBand(y);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      // The warp passes over the weft where row and column have the same parity.
      if ((i + j) % 2 == 0)
        warpBand(columns[i], rows[j] - 1, rows[j] + 2);
  for (int i = 0; i < 3; ++i) {
    // Between weft bands the warp is always visible.
    warpBand(columns[i], 0, 0);
    warpBand(columns[i], 5, 5);
    warpBand(columns[i], 10, 10);
    warpBand(columns[i], 15, 15);
  }
  return Straight(image);
}

} // namespace art
