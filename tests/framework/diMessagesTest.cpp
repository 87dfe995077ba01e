#include "diMessages.h"

#include "cuLocalization.h"

#include <gtest/gtest.h>

namespace {

TEST(ElementMessages, BracketsBecomeTheLinkToTheElement) {
  struct TCase {
    QString Text;
    std::vector<TElementMessagePart> Parts;
  };
  const QString id = QStringLiteral("17");
  const TCase cases[] = {
      {LoadString(sidValueRequired),
       {{mpText, QStringLiteral("The value must\u00A0be "), {}}, {mpElement, QStringLiteral("set"), id}}},
      {QStringLiteral("no brackets"), {{mpElement, QStringLiteral("no brackets"), id}}},
      {QStringLiteral("[Unsupported] element"),
       {{mpElement, QStringLiteral("Unsupported"), id}, {mpText, QStringLiteral(" element"), {}}}},
      {QStringLiteral("a [b] c ] d"),
       {{mpText, QStringLiteral("a "), {}}, {mpElement, QStringLiteral("b"), id}, {mpText, QStringLiteral(" c ] d"), {}}}},
      {QStringLiteral("open [only"), {{mpText, QStringLiteral("open "), {}}, {mpElement, QStringLiteral("only"), id}}},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Text.toStdString());
    TElementMessages list;
    TElementMessage *m = list.AddElementMessage(mkRequired, c.Text, id);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Kind, mkRequired);
    ASSERT_EQ(m->Parts.size(), c.Parts.size());
    for (size_t i = 0; i < c.Parts.size(); ++i) {
      EXPECT_EQ(m->Parts[i].PartKind, c.Parts[i].PartKind) << i;
      EXPECT_EQ(m->Parts[i].Text, c.Parts[i].Text) << i;
      EXPECT_EQ(m->Parts[i].Data, c.Parts[i].Data) << i;
    }
  }
}

TEST(ElementMessages, CleanArgumentCutsLongValuesAndNeutralisesBracketsAndControls) {
  const QString longName(250, QLatin1Char('n'));
  const QString cleaned = TElementMessages::CleanArgument(longName);
  EXPECT_EQ(cleaned.size(), 200);
  EXPECT_TRUE(cleaned.endsWith(QStringLiteral("n...")));
  const QChar fffd(QChar::ReplacementCharacter);
  EXPECT_EQ(TElementMessages::CleanArgument(QStringLiteral("a[b]\tc\x01")),
            QStringLiteral("a") + fffd + QStringLiteral("b") + fffd + fffd + QStringLiteral("c") + fffd);
  // A cleaned argument cannot move the link of the text it goes into.
  TElementMessages list;
  TElementMessage *m = list.AddElementMessage(
      mkError, FormatString(sidUnsupportedElement, {TElementMessages::CleanArgument(QStringLiteral("x]y[z"))}),
      QStringLiteral("3"));
  ASSERT_EQ(m->Parts.size(), 2u);
  EXPECT_EQ(m->Parts[0].Text, QStringLiteral("Unsupported"));
}

TEST(ElementMessages, LevelsKindsAndEvents) {
  TElementMessages list;
  std::vector<std::string> events;
  list.OnAdd = [&](TElementMessages &, TElementMessage &m) { events.push_back("add " + std::to_string(m.Kind)); };
  list.OnClear = [&](TElementMessages &) { events.push_back("clear"); };
  list.OnAccept = [&](TElementMessages &, TElementMessage &m, bool &accept) { accept = m.Kind != mkInformation; };
  EXPECT_EQ(list.Level(), 0);
  EXPECT_EQ(list.AddText(mkInformation, QStringLiteral("refused")), nullptr);
  list.AddText(mkHint, QStringLiteral("h"));
  EXPECT_EQ(list.Level(), 1);
  list.AddText(mkRequired, QStringLiteral("r"));
  EXPECT_EQ(list.Level(), 2);
  EXPECT_TRUE(list.HasKind(mkProblemsMask));
  EXPECT_FALSE(list.HasKind(1u << mkError));
  list.AddText(mkHighest, QStringLiteral("x"));
  EXPECT_EQ(list.Level(), 3);
  EXPECT_EQ(list.Count(), 3);

  // Nested updates clear once, at the outermost start.
  events.clear();
  list.BeginUpdate();
  list.AddText(mkWarning, QStringLiteral("w"));
  list.BeginUpdate();
  list.EndUpdate();
  list.EndUpdate();
  EXPECT_EQ(events, (std::vector<std::string>{"clear", "add 2"}));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(TElementMessages::MessageText(*list.Items(0)), QStringLiteral("w"));
}

TEST(ElementMessages, ReferencesFollowAChangedIdentity) {
  TElementMessages list;
  list.AddElementMessage(mkError, QStringLiteral("[a] b"), QStringLiteral("5"));
  list.AddElementMessage(mkError, QStringLiteral("[c]"), QStringLiteral("6"));
  list.ReplaceElementReference(QStringLiteral("5"), QStringLiteral("50"));
  EXPECT_EQ(list.Items(0)->Parts[0].Data, QStringLiteral("50"));
  EXPECT_EQ(list.Items(0)->Parts[1].Data, QString());
  EXPECT_EQ(list.Items(1)->Parts[0].Data, QStringLiteral("6"));
}

}  // namespace
