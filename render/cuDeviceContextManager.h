// The process-wide font and text measuring service.
//
// Layout, drawing and printing use one fixed logical resolution of 96 pixels per inch on every screen and
// printer, so a 10-point font is 13 pixels high everywhere and a document wraps the same way wherever it
// is shown.
//
// Measurement adds up exactly: every UTF-16 code unit has one integer advance in a given font, the width of
// a text is the sum of the advances of its code units, and text is drawn with each glyph placed at exactly
// the summed position. So the width of a prefix plus the width of the rest is the width of the whole, and
// the caret and hit tests find the characters where they are drawn. To keep advances context-free, fonts
// are used without kerning and without shaping (ligatures, contextual forms and mark positioning are not
// applied), with full hinting so that advances are whole pixels.
//
// Per code unit:
// - a character below U+0020 (TAB, line feed, ...) is measured and drawn as U+FFFD;
// - a surrogate pair carries the advance of its character on its first unit and 0 on its second, also
//   when a measured range starts or ends between the two units (the range boundary never changes the
//   advances); a lone surrogate is measured and drawn as U+FFFD;
// - a character the font has no glyph for is drawn from the fallback font the font system offers for it,
//   with the fallback's own advance; a character no installed font has is the font's missing-glyph box.
#pragma once

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class QColor;
class QPainter;

// Font style bits.
enum : int { fsBold = 0x01, fsItalic = 0x02, fsUnderline = 0x04, fsStrikeOut = 0x08 };
// Font pitch requests.
enum : int { fpDefault = 0, fpVariable = 1, fpFixed = 2 };

// The logical resolution of layout and printing.
constexpr int kLogicalPixelsPerInch = 96;
// The pixel height of a font of `points`: points x 96 / 72, rounded half away from zero.
int PointsToPixels(int points);
// a x b / c rounded half away from zero (0 when c is 0), without intermediate overflow.
int MulDiv(int a, int b, int c);

// What a font is cached by.
struct TFontKey {
  QString Face;     // empty: the platform's default face
  int Size = 8;     // points
  int Style = 0;    // fsBold | fsItalic | fsUnderline | fsStrikeOut
  int Pitch = fpDefault;
  bool operator==(const TFontKey &) const = default;
};
size_t qHash(const TFontKey &key, size_t seed = 0) noexcept;
struct TFontKeyHash {
  size_t operator()(const TFontKey &key) const noexcept { return qHash(key); }
};

// One font at the logical resolution with its metrics and glyph advances. Made and owned by the
// device context manager; callers keep plain pointers, valid while the application object lives.
class TLogicalFont {
public:
  // The glyph a code point is drawn with: which font it comes from (0 the font itself, higher numbers the
  // fallback fonts in the order they were first needed), its index in that font and its advance.
  struct TGlyph {
    std::uint32_t Index = 0;
    std::int32_t Advance = 0;
    std::uint16_t Source = 0;
    bool Resolved = false;
  };

  explicit TLogicalFont(const TFontKey &key);
  TLogicalFont(const TLogicalFont &) = delete;
  TLogicalFont &operator=(const TLogicalFont &) = delete;

  const TFontKey &Key() const { return FKey; }
  // The Qt font: pixel size, weight, italic, underline and strike-out set, kerning off, no shaping, full
  // hinting.
  const QFont &Font() const { return FFont; }
  int PixelSize() const { return FFont.pixelSize(); }

  // Metrics in pixels, as the text layout uses them: the cell of a line of text reaches Ascent above and
  // Descent below the baseline, Height = Ascent + Descent.
  int Ascent() const { return FAscent; }
  int Descent() const { return FDescent; }
  int Height() const { return FAscent + FDescent; }
  int InternalLeading() const { return FAscent + FDescent - PixelSize(); }
  int ExternalLeading() const { return FExternalLeading; }
  int AveCharWidth() const { return FAveCharWidth; }
  int MaxCharWidth() const { return FMaxCharWidth; }

  // The advance of code unit `index` of `text` (see the rules at the top of this file).
  int Advance(QStringView text, qsizetype index) const;
  // The sum of the advances of code units [index, index + count) of `text`; 0 for count <= 0.
  int TextWidth(QStringView text, qsizetype index, qsizetype count) const;
  int TextWidth(QStringView text) const { return TextWidth(text, 0, text.size()); }

  // Draws code units [index, index + count) of `text` with the pen at (x, baseline), in the painter's
  // coordinates, in `color`; underline and strike-out run over the whole measured width. Returns the
  // width, which equals TextWidth of the same units.
  int DrawText(QPainter &painter, int x, int baseline, QStringView text, qsizetype index, qsizetype count,
               const QColor &color) const;
  int DrawText(QPainter &painter, int x, int baseline, QStringView text, const QColor &color) const {
    return DrawText(painter, x, baseline, text, 0, text.size(), color);
  }

  // The code point code unit `index` of `text` is drawn as: U+FFFD for control characters and lone
  // surrogates, the pair's character for a pair's first unit, and -1 for a pair's second unit (nothing is
  // drawn there).
  static char32_t DrawnCodePoint(QStringView text, qsizetype index);
  // The glyph of a code point, resolved on first use and cached.
  TGlyph GlyphOf(char32_t codePoint) const;
  // The font of a glyph's `Source`.
  const QRawFont &SourceFont(int source) const { return FSources[std::size_t(source)]; }

private:
  TGlyph Resolve(char32_t codePoint) const;
  int SourceIndex(const QRawFont &font) const;

  TFontKey FKey;
  QFont FFont;
  int FAscent = 0, FDescent = 0, FExternalLeading = 0, FAveCharWidth = 0, FMaxCharWidth = 0;
  int FUnderlinePos = 0, FStrikeOutPos = 0, FLineWidth = 1;
  // FSources[0] is the font itself; fallback fonts follow.
  mutable std::vector<QRawFont> FSources;
  // Glyphs of the basic multilingual plane in pages of 256, made on demand; the other planes in a hash.
  using TPage = std::array<TGlyph, 256>;
  mutable std::array<std::unique_ptr<TPage>, 256> FPages;
  mutable QHash<char32_t, TGlyph> FAstral;
};

// The process-wide service: one font per face, size, style and pitch, made on first request and kept
// until the application object is destroyed (the cache is emptied then, while the font system still
// exists). Used on the user-interface thread only.
class TDeviceContextManager {
public:
  static TDeviceContextManager &Instance();

  int PixelsPerInch() const { return kLogicalPixelsPerInch; }
  const TLogicalFont &GetFont(const TFontKey &key);
  const TLogicalFont &GetFont(const QString &face, int sizePoints, int style = 0, int pitch = fpDefault) {
    return GetFont(TFontKey{face, sizePoints, style, pitch});
  }
  int FontCount() const { return int(FFonts.size()); }

private:
  TDeviceContextManager() = default;
  static void Finalize();

  std::unordered_map<TFontKey, std::unique_ptr<TLogicalFont>, TFontKeyHash> FFonts;
};

// The service's font (shorthand for TDeviceContextManager::Instance().GetFont).
const TLogicalFont &LogicalFont(const QString &face, int sizePoints, int style = 0, int pitch = fpDefault);
