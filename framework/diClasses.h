// The element tree: elements with identity, kind flags and validation state; the scheme that owns one
// document; element class descriptors and the registry of classes by group.
#pragma once

#include "cuClasses.h"
#include "diMessages.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class TElement;
class TKnot;
class TPaletteItem;
struct TPaletteItemTune;
class TScheme;
class TSchemeFiler;
class TSchemeLoader;
class TSchemeSaver;
class TUndoRedo;

using TPaletteItemList = std::vector<TPaletteItem *>;

// ---------------------------------------------------------------------------------------------------------
// Kind flags (TElement::Options), fixed by each kind's constructor.
constexpr std::uint8_t efPart = 0x01;        // an internal part of its owner, created by the owner itself
constexpr std::uint8_t efInlinePart = 0x02;  // the part files into its owner's knot (not in snapshot mode)
constexpr std::uint8_t efTransient = 0x04;   // filed only in snapshot mode
constexpr std::uint8_t efKeepsId = 0x08;     // "ID" is filed in every mode
constexpr std::uint8_t efComment = 0x10;     // left out by a filer with foSkipComments
constexpr std::uint8_t efUnaccepted = 0x20;  // left out by a filer with foSkipUnaccepted
constexpr std::uint8_t efChecked = 0x40;     // validated, revalidated when its state changes
constexpr std::uint8_t efRequired = 0x80;    // an unfilled element gets the message of sidValueRequired

// Run-time states (TElement::State).
constexpr std::uint8_t esDestroying = 0x01;
constexpr std::uint8_t esMarked = 0x02;
constexpr std::uint8_t esInserted = 0x04;      // loaded by a filer with foInsert
constexpr std::uint8_t esFilled = 0x08;        // cached IsFilled
constexpr std::uint8_t esNotEmpty = 0x10;      // cached negation of IsEmpty
constexpr std::uint8_t esCheckPending = 0x20;  // waits in the scheme's deferred-check list

// Filer modes.
enum TFilerMode : std::uint8_t { fmDocument = 0, fmClipboard = 1, fmSnapshot = 2 };

// Filer options.
constexpr std::uint8_t foInsert = 0x01;
constexpr std::uint8_t foDocumentSave = 0x02;
constexpr std::uint8_t foClipboardCopy = 0x04;
constexpr std::uint8_t foNoPositions = 0x08;  // floating elements file no "Left"/"Top"
constexpr std::uint8_t foSkipDisabled = 0x10;
constexpr std::uint8_t foSkipUnaccepted = 0x20;
constexpr std::uint8_t foSkipComments = 0x40;
constexpr std::uint8_t foAskEachElement = 0x80;  // ExcludeFromFiling is asked

// Element notification codes (TNode::Dispatch and Broadcast).
enum TElementNotification {
  enOwnerChainChanged = 2,
  enDestroying = 3,
  enSchemeEvent = 4,
  enFilledChanged = 5,
  enEmptyChanged = 6,
  enChanged = 7,
};

// ---------------------------------------------------------------------------------------------------------
// Element classes. Every kind has one descriptor, defined with QN_ELEMENT_CLASS in its class and
// QN_DEFINE_ELEMENT_CLASS in its source file; class groups, accepted-class lists and creation by XML name
// refer to kinds through these.

class TElementClass {
public:
  using TFactory = TElement *(*)();
  using TAcceptsOwner = bool (*)(const TElement &owner);

  // `className` is the kind's class name ("TElement_Star"); a null factory marks an abstract class.
  TElementClass(const char *className, const TElementClass *base, TFactory factory, TAcceptsOwner acceptsOwner);
  TElementClass(const TElementClass &) = delete;
  TElementClass &operator=(const TElementClass &) = delete;

