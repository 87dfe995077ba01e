// quillnote-bench load-model: loading and saving a document of 100,000 elements, against the knot layer's
// parse and write of the same text.
#include "benchSupport.h"

#include "testKinds.h"

#include <memory>

namespace {

int RunLoadModel(const QStringList &) {
  constexpr int elementCount = 100000;
  const QString text = TestDocumentText(elementCount);
  PrintFigure(QStringLiteral("load-model document"), text.size() / 1e6, QStringLiteral("million characters"));

  // The knot layer alone: parse the text; write a parsed tree.
  TNodePtr<TKnot> parsed;
  const double parse = MedianSeconds(
      "knot parse", [&] { parsed->ParseString(text); }, [&] { parsed = MakeNode<TKnot>(); });
  QString written;
  const double write = MedianSeconds("knot write", [&] { written = parsed->GetText(); });

  // The element layer on top: parse and load into a scheme; save the scheme and write its tree.
  std::unique_ptr<TScheme> scheme;
  TNodePtr<TKnot> tree;
  const double load = MedianSeconds(
      "element load",
      [&] {
        tree->ParseString(text);
        scheme->LoadFromKnot(*scheme->Root(), fmDocument, *tree);
      },
      [&] {
        scheme = NewTestScheme();
        tree = MakeNode<TKnot>();
      });
  if (scheme->ElementCount() < elementCount) {
    std::fprintf(stderr, "load-model: only %d elements loaded\n", scheme->ElementCount());
    return 1;
  }
  // The saved tree is freed untimed, as the parsed trees are.
  TNodePtr<TKnot> out;
  const double save = MedianSeconds(
      "element save",
      [&] {
        scheme->SaveToKnot(*scheme->Root(), fmDocument, *out, foDocumentSave);
        written = out->GetText();
      },
      [&] { out = MakeNode<TKnot>(); });
  if (written != text) {
    std::fprintf(stderr, "load-model: the saved text differs from the loaded one\n");
    return 1;
  }
  PrintRatio(QStringLiteral("load-model load (parse + element load) vs knot parse"), load, parse);
  PrintRatio(QStringLiteral("load-model save (element save + write) vs knot write"), save, write);
  return 0;
}

}  // namespace

QN_BENCH_COMMAND("load-model", "loading and saving a 100,000-element document vs the knot layer alone", RunLoadModel);
