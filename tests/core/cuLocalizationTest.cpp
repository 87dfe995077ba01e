#include "cuLocalization.h"

#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// The shipped table of a language code, read straight from the resources.
TStringTable ShippedTable(const QString &code, QStringList *errors) {
  Localization();  // registers the resources
  QFile f(QStringLiteral(":/lang/%1.txt").arg(code));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << code.toStdString();
  return ParseStringTable(f.readAll(), errors);
}

const QStringList AllCodes = {"DEU", "ENU", "ESP", "FRA", "ITA", "JPN", "NLD", "PLK", "PTB", "RUS", "CHS"};

// Leaves the process-wide instance as the other tests expect it.
class LocalizationTest : public ::testing::Test {
protected:
  void SetUp() override {
    FSavedLanguage = Localization().Language();
    FSavedFallback = Localization().FallbackLanguage();
  }
  void TearDown() override {
    Localization().SetLanguage(FSavedLanguage);
    Localization().SetFallbackLanguage(FSavedFallback);
  }

private:
  TLanguageId FSavedLanguage = 0, FSavedFallback = 0;
};

struct TCounter {
  int Calls = 0;
  int LastCode = 0;
  void Called(TItfObject *, int code, TNotifyArg, TNotifyArg) {
    ++Calls;
    LastCode = code;
  }
};

}  // namespace

// Every named id has an English text and every English text a named id; the header stays sorted.
TEST(StringTables, EveryConstantHasAnEnglishTextAndEveryTextAConstant) {
  const QByteArray header = ReadFileBytes(QStringLiteral(QN_SOURCE_DIR "/core/cuStrings.h"));
  const QRegularExpression constant(QStringLiteral(R"(^constexpr int (sid\w+) = (\d+);)"),
                                    QRegularExpression::MultilineOption);
  std::map<int, QString> constants;
  std::set<QString> names;
  int previous = -1;
  for (const QRegularExpressionMatch &m : constant.globalMatch(QString::fromUtf8(header))) {
    const int id = m.captured(2).toInt();
    EXPECT_GT(id, previous) << "cuStrings.h is not sorted by id at " << m.captured(1).toStdString();
    previous = id;
    EXPECT_TRUE(names.insert(m.captured(1)).second) << m.captured(1).toStdString() << " twice";
    constants[id] = m.captured(1);
  }
  ASSERT_GT(constants.size(), 100u);

  QStringList errors;
  const TStringTable english = ShippedTable(QStringLiteral("ENU"), &errors);
  EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
  for (const auto &[id, name] : constants)
    EXPECT_FALSE(english.value(id).isEmpty()) << name.toStdString() << " = " << id << " has no English text";
  for (auto it = english.cbegin(); it != english.cend(); ++it)
    EXPECT_TRUE(constants.count(it.key())) << "English text " << it.key() << " has no constant in cuStrings.h";
}

// Each shipped table is a known language, reads without errors, names its language and holds no id that
// English lacks.
TEST(StringTables, EveryLanguageReadsCleanlyAndNamesItself) {
  Localization();
  const TStringTable english = ShippedTable(QStringLiteral("ENU"), nullptr);
  QStringList files = QDir(QStringLiteral(":/lang")).entryList(QDir::Files);
  QStringList expected;
  for (const QString &code : AllCodes)
    expected.append(code + QStringLiteral(".txt"));
  files.sort();
  expected.sort();
  EXPECT_EQ(files, expected);
  for (const QString &code : AllCodes) {
    QStringList errors;
    const TStringTable table = ShippedTable(code, &errors);
    EXPECT_TRUE(errors.isEmpty()) << code.toStdString() << ": " << errors.join(u'\n').toStdString();
    EXPECT_FALSE(table.value(sidLanguageName).isEmpty()) << code.toStdString();
    for (auto it = table.cbegin(); it != table.cend(); ++it)
      EXPECT_TRUE(english.contains(it.key())) << code.toStdString() << " has " << it.key() << ", English not";
  }
}

