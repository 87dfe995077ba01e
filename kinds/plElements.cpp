#include "plElements.h"

#include "diCommonElements.h"
#include "diCanvas.h"
#include "diSheet.h"

#include <QFileInfo>

// ---------------------------------------------------------------------------------------------------------
// TPlainRoot

QN_DEFINE_ELEMENT_CLASS(TPlainRoot, TTextorElement)

TPlainRoot::TPlainRoot() {
  SetTextorOptions(TextorOptions() | toInlineElements | toHyperlinks | toFixedFont | toIncreaseWorkspaceHeight |
                   toParentWidth | toParentHeight);
  SetContentSet(csAll);
}

void TPlainRoot::GetAcceptedClasses(TElementClassList &list) {
  TClassesGroups::Instance().AddGroupClasses(CommonElements().SignsGroup, list);
  TTextorElement::GetAcceptedClasses(list);
}

void TPlainRoot::GetPadding(QMargins &padding) {
  padding = Sheet() ? Sheet()->Canvas().SkinPadding(steSheet) : QMargins();
}

// ---------------------------------------------------------------------------------------------------------
// Opening a document

TLogRoot &TPlainDocumentSchemes::LogRoot() const { return static_cast<TLogRoot &>(*Log->Root()); }

TPlainRoot &TPlainDocumentSchemes::Root() const { return static_cast<TPlainRoot &>(*Document->Root()); }

std::unique_ptr<TScheme> CreatePlainScheme() {
  return std::make_unique<TScheme>(&TPlainRoot::Class(), QStringLiteral("Quillnote"));
}

TPlainDocumentSchemes OpenPlainDocument(const QString &fileName, TUndoRedo *undoRedo) {
  // The kinds register their classes, groups and images before the first element is made.
  CommonElements();
  TPlainDocumentSchemes schemes;
  schemes.Log = std::make_unique<TScheme>(&TLogRoot::Class(), QString());
  schemes.Log->SetReadOnly(true);
  schemes.Document = CreatePlainScheme();
  schemes.Document->SetMessages(&schemes.LogRoot().Messages());
  schemes.Document->SetUndoRedo(undoRedo);
  // Only a file that is not there starts an empty document. The test comes first, so that no other
  // failure (of the wait cursor, say) is ever taken for a missing file; a file that goes away while it
  // is read fails like an unreadable one, and is then not overwritten either.
  if (QFileInfo::exists(fileName))
    schemes.Document->LoadFromFile(fileName);
  else
    schemes.Document->SetFileName(fileName);
  return schemes;
}
