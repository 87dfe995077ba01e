// The sheet canvas: what elements draw with.
//
// A sheet paints the invalid part of its surface into an off-screen ARGB buffer and copies the buffer to
// the window (or the printer) at the end:
//
//   canvas.BeginPaint(rect);                     // rect in sheet coordinates
//   root.PaintElement(canvas, flags);            // elements inside Translate(left, top) ... (-left, -top)
//   canvas.EndPaint(&windowPainter);             // copied at the rect's top-left; nullptr copies nothing
//
// Coordinates. Every drawing operation takes element coordinates: those of the element being painted,
// (0, 0) at its top-left, as set up by the translations since BeginPaint. `Offset` is the sum of those
// translations, `Origin` the top-left of the painted rectangle in sheet coordinates, and a point p of the
// element lies at p + Offset - Origin in the buffer (`ToBuffer`). `ClipRect` is the painted rectangle in
// element coordinates; elements skip children that do not meet it (`IsVisible`). `DeviceContext` is a
// painter on the buffer already translated into element coordinates, for drawing that has no operation
// here.
//
// Colours of shapes are platform colours (cuColors.h): explicit, system (resolved from the palette at the
// moment of drawing) or clNone (nothing drawn).
#pragma once

#include "cuColors.h"
#include "cuDeviceContextManager.h"
#include "diBitmap32.h"
#include "diThemes.h"

#include <QHash>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QPainter;
class TSheetSettings;

class TCustomSheetCanvas {
public:
  // Measures the line heights of the settings' theme fonts.
  explicit TCustomSheetCanvas(TSheetSettings &settings);
  TCustomSheetCanvas(const TCustomSheetCanvas &) = delete;
  TCustomSheetCanvas &operator=(const TCustomSheetCanvas &) = delete;
  virtual ~TCustomSheetCanvas();

  TSheetSettings &Settings() const { return FSettings; }
  // The settings' theme (loaded on first use there).
  TSheetTheme &Theme() const;

  // Painting. BeginPaint makes a buffer of the rectangle's size filled with the window colour, Origin
  // the rectangle's top-left, Offset (0, 0) and ClipRect the rectangle; it raises for an empty rectangle
  // or while a paint is going on. EndPaint copies the buffer to `target` (when given) with its top-left
  // at Origin in the target's coordinates, opaque, and ends the paint.
  void BeginPaint(const QRect &rect);
  void EndPaint(QPainter *target);
  bool Painting() const { return FBuffer != nullptr; }
  // The buffer, between BeginPaint and EndPaint; nullptr otherwise.
  TBitmap32 *Buffer() const { return FBuffer; }
  QPoint Origin() const { return FOrigin; }
  QPoint Offset() const { return FOffset; }
  QRect ClipRect() const { return FClip; }

  // Moves element coordinates by (dx, dy): drawing at (0, 0) afterwards lands where (dx, dy) was.
  void Translate(int dx, int dy);
  QPoint ToBuffer(const QPoint &point) const { return point + FOffset - FOrigin; }
  QRect ToBuffer(const QRect &rect) const { return rect.translated(FOffset - FOrigin); }
  // The rectangle (element coordinates) meets the buffer; false when not painting.
  bool IsVisible(const QRect &rect) const;
  // A painter on the buffer in element coordinates, source-over, without antialiasing. Raises when not
  // painting.
  QPainter &DeviceContext();

  // Theme skins, in element coordinates; a tint of 0 takes the skin's own.
  void DrawSkinImage(TSheetThemeElement skin, const QPoint &at, TColor32 tint = 0);
  void DrawSkin(TSheetThemeElement skin, const QRect &rect, TColor32 tint = 0);
  QSize SkinSize(TSheetThemeElement skin) const;  // of the cut
  int SkinHeight(TSheetThemeElement skin) const { return SkinSize(skin).height(); }
  int SkinZoneWidth(TSheetThemeElement skin) const;   // left + right zone
  int SkinZoneHeight(TSheetThemeElement skin) const;  // top + bottom zone
  QMargins SkinMargins(TSheetThemeElement skin) const;
  QMargins SkinPadding(TSheetThemeElement skin) const;
  QMargins SkinMouseTransparent(TSheetThemeElement skin) const;

  // Cells of the 12-, 16- and 32-pixel scheme image lists, blended with their top-left at (x, y).
  void DrawCharImage(int x, int y, int index);
  void DrawSmallImage(int x, int y, int index);
  void DrawLargeImage(int x, int y, int index);

  // Text in the theme fonts; (x, y) is the top-left of the text cell. The stone text is drawn first in
  // the font's second colour one pixel right and down (when it has one), then in its colour.
  void TextOutFixed(int x, int y, TColor color, const QString &text);
  void DrawStoneText(int x, int y, const QString &text);
  int FixedTextWidth(const QString &text) const { return FFixedFont->TextWidth(text); }
  int ValueTextWidth(const QString &text) const { return FValueFont->TextWidth(text); }
  // Cached per text until the fonts are reloaded.
  int StoneTextWidth(const QString &text);
  // Heights of a line of text in stfFixed, stfStone and stfValue.
  int FixedLineHeight() const { return FFixedLineHeight; }
  int StoneLineHeight() const { return FStoneLineHeight; }
  int ValueLineHeight() const { return FValueLineHeight; }
  // The font service's font of a theme font (face, size and style).
  const TLogicalFont &ThemeFont(TSheetThemeFont font) const;
  // After a change of theme or font size: takes the fonts again, measures the line heights again and
  // empties the width cache.
  void ReloadFonts();

  // An opaque fill of the rectangle; nothing for clNone.
  void FillRect(const QRect &rect, TColor color);
  // Radius 0: the 1-pixel frame in the pen colour and the inside (the rectangle less 1 pixel on every
  // side) in the brush colour, each skipped when clNone. Radius > 0: a rounded rectangle with corner
  // ellipses `radius` pixels across, its outline in the pen colour and its inside in the brush colour,
  // covering exactly the rectangle.
  void DrawRect(const QRect &rect, int radius, TColor brushColor, TColor penColor);
  // Blended with the theme's DisableColor.
  void DrawDisabledOverlay(const QRect &rect);
  // Blended with the theme's SelectColor when active, else with SelectInactiveColor.
  void DrawSelection(const QRect &rect, bool active);
  // Caret kind 1: a dotted frame around the rectangle's edge pixels, every other pixel inverted (drawing
  // it twice restores the pixels). Kind 2: the same frame and a second one 1 pixel inside it, as far as
  // the rectangle is not empty.
  void DrawCaretFrame(const QRect &rect);
  void DrawCaretDoubleFrame(const QRect &rect);

private:
  TBitmap32 &PaintBuffer() const;
  void FocusRect(const QRect &rect);

  TSheetSettings &FSettings;
  std::unique_ptr<TBitmap32> FBufferStorage;  // kept between paints, so the pixels are not reallocated
  TBitmap32 *FBuffer = nullptr;               // FBufferStorage while painting
  QPoint FOrigin, FOffset;
  QRect FClip;
  const TLogicalFont *FStoneFont = nullptr, *FValueFont = nullptr, *FFixedFont = nullptr;
  int FFixedLineHeight = 0, FStoneLineHeight = 0, FValueLineHeight = 0;
  QHash<QString, int> FWidthCache;
};

// The canvas a sheet makes.
class TSheetCanvas : public TCustomSheetCanvas {
public:
  using TCustomSheetCanvas::TCustomSheetCanvas;
};
