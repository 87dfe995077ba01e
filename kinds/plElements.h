// The document root of this program and the opening of a document. A document is one scheme whose root
// is a TPlainRoot named "Quillnote" (so a data file's top knot is "Quillnote"): a textor element that
// fills the sheet and holds the whole text, every other element standing inline in it. Problems met while
// loading go to the log, a read-only scheme of its own whose root is a TLogRoot.
//
// The command line and the program's document holder open a document through the one function below, so
// both load a data file the same way.
#pragma once

#include "diLog.h"
#include "diTextorElement.h"

#include <memory>

class TScheme;
class TUndoRedo;

// The root of every document: inline elements, link detection, the fixed theme font, extra workspace
// height, at least as wide and as tall as the sheet makes available; all content allowed.
class TPlainRoot : public TTextorElement {
  QN_ELEMENT_CLASS(TPlainRoot)
public:
  TPlainRoot();

  // The signs, then what every textor element with inline elements accepts. These are the kinds the
  // document's text holds and the element names recognised directly under the top knot; any other knot
  // there (a comment, a logic frame, a table or an image until their kinds exist) is kept as an
  // unaccepted element and written back unchanged.
  void GetAcceptedClasses(TElementClassList &list) override;
  // The padding of the theme skin "Sheet".
  void GetPadding(QMargins &padding) override;
};

// A document and its log. Declared in destruction order reversed: the document scheme goes first, then
// the log it reports into.
struct TPlainDocumentSchemes {
  // Root TLogRoot, no root name, read-only.
  std::unique_ptr<TScheme> Log;
  // Root TPlainRoot named "Quillnote"; its message sink is the log root's list.
  std::unique_ptr<TScheme> Document;

  TLogRoot &LogRoot() const;
  TPlainRoot &Root() const;
};

// The document's scheme: root TPlainRoot, root name "Quillnote".
std::unique_ptr<TScheme> CreatePlainScheme();

// Creates the log scheme (read-only) and the document scheme, points the document's messages at the log
// and its undo/redo engine at `undoRedo` (may be null), then loads `fileName`: a missing file leaves the
// document empty (the first save creates it) with that file name; a file that exists but cannot be read
// raises, and nothing else is tried. A damaged file loads as far as it can, its problems in the log. An
// empty name gives an empty document without a file (loading from memory, new documents).
TPlainDocumentSchemes OpenPlainDocument(const QString &fileName, TUndoRedo *undoRedo = nullptr);
