#include "pfUserInterface.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Shows a box and answers it once it is up: with `key` sent to it, or by clicking the button `click`.
int Answer(int flags, int key, QMessageBox::StandardButton click = QMessageBox::NoButton,
           QMessageBox::Icon *icon = nullptr) {
  QTimer::singleShot(0, [=] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    if (icon)
      *icon = box->icon();
    if (click != QMessageBox::NoButton) {
      box->button(click)->click();
      return;
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(box->focusWidget() ? box->focusWidget() : box, &press);
  });
  return TQtUserInterface().MessageBox(QStringLiteral("Text"), QStringLiteral("Caption"), flags);
}

TEST(QtUserInterface, MessageBoxButtonsAndAnswers) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  EXPECT_EQ(Answer(mbOk | mbIconInformation, Qt::Key_Escape, QMessageBox::NoButton, &icon), idOk);
  EXPECT_EQ(icon, QMessageBox::Information);
  EXPECT_EQ(Answer(mbYesNo | mbIconQuestion, Qt::Key_Escape, QMessageBox::NoButton, &icon), idNo);
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(Answer(mbYesNoCancel, Qt::Key_Escape), idCancel);
  EXPECT_EQ(Answer(mbYesNoCancel, 0, QMessageBox::Yes), idYes);
  EXPECT_EQ(Answer(mbOkCancel | mbDefButton2, Qt::Key_Return), idCancel);
  EXPECT_EQ(Answer(mbOkCancel, Qt::Key_Return), idOk);
  EXPECT_EQ(Answer(mbRetryCancel | mbIconError, 0, QMessageBox::Retry, &icon), idRetry);
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtUserInterface, WaitCursorOverridesEveryWindow) {
  TQtUserInterface ui;
  ui.SetWaitCursor(true);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui.SetWaitCursor(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
