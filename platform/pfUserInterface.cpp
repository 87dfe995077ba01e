#include "pfUserInterface.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct TButton {
  QMessageBox::StandardButton Button;
  int Answer;
};

std::vector<TButton> ButtonsOf(int flags) {
  switch (flags & mbButtonsMask) {
  case mbOkCancel: return {{QMessageBox::Ok, idOk}, {QMessageBox::Cancel, idCancel}};
  case mbYesNoCancel: return {{QMessageBox::Yes, idYes}, {QMessageBox::No, idNo}, {QMessageBox::Cancel, idCancel}};
  case mbYesNo: return {{QMessageBox::Yes, idYes}, {QMessageBox::No, idNo}};
  case mbRetryCancel: return {{QMessageBox::Retry, idRetry}, {QMessageBox::Cancel, idCancel}};
  default: return {{QMessageBox::Ok, idOk}};
  }
}

QMessageBox::Icon IconOf(int flags) {
  switch (flags & mbIconMask) {
  case mbIconError: return QMessageBox::Critical;
  case mbIconQuestion: return QMessageBox::Question;
  case mbIconWarning: return QMessageBox::Warning;
  case mbIconInformation: return QMessageBox::Information;
  default: return QMessageBox::NoIcon;
  }
}

}  // namespace

int TQtUserInterface::MessageBox(const QString &text, const QString &caption, int flags) {
  QWidget *parent = QApplication::activeWindow();
  QMessageBox box(IconOf(flags), caption, text, QMessageBox::NoButton, parent);
  if (parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
  const std::vector<TButton> buttons = ButtonsOf(flags);
  for (const TButton &b : buttons)
    box.addButton(b.Button);
  const size_t defaultIndex = size_t((flags & mbDefButtonMask) >> 8);
  box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0].Button);
  // Closing without a button answers Cancel, else No, else the only button.
  const TButton &escape = buttons.size() == 1 ? buttons[0] : buttons.back().Answer == idCancel ? buttons.back() : buttons[1];
  box.setEscapeButton(escape.Button);
  box.exec();
  const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
  for (const TButton &b : buttons)
    if (b.Button == pressed)
      return b.Answer;
  return escape.Answer;
}

void TQtUserInterface::SetWaitCursor(bool waiting) {
  if (waiting)
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  else
    QGuiApplication::restoreOverrideCursor();
}

void TQtUserInterface::Beep() { QApplication::beep(); }
