// Undoable operations and the engine that records them: sub-operations, groups, merging and the
// notifications the document holder and the windows listen to.
#pragma once

#include "cuClasses.h"

#include <QString>

#include <cstdint>
#include <vector>

// Phases of an operation's run.
enum TOperationPhase : std::uint8_t { opIdle = 0, opFirstRun = 1, opUndo = 2, opRedo = 3 };

// Bits of TOperation::GetFlags.
constexpr std::uint8_t ofChangesData = 0x01;  // running it changes the document
constexpr std::uint8_t ofNotRecorded = 0x02;  // it runs once and is not kept for undo

// An undoable step. Its children are its sub-operations, in the order in which they ran; a run runs them
// before the operation's own DoStep, an undo undoes them after its own UndoStep, last first.
class TOperation : public TNode {
public:
  TOperationPhase Phase() const { return FPhase; }
  TOperation *FirstSubOperation() const { return static_cast<TOperation *>(FirstChild()); }
  TOperation *LastSubOperation() const { return static_cast<TOperation *>(LastChild()); }
  TOperation *NextSibling() const { return static_cast<TOperation *>(Next()); }
  TOperation *PreviousSibling() const { return static_cast<TOperation *>(Previous()); }

  // The name shown with the Undo and Redo commands.
  virtual QString GetCaption() const { return {}; }
  // ofChangesData and ofNotRecorded bits.
  virtual std::uint8_t GetFlags() const { return ofChangesData; }
  // True when this operation has folded its effect into `previous`, its predecessor in the same list; the
  // engine then destroys this one.
  virtual bool MergeWith(TOperation *previous) { return false; }

  // A run in phase opFirstRun or opRedo: BeforeRun, the sub-operations first to last, DoStep, AfterRun (also
  // after a failure). When a first run fails, the sub-operations that ran inside it are undone again, last
  // first, before the failure passes on, so that the document is as before; RollbackFailed() tells whether
  // that undoing failed too (the failure that passes on is always the first one).
  void Run(TOperationPhase phase);
  // The mirror of a run: BeforeRun, UndoStep, the sub-operations last to first, AfterRun (also after a
  // failure).
  void Undo();
  bool RollbackFailed() const { return FRollbackFailed; }

protected:
  // Called at the end of every run and undo, also when it failed.
  virtual void AfterRun() {}
  // Called at the start of every run and undo.
  virtual void BeforeRun() {}
  // The operation's own action on first run and redo.
  virtual void DoStep() {}
  // The operation's own reversal.
  virtual void UndoStep() {}

private:
  friend class TUndoRedo;  // opens and closes groups
  void RollBack(TNode *lastBefore, TNode *ranUpTo) noexcept;

  TOperationPhase FPhase = opIdle;
  bool FRollbackFailed = false;
};

// Several operations recorded as one step: operations executed while it is the engine's open group become
// its sub-operations. Its own steps do nothing.
class TGroupingOperation : public TOperation {
public:
  explicit TGroupingOperation(QString caption = {}) : FCaption(std::move(caption)) {}
  const QString &Caption() const { return FCaption; }
  void SetCaption(const QString &caption) { FCaption = caption; }

  // The caption when not empty, else the caption of the first sub-operation.
  QString GetCaption() const override;
  // The union of the sub-operations' flags (none for an empty group).
  std::uint8_t GetFlags() const override;

private:
  QString FCaption;
};

// Notification codes of TUndoRedo (both arguments 0).
enum TUndoRedoNotification {
  urnRecorded = 1,  // an operation or a group was recorded (also when merged into its predecessor)
  urnUndone = 2,
  urnRedone = 3,
  urnModified = 4,  // Modified became true
  urnCleared = 6,   // the history was cleared
};

// The engine: an undo stack (oldest first, the last is undone next), a redo stack (the first is redone next),
// the list of running operations, and at most one open group. It owns every operation on its stacks and in
// its open group. Single-threaded; operations must not call Undo, Redo or Clear on their own engine.
class TUndoRedo : public TItfObject {
public:
  TUndoRedo();
  ~TUndoRedo() override;

  // Runs `op` for the first time and records it: as the last sub-operation of the innermost running
  // operation (or open group), or on the undo stack when nothing runs, after destroying the redo stack; a
  // group destroys the redo stack when it is recorded. Nothing is recorded when `op` merges
  // into its predecessor there or is ofNotRecorded (ofNotRecorded with ofChangesData clears the history).
  // A failure of the run leaves nothing recorded and passes on; when the undoing of the failed run's
  // sub-operations failed too, the history is cleared first.
  void Execute(TNodePtr<TOperation> op);
  // Undoes the last recorded operation and moves it to the redo stack (check CanUndo first). When the undo
  // fails the history is cleared (code urnCleared) and the failure passes on.
  void Undo();
  // Redoes the first undone operation and moves it back to the undo stack (check CanRedo first); a failure
  // clears the history as Undo does.
  void Redo();
  bool CanUndo() const { return FUndoStack->HasChildren(); }
  bool CanRedo() const { return FRedoStack->HasChildren(); }
  TOperation *NextUndo() const { return static_cast<TOperation *>(FUndoStack->LastChild()); }
  TOperation *NextRedo() const { return static_cast<TOperation *>(FRedoStack->FirstChild()); }
  int UndoCount() const { return FUndoStack->ChildCount(); }
  int RedoCount() const { return FRedoStack->ChildCount(); }

  // Groups nest; only the outermost call opens `group`, and only when nothing runs: otherwise the group
  // is destroyed at once. EndGroup closes the open group when the depth returns to 0 and records it when
  // it received sub-operations.
  void BeginGroup(TNodePtr<TGroupingOperation> group);
  void EndGroup();
  int GroupDepth() const { return FGroupDepth; }

  // Destroys both stacks' operations and notifies urnCleared.
  void Clear();
  // Set once any data-changing operation ran; never cleared.
  bool Modified() const { return FModified; }

private:
  void EngineRun(TOperation *op, TOperationPhase phase);

  TNodePtr<TNode> FUndoStack;
  TNodePtr<TNode> FRedoStack;
  std::vector<TOperation *> FRunning;  // innermost last; holds the open group too
  int FGroupDepth = 0;
  TGroupingOperation *FOpenGroup = nullptr;  // owned while open
  bool FModified = false;
};

// With an engine: engine->Execute(op). Without: runs `op` once (first run) and destroys it; a failure passes
// on after the operation's rollback.
void Perform(TNodePtr<TOperation> op, TUndoRedo *engine);
