// quillnote-bench knot: our knot reader and writer against pugixml on the same ~50 MB text, and the live
// heap of the parsed tree.
//
// The tree is deterministic (fixed seed, our own draws so that every standard library builds the same):
// by bytes about 40 % short knots with 1 to 3 parameters of 5 to 40 characters, 40 % text values of 1 to
// 16 KB and 20 % hexadecimal values of 4 to 64 KB; nesting depth about 8 on average and at most 200.
#include "benchSupport.h"
#include "cuKnot.h"

#include <pugixml.hpp>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

class TDraw {
public:
  explicit TDraw(uint64_t seed) : FEngine(seed) {}
  // Uniform in [lo, hi].
  int Int(int lo, int hi) { return lo + int(FEngine() % uint64_t(hi - lo + 1)); }
  double Unit() { return double(FEngine() >> 11) * (1.0 / 9007199254740992.0); }

private:
  std::mt19937_64 FEngine;
};

const char *const knotNames[] = {"Chars", "Br", "Star", "Comment", "LogicFrame", "Caption", "Content",
                                 "Table", "Row", "Cell", "Image", "Question", "Ready"};
const char *const paramNames[] = {"Value", "Data", "Left", "Top", "Width", "Height", "Expanded", "ID"};

// Mostly letters and spaces, with a sprinkling of what needs escaping and of characters outside ASCII.
QString Text(TDraw &draw, int length) {
  static const char16_t specials[] = u"&<>\"'\t.,;:!?()0123456789\u00E9\u00FC\u20AC\u4E2D\u00A0";
  QString s(length, Qt::Uninitialized);
  QChar *d = s.data();
  for (int i = 0; i < length; ++i) {
    int r = draw.Int(0, 99);
    if (r < 15)
      d[i] = u' ';
    else if (r < 98)
      d[i] = QChar(char16_t(u'a' + draw.Int(0, 25)));
    else
      d[i] = QChar(specials[draw.Int(0, int(std::size(specials)) - 2)]);
  }
  return s;
}

struct TTreeStats {
  qint64 Knots = 0, DepthSum = 0;
  int MaxDepth = 0;
  qint64 Bytes[3] = {};  // estimated text bytes of short knots, text values, hexadecimal values
};

TNodePtr<TKnot> BuildTree(qint64 targetBytes, TTreeStats &stats) {
  TDraw draw(20240611);
  auto root = MakeNode<TKnot>(QStringLiteral("Quillnote"));
  root->WriteStr(QStringLiteral("FormatVersion"), QStringLiteral("1.1"));
  std::vector<TKnot *> path{root.get()};
  const double share[3] = {0.4, 0.4, 0.2};
  qint64 total = 0;
  while (total < targetBytes) {
    // The category furthest below its share of the bytes so far.
    int category = 0;
    for (int c = 1; c < 3; ++c)
      if (double(stats.Bytes[c]) / share[c] < double(stats.Bytes[category]) / share[category])
        category = c;
    // Depth: an exponential tail around 8, and now and then a dive of up to 200 levels; a knot deeper than
    // the current path gets short container knots (counted as short knots) in between.
    int depth = draw.Int(0, 19999) ? 1 + int(-std::log(1.0 - draw.Unit()) * 5.0) : draw.Int(50, 200);
    depth = std::min(depth, 200);
    path.resize(std::min(path.size(), size_t(depth)));
    while (int(path.size()) < depth) {
      TKnot *container = path.back()->AddChild(QStringLiteral("LogicFrame"));
      const QString value = Text(draw, draw.Int(5, 40));
      container->AddParam(QStringLiteral("Caption"))->SetText(value);
      const qint64 bytes = 4 * qint64(path.size()) + 40 + value.size();
      stats.Bytes[0] += bytes;
      total += bytes;
      ++stats.Knots;
      stats.DepthSum += qint64(path.size());
      path.push_back(container);
    }
    TKnot *k = path.back()->AddChild(QString::fromLatin1(knotNames[draw.Int(0, int(std::size(knotNames)) - 1)]));
    path.push_back(k);
    qint64 bytes = 2 * depth + 6 + k->Name().size();
    if (category == 0) {
      for (int n = draw.Int(1, 3); n > 0; --n) {
        const QString name = QString::fromLatin1(paramNames[draw.Int(0, int(std::size(paramNames)) - 1)]);
        const QString value = Text(draw, draw.Int(5, 40));
        k->AddParam(name)->SetText(value);
        bytes += name.size() + value.size() + 4;
      }
    } else if (category == 1) {
      const QString value = Text(draw, draw.Int(1024, 16 * 1024));
      k->AddParam(QStringLiteral("Value"))->SetText(value);
      bytes += value.size() + 9;
    } else {
      QByteArray data(draw.Int(2 * 1024, 32 * 1024), Qt::Uninitialized);
      for (char &b : data)
        b = char(draw.Int(0, 255));
      k->AddParam(QStringLiteral("Data"))->SetBinary(data);
      bytes += 2 * data.size() + 8;
    }
    stats.Bytes[category] += bytes;
    total += bytes;
    ++stats.Knots;
    stats.DepthSum += depth;
    stats.MaxDepth = std::max(stats.MaxDepth, depth);
  }
  return root;
}

