#include "testKinds.h"

#include "cuLocalization.h"
#include "testFakes.h"
#include "testFaultyFileSystem.h"
#include "testSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

namespace {

// The texts of the sink's messages, in order.
QStringList Texts(const TElementMessages &sink) {
  QStringList texts;
  for (int i = 0; i < sink.Count(); ++i)
    texts << TElementMessages::MessageText(*sink.Items(i));
  return texts;
}

struct TDocument {
  TElementMessages Sink;
  std::unique_ptr<TScheme> Scheme = NewTestScheme();
  TDocument() { Scheme->SetMessages(&Sink); }
  TElement_TestRoot &Root() const { return static_cast<TElement_TestRoot &>(*Scheme->Root()); }
  // Loads `text` into the root in `mode`.
  void Load(const QString &text, TFilerMode mode = fmDocument) {
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    knot->ParseString(text);
    Scheme->LoadFromKnot(*Scheme->Root(), mode, *knot);
  }
  // The root saved as a document (or in `mode`) and written as text.
  QString Save(TFilerMode mode = fmDocument, std::uint8_t options = foDocumentSave) const {
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    Scheme->SaveToKnot(*Scheme->Root(), mode, *knot, options);
    return knot->GetText();
  }
};

QString Lines(std::initializer_list<const char *> lines) {
  QString text;
  for (const char *line : lines)
    text += QString::fromUtf8(line) + QStringLiteral("\r\n");
  return text;
}

TEST(FormatVersion, WrittenAsOnePointOneAndReadByItsArithmetic) {
  EXPECT_EQ(FormatVersionText(), QStringLiteral("1.1"));
  struct TCase {
    const char *Text;
    int Number;
    bool Warns;
  };
  const TCase cases[] = {
      {nullptr, 1000, false}, {"1.1", 1001, false}, {"1.2", 1002, false}, {"1.10", 1010, false},
      {"1.100", 1100, false}, {"1.101", 1101, true}, {"2", 2000, true},  {".5", 1005, false},
      {"x.y", 1000, false},   {"1.1.1", 1000, false},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Text ? c.Text : "(none)");
    TDocument doc;
    const QString attribute =
        c.Text ? QStringLiteral(" FormatVersion=\"%1\"").arg(QString::fromUtf8(c.Text)) : QString();
    TNodePtr<TKnot> knot = MakeNode<TKnot>();
    knot->ParseString(QStringLiteral("<Quillnote%1/>").arg(attribute));
    TSchemeLoader loader(*doc.Scheme, &doc.Sink, knot.get(), 0, fmDocument);
    EXPECT_EQ(loader.Version(), c.Number);
    loader.Finish();
    EXPECT_EQ(doc.Sink.Count(), c.Warns ? 1 : 0);
    if (c.Warns)
      EXPECT_EQ(Texts(doc.Sink).value(0), LoadString(sidNewerFormatVersion));
  }
}

TEST(Filing, UnknownKnotsAndUnreadAttributesAreReportedAndTheUnknownIsWrittenBack) {
  TFakeDesktop desktop;  // the wait cursor
  TDocument doc;
  doc.Scheme->LoadFromFile(QN_FIXTURE("unknown.qnt"));
  EXPECT_EQ(doc.Scheme->FileName(), QN_FIXTURE("unknown.qnt"));
  // Bar was read as part of Foo's text: only the attribute no kind reads is reported.
  EXPECT_EQ(Texts(doc.Sink), QStringList{QStringLiteral("Attribute \"Quillnote.Note.Extra\" was not read")});
  EXPECT_EQ(doc.Sink.Items(0)->Kind, mkWarning);

  auto *unknown = dynamic_cast<TElement_Unaccepted *>(doc.Root().LastChildElement());
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(unknown->KnotName(), QStringLiteral("Foo"));
  ASSERT_NE(unknown->Messages(), nullptr);
  const TElementMessage &m = *unknown->Messages()->Items(0);
  EXPECT_EQ(m.Kind, mkError);
  ASSERT_EQ(m.Parts.size(), 2u);
  EXPECT_EQ(m.Parts[0].PartKind, mpElement);
  EXPECT_EQ(m.Parts[0].Text, QStringLiteral("Unsupported"));
  EXPECT_EQ(m.Parts[0].Data, QString::number(unknown->ID()));
  EXPECT_EQ(m.Parts[1].Text, QStringLiteral(" element \"Foo\" in\u00A0this editor"));

  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("out.qnt"));
  doc.Scheme->SaveToFile(target, true);
  EXPECT_EQ(ReadFileBytes(target), ReadFileBytes(QN_FIXTURE("unknown-saved.qnt")));
  EXPECT_EQ(doc.Scheme->FileName(), QN_FIXTURE("unknown.qnt"));  // restored on request
}

