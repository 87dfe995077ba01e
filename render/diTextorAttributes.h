// Text and paragraph attributes: how a run of text or a paragraph looks.
//
// Attribute objects are shared values. For every distinct combination of values at most one registered
// instance exists: a temporary instance is filled in and `Shared` gives the registered instance with the
// same class and values, creating it on first use. Runs and paragraphs hold one reference each (through
// `TAttributesRef`) and compare attributes by identity. Registered instances never change and free
// themselves when their last reference goes. Temporaries are owned by whoever made them.
//
// The abstract level (`TAttributes`, `TTextAttributes`, `TParagraphAttributes`) is what the text model
// calls; the rich level measures and draws with the fonts of the font service, which caches them by face,
// size, style and pitch (so a thousand hyperlinks with their own instances share one font).
//
// User-interface thread only: the registry and the reference counts are not locked.
#pragma once

#include "cuColors.h"
#include "cuDeviceContextManager.h"

#include <QRect>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>

class TCustomSheetCanvas;

// Flags of text drawing.
enum : int {
  tdfSelected = 0x01,           // the run is selected: blended with a selection colour after drawing
  tdfSecondSelectColor = 0x02,  // with tdfSelected: the theme's second (inactive) selection colour
  tdfNonPrinting = 0x04,        // show non-printing characters (drawn by the text layout, not here)
};

class TAttributes {
public:
  TAttributes() = default;
  TAttributes(const TAttributes &) = delete;
  TAttributes &operator=(const TAttributes &) = delete;
  virtual ~TAttributes();

  // A fresh, unregistered instance of the same class with the values a new instance has.
  virtual std::unique_ptr<TAttributes> Create() const = 0;
  // Copies every value field of `source` that this class has (nothing of the registry or of caches that
  // the values do not determine). Raises on a registered instance.
  virtual void Assign(const TAttributes &source);
  // True when both have exactly the same class and every value field is equal (strings exactly).
  virtual bool Equals(const TAttributes &other) const;

  // The registered instance with this instance's class and values: this one when it is registered, else
  // the one a walk of the registry from its newest entry would find first, else a new one made with
  // Create and Assign. The reference count is not changed; the caller adds the reference it keeps.
  TAttributes *Shared();

  void AddRef() { ++FRefCount; }
  // Drops a reference; a registered instance whose last reference this was leaves the registry and is
  // freed. A temporary is never freed here.
  void Release();
  bool Registered() const { return FRegistered; }
  std::int32_t RefCount() const { return FRefCount; }

  // The number of registered instances.
  static int RegisteredCount();

protected:
  // A hash of the class and the value fields: instances that are Equal have equal hashes. A class with
  // value fields of its own mixes them into its parent's answer.
  virtual size_t ValueHash() const;
  // Raises when the instance is registered (registered instances never change).
  void CheckChangeable() const;

private:
  friend struct TAttributesRegistry;

  bool FRegistered = false;
  std::int32_t FRefCount = 0;
  size_t FHash = 0;                 // ValueHash, kept while registered
  std::uint64_t FSequence = 0;      // registration order: the registry is walked newest first
  TAttributes *FRegistryNext = nullptr, *FRegistryPrevious = nullptr;
};

// `Shared` typed as the class of the temporary.
template <class T> T *SharedOf(T &attributes) { return static_cast<T *>(attributes.Shared()); }

// A slot holding one reference to an attribute instance (or none).
template <class T> class TAttributesRef {
public:
  TAttributesRef() = default;
  explicit TAttributesRef(T *attributes) { Assign(attributes); }
  TAttributesRef(const TAttributesRef &other) { Assign(other.FValue); }
  TAttributesRef &operator=(const TAttributesRef &other) {
    Assign(other.FValue);
    return *this;
  }
  ~TAttributesRef() { Assign(nullptr); }

  // Stores `attributes` and references it, releasing the one held before. Returns false, and changes
  // nothing, when it is the instance already held.
  bool Assign(T *attributes) {
    if (attributes == FValue)
      return false;
    if (attributes)
      attributes->AddRef();
    T *old = FValue;
    FValue = attributes;
    if (old)
      old->Release();
    return true;
  }
  T *Get() const { return FValue; }
  T *operator->() const { return FValue; }
  T &operator*() const { return *FValue; }
  explicit operator bool() const { return FValue != nullptr; }

private:
  T *FValue = nullptr;
};

