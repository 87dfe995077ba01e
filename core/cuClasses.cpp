#include "cuClasses.h"

// ---------------------------------------------------------------------------------------------------------
// TItfObject

void TItfObject::Subscribe(TNotifyCallback callback, void *target) { FHandlers.push_back({callback, target}); }

int TItfObject::LastIndexOf(const TSubscription &s) const {
  for (int i = int(FHandlers.size()) - 1; i >= 0; --i)
    if (FHandlers[size_t(i)] == s)
      return i;
  return -1;
}

void TItfObject::Unsubscribe(TNotifyCallback callback, void *target) {
  int i = LastIndexOf({callback, target});
  if (i >= 0)
    FHandlers.erase(FHandlers.begin() + i);
}

int TItfObject::IndexOfHandler(TNotifyCallback callback, void *target) const {
  return LastIndexOf({callback, target});
}

void TItfObject::Notify(int code, TNotifyArg a, TNotifyArg b) {
  // The walk re-finds its place after every call, because a callback may change the array: it goes on
  // below the pair just called, or below the last pair known to be called when that one is gone.
  int i = int(FHandlers.size()) - 1;
  TSubscription remembered;
  bool haveRemembered = false;
  while (i >= 0) {
    const TSubscription called = FHandlers[size_t(i)];
    called.Callback(called.Target, this, code, a, b);
    if (i < int(FHandlers.size()) && FHandlers[size_t(i)] == called) {
      remembered = called;
      haveRemembered = true;
      --i;
      continue;
    }
    int j = LastIndexOf(called);
    if (j >= 0) {
      i = j - 1;
    } else if (haveRemembered) {
      int k = LastIndexOf(remembered);
      if (k < 0)
        return;
      i = k - 1;
    } else {
      i = int(FHandlers.size()) - 1;
    }
  }
}

// ---------------------------------------------------------------------------------------------------------
// TNode

TNode::~TNode() = default;

void TNode::Free() {
  // Depth-first with an explicit stack: every node is detached (pre-order, last child first) before its
  // own children go, and deleted once it has none left.
  std::vector<TNode *> stack;
  Freeing();
  SetOwner(nullptr);
  stack.push_back(this);
  while (!stack.empty()) {
    TNode *top = stack.back();
    if (TNode *child = top->FLastChild) {
      child->Freeing();
      child->SetOwner(nullptr);
      stack.push_back(child);
    } else {
      stack.pop_back();
      delete top;
    }
  }
}

void TNode::OwnerChanging(TNode *newOwner, TNode *before) {
  if (newOwner)
    newOwner->ChildInserting(this, before);
}

void TNode::Unlink() { Children::Remove(FOwner->FFirstChild, FOwner->FLastChild, this); }

void TNode::LinkInto(TNode *owner, TNode *before) {
  Children::InsertBefore(owner->FFirstChild, owner->FLastChild, this, before);
}

void TNode::MoveTo(TNode *newOwner, TNode *before) {
  if (newOwner == FOwner) {
    if (!newOwner || FNext == before)
      return;
    OwnerChanging(newOwner, before);
    Unlink();
    LinkInto(newOwner, before);
    OwnerChanged();
    newOwner->ChildrenChanged();
    return;
  }
  OwnerChanging(newOwner, before);
  if (TNode *old = FOwner) {
    Unlink();
    FOwner = nullptr;
    OwnerChanged();
    old->ChildrenChanged();
  }
  if (newOwner) {
    LinkInto(newOwner, before);
    FOwner = newOwner;
    OwnerChanged();
    newOwner->ChildrenChanged();
  }
}

void TNode::ClearChildren() {
  while (FLastChild)
    FLastChild->Free();
}

int TNode::IndexInOwner() const { return FOwner ? Children::PositionOf(FOwner->FFirstChild, this) : -1; }

int TNode::ChildCount() const {
  int n = 0;
  for (TNode *c = FFirstChild; c; c = c->FNext)
    ++n;
  return n;
}

TNode *TNode::ChildAt(int index) const { return index < 0 ? nullptr : Children::Walk(FFirstChild, index); }

int TNode::Depth() const {
  int d = 0;
  for (TNode *o = FOwner; o; o = o->FOwner)
    ++d;
  return d;
}

TNode *TNode::Root() {
  TNode *n = this;
  while (n->FOwner)
    n = n->FOwner;
  return n;
}

TNode *TNode::PreviousInTree() const {
  if (TNode *p = FPrevious) {
    while (p->FLastChild)
      p = p->FLastChild;
    return p;
  }
  return FOwner;
}

TNode *TNode::NextInTree(const TNode *stop) const {
  if (FFirstChild)
    return FFirstChild;
  for (const TNode *n = this; n && n != stop; n = n->FOwner)
    if (n->FNext)
      return n->FNext;
  return nullptr;
}

int TNode::TreeIndex() const {
  int i = 0;
  for (const TNode *n = PreviousInTree(); n; n = n->PreviousInTree())
    ++i;
  return i;
}

void TNode::DispatchUp(int code, TNotifyArg a, TNotifyArg b) {
  for (TNode *n = this; n; n = n->FOwner)
    n->Notification(code, a, b);
}

void TNode::DispatchToOwners(int code, TNotifyArg a, TNotifyArg b) {
  for (TNode *n = FOwner; n; n = n->FOwner)
    n->Notification(code, a, b);
}

void TNode::Broadcast(int code, TNotifyArg a, bool deep, bool headFirst, TNotifyArg b) {
  if (headFirst) {
    Notification(code, a, b);
    for (TNode *c = FFirstChild; c; c = c->FNext) {
      if (deep)
        c->Broadcast(code, a, true, true, b);
      else
        c->Notification(code, a, b);
    }
  } else {
    for (TNode *c = FLastChild; c; c = c->FPrevious) {
      if (deep)
        c->Broadcast(code, a, true, false, b);
      else
        c->Notification(code, a, b);
    }
    Notification(code, a, b);
  }
}
