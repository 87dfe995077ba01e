// TUserInterface with Qt Widgets: message boxes, the override cursor and the desktop's beep.
#pragma once

#include "cuDesktop.h"

class TQtUserInterface : public TUserInterface {
public:
  int MessageBox(const QString &text, const QString &caption, int flags) override;
  void SetWaitCursor(bool waiting) override;
  void Beep() override;
};
