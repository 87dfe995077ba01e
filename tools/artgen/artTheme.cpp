#include "artTheme.h"

#include "artPaint.h"

#include <QStringList>

#include <cmath>
#include <map>
#include <set>

namespace art {

namespace {

// The built-in values. The face list "Seqoe,Arial" is kept as the built-in theme has always spelt it: the
// unknown first name is skipped and Arial (or its stand-in) is taken.
const std::vector<ThemeTag> kFontTags = {
    {"ElementFont", "Name=Seqoe,Arial Size=10 Color=26,0"},
    {"CodeFont", "Name=Seqoe,Arial Size=10 Color=28,0"},
    {"FixedFont", "Name=\"Courier New\" Size=10 Color=29,0"},
    {"ArtFont", "Name=\"Times New Roman\" Size=13 Color=30,0"},
    {"CommentFont", "Name=Seqoe,Arial Size=9 Italic=1 Color=31,0"},
};

const std::vector<ThemeTag> kSkinTags = {
    {"CheckBox", "Padding=2,0,2,0 Margins=4,1,4,2 FillModeClient=2"},
    {"CheckBoxChecked", "Cut=26,51,39,64 Zone=14,0,0,0 Padding=14,1,2,1"},
    {"CheckBoxUnchecked", "Cut=41,51,54,64 Zone=14,0,0,0 Padding=14,1,2,1"},
    {"Collapsed", "Cut=54,108,74,128 Margins=-2,-2,-2,-2"},
    {"CollapsedData", "Cut=104,108,124,128"},
    {"Comment", "Cut=59,0,77,13 Zone=4,7,7,3 Padding=6,2,9,2 Margins=0,0,0,1"},
    {"Container", "Cut=1,29,13,43 Zone=6,6,6,6 Padding=6,1,6,1 Margins=4,4,4,4"},
    {"Description", "Cut=80,0,108,15 Zone=14,9,4,4 Padding=14,2,7,4 Margins=-3,-5,0,0 MouseTransparent=8,0,2,2"},
    {"Element", "Cut=0,0,22,22 Zone=11,11,11,11 ColorOver=24,0"},
    {"ElementCommand", "Cut=0,0,22,22 Zone=11,11,11,11 ColorOver=24,3"},
    {"ElementExpression", "Cut=0,0,22,22 Zone=11,11,11,11 ColorOver=24,1"},
    {"ElementTechnical", "Cut=0,0,22,22 Zone=11,11,11,11 ColorOver=24,2"},
    {"Expanded", "Cut=79,108,99,128"},
    {"ExpandedData", "Cut=129,108,149,128"},
    {"ExternalEditingMode", "Cut=33,0,40,7 FillModeClient=1"},
    {"Error", "Cut=71,51,84,64"},
    {"Field", "Cut=0,29,14,43 Zone=7,6,7,6 Padding=7,1,7,1 Margins=3,4,3,4 ColorOver=16,29"},
    {"FrameDot", "Cut=34,87,39,92 Zone=1,1,1,1 FillModeLeft=1 FillModeTop=1 FillModeRight=1 FillModeBottom=1 "
                 "FillModeClient=2"},
    {"FrameSingle", "Cut=29,87,33,91 Zone=1,1,1,1 Padding=3,1,3,1"},
    {"ImageChess", "Cut=30,16,41,27 Padding=1,1,1,1 FillModeClient=1"},
    {"ImageContainer", "Cut=1,29,13,43 Zone=6,6,6,6 Padding=2,2,2,2 Margins=4,4,4,4"},
    {"Line", "Cut=64,15,78,15 Zone=0,1,0,0"},
    {"LogicFrame", "Cut=33,97,52,117 Zone=7,7,7,8 Padding=0,0,0,0 FillModeLeft=1 FillModeTop=1 FillModeRight=1 "
                   "FillModeBottom=1 FillModeClient=2"},
    {"Mark", "Cut=41,0,47,6 Zone=3,3,3,3 FillModeClient=2"},
    {"Name", "Cut=0,29,14,43 Zone=7,6,7,6 Padding=7,1,7,1 Margins=3,4,3,4 ColorOver=16,30"},
    {"NamePrivate", "Cut=0,29,14,43 Zone=7,6,7,6 Padding=7,1,7,1 Margins=3,4,3,4 ColorOver=16,31"},
    {"NamePublic", "Cut=0,29,14,43 Zone=7,6,7,6 Padding=7,1,7,1 Margins=3,4,3,4 ColorOver=16,32"},
    {"NeedValue", "Cut=56,51,69,64"},
    {"Referenced", "Cut=46,89,52,95"},
    {"Sheet", "Padding=6,2,6,2 FillModeClient=2"},
    {"Substitution", "Cut=26,29,40,49 Zone=6,6,6,6 Padding=7,0,7,0"},
    {"SubstitutionBegin", "Cut=52,29,59,49 Zone=6,6,1,6 Padding=7,0,7,0"},
    {"SubstitutionContinue", "Cut=61,29,62,49 Zone=0,6,1,6 Padding=7,0,7,0"},
    {"SubstitutionEnd", "Cut=64,29,70,49 Zone=0,6,6,6 Padding=7,0,7,0"},
    {"Unaccepted", "Cut=43,16,54,26 Zone=2,2,2,2 Padding=3,1,3,1"},
};

// The dark theme paints the page with the "Sheet" skin: a solid patch whose only slice is the client,
// stretched over the page. Its three overlay colours sit in a free corner of the image.
const ThemeTag kDarkSheet = {"Sheet", "Cut=2,64,9,71 Padding=6,2,6,2"};
const char *const kDarkTopAttributes = "DisableColor=2,60 SelectColor=3,60 SelectInactiveColor=4,60";

// Every colour of one theme's look.
struct Look {
  QColor page;                                     // the dark page (light: unused, the window colour shows)
  QColor fontElement, fontCode, fontFixed, fontArt, fontComment;
  QColor tintElement, tintExpression, tintTechnical, tintCommand;
  QColor tintField, tintName, tintNamePrivate, tintNamePublic;
  QColor disable, select, selectInactive;          // dark only
  QColor elementFill, elementBorder, elementShadow;
  QColor fieldFill, fieldBorder;
  QColor noteFill, noteBorder, noteFold;
  QColor bracket;
  QColor frame, dots;
  QColor buttonFill, buttonBorder, buttonGlyph, buttonShadow;
  QColor dataFill, dataBorder, dataGlyph;
  QColor checkFill, checkBorder, checkOnFill, checkOnBorder, checkTick;
  QColor unacceptedFill, unacceptedBorder;
  QColor substitutionFill, substitutionBorder;
  QColor descriptionFill, descriptionBorder, shadow;
  QColor mark, markGlow;
  QColor hatch;
  QColor chessA, chessB;
  QColor line;
  QColor errorFill, errorBorder, errorGlyph;
  QColor needFill, needBorder, needGlyph;
  QColor referenced;
};

Look LightLook() {
  Look l;
  l.page = Rgb(0xffffff);
  l.fontElement = Rgb(0x2a3140);
  l.fontCode = Rgb(0x1e2530);
  l.fontFixed = Rgb(0x3a4352);
  l.fontArt = Rgb(0x2a3140);
  l.fontComment = Rgb(0x5c4e28);
  l.tintElement = Rgb(0x5b8def, 22);
  l.tintExpression = Rgb(0x9b6bd6, 34);
  l.tintTechnical = Rgb(0x7f8a99, 40);
  l.tintCommand = Rgb(0x3fae6a, 34);
  l.tintField = Rgb(0x5b8def, 16);
  l.tintName = Rgb(0xe0a030, 40);
  l.tintNamePrivate = Rgb(0xd9534f, 34);
  l.tintNamePublic = Rgb(0x3fae6a, 34);
  l.elementFill = Rgb(0xf6f8fb);
  l.elementBorder = Rgb(0xc3cad5);
  l.elementShadow = Rgb(0x1e2a3c, 22);
  l.fieldFill = Rgb(0xffffff);
  l.fieldBorder = Rgb(0xc7ced8);
  l.noteFill = Rgb(0xfdf4d2);
  l.noteBorder = Rgb(0xe2cf8e);
  l.noteFold = Rgb(0xf1e1a6);
  l.bracket = Rgb(0x9fb2cf);
  l.frame = Rgb(0xb9c1cc);
  l.dots = Rgb(0x97a1ae);
  l.buttonFill = Rgb(0xffffff);
  l.buttonBorder = Rgb(0xa9b3c1);
  l.buttonGlyph = Rgb(0x526076);
  l.buttonShadow = Rgb(0x1e2a3c, 30);
  l.dataFill = Rgb(0xdce8fb);
  l.dataBorder = Rgb(0x6f98d8);
  l.dataGlyph = Rgb(0x1f4f9c);
  l.checkFill = Rgb(0xffffff);
  l.checkBorder = Rgb(0x97a2b2);
  l.checkOnFill = Rgb(0x3d7bd9);
  l.checkOnBorder = Rgb(0x2f65b8);
  l.checkTick = Rgb(0xffffff);
  l.unacceptedFill = Rgb(0xfdeeee);
  l.unacceptedBorder = Rgb(0xe0a2a2);
  l.substitutionFill = Rgb(0xe7f5ec);
  l.substitutionBorder = Rgb(0x9ccdaa);
  l.descriptionFill = Rgb(0xeef2fb);
  l.descriptionBorder = Rgb(0xa9b8d6);
  l.shadow = Rgb(0x1e2a3c, 26);
  l.mark = Rgb(0xf29d12);
  l.markGlow = Rgb(0xf7b84a, 90);
  l.hatch = Rgb(0x3d7bd9, 70);
  l.chessA = Rgb(0xffffff);
  l.chessB = Rgb(0xe3e7ec);
  l.line = Rgb(0xcfd5de);
  l.errorFill = Rgb(0xdc4a3f);
  l.errorBorder = Rgb(0xb5362d);
  l.errorGlyph = Rgb(0xffffff);
  l.needFill = Rgb(0xf3b23a);
  l.needBorder = Rgb(0xc88612);
  l.needGlyph = Rgb(0x3b2a05);
  l.referenced = Rgb(0x3d7bd9);
  return l;
}

Look DarkLook() {
  Look l;
  l.page = Rgb(0x1f2329);
  l.fontElement = Rgb(0xdce1e9);
  l.fontCode = Rgb(0xe2e6ed);
  l.fontFixed = Rgb(0xc5cdd9);
  l.fontArt = Rgb(0xe2e6ed);
  l.fontComment = Rgb(0xe8d9a8);
  l.tintElement = Rgb(0x5b8def, 30);
  l.tintExpression = Rgb(0xa77ce0, 40);
  l.tintTechnical = Rgb(0x8c96a5, 34);
  l.tintCommand = Rgb(0x4cc07a, 36);
  l.tintField = Rgb(0x5b8def, 22);
  l.tintName = Rgb(0xe0a030, 40);
  l.tintNamePrivate = Rgb(0xe06560, 40);
  l.tintNamePublic = Rgb(0x4cc07a, 40);
  l.disable = Rgb(0x1f2329, 180);
  l.select = Rgb(0x4f86d8, 120);
  l.selectInactive = Rgb(0x5a616d, 150);
  l.elementFill = Rgb(0x2a2f37);
  l.elementBorder = Rgb(0x474f5c);
  l.elementShadow = Rgb(0x000000, 70);
  l.fieldFill = Rgb(0x252a31);
  l.fieldBorder = Rgb(0x4a5360);
  l.noteFill = Rgb(0x3a3426);
  l.noteBorder = Rgb(0x6e6240);
  l.noteFold = Rgb(0x4c4431);
  l.bracket = Rgb(0x5f7aa3);
  l.frame = Rgb(0x525b68);
  l.dots = Rgb(0x6d7785);
  l.buttonFill = Rgb(0x2d333c);
  l.buttonBorder = Rgb(0x5d6776);
  l.buttonGlyph = Rgb(0xc3cbd7);
  l.buttonShadow = Rgb(0x000000, 70);
  l.dataFill = Rgb(0x24406b);
  l.dataBorder = Rgb(0x4f7fc7);
  l.dataGlyph = Rgb(0xd6e4fa);
  l.checkFill = Rgb(0x252a31);
  l.checkBorder = Rgb(0x6a7484);
  l.checkOnFill = Rgb(0x3d7bd9);
  l.checkOnBorder = Rgb(0x5a92e6);
  l.checkTick = Rgb(0xffffff);
  l.unacceptedFill = Rgb(0x3d2626);
  l.unacceptedBorder = Rgb(0x8a4a4a);
  l.substitutionFill = Rgb(0x213a2b);
  l.substitutionBorder = Rgb(0x3f7a55);
  l.descriptionFill = Rgb(0x283044);
  l.descriptionBorder = Rgb(0x4d5e82);
  l.shadow = Rgb(0x000000, 70);
  l.mark = Rgb(0xf0a12a);
  l.markGlow = Rgb(0xf0a12a, 80);
  l.hatch = Rgb(0x6fa3f0, 80);
  l.chessA = Rgb(0x3a3f47);
  l.chessB = Rgb(0x2e3239);
  l.line = Rgb(0x434a55);
  l.errorFill = Rgb(0xe0544a);
  l.errorBorder = Rgb(0xf07a70);
  l.errorGlyph = Rgb(0xffffff);
  l.needFill = Rgb(0xf0b040);
  l.needBorder = Rgb(0xf6c866);
  l.needGlyph = Rgb(0x3b2a05);
  l.referenced = Rgb(0x6fa3f0);
  return l;
}

const ThemeTag &SkinTag(const char *name) {
  for (const ThemeTag &t : kSkinTags)
    if (qstrcmp(t.tag, name) == 0)
      return t;
  throw std::runtime_error(std::string("no skin tag ") + name);
}

// ---- the pieces of the image, each drawn with its painter's origin at the cut's top-left ----

void DrawElement(Painter &p, const Look &l, int w, int h) {
  // A soft rounded box, its 1-pixel shadow under the bottom edge; zones are 11 on every side, so the middle
  // row and column (stretched) are plain border, fill and shadow.
  p.Box(0, 1, w, h - 1, 5, l.elementShadow, Qt::transparent);
  p.Box(0, 0, w, h - 1, 5, l.elementFill, l.elementBorder);
}

void DrawField(Painter &p, const Look &l, int w, int h) {
  // The visible box leaves the outer columns free: "Container" and "ImageContainer" cut the same box
  // without them.
  p.Box(1, 0, w - 2, h, 3, l.fieldFill, l.fieldBorder);
}

void DrawUnaccepted(Painter &p, const Look &l, int w, int h) { p.Box(0, 0, w, h, 2, l.unacceptedFill, l.unacceptedBorder); }

void DrawDescription(Painter &p, const Look &l, int w, int h) {
  // A tag hanging below and right of its element: the tail points up-left (the skin's negative margins move
  // it over the element's corner); the left 8 and the shadow columns let the mouse through.
  const int bx = 8, bw = w - 2 - bx, bh = h - 2;
  p.Box(bx + 1, 1, bw, bh, 2, l.shadow, Qt::transparent);
  p.Box(bx, 0, bw, bh, 2, l.descriptionFill, l.descriptionBorder);
  QPainterPath tail;
  tail.moveTo(bx + 1, 2);
  tail.lineTo(2, 0.5);
  tail.lineTo(bx + 1, 7);
  tail.closeSubpath();
  p.FillPath(tail, l.descriptionFill);
  QPainterPath edge;
  edge.moveTo(bx + 0.5, 2.2);
  edge.lineTo(2, 0.5);
  edge.lineTo(bx + 0.5, 7.2);
  p.Stroke(edge, l.descriptionBorder, 1.0);
}

void DrawComment(Painter &p, const Look &l, int w, int h) {
  // A sticky note with its top-right corner folded; the fold stays inside the 7 x 7 top-right zone, the left
  // corners inside the 4-pixel left zone and the bottom corners inside the 3-pixel bottom zone.
  const qreal r = 2, right = w - 0.5, bottom = h - 0.5, fold = 6;
  QPainterPath body;
  body.moveTo(0.5 + r, 0.5);
  body.lineTo(right - fold, 0.5);
  body.lineTo(right, 0.5 + fold);
  body.lineTo(right, bottom - r);
  body.quadTo(right, bottom, right - r, bottom);
  body.lineTo(0.5 + r, bottom);
  body.quadTo(0.5, bottom, 0.5, bottom - r);
  body.lineTo(0.5, 0.5 + r);
  body.quadTo(0.5, 0.5, 0.5 + r, 0.5);
  body.closeSubpath();
  p.FillStroke(body, l.noteFill, l.noteBorder, 1.0);
  QPainterPath flap;
  flap.moveTo(right - fold, 0.5);
  flap.lineTo(right - fold, 0.5 + fold);
  flap.lineTo(right, 0.5 + fold);
  flap.closeSubpath();
  p.FillStroke(flap, l.noteFold, l.noteBorder, 1.0);
}

void DrawExternalEditing(Painter &p, const Look &l, int w, int h) {
  // Diagonal hatching with a period of 8, so that the 8 x 8 tile repeats without seams.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int d = (x + y) % 8;
      if (d < 2)
        p.Pixel(x, y, l.hatch);
      else if (d == 2 || d == 7)
        p.Pixel(x, y, Faded(l.hatch, 0.45));
    }
}

void DrawMark(Painter &p, const Look &l, int w, int h) {
  // A search mark: a 1-pixel glow around a 1-pixel amber ring; the centre slice is left out.
  p.Box(0, 0, w, h, 3, Qt::transparent, l.markGlow);
  p.Box(1, 1, w - 2, h - 2, 2, Qt::transparent, l.mark);
}

void DrawChess(Painter &p, const Look &l, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.Pixel(x, y, ((x / 6 + y / 6) % 2) ? l.chessB : l.chessA);
}

void DrawLine(Painter &p, const Look &l, int w, int h) {
  // A separator that fades at its two ends (stretched, the fades stay in proportion).
  for (int x = 0; x < w; ++x) {
    const int fromEnd = std::min(x, w - 1 - x);
    const double f = fromEnd >= 3 ? 1.0 : (fromEnd + 1) / 4.0;
    p.Pixels(x, 0, x, h - 1, Faded(l.line, f));
  }
}

// A piece of a pill `pillWidth` wide whose columns from `offset` on are shown, so that the begin, continue and
// end pieces join without seams.
void DrawPillPart(Painter &p, const Look &l, int w, int h, int offset, int pillWidth) {
  p.save();
  p.setClipRect(0, 0, w, h);
  p.Box(-offset, 0, pillWidth, h, 6, l.substitutionFill, l.substitutionBorder);
  p.restore();
}

void DrawSubstitution(Painter &p, const Look &l, int w, int h) { DrawPillPart(p, l, w, h, 0, w); }
void DrawSubstitutionBegin(Painter &p, const Look &l, int w, int h) { DrawPillPart(p, l, w, h, 0, w + 8); }
void DrawSubstitutionContinue(Painter &p, const Look &l, int w, int h) { DrawPillPart(p, l, w, h, 8, w + 16); }
void DrawSubstitutionEnd(Painter &p, const Look &l, int w, int h) { DrawPillPart(p, l, w, h, 8, w + 8); }

void DrawCheckBox(Painter &p, const Look &l, bool checked) {
  if (checked) {
    p.Box(1, 1, 12, 12, 2.5, l.checkOnFill, l.checkOnBorder);
    QPainterPath tick;
    tick.moveTo(4.0, 7.2);
    tick.lineTo(6.2, 9.4);
    tick.lineTo(10.2, 4.8);
    p.Stroke(tick, l.checkTick, 1.7);
  } else {
    p.Box(1, 1, 12, 12, 2.5, l.checkFill, l.checkBorder);
  }
}

void DrawError(Painter &p, const Look &l, int w, int h) {
  // An error: a red disc with a white cross.
  QPainterPath disc;
  disc.addEllipse(QRectF(0.5, 0.5, w - 1, h - 1));
  p.FillStroke(disc, l.errorFill, l.errorBorder, 1.0);
  QPainterPath cross;
  cross.moveTo(4.6, 4.6);
  cross.lineTo(9.4, 9.4);
  cross.moveTo(9.4, 4.6);
  cross.lineTo(4.6, 9.4);
  p.Stroke(cross, l.errorGlyph, 1.7);
}

void DrawNeedValue(Painter &p, const Look &l, int w, int h) {
  // Something to look at (a missing value, a warning): an amber triangle with an exclamation mark.
  QPainterPath tri;
  tri.moveTo(w / 2.0, 0.8);
  tri.lineTo(w - 0.7, h - 1.2);
  tri.lineTo(0.7, h - 1.2);
  tri.closeSubpath();
  p.FillStroke(tri, l.needFill, l.needBorder, 1.0);
  p.Pixels(6, 4, 7, 8, l.needGlyph);
  p.Pixels(6, 10, 7, 11, l.needGlyph);
}

void DrawReferenced(Painter &p, const Look &l, int w, int h) {
  // A small ring: this element is referred to.
  QPainterPath ring;
  ring.addEllipse(QRectF(1, 1, w - 2, h - 2));
  p.Stroke(ring, l.referenced, 1.6);
}

void DrawFrameDot(Painter &p, const Look &l, int w, int h) {
  // A dotted 1-pixel frame. The edges are tiled by 4-pixel slices, every other pixel set; the corners are set.
  for (int i = 0; i < w; ++i)
    if (i == 0 || i == w - 1 || i % 2 == 0) {
      p.Pixel(i, 0, l.dots);
      p.Pixel(i, h - 1, l.dots);
    }
  for (int i = 1; i < h - 1; ++i)
    if (i % 2 == 0) {
      p.Pixel(0, i, l.dots);
      p.Pixel(w - 1, i, l.dots);
    }
}

void DrawFrameSingle(Painter &p, const Look &l, int w, int h) { p.Box(0, 0, w, h, 0, Qt::transparent, l.frame); }

void DrawLogicFrame(Painter &p, const Look &l, int w, int h) {
  // A bracket down the left of the group: the line comes from under the caption note (the top zone is
  // covered by it), runs down the left zone and ends in a rounded foot in the bottom-left corner. The top,
  // right and bottom edges stay empty, so the group reads as "[" whatever its size.
  const qreal x = 3.0;   // centre of the 2-pixel line: columns 2 and 3
  const qreal footY = 16.0;  // centre of the foot: rows 15 and 16 of the 21
  const qreal r = 3.5;
  (void)w;
  (void)h;
  QPainterPath bracket;
  bracket.moveTo(x + 4.0, 1.0);
  bracket.lineTo(x + r, 1.0);
  bracket.quadTo(x, 1.0, x, 1.0 + r);
  bracket.lineTo(x, footY - r);
  bracket.quadTo(x, footY, x + r, footY);
  bracket.lineTo(x + 4.0, footY);
  p.Stroke(bracket, l.bracket, 2.0, Qt::FlatCap);
}

void DrawExpandButton(Painter &p, const Look &l, bool expanded, bool data) {
  // A 15 x 15 rounded button in the middle of the 21 x 21 cut (the skin's negative margins let the two free
  // pixels on each side overlap neighbours); "+" to expand, "-" to collapse. A button whose hidden content
  // holds something is filled blue.
  const QColor fill = data ? l.dataFill : l.buttonFill;
  const QColor border = data ? l.dataBorder : l.buttonBorder;
  const QColor glyph = data ? l.dataGlyph : l.buttonGlyph;
  p.Box(3, 4, 15, 15, 3.5, l.buttonShadow, Qt::transparent);
  p.Box(3, 3, 15, 15, 3.5, fill, border);
  p.Pixels(7, 10, 13, 10, glyph);
  if (!expanded)
    p.Pixels(10, 7, 10, 13, glyph);
}

struct Piece {
  const char *tag;
  std::function<void(Painter &, const Look &, int, int)> draw;
};

std::vector<Piece> Pieces() {
  return {
      {"Element", DrawElement},
      {"Field", DrawField},
      {"Unaccepted", DrawUnaccepted},
      {"Description", DrawDescription},
      {"Comment", DrawComment},
      {"ExternalEditingMode", DrawExternalEditing},
      {"Mark", DrawMark},
      {"ImageChess", DrawChess},
      {"Line", DrawLine},
      {"Substitution", DrawSubstitution},
      {"SubstitutionBegin", DrawSubstitutionBegin},
      {"SubstitutionContinue", DrawSubstitutionContinue},
      {"SubstitutionEnd", DrawSubstitutionEnd},
      {"CheckBoxChecked", [](Painter &p, const Look &l, int, int) { DrawCheckBox(p, l, true); }},
      {"CheckBoxUnchecked", [](Painter &p, const Look &l, int, int) { DrawCheckBox(p, l, false); }},
      {"Error", DrawError},
      {"NeedValue", DrawNeedValue},
      {"Referenced", DrawReferenced},
      {"FrameDot", DrawFrameDot},
      {"FrameSingle", DrawFrameSingle},
      {"LogicFrame", DrawLogicFrame},
      {"Collapsed", [](Painter &p, const Look &l, int, int) { DrawExpandButton(p, l, false, false); }},
      {"CollapsedData", [](Painter &p, const Look &l, int, int) { DrawExpandButton(p, l, false, true); }},
      {"Expanded", [](Painter &p, const Look &l, int, int) { DrawExpandButton(p, l, true, false); }},
      {"ExpandedData", [](Painter &p, const Look &l, int, int) { DrawExpandButton(p, l, true, true); }},
  };
}

// The straight ARGB pixel for a sampled colour position "x,y" of an attribute.
QPoint PositionOf(const QString &value) {
  const std::vector<int> v = IntegersOf(value, 2);
  return QPoint(v[0], v[1]);
}

// A colour sample must not lie inside any cut, or drawing that skin would show it.
void SetSamplePixel(QImage &image, QPoint at, QColor c) {
  for (const ThemeTag &t : kSkinTags)
    if (CutOf(t).contains(at))
      throw std::runtime_error("colour sample inside the cut of " + std::string(t.tag));
  image.setPixelColor(at, c);
}

void SetSample(QImage &image, const ThemeTag &tag, const char *attribute, QColor c) {
  SetSamplePixel(image, PositionOf(AttributeOf(tag, attribute)), c);
}

} // namespace

