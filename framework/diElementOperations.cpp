#include "diElementOperations.h"

#include "diClasses.h"
#include "diSheet.h"
#include "diVisualElements.h"

// ---------------------------------------------------------------------------------------------------------
// TSchemeOperation, TSchemeGroupingOperation

void TSchemeOperation::Execute(TNodePtr<TSchemeOperation> op) {
  TUndoRedo *engine = op->FScheme ? op->FScheme->UndoRedo() : nullptr;
  Perform(std::move(op), engine);
}

void TSchemeOperation::BeforeRun() {
  if (FRefreshMessages && FScheme)
    FScheme->BeginMessagesUpdate();
}

void TSchemeOperation::AfterRun() {
  if (FRefreshMessages && FScheme)
    FScheme->EndMessagesUpdate();
}

void TSchemeGroupingOperation::BeforeRun() {
  if (FRefreshMessages && FScheme)
    FScheme->BeginMessagesUpdate();
}

void TSchemeGroupingOperation::AfterRun() {
  if (FRefreshMessages && FScheme)
    FScheme->EndMessagesUpdate();
}

TSchemeGroup::TSchemeGroup(TScheme *scheme, const QString &caption) : FScheme(scheme) {
  if (FScheme)
    FScheme->BeginGroup(caption);
}

TSchemeGroup::~TSchemeGroup() {
  if (FScheme)
    FScheme->EndGroup();
}

// ---------------------------------------------------------------------------------------------------------
// TElementOperationDependents

void TElementOperationDependents::Add(std::int32_t elementId, TNodePtr<TKnot> data) {
  FItems.emplace_back(QString::number(elementId), std::move(data));
}

void TElementOperationDependents::MoveInto(TElementOperationDependents &other) {
  for (auto &item : FItems)
    other.FItems.push_back(std::move(item));
  FItems.clear();
}

// ---------------------------------------------------------------------------------------------------------
// TElementOperation

namespace {
bool IsFocusedElement(TElement *element) {
  auto *visual = dynamic_cast<TVisualElement *>(element);
  return visual && visual->IsFocused();
}
}  // namespace

TElementOperation::TElementOperation(TElement *element, bool refreshMessages)
    : TSchemeOperation(element->Scheme(), refreshMessages), FElementId(element->ID()),
      FWasFocused(IsFocusedElement(element)) {}

TElementOperationDependents &TElementOperation::RedoDependents() {
  if (!FRedoDependents)
    FRedoDependents = std::make_unique<TElementOperationDependents>();
  return *FRedoDependents;
}

TElementOperationDependents &TElementOperation::UndoDependents() {
  if (!FUndoDependents)
    FUndoDependents = std::make_unique<TElementOperationDependents>();
  return *FUndoDependents;
}

void TElementOperation::MergeDependentsInto(TElementOperation &other) {
  if (FRedoDependents)
    FRedoDependents->MoveInto(other.RedoDependents());
  if (FUndoDependents)
    FUndoDependents->MoveInto(other.UndoDependents());
}

void TElementOperation::RunOnElement(bool undo) {
  if (!Scheme())
    return;
  TElement *element = Scheme()->FindElement(FElementId);
  if (!element)
    return;
  auto *visual = dynamic_cast<TVisualElement *>(element);
  TSheetUpdate update(visual ? visual->Sheet() : nullptr);
  if (undo)
    UndoOnElement(element);
  else
    DoOnElement(element);
  if (!undo && Phase() != opRedo)
    return;
  // Looked up entry by entry: an earlier entry's data may re-create elements that later entries name.
  if (TElementOperationDependents *dependents = undo ? FUndoDependents.get() : FRedoDependents.get())
    for (int i = 0; i < dependents->Count(); ++i)
      if (TElement *target = Scheme()->FindElement(dependents->ElementIdentifiers(i))) {
        if (undo)
          target->ApplyUndoData(dependents->Datas(i));
        else
          target->ApplyRedoData(dependents->Datas(i));
      }
}

void TElementOperation::DoStep() { RunOnElement(false); }

void TElementOperation::UndoStep() { RunOnElement(true); }

void TElementOperation::RefocusElement(TElement *element) {
  if (FWasFocused)
    if (auto *visual = dynamic_cast<TVisualElement *>(element))
      visual->FocusIfNotFocused();
}

void TElementOperation::DoOnElement(TElement *element) { RefocusElement(element); }

void TElementOperation::UndoOnElement(TElement *element) { RefocusElement(element); }

// ---------------------------------------------------------------------------------------------------------
// TVisualElementDisableOperation

void TVisualElementDisableOperation::DoOnElement(TElement *element) {
  TElementOperation::DoOnElement(element);
  auto *visual = dynamic_cast<TVisualElement *>(element);
  if (!visual)
    return;
  OldDisabled = visual->IsDisabledOwn();
  visual->SetDisabled(NewDisabled);
  if (visual->IsFocused())
    visual->Sheet()->BringIntoView();
}

void TVisualElementDisableOperation::UndoOnElement(TElement *element) {
  TElementOperation::UndoOnElement(element);
  auto *visual = dynamic_cast<TVisualElement *>(element);
  if (!visual)
    return;
  visual->SetDisabled(OldDisabled);
  if (visual->IsFocused())
    visual->Sheet()->BringIntoView();
}