TEST(Filing, ADamagedTextWarnsFirstAndUnreadKnotsAreNamedByPath) {
  TDocument doc;
  doc.Load(QStringLiteral("<Quillnote FormatVersion=\"1.101\"><Note Text=\"a\"><Bar/>junk</Note></Quillnote>"));
  EXPECT_EQ(Texts(doc.Sink), (QStringList{LoadString(sidDataCorrupt), LoadString(sidNewerFormatVersion),
                                          QStringLiteral("Node \"Quillnote.Note.Bar\" was not read")}));
  // What could be read is there.
  auto *note = dynamic_cast<TElement_Note *>(doc.Root().FirstChildElement());
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->Text, QStringLiteral("a"));
}

TEST(Filing, SnapshotLoadsReportNothingUnread) {
  TDocument doc;
  doc.Load(QStringLiteral("<Quillnote><Note ID=\"7\" Text=\"a\" Extra=\"1\"><Bar/></Note></Quillnote>"),
           fmSnapshot);
  EXPECT_EQ(doc.Sink.Count(), 0);
  EXPECT_EQ(doc.Root().FirstChildElement()->ID(), 7);
}

TEST(Filing, PartsFreeChildrenDisabledStateAndPositions) {
  TDocument doc;
  auto *box = CreateElement<TElement_Box>(doc.Scheme.get(), &doc.Root());
  box->Title = QStringLiteral("T");
  box->Caption->Text = QStringLiteral("C");
  box->Flag->Flag = true;
  box->Cache->Cache = 5;
  box->SetDisabled(true);
  auto *inner = CreateElement<TElement_Box>(doc.Scheme.get(), box);  // empty caption: its knot is dropped
  auto *note = CreateElement<TElement_Note>(doc.Scheme.get(), inner);
  note->Text = QStringLiteral("n");
  note->SetBounds(12, -3, 3, 0, 0);
  const QString document = Lines({
      "<Quillnote FormatVersion=\"1.1\">",
      "\t<Box Flag=\"1\" Disabled=\"1\" Title=\"T\">",
      "\t\t<Caption Text=\"C\"/>",
      "\t\t<Box>",
      "\t\t\t<Note Left=\"12\" Top=\"-3\" Text=\"n\"/>",
      "\t\t</Box>",
      "\t</Box>",
      "</Quillnote>",
  });
  EXPECT_EQ(doc.Save(), document);
  // Filer options leave out positions and disabled elements.
  EXPECT_EQ(doc.Save(fmDocument, foDocumentSave | foNoPositions | foSkipDisabled),
            Lines({"<Quillnote FormatVersion=\"1.1\"/>"}));
  EXPECT_EQ(doc.Save(fmDocument, foNoPositions),
            Lines({"<Quillnote FormatVersion=\"1.1\">", "\t<Box Flag=\"1\" Disabled=\"1\" Title=\"T\">",
                   "\t\t<Caption Text=\"C\"/>", "\t\t<Box>", "\t\t\t<Note Text=\"n\"/>", "\t\t</Box>", "\t</Box>",
                   "</Quillnote>"}));

  // Loaded back, the same document; positions are not read under foNoPositions.
  TDocument copy;
  copy.Load(document);
  EXPECT_EQ(copy.Sink.Count(), 0);
  EXPECT_EQ(copy.Save(), document);
  auto *loadedBox = static_cast<TElement_Box *>(copy.Root().FirstChildElement());
  EXPECT_TRUE(loadedBox->IsDisabledOwn());
  EXPECT_TRUE(loadedBox->Flag->Flag);
  EXPECT_EQ(loadedBox->Cache->Cache, 0);  // transient: not in documents

  TDocument unplaced;
  TNodePtr<TKnot> knot = MakeNode<TKnot>();
  knot->ParseString(document);
  {
    TSchemeLoader loader(*unplaced.Scheme, &unplaced.Sink, knot.get(), foNoPositions, fmDocument);
    unplaced.Root().Load(loader, *knot);
    loader.Finish();
  }
  TElement *leaf = unplaced.Root().FirstChildElement();
  while (!dynamic_cast<TElement_Note *>(leaf))
    leaf = leaf->LastChildElement();
  EXPECT_EQ(static_cast<TElement_Note *>(leaf)->Left(), 0);
  EXPECT_EQ(Texts(unplaced.Sink), (QStringList{QStringLiteral("Attribute \"Quillnote.Box.Box.Note.Left\" was not read"),
                                               QStringLiteral("Attribute \"Quillnote.Box.Box.Note.Top\" was not read")}));
}