const std::vector<ThemeTag> &BuiltInFontTags() { return kFontTags; }
const std::vector<ThemeTag> &BuiltInSkinTags() { return kSkinTags; }

QString AttributeOf(const ThemeTag &tag, const char *name) {
  // Attributes are separated by spaces outside double quotes.
  const QString text = QString::fromLatin1(tag.attributes);
  const QString key = QString::fromLatin1(name) + '=';
  QStringList items;
  QString current;
  bool quoted = false;
  for (QChar c : text) {
    if (c == '"')
      quoted = !quoted;
    if (c == ' ' && !quoted) {
      items << current;
      current.clear();
    } else {
      current += c;
    }
  }
  items << current;
  for (const QString &item : items)
    if (item.startsWith(key)) {
      QString value = item.mid(key.size());
      if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
      return value;
    }
  return QString();
}

std::vector<int> IntegersOf(const QString &value, int count) {
  std::vector<int> out(count, 0);
  const QStringList parts = value.split(',');
  for (int i = 0; i < count && i < parts.size(); ++i)
    out[i] = parts[i].trimmed().toInt();
  return out;
}

QRect CutOf(const ThemeTag &tag) {
  const QString cut = AttributeOf(tag, "Cut");
  if (cut.isEmpty())
    return QRect();
  const std::vector<int> v = IntegersOf(cut);
  return QRect(QPoint(v[0], v[1]), QPoint(v[2], v[3]));
}