// ---------------------------------------------------------------------------------------------------------

enum : int { lkPlain = 0, lkHyperlink = 1 };

class TTextAttributes : public TAttributes {
public:
  void Assign(const TAttributes &source) override;
  bool Equals(const TAttributes &other) const override;

  // An application string carried by a run, written with it into the content format.
  const QString &Data() const { return FData; }
  void SetData(const QString &data);
  int LinkKind() const { return FLinkKind; }
  void SetLinkKind(int kind);
  // The address a hyperlink opens.
  const QString &LinkTarget() const { return FLinkTarget; }
  void SetLinkTarget(const QString &target);

  virtual int Ascent() const = 0;
  virtual int Descent() const = 0;
  int Height() const { return Ascent() + Descent(); }
  // Fills `rect` (element coordinates of the canvas) with the background, if there is one.
  virtual void FillBackground(TCustomSheetCanvas &canvas, int paintState, int flags, const QRect &rect) const = 0;
  // The background of a blank `width` pixels wide from x over the height of the row, blended with the
  // selection colour when selected (tab areas).
  virtual void DrawBlank(TCustomSheetCanvas &canvas, int paintState, int flags, int width, const QRect &rowRect,
                         int x) const = 0;
  // Draws code units [index, index + count) of `text` with the pen at (x, baseline): background over
  // the row's height, the text, then the selection blend when flags has tdfSelected. Returns the width
  // drawn, which equals TextWidth of the same units.
  virtual int DrawText(TCustomSheetCanvas &canvas, int paintState, int flags, QStringView text, qsizetype index,
                       qsizetype count, int x, int baseline, const QRect &rowRect) const = 0;
  virtual int TabWidth() const = 0;
  // The width of code units [index, index + count) of `text`; 0 for count <= 0. The units around the
  // range are read only to tell a split surrogate pair (see the font service), so widths of adjacent
  // ranges add up to the width of their union.
  virtual int TextWidth(QStringView text, qsizetype index, qsizetype count) const = 0;
  int TextWidth(QStringView text) const { return TextWidth(text, 0, text.size()); }

protected:
  size_t ValueHash() const override;

private:
  QString FData;
  std::uint8_t FLinkKind = lkPlain;
  QString FLinkTarget;
};

enum : int { paLeft = 0, paRight = 1, paCenter = 2 };

class TParagraphAttributes : public TAttributes {
public:
  void Assign(const TAttributes &source) override;
  bool Equals(const TAttributes &other) const override;

  int Alignment() const { return FAlignment; }
  void SetAlignment(int alignment);

  // Draws what the paragraph shows besides its text (background, bullet). `firstRowHeight` and
  // `firstRowLeft` are those of its first row, `text` the paragraph's text attributes, `paragraphRect`
  // (0, paragraph top, layout width, paragraph bottom). Nothing here.
  virtual void DrawDecoration(TCustomSheetCanvas &canvas, int paintState, int firstRowHeight, int firstRowLeft,
                              const TTextAttributes &text, const QRect &paragraphRect) const;
  virtual int FirstIndent() const { return 0; }
  virtual int LeftIndent(const TTextAttributes &text) const { return 0; }
  virtual int RightIndent() const { return 0; }

protected:
  size_t ValueHash() const override;

private:
  std::uint8_t FAlignment = paLeft;
};

// ---------------------------------------------------------------------------------------------------------

// The character set a new font asks for: the system's default.
constexpr int kDefaultCharset = 1;

