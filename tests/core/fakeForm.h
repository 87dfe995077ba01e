// A window for placement tests.
#pragma once

#include "cuKnot.h"

// A window whose geometry the test sets; records what placement did to it.
struct TFakeForm : TFormGeometry {
  TFormBorderStyle Style = bsSizeable;
  bool MaximizeButton = true, Maximized = false, BoundsSet = false;
  QRect Rect{100, 50, 400, 300};
  QRect Desktop{0, 0, 1366, 768};
  TFormBorderStyle BorderStyle() const override { return Style; }
  bool HasMaximizeButton() const override { return MaximizeButton; }
  bool IsMaximized() const override { return Maximized; }
  void Maximize() override { Maximized = true; }
  QRect Bounds() const override { return Rect; }
  void SetBounds(const QRect &r) override {
    Rect = r;
    BoundsSet = true;
  }
  QRect VirtualDesktop() const override { return Desktop; }
};
