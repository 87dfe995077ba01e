#include "cuKnot.h"
#include "cuProps.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Records every code-1 notification of the nodes it listens to, by name, into one shared log.
struct TListener {
  std::string *Log;
  std::string Label;
  void Called(TItfObject *, int code, TNotifyArg, TNotifyArg) { *Log += Label + (code == 1 ? "" : "?") + " "; }
};
constexpr TNotifyCallback Listen = NotifyMethod<&TListener::Called>;

// A small tree of every kind: Root { Group { Flag, Count (1..20, default 5), Text, Size }, Free (no range) }.
struct TTree {
  TNodePtr<TProperty> Root{new TProperty(nullptr, QStringLiteral("Root"))};
  TProperty *Group = new TProperty(Root.get(), QStringLiteral("Group"));
  TBooleanProperty *Flag = new TBooleanProperty(Group, QStringLiteral("Flag"), true);
  TIntegerProperty *Count = new TIntegerProperty(Group, QStringLiteral("Count"), 5, 1, 20);
  TStringProperty *Text = new TStringProperty(Group, QStringLiteral("Text"), QStringLiteral("Default"));
  TEnumProperty *Size = new TEnumProperty(Group, QStringLiteral("Size"),
                                          {QString(), QStringLiteral("Large"), QStringLiteral("Great")});
  TIntegerProperty *Free = new TIntegerProperty(Root.get(), QStringLiteral("Free"), 0, 0, 0);
};

TNodePtr<TKnot> SettingsKnot(const QString &text = QString()) {
  TNodePtr<TKnot> knot = MakeNode<TKnot>();
  knot->SetInheritedOptions(koSettingsFileOptions);
  if (!text.isEmpty())
    knot->ParseString(text);
  knot->SetName(QStringLiteral("Settings"));
  return knot;
}

QString Saved(TProperty &root) {
  TNodePtr<TKnot> knot = SettingsKnot();
  root.SaveToKnot(*knot);
  return knot->GetText();
}

}  // namespace

TEST(Property, DefaultsAreNotWrittenAndEmptyGroupsAreSkipped) {
  TTree t;
  EXPECT_EQ(Saved(*t.Root), u"<Settings>\r\n</Settings>\r\n"_qs);
  t.Flag->SetValue(false);
  t.Count->SetValue(7);
  t.Text->SetValue(u"default"_qs);  // strings compare exactly: not the default
  t.Size->SetValue(1);
  t.Free->SetValue(-3);
  EXPECT_EQ(Saved(*t.Root), u"<Settings>\r\n"
                            u"\t<Group>\r\n"
                            u"\t\t<Flag Value=0/>\r\n"
                            u"\t\t<Count Value=7/>\r\n"
                            u"\t\t<Text Value=default/>\r\n"
                            u"\t\t<Size Value=Large/>\r\n"
                            u"\t</Group>\r\n"
                            u"\t<Free Value=-3/>\r\n"
                            u"</Settings>\r\n"_qs);
  // Back at their defaults, the leaves disappear again.
  t.Flag->SetValue(true);
  t.Count->SetValue(5);
  t.Text->SetValue(u"Default"_qs);
  t.Size->SetValue(0);
  EXPECT_EQ(Saved(*t.Root), u"<Settings>\r\n\t<Free Value=-3/>\r\n</Settings>\r\n"_qs);
}

TEST(Property, LoadingReadsValuesAndFallsBackToDefaults) {
  struct TCase {
    const char *Group;  // the text inside <Group>...</Group>
    bool Flag;
    int Count;
    QString Text;
    int Size;
  };
  const TCase cases[] = {
      {"<Flag Value=0/><Count Value=20/><Text Value=\"a b\"/><Size Value=Great/>", false, 20, u"a b"_qs, 2},
      {"<Size Value=large/>", true, 5, u"Default"_qs, 1},                // names ignore ASCII case
      {"<Size Value=Huge/><Count Value=0/>", true, 5, u"Default"_qs, 0},  // unknown name, out of range: defaults
      {"<Count Value=21/><Flag Value=yes/>", true, 5, u"Default"_qs, 0},
      {"<Count Value=abc/><Text Value=/>", true, 5, QString(), 0},
      {"<Count Value=$10/>", true, 16, u"Default"_qs, 0},
  };
  for (const TCase &c : cases) {
    TTree t;
    TNodePtr<TKnot> knot = SettingsKnot(u"<Settings><Group>"_qs + QString::fromUtf8(c.Group) + u"</Group></Settings>"_qs);
    t.Root->LoadFromKnot(*knot);
    EXPECT_EQ(t.Flag->Value(), c.Flag) << c.Group;
    EXPECT_EQ(t.Count->Value(), c.Count) << c.Group;
    EXPECT_EQ(t.Text->Value(), c.Text) << c.Group;
    EXPECT_EQ(t.Size->Value(), c.Size) << c.Group;
  }
}

TEST(Property, AMissingKnotKeepsTheValueAndAKnotWithoutValueGivesTheDefault) {
  TTree t;
  t.Count->SetValue(9);
  t.Text->SetValue(u"kept"_qs);
  t.Flag->SetValue(false);
  TNodePtr<TKnot> knot = SettingsKnot(u"<Settings><Group><Flag/></Group></Settings>"_qs);
  t.Root->LoadFromKnot(*knot);
  EXPECT_EQ(t.Count->Value(), 9);
  EXPECT_EQ(t.Text->Value(), u"kept"_qs);
  EXPECT_TRUE(t.Flag->Value());
  // Without a Group knot nothing below it changes.
  TNodePtr<TKnot> empty = SettingsKnot(u"<Settings/>"_qs);
  t.Count->SetValue(3);
  t.Root->LoadFromKnot(*empty);
  EXPECT_EQ(t.Count->Value(), 3);
}