  const QString &ClassName() const { return FClassName; }
  // The class name without its first 9 characters (the "TElement_" prefix): the kind's tag in files.
  const QString &TypeName() const { return FTypeName; }
  const TElementClass *Base() const { return FBase; }
  // This class or one it derives from is `other`.
  bool InheritsFrom(const TElementClass &other) const;
  bool IsAbstract() const { return FFactory == nullptr; }
  // The class-level test whether an element of this class may be placed inside `owner`.
  bool AcceptsOwner(const TElement &owner) const { return FAcceptsOwner(owner); }
  // A new, unregistered element of this class; only the creation functions below call it.
  TElement *NewInstance() const;

private:
  QString FClassName;
  QString FTypeName;
  const TElementClass *FBase;
  TFactory FFactory;
  TAcceptsOwner FAcceptsOwner;
};

using TElementClassList = std::vector<const TElementClass *>;

// Appends `elementClass` unless the list holds it already.
void AddAcceptedClass(TElementClassList &list, const TElementClass *elementClass);

// In a kind's class body: the descriptor and the virtual that answers it. A kind that refuses some owners
// declares its own `static bool AcceptsOwner(const TElement &owner)`.
#define QN_ELEMENT_CLASS(Self)                                                  \
public:                                                                         \
  static const TElementClass &Class();                                          \
  const TElementClass &GetClass() const override { return Self::Class(); }      \
                                                                                \
private:

// In the kind's source file.
#define QN_DEFINE_ELEMENT_CLASS(Self, BaseClass)                                                              \
  const TElementClass &Self::Class() {                                                                        \
    static const TElementClass descriptor(#Self, &BaseClass::Class(), []() -> TElement * { return new Self; }, \
                                          &Self::AcceptsOwner);                                               \
    return descriptor;                                                                                        \
  }