QImage DrawThemeImage(ThemeKind kind) {
  const Look look = kind == ThemeKind::Dark ? DarkLook() : LightLook();
  QImage image = NewImage(kThemeWidth, kThemeHeight);
  std::set<std::string> drawn;
  for (const Piece &piece : Pieces()) {
    const QRect cut = CutOf(SkinTag(piece.tag));
    Painter p(image);
    p.setClipRect(cut);
    p.translate(cut.topLeft());
    piece.draw(p, look, cut.width(), cut.height());
    drawn.insert(piece.tag);
  }
  // Every cut must have art: a skin whose cut was not drawn here shares the cut of one that was.
  for (const ThemeTag &tag : kSkinTags) {
    const QRect cut = CutOf(tag);
    if (cut.isNull() || drawn.count(tag.tag))
      continue;
    bool shared = false;
    for (const Piece &piece : Pieces())
      shared = shared || CutOf(SkinTag(piece.tag)).contains(cut);
    if (!shared)
      throw std::runtime_error(std::string("no art for the cut of ") + tag.tag);
  }
  for (const ThemeTag &tag : kSkinTags) {
    const QRect cut = CutOf(tag);
    bool visible = cut.isNull();
    for (int y = cut.top(); !visible && y <= cut.bottom(); ++y)
      for (int x = cut.left(); !visible && x <= cut.right(); ++x)
        visible = qAlpha(image.pixel(x, y)) != 0;
    if (!visible)
      throw std::runtime_error(std::string("the cut of ") + tag.tag + " is empty");
  }

  QImage out = Straight(image);
  // Colour samples, written into the straight image so that translucent tints keep their exact colour.
  for (const ThemeTag &font : kFontTags) {
    const QString name = QString::fromLatin1(font.tag);
    const QColor c = name == "ElementFont" ? look.fontElement
                     : name == "CodeFont"  ? look.fontCode
                     : name == "FixedFont" ? look.fontFixed
                     : name == "ArtFont"   ? look.fontArt
                                           : look.fontComment;
    SetSample(out, font, "Color", c);
  }
  SetSample(out, SkinTag("Element"), "ColorOver", look.tintElement);
  SetSample(out, SkinTag("ElementExpression"), "ColorOver", look.tintExpression);
  SetSample(out, SkinTag("ElementTechnical"), "ColorOver", look.tintTechnical);
  SetSample(out, SkinTag("ElementCommand"), "ColorOver", look.tintCommand);
  SetSample(out, SkinTag("Field"), "ColorOver", look.tintField);
  SetSample(out, SkinTag("Name"), "ColorOver", look.tintName);
  SetSample(out, SkinTag("NamePrivate"), "ColorOver", look.tintNamePrivate);
  SetSample(out, SkinTag("NamePublic"), "ColorOver", look.tintNamePublic);
  if (kind == ThemeKind::Dark) {
    const QRect page = CutOf(kDarkSheet);
    for (int y = page.top(); y <= page.bottom(); ++y)
      for (int x = page.left(); x <= page.right(); ++x)
        SetSamplePixel(out, QPoint(x, y), look.page);
    const ThemeTag top = {"ThemeInfo", kDarkTopAttributes};
    SetSample(out, top, "DisableColor", look.disable);
    SetSample(out, top, "SelectColor", look.select);
    SetSample(out, top, "SelectInactiveColor", look.selectInactive);
  }
  return out;
}

QByteArray ThemeInfoText(ThemeKind kind) {
  QByteArray text;
  auto line = [&text](const QByteArray &l) { text += l + "\r\n"; };
  if (kind == ThemeKind::Dark)
    line(QByteArray("<ThemeInfo ") + kDarkTopAttributes + ">");
  else
    line("<ThemeInfo>");
  for (const ThemeTag &t : kFontTags)
    line(QByteArray("\t<") + t.tag + ' ' + t.attributes + "/>");
  for (const ThemeTag &t : kSkinTags) {
    const ThemeTag &written = (kind == ThemeKind::Dark && qstrcmp(t.tag, "Sheet") == 0) ? kDarkSheet : t;
    line(QByteArray("\t<") + written.tag + ' ' + written.attributes + "/>");
  }
  line("</ThemeInfo>");
  return text;
}

} // namespace art