TEST_F(LocalizationTest, EnglishTextsKeepTheirNoBreakSpacesAndLineBreaks) {
  Localization().SetLanguage(langEnglish);
  const std::map<int, QString> texts = {
      {sidProgramInfoNotFound, u"The information about the program is\u00A0not found on\u00A0the website"_qs},
      {sidNewerVersionAvailable,
       u"The newer version of\u00A0the program is\u00A0available: %1. You currently use the version: %2.\r\n\r\n"
       u"Press OK\u00A0to\u00A0go\u00A0on\u00A0the program download page"_qs},
      {sidLatestVersion, u"Excellent! You have the latest version of\u00A0the program"_qs},
      {sidAboutCaption, u"About\u00A0%1"_qs},
      {sidNewerFormatVersion, u"The format of\u00A0the data provided is\u00A0of\u00A0a\u00A0newer version\u00A0— "
                              u"perhaps you should update the program version"_qs},
      {sidValueRequired, u"The value must\u00A0be [set]"_qs},
      {sidUnsupportedElement, u"[Unsupported] element \"%1\" in\u00A0this editor"_qs},
      {sidItemDisabledHint, u"Disabling selected elements. Disabled elements are regarded as\u00A0absent. For "
                            u"example, they are not checked. You can enable these elements at\u00A0any moment."_qs},
      {sidItemCollapsedHint, u"Collapsing or\u00A0expanding selected elements."_qs},
      {sidItemSaveToFile, u"Save to\u00A0File"_qs},
      {sidLogicFrameCaptionHint, u"Description of\u00A0the data included in\u00A0the Logic Frame."_qs},
      {sidItemStarHint, u"Multipurpose sign. It\u00A0is\u00A0usually used for indicating rating, preferences (then "
                        u"you should use up\u00A0to\u00A05\u00A0stars). Also it\u00A0can be\u00A0used for other "
                        u"purposes at\u00A0user’s discretion."_qs},
      {sidItemInformationHint, u"Used for separating blocks of\u00A0information (list items): tasks, "
                               u"requirements, etc."_qs},
      {sidItemQuestionHint, u"Used for information that should be\u00A0solved: question, problem, questionable "
                            u"or\u00A0unconfirmed information."_qs},
      {sidItemImportantHint, u"Used for attracting attention to\u00A0important information. You can repeat "
                             u"it\u00A0several times to\u00A0show that information is\u00A0more important."_qs},
      {sidItemStopHint, u"Used to\u00A0indicate a\u00A0unsuccessful result: a\u00A0task is\u00A0not solved, "
                        u"information is\u00A0not confirmed, negative decision, a\u00A0product is\u00A0unsafe, etc."_qs},
      {sidItemReadyHint, u"Used to\u00A0indicate a\u00A0successful result: a\u00A0task is\u00A0solved, information "
                         u"is\u00A0confirmed, positive decision, a\u00A0product is\u00A0safe, etc."_qs},
      {sidReplacementsMade, u"The program has made %1\u00A0replacements"_qs},
      {sidFileExport, u"Export to\u00A0File..."_qs},
      {sidStayOnTop, u"Always on\u00A0Top"_qs},
      {sidShowInTray, u"Show in\u00A0the notification area"_qs},
      {sidShowCaptions, u"Show text on\u00A0buttons"_qs},
      {sidFocusNew, u"Move the focus to\u00A0elements when they are created"_qs},
      {sidFormatChangeWarning, u"Setting this format can lead to poor of image quality, change the size or loss of "
                               u"transparency.\r\nYou can use the Undo, if it is found that the required data is "
                               u"lost."_qs},
      {sidExternalEditingMode, u"The element is in the mode of [editing by third-party program] — you need to "
                               u"choose \"Apply\" or \"Cancel\""_qs},
      {sidFontSizeNames, u"Normal\nLarge\nExtra large"_qs},
      {sidHideToTrayByMinimizeButton, u"By minimize button don't minimize but hide to the notification area"_qs},
      {sidAppTitle, u"Quillnote"_qs},
  };
  for (const auto &[id, text] : texts)
    EXPECT_EQ(LoadString(id), text) << "string " << id;
}

