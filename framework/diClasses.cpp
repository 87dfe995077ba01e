#include "diClasses.h"

#include "cuLocalization.h"
#include "cuUndoRedo.h"
#include "diElementOperations.h"

#include <atomic>

// ---------------------------------------------------------------------------------------------------------
// Element classes

TElementClass::TElementClass(const char *className, const TElementClass *base, TFactory factory,
                             TAcceptsOwner acceptsOwner)
    : FClassName(QString::fromLatin1(className)), FTypeName(FClassName.mid(9)), FBase(base), FFactory(factory),
      FAcceptsOwner(acceptsOwner) {}

bool TElementClass::InheritsFrom(const TElementClass &other) const {
  for (const TElementClass *c = this; c; c = c->FBase)
    if (c == &other)
      return true;
  return false;
}

TElement *TElementClass::NewInstance() const {
  if (!FFactory)
    throw EException(QStringLiteral("Cannot create an element of the abstract class %1").arg(FClassName));
  return FFactory();
}

void AddAcceptedClass(TElementClassList &list, const TElementClass *elementClass) {
  for (const TElementClass *c : list)
    if (c == elementClass)
      return;
  list.push_back(elementClass);
}

namespace {
std::atomic<std::int32_t> GElementIdCounter{0};

TElement *Construct(TElement *element, TScheme *scheme, TElement *owner, TElement *before) {
  // The element is not in any tree until the end, so a failure frees it alone.
  try {
    if (scheme)
      scheme->RegisterElement(element);
    element->Create();
    if (owner)
      element->MoveTo(owner, before);
  } catch (...) {
    element->Free();
    throw;
  }
  return element;
}
}  // namespace

std::int32_t NextElementId() {
  // A restored identity near the top of the range makes the counter wrap; 0 (no identity) is skipped.
  std::int32_t id;
  do
    id = std::int32_t(std::uint32_t(GElementIdCounter.fetch_add(1)) + 1u);
  while (id == 0);
  return id;
}

void RaiseElementIdCounter(std::int32_t id) {
  std::int32_t current = GElementIdCounter.load();
  while (current < id && !GElementIdCounter.compare_exchange_weak(current, id)) {
  }
}

TElement *CreateElement(const TElementClass &elementClass, TScheme *scheme, TElement *owner, TElement *before) {
  return Construct(elementClass.NewInstance(), scheme, owner, before);
}

TElement *CreatePart(const TElementClass &elementClass, TElement *owner, TElement *before) {
  TElement *element = elementClass.NewInstance();
  element->FOptions |= efPart;
  return Construct(element, owner ? owner->Scheme() : nullptr, owner, before);
}

// ---------------------------------------------------------------------------------------------------------
// TElement

struct TElement::IdLinks {
  static TElement *Next(const TElement *e) { return e->FIdNext; }
  static TElement *Previous(const TElement *e) { return e->FIdPrevious; }
  static void SetNext(TElement *e, TElement *v) { e->FIdNext = v; }
  static void SetPrevious(TElement *e, TElement *v) { e->FIdPrevious = v; }
};
struct TElement::PendingLinks {
  static TElement *Next(const TElement *e) { return e->FPendingNext; }
  static TElement *Previous(const TElement *e) { return e->FPendingPrevious; }
  static void SetNext(TElement *e, TElement *v) { e->FPendingNext = v; }
  static void SetPrevious(TElement *e, TElement *v) { e->FPendingPrevious = v; }
};

const TElementClass &TElement::Class() {
  static const TElementClass descriptor("TElement", nullptr, []() -> TElement * { return new TElement; },
                                        &TElement::AcceptsOwner);
  return descriptor;
}

TElement::~TElement() = default;

void TElement::SetID(std::int32_t id) {
  if (id == FID)
    return;
  if (FScheme)
    FScheme->UnindexId(this);
  FID = id;
  if (FScheme)
    FScheme->IndexId(this);
}

