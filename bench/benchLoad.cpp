// quillnote-bench load: a generated data file of about 100,000 paragraphs with signs, links and tabs,
// loaded from memory into the document root on a sheet 800 pixels wide, against the same content given to
// QTextDocument as HTML; our save with and without the device flushes; our resident memory after the load.
#include "benchSupport.h"

#include "cuDesktop.h"
#include "cuFileSystem.h"
#include "cuKnot.h"
#include "diCommonElements.h"
#include "diSheet.h"
#include "diSheetSettings.h"
#include "plElements.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QUrl>

#include <malloc.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
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

// Saves put the wait cursor up; there is no window here.
class TNoUserInterface : public TUserInterface {
public:
  int MessageBox(const QString &, const QString &, int) override { return 1; }
  void SetWaitCursor(bool) override {}
  void Beep() override {}
};

// The operating system's file system without the flushes to the device, for the save without fsync.
class TNoSyncFileSystem : public TFileSystem {
public:
  int CreateExclusive(const QString &path, int permissions, THandle &handle) override {
    return PosixFileSystem().CreateExclusive(path, permissions, handle);
  }
  int Write(THandle handle, const char *data, qint64 size) override { return PosixFileSystem().Write(handle, data, size); }
  int Sync(THandle) override { return 0; }
  int Close(THandle handle) override { return PosixFileSystem().Close(handle); }
  int Rename(const QString &from, const QString &to) override { return PosixFileSystem().Rename(from, to); }
  int Remove(const QString &path) override { return PosixFileSystem().Remove(path); }
  int SyncFolder(const QString &) override { return 0; }
};

// Resident memory in MB after the allocator gave back what it could.
double ResidentMegabytes() {
  malloc_trim(0);
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1e6;
}

// Our document on a sheet 800 pixels wide without a height limit.
struct TOurDocument {
  TNodePtr<TSheetSettings> Settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  std::unique_ptr<TSheet> Sheet = std::make_unique<TSheet>(*Settings);
  TPlainDocumentSchemes Schemes = OpenPlainDocument(QString());

  TOurDocument() { Sheet->SetLimits(kWidth, 0); }
  ~TOurDocument() { Schemes.Root().SetVisualParent(nullptr); }
  // Parse, build (the loader's checks run at its end), and with `layOut` lay out.
  void Load(const QByteArray &file, bool layOut = true) {
    TNodePtr<TKnot> tree = MakeNode<TKnot>();
    tree->LoadFromBytes(file);
    Schemes.Document->LoadFromKnot(Schemes.Root(), fmDocument, *tree);
    if (layOut)
      Schemes.Root().SetVisualParent(Sheet->RootElement());
  }
};

int RunLoad(const QStringList &) {
  InstallUserInterface(std::make_unique<TNoUserInterface>());
  CommonElements();
  QByteArray file;
  {
    const std::vector<TGeneratedParagraph> paragraphs = GenerateParagraphs();
    file = DataFile(paragraphs);
    qsizetype characters = 0;
    for (const TGeneratedParagraph &g : paragraphs)
      characters += g.Text.size();
    PrintFigure(QStringLiteral("load data file"), file.size() / 1e6, QStringLiteral("MB"));
    PrintFigure(QStringLiteral("load mean paragraph length"), double(characters) / kParagraphs,
                QStringLiteral("characters"));
  }

  const double residentBefore = ResidentMegabytes();
  // The shares of the load: the parse alone, then parse and build without the layout.
  TNodePtr<TKnot> tree;
  const double parse = MedianSeconds(
      "our parse", [&] { tree->LoadFromBytes(file); }, [&] { tree = MakeNode<TKnot>(); });
  tree.reset();
  std::unique_ptr<TOurDocument> ours;
  const double build = MedianSeconds(
      "our parse and build", [&] { ours->Load(file, false); },
      [&] {
        ours.reset();
        ours = std::make_unique<TOurDocument>();
      });
  const double ourLoad = MedianSeconds(
      "our load", [&] { ours->Load(file); },
      [&] {
        ours.reset();
        ours = std::make_unique<TOurDocument>();
      });
  TPlainRoot &root = ours->Schemes.Root();
  if (root.Textor().ParagraphCount() != kParagraphs || ours->Schemes.LogRoot().Messages().Count() != 0) {
    std::fprintf(stderr, "load: %d paragraphs, %d log messages\n", root.Textor().ParagraphCount(),
                 ours->Schemes.LogRoot().Messages().Count());
    return 1;
  }
  PrintFigure(QStringLiteral("load our document height"), root.Height(), QStringLiteral("pixels"));
  const double resident = ResidentMegabytes();
  const double residentLimit = 5 * file.size() / 1e6 + 60;
  std::printf("load resident memory after load: %.1f MB (%.1f MB before it) vs limit %.1f MB, ratio %.3f\n",
              resident, residentBefore, residentLimit, resident / residentLimit);

  QTemporaryDir folder;
  const QString target = folder.filePath(QStringLiteral("bench.qnt"));
  const double saveSynced = MedianSeconds("our save", [&] { ours->Schemes.Document->SaveToFile(target, false); });
  TNoSyncFileSystem noSync;
  TFileSystem *previous = SetFileSystem(&noSync);
  const double saveUnsynced =
      MedianSeconds("our save without fsync", [&] { ours->Schemes.Document->SaveToFile(target, false); });
  SetFileSystem(previous);
  QFile saved(target);
  if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != file) {
    std::fprintf(stderr, "load: the saved file differs from the loaded one\n");
    return 1;
  }
  ours.reset();

  const QString html = Html(GenerateParagraphs());
  PrintFigure(QStringLiteral("load html"), html.toUtf8().size() / 1e6, QStringLiteral("MB"));
  std::unique_ptr<QTextDocument> qt;
  const double qtLoad = MedianSeconds("qt setHtml", [&] { qt = QtDocument(html); }, [&] { qt.reset(); });
  PrintRatio(QStringLiteral("load ours (parse, build, check, lay out) vs Qt setHtml + documentSize"), ourLoad, qtLoad);
  PrintRatio(QStringLiteral("load ours vs the 1 s limit"), ourLoad, 1.0);
  PrintRatio(QStringLiteral("load share: parse vs our whole load"), parse, ourLoad);
  PrintRatio(QStringLiteral("load share: parse + build + checks vs our whole load"), build, ourLoad);
  PrintRatio(QStringLiteral("load save without fsync vs the 250 ms limit"), saveUnsynced, 0.25);
  PrintRatio(QStringLiteral("load save with fsync vs without"), saveSynced, saveUnsynced);
  return 0;
}

}  // namespace

QN_BENCH_COMMAND("load", "a 100,000-paragraph data file: our load and save vs QTextDocument::setHtml", RunLoad);
