// Property trees: typed settings values held in a tree of nodes, loaded from and saved to knot trees.
//
// A group node has child properties; a leaf (TOneValueProperty) holds one value with a default. Every
// property is stored as its own knot, named after the property, under its owner's knot; a leaf's value is
// the parameter "Value" of its knot, written only when it differs from the default. Loading never fails:
// a missing knot keeps the current value, an unreadable or out-of-range value gives the default.
//
// Notifications (code, first argument):
//   1 (ncChanged): a value changed, or a load or assignment of the node finished. Changed() sends it to
//     the leaf and to every ancestor (DispatchUp) with the leaf as argument; each node's Notification
//     then calls its own subscriptions with code 1 and no argument, unless the node is locked (while it
//     loads or assigns its children, which it reports once at the end).
//   2 (ncResetDefaults): broadcast over a tree by ResetToDefaults(); a group whose default must be
//     computed at run time sets it in its Notification for code 2.
#pragma once

#include "cuClasses.h"

#include <QString>
#include <QStringList>

class TKnot;

class TProperty : public TNode {
public:
  static constexpr int ncChanged = 1;
  static constexpr int ncResetDefaults = 2;

  // Creates the property as the last child of `owner` (nullptr for a root or a detached node).
  // Children are stored in the order of their creation.
  TProperty(TProperty *owner, QString name);

  const QString &Name() const { return FName; }

  // Calls the subscriptions unless the node is locked.
  void Notify(int code, TNotifyArg a = 0, TNotifyArg b = 0) override;

  // Finds the child knot of `parentKnot` named Name() and loads from it; without one nothing changes.
  virtual void LoadFrom(TKnot &parentKnot);
  // Saves into the child knot of `parentKnot` named Name(), created when missing.
  virtual void SaveTo(TKnot &parentKnot);
  // Loads the children from `knot` (the property's own knot, or the file's root knot for a root
  // property), then notifies once.
  virtual void LoadFromKnot(TKnot &knot);
  virtual void SaveToKnot(TKnot &knot);
  // Copies the values of `source`, a tree of the same shape: every child from the child at the same
  // position, then notifies once. Raises EException when a leaf meets a leaf of another kind.
  virtual void Assign(const TProperty &source);

  // Tells the node and its ancestors that this property's value changed.
  void Changed() { DispatchUp(ncChanged, TNotifyArg(this)); }
  // Broadcasts the reset-to-defaults notification over the subtree, head first, depth first.
  void ResetToDefaults() { Broadcast(ncResetDefaults, 0, true, true); }

protected:
  bool Notification(int code, TNotifyArg a, TNotifyArg b) override;

  // Locks the node's notifications for its lifetime (also when an exception leaves the scope).
  class TLock {
  public:
    explicit TLock(TProperty &p) : FProperty(p) { ++FProperty.FLockCount; }
    ~TLock() { --FProperty.FLockCount; }
    TLock(const TLock &) = delete;
    TLock &operator=(const TLock &) = delete;

  private:
    TProperty &FProperty;
  };

private:
  QString FName;
  std::int32_t FLockCount = 0;
};

// A leaf with one value stored as the parameter "Value" of its own knot.
class TOneValueProperty : public TProperty {
public:
  using TProperty::TProperty;

  // Nothing when the value is the default.
  void SaveTo(TKnot &parentKnot) override;
  void LoadFromKnot(TKnot &knot) override;
  void SaveToKnot(TKnot &knot) override;

  virtual bool IsDefault() const = 0;

protected:
  // Sets the value from the parameter without notifying (the surrounding load notifies once).
  virtual void ReadValue(TKnot &knot, const QString &paramName) = 0;
  virtual void WriteValue(TKnot &knot, const QString &paramName) const = 0;
  // The source as the same kind as this leaf; raises EException for another kind.
  template <class T> static const T &SameKind(const TProperty &self, const TProperty &source);
};

// Stored as "1" or "0".
class TBooleanProperty : public TOneValueProperty {
public:
  TBooleanProperty(TProperty *owner, QString name, bool defaultValue);

  bool Value() const { return FValue; }
  bool Default() const { return FDefault; }
  void SetValue(bool value);

  bool IsDefault() const override { return FValue == FDefault; }
  void Assign(const TProperty &source) override;

protected:
  void ReadValue(TKnot &knot, const QString &paramName) override;
  void WriteValue(TKnot &knot, const QString &paramName) const override;

private:
  bool FValue, FDefault;
};

// A signed 32-bit value, stored in decimal; when `min` differs from `max` it is kept in that range.
class TIntegerProperty : public TOneValueProperty {
public:
  TIntegerProperty(TProperty *owner, QString name, std::int32_t defaultValue, std::int32_t min, std::int32_t max);

  std::int32_t Value() const { return FValue; }
  std::int32_t Default() const { return FDefault; }
  std::int32_t Min() const { return FMin; }
  std::int32_t Max() const { return FMax; }
  bool HasRange() const { return FMin != FMax; }
  // Brings the value into the range (above Max gives Max, then below Min gives Min).
  void SetValue(std::int32_t value);

  bool IsDefault() const override { return FValue == FDefault; }
  void Assign(const TProperty &source) override;

protected:
  // An unreadable or out-of-range text gives the default, not the nearest bound.
  void ReadValue(TKnot &knot, const QString &paramName) override;
  void WriteValue(TKnot &knot, const QString &paramName) const override;

private:
  std::int32_t FValue, FDefault, FMin, FMax;
};

class TStringProperty : public TOneValueProperty {
public:
  TStringProperty(TProperty *owner, QString name, QString defaultValue);

  const QString &Value() const { return FValue; }
  const QString &Default() const { return FDefault; }
  // Changes the default only (for defaults known after the tree was built); the value stays.
  void SetDefault(QString defaultValue) { FDefault = std::move(defaultValue); }
  void SetValue(const QString &value);

  // Exact, case-sensitive comparison.
  bool IsDefault() const override { return FValue == FDefault; }
  void Assign(const TProperty &source) override;

protected:
  void ReadValue(TKnot &knot, const QString &paramName) override;
  void WriteValue(TKnot &knot, const QString &paramName) const override;

private:
  QString FValue, FDefault;
};

// An index into a fixed list of names; the value is stored as the name. The default is the first empty
// name (every enumeration of the program starts with one), so the default is never written; an empty list
// stands for the list of the empty name alone.
class TEnumProperty : public TOneValueProperty {
public:
  TEnumProperty(TProperty *owner, QString name, QStringList names);

  int Value() const { return FValue; }
  int Default() const { return FDefault; }
  const QStringList &Names() const { return FNames; }
  // The name of the current value.
  const QString &Text() const { return FNames[FValue]; }
  // An index below 0 gives 0, one past the last name the last index.
  void SetValue(int value);

  // The current name is empty.
  bool IsDefault() const override { return Text().isEmpty(); }
  void Assign(const TProperty &source) override;

protected:
  // The first name equal to the stored text ignoring ASCII letter case; an empty or unknown text gives
  // the default.
  void ReadValue(TKnot &knot, const QString &paramName) override;
  void WriteValue(TKnot &knot, const QString &paramName) const override;

private:
  QStringList FNames;
  int FValue, FDefault;
};
