#include "diVisualElements.h"

#include "cuLocalization.h"
#include "diFiling.h"

QN_DEFINE_ELEMENT_CLASS(TVisualElement, TElement)
QN_DEFINE_ELEMENT_CLASS(TElement_Unaccepted, TVisualElement)

// ---------------------------------------------------------------------------------------------------------
// TVisualElement

bool TVisualElement::SetBounds(std::int32_t left, std::int32_t top, std::int32_t descent, std::int32_t height,
                               std::int32_t width) {
  if (left == FLeft && top == FTop && descent == FDescent && height == FHeight && width == FWidth)
    return false;
  FLeft = left;
  FTop = top;
  FDescent = descent;
  FHeight = height;
  FWidth = width;
  return true;
}

void TVisualElement::SetDisabled(bool disabled) {
  if (disabled)
    FVisualState |= vsDisabledOwn;
  else
    FVisualState &= std::uint16_t(~vsDisabledOwn);
}

bool TVisualElement::ShouldSaveChild(TSchemeFiler &filer, TVisualElement *child) {
  if (filer.HasOption(foSkipDisabled) && child->IsDisabledOwn())
    return false;
  if (filer.HasOption(foSkipComments) && (child->Options() & efComment))
    return false;
  return !(filer.HasOption(foSkipUnaccepted) && (child->Options() & efUnaccepted));
}

void TVisualElement::MapLegacyName(TSchemeFiler &filer, TKnot &knot, QString &name) { name = knot.Name(); }

const TElementClass &TVisualElement::GetUnacceptedClass() { return TElement_Unaccepted::Class(); }

TKnot *TVisualElement::SaveChild(TSchemeSaver &filer, TVisualElement *child, TKnot &knot) {
  if (!ShouldSaveChild(filer, child))
    return nullptr;
  if (filer.HasOption(foAskEachElement) && child->ExcludeFromFiling(filer, knot))
    return nullptr;
  TKnot *childKnot = knot.AddChild(child->GetClass().TypeName());
  child->Save(filer, *childKnot);
  return childKnot;
}

TElement *TVisualElement::LoadChild(TSchemeLoader &filer, TKnot &knot, TElement *before,
                                    TAcceptedClasses &accepted) {
  const TElementClass *elementClass = nullptr;
  // Past the nesting cap the knot is kept whole as text, so that no document can exhaust the stack.
  if (filer.FNesting < TSchemeLoader::MaxNesting) {
    if (!accepted.Collected) {
      CollectAcceptedClasses(accepted.Classes);
      accepted.Collected = true;
    }
    QString name;
    MapLegacyName(filer, knot, name);
    for (const TElementClass *c : accepted.Classes)
      if (c->TypeName() == name) {
        elementClass = c;
        break;
      }
  }
  if (!elementClass)
    elementClass = &GetUnacceptedClass();
  knot.SetAccessed(true);  // loading an element from it reads it
  TElement *element = CreateElement(*elementClass, Scheme(), this, before);
  ++filer.FNesting;
  try {
    element->Load(filer, knot);
  } catch (...) {
    --filer.FNesting;
    element->Free();
    throw;
  }
  --filer.FNesting;
  return element;
}

void TVisualElement::Load(TSchemeLoader &filer, TKnot &knot) {
  TElement::Load(filer, knot);
  if (FVisualOptions & voCanDisable)
    SetDisabled(knot.ReadBool(QStringLiteral("Disabled"), false));
  if ((FVisualOptions & voFloating) && !filer.HasOption(foNoPositions))
    SetBounds(knot.ReadInt(QStringLiteral("Left"), 0, 0, 0), knot.ReadInt(QStringLiteral("Top"), 0, 0, 0), FDescent,
              FHeight, FWidth);
}

void TVisualElement::Save(TSchemeSaver &filer, TKnot &knot) {
  TElement::Save(filer, knot);
  if (IsDisabledOwn())
    knot.WriteBool(QStringLiteral("Disabled"), true);
  if ((FVisualOptions & voFloating) && !filer.HasOption(foNoPositions)) {
    knot.WriteInt(QStringLiteral("Left"), FLeft);
    knot.WriteInt(QStringLiteral("Top"), FTop);
  }
}

// ---------------------------------------------------------------------------------------------------------
// TElement_Unaccepted

TElement_Unaccepted::TElement_Unaccepted() { InitOptions(efUnaccepted | efChecked); }

void TElement_Unaccepted::CheckValue() {
  GetMessages().AddElementMessage(
      mkError, FormatString(sidUnsupportedElement, {TElementMessages::CleanArgument(FKnotName)}), QString::number(ID()));
}

void TElement_Unaccepted::Load(TSchemeLoader &filer, TKnot &knot) {
  TVisualElement::Load(filer, knot);
  TKnot *source = &knot;
  if (filer.Mode() == fmSnapshot && knot.Name() == QLatin1String("Unaccepted"))
    source = knot.FirstChild();
  if (source) {
    FLines = source->GetText().split(QStringLiteral("\r\n"));
    if (!FLines.isEmpty() && FLines.back().isEmpty())
      FLines.pop_back();
    FKnotName = source->Name();
    source->SetAccessedDeep(true);
  }
  Validate();
}

void TElement_Unaccepted::Save(TSchemeSaver &filer, TKnot &knot) {
  TVisualElement::Save(filer, knot);
  TKnot *target = filer.Mode() == fmSnapshot ? knot.AddChild(QString()) : &knot;
  if (!FLines.isEmpty())
    target->ParseString(FLines.join(QStringLiteral("\r\n")));
}
