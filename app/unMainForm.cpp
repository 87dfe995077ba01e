#include "unMainForm.h"

#include "baAppCmpns.h"
#include "cuLocalization.h"
#include "cuUtils.h"
#include "unGlobal.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QWindow>

#include <cstdio>

// The window as the placement in the session file sees it: the frame's position and the window's size.
class TMainForm::TGeometry : public TFormGeometry {
public:
  explicit TGeometry(QWidget &window) : FWindow(window) {}
  TFormBorderStyle BorderStyle() const override { return bsSizeable; }
  bool HasMaximizeButton() const override { return true; }
  bool IsMaximized() const override { return FWindow.isMaximized(); }
  void Maximize() override { FWindow.setWindowState(FWindow.windowState() | Qt::WindowMaximized); }
  QRect Bounds() const override { return {FWindow.pos(), FWindow.size()}; }  // a maximized window stores no bounds
  void SetBounds(const QRect &bounds) override {
    FWindow.move(bounds.topLeft());
    FWindow.resize(bounds.size());
  }
  QRect VirtualDesktop() const override {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry() : QRect();
  }

private:
  QWidget &FWindow;
};

TMainForm::TMainForm(TGlobal &global) : FGlobal(global) { setObjectName(QStringLiteral("MainForm")); }

TMainForm::~TMainForm() {
  Localization().Unsubscribe(NotifyMethod<&TMainForm::LocalizationNotified>, this);
  SingleInstance().SetActivationHandler({});
  FDocument.reset();
}

void TMainForm::FormCreate() {
  FGeometry = std::make_unique<TGeometry>(*this);
  FPlace = std::make_unique<TFormPlace>(FGeometry.get(), objectName());
  FPlace->SetSessionFile(&FGlobal.SessionFile());

  FFileMenu = menuBar()->addMenu(QString());
  FFileExit = FFileMenu->addAction(QString());
  connect(FFileExit, &QAction::triggered, this, &QWidget::close);
  Localization().Subscribe(NotifyMethod<&TMainForm::LocalizationNotified>, this);
  SetCaptions();

  FDocument = CreateDocument();
  FCreated = true;

  // A first run fills the lower right quarter of the screen; later runs take the stored placement.
  if (const QScreen *screen = QGuiApplication::primaryScreen()) {
    const QRect work = screen->availableGeometry();
    const QSize half = screen->geometry().size() / 2;
    move(work.left() + work.width() - half.width(), work.top() + work.height() - half.height());
    resize(half);
  }
  if (FGlobal.SessionFile().LoadState() != lsNotFound)
    FPlace->FormCreated();
  if (TKnot *knot = FPlace->PlaceKnot())
    FStayOnTop = knot->ReadBool(u"StayOnTop", false);
  setWindowFlag(Qt::WindowStaysOnTopHint, FStayOnTop);

  SingleInstance().SetActivationHandler([this] { ShowMainWindow(); });
}

void TMainForm::SetCaptions() {
  setWindowTitle(LoadString(sidAppTitle));
  FFileMenu->setTitle(LoadString(sidMenuFile));
  FFileExit->setText(LoadString(sidFileExit));
}

void TMainForm::LocalizationNotified(TItfObject *, int code, TNotifyArg, TNotifyArg) {
  if (code == TLocalization::ncLanguageChanged)
    SetCaptions();
}

void TMainForm::ShowMainWindow() {
  if (isMinimized())
    setWindowState(windowState() & ~Qt::WindowMinimized);
  // A window the window system took away (another workspace, an unmap) is shown afresh.
  if (isVisible() && windowHandle() && !windowHandle()->isExposed())
    hide();
  show();
  raise();
  activateWindow();
}

void TMainForm::RequestShutdown() {
  FForced = true;
  if (FInCloseQuery) {
    // The close query waits in its error box; closing the box lets it go on to the recovery file.
    if (QWidget *modal = QApplication::activeModalWidget())
      modal->close();
    return;
  }
  close();
}

void TMainForm::closeEvent(QCloseEvent *event) {
  // Until the window can hide in the notification area, every close ends the program.
  if (!FClosed) {
    if (FInCloseQuery || !CloseQuery()) {
      event->ignore();
      return;
    }
    FClosed = true;
  }
  event->accept();
  QCoreApplication::exit(0);
}

bool TMainForm::CloseQuery() {
  FInCloseQuery = true;
  const auto done = qScopeGuard([this] { FInCloseQuery = false; });
  FPlace->FormCloseQuery();
  if (FDocument && FDocument->ChangesPending()) {
    try {
      FDocument->SaveNow();
    } catch (const EException &e) {
      if (!FForced) {
        ShowMessageBox(e.Message(), {}, mbIconError);
        // The end may have been asked for from outside while the box was open.
        if (!FForced)
          return false;
      }
      SaveRecoveryCopy(e.Message());
    }
  }
  if (FCreated)
    if (TKnot *knot = FPlace->PlaceKnot())
      knot->WriteBool(QStringLiteral("StayOnTop"), FStayOnTop);
  FGlobal.SaveSessionFile();
  if (FGlobal.SettingsModified())
    FGlobal.SaveSettings();
  return true;
}

void TMainForm::SaveRecoveryCopy(const QString &saveError) {
  // The session is ending and nobody may be there to read a box: the outcome goes to the error stream.
  const QByteArray reason = saveError.toLocal8Bit();
  try {
    const QString path = WriteRecoveryFile(*FDocument, FGlobal.Layout().BaseName);
    std::fprintf(stderr, "Quillnote: the document could not be saved (%s); it was written to %s\n", reason.constData(),
                 path.toLocal8Bit().constData());
  } catch (const EException &e) {
    std::fprintf(stderr, "Quillnote: the document could not be saved (%s), nor a recovery copy (%s)\n",
                 reason.constData(), e.Message().toLocal8Bit().constData());
  }
}
