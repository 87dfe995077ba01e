#include "cuKnot.h"
#include "fakeForm.h"
#include "testSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {

// A compact picture of a tree: name(param param=value ...)[child child ...]; a value shows its control
// characters as \N.
QString Dump(const TKnot &k) {
  QString s = k.Name();
  if (const TKnotParam *p = k.FirstParam()) {
    s += u'(';
    for (; p; p = p->Next()) {
      s += p->Name();
      if (p->Kind() != pkNone) {
        s += u"=\"";
        for (QChar c : p->TextValue())
          s += c.unicode() < 32 ? QStringLiteral("\\%1").arg(c.unicode()) : QString(c);
        s += u'"';
      }
      if (p->Next())
        s += u' ';
    }
    s += u')';
  }
  if (const TKnot *c = k.FirstKnot()) {
    s += u'[';
    for (; c; c = c->NextKnot())
      s += Dump(*c) + (c->NextKnot() ? QStringLiteral(" ") : QString());
    s += u']';
  }
  return s;
}

// The bytes of a literal that may hold NUL characters.
template <size_t N> QByteArray Bytes(const char (&literal)[N]) { return QByteArray(literal, N - 1); }

TNodePtr<TKnot> Parse(const QString &text, uint16_t inheritedOptions = 0) {
  auto k = MakeNode<TKnot>();
  k->SetInheritedOptions(inheritedOptions);
  k->ParseString(text);
  return k;
}

// The settings tree of the examples: General with Language and ShowInTray, and an empty Sheet group.
TNodePtr<TKnot> SettingsTree(uint16_t options) {
  auto root = MakeNode<TKnot>(QStringLiteral("QuillnotePortable"));
  root->SetInheritedOptions(options);
  TKnot *general = root->GetKnot(QStringLiteral("General"));
  general->GetKnot(QStringLiteral("Language"))->WriteStr(QStringLiteral("Value"), QStringLiteral("DEU"));
  general->GetKnot(QStringLiteral("ShowInTray"))->WriteBool(QStringLiteral("Value"), false);
  root->GetKnot(QStringLiteral("Sheet"));
  return root;
}

TEST(KnotWriter, SettingsExampleIsByteExact) {
  EXPECT_EQ(SettingsTree(koSettingsFileOptions)->ToBytes(), ReadFileBytes(QN_FIXTURE("settings.golden")));
  EXPECT_EQ(SettingsTree(0)->ToBytes(), ReadFileBytes(QN_FIXTURE("settings-without-options.golden")));
}

TEST(KnotWriter, Utf8EncodingPutsTheByteOrderMarkFirst) {
  auto k = MakeNode<TKnot>(QStringLiteral("a"));
  k->WriteStr(QStringLiteral("v"), QStringLiteral("\u00E9\u20AC"));
  EXPECT_EQ(k->ToBytes(teUtf8), QByteArray("\xEF\xBB\xBF<a v=\"\xC3\xA9\xE2\x82\xAC\"/>\r\n"));
  EXPECT_EQ(k->ToBytes(), QByteArray("<a v=\"\xC3\xA9\xE2\x82\xAC\"/>\r\n"));
}

struct TValueCase {
  const char16_t *Value;
  uint16_t Options;
  const char16_t *Written;
};

