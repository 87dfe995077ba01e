#include "cuUndoRedo.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// What the test operations did, in order: "+a" a's DoStep, "-a" a's UndoStep, "<a"/">a" its BeforeRun and
// AfterRun, "~a" its destruction.
struct TTrace {
  std::string Log;
  int Alive = 0;
};

class TTestOperation : public TOperation {
public:
  TTestOperation(TTrace &trace, char name, std::uint8_t flags = ofChangesData)
      : FTrace(trace), FName(name), FFlags(flags) {
    ++FTrace.Alive;
  }
  std::function<void()> OnFirstRun;  // side effects of the first run (executing further operations)
  bool FailDo = false, FailUndo = false, MergeIntoPrevious = false;
  QString Caption;

  QString GetCaption() const override { return Caption; }
  std::uint8_t GetFlags() const override { return FFlags; }
  bool MergeWith(TOperation *) override { return MergeIntoPrevious; }

protected:
  ~TTestOperation() override {
    FTrace.Log += std::string("~") + FName;
    --FTrace.Alive;
  }
  void BeforeRun() override { FTrace.Log += std::string("<") + FName; }
  void AfterRun() override { FTrace.Log += std::string(">") + FName; }
  void DoStep() override {
    FTrace.Log += std::string("+") + FName;
    if (Phase() == opFirstRun && OnFirstRun)
      OnFirstRun();
    if (FailDo)
      throw EException(QStringLiteral("do failed"));
  }
  void UndoStep() override {
    FTrace.Log += std::string("-") + FName;
    if (FailUndo)
      throw EException(QStringLiteral("undo failed"));
  }

private:
  TTrace &FTrace;
  char FName;
  std::uint8_t FFlags;
};

TNodePtr<TTestOperation> Op(TTrace &trace, char name, std::uint8_t flags = ofChangesData) {
  return MakeNode<TTestOperation>(trace, name, flags);
}

struct TCodes {
  std::vector<int> Codes;
  void Called(TItfObject *, int code, TNotifyArg, TNotifyArg) { Codes.push_back(code); }
};

class UndoRedo : public ::testing::Test {
protected:
  void SetUp() override { Engine.Subscribe(NotifyMethod<&TCodes::Called>, &Codes); }
  void TearDown() override { Engine.Unsubscribe(NotifyMethod<&TCodes::Called>, &Codes); }
  // Takes the log and the codes seen so far.
  std::string Log() { return std::exchange(Trace.Log, {}); }
  std::vector<int> Seen() { return std::exchange(Codes.Codes, {}); }

  TTrace Trace;
  TCodes Codes;
  TUndoRedo Engine;
};

TEST_F(UndoRedo, UndoAndRedoAreExactMirrorsOfTheRunWithSubOperations) {
  // b is executed while a runs: it becomes a's sub-operation, runs before a's step on redo and is undone
  // after it.
  auto a = Op(Trace, 'a');
  a->OnFirstRun = [&] { Engine.Execute(Op(Trace, 'b')); };
  Engine.Execute(std::move(a));
  EXPECT_EQ(Log(), "<a+a<b+b>b>a");
  EXPECT_EQ(Seen(), (std::vector<int>{urnModified, urnRecorded, urnRecorded}));
  ASSERT_EQ(Engine.UndoCount(), 1);
  EXPECT_EQ(Engine.NextUndo()->ChildCount(), 1);

  Engine.Undo();
  EXPECT_EQ(Log(), "<a-a<b-b>b>a");
  EXPECT_EQ(Seen(), std::vector<int>{urnUndone});
  EXPECT_FALSE(Engine.CanUndo());
  EXPECT_TRUE(Engine.CanRedo());

  Engine.Redo();
  EXPECT_EQ(Log(), "<a<b+b>b+a>a");
  EXPECT_EQ(Seen(), std::vector<int>{urnRedone});
  EXPECT_EQ(Engine.NextUndo()->Phase(), opIdle);
}

TEST_F(UndoRedo, ExecutingAfterAnUndoEmptiesTheRedoStack) {
  Engine.Execute(Op(Trace, 'a'));
  Engine.Execute(Op(Trace, 'b'));
  Engine.Undo();
  ASSERT_EQ(Engine.RedoCount(), 1);
  Log();
  Engine.Execute(Op(Trace, 'c'));
  EXPECT_EQ(Log(), "<c+c>c~b");
  EXPECT_EQ(Engine.RedoCount(), 0);
  EXPECT_EQ(Engine.UndoCount(), 2);
}