TEST(Filing, SnapshotsKeepIdentitiesTransientPartsAndWrapUnknownKnots) {
  TDocument doc;
  doc.Load(Lines({"<Quillnote>", "\t<Box Title=\"b\"/>", "\t<Foo a=\"1\">", "\t\t<Bar/>", "\t</Foo>", "</Quillnote>"}));
  auto *box = static_cast<TElement_Box *>(doc.Root().FirstChildElement());
  box->Cache->Cache = 9;
  const QString snapshot = doc.Save(fmSnapshot, 0);
  const std::int32_t boxId = box->ID(), unknownId = doc.Root().LastChildElement()->ID();
  EXPECT_TRUE(snapshot.contains(QStringLiteral("<Unaccepted ID=\"%1\">").arg(unknownId))) << snapshot.toStdString();
  EXPECT_TRUE(snapshot.contains(QStringLiteral("<Cache ID=\"%1\" Cache=\"9\"/>").arg(box->Cache->ID())));

  TDocument copy;
  copy.Load(snapshot, fmSnapshot);
  auto *restored = static_cast<TElement_Box *>(copy.Root().FirstChildElement());
  EXPECT_EQ(restored->ID(), boxId);
  EXPECT_EQ(restored->Cache->Cache, 9);
  EXPECT_EQ(copy.Scheme->FindElement(boxId), restored);
  auto *unknown = dynamic_cast<TElement_Unaccepted *>(copy.Root().LastChildElement());
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(unknown->ID(), unknownId);
  EXPECT_EQ(unknown->KnotName(), QStringLiteral("Foo"));
  // The error names the restored identity.
  EXPECT_EQ(unknown->Messages()->Items(0)->Parts[0].Data, QString::number(unknownId));
  EXPECT_EQ(copy.Save(), doc.Save());
}

TEST(Filing, AKindOutOfPlaceLoadsAsUnacceptedAndAFailingLoadFreesItsElement) {
  TDocument doc;
  doc.Load(QStringLiteral("<Quillnote><Caption Text=\"c\"/></Quillnote>"));
  EXPECT_NE(dynamic_cast<TElement_Unaccepted *>(doc.Root().FirstChildElement()), nullptr);
  EXPECT_EQ(doc.Save(), Lines({"<Quillnote FormatVersion=\"1.1\">", "\t<Caption Text=\"c\"/>", "</Quillnote>"}));
}

// A kind whose load fails.
class TElement_Bomb : public TVisualElement {
  QN_ELEMENT_CLASS(TElement_Bomb)
public:
  void Load(TSchemeLoader &, TKnot &) override { throw EException(QStringLiteral("bomb")); }
};
QN_DEFINE_ELEMENT_CLASS(TElement_Bomb, TVisualElement)

TEST(Filing, AnElementWhoseLoadFailsIsFreedAndTheErrorPassesOn) {
  TClassesGroups::Instance().Register(TestBlocksGroup(), TElement_Bomb::Class());
  TDocument doc;
  const int before = doc.Scheme->ElementCount();
  EXPECT_THROW(doc.Load(QStringLiteral("<Quillnote><Note Text=\"a\"/><Bomb/></Quillnote>")), EException);
  EXPECT_EQ(doc.Scheme->ElementCount(), before + 1);
  EXPECT_EQ(doc.Scheme->UpdateCount(), 0);
  EXPECT_EQ(doc.Scheme->PendingCheckCount(), 0);  // the note was checked when the failed load closed
}

