#include "cuProps.h"

#include "cuKnot.h"

#include <algorithm>

namespace {

const QString ValueParam = QStringLiteral("Value");

bool EqualIgnoringAsciiCase(const QString &a, const QString &b) {
  if (a.size() != b.size())
    return false;
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c; };
  for (qsizetype i = 0; i < a.size(); ++i)
    if (lower(a[i].unicode()) != lower(b[i].unicode()))
      return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TProperty

TProperty::TProperty(TProperty *owner, QString name) : FName(std::move(name)) {
  if (owner)
    SetOwner(owner);
}

void TProperty::Notify(int code, TNotifyArg a, TNotifyArg b) {
  if (FLockCount > 0)
    return;
  TNode::Notify(code, a, b);
}

bool TProperty::Notification(int code, TNotifyArg a, TNotifyArg b) {
  if (code == ncChanged)
    Notify(ncChanged);
  return false;
}

void TProperty::LoadFrom(TKnot &parentKnot) {
  if (TKnot *knot = parentKnot.FindChild(FName))
    LoadFromKnot(*knot);
}

void TProperty::SaveTo(TKnot &parentKnot) { SaveToKnot(*parentKnot.GetKnot(FName)); }

void TProperty::LoadFromKnot(TKnot &knot) {
  {
    TLock lock(*this);
    for (TNode *child = FirstChild(); child; child = child->Next())
      static_cast<TProperty *>(child)->LoadFrom(knot);
  }
  Notify(ncChanged);
}

void TProperty::SaveToKnot(TKnot &knot) {
  for (TNode *child = FirstChild(); child; child = child->Next())
    static_cast<TProperty *>(child)->SaveTo(knot);
}

void TProperty::Assign(const TProperty &source) {
  {
    TLock lock(*this);
    const TNode *from = source.FirstChild();
    for (TNode *child = FirstChild(); child && from; child = child->Next(), from = from->Next())
      static_cast<TProperty *>(child)->Assign(*static_cast<const TProperty *>(from));
  }
  Notify(ncChanged);
}

// ---------------------------------------------------------------------------------------------------------
// TOneValueProperty

void TOneValueProperty::SaveTo(TKnot &parentKnot) {
  if (!IsDefault())
    TProperty::SaveTo(parentKnot);
}

void TOneValueProperty::LoadFromKnot(TKnot &knot) {
  ReadValue(knot, ValueParam);
  TProperty::LoadFromKnot(knot);
}

void TOneValueProperty::SaveToKnot(TKnot &knot) {
  WriteValue(knot, ValueParam);
  TProperty::SaveToKnot(knot);
}

template <class T> const T &TOneValueProperty::SameKind(const TProperty &self, const TProperty &source) {
  if (const T *same = dynamic_cast<const T *>(&source))
    return *same;
  throw EException(QStringLiteral("The property \"%1\" cannot take the value of \"%2\", which is of another kind")
                       .arg(self.Name(), source.Name()));
}

// ---------------------------------------------------------------------------------------------------------
// Leaves

TBooleanProperty::TBooleanProperty(TProperty *owner, QString name, bool defaultValue)
    : TOneValueProperty(owner, std::move(name)), FValue(defaultValue), FDefault(defaultValue) {}

void TBooleanProperty::SetValue(bool value) {
  if (value == FValue)
    return;
  FValue = value;
  Changed();
}

void TBooleanProperty::Assign(const TProperty &source) { SetValue(SameKind<TBooleanProperty>(*this, source).Value()); }

void TBooleanProperty::ReadValue(TKnot &knot, const QString &paramName) {
  FValue = knot.ReadBool(paramName, FDefault);
}

void TBooleanProperty::WriteValue(TKnot &knot, const QString &paramName) const { knot.WriteBool(paramName, FValue); }

TIntegerProperty::TIntegerProperty(TProperty *owner, QString name, std::int32_t defaultValue, std::int32_t min,
                                   std::int32_t max)
    : TOneValueProperty(owner, std::move(name)), FValue(defaultValue), FDefault(defaultValue), FMin(min), FMax(max) {}

void TIntegerProperty::SetValue(std::int32_t value) {
  if (HasRange()) {
    if (value > FMax)
      value = FMax;
    if (value < FMin)
      value = FMin;
  }
  if (value == FValue)
    return;
  FValue = value;
  Changed();
}

void TIntegerProperty::Assign(const TProperty &source) { SetValue(SameKind<TIntegerProperty>(*this, source).Value()); }

void TIntegerProperty::ReadValue(TKnot &knot, const QString &paramName) {
  FValue = knot.ReadInt(paramName, FDefault, FMin, FMax);
}

void TIntegerProperty::WriteValue(TKnot &knot, const QString &paramName) const { knot.WriteInt(paramName, FValue); }

TStringProperty::TStringProperty(TProperty *owner, QString name, QString defaultValue)
    : TOneValueProperty(owner, std::move(name)), FValue(defaultValue), FDefault(std::move(defaultValue)) {}

void TStringProperty::SetValue(const QString &value) {
  if (value == FValue)
    return;
  FValue = value;
  Changed();
}

void TStringProperty::Assign(const TProperty &source) { SetValue(SameKind<TStringProperty>(*this, source).Value()); }

void TStringProperty::ReadValue(TKnot &knot, const QString &paramName) {
  FValue = knot.ReadStr(paramName, FDefault);
}

void TStringProperty::WriteValue(TKnot &knot, const QString &paramName) const { knot.WriteStr(paramName, FValue); }

TEnumProperty::TEnumProperty(TProperty *owner, QString name, QStringList names)
    : TOneValueProperty(owner, std::move(name)), FNames(std::move(names)) {
  if (FNames.isEmpty())
    FNames.append(QString());
  FDefault = std::max(0, int(FNames.indexOf(QString())));
  FValue = FDefault;
}

void TEnumProperty::SetValue(int value) {
  value = std::clamp(value, 0, int(FNames.size()) - 1);
  if (value == FValue)
    return;
  FValue = value;
  Changed();
}

void TEnumProperty::Assign(const TProperty &source) { SetValue(SameKind<TEnumProperty>(*this, source).Value()); }

void TEnumProperty::ReadValue(TKnot &knot, const QString &paramName) {
  const QString text = knot.ReadStr(paramName, QString());
  FValue = FDefault;
  if (text.isEmpty())
    return;
  for (int i = 0; i < FNames.size(); ++i)
    if (EqualIgnoringAsciiCase(FNames[i], text)) {
      FValue = i;
      return;
    }
}

void TEnumProperty::WriteValue(TKnot &knot, const QString &paramName) const { knot.WriteStr(paramName, Text()); }