TEST(KnotWriter, EscapesAndQuotesValuesByStyle) {
  const uint16_t session = koSettingsFileOptions;
  const TValueCase cases[] = {
      // XML style: references, quotes only for a space; the apostrophe and the character 0 stay.
      {u"a\tb\r\n\"&<>'", 0, u"<k v=\"a&#9;b&#13;&#10;&quot;&amp;&lt;&gt;'\"/>"},
      {u"two words", koBareValues, u"<k v=\"two words\"/>"},
      {u"bare", koBareValues, u"<k v=bare/>"},
      {u"", koBareValues, u"<k v=/>"},
      {u"", 0, u"<k v=\"\"/>"},
      {u"\xD800x", 0, u"<k v=\"&#55296;x\"/>"},
      {u"\U0001F600", 0, u"<k v=\"\U0001F600\"/>"},
      // Raw style with bare values, as in the session file.
      {u"C:\\Data\\notes.qnt", session, u"<k v=C:\\Data\\notes.qnt/>"},
      {u"C:\\My Data\\notes.qnt", session, u"<k v=\"C:\\My Data\\notes.qnt\"/>"},
      {u"/home/u/notes.qnt", session, u"<k v=\"/home/u/notes.qnt\"/>"},
      {u"a\tb", session, u"<k v=\"a\tb\"/>"},
      {u"say \"hi\"", session, u"<k v=\"say \"\"hi\"\"\"/>"},
      {u"R&amp;D<x>", session, u"<k v=\"R&amp;D<x>\"/>"},
      {u"R&D<x", session, u"<k v=R&D<x/>"},
      {u"lone\xDC00", session, u"<k v=lone\uFFFD/>"},
  };
  for (const TValueCase &c : cases) {
    auto k = MakeNode<TKnot>(QStringLiteral("k"));
    k->SetInheritedOptions(c.Options);
    k->WriteStr(QStringLiteral("v"), QString::fromUtf16(c.Value));
    EXPECT_EQ(k->GetText(), QString::fromUtf16(c.Written) + QStringLiteral("\r\n")) << QString::fromUtf16(c.Written).toStdString();
    EXPECT_EQ(k->ToBytes(), k->GetText().toUtf8());
  }
}

TEST(KnotWriter, TextAndBytesAgreeAndXmlStyleRestoresEveryValue) {
  // Values of every kind of character at every position, so that the eight-at-a-time paths meet each.
  const char16_t alphabet[] = {u'a', u'Z', u' ', u'\t', u'\r', u'\n', 0, 1, 31, u'"', u'&', u'<', u'>', u'/', u'\'',
                               0x7F, 0x80, 0xE9, 0x20AC, 0xFFFD, 0xD83D, 0xDE00, 0xDC00};
  uint32_t seed = 1;
  for (uint16_t options : {uint16_t(0), koSettingsFileOptions}) {
    auto k = MakeNode<TKnot>(QStringLiteral("k"));
    k->SetInheritedOptions(options);
    std::vector<QString> values;
    for (int n = 0; n < 300; ++n) {
      QString v;
      for (int i = 0, len = n % 41; i < len; ++i) {
        seed = seed * 1103515245u + 12345u;
        v += (seed >> 16) % 3 ? QChar(u'a' + (seed >> 8) % 26) : QChar(alphabet[(seed >> 16) % std::size(alphabet)]);
      }
      values.push_back(v);
      k->AddParam(QStringLiteral("v"))->SetText(v);
    }
    EXPECT_EQ(k->ToBytes(), k->GetText().toUtf8()) << options;
    if (options)
      continue;
    auto back = MakeNode<TKnot>();
    back->LoadFromBytes(k->ToBytes(teUtf8));
    ASSERT_FALSE(back->HasParseError());
    size_t i = 0;
    for (const TKnotParam *p = back->FirstParam(); p; p = p->Next(), ++i)
      EXPECT_EQ(p->Text(), values[i]) << i;
    EXPECT_EQ(i, values.size());
  }
}

TEST(KnotWriter, LayoutOptionsAndBinaryValues) {
  auto root = MakeNode<TKnot>(QStringLiteral("r"));
  root->SetAddedOptions(koPositionalChildren);
  root->AddChild(QStringLiteral("Chars"))->WriteStr(QStringLiteral("Value"), QStringLiteral("x"));
  root->AddChild(QStringLiteral("Br"))->SetAddedOptions(koSameLine);
  TKnot *flat = root->AddChild(QStringLiteral("f"));
  flat->SetAddedOptions(koNoLineBreaks | koNoIndent);
  flat->AddChild(QStringLiteral("g"))->AddParam(QStringLiteral("flag"));
  const QByteArray bytes("\x00\xAB\x10", 3);
  root->AddChild(QStringLiteral("b"))->WriteBinaryRef(QStringLiteral("Data"), bytes);
  EXPECT_EQ(root->GetText(), QStringLiteral("<r>\r\n\t<Chars Value=\"x\"/><Br/>\r\n<f><g flag/>\r\n</f><b Data=\"00AB10\"/>\r\n"
                                            "</r>\r\n"));
  // A knot written on its own but attached to an owner ends with the line break that follows it there.
  EXPECT_EQ(root->FirstKnot()->GetText(), QStringLiteral("<Chars Value=\"x\"/>\r\n"));
}

