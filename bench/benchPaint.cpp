// quillnote-bench paint: repainting parts of a sheet whose document is a root panel of rows of 100 panels
// of 40 x 20 at explicit positions, each drawing the tinted "Element" skin, into the off-screen buffer
// (no copy to a window). A small rectangle should cost the same whatever the document's size; a full
// window-sized repaint of the large document should stay well under a frame.
#include "benchSupport.h"

#include "diSheet.h"
#include "diSheetSettings.h"
#include "testKinds.h"

#include <cstdio>
#include <memory>

namespace {

constexpr int kPanelWidth = 40, kPanelHeight = 20, kRowLength = 100;
constexpr TColor32 kTints[] = {MakeColor32(90, 140, 220), MakeColor32(220, 150, 70), MakeColor32(110, 190, 120),
                               MakeColor32(200, 110, 180)};

struct TPaintDocument {
  explicit TPaintDocument(int panels) {
    TVisualElement *root = Doc();
    for (int r = 0; r < panels / kRowLength; ++r) {
      TElement_TestPanel *row = AddTestPanel(&Scheme, root, 0, r * kPanelHeight, 1, 1);
      for (int c = 0; c < kRowLength; ++c) {
        TElement_TestPanel *panel = AddTestPanel(&Scheme, row, c * kPanelWidth, 0, kPanelWidth, kPanelHeight);
        panel->Skin = true;
        // A few tints, as a document's kinds have.
        panel->Tint = kTints[(r + c) % 4];
      }
    }
    root->SetVisualParent(Sheet.RootElement());
  }
  ~TPaintDocument() { Doc()->SetVisualParent(nullptr); }
  TElement_TestPanel *Doc() { return static_cast<TElement_TestPanel *>(Scheme.Root()); }
  int Rows() const { return Sheet.ContentHeight() / kPanelHeight; }

  TNodePtr<TSheetSettings> Settings{new TSheetSettings(nullptr, QStringLiteral("Sheet"))};
  TSheet Sheet{*Settings};
  TScheme Scheme{&TElement_TestPanel::Class(), QStringLiteral("Quillnote")};
};

// The middle panel of the document.
QRect MiddlePanel(const TPaintDocument &doc) {
  return QRect(kRowLength / 2 * kPanelWidth, doc.Rows() / 2 * kPanelHeight, kPanelWidth, kPanelHeight);
}

int RunPaint(const QStringList &) {
  TPaintDocument small(1000), large(100000);
  if (small.Rows() != 10 || large.Rows() != 1000) {
    std::fprintf(stderr, "paint: the documents have %d and %d rows\n", small.Rows(), large.Rows());
    return 1;
  }
  const QRect smallRect = MiddlePanel(small), largeRect = MiddlePanel(large);
  const double smallTime = MedianSeconds("paint 40 x 20 of 1,000", [&] { small.Sheet.Paint(nullptr, smallRect, 0); });
  const double largeTime =
      MedianSeconds("paint 40 x 20 of 100,000", [&] { large.Sheet.Paint(nullptr, largeRect, 0); });
  const QRect window(0, large.Rows() / 2 * kPanelHeight, 1280, 800);
  const double full = MedianSeconds("paint 1280 x 800 of 100,000", [&] { large.Sheet.Paint(nullptr, window, 0); });
  PrintRatio(QStringLiteral("paint 40 x 20 rectangle, 100,000 panels vs 1,000 panels (goal <= 1.5)"), largeTime,
             smallTime);
  PrintFigure(QStringLiteral("paint full 1280 x 800 repaint of 100,000 panels (goal < 8 ms)"), full * 1000,
              QStringLiteral("ms"));
  return 0;
}

}  // namespace

QN_BENCH_COMMAND("paint", "repainting a small rectangle of sheets of 1,000 and 100,000 panels, and a full window",
                 RunPaint);
