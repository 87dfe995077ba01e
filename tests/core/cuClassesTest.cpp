#include "cuClasses.h"
#include "cuNotifier.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A recorder of subscription calls; each instance can be told what to do while it is being called.
struct TProbe {
  std::string *Log = nullptr;
  char Name = '?';
  std::function<void()> OnCall;
  void Called(TItfObject *, int, TNotifyArg, TNotifyArg) {
    *Log += Name;
    if (OnCall)
      OnCall();
  }
};
constexpr TNotifyCallback Probe = NotifyMethod<&TProbe::Called>;

TEST(ItfObject, NotifiesNewestFirstAndSurvivesChangesDuringTheWalk) {
  std::string log;
  TItfObject subject;
  TProbe a{&log, 'a'}, b{&log, 'b'}, c{&log, 'c'}, d{&log, 'd'};
  subject.Subscribe(Probe, &a);
  subject.Subscribe(Probe, &b);
  subject.Subscribe(Probe, &c);
  subject.Notify(1);
  EXPECT_EQ(log, "cba");

  // c unsubscribes itself: b and a are still called, each once.
  log.clear();
  c.OnCall = [&] { subject.Unsubscribe(Probe, &c); };
  subject.Notify(1);
  EXPECT_EQ(log, "cba");
  EXPECT_EQ(subject.IndexOfHandler(Probe, &c), -1);

  // b removes d, which was already called, and subscribes c anew: nothing runs twice, the added pair
  // does not run, and a still runs.
  log.clear();
  subject.Subscribe(Probe, &d);
  b.OnCall = [&] {
    subject.Unsubscribe(Probe, &d);
    subject.Subscribe(Probe, &c);
  };
  c.OnCall = nullptr;
  subject.Notify(1);
  EXPECT_EQ(log, "dba");
}

TEST(ItfObject, UnsubscribingAnAlreadyCalledPairReadsNothingPastTheEnd) {
  std::string log;
  TItfObject subject;
  TProbe a{&log, 'a'}, b{&log, 'b'}, c{&log, 'c'};
  subject.Subscribe(Probe, &a);
  subject.Subscribe(Probe, &b);
  subject.Subscribe(Probe, &c);
  // When b runs it removes c, called before it: the walk goes on with a, nobody runs twice.
  b.OnCall = [&] { subject.Unsubscribe(Probe, &c); };
  subject.Notify(1);
  EXPECT_EQ(log, "cba");
  EXPECT_EQ(subject.HandlerCount(), 2);

  // When b removes itself and the pair called before it, the walk has no place left to go on from and
  // ends: nothing is read past the end of the shortened array.
  log.clear();
  subject.Subscribe(Probe, &c);
  b.OnCall = [&] {
    subject.Unsubscribe(Probe, &c);
    subject.Unsubscribe(Probe, &b);
  };
  subject.Notify(1);
  EXPECT_EQ(log, "cb");
  EXPECT_EQ(subject.HandlerCount(), 1);
}

TEST(ItfObject, APairSubscribedTwiceIsCalledTwiceAndUnsubscribedOnce) {
  std::string log;
  TItfObject subject;
  TProbe a{&log, 'a'};
  subject.Subscribe(Probe, &a);
  subject.Subscribe(Probe, &a);
  subject.Notify(1);
  EXPECT_EQ(log, "aa");
  subject.Unsubscribe(Probe, &a);
  log.clear();
  subject.Notify(1);
  EXPECT_EQ(log, "a");
}

// A node that records its hooks into a shared log.
class TLoggingNode : public TNode {
public:
  TLoggingNode(std::string name, std::string *log) : FName(std::move(name)), FLog(log) {}
  std::string FName;

protected:
  void OwnerChanged() override { *FLog += FName + ".OwnerChanged(" + (Owner() ? "attached" : "detached") + ") "; }
  void ChildrenChanged() override { *FLog += FName + ".ChildrenChanged "; }
  void ChildInserting(TNode *, TNode *) override { *FLog += FName + ".ChildInserting "; }
  void Freeing() override { *FLog += FName + ".Freeing "; }
  bool Notification(int code, TNotifyArg, TNotifyArg) override {
    *FLog += FName + ":" + std::to_string(code) + " ";
    return code == 7;
  }

private:
  std::string *FLog;
};

TEST(Node, MovesReportTheirHooksAsTheTreeProtocolSays) {
  std::string log;
  TNodePtr<TLoggingNode> p = MakeNode<TLoggingNode>("p", &log);
  TNodePtr<TLoggingNode> q = MakeNode<TLoggingNode>("q", &log);
  auto *x = new TLoggingNode("x", &log);
  auto *y = new TLoggingNode("y", &log);
  x->SetOwner(p.get());
  y->SetOwner(p.get());
  log.clear();

  // Same owner, already before that sibling: nothing happens at all.
  x->MoveTo(p.get(), y);
  EXPECT_EQ(log, "");

  // Between owners: ChildrenChanged on both, OwnerChanged twice.
  x->MoveTo(q.get(), nullptr);
  EXPECT_EQ(log, "q.ChildInserting x.OwnerChanged(detached) p.ChildrenChanged x.OwnerChanged(attached) "
                 "q.ChildrenChanged ");
  EXPECT_EQ(x->Owner(), q.get());
  EXPECT_EQ(p->FirstChild(), y);
  EXPECT_EQ(y->Previous(), nullptr);

  // Reordering inside one owner.
  x->SetOwner(p.get());
  log.clear();
  x->MoveTo(p.get(), y);
  EXPECT_EQ(log, "p.ChildInserting x.OwnerChanged(attached) p.ChildrenChanged ");
  EXPECT_EQ(p->FirstChild(), x);
  EXPECT_EQ(p->LastChild(), y);
  EXPECT_EQ(x->Next(), y);
  EXPECT_EQ(y->Previous(), x);
}