TEST_F(LocalizationTest, FormatStringReplacesTheFirstOccurrenceOfEachPlaceholderInOrder) {
  Localization().SetLanguage(langEnglish);
  EXPECT_EQ(FormatString(sidFileNotFound, {u"/tmp/a b.qnt"_qs}), u"File not found: /tmp/a b.qnt"_qs);
  const QString oneArgument = FormatString(sidNewerVersionAvailable, {u"1.45"_qs});
  EXPECT_TRUE(oneArgument.startsWith(u"The newer version of\u00A0the program is\u00A0available: 1.45. "_qs));
  EXPECT_TRUE(oneArgument.contains(u"the version: %2."_qs));

  struct TCase {
    QString Text;
    QStringList Arguments;
    QString Expected;
  };
  const TCase cases[] = {
      {u"%1 and %1"_qs, {u"x"_qs}, u"x and %1"_qs},                // only the first occurrence
      {u"%2 before %1"_qs, {u"a"_qs, u"b"_qs}, u"b before a"_qs},  // any order in the text
      {u"%1, %2"_qs, {u"%2"_qs, u"y"_qs}, u"y, %2"_qs},            // an argument is hit by the next step
      {u"no placeholder"_qs, {u"x"_qs}, u"no placeholder"_qs},
      {u"%1 %3"_qs, {u"a"_qs}, u"a %3"_qs},  // a placeholder without argument stays
      {u"100%"_qs, {}, u"100%"_qs},
  };
  for (const TCase &c : cases)
    EXPECT_EQ(SubstitutePlaceholders(c.Text, c.Arguments), c.Expected) << c.Text.toStdString();
}

TEST_F(LocalizationTest, MissingTextsComeFromTheFallbackLanguage) {
  TLocalization &l = Localization();
  l.SetFallbackLanguage(langEnglish);
  l.SetLanguage(*TLocalization::LanguageCodeToId(u"DEU"_qs));
  EXPECT_EQ(LoadString(sidLanguageName), u"Deutsch"_qs);
  EXPECT_EQ(LoadString(sidItemBold), u"Bold"_qs);
  EXPECT_EQ(l.LoadStringIn(sidItemBold, 1031), QString());
  EXPECT_EQ(l.LoadStringIn(sidLanguageName, 1049), u"Русский"_qs);
  EXPECT_EQ(LoadString(1), QString());  // an id no table has
  l.SetFallbackLanguage(0);
  EXPECT_EQ(LoadString(sidItemBold), QString());
  // A language without any table (Ukrainian) reads everything from the fallback.
  l.SetFallbackLanguage(langEnglish);
  l.SetLanguage(1058);
  EXPECT_EQ(LoadString(sidLanguageName), u"English"_qs);
}

TEST_F(LocalizationTest, ChangingALanguageNotifiesOnceAndOnlyOnAChange) {
  TLocalization &l = Localization();
  l.SetLanguage(langEnglish);
  l.SetFallbackLanguage(langEnglish);
  TCounter counter;
  l.Subscribe(NotifyMethod<&TCounter::Called>, &counter);
  l.SetLanguage(langEnglish);
  l.SetFallbackLanguage(langEnglish);
  EXPECT_EQ(counter.Calls, 0);
  l.SetLanguage(1031);
  EXPECT_EQ(counter.Calls, 1);
  EXPECT_EQ(counter.LastCode, TLocalization::ncLanguageChanged);
  l.SetFallbackLanguage(0);
  EXPECT_EQ(counter.Calls, 2);
  l.Unsubscribe(NotifyMethod<&TCounter::Called>, &counter);
}