TEST(Filing, NestingBeyondTheCapIsKeptAsTextAndWrittenBack) {
  constexpr int depth = TSchemeLoader::MaxNesting + 100;
  QString text = QStringLiteral("<Quillnote FormatVersion=\"1.1\">");
  for (int i = 0; i < depth; ++i)
    text += QStringLiteral("<Box>");
  for (int i = 0; i < depth; ++i)
    text += QStringLiteral("</Box>");
  text += QStringLiteral("</Quillnote>");
  TDocument doc;
  doc.Load(text);
  EXPECT_EQ(doc.Sink.Count(), 0);
  int boxes = 0;
  TElement *e = doc.Root().LastChildElement();
  while (dynamic_cast<TElement_Box *>(e)) {
    ++boxes;
    e = e->LastChildElement();
  }
  EXPECT_EQ(boxes, TSchemeLoader::MaxNesting);
  auto *rest = dynamic_cast<TElement_Unaccepted *>(e);
  ASSERT_NE(rest, nullptr);
  EXPECT_EQ(rest->KnotName(), QStringLiteral("Box"));
  EXPECT_EQ(rest->Lines().filter(QStringLiteral("<Box")).size(), depth - TSchemeLoader::MaxNesting);

  const QString saved = doc.Save();
  TNodePtr<TKnot> original = MakeNode<TKnot>();
  original->ParseString(text);
  EXPECT_EQ(saved, original->GetText());
}


TEST(SaveToFile, UsesTheFirstFreeReplacementNameAndLeavesOtherFilesAlone) {
  TFakeDesktop desktop;
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("data.qnt"));
  WriteFileBytes(target, "old");
  WriteFileBytes(dir.filePath(QStringLiteral("Rplc1.tmp")), "someone else's");
  // The one temporary file is Rplc2.tmp: it is what gets renamed over the target.
  struct TWatch : TFileSystem {
    TWatch() { SetFileSystem(this); }
    ~TWatch() override { SetFileSystem(nullptr); }
    QStringList Created, Renamed;
    int CreateExclusive(const QString &path, int permissions, THandle &handle) override {
      const int error = PosixFileSystem().CreateExclusive(path, permissions, handle);
      if (!error)
        Created << QFileInfo(path).fileName();
      return error;
    }
    int Write(THandle h, const char *d, qint64 n) override { return PosixFileSystem().Write(h, d, n); }
    int Sync(THandle h) override { return PosixFileSystem().Sync(h); }
    int Close(THandle h) override { return PosixFileSystem().Close(h); }
    int Rename(const QString &from, const QString &to) override {
      Renamed << QFileInfo(from).fileName() + QStringLiteral(" -> ") + QFileInfo(to).fileName();
      return PosixFileSystem().Rename(from, to);
    }
    int Remove(const QString &path) override { return PosixFileSystem().Remove(path); }
    int SyncFolder(const QString &folder) override { return PosixFileSystem().SyncFolder(folder); }
  } watch;
  TDocument doc;
  doc.Load(QStringLiteral("<Quillnote><Note Text=\"n\"/></Quillnote>"));
  doc.Scheme->SaveToFile(target, false);
  EXPECT_EQ(watch.Created, QStringList{QStringLiteral("Rplc2.tmp")});
  EXPECT_EQ(watch.Renamed, QStringList{QStringLiteral("Rplc2.tmp -> data.qnt")});
  EXPECT_EQ(ReadFileBytes(dir.filePath(QStringLiteral("Rplc1.tmp"))), QByteArray("someone else's"));
  EXPECT_EQ(FolderEntries(dir.path()), (QStringList{QStringLiteral("Rplc1.tmp"), QStringLiteral("data.qnt")}));
  EXPECT_EQ(ReadFileBytes(target), "\xEF\xBB\xBF" + doc.Save().toUtf8());
  EXPECT_EQ(doc.Scheme->FileName(), target);  // kept: restoreName was false
}

TEST(SaveToFile, AFailureLeavesTheOldFileByteIdenticalAndTheNameRestored) {
  TFakeDesktop desktop;
  struct TCase {
    TFault Fault;
    const char *Reason;
  };
  const TCase cases[] = {{fFullDisk, "No space left on device"},
                         {fSyncFails, "Input/output error"},
                         {fRenameFails, "Permission denied"},
                         {fReadOnlyFolder, "Read-only file system"}};
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Reason);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("data.qnt"));
    const QByteArray old("\xEF\xBB\xBF<Quillnote FormatVersion=\"1.1\"/>\r\n");
    WriteFileBytes(target, old);
    TDocument doc;
    doc.Scheme->SetFileName(QStringLiteral("before.qnt"));
    doc.Load(TestDocumentText(2000));  // large enough that half a write is a partial document
    TFaultyFileSystem faulty(c.Fault);
    try {
      doc.Scheme->SaveToFile(target, false);
      ADD_FAILURE() << "no failure";
    } catch (const EException &e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Cannot create file \"%1\". %2").arg(target, QString::fromUtf8(c.Reason)));
    }
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{QStringLiteral("data.qnt")});
    EXPECT_EQ(doc.Scheme->FileName(), QStringLiteral("before.qnt"));
  }
}

