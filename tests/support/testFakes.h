// Headless fakes of the desktop interfaces (cuDesktop): they record what they are asked and answer what
// the test sets. TFakeDesktop installs one of each for its lifetime and puts the previous ones back.
#pragma once

#include "cuDesktop.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

struct TShownBox {
  QString Text;
  QString Caption;
  int Flags = 0;
};

class TFakeUserInterface : public TUserInterface {
public:
  int MessageBox(const QString &text, const QString &caption, int flags) override {
    Boxes.append({text, caption, flags});
    if (WhileShown)
      WhileShown();
    return Answer;
  }
  void SetWaitCursor(bool waiting) override { CursorChanges.append(waiting); }
  void Beep() override { ++Beeps; }

  QList<TShownBox> Boxes;
  int Answer = idOk;
  std::function<void()> WhileShown;  // runs while a box is "open", as events on a real box's loop would
  QList<bool> CursorChanges;  // true: busy cursor shown, false: restored
  int Beeps = 0;
};

class TFakeShell : public TShell {
public:
  TLaunchResult OpenDocument(const QString &path) override {
    Calls.append(QStringLiteral("open ") + path);
    return DocumentResult;
  }
  TLaunchResult ChooseApplication(const QString &path) override {
    Calls.append(QStringLiteral("choose ") + path);
    return ChooserResult;
  }
  TLaunchResult StartProgram(const QString &program, const QStringList &arguments) override {
    Calls.append(QStringLiteral("start ") + program + QLatin1Char('|') + arguments.join(QLatin1Char('|')));
    return ProgramResult;
  }
  bool OpenAddress(const QUrl &address) override {
    Calls.append(QStringLiteral("address ") + address.toString());
    return true;
  }
  TApplicationList ApplicationsFor(const QString &extension) override {
    Calls.append(QStringLiteral("applications ") + extension);
    return Applications;
  }

  QStringList Calls;
  TLaunchResult DocumentResult{TLaunchResult::lrOk, {}};
  TLaunchResult ChooserResult{TLaunchResult::lrOk, {}};
  TLaunchResult ProgramResult{TLaunchResult::lrOk, {}};
  TApplicationList Applications;
};

class TFakeSingleInstance : public TSingleInstance {
public:
  bool Acquire(const QString &key) override {
    Keys.append(key);
    return !Taken;
  }
  void SetActivationHandler(std::function<void()> handler) override { Handler = std::move(handler); }

  bool Taken = false;  // another instance holds every key
  QStringList Keys;
  std::function<void()> Handler;
};

// Records each dialog request; answers Answer (the chosen path), or cancels when Answer is empty.
class TFakeFileDialogs : public TFileDialogs {
public:
  bool ChooseFileToOpen(const TFileDialogRequest &request, QString &fileName) override {
    return Choose(QStringLiteral("open"), request, fileName);
  }
  bool ChooseFileToSave(const TFileDialogRequest &request, QString &fileName) override {
    return Choose(QStringLiteral("save"), request, fileName);
  }

  QStringList Kinds;  // "open" or "save", one per request
  QList<TFileDialogRequest> Requests;
  QString Answer;

private:
  bool Choose(const QString &kind, const TFileDialogRequest &request, QString &fileName) {
    Kinds.append(kind);
    Requests.append(request);
    if (Answer.isEmpty())
      return false;
    fileName = Answer;
    return true;
  }
};

// Records the sounds it is asked to start. It plays while Playing is set; the test sets and clears it.
class TFakeSound : public TSound {
public:
  bool IsPlaying() const override { return Playing; }
  void Start(const QByteArray &wave) override { Started.append(wave); }

  bool Playing = false;
  QList<QByteArray> Started;
};

class TFakeDesktop {
public:
  TFakeDesktop();
  ~TFakeDesktop();
  TFakeDesktop(const TFakeDesktop &) = delete;
  TFakeDesktop &operator=(const TFakeDesktop &) = delete;

  TFakeUserInterface &Ui;
  TFakeShell &Shell;
  TFakeSingleInstance &Instance;
  TFakeFileDialogs &Dialogs;
  TFakeSound &Sound;

private:
  TFakeDesktop(std::unique_ptr<TFakeUserInterface> ui, std::unique_ptr<TFakeShell> shell,
               std::unique_ptr<TFakeSingleInstance> instance, std::unique_ptr<TFakeFileDialogs> dialogs,
               std::unique_ptr<TFakeSound> sound);
  std::unique_ptr<TUserInterface> FPreviousUi;
  std::unique_ptr<TShell> FPreviousShell;
  std::unique_ptr<TSingleInstance> FPreviousInstance;
  std::unique_ptr<TFileDialogs> FPreviousDialogs;
  std::unique_ptr<TSound> FPreviousSound;
};