TEST(Node, FreeRunsTheDerivedHooksWhileTheNodeIsWhole) {
  std::string log;
  auto *root = new TLoggingNode("r", &log);
  auto *a = new TLoggingNode("a", &log);
  auto *b = new TLoggingNode("b", &log);
  auto *a1 = new TLoggingNode("a1", &log);
  a->SetOwner(root);
  b->SetOwner(root);
  a1->SetOwner(a);
  log.clear();
  root->Free();
  // Last child first; each node is told before it is detached, its children go after it.
  EXPECT_EQ(log, "r.Freeing "
                 "b.Freeing b.OwnerChanged(detached) r.ChildrenChanged "
                 "a.Freeing a.OwnerChanged(detached) r.ChildrenChanged "
                 "a1.Freeing a1.OwnerChanged(detached) a.ChildrenChanged ");
}

TEST(Node, DeepTreesFreeWithoutRecursion) {
  TNodePtr<TNode> root = MakeNode<TNode>();
  TNode *tip = root.get();
  for (int i = 0; i < 200000; ++i) {
    auto *n = new TNode;
    n->SetOwner(tip);
    tip = n;
  }
  EXPECT_EQ(tip->Depth(), 200000);
  root.reset();  // would overflow the stack if freeing recursed per level
}

TEST(Node, TreeQueries) {
  TNodePtr<TNode> root = MakeNode<TNode>();
  auto *a = new TNode, *a1 = new TNode, *a2 = new TNode, *b = new TNode;
  a->SetOwner(root.get());
  a1->SetOwner(a);
  a2->SetOwner(a);
  b->SetOwner(root.get());

  EXPECT_EQ(root->Depth(), 0);
  EXPECT_EQ(a2->Depth(), 2);
  EXPECT_EQ(root->IndexInOwner(), -1);
  EXPECT_EQ(b->IndexInOwner(), 1);
  EXPECT_EQ(a->TreeIndex(), 1);
  EXPECT_EQ(b->TreeIndex(), 1 + 3);  // 1 plus the size of a's subtree
  EXPECT_EQ(b->PreviousInTree(), a2);
  EXPECT_EQ(a1->PreviousInTree(), a);
  EXPECT_EQ(root->PreviousInTree(), nullptr);
  EXPECT_EQ(a2->Root(), root.get());
  EXPECT_EQ(root->ChildCount(), 2);
  EXPECT_EQ(root->ChildAt(1), b);
  EXPECT_EQ(root->ChildAt(2), nullptr);

  std::vector<TNode *> all, shallow;
  root->CollectNodes(all, true);
  root->CollectNodes(shallow, false);
  EXPECT_EQ(all, (std::vector<TNode *>{root.get(), a, a1, a2, b}));
  EXPECT_EQ(shallow, (std::vector<TNode *>{root.get(), a, b}));
  // A stored tree index finds the same node again.
  EXPECT_EQ(all[size_t(b->TreeIndex())], b);
}

TEST(Node, DispatchAndBroadcastOrders) {
  std::string log;
  TNodePtr<TLoggingNode> r = MakeNode<TLoggingNode>("r", &log);
  auto *a = new TLoggingNode("a", &log), *a1 = new TLoggingNode("a1", &log), *b = new TLoggingNode("b", &log);
  a->SetOwner(r.get());
  a1->SetOwner(a);
  b->SetOwner(r.get());
  log.clear();

  EXPECT_TRUE(a1->Dispatch(7));
  EXPECT_FALSE(a1->Dispatch(1));
  log.clear();
  a1->DispatchUp(1);
  EXPECT_EQ(log, "a1:1 a:1 r:1 ");
  log.clear();
  a1->DispatchToOwners(1);
  EXPECT_EQ(log, "a:1 r:1 ");
  log.clear();
  r->Broadcast(2, 0, true, true);
  EXPECT_EQ(log, "r:2 a:2 a1:2 b:2 ");
  log.clear();
  r->Broadcast(3, 0, true, false);
  EXPECT_EQ(log, "b:3 a1:3 a:3 r:3 ");
  log.clear();
  r->Broadcast(4, 0, false, true);
  EXPECT_EQ(log, "r:4 a:4 b:4 ");
}

TEST(Notifier, PostsNewestFirstAndSaysGoodbyeOnDestruction) {
  std::string log;
  struct TClient {
    std::string *Log;
    char Name;
  };
  TClient x{&log, 'x'}, y{&log, 'y'};
  TNotifierCallback cb = [](void *target, TNotifier *, const TNotify *n) {
    auto *c = static_cast<TClient *>(target);
    *c->Log += c->Name;
    *c->Log += n ? std::to_string(static_cast<const TFlagsNotify *>(n)->Flags()) : std::string("-");
  };
  {
    TNotifier notifier;
    notifier.Subscribe(cb, &x);
    notifier.Subscribe(cb, &y);
    notifier.PostFlags(5);
    EXPECT_EQ(log, "y5x5");
    log.clear();
  }
  EXPECT_EQ(log, "y-x-");
}

}  // namespace