TEST(Property, SetValueKeepsRangesAndNotifiesTheLeafAndEveryAncestorOnce) {
  TTree t;
  std::string log;
  TListener root{&log, "root"}, group{&log, "group"}, count{&log, "count"}, flag{&log, "flag"};
  t.Root->Subscribe(Listen, &root);
  t.Group->Subscribe(Listen, &group);
  t.Count->Subscribe(Listen, &count);
  t.Flag->Subscribe(Listen, &flag);

  t.Count->SetValue(0);
  EXPECT_EQ(t.Count->Value(), 1);
  EXPECT_EQ(log, "count group root ");
  log.clear();
  t.Count->SetValue(1);  // unchanged: silent
  t.Count->SetValue(-100);
  EXPECT_EQ(log, "");
  t.Count->SetValue(500);
  EXPECT_EQ(t.Count->Value(), 20);
  t.Free->SetValue(-7);  // no range
  EXPECT_EQ(t.Free->Value(), -7);
  EXPECT_EQ(log, "count group root root ");
  log.clear();
  t.Size->SetValue(-1);
  EXPECT_EQ(log, "");
  t.Size->SetValue(9);
  EXPECT_EQ(t.Size->Value(), 2);
  EXPECT_EQ(t.Size->Text(), u"Great"_qs);
  EXPECT_EQ(log, "group root ");
}

TEST(Property, LoadingNotifiesEachNodeOnceAfterItsChildrenWereRead) {
  TTree t;
  std::string log;
  TListener root{&log, "root"}, group{&log, "group"}, count{&log, "count"}, size{&log, "size"};
  t.Root->Subscribe(Listen, &root);
  t.Group->Subscribe(Listen, &group);
  t.Count->Subscribe(Listen, &count);
  t.Size->Subscribe(Listen, &size);
  int sizeSeenByGroup = -1;
  struct TProbe {
    TEnumProperty *Size;
    int *Seen;
    void Called(TItfObject *, int, TNotifyArg, TNotifyArg) { *Seen = Size->Value(); }
  } probe{t.Size, &sizeSeenByGroup};
  t.Group->Subscribe(NotifyMethod<&TProbe::Called>, &probe);

  TNodePtr<TKnot> knot = SettingsKnot(u"<Settings><Group><Count Value=8/><Size Value=Great/></Group></Settings>"_qs);
  t.Root->LoadFromKnot(*knot);
  EXPECT_EQ(log, "count size group root ");
  EXPECT_EQ(sizeSeenByGroup, 2);  // the group reports after its last child was read
}

TEST(Property, AssignCopiesEveryLeafAndNotifiesEachGroupOnceAtTheEndOfItsOwnAssignment) {
  TTree target, source;
  source.Count->SetValue(12);
  source.Size->SetValue(1);
  source.Free->SetValue(4);
  std::string log;
  TListener root{&log, "root"}, group{&log, "group"}, count{&log, "count"}, flag{&log, "flag"},
      size{&log, "size"}, free{&log, "free"};
  target.Root->Subscribe(Listen, &root);
  target.Group->Subscribe(Listen, &group);
  target.Count->Subscribe(Listen, &count);
  target.Flag->Subscribe(Listen, &flag);  // unchanged: never told
  target.Size->Subscribe(Listen, &size);
  target.Free->Subscribe(Listen, &free);

  target.Root->Assign(*source.Root);
  EXPECT_EQ(target.Count->Value(), 12);
  EXPECT_EQ(target.Size->Value(), 1);
  EXPECT_EQ(target.Free->Value(), 4);
  EXPECT_EQ(log, "count size group free root ");
  EXPECT_EQ(Saved(*target.Root), Saved(*source.Root));
}

TEST(Property, AssigningALeafOfAnotherKindRaisesAndLeavesTheTreeUnlocked) {
  TTree t;
  TNodePtr<TProperty> other{new TProperty(nullptr, QStringLiteral("Root"))};
  TProperty *group = new TProperty(other.get(), QStringLiteral("Group"));
  new TStringProperty(group, QStringLiteral("Flag"), QString());
  EXPECT_THROW(t.Root->Assign(*other), EException);

  std::string log;
  TListener root{&log, "root"}, g{&log, "group"};
  t.Root->Subscribe(Listen, &root);
  t.Group->Subscribe(Listen, &g);
  t.Count->SetValue(2);
  EXPECT_EQ(log, "group root ");
}

TEST(Property, ResetToDefaultsReachesEveryNodeHeadFirst) {
  struct TResetting : TProperty {
    TResetting(TProperty *owner, std::string *log, const char *label) : TProperty(owner, QString()), Log(log), Label(label) {}
    bool Notification(int code, TNotifyArg a, TNotifyArg b) override {
      if (code == ncResetDefaults)
        *Log += Label;
      return TProperty::Notification(code, a, b);
    }
    std::string *Log;
    const char *Label;
  };
  std::string log;
  TNodePtr<TResetting> root{new TResetting(nullptr, &log, "r")};
  TResetting *a = new TResetting(root.get(), &log, "a");
  new TResetting(a, &log, "b");
  new TResetting(root.get(), &log, "c");
  std::string notified;
  TListener listener{&notified, "root"};
  root->Subscribe(Listen, &listener);
  root->ResetToDefaults();
  EXPECT_EQ(log, "rabc");
  EXPECT_EQ(notified, "");  // code 2 itself tells no subscriber
}