#define QN_DEFINE_ABSTRACT_ELEMENT_CLASS(Self, BaseClass)                                               \
  const TElementClass &Self::Class() {                                                                  \
    static const TElementClass descriptor(#Self, &BaseClass::Class(), nullptr, &Self::AcceptsOwner);    \
    return descriptor;                                                                                  \
  }

// ---------------------------------------------------------------------------------------------------------
// Creation. The element is allocated, registered with `scheme` (which assigns its ID), its Create runs, and
// it is inserted into `owner` before `before` (at the end when `before` is null). Either of scheme and
// owner may be null; an element created without owner belongs to the caller (free it with Free or hold it
// in a TNodePtr). When Create raises, the element is freed and the error passes on.
TElement *CreateElement(const TElementClass &elementClass, TScheme *scheme, TElement *owner, TElement *before);
// The same for an internal part of `owner`: efPart is set before anything else, the scheme is the owner's.
TElement *CreatePart(const TElementClass &elementClass, TElement *owner, TElement *before);

template <class T> T *CreateElement(TScheme *scheme, TElement *owner, TElement *before = nullptr) {
  return static_cast<T *>(CreateElement(T::Class(), scheme, owner, before));
}
template <class T> T *CreatePart(TElement *owner, TElement *before = nullptr) {
  return static_cast<T *>(CreatePart(T::Class(), owner, before));
}

// The process-wide identity counter: each registration takes its next value, so the first element of a
// process gets 1; a restored identity raises it so that later elements never collide with restored ones.
std::int32_t NextElementId();
void RaiseElementIdCounter(std::int32_t id);

// ---------------------------------------------------------------------------------------------------------
// TElement. An element's owner is an element (or none); its children are its parts and its free children.

class TElement : public TNode {
public:
  TElement() = default;

  static const TElementClass &Class();
  virtual const TElementClass &GetClass() const { return Class(); }
  // The node family of every element (see TNode::Family).
  static const void *ElementFamily();
  const void *Family() const final { return ElementFamily(); }
  // Every element may go into every owner unless its kind says otherwise.
  static bool AcceptsOwner(const TElement &) { return true; }

  TScheme *Scheme() const { return FScheme; }
  std::int32_t ID() const { return FID; }
  // Gives the element a new identity (a snapshot load restores the stored one) and keeps the scheme's
  // index in step; the caller calls IdChanged.
  void SetID(std::int32_t id);
  std::uint8_t State() const { return FState; }
  std::uint8_t Options() const { return FOptions; }
  bool IsPart() const { return FOptions & efPart; }
  bool IsDestroying() const { return FState & esDestroying; }
  bool IsRequired() const { return FOptions & efRequired; }
  void SetStateFlag(std::uint8_t flag, bool on);

  TElement *OwnerElement() const { return static_cast<TElement *>(Owner()); }
  TElement *FirstChildElement() const { return static_cast<TElement *>(FirstChild()); }
  TElement *LastChildElement() const { return static_cast<TElement *>(LastChild()); }
  TElement *NextElement() const { return static_cast<TElement *>(Next()); }
  TElement *PreviousElement() const { return static_cast<TElement *>(Previous()); }
  // Follows the owner chain while the element is a part: the first element that is not one.
  TElement *OwnerElementOfParts();

  // UpdateFilled, UpdateEmpty, Check.
  void Validate();
  void UpdateFilled();
  void UpdateEmpty();
  // Rebuilds the element's messages (deferred while its scheme loads).
  void Check();
  bool IsFilledState() const { return FState & esFilled; }
  bool IsEmptyState() const { return !(FState & esNotEmpty); }
  // No message of kinds 2 to 5.
  bool HasNoProblems() const { return !FMessages || !FMessages->HasKind(mkProblemsMask); }
  // The messages, or null while there are none.
  TElementMessages *Messages() const { return FMessages.get(); }
  // The messages, created on first use.
  TElementMessages &GetMessages();

  // Stores the options and calls OptionsChanged when they differ.
  void SetOptions(std::uint8_t options);
  // Notification enSchemeEvent with `p` to the element and its whole subtree.
  void BroadcastSchemeEvent(TNotifyArg p);
  // GetAcceptedClasses, less the classes that refuse this element as owner.
  void CollectAcceptedClasses(TElementClassList &list);

  // Element virtual operations.
  // A false answer skips the element's own checks.
  virtual bool CanCheck() { return true; }
  // Restore dependent data when an element operation is redone or undone.
  virtual void ApplyRedoData(TKnot &knot) {}
  virtual void ApplyUndoData(TKnot &knot) {}
  // Adds the element's own messages; called by Check only when the element is filled.
  virtual void CheckValue() {}
  // The classes that may be placed inside; a part asks its owner.
  virtual void GetAcceptedClasses(TElementClassList &list);
  virtual bool IsFilled() { return false; }
  virtual bool IsEmpty() { return !IsFilledState(); }
  virtual void SchemeEvent(TNotifyArg p) {}
  virtual void OptionsChanged(std::uint8_t oldOptions);
  // Questions about a part, answered by the owner of parts; a part forwards them to its own owner.
  virtual void GetPartAcceptedClasses(TElement *part, TElementClassList &list);
  virtual void GetPartHint(TElement *part, QString &text);
  // The palette items offered for a part (after the part's own), and how one of them is shown on the part.
  virtual void GetPartPaletteItems(TElement *part, TPaletteItemList &list);
  virtual void TunePartPaletteItem(TElement *part, TPaletteItem &item, TPaletteItemTune &tune);
  virtual void GetPartKnotName(TElement *part, TFilerMode mode, QString &name);
  virtual void FilledChanged() { Dispatch(enFilledChanged); }
  // Rewrites the references to the old identity in the element's messages.
  virtual void IdChanged(std::int32_t oldId);
  virtual void EmptyChanged() { Dispatch(enEmptyChanged); }
  virtual void MessagesChanged() {}
  virtual void OwnerChainChanged() {}
  // False for a transient part outside snapshot mode and for a comment part under foSkipComments.
  virtual bool ShouldFilePart(TSchemeFiler &filer, TElement *part);
  // Offered every notification of a child first; true when handled.
  virtual bool ChildNotification(TElement *child, int code, TNotifyArg q, TNotifyArg p) { return false; }
  virtual void Revalidate() { Check(); }
  // Validate, then (unless destroying) notification enChanged.
  virtual void Changed();
  // The virtual constructor: runs after registration, before insertion; kinds create their parts here.
  virtual void Create() {}
  // Filing. The framework's share: in snapshot mode the identity ("ID"; a load restores it and raises the
  // process counter), with efKeepsId the identity in every mode, then the parts in child order (inline
  // parts in this knot, the others in child knots named by GetKnotName; transient ones only in snapshots).
  // Kinds read and write their own data before or after calling these.
  virtual void Load(TSchemeLoader &filer, TKnot &knot);
  virtual void Save(TSchemeSaver &filer, TKnot &knot);
  // Saves the element into `knot` with a saver of that mode and those options.
  void SaveToKnot(TKnot &knot, TFilerMode mode, std::uint8_t options);
  // Appends the element's text: the text of every part, in child order.
  virtual void GetText(QString &builder);
  // Asked only under foAskEachElement.
  virtual bool ExcludeFromFiling(TSchemeFiler &filer, TKnot &knot) { return false; }
  // A part with efInlinePart outside snapshot mode.
  virtual bool IsFiledInline(TSchemeFiler &filer);
  // The owner's GetPartKnotName for this element.
  virtual void GetKnotName(TFilerMode mode, QString &name);

protected:
  ~TElement() override;
  // For constructors: the kind flags, stored without OptionsChanged.
  void InitOptions(std::uint8_t options) { FOptions = options; }
  // Offers the notification to the owner's ChildNotification, then handles enOwnerChainChanged,
  // enDestroying and enSchemeEvent.
  bool Notification(int code, TNotifyArg a, TNotifyArg b) override;
  void OwnerChanged() override;
  void OwnerChanging(TNode *newOwner, TNode *before) override;
  // Marks the subtree destroying (once, from the topmost freed element) and leaves the scheme.
  void Freeing() override;

private:
  friend class TScheme;
  friend TElement *CreateElement(const TElementClass &, TScheme *, TElement *, TElement *);
  friend TElement *CreatePart(const TElementClass &, TElement *, TElement *);
  struct IdLinks;
  struct PendingLinks;
  // Sends `code` to the element and its whole subtree, pre-order, without recursion.
  void BroadcastDown(int code, TNotifyArg a);

  TScheme *FScheme = nullptr;
  std::int32_t FID = 0;
  std::uint8_t FState = 0;
  std::uint8_t FOptions = 0;
  std::unique_ptr<TElementMessages> FMessages;
  // The scheme's bookkeeping: registration order, the chain of elements sharing this ID, the
  // deferred-check list.
  std::uint64_t FRegistration = 0;
  TElement *FIdNext = nullptr;
  TElement *FIdPrevious = nullptr;
  TElement *FPendingNext = nullptr;
  TElement *FPendingPrevious = nullptr;
};

// ---------------------------------------------------------------------------------------------------------
// TScheme: one document. It owns the root element, registers every element created with it (finding one by
// ID in constant time), defers checks while loaders work, and carries the file name, the read-only flag,
// the undo/redo engine and the message sink.

enum TSchemeNotification { snFileNameChanged = 1, snReadOnlyChanged = 3 };

class TScheme : public TItfObject {
public:
  // Creates the root with create(rootClass, this scheme, none, none) when a root class is given.
  TScheme(const TElementClass *rootClass, QString rootName);
  // Frees the root and its tree; elements of the scheme still alive elsewhere forget it.
  ~TScheme() override;

  TElement *Root() const { return FRoot.get(); }
  const TElementClass *RootClass() const { return FRootClass; }
  const QString &RootName() const { return FRootName; }
  const QString &FileName() const { return FFileName; }
  void SetFileName(const QString &name);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool readOnly);
  // The engine that records the scheme's operations, or null (they then run once); not owned.
  TUndoRedo *UndoRedo() const { return FUndoRedo; }
  void SetUndoRedo(TUndoRedo *undoRedo) { FUndoRedo = undoRedo; }
  // Where loaders report problems, or null; not owned.
  TElementMessages *Messages() const { return FMessages; }
  void SetMessages(TElementMessages *messages) { FMessages = messages; }
  int UpdateCount() const { return FUpdateCount; }

  // Records the element and answers its new identity.
  std::int32_t RegisterElement(TElement *element);
  void UnregisterElement(TElement *element);
  // The live element with this ID (the earliest registered when several share it for a moment), or null;
  // ID 0 finds nothing.
  TElement *FindElement(std::int32_t id) const;
  int ElementCount() const { return FElementCount; }

  void BeginMessagesUpdate();
  void EndMessagesUpdate();

  // With an undo/redo engine, opens a grouping operation with that caption on it (diElementOperations);
  // EndGroup closes it. Groups nest; only the outermost one is recorded, and only when something ran in it.
  void BeginGroup(const QString &caption);
  void EndGroup();

  // Queues the element's check until the last loader finishes, once, in request order.
  void DeferCheck(TElement *element);
  int PendingCheckCount() const { return FPendingCount; }
  void BeginLoad();
  // The last EndLoad runs the queued checks.
  void EndLoad();

  // Filing. LoadFromFile sets the file name, reads the file into a knot tree and loads the root from it
  // as a document; its errors pass on. LoadFromKnot loads `element` from `knot` in `mode`, reporting into
  // the message sink. SaveToKnot names `knot` after RootName, writes "FormatVersion" and saves `element`.
  // SaveToFile writes the root as a document into a new "Rplc<n>.tmp" beside `fileName` and renames it
  // over `fileName` in one step, so that a failure leaves the old file whole; the file name becomes
  // `fileName`, and goes back to the old one when `restoreName` is set or the save fails.
  void LoadFromFile(const QString &fileName);
  void LoadFromKnot(TElement &element, TFilerMode mode, TKnot &knot);
  void SaveToFile(const QString &fileName, bool restoreName);
  void SaveToKnot(TElement &element, TFilerMode mode, TKnot &knot, std::uint8_t options);

private:
  friend class TElement;
  struct TIdChain {
    TElement *First = nullptr;
    TElement *Last = nullptr;
  };
  // Identities are mostly handed out in sequence, so the index holds them in blocks of consecutive IDs:
  // a large load fills one block after another instead of touching a random bucket per element, and the
  // map holds one entry per block. A block goes when its last chain empties. The map chains its buckets,
  // so erasing stays constant-time however the block numbers cluster.
  static constexpr int IdBlockBits = 5;
  struct TIdBlock {
    TIdChain Chains[1 << IdBlockBits];
    int Used = 0;
  };
  static std::uint32_t IdBlockKey(std::int32_t id) { return std::uint32_t(id) >> IdBlockBits; }
  static int IdSlot(std::int32_t id) { return int(std::uint32_t(id) & ((1u << IdBlockBits) - 1)); }
  void IndexId(TElement *element);
  void UnindexId(TElement *element);
  void RemovePending(TElement *element);

  QString FFileName;
  TElementMessages *FMessages = nullptr;
  TNodePtr<TElement> FRoot;
  const TElementClass *FRootClass;
  QString FRootName;
  bool FReadOnly = false;
  TUndoRedo *FUndoRedo = nullptr;
  int FUpdateCount = 0;

  std::unordered_map<std::uint32_t, std::unique_ptr<TIdBlock>> FIds;
  // The block of the last ID indexed: consecutive registrations find it without hashing.
  TIdBlock *FLastIdBlock = nullptr;
  std::uint32_t FLastIdBlockKey = 0;
  std::uint64_t FRegistrations = 0;
  int FElementCount = 0;
  TElement *FPendingFirst = nullptr;
  TElement *FPendingLast = nullptr;
  int FPendingCount = 0;
};

// ---------------------------------------------------------------------------------------------------------
// TClassesGroups: the process-wide registry of element classes by group, from which containers answer
// which kinds they accept. Four groups exist from the start.

enum TClassesGroup { cgBlockElements = 0, cgInlineElements = 1 };

class TClassesGroups {
public:
  static TClassesGroups &Instance();

  int GroupCount() const { return int(FGroups.size()); }
  const TElementClassList &Groups(int index) const { return FGroups[size_t(index)]; }
  // Adds an empty group and answers its index.
  int AddGroup();
  // Appends the class to the group (once).
  void Register(int group, const TElementClass &elementClass);
  // Appends the group's classes to an accepted-class list, without duplicates.
  void AddGroupClasses(int group, TElementClassList &list) const;

private:
  TClassesGroups();
  std::vector<TElementClassList> FGroups;
};