void TElement::SetStateFlag(std::uint8_t flag, bool on) {
  if (on)
    FState |= flag;
  else
    FState &= std::uint8_t(~flag);
}

TElement *TElement::OwnerElementOfParts() {
  TElement *e = this;
  while (e && e->IsPart())
    e = e->OwnerElement();
  return e;
}

void TElement::Validate() {
  UpdateFilled();
  UpdateEmpty();
  Check();
}

void TElement::UpdateFilled() {
  if (IsDestroying())
    return;
  const bool filled = IsFilled();
  if (filled == IsFilledState())
    return;
  SetStateFlag(esFilled, filled);
  FilledChanged();
}

void TElement::UpdateEmpty() {
  if (IsDestroying())
    return;
  const bool empty = IsEmpty();
  if (empty == IsEmptyState())
    return;
  SetStateFlag(esNotEmpty, !empty);
  EmptyChanged();
}

void TElement::Check() {
  if (IsDestroying())
    return;
  if (FScheme && FScheme->UpdateCount() > 0) {
    FScheme->DeferCheck(this);
    return;
  }
  const bool hadNoProblems = HasNoProblems();
  if (FMessages)
    FMessages->Clear();
  if (CanCheck()) {
    if (IsFilledState())
      CheckValue();
    else if (IsRequired())
      GetMessages().AddElementMessage(mkRequired, LoadString(sidValueRequired), QString::number(FID));
  }
  if (FMessages && FMessages->Count() == 0)
    FMessages.reset();
  if (HasNoProblems() != hadNoProblems)
    MessagesChanged();
}

TElementMessages &TElement::GetMessages() {
  if (!FMessages)
    FMessages = std::make_unique<TElementMessages>();
  return *FMessages;
}

void TElement::SetOptions(std::uint8_t options) {
  if (options == FOptions)
    return;
  const std::uint8_t old = FOptions;
  FOptions = options;
  OptionsChanged(old);
}

void TElement::OptionsChanged(std::uint8_t oldOptions) {
  if (((oldOptions ^ FOptions) & (efChecked | efRequired)) && (FOptions & efChecked))
    Validate();
}

void TElement::BroadcastDown(int code, TNotifyArg a) {
  for (TNode *n = this; n; n = n->NextInTree(this))
    n->Dispatch(code, a);
}

void TElement::BroadcastSchemeEvent(TNotifyArg p) { BroadcastDown(enSchemeEvent, p); }

void TElement::CollectAcceptedClasses(TElementClassList &list) {
  GetAcceptedClasses(list);
  for (size_t i = list.size(); i-- > 0;)
    if (!list[i]->AcceptsOwner(*this))
      list.erase(list.begin() + std::ptrdiff_t(i));
}

void TElement::GetAcceptedClasses(TElementClassList &list) {
  if (IsPart() && OwnerElement())
    OwnerElement()->GetPartAcceptedClasses(this, list);
}

void TElement::GetPartAcceptedClasses(TElement *part, TElementClassList &list) {
  if (IsPart() && OwnerElement())
    OwnerElement()->GetPartAcceptedClasses(part, list);
}

void TElement::GetPartHint(TElement *part, QString &text) {
  if (IsPart() && OwnerElement())
    OwnerElement()->GetPartHint(part, text);
}

void TElement::GetPartPaletteItems(TElement *part, TPaletteItemList &list) {
  if (IsPart() && OwnerElement())
    OwnerElement()->GetPartPaletteItems(part, list);
}

void TElement::TunePartPaletteItem(TElement *part, TPaletteItem &item, TPaletteItemTune &tune) {
  if (IsPart() && OwnerElement())
    OwnerElement()->TunePartPaletteItem(part, item, tune);
}

void TElement::GetPartKnotName(TElement *part, TFilerMode mode, QString &name) {
  if (IsPart() && OwnerElement())
    OwnerElement()->GetPartKnotName(part, mode, name);
  else
    name.clear();
}

