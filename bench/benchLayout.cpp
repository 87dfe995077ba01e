// quillnote-bench layout: building, editing, re-laying out and hit-testing rich text in a textor, against a
// QTextDocument configured alike (same font without kerning, no margin, the same width, wrapping at word
// boundaries or anywhere, the same tab distance; its lazy layout forced after every step).
#include "benchSupport.h"

#include "diTextor.h"

#include <QAbstractTextDocumentLayout>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>

#include <cstdio>
#include <memory>

namespace {

constexpr int kWidth = 600;

// Looked up once and referenced for the whole run (a lookup per measurement would time the registry).
TRichTextAttributes *BenchFont() {
  static TAttributesRef<TRichTextAttributes> font(FontAttributes(QStringLiteral("DejaVu Sans"), 10, clWindowText, 0));
  return font.Get();
}

class TBenchTextor : public TTextor {
public:
  TBenchTextor() : TTextor(true) {}
  TTextAttributes *DefaultTextAttributes() const override { return BenchFont(); }
  int LayoutWidth() const override { return kWidth; }
  bool ParagraphBreaksAllowed() const override { return true; }
  bool TabsAllowed() const override { return true; }
};

// About 1 MB of words; `paragraphs` paragraphs separated by CR LF.
QString GeneratedText(int paragraphs) {
  QRandomGenerator random(2024);
  QString text;
  const int perParagraph = 1000000 / paragraphs;
  for (int p = 0; p < paragraphs; ++p) {
    if (p > 0)
      text += QStringLiteral("\r\n");
    const qsizetype start = text.size();
    while (text.size() - start < perParagraph) {
      const int length = 1 + random.bounded(9);
      for (int i = 0; i < length; ++i)
        text += QChar(u'a' + random.bounded(26));
      text += random.bounded(20) == 0 ? QChar(u'\t') : QChar(u' ');
    }
  }
  return text;
}

int OurRows(const TTextor &t) {
  int n = 0;
  for (TParagraph *p = t.FirstParagraph(); p; p = p->Next())
    n += int(p->Rows().size());
  return n;
}

int QtRows(QTextDocument &d) {
  int n = 0;
  for (QTextBlock b = d.begin(); b.isValid(); b = b.next())
    n += b.layout()->lineCount();
  return n;
}

std::unique_ptr<QTextDocument> NewDocument(const QString &text) {
  auto d = std::make_unique<QTextDocument>();
  QFont font = BenchFont()->Font().Font();
  font.setKerning(false);
  d->setDefaultFont(font);
  d->setDocumentMargin(0);
  d->setTextWidth(kWidth);
  QTextOption option = d->defaultTextOption();
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  option.setTabStopDistance(BenchFont()->TabWidth());
  d->setDefaultTextOption(option);
  d->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  d->documentLayout()->documentSize();
  return d;
}

std::unique_ptr<TBenchTextor> NewTextor(const QString &text) {
  auto t = std::make_unique<TBenchTextor>();
  t->SetText(text);
  t->EndLayoutLock();
  return t;
}

void RunContent(const QString &name, int paragraphs) {
  const QString text = GeneratedText(paragraphs);
  std::unique_ptr<TBenchTextor> ours;
  std::unique_ptr<QTextDocument> qt;

  const double buildOurs = MedianSeconds("textor build", [&] { ours = NewTextor(text); }, [&] { ours.reset(); });
  const double buildQt = MedianSeconds("qt build", [&] { qt = NewDocument(text); }, [&] { qt.reset(); });
  PrintFigure(name + QStringLiteral(" rows, ours"), OurRows(*ours), QStringLiteral("rows"));
  PrintFigure(name + QStringLiteral(" rows, Qt"), QtRows(*qt), QStringLiteral("rows"));
  PrintRatio(name + QStringLiteral(" (1) full layout"), buildOurs, buildQt);

  // (2) One character in the middle.
  const int middle = paragraphs / 2;
  const int offset = ours->ParagraphAt(middle)->TotalLength() / 2;
  const TTextPosition at = *ours->CoordinatesToPosition({middle, offset});
  const double insertOurs = MedianSeconds("textor insert", [&] { ours->InsertText(at, u"x", nullptr); });
  const int qtAt = qt->findBlockByNumber(middle).position() + offset;
  const double insertQt = MedianSeconds("qt insert", [&] {
    QTextCursor cursor(qt.get());
    cursor.setPosition(qtAt);
    cursor.insertText(QStringLiteral("x"));
    qt->documentLayout()->documentSize();
  });
  PrintRatio(name + QStringLiteral(" (2) insert one character"), insertOurs, insertQt);

  // (3) A 100-paragraph range (a 10,000-character range of the single paragraph).
  const bool single = paragraphs == 1;
  TTextRange range;
  const double deleteOurs = MedianSeconds(
      "textor delete", [&] { ours->DeleteRange(range); },
      [&] {
        ours = NewTextor(text);
        range = single ? *ours->CoordinatesToRange({0, 500000, 0, 510000})
                       : *ours->CoordinatesToRange({middle, 0, middle + 100, 0});
      });
  int qtFrom = 0, qtTo = 0;
  const double deleteQt = MedianSeconds(
      "qt delete",
      [&] {
        QTextCursor cursor(qt.get());
        cursor.setPosition(qtFrom);
        cursor.setPosition(qtTo, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        qt->documentLayout()->documentSize();
      },
      [&] {
        qt = NewDocument(text);
        qtFrom = single ? 500000 : qt->findBlockByNumber(middle).position();
        qtTo = single ? 510000 : qt->findBlockByNumber(middle + 100).position();
      });
  PrintRatio(name + QStringLiteral(" (3) delete a range"), deleteOurs, deleteQt);

  // (4) 10,000 hit tests at the same points.
  std::vector<QPoint> points;
  QRandomGenerator random(5);
  const int height = std::min(ours->TextHeight(), int(qt->documentLayout()->documentSize().height()));
  for (int i = 0; i < 10000; ++i)
    points.emplace_back(random.bounded(kWidth), random.bounded(std::max(1, height)));
  int sink = 0;
  const double hitOurs = MedianSeconds("textor hit", [&] {
    for (const QPoint &p : points)
      sink += ours->PositionAtPoint(p, true, true)->Position.Offset;
  });
  const double hitQt = MedianSeconds("qt hit", [&] {
    for (const QPoint &p : points)
      sink += qt->documentLayout()->hitTest(p, Qt::FuzzyHit);
  });
  PrintRatio(name + QStringLiteral(" (4) 10,000 hit tests"), hitOurs, hitQt);
  if (sink == 42)
    std::puts("");
}

int RunLayout(const QStringList &) {
  RunContent(QStringLiteral("layout 10,000 paragraphs"), 10000);
  RunContent(QStringLiteral("layout one paragraph"), 1);
  return 0;
}

} // namespace

QN_BENCH_COMMAND("layout", "rich-text layout, editing and hit tests against QTextDocument", RunLayout);