TEST_F(UndoRedo, ModifiedIsSetOnceByTheFirstDataChangingOperation) {
  Engine.Execute(Op(Trace, 'v', 0));  // changes nothing
  EXPECT_FALSE(Engine.Modified());
  Engine.Execute(Op(Trace, 'a'));
  Engine.Execute(Op(Trace, 'b'));
  Engine.Undo();
  EXPECT_TRUE(Engine.Modified());
  EXPECT_EQ(Seen(), (std::vector<int>{urnRecorded, urnModified, urnRecorded, urnRecorded, urnUndone}));
}

TEST_F(UndoRedo, AMergingOperationLeavesTheStackSizeAndStillNotifies) {
  Engine.Execute(Op(Trace, 'a'));
  auto b = Op(Trace, 'b');
  b->MergeIntoPrevious = true;
  Seen();
  Engine.Execute(std::move(b));
  EXPECT_EQ(Engine.UndoCount(), 1);
  EXPECT_EQ(Seen(), std::vector<int>{urnRecorded});
  EXPECT_EQ(Trace.Alive, 1);
}

TEST_F(UndoRedo, UnrecordedOperationsRunOnceAndAChangingOneClearsTheHistory) {
  Engine.Execute(Op(Trace, 'a'));
  Seen();
  Engine.Execute(Op(Trace, 'n', ofNotRecorded));
  EXPECT_EQ(Engine.UndoCount(), 1);
  EXPECT_EQ(Seen(), std::vector<int>{urnRecorded});
  Engine.Execute(Op(Trace, 'm', ofNotRecorded | ofChangesData));
  EXPECT_EQ(Engine.UndoCount(), 0);
  EXPECT_EQ(Seen(), (std::vector<int>{urnCleared, urnRecorded}));
  EXPECT_EQ(Trace.Alive, 0);
}

TEST_F(UndoRedo, GroupsNestIntoOneStepAndAnEmptyGroupLeavesNothing) {
  Engine.Execute(Op(Trace, 'x'));
  Engine.Undo();
  Seen();
  Engine.BeginGroup(MakeNode<TGroupingOperation>());
  Engine.EndGroup();
  EXPECT_EQ(Engine.UndoCount(), 0);
  EXPECT_EQ(Engine.RedoCount(), 1);
  EXPECT_TRUE(Seen().empty());

  Engine.BeginGroup(MakeNode<TGroupingOperation>());
  Engine.BeginGroup(MakeNode<TGroupingOperation>(QStringLiteral("inner, destroyed at once")));
  auto a = Op(Trace, 'a');
  a->Caption = QStringLiteral("Typing");
  Engine.Execute(std::move(a));
  Engine.EndGroup();
  Engine.Execute(Op(Trace, 'b', 0));
  EXPECT_EQ(Engine.UndoCount(), 0);  // nothing is recorded before the outermost EndGroup
  EXPECT_EQ(Engine.RedoCount(), 1);  // the redo stack goes when the group is recorded
  Engine.EndGroup();
  EXPECT_EQ(Engine.RedoCount(), 0);
  ASSERT_EQ(Engine.UndoCount(), 1);
  TOperation *group = Engine.NextUndo();
  EXPECT_EQ(group->ChildCount(), 2);
  EXPECT_EQ(group->GetCaption(), QStringLiteral("Typing"));
  EXPECT_EQ(group->GetFlags(), ofChangesData);
  EXPECT_EQ(Seen(), (std::vector<int>{urnRecorded, urnRecorded, urnRecorded}));

  Log();
  Engine.Undo();
  EXPECT_EQ(Log(), "<b-b>b<a-a>a");
  Engine.Redo();
  EXPECT_EQ(Log(), "<a+a>a<b+b>b");
  EXPECT_EQ(TGroupingOperation().GetFlags(), 0);
}

TEST_F(UndoRedo, AGroupBegunWhileAnOperationRunsIsNotOpened) {
  auto a = Op(Trace, 'a');
  a->OnFirstRun = [&] {
    Engine.BeginGroup(MakeNode<TGroupingOperation>());
    Engine.Execute(Op(Trace, 'b'));
    Engine.EndGroup();
  };
  Engine.Execute(std::move(a));
  ASSERT_EQ(Engine.UndoCount(), 1);
  EXPECT_EQ(Engine.NextUndo()->ChildCount(), 1);
  EXPECT_NE(dynamic_cast<TTestOperation *>(Engine.NextUndo()->FirstChild()), nullptr);
  EXPECT_EQ(Engine.GroupDepth(), 0);
}

