// Subscribable objects, ordered trees of nodes and the intrusive list algorithms they share.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

// The error every layer raises: a text meant for the user, shown in the standard error box by whoever
// catches it at the top of an event. Programming errors use it too, with a plain English text.
class EException : public std::exception {
public:
  explicit EException(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
  const QString &Message() const { return FMessage; }
  const char *what() const noexcept override { return FUtf8.constData(); }

private:
  QString FMessage;
  QByteArray FUtf8;
};

// ---------------------------------------------------------------------------------------------------------
// Intrusive lists. Every member carries its own link fields; `Links` reads and writes them:
//   static T *Next(const T *m);               static void SetNext(T *m, T *next);
//   static T *Previous(const T *m);           static void SetPrevious(T *m, T *previous);   (doubly linked)
// The algorithms never allocate.

template <class T, class Links> struct TDirectionalList {
  // The member n steps after `from` (n >= 0), or nullptr when the list ends first.
  static T *Walk(T *from, int n) {
    while (from && n-- > 0)
      from = Links::Next(from);
    return from;
  }
  // 0-based position of `member` in the list starting at `first`, or -1 when it is not in it.
  static int PositionOf(const T *first, const T *member) {
    int i = 0;
    for (const T *m = first; m; m = Links::Next(m), ++i)
      if (m == member)
        return i;
    return -1;
  }
  // True when `a` comes strictly before `b` in their common list.
  static bool Precedes(const T *a, const T *b) {
    if (!a || a == b)
      return false;
    for (const T *m = Links::Next(a); m; m = Links::Next(m))
      if (m == b)
        return true;
    return false;
  }
  static T *Last(T *first) {
    if (!first)
      return nullptr;
    while (T *n = Links::Next(first))
      first = n;
    return first;
  }
};

template <class T, class Links> struct TUnidirectionalList : TDirectionalList<T, Links> {
  static void Prepend(T *&first, T *member) {
    Links::SetNext(member, first);
    first = member;
  }
  // Appends after `last` (the current last member or nullptr for an empty list) and returns the new last.
  static T *Append(T *&first, T *last, T *member) {
    Links::SetNext(member, nullptr);
    if (last)
      Links::SetNext(last, member);
    else
      first = member;
    return member;
  }
  // Unlinks `member`; returns its predecessor (nullptr when it was first or absent).
  static T *Remove(T *&first, T *member) {
    T *previous = nullptr;
    for (T *m = first; m; previous = m, m = Links::Next(m)) {
      if (m != member)
        continue;
      if (previous)
        Links::SetNext(previous, Links::Next(m));
      else
        first = Links::Next(m);
      Links::SetNext(m, nullptr);
      return previous;
    }
    return nullptr;
  }
};

template <class T, class Links> struct TBidirectionalList : TDirectionalList<T, Links> {
  // Links `member` just before `before`, or at the end when `before` is nullptr. O(1).
  static void InsertBefore(T *&first, T *&last, T *member, T *before) {
    T *previous = before ? Links::Previous(before) : last;
    Links::SetPrevious(member, previous);
    Links::SetNext(member, before);
    if (previous)
      Links::SetNext(previous, member);
    else
      first = member;
    if (before)
      Links::SetPrevious(before, member);
    else
      last = member;
  }
  static void Remove(T *&first, T *&last, T *member) {
    T *previous = Links::Previous(member);
    T *next = Links::Next(member);
    if (previous)
      Links::SetNext(previous, next);
    else
      first = next;
    if (next)
      Links::SetPrevious(next, previous);
    else
      last = previous;
    Links::SetPrevious(member, nullptr);
    Links::SetNext(member, nullptr);
  }
  // Unlinks every member, last first, and hands each to `release` once it is out of the list.
  template <class F> static void RemoveAndFreeAll(T *&first, T *&last, F release) {
    while (T *m = last) {
      Remove(first, last, m);
      release(m);
    }
  }
};

// ---------------------------------------------------------------------------------------------------------
// Subscriptions. A subscription is a (callback, target) pair; the callback gets (target, sender, code, a, b)
// where the meaning of code and of the two untyped arguments belongs to the notifying class.

class TItfObject;
using TNotifyArg = std::intptr_t;
using TNotifyCallback = void (*)(void *target, TItfObject *sender, int code, TNotifyArg a, TNotifyArg b);

struct TSubscription {
  TNotifyCallback Callback = nullptr;
  void *Target = nullptr;
  bool operator==(const TSubscription &) const = default;
};

template <class M> struct MethodClass;
template <class C, class R, class... A> struct MethodClass<R (C::*)(A...)> {
  using Type = C;
};

// Binds a member function `void C::M(TItfObject *sender, int code, TNotifyArg a, TNotifyArg b)` to the
// plain callback form, so that `Subscribe(NotifyMethod<&C::M>, this)` and `Unsubscribe` with the same
// arguments name the same pair.
template <auto Method> void NotifyMethod(void *target, TItfObject *sender, int code, TNotifyArg a, TNotifyArg b) {
  using Owner = typename MethodClass<decltype(Method)>::Type;
  (static_cast<Owner *>(target)->*Method)(sender, code, a, b);
}

class TItfObject {
public:
  TItfObject() = default;
  TItfObject(const TItfObject &) = delete;
  TItfObject &operator=(const TItfObject &) = delete;
  virtual ~TItfObject() = default;

