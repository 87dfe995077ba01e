// The main window: the program's only top-level window, captioned with the application title, with its
// File menu, and the orderly end of the program in its close query.
#pragma once

#include "cuClasses.h"
#include "unShutdown.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QMenu;
class TFormPlace;
class TGlobal;

class TMainForm : public QMainWindow {
  Q_OBJECT

public:
  ~TMainForm() override;

  // Creates a window of class T and runs the creation steps, which call T's own virtual operations
  // (so they cannot run in a constructor). TMainForm itself is abstract: a program derives from it.
  template <class T> static std::unique_ptr<T> Create(TGlobal &global) {
    std::unique_ptr<T> form(new T(global));
    form->FormCreate();
    return form;
  }

  // Shows the window, also when it was hidden, minimized or unmapped behind the program's back, and
  // brings it to the front.
  void ShowMainWindow();
  // The end asked for from outside (a signal, the desktop session ending): the shutdown of File > Exit,
  // except that a document that cannot be saved is written to a recovery file and the window closes
  // anyway. A close query already running (its error box open) goes on that way.
  void RequestShutdown();

  bool Created() const { return FCreated; }
  bool StayOnTop() const { return FStayOnTop; }

protected:
  explicit TMainForm(TGlobal &global);

  // The holder of the document; none until there is one.
  virtual std::unique_ptr<TShutdownDocument> CreateDocument() = 0;
  void closeEvent(QCloseEvent *event) override;

private:
  class TGeometry;

  void FormCreate();
  // The close query: saves pending changes and writes the view state, the session file and, when needed,
  // the settings file. False keeps the window open (only when File > Exit could not save the document).
  bool CloseQuery();
  void SaveRecoveryCopy(const QString &saveError);
  void SetCaptions();
  void LocalizationNotified(TItfObject *sender, int code, TNotifyArg a, TNotifyArg b);

  TGlobal &FGlobal;
  std::unique_ptr<TShutdownDocument> FDocument;
  std::unique_ptr<TGeometry> FGeometry;
  std::unique_ptr<TFormPlace> FPlace;
  QMenu *FFileMenu = nullptr;
  QAction *FFileExit = nullptr;
  bool FCreated = false;
  bool FStayOnTop = false;
  bool FForced = false;        // the end was asked for from outside
  bool FInCloseQuery = false;
  bool FClosed = false;        // the close query succeeded; the window only waits to be destroyed
};