struct TStringWriter : pugi::xml_writer {
  std::string Out;
  void write(const void *data, size_t size) override { Out.append(static_cast<const char *>(data), size); }
};

size_t HeapInUse() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

int RunKnotBench(const QStringList &) {
  TTreeStats stats;
  QByteArray text;
  {
    TNodePtr<TKnot> built = BuildTree(56'000'000, stats);
    text = built->ToBytes(teUtf8);
  }
  const double mb = 1024.0 * 1024.0;
  const qint64 all = stats.Bytes[0] + stats.Bytes[1] + stats.Bytes[2];
  std::printf("text: %.1f MB, %lld knots, depth mean %.1f max %d; by bytes %.0f %% short knots, %.0f %% text "
              "values, %.0f %% hexadecimal values\n",
              double(text.size()) / mb, qlonglong(stats.Knots), double(stats.DepthSum) / double(stats.Knots),
              stats.MaxDepth, 100.0 * double(stats.Bytes[0]) / double(all), 100.0 * double(stats.Bytes[1]) / double(all),
              100.0 * double(stats.Bytes[2]) / double(all));

  // Live heap of one parsed tree: the text is parsed where it lies and nothing else is kept.
  TNodePtr<TKnot> tree;
  {
    malloc_trim(0);
    const size_t before = HeapInUse();
    tree = MakeNode<TKnot>();
    tree->LoadFromBytes(text);
    const size_t after = HeapInUse();
    if (tree->HasParseError()) {
      std::fprintf(stderr, "knot bench: our reader found the text damaged\n");
      return 1;
    }
    std::printf("knot tree live heap: %.1f MB vs file %.1f MB, ratio %.3f\n", double(after - before) / mb,
                double(text.size()) / mb, double(after - before) / double(text.size()));
  }

  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(text.constData(), size_t(text.size()),
                                                             pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) {
    std::fprintf(stderr, "knot bench: pugixml cannot parse the text: %s\n", parsed.description());
    return 1;
  }

  // The machine may be shared: more runs than the minimum keep the medians steady.
  const int runs = 15;
  TNodePtr<TKnot> loaded;
  const double ourLoad = MedianSeconds(
      "knot load",
      [&] {
        loaded = MakeNode<TKnot>();
        loaded->LoadFromBytes(text);
      },
      [&] { loaded.reset(); }, runs);
  loaded.reset();
  const double pugiLoad = MedianSeconds(
      "pugixml load",
      [&] {
        document.load_buffer(text.constData(), size_t(text.size()), pugi::parse_default, pugi::encoding_utf8);
      },
      [&] { document.reset(); }, runs);
  PrintRatio(QStringLiteral("knot load (decode + parse) vs pugixml load_buffer"), ourLoad, pugiLoad);

  document.load_buffer(text.constData(), size_t(text.size()), pugi::parse_default, pugi::encoding_utf8);
  QByteArray ourBytes;
  const double ourWrite = MedianSeconds(
      "knot write", [&] { ourBytes = tree->ToBytes(teUtf8); }, [&] { ourBytes = QByteArray(); }, runs);
  // Both writers start every run with no buffer: assigning an empty std::string would keep the old
  // capacity (and its mapped pages), which our writer, returning a new array, never has.
  TStringWriter writer;
  const double pugiWrite = MedianSeconds(
      "pugixml save", [&] { document.save(writer, "\t", pugi::format_indent, pugi::encoding_utf8); },
      [&] { std::string().swap(writer.Out); }, runs);
  PrintRatio(QStringLiteral("knot write vs pugixml save"), ourWrite, pugiWrite);
  return 0;
}

}  // namespace

QN_BENCH_COMMAND("knot", "knot reader and writer against pugixml on a ~50 MB text; live heap of the tree",
                 RunKnotBench);