class TRichTextAttributes : public TTextAttributes {
public:
  std::unique_ptr<TAttributes> Create() const override { return std::make_unique<TRichTextAttributes>(); }
  void Assign(const TAttributes &source) override;
  bool Equals(const TAttributes &other) const override;

  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor color);
  const QString &FontName() const { return FFontName; }
  void SetFontName(const QString &name);
  // Kept and compared; fonts are Unicode here, so it does not change the font.
  int Charset() const { return FCharset; }
  void SetCharset(int charset);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  int Pitch() const { return FPitch; }  // fpDefault, fpVariable, fpFixed
  void SetPitch(int pitch);
  int Size() const { return FSize; }  // points
  void SetSize(int size);
  int Style() const { return FStyle; }  // fsBold | fsItalic | fsUnderline | fsStrikeOut
  void SetStyle(int style);

  // The font service's font of the face, size, style and pitch, looked up on first use.
  const TLogicalFont &Font() const;

  int Ascent() const override { return Font().Ascent(); }
  int Descent() const override { return Font().Descent(); }
  void FillBackground(TCustomSheetCanvas &canvas, int paintState, int flags, const QRect &rect) const override;
  void DrawBlank(TCustomSheetCanvas &canvas, int paintState, int flags, int width, const QRect &rowRect,
                 int x) const override;
  int DrawText(TCustomSheetCanvas &canvas, int paintState, int flags, QStringView text, qsizetype index,
               qsizetype count, int x, int baseline, const QRect &rowRect) const override;
  // Eight average character widths.
  int TabWidth() const override { return Font().AveCharWidth() * 8; }
  int TextWidth(QStringView text, qsizetype index, qsizetype count) const override;
  using TTextAttributes::TextWidth;

protected:
  size_t ValueHash() const override;

private:
  TColor FBackgroundColor = clNone;
  QString FFontName = QStringLiteral("Tahoma");
  int FCharset = kDefaultCharset;
  TColor FColor = clWindowText;
  std::uint8_t FPitch = fpDefault;
  std::int32_t FSize = 8;
  int FStyle = 0;
  mutable const TLogicalFont *FFont = nullptr;  // dropped when face, size, style or pitch change
};

class TRichParagraphAttributes : public TParagraphAttributes {
public:
  std::unique_ptr<TAttributes> Create() const override { return std::make_unique<TRichParagraphAttributes>(); }
  void Assign(const TAttributes &source) override;
  bool Equals(const TAttributes &other) const override;

  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor color);
  int FirstIndentValue() const { return FFirstIndent; }
  void SetFirstIndent(int pixels);
  int LeftIndentValue() const { return FLeftIndent; }
  void SetLeftIndent(int pixels);
  int RightIndentValue() const { return FRightIndent; }
  void SetRightIndent(int pixels);
  bool Bullet() const { return FBullet; }
  void SetBullet(bool bullet);
  // Three further integers that are copied and compared but that neither layout nor drawing reads.
  int Extra(int i) const { return FExtra[i]; }
  void SetExtra(int i, int value);

  // The background over the paragraph narrowed by the indents; the bullet U+2022 left of the first
  // row, half a tab width before its left offset, on the first row's baseline.
  void DrawDecoration(TCustomSheetCanvas &canvas, int paintState, int firstRowHeight, int firstRowLeft,
                      const TTextAttributes &text, const QRect &paragraphRect) const override;
  int FirstIndent() const override { return FFirstIndent; }
  // The left indent, plus a tab width of `text` for the bullet.
  int LeftIndent(const TTextAttributes &text) const override;
  int RightIndent() const override { return FRightIndent; }

protected:
  size_t ValueHash() const override;

private:
  TColor FBackgroundColor = clNone;
  std::int32_t FFirstIndent = 0;
  std::int32_t FLeftIndent = 0;
  std::int32_t FExtra[3] = {0, 0, 0};
  bool FBullet = false;
  std::int32_t FRightIndent = 0;
};

// The process-wide defaults, registered at first use and referenced until the process ends: a fresh
// TRichParagraphAttributes, and a fresh TRichTextAttributes ("Tahoma", 8 points, window-text colour, no
// background, no style).
TRichParagraphAttributes &DefaultParagraphAttributes();
TRichTextAttributes &DefaultTextAttributes();

// The shared attributes of a font: face, size, colour and style; not referenced.
TRichTextAttributes *FontAttributes(const QString &face, int size, TColor color, int style);
// The shared attributes of a hyperlink to `linkText` in text whose attributes are `base`: blue,
// underlined, link kind 1, link target the text; not referenced.
TRichTextAttributes *HyperlinkAttributes(const TTextAttributes &base, const QString &linkText);