TEST(KnotWriter, SkipsOnlyChildrenThatAreEmpty) {
  auto root = MakeNode<TKnot>(QStringLiteral("r"));
  root->SetInheritedOptions(koSkipEmptyChildren);
  root->AddChild(QStringLiteral("empty"))->AddChild(QStringLiteral("alsoEmpty"));
  TKnot *positional = root->AddChild(QStringLiteral("pos"));
  positional->SetAddedOptions(koPositionalChildren);
  positional->AddChild(QStringLiteral("e"));
  EXPECT_EQ(root->GetText(), QStringLiteral("<r>\r\n\t<pos>\r\n\t</pos>\r\n</r>\r\n"));
  positional->Free();
  EXPECT_EQ(root->GetText(), QStringLiteral("<r>\r\n</r>\r\n"));
}

struct TReadCase {
  const char16_t *Text;
  const char16_t *Tree;
  bool Damaged;
  uint16_t Options = 0;
};

TEST(KnotReader, QuirksTable) {
  const TReadCase cases[] = {
      {u"<a/>", u"a", false},
      {u"<a></a>", u"a", false},
      {u"<a>x</a>", u"a", true},
      {u"<a x=\"1\" y=2 z/>", u"a(x=\"1\" y=\"2\" z)", false},
      {u"<ElementFont Name=Seqoe,Arial Size=10 Color=26,0/>",
       u"ElementFont(Name=\"Seqoe,Arial\" Size=\"10\" Color=\"26,0\")", false},
      {u"<T>\r\n\r\n\t<A/>\r\n\r\n<B/>\r\n</T>", u"T[A B]", false},
      {u"<a v=\"say \"\"hi\"\"\"/>", u"a(v=\"say \"hi\"\")", false},
      {u"<a v=\"&lt;&amp;lt;&#65;&#0;\"/>", u"a(v=\"<&lt;A\\0\")", false},
      {u"<a v=\"&#x41;&#$42;&#0x43;&#-1;&#65536;&#;&;&apos;&nbsp;&LT;\"/>",
       u"a(v=\"ABC&#-1;&#65536;&#;&;&apos;&nbsp;&LT;\")", false},
      {u"<a v=\"&a&amp;\"/>", u"a(v=\"&a&\")", false},
      {u"<a><b/></A>", u"a[b ]", true},
      {u"<a/>x", u"a", true},
      {u"<a/> \t\r\n", u"a", false},
      {u"<a></a>ignored", u"a", false},
      {u"<a><b></b>ignored<c/></a>", u"a[b c]", false},
      {u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a/>", u"a", false},
      {u"<?xml version=\"1.0\"", u"", true},
      {u"", u"", true},
      {u" \r\n", u"", true},
      {u"x<a/>", u"", true},
      {u"<a x = \"1\"/>", u"a(x 1)", false},
      {u"<a x=\"1\"y=\"2\"/>", u"a(x=\"1\"y=\"2\")", false},
      {u"<a\"b/>", u"a(b)", false},
      {u"<a<b/>", u"a(b)", false},
      {u"<a v=\"open/>", u"a(v)", true},
      {u"<a v=/>", u"a(v)", false},
      {u"<a v=\"/>", u"a(v)", true},
      {u"<a v=1<2/>", u"a(v=\"1<2\")", false},
      {u"<a x=1 x=2/>", u"a(x=\"1\" x=\"2\")", false},
      {u"<a/ b/>", u"a", true},
      {u"<a><!-- note --></a>", u"a[!--(note --)[]]", true},
      {u"<a>", u"a", true},
      {u"<a", u"a", true},
      {u"<\u00E9t\u00E9 \u4E2D=\u6587/>", u"\u00E9t\u00E9(\u4E2D=\"\u6587\")", false},
      // Trees read with koRawValues decode no references: the raw writer never produces them.
      {u"<a v=\"R&amp;D\" w=\"a\"\"b\"/>", u"a(v=\"R&amp;D\" w=\"a\"b\")", false, koSettingsFileOptions},
  };
  for (const TReadCase &c : cases) {
    auto k = Parse(QString::fromUtf16(c.Text), c.Options);
    const std::string label = QString::fromUtf16(c.Text).toStdString();
    EXPECT_EQ(Dump(*k), QString::fromUtf16(c.Tree)) << label;
    EXPECT_EQ(k->HasParseError(), c.Damaged) << label;
  }
}

TEST(KnotReader, DecodesByByteOrderMarkOrByUtf8Validity) {
  struct TBytesCase {
    QByteArray Bytes;
    QString Value;
  };
  const TBytesCase cases[] = {
      {QByteArray("\xEF\xBB\xBF<a v=\"\xC3\xA9\"/>"), QStringLiteral("\u00E9")},
      // Without byte order mark: valid UTF-8 is UTF-8 ...
      {QByteArray("<a v=\"\xC3\xA9\xE2\x82\xAC\"/>"), QStringLiteral("\u00E9\u20AC")},
      // ... and anything else Windows-1252, the undefined bytes as the C1 controls of the same value.
      {QByteArray("<a v=\"\xE9\x80\x81\x8D\x8F\x90\x9D\x9F\"/>"), QStringLiteral("\u00E9\u20AC\u0081\u008D\u008F\u0090\u009D\u0178")},
      {QByteArray("<a v=\"\xED\xA0\x80\"/>"), QStringLiteral("\u00ED\u00A0\u20AC")},  // an encoded surrogate is not UTF-8
      {Bytes("\xFF\xFE<\0a\0 \0v\0=\0\xAC\x20/\0>\0"), QStringLiteral("\u20AC")},
      {Bytes("\xFE\xFF\0<\0a\0 \0v\0=\x20\xAC\0/\0>"), QStringLiteral("\u20AC")},
      // A byte order mark inside a value is a character of it.
      {QByteArray("<a v=\"\xEF\xBB\xBFx\"/>"), QStringLiteral("\uFEFFx")},
  };
  for (const TBytesCase &c : cases) {
    auto k = MakeNode<TKnot>();
    k->LoadFromBytes(c.Bytes);
    EXPECT_FALSE(k->HasParseError()) << c.Bytes.toHex().toStdString();
    EXPECT_EQ(k->ReadStr(u"v"), c.Value) << c.Bytes.toHex().toStdString();
  }
}

TEST(KnotReader, RoundTripsWhatTheWriterWrites) {
  for (uint16_t options : {uint16_t(0), koSettingsFileOptions}) {
    auto k = MakeNode<TKnot>(QStringLiteral("r"));
    k->SetInheritedOptions(options);
    TKnot *c = k->AddChild(QStringLiteral("c"));
    const QString values[] = {QStringLiteral("plain"), QStringLiteral("two words"), QStringLiteral("q\"\"uote\""),
                              QStringLiteral("\"lead"), QStringLiteral("tab\tcr\rlf\nend"), QStringLiteral("a/b>c<d&e;"),
                              QStringLiteral("&amp;&#65;"), QStringLiteral(""), QStringLiteral("\"")};
    for (int i = 0; i < int(std::size(values)); ++i)
      c->WriteStr(QStringLiteral("v%1").arg(i), values[i]);
    auto back = Parse(k->GetText(), options);
    ASSERT_FALSE(back->HasParseError()) << k->GetText().toStdString();
    TKnot *d = back->FindChild(QStringLiteral("c"));
    ASSERT_TRUE(d);
    for (int i = 0; i < int(std::size(values)); ++i)
      EXPECT_EQ(d->ReadStr(QStringLiteral("v%1").arg(i)), values[i]) << options << ' ' << i;
    // The raw style writes an empty value bare, which reads back as a parameter without value.
    if (!(options & koBareValues))
      EXPECT_EQ(back->GetText(), k->GetText());
  }
}

TEST(KnotReader, NestingCapMarksDamageAndDeepTreesSurviveEveryWalk) {
  auto nested = [](int depth) {
    QString text;
    for (int i = 0; i < depth; ++i)
      text += u"<k v=\"1\">";
    for (int i = 0; i < depth; ++i)
      text += u"</k>";
    return text;
  };
  auto atCap = Parse(nested(KnotMaxDepth));
  EXPECT_FALSE(atCap->HasParseError());
  auto beyond = Parse(nested(KnotMaxDepth + 1));
  EXPECT_TRUE(beyond->HasParseError());

  TKnot *deepest = atCap.get();
  while (TKnot *c = deepest->FirstKnot())
    deepest = c;
  EXPECT_EQ(deepest->Depth(), KnotMaxDepth - 1);

  const QString text = atCap->GetText();
  auto reread = Parse(text);
  EXPECT_FALSE(reread->HasParseError());
  EXPECT_EQ(reread->GetText(), text);

  auto copy = MakeNode<TKnot>();
  copy->Assign(*atCap);
  EXPECT_EQ(copy->GetText(), text);
  EXPECT_FALSE(copy->IsEmpty());

  std::vector<TKnot *> knots;
  std::vector<TKnotParam *> params;
  EXPECT_TRUE(atCap->CollectUnaccessed(knots, params, false));
  EXPECT_EQ(knots.size(), 1u);  // the first child; its subtree is not looked at
  EXPECT_EQ(params.size(), 1u);
  atCap->SetAccessedDeep(true);
  knots.clear();
  params.clear();
  EXPECT_FALSE(atCap->CollectUnaccessed(knots, params, true));
  EXPECT_EQ(deepest->Path().count(u'.'), KnotMaxDepth - 1);
}

TEST(KnotReader, ArbitraryBytesNeitherCrashNorHang) {
  // Every prefix of a tricky text, so that every state meets the end of the text.
  const QByteArray text = "<?x?><a b=\"c\"\"d\" e=f&amp;g h><!-- <i/> --><j k=\"&#x41;\"/>t</A></a \t>";
  for (qsizetype n = 0; n <= text.size(); ++n) {
    auto k = MakeNode<TKnot>();
    k->LoadFromBytes(QByteArrayView(text).first(n));
    EXPECT_TRUE(k->HasParseError()) << n;
    Parse(k->GetText());
  }
}

TEST(KnotAccessors, ReadIntReplacesOutOfRangeAndUnreadableValues) {
  struct TIntCase {
    const char16_t *Text;
    int Default, Min, Max, Expected;
  };
  const TIntCase cases[] = {
      {u"150", 10, 0, 100, 10},         {u"abc", 10, 0, 100, 10},          {u"-5", 10, 0, 100, 10},
      {u"100", 10, 0, 100, 100},        {u"-5", 10, 0, 0, -5},             {u"  42", 1, 0, 0, 42},
      {u"+7", 1, 0, 0, 7},              {u"42 ", 1, 0, 0, 1},              {u"", 1, 0, 0, 1},
      {u"$1F", 1, 0, 0, 31},            {u"x1f", 1, 0, 0, 31},             {u"0x10", 1, 0, 0, 16},
      {u"-$10", 1, 0, 0, -16},          {u"$FFFFFFFF", 1, 0, 0, -1},       {u"$100000000", 1, 0, 0, 1},
      {u"2147483647", 1, 0, 0, 2147483647}, {u"2147483648", 1, 0, 0, 1},   {u"-2147483648", 1, 0, 0, INT_MIN},
      {u"-2147483649", 1, 0, 0, 1},     {u"99999999999999999999", 1, 0, 0, 1}, {u"0x", 1, 0, 0, 1},
  };
  for (const TIntCase &c : cases) {
    auto k = MakeNode<TKnot>();
    k->WriteStr(QStringLiteral("Left"), QString::fromUtf16(c.Text));
    EXPECT_EQ(k->ReadInt(u"Left", c.Default, c.Min, c.Max), c.Expected) << QString::fromUtf16(c.Text).toStdString();
  }
  auto k = MakeNode<TKnot>();
  EXPECT_EQ(k->ReadInt(u"Missing", 9), 9);
}

TEST(KnotAccessors, UniqueParamsReplaceAndOthersAppend) {
  auto unique = MakeNode<TKnot>();
  unique->SetInheritedOptions(koUniqueParams);
  unique->WriteInt(QStringLiteral("Left"), 1);
  unique->WriteInt(QStringLiteral("Left"), 2);
  EXPECT_EQ(unique->ParamCount(), 1);
  EXPECT_EQ(unique->ReadInt(u"Left", 0), 2);
  auto plain = MakeNode<TKnot>();
  plain->WriteInt(QStringLiteral("Left"), 1);
  plain->WriteInt(QStringLiteral("Left"), 2);
  EXPECT_EQ(plain->ParamCount(), 2);
  EXPECT_EQ(plain->ReadInt(u"Left", 0), 1);
}

TEST(KnotAccessors, BoolsStringsAndBinaries) {
  auto k = Parse(QStringLiteral("<a t=1 f=0 o=yes e= n h=00ab10 odd=00ab1 bad=00zz/>"));
  EXPECT_TRUE(k->ReadBool(u"t", false));
  EXPECT_FALSE(k->ReadBool(u"f", true));
  EXPECT_TRUE(k->ReadBool(u"o", true));
  EXPECT_EQ(k->ReadStr(u"n", QStringLiteral("d")), QString());
  EXPECT_EQ(k->ReadStr(u"missing", QStringLiteral("d")), QStringLiteral("d"));

  QByteArray bytes("keep");
  EXPECT_TRUE(k->ReadBinary(u"n", bytes));
  EXPECT_EQ(bytes, QByteArray("keep"));
  EXPECT_TRUE(k->ReadBinary(u"h", bytes));
  EXPECT_EQ(bytes, QByteArray("\x00\xAB\x10", 3));
  EXPECT_FALSE(k->ReadBinary(u"odd", bytes));
  EXPECT_EQ(bytes, QByteArray("\x00\xAB\x10", 3));
  EXPECT_FALSE(k->ReadBinary(u"bad", bytes));
  EXPECT_TRUE(bytes.isEmpty());

  k->WriteBinary(QStringLiteral("b"), QByteArray("\x00\xAB\x10", 3));
  EXPECT_EQ(k->ReadStr(u"b"), QStringLiteral("00AB10"));
  k->FindParam(u"b")->SetText(QStringLiteral("now text"));
  EXPECT_EQ(k->FindParam(u"b")->Kind(), pkText);
  EXPECT_TRUE(k->FindParam(u"b")->Bytes().isEmpty());
}

TEST(KnotAccessors, NavigationMarksAccessAndCollectFindsTheRest) {
  auto k = Parse(QStringLiteral("<r a=1><x b=2><y/></x><x c=3/><z d=4/></r>"));
  EXPECT_FALSE(k->IsAccessed());
  TKnot *x = k->FindChild(QStringLiteral("x"));
  EXPECT_TRUE(x->IsAccessed());
  TKnot *x2 = k->FindChildAfter(QStringLiteral("x"), x);
  ASSERT_TRUE(x2);
  EXPECT_EQ(x2->ReadInt(u"c", 0), 3);
  EXPECT_EQ(x->FindNextNamed(QStringLiteral("x")), x2);
  EXPECT_EQ(x2->FindNextNamed(QStringLiteral("x")), nullptr);
  EXPECT_EQ(k->FindPath(QStringLiteral("x.y"), false), x->FirstKnot());
  EXPECT_EQ(k->FindPath(QStringLiteral("x.w"), false), nullptr);
  TKnot *made = k->FindPath(QStringLiteral("n.m"), true);
  EXPECT_EQ(made->Path(), QStringLiteral("r.n.m"));

  std::vector<TKnot *> knots;
  std::vector<TKnotParam *> params;
  EXPECT_TRUE(k->CollectUnaccessed(knots, params, false));
  ASSERT_EQ(knots.size(), 1u);
  EXPECT_EQ(knots[0]->Path(), QStringLiteral("r.z"));
  ASSERT_EQ(params.size(), 2u);
  EXPECT_EQ(params[0]->Path(), QStringLiteral("r.a"));
  EXPECT_EQ(params[1]->Path(), QStringLiteral("r.x.b"));

  k->SetAddedOptions(koPositionalChildren);
  EXPECT_EQ(x2->Path(), QStringLiteral("r.x[2]"));
  EXPECT_EQ(params[1]->Path(), QStringLiteral("r.x[1].b"));
}

TEST(KnotStructure, InheritedOptionsFlowFromTheOwnerAndClearKeepsThem) {
  auto root = MakeNode<TKnot>();
  root->SetInheritedOptions(koSettingsFileOptions);
  TKnot *child = root->AddChild(QStringLiteral("c"));
  child->SetAddedOptions(koPositionalChildren);
  TKnot *grand = child->AddChild(QStringLiteral("g"));
  EXPECT_EQ(grand->InheritedOptions(), koSettingsFileOptions);
  EXPECT_EQ(child->Options(), koSettingsFileOptions | koPositionalChildren);
  auto other = MakeNode<TKnot>();
  child->SetOwner(other.get());
  EXPECT_EQ(grand->InheritedOptions(), 0);
  root->ParseString(QStringLiteral("<a>"));
  EXPECT_TRUE(root->HasParseError());
  root->Clear();
  EXPECT_EQ(root->State(), 0);
  EXPECT_EQ(root->InheritedOptions(), koSettingsFileOptions);
}

TEST(KnotStructure, AssignCopiesDeepAndSharesBinaryReferences) {
  const QByteArray image("\x01\x02", 2);
  auto source = Parse(QStringLiteral("<s a=1><c b=2><d/></c></s>"));
  source->SetAddedOptions(koPositionalChildren);
  source->FirstKnot()->WriteBinaryRef(QStringLiteral("img"), image);
  auto target = Parse(QStringLiteral("<t old=1><gone/></t>"));
  target->Assign(*source);
  EXPECT_EQ(Dump(*target), QStringLiteral("s(a=\"1\")[c(b=\"2\" img=\"0102\")[d]]"));
  EXPECT_EQ(target->AddedOptions(), koPositionalChildren);
  EXPECT_EQ(&target->FirstKnot()->FindParam(u"img")->Bytes(), &image);
  // Assigning a knot's own descendant to it.
  target->Assign(*target->FirstKnot());
  EXPECT_EQ(Dump(*target), QStringLiteral("c(b=\"2\" img=\"0102\")[d]"));
}

TEST(KnotStructure, TreesFreedInAnyOrderLeaveTheOthersWhole) {
  // Many trees built, cut, cleared, copied and freed in random order; after every step each remaining tree
  // still writes the text it had, so no two knots or parameters ever share memory.
  std::mt19937 draw(11);
  auto build = [&] {
    auto root = MakeNode<TKnot>(QStringLiteral("r"));
    std::vector<TKnot *> knots{root.get()};
    const int count = 1 + int(draw() % 200);
    for (int i = 0; i < count; ++i) {
      TKnot *k = knots[draw() % knots.size()]->AddChild(QStringLiteral("k%1").arg(i));
      for (unsigned n = draw() % 4; n > 0; --n)
        k->WriteInt(QStringLiteral("p%1").arg(n), int(draw() % 5000));
      knots.push_back(k);
    }
    return root;
  };
  auto anyKnot = [&](TKnot &root) {
    std::vector<TKnot *> all;
    root.CollectNodes(all, true);
    return all[draw() % all.size()];
  };
  std::vector<std::pair<TNodePtr<TKnot>, QString>> trees;
  for (int step = 0; step < 300; ++step) {
    const unsigned action = trees.size() < 5 ? 0 : trees.size() > 15 ? 2 + draw() % 4 : draw() % 6;
    if (action <= 1) {
      TNodePtr<TKnot> tree = build();
      const QString text = tree->GetText();
      trees.emplace_back(std::move(tree), text);
    } else {
      const size_t t = draw() % trees.size();
      TKnot &root = *trees[t].first;
      TKnot *k = anyKnot(root);
      if (action == 2) {
        trees.erase(trees.begin() + std::ptrdiff_t(t));
      } else {
        if (action == 3 && k != &root)
          k->Free();
        else if (action == 4)
          k->ClearParams();
        else
          anyKnot(root)->Assign(*k);
        // Only the tree just changed writes a new text.
        trees[t].second = root.GetText();
      }
    }
    for (const auto &[tree, text] : trees)
      ASSERT_EQ(tree->GetText(), text) << "step " << step;
  }
}

TEST(KnotFiles, MissingFileRaisesFileNotFound) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("absent.settings"));
  auto k = MakeNode<TKnot>();
  try {
    k->LoadFromFile(name);
    FAIL() << "no exception";
  } catch (const EException &e) {
    EXPECT_EQ(e.Message(), QStringLiteral("File not found: ") + name);
  }
}

