// The element framework's undoable operations: an operation bound to a scheme, the grouping operation a
// scheme opens to merge several operations into one undo step, and the base of every change to one element,
// which finds its element again by identity on every run (so that it survives the element being freed and
// re-created by other undo steps). Also the framework's own operation, the change of an element's disabled
// state.
#pragma once

#include "cuKnot.h"
#include "cuUndoRedo.h"

#include <QString>

#include <utility>
#include <vector>

class TElement;
class TScheme;

class TSchemeOperation : public TOperation {
public:
  // With `refreshMessages`, the scheme's message sink is held in update mode while the operation runs.
  TSchemeOperation(TScheme *scheme, bool refreshMessages) : FScheme(scheme), FRefreshMessages(refreshMessages) {}

  TScheme *Scheme() const { return FScheme; }
  bool RefreshMessages() const { return FRefreshMessages; }

  // Runs `op` through its scheme's undo/redo engine, which records it; with no engine it runs once and is
  // freed. A failure passes on.
  static void Execute(TNodePtr<TSchemeOperation> op);

protected:
  void BeforeRun() override;
  void AfterRun() override;

private:
  TScheme *FScheme;  // not owned
  bool FRefreshMessages;
};

class TSchemeGroupingOperation : public TGroupingOperation {
public:
  explicit TSchemeGroupingOperation(QString caption = {}) : TGroupingOperation(std::move(caption)) {}

  TScheme *Scheme() const { return FScheme; }
  bool RefreshMessages() const { return FRefreshMessages; }
  // Set by the scheme that opens the group.
  void SetScheme(TScheme *scheme, bool refreshMessages) {
    FScheme = scheme;
    FRefreshMessages = refreshMessages;
  }

protected:
  void BeforeRun() override;
  void AfterRun() override;

private:
  TScheme *FScheme = nullptr;
  bool FRefreshMessages = false;
};

// Per-element data carried with an element operation: entries of an element identity (decimal text) with
// a knot each (owned).
class TElementOperationDependents {
public:
  int Count() const { return int(FItems.size()); }
  std::int32_t ElementIdentifiers(int index) const { return FItems[size_t(index)].first.toInt(); }
  TKnot &Datas(int index) const { return *FItems[size_t(index)].second; }
  void Add(std::int32_t elementId, TNodePtr<TKnot> data);
  // Moves every entry to the end of `other`, in order.
  void MoveInto(TElementOperationDependents &other);

private:
  std::vector<std::pair<QString, TNodePtr<TKnot>>> FItems;
};

class TElementOperation : public TSchemeOperation {
public:
  // Stores the element's identity and whether it holds the focus of its sheet now; the scheme is the
  // element's.
  TElementOperation(TElement *element, bool refreshMessages);

  std::int32_t ElementId() const { return FElementId; }
  bool WasFocused() const { return FWasFocused; }
  // Created on first use.
  TElementOperationDependents &RedoDependents();
  TElementOperationDependents &UndoDependents();
  // Appends this operation's redo and undo entries to `other`'s and empties its own (merging edits).
  void MergeDependentsInto(TElementOperation &other);

protected:
  // Find the element by identity (nothing happens when it is gone), open an update of its sheet for the
  // step, run DoOnElement (UndoOnElement), and on redo (undo) apply the dependents' data to their elements.
  void DoStep() override;
  void UndoStep() override;
  // The base focuses the element when it was focused at creation.
  virtual void DoOnElement(TElement *element);
  virtual void UndoOnElement(TElement *element);

private:
  void RunOnElement(bool undo);
  void RefocusElement(TElement *element);

  std::int32_t FElementId;
  bool FWasFocused;
  std::unique_ptr<TElementOperationDependents> FRedoDependents;
  std::unique_ptr<TElementOperationDependents> FUndoDependents;
};

// Sets a visual element's own disabled state; undo restores the state it had.
class TVisualElementDisableOperation : public TElementOperation {
public:
  using TElementOperation::TElementOperation;

  bool NewDisabled = false;
  bool OldDisabled = false;

protected:
  void DoOnElement(TElement *element) override;
  void UndoOnElement(TElement *element) override;
};

// Brackets BeginGroup and EndGroup of a scheme (nothing for a null scheme); closed also on failure.
class TSchemeGroup {
public:
  TSchemeGroup(TScheme *scheme, const QString &caption);
  ~TSchemeGroup();
  TSchemeGroup(const TSchemeGroup &) = delete;
  TSchemeGroup &operator=(const TSchemeGroup &) = delete;

private:
  TScheme *FScheme;
};
