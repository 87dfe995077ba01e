#include "unMainForm.h"

#include "cuClasses.h"
#include "testFakes.h"
#include "testSupport.h"
#include "unGlobal.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class TFakeDocument : public TShutdownDocument {
public:
  bool ChangesPending() const override { return Pending; }
  void SaveNow() override {
    ++Saves;
    if (SaveFails)
      throw EException(QStringLiteral("Cannot create file \"QuillnotePortable.qnt\". No space left on device"));
    Pending = false;
  }
  void SaveCopy(const QString &fileName) override { WriteFileBytes(fileName, "<Quillnote/>\r\n"); }
  bool Pending = true;
  bool SaveFails = true;
  int Saves = 0;
};

class TTestMainForm : public TMainForm {
protected:
  friend class TMainForm;
  using TMainForm::TMainForm;
  std::unique_ptr<TShutdownDocument> CreateDocument() override {
    auto document = std::make_unique<TFakeDocument>();
    Document = document.get();
    return document;
  }

public:
  TFakeDocument *Document = nullptr;
};

class MainForm : public ::testing::Test {
protected:
  void SetUp() override {
    FSavedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (FDir.path() + QLatin1String("/xdg-data")).toUtf8());
    FGlobal = std::make_unique<TGlobal>(DecideFileLayout(FDir.path() + QLatin1String("/QuillnotePortable")));
    FForm = TMainForm::Create<TTestMainForm>(*FGlobal);
    FForm->show();
  }
  void TearDown() override {
    FForm.reset();
    FGlobal.reset();
    qputenv("XDG_DATA_HOME", FSavedDataHome);
  }
  QString Path(const char *name) { return FDir.path() + QLatin1Char('/') + QLatin1String(name); }
  QStringList Recovered() { return QDir(Path("xdg-data/quillnote")).entryList(QDir::Files); }

  TFakeDesktop FDesktop;
  QTemporaryDir FDir;
  QByteArray FSavedDataHome;
  std::unique_ptr<TGlobal> FGlobal;
  std::unique_ptr<TTestMainForm> FForm;
};

TEST_F(MainForm, CaptionMenuAndActivation) {
  EXPECT_EQ(FForm->windowTitle(), QLatin1String("Quillnote"));
  ASSERT_EQ(FForm->menuBar()->actions().size(), 1);
  EXPECT_EQ(FForm->menuBar()->actions()[0]->text(), QLatin1String("&File"));
  EXPECT_EQ(FForm->menuBar()->actions()[0]->menu()->actions()[0]->text(), QLatin1String("Exit"));
  // A later start's request shows the window again.
  FForm->hide();
  ASSERT_TRUE(FDesktop.Instance.Handler);
  FDesktop.Instance.Handler();
  EXPECT_TRUE(FForm->isVisible());
}

TEST_F(MainForm, ExitWithAFailedSaveShowsTheErrorAndStaysOpen) {
  FForm->menuBar()->actions()[0]->menu()->actions()[0]->trigger();  // File > Exit
  EXPECT_TRUE(FForm->isVisible());
  ASSERT_EQ(FDesktop.Ui.Boxes.size(), 1);
  EXPECT_EQ(FDesktop.Ui.Boxes[0].Text, QLatin1String("Cannot create file \"QuillnotePortable.qnt\". No space left on device."));
  EXPECT_EQ(FDesktop.Ui.Boxes[0].Flags, mbIconError);
  EXPECT_FALSE(QFile::exists(Path("QuillnotePortable.session")));
  EXPECT_FALSE(QFile::exists(Path("QuillnotePortable.settings")));
  EXPECT_TRUE(Recovered().isEmpty());

  // Once the save works, Exit writes the session and (on a first run) the settings file.
  FForm->Document->SaveFails = false;
  FForm->close();
  EXPECT_FALSE(FForm->isVisible());
  EXPECT_EQ(FForm->Document->Saves, 2);
  EXPECT_TRUE(ReadFileBytes(Path("QuillnotePortable.session")).contains("StayOnTop=0"));
  EXPECT_TRUE(QFile::exists(Path("QuillnotePortable.settings")));
  EXPECT_TRUE(Recovered().isEmpty());
}

TEST_F(MainForm, ASignalEndsTheProgramAndAFailedSaveGoesToARecoveryFile) {
  TShutdownSignals caught([this](int) { FForm->RequestShutdown(); });
  std::raise(SIGTERM);
  QElapsedTimer timer;
  timer.start();
  while (FForm->isVisible() && timer.elapsed() < 2000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(FForm->isVisible());
  EXPECT_TRUE(FDesktop.Ui.Boxes.isEmpty());
  EXPECT_EQ(Recovered(), QStringList{"QuillnotePortableRecovery1.qnt"});
  EXPECT_EQ(ReadFileBytes(Path("xdg-data/quillnote/QuillnotePortableRecovery1.qnt")), QByteArray("<Quillnote/>\r\n"));
  EXPECT_FALSE(QFile::exists(Path("QuillnotePortable.qnt")));  // the data file is never written over
  EXPECT_TRUE(QFile::exists(Path("QuillnotePortable.session")));
  EXPECT_TRUE(QFile::exists(Path("QuillnotePortable.settings")));
}

TEST_F(MainForm, TheEndAskedForWhileTheErrorBoxIsOpenGoesOn) {
  FDesktop.Ui.WhileShown = [this] { FForm->RequestShutdown(); };
  FForm->close();
  EXPECT_FALSE(FForm->isVisible());
  EXPECT_EQ(FDesktop.Ui.Boxes.size(), 1);
  EXPECT_EQ(Recovered(), QStringList{"QuillnotePortableRecovery1.qnt"});
  EXPECT_TRUE(QFile::exists(Path("QuillnotePortable.session")));
}

}  // namespace