TEST(KnotFiles, SaveAndLoadThroughFiles) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("x.session"));
  auto tree = SettingsTree(koSettingsFileOptions);
  tree->SaveToFile(name);
  EXPECT_EQ(ReadFileBytes(name), ReadFileBytes(QN_FIXTURE("settings.golden")));
  tree->SaveToFile(name, teUtf8);
  EXPECT_TRUE(ReadFileBytes(name).startsWith("\xEF\xBB\xBF<QuillnotePortable>"));
  auto back = MakeNode<TKnot>();
  back->SetInheritedOptions(koSettingsFileOptions);
  back->LoadFromFile(name);
  EXPECT_EQ(back->GetText(), SettingsTree(koSettingsFileOptions)->GetText());
  QBuffer buffer;
  buffer.open(QIODevice::ReadWrite);
  tree->SaveToStream(buffer);
  buffer.seek(0);
  auto fromStream = MakeNode<TKnot>();
  fromStream->LoadFromStream(buffer);
  EXPECT_EQ(fromStream->ReadStr(u"none"), QString());
  EXPECT_EQ(fromStream->FindPath(QStringLiteral("General.Language"), false)->ReadStr(u"Value"), QStringLiteral("DEU"));
}

TEST(KnotPlacement, SavesWhatTheBorderAllows) {
  auto k = MakeNode<TKnot>(QStringLiteral("MainForm"));
  k->SetInheritedOptions(koSettingsFileOptions);
  TFakeForm form;
  k->SavePlacement(form);
  EXPECT_EQ(k->GetText(), QStringLiteral("<MainForm Maximized=0 Left=100 Top=50 Width=400 Height=300/>\r\n"));
  form.Maximized = true;
  k->SavePlacement(form);
  EXPECT_EQ(k->GetText(), QStringLiteral("<MainForm Maximized=1 Left=100 Top=50 Width=400 Height=300/>\r\n"));

  auto dialog = MakeNode<TKnot>(QStringLiteral("SettingsForm"));
  TFakeForm settings;
  settings.Style = bsDialog;
  settings.MaximizeButton = false;
  dialog->SavePlacement(settings);
  EXPECT_EQ(dialog->GetText(), QStringLiteral("<SettingsForm Left=\"100\" Top=\"50\"/>\r\n"));
}