void TElement::GetKnotName(TFilerMode mode, QString &name) {
  if (TElement *owner = OwnerElement())
    owner->GetPartKnotName(this, mode, name);
  else
    name.clear();
}

void TElement::IdChanged(std::int32_t oldId) {
  if (FMessages)
    FMessages->ReplaceElementReference(QString::number(oldId), QString::number(FID));
}

void TElement::Changed() {
  Validate();
  if (!IsDestroying())
    Dispatch(enChanged);
}

void TElement::GetText(QString &builder) {
  for (TElement *c = FirstChildElement(); c; c = c->NextElement())
    if (c->IsPart())
      c->GetText(builder);
}

bool TElement::Notification(int code, TNotifyArg a, TNotifyArg b) {
  if (TElement *owner = OwnerElement(); owner && owner->ChildNotification(this, code, b, a))
    return true;
  switch (code) {
    case enOwnerChainChanged:
      OwnerChainChanged();
      return true;
    case enDestroying:
      FState |= esDestroying;
      return true;
    case enSchemeEvent:
      SchemeEvent(a);
      return true;
    default:
      return false;
  }
}

void TElement::OwnerChanged() {
  // A subtree that is being freed has nothing left to recompute; skipping it keeps freeing linear.
  if (!IsDestroying())
    BroadcastDown(enOwnerChainChanged, 0);
}

const void *TElement::ElementFamily() {
  static const char tag = 0;
  return &tag;
}

void TElement::OwnerChanging(TNode *newOwner, TNode *before) {
  if (newOwner && newOwner->Family() != ElementFamily())
    throw EException(QStringLiteral("An element can only be placed inside an element"));
  TNode::OwnerChanging(newOwner, before);
}

void TElement::Freeing() {
  if (!IsDestroying())
    BroadcastDown(enDestroying, 0);
  if (FScheme)
    FScheme->UnregisterElement(this);
  FMessages.reset();
}

// ---------------------------------------------------------------------------------------------------------
// TScheme

TScheme::TScheme(const TElementClass *rootClass, QString rootName)
    : FRootClass(rootClass), FRootName(std::move(rootName)) {
  if (rootClass)
    FRoot.reset(CreateElement(*rootClass, this, nullptr, nullptr));
}

TScheme::~TScheme() {
  FRoot.reset();
  // Elements of this scheme that live outside the root's tree (held detached by their creator) must not
  // reach back into a scheme that is gone.
  for (const auto &[key, block] : FIds)
    for (const TIdChain &chain : block->Chains)
      for (TElement *e = chain.First; e; e = e->FIdNext)
        e->FScheme = nullptr;
  while (FPendingFirst) {
    TElement *e = FPendingFirst;
    RemovePending(e);
    e->FScheme = nullptr;
  }
}

void TScheme::SetFileName(const QString &name) {
  if (name == FFileName)
    return;
  FFileName = name;
  Notify(snFileNameChanged);
}

void TScheme::SetReadOnly(bool readOnly) {
  if (readOnly == FReadOnly)
    return;
  FReadOnly = readOnly;
  Notify(snReadOnlyChanged);
}

std::int32_t TScheme::RegisterElement(TElement *element) {
  element->FScheme = this;
  element->FRegistration = ++FRegistrations;
  element->FID = NextElementId();
  IndexId(element);
  ++FElementCount;
  return element->FID;
}

void TScheme::UnregisterElement(TElement *element) {
  if (element->FScheme != this)
    return;
  UnindexId(element);
  RemovePending(element);
  element->FScheme = nullptr;
  --FElementCount;
}

