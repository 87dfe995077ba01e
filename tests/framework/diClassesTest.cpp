#include "diClasses.h"

#include "cuKnot.h"
#include "cuLocalization.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string GLog;  // what the kinds below report, in order

class TElement_Leaf : public TElement {
  QN_ELEMENT_CLASS(TElement_Leaf)
public:
  bool Filled = false;
  std::function<void(TElement_Leaf &)> OnCheckValue;
  std::int32_t IdSeenInCreate = -1;
  bool HadOwnerInCreate = true;
  int ChainChanges = 0, SchemeEvents = 0, MessageChanges = 0;

  bool IsFilled() override { return Filled; }
  void CheckValue() override {
    GLog += "check " + std::to_string(ID()) + ";";
    if (OnCheckValue)
      OnCheckValue(*this);
  }
  void Create() override {
    IdSeenInCreate = ID();
    HadOwnerInCreate = Owner() != nullptr;
  }
  void OwnerChainChanged() override { ++ChainChanges; }
  void SchemeEvent(TNotifyArg) override { ++SchemeEvents; }
  void MessagesChanged() override { ++MessageChanges; }

protected:
  bool Notification(int code, TNotifyArg a, TNotifyArg b) override {
    if (code == enDestroying)
      GLog += "destroying " + std::to_string(ID()) + ";";
    return TElement::Notification(code, a, b);
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_Leaf, TElement)

class TElement_Holder;

// A leaf that refuses to go into holders.
class TElement_Loner : public TElement_Leaf {
  QN_ELEMENT_CLASS(TElement_Loner)
public:
  static bool AcceptsOwner(const TElement &owner);
};
QN_DEFINE_ELEMENT_CLASS(TElement_Loner, TElement_Leaf)

// A container: accepts one group, creates a part that asks it what it accepts, swallows code 100 of its
// children.
class TElement_Holder : public TElement_Leaf {
  QN_ELEMENT_CLASS(TElement_Holder)
public:
  static int Group;
  TElement_Leaf *Inner = nullptr;
  std::vector<int> ChildCodes;