  void Subscribe(TNotifyCallback callback, void *target);
  // Removes the last occurrence of the pair; nothing happens when it is absent.
  void Unsubscribe(TNotifyCallback callback, void *target);
  // Index of the last occurrence of the pair, or -1.
  int IndexOfHandler(TNotifyCallback callback, void *target) const;
  int HandlerCount() const { return int(FHandlers.size()); }

  // Calls the subscriptions newest first. A callback may subscribe or unsubscribe any pair, itself
  // included; pairs added during the walk are not called by it, and every pair present throughout is
  // called exactly once. A callback's exception ends the walk and reaches the caller.
  virtual void Notify(int code, TNotifyArg a = 0, TNotifyArg b = 0);

private:
  int LastIndexOf(const TSubscription &s) const;
  std::vector<TSubscription> FHandlers;
};

// ---------------------------------------------------------------------------------------------------------
// Nodes of ordered trees. A node owns its children. Nodes are created with `new`, attached with
// SetOwner/MoveTo and destroyed only through Free() (or a TNodePtr, which calls it): Free runs the
// destruction steps while the object is still whole, so derived classes see their hooks; destructors
// only release memory.

class TNode : public TItfObject {
public:
  TNode() = default;

  // Destroys the node and its subtree: Freeing() on the node, SetOwner(nullptr) with its notifications,
  // then the children as ClearChildren does, then the object. Iterative, so any depth is safe.
  void Free();

  TNode *Owner() const { return FOwner; }
  TNode *FirstChild() const { return FFirstChild; }
  TNode *LastChild() const { return FLastChild; }
  TNode *Next() const { return FNext; }
  TNode *Previous() const { return FPrevious; }
  bool HasChildren() const { return FFirstChild != nullptr; }

  void SetOwner(TNode *newOwner) { MoveTo(newOwner, nullptr); }
  // Links the node into newOwner's children just before `before` (a child of newOwner other than the
  // node), or at the end when `before` is nullptr; a newOwner of nullptr detaches it.
  void MoveTo(TNode *newOwner, TNode *before);
  // Frees the children, always the current last one first, until none is left.
  void ClearChildren();

  int IndexInOwner() const;
  int ChildCount() const;
  TNode *ChildAt(int index) const;
  int Depth() const;
  TNode *Root();
  TNode *PreviousInTree() const;
  TNode *NextInTree(const TNode *stop = nullptr) const;
  int TreeIndex() const;

  // Appends the node and its children (all descendants when deep) in pre-order, keeping only nodes for
  // which `keep` answers true (all when it is empty).
  template <class T = TNode> void CollectNodes(std::vector<T *> &list, bool deep) {
    CollectNodesIf(list, deep, [](TNode *n) { return dynamic_cast<T *>(n) != nullptr; });
  }
  template <class T, class Pred> void CollectNodesIf(std::vector<T *> &list, bool deep, Pred keep) {
    const TNode *stop = this;
    for (TNode *n = this; n; n = deep ? n->NextInTree(stop) : (n == this ? FFirstChild : n->FNext))
      if (keep(n))
        list.push_back(static_cast<T *>(n));
  }

  bool Dispatch(int code, TNotifyArg a = 0, TNotifyArg b = 0) { return Notification(code, a, b); }
  void DispatchUp(int code, TNotifyArg a = 0, TNotifyArg b = 0);
  void DispatchToOwners(int code, TNotifyArg a = 0, TNotifyArg b = 0);
  void Broadcast(int code, TNotifyArg a, bool deep, bool headFirst, TNotifyArg b = 0);

  // A family of node classes (the elements, say) answers one tag of its own, so that the family can test
  // whether a node belongs to it in the tree's hot paths, where dynamic_cast would walk the class
  // hierarchy comparing type names. Null for nodes of no family.
  virtual const void *Family() const { return nullptr; }

protected:
  ~TNode() override;

  // Hooks, in the order the tree calls them.
  virtual bool Notification(int code, TNotifyArg a, TNotifyArg b) { return false; }
  virtual void OwnerChanged() {}
  virtual void ChildrenChanged() {}
  virtual void ChildInserting(TNode *child, TNode *before) {}
  virtual void OwnerChanging(TNode *newOwner, TNode *before);
  // Called once by Free() before anything is detached: the last moment the node sees its owner.
  virtual void Freeing() {}

private:
  struct ChildLinks {
    static TNode *Next(const TNode *n) { return n->FNext; }
    static TNode *Previous(const TNode *n) { return n->FPrevious; }
    static void SetNext(TNode *n, TNode *v) { n->FNext = v; }
    static void SetPrevious(TNode *n, TNode *v) { n->FPrevious = v; }
  };
  using Children = TBidirectionalList<TNode, ChildLinks>;

  void Unlink();
  void LinkInto(TNode *owner, TNode *before);

  TNode *FOwner = nullptr;
  TNode *FFirstChild = nullptr;
  TNode *FLastChild = nullptr;
  TNode *FNext = nullptr;
  TNode *FPrevious = nullptr;
};

struct TNodeDeleter {
  void operator()(TNode *node) const {
    if (node)
      node->Free();
  }
};
// Sole ownership of a root (or a detached node) held outside any tree.
template <class T> using TNodePtr = std::unique_ptr<T, TNodeDeleter>;
template <class T, class... A> TNodePtr<T> MakeNode(A &&...args) {
  return TNodePtr<T>(new T(std::forward<A>(args)...));
}