TEST_F(UndoRedo, AFailingFirstRunTakesBackItsSubOperationsLastFirst) {
  Engine.Execute(Op(Trace, 'x'));
  Engine.Undo();  // leaves x on the redo stack, which the failure must not touch
  Log();
  Seen();
  auto a = Op(Trace, 'a');
  a->OnFirstRun = [&] {
    Engine.Execute(Op(Trace, 'b'));
    Engine.Execute(Op(Trace, 'c'));
  };
  a->FailDo = true;
  EXPECT_THROW(Engine.Execute(std::move(a)), EException);
  EXPECT_EQ(Log(), "<a+a<b+b>b<c+c>c<c-c>c<b-b>b>a~c~b~a");
  EXPECT_EQ(Engine.UndoCount(), 0);
  EXPECT_EQ(Engine.RedoCount(), 1);
  EXPECT_EQ(Seen(), (std::vector<int>{urnRecorded, urnRecorded}));
  EXPECT_EQ(Trace.Alive, 1);
}

TEST_F(UndoRedo, AFailingRunInsideARunIsTakenBackAtBothLevels) {
  // c fails inside a: c undoes its own sub-operation d, a then undoes b, which ran before c.
  auto a = Op(Trace, 'a');
  a->OnFirstRun = [&] {
    Engine.Execute(Op(Trace, 'b'));
    auto c = Op(Trace, 'c');
    c->OnFirstRun = [&] { Engine.Execute(Op(Trace, 'd')); };
    c->FailDo = true;
    Engine.Execute(std::move(c));
  };
  EXPECT_THROW(Engine.Execute(std::move(a)), EException);
  EXPECT_EQ(Log(), "<a+a<b+b>b<c+c<d+d>d<d-d>d>c~d~c<b-b>b>a~b~a");
  EXPECT_EQ(Trace.Alive, 0);
}

TEST_F(UndoRedo, AFailedTakingBackClearsTheHistoryAndPassesTheFirstErrorOn) {
  Engine.Execute(Op(Trace, 'x'));
  Seen();
  auto a = Op(Trace, 'a');
  a->OnFirstRun = [&] {
    auto b = Op(Trace, 'b');
    b->FailUndo = true;
    Engine.Execute(std::move(b));
  };
  a->FailDo = true;
  try {
    Engine.Execute(std::move(a));
    FAIL() << "no failure";
  } catch (const EException &e) {
    EXPECT_EQ(e.Message(), QStringLiteral("do failed"));
  }
  EXPECT_EQ(Engine.UndoCount(), 0);
  EXPECT_EQ(Seen(), (std::vector<int>{urnRecorded, urnCleared}));
  EXPECT_EQ(Trace.Alive, 0);
}

TEST_F(UndoRedo, AFailingUndoOrRedoClearsTheHistory) {
  for (bool failOnRedo : {false, true}) {
    SCOPED_TRACE(failOnRedo ? "redo" : "undo");
    // x a z recorded, z undone: both stacks hold operations when a's undo or redo fails.
    Engine.Execute(Op(Trace, 'x'));
    auto a = Op(Trace, 'a');
    TTestOperation *raw = a.get();
    Engine.Execute(std::move(a));
    Engine.Execute(Op(Trace, 'z'));
    Engine.Undo();
    if (failOnRedo) {
      Engine.Undo();
      raw->FailDo = true;
    } else {
      raw->FailUndo = true;
    }
    Seen();
    try {
      failOnRedo ? Engine.Redo() : Engine.Undo();
      FAIL() << "no failure";
    } catch (const EException &e) {
      EXPECT_EQ(e.Message(), failOnRedo ? QStringLiteral("do failed") : QStringLiteral("undo failed"));
    }
    EXPECT_FALSE(Engine.CanUndo());
    EXPECT_FALSE(Engine.CanRedo());
    EXPECT_EQ(Seen(), std::vector<int>{urnCleared});
    EXPECT_EQ(Trace.Alive, 0);
  }
}

TEST(Perform, WithoutAnEngineRunsOnceAndFreesAlsoOnFailure) {
  TTrace trace;
  auto a = MakeNode<TTestOperation>(trace, 'a');
  a->OnFirstRun = [&] { Perform(MakeNode<TTestOperation>(trace, 'b'), nullptr); };
  Perform(std::move(a), nullptr);
  EXPECT_EQ(trace.Log, "<a+a<b+b>b~b>a~a");
  EXPECT_EQ(trace.Alive, 0);

  trace.Log.clear();
  auto f = MakeNode<TTestOperation>(trace, 'f');
  f->FailDo = true;
  EXPECT_THROW(Perform(std::move(f), nullptr), EException);
  EXPECT_EQ(trace.Log, "<f+f>f~f");
  EXPECT_EQ(trace.Alive, 0);
}

}  // namespace