  void Create() override { Inner = CreatePart<TElement_Leaf>(this); }
  void GetAcceptedClasses(TElementClassList &list) override { TClassesGroups::Instance().AddGroupClasses(Group, list); }
  void GetPartAcceptedClasses(TElement *part, TElementClassList &list) override {
    AddAcceptedClass(list, &TElement_Loner::Class());
  }
  bool ChildNotification(TElement *child, int code, TNotifyArg q, TNotifyArg p) override {
    ChildCodes.push_back(code);
    return code == 100;
  }
};
QN_DEFINE_ELEMENT_CLASS(TElement_Holder, TElement_Leaf)
int TElement_Holder::Group = -1;

bool TElement_Loner::AcceptsOwner(const TElement &owner) {
  return !owner.GetClass().InheritsFrom(TElement_Holder::Class());
}

class Elements : public ::testing::Test {
protected:
  void SetUp() override { GLog.clear(); }
  TScheme Scheme{&TElement_Holder::Class(), QStringLiteral("Test")};
  TElement_Holder &Root() { return static_cast<TElement_Holder &>(*Scheme.Root()); }
  TElement_Leaf *Leaf(TElement *owner = nullptr) {
    return CreateElement<TElement_Leaf>(&Scheme, owner ? owner : Scheme.Root());
  }
};

TEST(ElementClasses, NamesBasesAndFactories) {
  EXPECT_EQ(TElement_Holder::Class().ClassName(), QStringLiteral("TElement_Holder"));
  EXPECT_EQ(TElement_Holder::Class().TypeName(), QStringLiteral("Holder"));
  const TElementClass logicFrame("TElement_LogicFrame", &TElement::Class(), nullptr, &TElement::AcceptsOwner);
  EXPECT_EQ(logicFrame.TypeName(), QStringLiteral("LogicFrame"));
  EXPECT_TRUE(logicFrame.IsAbstract());
  EXPECT_THROW(CreateElement(logicFrame, nullptr, nullptr, nullptr), EException);
  EXPECT_TRUE(TElement_Loner::Class().InheritsFrom(TElement_Leaf::Class()));
  EXPECT_TRUE(TElement_Loner::Class().InheritsFrom(TElement::Class()));
  EXPECT_FALSE(TElement_Leaf::Class().InheritsFrom(TElement_Loner::Class()));
  TNodePtr<TElement> loner(CreateElement<TElement_Loner>(nullptr, nullptr));
  EXPECT_EQ(&loner->GetClass(), &TElement_Loner::Class());
  EXPECT_EQ(loner->ID(), 0);  // no scheme, no identity
}

TEST_F(Elements, CreationRegistersBeforeCreateAndInsertsAfterIt) {
  TElement_Leaf *a = Leaf();
  TElement_Leaf *b = Leaf();
  EXPECT_EQ(a->IdSeenInCreate, a->ID());
  EXPECT_FALSE(a->HadOwnerInCreate);
  EXPECT_EQ(b->ID(), a->ID() + 1);
  EXPECT_EQ(a->Scheme(), &Scheme);
  EXPECT_EQ(Scheme.FindElement(a->ID()), a);
  EXPECT_EQ(Scheme.FindElement(0), nullptr);
  EXPECT_EQ(Root().Inner->Options() & efPart, efPart);
  EXPECT_EQ(Root().Inner->Scheme(), &Scheme);
  EXPECT_EQ(Root().Inner->OwnerElementOfParts(), &Root());
  const int count = Scheme.ElementCount();
  const std::int32_t id = a->ID();
  a->Free();
  EXPECT_EQ(Scheme.FindElement(id), nullptr);
  EXPECT_EQ(Scheme.ElementCount(), count - 1);
  // The insertion point is honoured.
  TElement_Leaf *c = CreateElement<TElement_Leaf>(&Scheme, &Root(), b);
  EXPECT_EQ(c->NextElement(), b);
}

TEST_F(Elements, OnlyAnElementCanOwnAnElement) {
  TElement_Leaf *a = Leaf();
  TElement_Leaf *b = Leaf();
  TNodePtr<TKnot> other = MakeNode<TKnot>(QStringLiteral("NotAnElement"));
  EXPECT_THROW(a->SetOwner(other.get()), EException);
  EXPECT_EQ(a->Owner(), &Root());  // left where it was
  EXPECT_EQ(other->FirstChild(), nullptr);
  a->SetOwner(b);
  EXPECT_EQ(a->Owner(), b);
}

TEST_F(Elements, AnIdentitySharedForAMomentFindsTheEarliestRegistered) {
  TElement_Leaf *a = Leaf();
  TElement_Leaf *b = Leaf();
  TElement_Leaf *c = Leaf();
  const std::int32_t shared = c->ID();
  b->SetID(shared);
  EXPECT_EQ(Scheme.FindElement(shared), b);
  a->SetID(shared);  // joins last but was registered first
  EXPECT_EQ(Scheme.FindElement(shared), a);
  a->Free();
  EXPECT_EQ(Scheme.FindElement(shared), b);
  b->SetID(b->ID() + 1000000);
  EXPECT_EQ(Scheme.FindElement(shared), c);
  EXPECT_EQ(Scheme.FindElement(shared + 1000000), b);
  c->Free();
  EXPECT_EQ(Scheme.FindElement(shared), nullptr);
}

TEST_F(Elements, EveryIdentityIsFoundUntilItsElementLeavesOrMoves) {
  // Neighbours, both ends of the range and the wrap points: each is found, and neither leaving nor
  // moving one disturbs the others, including when the last identity near a freed one goes and a new
  // element takes that place again.
  const std::int32_t ids[] = {64, 65, 95, 96, 127, -1, -2, std::numeric_limits<std::int32_t>::max(),
                              std::numeric_limits<std::int32_t>::min(), 1 << 30};
  std::vector<TElement_Leaf *> leaves;
  for (std::int32_t id : ids) {
    leaves.push_back(Leaf());
    leaves.back()->SetID(id);
  }
  auto expectAllFound = [&] {
    for (size_t i = 0; i < leaves.size(); ++i)
      EXPECT_EQ(Scheme.FindElement(ids[i]), leaves[i]) << ids[i];
  };
  expectAllFound();
  EXPECT_EQ(Scheme.FindElement(66), nullptr);
  EXPECT_EQ(Scheme.FindElement(-3), nullptr);
  for (size_t i = 0; i < leaves.size(); ++i) {
    leaves[i]->Free();
    EXPECT_EQ(Scheme.FindElement(ids[i]), nullptr) << ids[i];
    TElement_Leaf *again = Leaf();
    again->SetID(ids[i]);
    leaves[i] = again;
    expectAllFound();
    leaves[i]->SetID(ids[i] ^ 0x5a5a);
    EXPECT_EQ(Scheme.FindElement(ids[i]), nullptr) << ids[i];
    EXPECT_EQ(Scheme.FindElement(ids[i] ^ 0x5a5a), leaves[i]) << ids[i];
    leaves[i]->SetID(ids[i]);
    expectAllFound();
  }
}

TEST_F(Elements, DeferredChecksRunOnceEachInRequestOrderAfterTheLastLoad) {
  TElement_Leaf *e1 = Leaf(), *e2 = Leaf(), *e3 = Leaf();
  for (TElement_Leaf *e : {e1, e2, e3})
    e->Filled = true, e->UpdateFilled();
  Scheme.BeginLoad();
  Scheme.BeginLoad();
  e3->Check();
  e1->Check();
  e2->Validate();
  e1->Check();
  EXPECT_EQ(Scheme.PendingCheckCount(), 3);
  EXPECT_TRUE(e1->State() & esCheckPending);
  Scheme.EndLoad();
  EXPECT_EQ(GLog, "");
  Scheme.EndLoad();
  const std::string expected =
      "check " + std::to_string(e3->ID()) + ";check " + std::to_string(e1->ID()) + ";check " + std::to_string(e2->ID()) + ";";
  EXPECT_EQ(GLog, expected);
  EXPECT_EQ(Scheme.PendingCheckCount(), 0);
  EXPECT_FALSE(e1->State() & esCheckPending);
}

TEST_F(Elements, ACheckThatFreesAnotherPendingElementTakesItOffTheList) {
  TElement_Leaf *e1 = Leaf(), *e2 = Leaf();
  e1->Filled = e2->Filled = true;
  e1->UpdateFilled(), e2->UpdateFilled();
  e1->OnCheckValue = [&](TElement_Leaf &) { e2->Free(); };
  const std::string id2 = std::to_string(e2->ID());
  Scheme.BeginLoad();
  e1->Check();
  e2->Check();
  Scheme.EndLoad();
  EXPECT_EQ(GLog, "check " + std::to_string(e1->ID()) + ";destroying " + id2 + ";");
  EXPECT_EQ(Scheme.PendingCheckCount(), 0);
}

TEST_F(Elements, ChecksBuildMessagesOnlyWhileThereAreProblems) {
  TElement_Leaf *e = Leaf();
  e->Filled = true;
  e->UpdateFilled();
  e->OnCheckValue = [](TElement_Leaf &self) { self.GetMessages().AddText(mkError, QStringLiteral("bad")); };
  e->Check();
  EXPECT_FALSE(e->HasNoProblems());
  EXPECT_EQ(e->MessageChanges, 1);
  e->OnCheckValue = [](TElement_Leaf &self) { self.GetMessages().AddText(mkHint, QStringLiteral("fine")); };
  e->Check();
  EXPECT_TRUE(e->HasNoProblems());
  EXPECT_EQ(e->MessageChanges, 2);
  e->OnCheckValue = nullptr;
  e->Check();
  EXPECT_EQ(e->Messages(), nullptr);
  EXPECT_EQ(e->MessageChanges, 2);

  // A required element that is not filled gets the linked message.
  e->Filled = false;
  e->UpdateFilled();
  e->SetOptions(e->Options() | efRequired | efChecked);  // OptionsChanged validates
  ASSERT_NE(e->Messages(), nullptr);
  const TElementMessage *m = e->Messages()->Items(0);
  EXPECT_EQ(m->Kind, mkRequired);
  ASSERT_EQ(m->Parts.size(), 2u);
  EXPECT_EQ(m->Parts[1].Data, QString::number(e->ID()));
  // IdChanged points the link at the new identity.
  const std::int32_t old = e->ID();
  e->SetID(old + 1000000);
  e->IdChanged(old);
  EXPECT_EQ(m->Parts[1].Data, QString::number(old + 1000000));
}

TEST_F(Elements, FilledAndEmptyStatesAreCachedAndAnnounced) {
  TElement_Leaf *e = Leaf();
  EXPECT_FALSE(e->IsFilledState());
  EXPECT_TRUE(e->IsEmptyState());
  e->Filled = true;
  Root().ChildCodes.clear();
  e->Changed();
  EXPECT_TRUE(e->IsFilledState());
  EXPECT_FALSE(e->IsEmptyState());
  EXPECT_EQ(Root().ChildCodes, (std::vector<int>{enFilledChanged, enEmptyChanged, enChanged}));
}

TEST_F(Elements, NotificationsReachTheOwnerFirstAndTheSubtreeOnMoves) {
  TElement_Leaf *a = Leaf();
  TElement_Leaf *child = Leaf(a);
  a->ChainChanges = child->ChainChanges = 0;
  Root().ChildCodes.clear();
  EXPECT_TRUE(a->Dispatch(100));  // swallowed by the owner
  EXPECT_EQ(Root().ChildCodes, std::vector<int>{100});
  a->MoveTo(&Root(), Root().FirstChildElement());
  EXPECT_EQ(a->ChainChanges, 1);
  EXPECT_EQ(child->ChainChanges, 1);
  Root().BroadcastSchemeEvent(9);
  EXPECT_EQ(child->SchemeEvents, 1);
  EXPECT_EQ(Root().Inner->SchemeEvents, 1);

  TNodePtr<TNode> stranger = MakeNode<TNode>();
  EXPECT_THROW(child->SetOwner(stranger.get()), EException);
  EXPECT_EQ(child->Owner(), a);
}

TEST_F(Elements, AcceptedClassesComeFromGroupsLessThoseThatRefuseTheOwner) {
  TClassesGroups &groups = TClassesGroups::Instance();
  if (TElement_Holder::Group < 0)
    TElement_Holder::Group = groups.AddGroup();
  EXPECT_GE(groups.GroupCount(), 5);
  groups.Register(TElement_Holder::Group, TElement_Leaf::Class());
  groups.Register(TElement_Holder::Group, TElement_Loner::Class());
  groups.Register(TElement_Holder::Group, TElement_Leaf::Class());
  EXPECT_EQ(groups.Groups(TElement_Holder::Group),
            (TElementClassList{&TElement_Leaf::Class(), &TElement_Loner::Class()}));

  TElementClassList list;
  Root().GetAcceptedClasses(list);
  EXPECT_EQ(list.size(), 2u);
  list.clear();
  Root().CollectAcceptedClasses(list);
  EXPECT_EQ(list, TElementClassList{&TElement_Leaf::Class()});
  // A part asks its owner, and the answer is tested against the part as owner.
  list.clear();
  Root().Inner->CollectAcceptedClasses(list);
  EXPECT_EQ(list, TElementClassList{&TElement_Loner::Class()});
}

TEST_F(Elements, FreeingMarksTheWholeSubtreeDestroyingOncePreOrder) {
  TElement_Leaf *a = Leaf();
  TElement_Leaf *b = Leaf(a);
  TElement_Leaf *c = Leaf(b);
  TElement_Leaf *d = Leaf(a);
  const std::string expected = "destroying " + std::to_string(a->ID()) + ";destroying " + std::to_string(b->ID()) +
                               ";destroying " + std::to_string(c->ID()) + ";destroying " + std::to_string(d->ID()) + ";";
  const int before = Scheme.ElementCount();
  a->Free();
  EXPECT_EQ(GLog, expected);
  EXPECT_EQ(Scheme.ElementCount(), before - 4);
}

TEST_F(Elements, AHundredThousandPendingElementsFreeDuringAnOpenLoad) {
  // Wide and moderately deep: 100 chains of 1,000; every element waits for its check when the tree goes.
  Scheme.BeginLoad();
  const auto started = std::chrono::steady_clock::now();
  for (int chain = 0; chain < 100; ++chain) {
    TElement *owner = CreateElement<TElement_Leaf>(&Scheme, &Root());
    owner->Check();
    for (int i = 1; i < 1000; ++i) {
      owner = CreateElement<TElement_Leaf>(&Scheme, owner);
      owner->Check();
    }
  }
  EXPECT_EQ(Scheme.PendingCheckCount(), 100000);
  while (TElement *e = Root().LastChildElement()) {
    if (e == Root().Inner)
      break;
    e->Free();
  }
  EXPECT_EQ(Scheme.PendingCheckCount(), 0);
  Scheme.EndLoad();
  EXPECT_EQ(Scheme.ElementCount(), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST_F(Elements, SchemeNotifiesFileNameAndReadOnlyChanges) {
  struct TCodes {
    std::vector<int> Codes;
    void Called(TItfObject *, int code, TNotifyArg, TNotifyArg) { Codes.push_back(code); }
  } codes;
  Scheme.Subscribe(NotifyMethod<&TCodes::Called>, &codes);
  Scheme.SetFileName(QStringLiteral("a.qnt"));
  Scheme.SetFileName(QStringLiteral("a.qnt"));
  Scheme.SetReadOnly(true);
  Scheme.SetReadOnly(true);
  Scheme.Unsubscribe(NotifyMethod<&TCodes::Called>, &codes);
  EXPECT_EQ(codes.Codes, (std::vector<int>{snFileNameChanged, snReadOnlyChanged}));
}

// Runs in a child process of its own (see below), where no element was created before.
TEST(FreshProcess, DISABLED_FirstElementGetsOne) {
  TScheme scheme(nullptr, QString());
  TNodePtr<TElement> first(CreateElement<TElement_Leaf>(&scheme, nullptr));
  EXPECT_EQ(first->ID(), 1);
}

TEST(Identities, TheFirstElementOfAProcessGetsOne) {
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_also_run_disabled_tests"), QStringLiteral("--gtest_filter=FreshProcess.*")});
  ASSERT_TRUE(child.waitForFinished(60000));
  EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
  EXPECT_TRUE(child.readAllStandardOutput().contains("[  PASSED  ] 1 test"));
}

}  // namespace
