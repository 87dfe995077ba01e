// quillnote-bench load: a generated data file of about 100,000 paragraphs with signs, links and tabs,
// loaded from memory into the document root on a sheet 800 pixels wide, against the same content given to
// QTextDocument as HTML; our save with and without the device flushes; our resident memory after the load.
#include "benchSupport.h"

#include "cuKnot.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QUrl>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int kParagraphs = 100000;
constexpr int kWidth = 800;

// The six signs by type name, in the order the generator cycles through them.
const char *const kSigns[] = {"Star", "Information", "Question", "Important", "Stop", "Ready"};

// One generated paragraph: an optional sign at its start, then its text (words, maybe a link, maybe a tab).
struct TGeneratedParagraph {
  int Sign = -1;  // index into kSigns, or -1
  QString Text;
  // Where the link stands in Text, if any.
  qsizetype LinkStart = -1, LinkLength = 0;
};

// Fixed seed: every run and every machine gets the same document. Paragraph lengths run from 10 to 300
// characters, skewed towards short ones (mean about 100); every fourth paragraph starts with a sign,
// every tenth holds a link, every twentieth a tab.
std::vector<TGeneratedParagraph> GenerateParagraphs() {
  QRandomGenerator random(20261211);
  std::vector<TGeneratedParagraph> paragraphs(kParagraphs);
  for (int p = 0; p < kParagraphs; ++p) {
    TGeneratedParagraph &g = paragraphs[size_t(p)];
    const double u = random.generateDouble();
    const int length = 10 + int(290 * std::pow(u, 2.2));
    if (p % 4 == 0)
      g.Sign = (p / 4) % 6;
    const int linkAt = p % 10 == 0 ? int(random.bounded(length)) : -1;
    const int tabAt = p % 20 == 0 ? int(random.bounded(length)) : -1;
    bool tabDone = tabAt < 0;
    while (g.Text.size() < length) {
      if (!g.Text.isEmpty()) {
        const bool tab = !tabDone && g.Text.size() >= tabAt;
        tabDone = tabDone || tab;
        g.Text += tab ? QChar(u'\t') : QChar(u' ');
      }
      if (linkAt >= 0 && g.LinkStart < 0 && g.Text.size() >= linkAt) {
        g.LinkStart = g.Text.size();
        g.Text += QStringLiteral("https://example.org/notes/%1").arg(random.bounded(1000000));
        g.LinkLength = g.Text.size() - g.LinkStart;
        continue;
      }
      const int word = 1 + int(random.bounded(9));
      for (int i = 0; i < word; ++i)
        g.Text += QChar(u'a' + random.bounded(26));
    }
  }
  return paragraphs;
}

// The data file as the document root writes it: top knot "Quillnote" with "FormatVersion", positional
// children, each paragraph's sign as an empty knot, its text as one "Chars", and a "Br" on the line of the
// knot before it between two paragraphs.
QByteArray DataFile(const std::vector<TGeneratedParagraph> &paragraphs) {
  TNodePtr<TKnot> top = MakeNode<TKnot>(QStringLiteral("Quillnote"));
  top->WriteStr(QStringLiteral("FormatVersion"), QStringLiteral("1.1"));
  top->SetAddedOptions(koPositionalChildren);
  const QString chars = QStringLiteral("Chars"), value = QStringLiteral("Value"), br = QStringLiteral("Br");
  bool first = true;
  for (const TGeneratedParagraph &g : paragraphs) {
    if (!first)
      top->AddChild(br)->SetAddedOptions(koSameLine);
    first = false;
    if (g.Sign >= 0)
      top->AddChild(QString::fromLatin1(kSigns[g.Sign]));
    top->AddChild(chars)->WriteStr(value, g.Text);
  }
  return top->ToBytes(teUtf8);
}

// The same document as HTML: one margin-less paragraph each, tabs kept by pre-wrap, links as anchors and
// signs as 16 x 16 images registered with the document.
QString Html(const std::vector<TGeneratedParagraph> &paragraphs) {
  QString html = QStringLiteral("<html><body style=\"white-space:pre-wrap\">");
  html.reserve(qsizetype(paragraphs.size()) * 140);
  for (const TGeneratedParagraph &g : paragraphs) {
    html += QStringLiteral("<p style=\"margin:0\">");
    if (g.Sign >= 0)
      html += QStringLiteral("<img src=\"sign%1\" width=\"16\" height=\"16\">").arg(g.Sign);
    if (g.LinkStart < 0) {
      html += g.Text.toHtmlEscaped();
    } else {
      const QString link = g.Text.mid(g.LinkStart, g.LinkLength);
      html += g.Text.left(g.LinkStart).toHtmlEscaped();
      html += QStringLiteral("<a href=\"%1\">%1</a>").arg(link);
      html += g.Text.mid(g.LinkStart + g.LinkLength).toHtmlEscaped();
    }
    html += QStringLiteral("</p>");
  }
  html += QStringLiteral("</body></html>");
  return html;
}

std::unique_ptr<QTextDocument> QtDocument(const QString &html) {
  auto d = std::make_unique<QTextDocument>();
  for (int i = 0; i < 6; ++i) {
    QImage sign(16, 16, QImage::Format_ARGB32_Premultiplied);
    sign.fill(QColor::fromHsv(i * 60, 200, 200));
    d->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("sign%1").arg(i)), sign);
  }
  d->setTextWidth(kWidth);
  d->setHtml(html);
  d->documentLayout()->documentSize();
  return d;
}

int RunLoad(const QStringList &) {
  const std::vector<TGeneratedParagraph> paragraphs = GenerateParagraphs();
  const QByteArray file = DataFile(paragraphs);
  const QString html = Html(paragraphs);
  PrintFigure(QStringLiteral("load data file"), file.size() / 1e6, QStringLiteral("MB"));
  qsizetype characters = 0;
  for (const TGeneratedParagraph &g : paragraphs)
    characters += g.Text.size();
  PrintFigure(QStringLiteral("load mean paragraph length"), double(characters) / kParagraphs,
              QStringLiteral("characters"));
  PrintFigure(QStringLiteral("load html"), html.toUtf8().size() / 1e6, QStringLiteral("MB"));

  std::unique_ptr<QTextDocument> qt;
  const double qtLoad = MedianSeconds("qt setHtml", [&] { qt = QtDocument(html); }, [&] { qt.reset(); });
  PrintFigure(QStringLiteral("load Qt setHtml + documentSize"), qtLoad * 1e3, QStringLiteral("ms"));
  return 0;
}

}  // namespace

QN_BENCH_COMMAND("load", "a 100,000-paragraph data file: our load and save vs QTextDocument::setHtml", RunLoad);
