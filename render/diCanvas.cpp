#include "diCanvas.h"

#include "cuClasses.h"
#include "diSchemeImages.h"
#include "diSheetSettings.h"

#include <QPainter>

TCustomSheetCanvas::TCustomSheetCanvas(TSheetSettings &settings)
    : FSettings(settings), FBufferStorage(std::make_unique<TBitmap32>()) {
  ReloadFonts();
}

TCustomSheetCanvas::~TCustomSheetCanvas() = default;

TSheetTheme &TCustomSheetCanvas::Theme() const { return FSettings.GetTheme(); }

TBitmap32 &TCustomSheetCanvas::PaintBuffer() const {
  if (!FBuffer)
    throw EException(QStringLiteral("The sheet canvas draws only between BeginPaint and EndPaint"));
  return *FBuffer;
}

// ---------------------------------------------------------------------------------------------------------
// Painting and coordinates

void TCustomSheetCanvas::BeginPaint(const QRect &rect) {
  if (FBuffer)
    throw EException(QStringLiteral("The sheet canvas is already painting"));
  if (rect.isEmpty())
    throw EException(QStringLiteral("The sheet canvas cannot paint an empty rectangle"));
  FBufferStorage->SetSize(rect.width(), rect.height());
  FBuffer = FBufferStorage.get();
  const TColor32 window = Color32FromPlatform(clWindow);
  FBuffer->SetDrawMode(dmOpaque);
  FBuffer->SetOuterColor(window);
  FBuffer->Clear(window);
  FOrigin = rect.topLeft();
  FOffset = QPoint(0, 0);
  FClip = rect;
}

void TCustomSheetCanvas::EndPaint(QPainter *target) {
  TBitmap32 &buffer = PaintBuffer();
  FBuffer = nullptr;
  FOffset = QPoint(0, 0);
  if (target)
    buffer.DrawToDevice(*target, FOrigin.x(), FOrigin.y());
}

void TCustomSheetCanvas::Translate(int dx, int dy) {
  FOffset += QPoint(dx, dy);
  FClip.translate(-dx, -dy);
}

bool TCustomSheetCanvas::IsVisible(const QRect &rect) const {
  return FBuffer && ToBuffer(rect).intersects(FBuffer->BoundsRect());
}

QPainter &TCustomSheetCanvas::DeviceContext() {
  QPainter &painter = PaintBuffer().Painter();
  const QPoint shift = FOffset - FOrigin;
  painter.setTransform(QTransform::fromTranslate(shift.x(), shift.y()));
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  return painter;
}

// ---------------------------------------------------------------------------------------------------------
// Skins and images

void TCustomSheetCanvas::DrawSkinImage(TSheetThemeElement skin, const QPoint &at, TColor32 tint) {
  Theme().DrawImage(skin, PaintBuffer(), ToBuffer(at), tint);
}

void TCustomSheetCanvas::DrawSkin(TSheetThemeElement skin, const QRect &rect, TColor32 tint) {
  if (IsVisible(rect))
    Theme().DrawNineSlice(skin, PaintBuffer(), ToBuffer(rect), tint);
}

QSize TCustomSheetCanvas::SkinSize(TSheetThemeElement skin) const { return Theme().Elements(skin).Cut.size(); }

int TCustomSheetCanvas::SkinZoneWidth(TSheetThemeElement skin) const {
  const QMargins &zone = Theme().Elements(skin).Zone;
  return zone.left() + zone.right();
}

int TCustomSheetCanvas::SkinZoneHeight(TSheetThemeElement skin) const {
  const QMargins &zone = Theme().Elements(skin).Zone;
  return zone.top() + zone.bottom();
}

QMargins TCustomSheetCanvas::SkinMargins(TSheetThemeElement skin) const { return Theme().Elements(skin).Margins; }
QMargins TCustomSheetCanvas::SkinPadding(TSheetThemeElement skin) const { return Theme().Elements(skin).Padding; }
QMargins TCustomSheetCanvas::SkinMouseTransparent(TSheetThemeElement skin) const {
  return Theme().Elements(skin).MouseTransparent;
}

void TCustomSheetCanvas::DrawCharImage(int x, int y, int index) {
  const QPoint at = ToBuffer(QPoint(x, y));
  SchemeCharImages().Draw(PaintBuffer(), at.x(), at.y(), index);
}

void TCustomSheetCanvas::DrawSmallImage(int x, int y, int index) {
  const QPoint at = ToBuffer(QPoint(x, y));
  SchemeSmallImages().Draw(PaintBuffer(), at.x(), at.y(), index);
}

void TCustomSheetCanvas::DrawLargeImage(int x, int y, int index) {
  const QPoint at = ToBuffer(QPoint(x, y));
  SchemeLargeImages().Draw(PaintBuffer(), at.x(), at.y(), index);
}

// ---------------------------------------------------------------------------------------------------------
// Text

const TLogicalFont &TCustomSheetCanvas::ThemeFont(TSheetThemeFont font) const {
  const TSheetThemeFontData &data = Theme().Fonts(font);
  return LogicalFont(data.Name, data.Size, data.Style);
}

