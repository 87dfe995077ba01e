// Visual elements: every element that occupies a rectangle of a sheet. This is the part of the class that
// filing needs (visual options, the own disabled state, position and size, the filing of free children);
// the sheet engine adds the visual tree, painting and input to the same class.
#pragma once

#include "diClasses.h"

#include <QRect>
#include <QStringList>

#include <cstdint>

// Visual options (TVisualElement::VisualOptions), fixed by each kind's constructor.
constexpr std::uint16_t voCanDisable = 0x0001;  // the Disabled command applies and "Disabled" is filed
constexpr std::uint16_t voPressable = 0x0002;
constexpr std::uint16_t voFocusable = 0x0004;
constexpr std::uint16_t voCanPaste = 0x0008;
constexpr std::uint16_t voCanSelectAll = 0x0010;
constexpr std::uint16_t voFloating = 0x0020;  // "Left"/"Top" are filed
constexpr std::uint16_t voMouseTransparent = 0x0040;
constexpr std::uint16_t voReadOnly = 0x0080;
constexpr std::uint16_t voSelectsChildren = 0x0800;
constexpr std::uint16_t voAutoHide = 0x2000;

// Visual states (TVisualElement::VisualState).
constexpr std::uint16_t vsVisible = 0x0001;
constexpr std::uint16_t vsDisabledOwn = 0x0002;

// The accepted classes a container collects once for all the children of one load.
struct TAcceptedClasses {
  bool Collected = false;
  TElementClassList Classes;
};

class TVisualElement : public TElement {
  QN_ELEMENT_CLASS(TVisualElement)
public:
  TVisualElement() = default;

  std::int32_t Left() const { return FLeft; }
  std::int32_t Top() const { return FTop; }
  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  // How far the bottom reaches below the text baseline when the element stands in a line of text.
  std::int32_t Descent() const { return FDescent; }
  QRect BoundsRect() const { return QRect(FLeft, FTop, FWidth, FHeight); }
  QRect ClientRect() const { return QRect(0, 0, FWidth, FHeight); }
  // Stores the five values; answers whether any changed.
  bool SetBounds(std::int32_t left, std::int32_t top, std::int32_t descent, std::int32_t height,
                 std::int32_t width);

  std::uint16_t VisualState() const { return FVisualState; }
  std::uint16_t VisualOptions() const { return FVisualOptions; }
  void SetVisualOptions(std::uint16_t options) { FVisualOptions = options; }
  bool IsDisabledOwn() const { return FVisualState & vsDisabledOwn; }
  // Sets the element's own disabled state directly (no operation).
  void SetDisabled(bool disabled);

  // Filing of a container's free children. SaveChild answers the child's new knot under `knot` (named by
  // its type name), or null when the child is not filed. LoadChild creates the element for `knot` inside
  // this container before `before`: the first accepted class whose type name equals the (mapped) knot
  // name, else GetUnacceptedClass; below the loader's nesting cap always the latter, which keeps the whole
  // knot as text. An element whose load raises is freed and the error passes on.
  TKnot *SaveChild(TSchemeSaver &filer, TVisualElement *child, TKnot &knot);
  TElement *LoadChild(TSchemeLoader &filer, TKnot &knot, TElement *before, TAcceptedClasses &accepted);

  // False for a child left out by the filer's options: foSkipDisabled and disabled by itself,
  // foSkipComments and efComment, foSkipUnaccepted and efUnaccepted.
  virtual bool ShouldSaveChild(TSchemeFiler &filer, TVisualElement *child);
  // The name a child knot is looked up by; the base gives the knot's own name.
  virtual void MapLegacyName(TSchemeFiler &filer, TKnot &knot, QString &name);
  // The class of elements that keep knots this container does not accept.
  virtual const TElementClass &GetUnacceptedClass();

  // The framework's share, then "Disabled" (with voCanDisable) and "Left"/"Top" (with voFloating, unless
  // the filer has foNoPositions).
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;

protected:
  // For constructors: the visual options, stored without the reactions of SetVisualOptions.
  void InitVisualOptions(std::uint16_t options) { FVisualOptions = options; }

private:
  std::int32_t FLeft = 0;
  std::int32_t FTop = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  std::int32_t FDescent = 3;
  std::uint16_t FVisualState = vsVisible;
  std::uint16_t FVisualOptions = 0;
};

// An element whose knot no kind accepted where it stood. It keeps the knot's complete text, writes it back
// unchanged (a snapshot wraps it in an "Unaccepted" knot) and reports itself as an error.
class TElement_Unaccepted : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_Unaccepted)
public:
  TElement_Unaccepted();

  // The stored text, one entry per line, and the name of its knot.
  const QStringList &Lines() const { return FLines; }
  const QString &KnotName() const { return FKnotName; }

  bool IsFilled() override { return true; }
  void CheckValue() override;
  void Load(TSchemeLoader &filer, TKnot &knot) override;
  void Save(TSchemeSaver &filer, TKnot &knot) override;

private:
  QStringList FLines;
  QString FKnotName;
};
