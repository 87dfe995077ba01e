#include "baAppCmpns.h"
#include "fakeForm.h"
#include "testSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(SessionFile, FirstRunWritesTheExampleLayout) {
  QTemporaryDir dir;
  TSessionFile session;
  session.SetFileName(dir.filePath(QStringLiteral("QuillnotePortable.session")));
  session.Load();
  EXPECT_EQ(session.LoadState(), lsNotFound);

  // The main window on a 1366 x 768 screen; its creation makes the child knots, a document save the
  // "SheetData" values, and closing the rest.
  TFakeForm mainForm;
  mainForm.Rect = QRect(683, 344, 683, 384);
  TFormPlace place(&mainForm, QStringLiteral("MainForm"));
  place.SetSessionFile(&session);
  place.FormCreated();
  EXPECT_FALSE(mainForm.BoundsSet);
  TKnot *main = place.PlaceKnot();
  TKnot *sheetData = main->GetKnot(QStringLiteral("SheetData"));
  TKnot *palette = main->GetKnot(QStringLiteral("Palette"));
  TKnot *log = main->GetKnot(QStringLiteral("Log"));
  sheetData->WriteInt(QStringLiteral("ScreenPosX"), 0);
  sheetData->WriteInt(QStringLiteral("ScreenPosY"), 0);
  place.FormCloseQuery();
  main->WriteBool(QStringLiteral("StayOnTop"), false);
  palette->WriteBool(QStringLiteral("Visible"), false);
  log->WriteInt(QStringLiteral("Height"), log->ReadInt(u"Height", 130));
  session.Save();
  EXPECT_EQ(ReadFileBytes(session.FileName()), ReadFileBytes(QN_FIXTURE("session.golden")));

  // The next run restores the window from it.
  TSessionFile next;
  next.SetFileName(session.FileName());
  next.Load();
  EXPECT_EQ(next.LoadState(), lsLoaded);
  TFakeForm again;
  TFormPlace nextPlace(&again, QStringLiteral("MainForm"));
  nextPlace.SetSessionFile(&next);
  nextPlace.FormCreated();
  EXPECT_EQ(again.Rect, QRect(683, 344, 683, 384));
}

TEST(SessionFile, MaximizedWindowKeepsTheBoundsStoredBefore) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("p.session"));
  WriteFileBytes(name, "<p>\r\n\t<MainForm Maximized=0 Left=10 Top=20 Width=300 Height=200/>\r\n</p>\r\n");
  TSessionFile session;
  session.SetFileName(name);
  session.Load();
  TFakeForm form;
  form.Maximized = true;
  TFormPlace place(&form, QStringLiteral("MainForm"));
  place.SetSessionFile(&session);
  place.FormCloseQuery();
  session.Save();
  EXPECT_EQ(ReadFileBytes(name), QByteArray("<p>\r\n\t<MainForm Maximized=1 Left=10 Top=20 Width=300 Height=200/>\r\n</p>\r\n"));
  TFakeForm restored;
  TFormPlace restoring(&restored, QStringLiteral("MainForm"));
  restoring.SetSessionFile(&session);
  restoring.FormCreated();
  EXPECT_TRUE(restored.Maximized);
  EXPECT_FALSE(restored.BoundsSet);
}

TEST(SessionFile, LoadStatesAndSwallowedErrors) {
  QTemporaryDir dir;
  TSessionFile damaged;
  damaged.SetFileName(dir.filePath(QStringLiteral("d.session")));
  WriteFileBytes(damaged.FileName(), "<d><x/>trailing");
  damaged.Load();
  EXPECT_EQ(damaged.LoadState(), lsLoaded);
  EXPECT_TRUE(damaged.Knot().HasParseError());

  TSessionFile unreadable;
  unreadable.SetFileName(dir.filePath(QStringLiteral("folder.session")));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.session")));
  unreadable.Load();
  EXPECT_EQ(unreadable.LoadState(), lsUnreadable);
  unreadable.Save();  // cannot replace a folder; swallowed
  EXPECT_TRUE(QFileInfo(unreadable.FileName()).isDir());
}

TEST(FormPlace, DropsItsSessionFileWhenThatGoesAndUsesTheKnotPath) {
  TFakeForm form;
  TFormPlace place(&form, QStringLiteral("SettingsForm"));
  auto session = std::make_unique<TSessionFile>();
  place.SetSessionFile(session.get());
  place.SetKnotPath(QStringLiteral("Forms.Dialogs"));
  EXPECT_EQ(place.PlaceKnot()->Path(), QStringLiteral(".Forms.Dialogs.SettingsForm"));
  session.reset();
  EXPECT_EQ(place.SessionFile(), nullptr);
  EXPECT_EQ(place.PlaceKnot(), nullptr);
  TFormPlace formless(nullptr, QStringLiteral("X"));
  TSessionFile other;
  formless.SetSessionFile(&other);
  EXPECT_EQ(formless.PlaceKnot(), nullptr);
  formless.FormCreated();
  formless.FormCloseQuery();
}

// The data file of the shopping-list example, built as the element savers build it: the root's content
// knots in the top knot (positional children), text runs as "Chars" (extended in place under
// koUniqueParams), "Br" on the line of the knot before it, parts as "Caption" and "Content".
TEST(DataFileLayout, ShoppingListExampleIsByteExact) {
  auto root = MakeNode<TKnot>(QStringLiteral("Quillnote"));
  root->WriteStr(QStringLiteral("FormatVersion"), QStringLiteral("1.1"));
  auto content = [](TKnot *element) { element->SetAddedOptions(element->AddedOptions() | koPositionalChildren); };
  auto chars = [](TKnot *owner, const QString &text) {
    owner->AddChild(QStringLiteral("Chars"))->WriteStr(QStringLiteral("Value"), text);
  };
  auto br = [](TKnot *owner) { owner->AddChild(QStringLiteral("Br"))->SetAddedOptions(koSameLine); };

  content(root.get());
  TKnot *first = root->AddChild(QStringLiteral("Chars"));
  first->WriteStr(QStringLiteral("Value"), QStringLiteral("Shopping"));
  first->SetAddedOptions(koUniqueParams);
  first->WriteStr(QStringLiteral("Value"), QStringLiteral("Shopping list"));
  br(root.get());
  root->AddChild(QStringLiteral("Star"));
  chars(root.get(), QStringLiteral(" for the weekend"));
  br(root.get());
  TKnot *frame = root->AddChild(QStringLiteral("LogicFrame"));
  frame->WriteBool(QStringLiteral("Expanded"), false);
  TKnot *caption = frame->AddChild(QStringLiteral("Caption"));
  content(caption);
  chars(caption, QStringLiteral("Groceries"));
  TKnot *frameContent = frame->AddChild(QStringLiteral("Content"));
  content(frameContent);
  chars(frameContent, QStringLiteral("Milk"));
  br(frameContent);
  chars(frameContent, QStringLiteral("Bread"));
  br(root.get());
  TKnot *comment = root->AddChild(QStringLiteral("Comment"));
  content(comment);
  chars(comment, QStringLiteral("Check the fridge first"));

  EXPECT_EQ(first->ParamCount(), 1);
  EXPECT_EQ(root->ToBytes(teUtf8), ReadFileBytes(QN_FIXTURE("datafile.golden")));
  EXPECT_EQ(frameContent->LastChild()->Path(), QStringLiteral("Quillnote.LogicFrame[6].Content.Chars[3]"));
}

}  // namespace