TEST(SaveToFile, ADataFileWithoutWritePermissionIsStillReplaced) {
  TFakeDesktop desktop;
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("data.qnt"));
  WriteFileBytes(target, "old");
  QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  TDocument doc;
  doc.Scheme->SaveToFile(target, true);
  EXPECT_EQ(ReadFileBytes(target), "\xEF\xBB\xBF" + doc.Save().toUtf8());
  EXPECT_EQ(FolderEntries(dir.path()), QStringList{QStringLiteral("data.qnt")});
}

TEST(Filing, TheGeneratedTestDocumentIsWhatTheSaverWritesAndLoadsBackUnchanged) {
  TDocument built;
  BuildTestDocument(*built.Scheme, 1000);
  EXPECT_EQ(built.Scheme->ElementCount(), 1001);
  const QString text = built.Save();
  EXPECT_EQ(text, TestDocumentText(1000));
  TDocument loaded;
  loaded.Load(text);
  EXPECT_EQ(loaded.Scheme->ElementCount(), 1001);
  EXPECT_EQ(loaded.Sink.Count(), 0);
  EXPECT_EQ(loaded.Save(), text);
}

// 100,000 elements: every checked element that is not disabled is checked exactly once, after the load, and
// the tree frees;
// all of it stays linear (the limit is generous for the sanitizers).
TEST(Filing, AHundredThousandElementsLoadValidateOnceAndFree) {
  const QString text = TestDocumentText(100000);
  const auto started = std::chrono::steady_clock::now();
  {
    TDocument doc;
    GTestKindChecks = 0;
    doc.Load(text);
    EXPECT_EQ(doc.Scheme->ElementCount(), 100001);
    // 10,000 boxes and the 51,429 of the 60,000 notes that are not disabled (a disabled one is not checked).
    EXPECT_EQ(GTestKindChecks, 61429);
    EXPECT_EQ(doc.Scheme->PendingCheckCount(), 0);
    EXPECT_EQ(doc.Sink.Count(), 0);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
}

TEST(Filing, FreeingAHundredThousandElementsDuringAnOpenLoadEmptiesThePendingChecks) {
  const QString text = TestDocumentText(100000);
  TDocument doc;
  TNodePtr<TKnot> knot = MakeNode<TKnot>();
  knot->ParseString(text);
  TSchemeLoader loader(*doc.Scheme, &doc.Sink, knot.get(), 0, fmDocument);
  doc.Root().Load(loader, *knot);
  EXPECT_EQ(doc.Scheme->PendingCheckCount(), 70000);
  GTestKindChecks = 0;
  while (TElement *e = doc.Root().LastChildElement())
    e->Free();
  EXPECT_EQ(doc.Scheme->PendingCheckCount(), 0);
  EXPECT_EQ(doc.Scheme->ElementCount(), 1);
  loader.Finish();
  EXPECT_EQ(GTestKindChecks, 0);
  EXPECT_EQ(doc.Sink.Count(), 0);
}

// Runs in a child process of its own (see below), where no element was created before.
TEST(FreshFilingProcess, DISABLED_SnapshotIdentitiesRaiseTheCounter) {
  TDocument doc;  // its root is the first element of the process
  EXPECT_EQ(doc.Root().ID(), 1);
  doc.Load(QStringLiteral("<Quillnote><Note ID=\"500\" Text=\"a\"/></Quillnote>"), fmSnapshot);
  EXPECT_EQ(CreateElement<TElement_Note>(doc.Scheme.get(), &doc.Root())->ID(), 501);
}

TEST(Identities, ASnapshotHolding500MakesTheNextElement501) {
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_also_run_disabled_tests"),
                                                        QStringLiteral("--gtest_filter=FreshFilingProcess.*")});
  ASSERT_TRUE(child.waitForFinished(60000));
  const QByteArray output = child.readAllStandardOutput();
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

}  // namespace
