#include "cuColors.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

TEST(Colors, ExplicitColoursAreBlueGreenRed) {
  EXPECT_EQ(clBlue, 0x00FF0000);
  EXPECT_EQ(PlatformRgb(0, 0, 255), clBlue);
  EXPECT_EQ(QColorFromPlatform(clBlue), QColor(0, 0, 255));
  EXPECT_EQ(Color32FromPlatform(clBlue), 0xFF0000FFu);
  EXPECT_EQ(Color32FromPlatform(0x00332211), 0xFF112233u);
  EXPECT_EQ(PlatformColorOf(TColor32(0x7F112233)), 0x00332211);
  EXPECT_EQ(PlatformColorOf(QColor(0x11, 0x22, 0x33)), 0x00332211);
  EXPECT_FALSE(IsSystemColor(clBlue));
  EXPECT_FALSE(IsSystemColor(clNone));
  EXPECT_TRUE(IsSystemColor(clWindowText));
  EXPECT_EQ(TColor32(clWindowText), 0xFF000008u);
}

TEST(Colors, NoneHasNoColour) {
  EXPECT_EQ(clNone, 0x1FFFFFFF);
  EXPECT_EQ(QColorFromPlatform(clNone).alpha(), 0);
  EXPECT_EQ(Color32FromPlatform(clNone), 0u);
}

TEST(Colors, SystemColoursComeFromThePaletteRoles) {
  struct {
    TColor Color;
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
  } cases[] = {
      {clWindow, QPalette::Active, QPalette::Base},
      {clWindowText, QPalette::Active, QPalette::Text},
      {clHighlight, QPalette::Active, QPalette::Highlight},
      {clHighlightText, QPalette::Active, QPalette::HighlightedText},
      {clBtnFace, QPalette::Active, QPalette::Button},
      {clBtnText, QPalette::Active, QPalette::ButtonText},
      {clBtnShadow, QPalette::Active, QPalette::Dark},
      {clBtnHighlight, QPalette::Active, QPalette::Light},
      {clGrayText, QPalette::Disabled, QPalette::Text},
      {clInfoBk, QPalette::Active, QPalette::ToolTipBase},
      {clInfoText, QPalette::Active, QPalette::ToolTipText},
      {clHotLight, QPalette::Active, QPalette::Link},
  };
  // A palette whose roles all differ, so that a wrong role shows.
  const QPalette saved = QGuiApplication::palette();
  QPalette palette;
  int n = 1;
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    for (int role = 0; role < QPalette::NColorRoles; ++role, ++n)
      palette.setColor(group, QPalette::ColorRole(role), QColor(n * 7 % 256, n * 13 % 256, n));
  QGuiApplication::setPalette(palette);
  for (const auto &c : cases) {
    const TPaletteSource source = PaletteSourceOf(c.Color & 0xFF);
    EXPECT_EQ(source.Group, c.Group) << (c.Color & 0xFF);
    EXPECT_EQ(source.Role, c.Role) << (c.Color & 0xFF);
    QColor expected = palette.color(c.Group, c.Role);
    EXPECT_EQ(QColorFromPlatform(c.Color), expected) << (c.Color & 0xFF);
    EXPECT_EQ(Color32FromPlatform(c.Color), expected.rgb() | 0xFF000000u) << (c.Color & 0xFF);
  }
  QGuiApplication::setPalette(saved);
  // The page is the palette's base (white in the default palette), not the grey window colour.
  EXPECT_EQ(QColorFromPlatform(clWindow), QGuiApplication::palette().color(QPalette::Base));
}