TEST_F(LocalizationTest, AStoredCodeThatIsEmptyOrUnknownGivesTheFallbackLanguage) {
  TLocalization &l = Localization();
  l.SetFallbackLanguage(langEnglish);
  const std::pair<QString, TLanguageId> cases[] = {
      {u"RUS"_qs, 1049}, {QString(), langEnglish}, {u"CHS"_qs, 2052}, {u"XYZ"_qs, langEnglish}, {u"rus"_qs, langEnglish}};
  for (const auto &[code, language] : cases) {
    l.SetLanguageCode(code);
    EXPECT_EQ(l.Language(), language) << code.toStdString();
  }
}

TEST(Localization, LanguageCodesAndAvailableLanguages) {
  EXPECT_EQ(TLocalization::LanguageCodeToId(u"DEU"_qs), std::optional<TLanguageId>(1031));
  EXPECT_EQ(TLocalization::LanguageCodeToId(u"ENU"_qs), std::optional<TLanguageId>(1033));
  EXPECT_EQ(TLocalization::LanguageCodeToId(u"CHS"_qs), std::optional<TLanguageId>(2052));
  EXPECT_EQ(TLocalization::LanguageCodeToId(u"deu"_qs), std::nullopt);
  EXPECT_EQ(TLocalization::LanguageCodeToId(QString()), std::nullopt);
  EXPECT_EQ(TLocalization::LanguageCodeToId(u"UKR"_qs), std::nullopt);
  EXPECT_EQ(Localization().AvailableLanguages(), AllCodes);
}

TEST(Localization, DefaultLanguageFollowsThePrimaryLanguageOfTheLocale) {
  const std::pair<const char *, const char *> cases[] = {
      {"zh_TW", "CHS"}, {"zh_CN", "CHS"}, {"pt_PT", "PTB"}, {"pt_BR", "PTB"}, {"uk_UA", "ENU"},
      {"uk", "ENU"},    {"C", "ENU"},     {"en_GB", "ENU"}, {"de_AT", "DEU"}, {"es_MX", "ESP"},
      {"fr_CA", "FRA"}, {"it_IT", "ITA"}, {"ja_JP", "JPN"}, {"nl_BE", "NLD"}, {"pl_PL", "PLK"},
      {"ru_RU", "RUS"},
  };
  for (const auto &[locale, code] : cases)
    EXPECT_EQ(Localization().DefaultLanguageCodeFor(QLocale(QString::fromLatin1(locale))),
              QString::fromLatin1(code))
        << locale;
}

TEST(StringTables, ParsingTakesEscapesCommentsAndCrLfAndReportsBadLines) {
  const QByteArray text = "# a comment\r\n"
                          "\n"
                          "10\tone\\ttwo\\nthree\\\\four\\r\r\n"
                          "11\t\xC2\xA0" "a\xC2\xA0" "b\n"
                          "12\t\n"
                          "no tab here\n"
                          "x1\ttext\n"
                          "-5\ttext\n"
                          "13\tbad \\q escape\n"
                          "10\tagain\n"
                          "14\tlast line without end";
  QStringList errors;
  const TStringTable table = ParseStringTable(text, &errors);
  EXPECT_EQ(table.value(10), u"one\ttwo\nthree\\four\r"_qs);
  EXPECT_EQ(table.value(11), u"\u00A0a\u00A0b"_qs);
  EXPECT_TRUE(table.contains(12));
  EXPECT_EQ(table.value(12), QString());
  EXPECT_EQ(table.value(13), u"bad \\q escape"_qs);
  EXPECT_EQ(table.value(14), u"last line without end"_qs);
  EXPECT_EQ(table.size(), 5);
  EXPECT_EQ(errors, (QStringList{u"line 6: no TAB after the id"_qs,
                                 u"line 7: the id is not a non-negative decimal number"_qs,
                                 u"line 8: the id is not a non-negative decimal number"_qs,
                                 u"line 9: unknown escape (only \\n, \\r, \\t and \\\\ exist)"_qs,
                                 u"line 10: id 10 appears again"_qs}));

  errors.clear();
  ParseStringTable("1\tbad \xFF byte\n", &errors);
  EXPECT_EQ(errors, QStringList{u"line 0: the text is not valid UTF-8"_qs});
}
