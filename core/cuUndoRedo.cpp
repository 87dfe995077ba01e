#include "cuUndoRedo.h"

#include <algorithm>
#include <exception>

// ---------------------------------------------------------------------------------------------------------
// TOperation

void TOperation::Run(TOperationPhase phase) {
  FPhase = phase;
  FRollbackFailed = false;
  // Operations executed while this one runs are appended to its children after they ran; the loop runs
  // only the sub-operations that were there before, so that none runs twice.
  TNode *const lastBefore = LastChild();
  TNode *ranUpTo = nullptr;
  std::exception_ptr failure;
  try {
    BeforeRun();
    for (TNode *c = lastBefore ? FirstChild() : nullptr; c; c = c == lastBefore ? nullptr : c->Next()) {
      TOperation *sub = static_cast<TOperation *>(c);
      try {
        sub->Run(phase);
      } catch (...) {
        FRollbackFailed = sub->FRollbackFailed;
        throw;
      }
      ranUpTo = c;
    }
    DoStep();
  } catch (...) {
    failure = std::current_exception();
    // Inside the BeforeRun/AfterRun bracket, so that the undoing sees the same surroundings as the run.
    if (phase == opFirstRun)
      RollBack(lastBefore, ranUpTo);
  }
  try {
    AfterRun();
  } catch (...) {
    if (!failure) {
      failure = std::current_exception();
      if (phase == opFirstRun)
        RollBack(lastBefore, ranUpTo);
    }
  }
  if (failure)
    std::rethrow_exception(failure);
  FPhase = opIdle;
}

void TOperation::RollBack(TNode *lastBefore, TNode *ranUpTo) noexcept {
  auto undo = [this](TNode *c) {
    try {
      static_cast<TOperation *>(c)->Undo();
    } catch (...) {
      FRollbackFailed = true;
    }
  };
  // First the operations executed during the run (they follow the earlier sub-operations), then the earlier
  // sub-operations that ran, each list last first.
  for (TNode *c = LastChild(); c && c != lastBefore; c = c->Previous())
    undo(c);
  for (TNode *c = ranUpTo; c; c = c->Previous())
    undo(c);
}

void TOperation::Undo() {
  FPhase = opUndo;
  std::exception_ptr failure;
  try {
    BeforeRun();
    UndoStep();
    for (TNode *c = LastChild(); c; c = c->Previous())
      static_cast<TOperation *>(c)->Undo();
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    AfterRun();
  } catch (...) {
    if (!failure)
      failure = std::current_exception();
  }
  FPhase = opIdle;
  if (failure)
    std::rethrow_exception(failure);
}

// ---------------------------------------------------------------------------------------------------------
// TGroupingOperation

QString TGroupingOperation::GetCaption() const {
  if (!FCaption.isEmpty())
    return FCaption;
  if (TOperation *first = FirstSubOperation())
    return first->GetCaption();
  return {};
}

std::uint8_t TGroupingOperation::GetFlags() const {
  std::uint8_t flags = 0;
  for (TOperation *sub = FirstSubOperation(); sub; sub = sub->NextSibling())
    flags |= sub->GetFlags();
  return flags;
}

// ---------------------------------------------------------------------------------------------------------
// TUndoRedo

TUndoRedo::TUndoRedo() : FUndoStack(MakeNode<TNode>()), FRedoStack(MakeNode<TNode>()) {}

TUndoRedo::~TUndoRedo() {
  if (FOpenGroup)
    FOpenGroup->Free();
}

void TUndoRedo::EngineRun(TOperation *op, TOperationPhase phase) {
  FRunning.push_back(op);
  auto leave = [this, op] { FRunning.erase(std::find(FRunning.begin(), FRunning.end(), op)); };
  try {
    if (phase == opUndo)
      op->Undo();
    else
      op->Run(phase);
  } catch (...) {
    leave();
    throw;
  }
  leave();
  if ((op->GetFlags() & ofChangesData) && !FModified) {
    FModified = true;
    Notify(urnModified);
  }
}

void TUndoRedo::Execute(TNodePtr<TOperation> op) {
  TOperation *const o = op.get();
  try {
    EngineRun(o, opFirstRun);
  } catch (...) {
    const bool inconsistent = o->RollbackFailed();
    op.reset();
    // The failed run could not be taken back completely: the recorded steps no longer match the document.
    if (inconsistent)
      Clear();
    throw;
  }
  const std::uint8_t flags = o->GetFlags();
  if (flags & ofNotRecorded) {
    if (flags & ofChangesData)
      Clear();
    op.reset();
  } else {
    // The redo stack goes when a step is recorded at the top: an operation that ends up inside another one
    // (or inside the open group) leaves it to its parent, so that a parent whose run fails keeps it intact.
    if (FRunning.empty())
      FRedoStack->ClearChildren();
    TNode *list = FRunning.empty() ? FUndoStack.get() : FRunning.back();
    op.release()->SetOwner(list);
    if (TOperation *previous = o->PreviousSibling(); previous && o->MergeWith(previous))
      o->Free();
  }
  Notify(urnRecorded);
}

void TUndoRedo::Undo() {
  if (!CanUndo())
    return;
  // Taken off the stack while it runs, so that nothing done meanwhile can destroy it under the run.
  TNodePtr<TOperation> op(NextUndo());
  op->SetOwner(nullptr);
  try {
    EngineRun(op.get(), opUndo);
  } catch (...) {
    op.reset();
    Clear();
    throw;
  }
  op.release()->MoveTo(FRedoStack.get(), FRedoStack->FirstChild());
  Notify(urnUndone);
}

void TUndoRedo::Redo() {
  if (!CanRedo())
    return;
  TNodePtr<TOperation> op(NextRedo());
  op->SetOwner(nullptr);
  try {
    EngineRun(op.get(), opRedo);
  } catch (...) {
    op.reset();
    Clear();
    throw;
  }
  op.release()->SetOwner(FUndoStack.get());
  Notify(urnRedone);
}

void TUndoRedo::BeginGroup(TNodePtr<TGroupingOperation> group) {
  ++FGroupDepth;
  if (FGroupDepth != 1 || !FRunning.empty())
    return;  // `group` is destroyed here
  group->FPhase = opFirstRun;
  FRunning.push_back(group.get());
  try {
    group->BeforeRun();
  } catch (...) {
    FRunning.pop_back();
    --FGroupDepth;
    throw;
  }
  FOpenGroup = group.release();
}

void TUndoRedo::EndGroup() {
  if (FGroupDepth == 0)
    return;
  if (--FGroupDepth > 0 || !FOpenGroup)
    return;
  TNodePtr<TGroupingOperation> group(FOpenGroup);
  FOpenGroup = nullptr;
  FRunning.erase(std::find(FRunning.begin(), FRunning.end(), group.get()));
  std::exception_ptr failure;
  try {
    group->AfterRun();
  } catch (...) {
    failure = std::current_exception();
  }
  group->FPhase = opIdle;
  // The sub-operations have run and changed the document: they are recorded even when AfterRun failed.
  if (group->HasChildren()) {
    FRedoStack->ClearChildren();
    group.release()->SetOwner(FUndoStack.get());
    Notify(urnRecorded);
  }
  if (failure)
    std::rethrow_exception(failure);
}

void TUndoRedo::Clear() {
  FUndoStack->ClearChildren();
  FRedoStack->ClearChildren();
  Notify(urnCleared);
}

void Perform(TNodePtr<TOperation> op, TUndoRedo *engine) {
  if (engine)
    engine->Execute(std::move(op));
  else
    op->Run(opFirstRun);
}