void TCustomSheetCanvas::ReloadFonts() {
  FStoneFont = &ThemeFont(stfStone);
  FValueFont = &ThemeFont(stfValue);
  FFixedFont = &ThemeFont(stfFixed);
  FFixedLineHeight = FFixedFont->Height();
  FStoneLineHeight = FStoneFont->Height();
  FValueLineHeight = FValueFont->Height();
  FWidthCache.clear();
}

void TCustomSheetCanvas::TextOutFixed(int x, int y, TColor color, const QString &text) {
  if (color != clNone)
    FFixedFont->DrawText(DeviceContext(), x, y + FFixedFont->Ascent(), text, QColorFromPlatform(color));
}

void TCustomSheetCanvas::DrawStoneText(int x, int y, const QString &text) {
  const TSheetThemeFontData &data = Theme().Fonts(stfStone);
  QPainter &painter = DeviceContext();
  const int baseline = y + FStoneFont->Ascent();
  if (data.SecondColor != clNone)
    FStoneFont->DrawText(painter, x + 1, baseline + 1, text, QColorFromPlatform(data.SecondColor));
  FStoneFont->DrawText(painter, x, baseline, text, QColorFromPlatform(data.Color));
}

// The texts of one sheet's element labels are few; a sheet that measures many different texts starts the
// cache again instead of growing it without bound.
constexpr int kWidthCacheLimit = 4096;

int TCustomSheetCanvas::StoneTextWidth(const QString &text) {
  auto it = FWidthCache.constFind(text);
  if (it != FWidthCache.constEnd())
    return *it;
  if (FWidthCache.size() >= kWidthCacheLimit)
    FWidthCache.clear();
  return *FWidthCache.insert(text, FStoneFont->TextWidth(text));
}

// ---------------------------------------------------------------------------------------------------------
// Shapes

void TCustomSheetCanvas::FillRect(const QRect &rect, TColor color) {
  if (color == clNone)
    return;
  const QRect r = ToBuffer(rect);
  PaintBuffer().FillRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), Color32FromPlatform(color));
}

void TCustomSheetCanvas::DrawRect(const QRect &rect, int radius, TColor brushColor, TColor penColor) {
  if (rect.isEmpty())
    return;
  if (radius <= 0) {
    const QRect r = ToBuffer(rect);
    const int x1 = r.left(), y1 = r.top(), x2 = x1 + r.width(), y2 = y1 + r.height();
    if (penColor != clNone)
      PaintBuffer().FrameRect(x1, y1, x2, y2, Color32FromPlatform(penColor));
    if (brushColor != clNone)
      PaintBuffer().FillRect(x1 + 1, y1 + 1, x2 - 1, y2 - 1, Color32FromPlatform(brushColor));
    return;
  }
  QPainter &painter = DeviceContext();
  painter.save();
  painter.setPen(penColor == clNone ? QPen(Qt::NoPen) : QPen(QColorFromPlatform(penColor), 0));
  painter.setBrush(brushColor == clNone ? QBrush(Qt::NoBrush) : QBrush(QColorFromPlatform(brushColor)));
  // An outline covers its path's right and bottom edge pixels too, a plain fill does not: the outlined
  // path is one pixel smaller so that both cover exactly the rectangle.
  const QRectF path = penColor == clNone ? QRectF(rect) : QRectF(rect).adjusted(0, 0, -1, -1);
  painter.drawRoundedRect(path, radius / 2.0, radius / 2.0);
  painter.restore();
}

void TCustomSheetCanvas::DrawDisabledOverlay(const QRect &rect) {
  const QRect r = ToBuffer(rect);
  PaintBuffer().FillRectBlended(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), Theme().DisableColor);
}

void TCustomSheetCanvas::DrawSelection(const QRect &rect, bool active) {
  const QRect r = ToBuffer(rect);
  const TSheetTheme &theme = Theme();
  PaintBuffer().FillRectBlended(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(),
                                active ? theme.SelectColor : theme.SelectInactiveColor);
}

// The dots sit where the sheet coordinates x + y are even, so a frame drawn in two partial repaints
// matches, and inverting keeps it visible on any background.
void TCustomSheetCanvas::FocusRect(const QRect &rect) {
  TBitmap32 &buffer = PaintBuffer();
  const QRect r = ToBuffer(rect);
  const QRect visible = r & buffer.BoundsRect();
  auto invert = [&](int x, int y) {
    if (visible.contains(x, y) && ((x + y + FOrigin.x() + FOrigin.y()) & 1) == 0)
      *buffer.PixelPtr(x, y) ^= 0x00FFFFFFu;
  };
  for (int x = r.left(); x <= r.right(); ++x) {
    invert(x, r.top());
    if (r.bottom() != r.top())
      invert(x, r.bottom());
  }
  for (int y = r.top() + 1; y < r.bottom(); ++y) {
    invert(r.left(), y);
    if (r.right() != r.left())
      invert(r.right(), y);
  }
}

void TCustomSheetCanvas::DrawCaretFrame(const QRect &rect) {
  if (!rect.isEmpty())
    FocusRect(rect);
}

void TCustomSheetCanvas::DrawCaretDoubleFrame(const QRect &rect) {
  QRect r = rect;
  for (int i = 0; i < 2 && !r.isEmpty(); ++i, r.adjust(1, 1, -1, -1))
    FocusRect(r);
}