void TScheme::IndexId(TElement *element) {
  if (element->FID == 0)
    return;
  const std::uint32_t key = IdBlockKey(element->FID);
  TIdBlock *block = FLastIdBlock;
  if (!block || FLastIdBlockKey != key) {
    std::unique_ptr<TIdBlock> &slot = FIds[key];
    if (!slot)
      slot = std::make_unique<TIdBlock>();
    block = slot.get();
    FLastIdBlock = block;
    FLastIdBlockKey = key;
  }
  TIdChain &chain = block->Chains[IdSlot(element->FID)];
  if (!chain.First)
    ++block->Used;
  // Kept in registration order, so that the first of the chain is the one a search in creation order
  // would find; a new element usually goes last.
  TElement *before = nullptr;
  for (TElement *e = chain.Last; e && e->FRegistration > element->FRegistration; e = e->FIdPrevious)
    before = e;
  TBidirectionalList<TElement, TElement::IdLinks>::InsertBefore(chain.First, chain.Last, element, before);
}

void TScheme::UnindexId(TElement *element) {
  if (element->FID == 0)
    return;
  auto it = FIds.find(IdBlockKey(element->FID));
  if (it == FIds.end())
    return;
  TIdBlock &block = *it->second;
  TIdChain &chain = block.Chains[IdSlot(element->FID)];
  if (!chain.First)
    return;
  TBidirectionalList<TElement, TElement::IdLinks>::Remove(chain.First, chain.Last, element);
  if (chain.First || --block.Used > 0)
    return;
  if (FLastIdBlock == &block)
    FLastIdBlock = nullptr;
  FIds.erase(it);
}

TElement *TScheme::FindElement(std::int32_t id) const {
  if (id == 0)
    return nullptr;
  auto it = FIds.find(IdBlockKey(id));
  return it == FIds.end() ? nullptr : it->second->Chains[IdSlot(id)].First;
}

void TScheme::BeginMessagesUpdate() {
  if (FMessages)
    FMessages->BeginUpdate();
}

void TScheme::EndMessagesUpdate() {
  if (FMessages)
    FMessages->EndUpdate();
}

void TScheme::BeginGroup(const QString &caption) {
  if (!FUndoRedo)
    return;
  auto group = MakeNode<TSchemeGroupingOperation>(caption);
  // The message sink is left alone: its outermost update would clear the messages loaders reported.
  group->SetScheme(this, false);
  FUndoRedo->BeginGroup(std::move(group));
}

void TScheme::EndGroup() {
  if (FUndoRedo)
    FUndoRedo->EndGroup();
}

void TScheme::DeferCheck(TElement *element) {
  if (element->FState & esCheckPending)
    return;
  element->FState |= esCheckPending;
  TBidirectionalList<TElement, TElement::PendingLinks>::InsertBefore(FPendingFirst, FPendingLast, element, nullptr);
  ++FPendingCount;
}

void TScheme::RemovePending(TElement *element) {
  if (!(element->FState & esCheckPending))
    return;
  element->FState &= std::uint8_t(~esCheckPending);
  TBidirectionalList<TElement, TElement::PendingLinks>::Remove(FPendingFirst, FPendingLast, element);
  --FPendingCount;
}

void TScheme::BeginLoad() { ++FUpdateCount; }

void TScheme::EndLoad() {
  if (FUpdateCount > 0)
    --FUpdateCount;
  if (FUpdateCount > 0 || !FRoot)
    return;
  // Taken one at a time from the front: a check may free other pending elements, which then leave the list.
  while (TElement *e = FPendingFirst) {
    RemovePending(e);
    e->Revalidate();
  }
}

// ---------------------------------------------------------------------------------------------------------
// TClassesGroups

TClassesGroups::TClassesGroups() : FGroups(4) {}

TClassesGroups &TClassesGroups::Instance() {
  static TClassesGroups instance;
  return instance;
}

int TClassesGroups::AddGroup() {
  FGroups.emplace_back();
  return int(FGroups.size()) - 1;
}

void TClassesGroups::Register(int group, const TElementClass &elementClass) {
  AddAcceptedClass(FGroups[size_t(group)], &elementClass);
}

void TClassesGroups::AddGroupClasses(int group, TElementClassList &list) const {
  for (const TElementClass *c : FGroups[size_t(group)])
    AddAcceptedClass(list, c);
}