TEST(KnotPlacement, RestoreReplacesOutOfRangeValuesIndependently) {
  struct TPlaceCase {
    const char16_t *Knot;
    QRect Desktop;
    bool Maximized, BoundsSet;
    QRect Result;
  };
  const QRect screen(0, 0, 1366, 768);
  const QRect twoMonitors(-1920, -200, 3286, 1280);  // a monitor left of and above the primary one
  const TPlaceCase cases[] = {
      {u"<f Maximized=1 Left=5 Top=5 Width=10 Height=10/>", screen, true, false, QRect(100, 50, 400, 300)},
      {u"<f Maximized=0 Left=683 Top=344 Width=683 Height=384/>", screen, false, true, QRect(683, 344, 683, 384)},
      {u"<f Left=1000 Top=10/>", screen, false, true, QRect(100, 10, 400, 300)},
      {u"<f Left=-1 Top=469/>", screen, false, true, QRect(100, 50, 400, 300)},
      {u"<f Left=966 Top=468/>", screen, false, true, QRect(966, 468, 400, 300)},
      {u"<f Top=10/>", screen, false, false, QRect(100, 50, 400, 300)},
      {u"<f Left=-1500 Top=-150/>", twoMonitors, false, true, QRect(-1500, -150, 400, 300)},
      {u"<f Left=-1921 Top=-201/>", twoMonitors, false, true, QRect(100, 50, 400, 300)},
      {u"<f Left=1 Width=2147483647/>", screen, false, true, QRect(1, 50, 400, 300)},
  };
  for (const TPlaceCase &c : cases) {
    auto k = Parse(QString::fromUtf16(c.Knot));
    TFakeForm form;
    form.Desktop = c.Desktop;
    k->RestorePlacement(form);
    const std::string label = QString::fromUtf16(c.Knot).toStdString();
    EXPECT_EQ(form.Maximized, c.Maximized) << label;
    EXPECT_EQ(form.BoundsSet, c.BoundsSet) << label;
    EXPECT_EQ(form.Rect, c.Result) << label;
  }
}

}  // namespace
