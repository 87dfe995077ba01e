#include "diTextorPalette.h"

#include "cuLocalization.h"
#include "diClassesImages.h"

#include <gtest/gtest.h>

namespace {

// The place of a group among the palette's groups; -1 when it is not one of them.
int GroupIndex(const TNode *group) {
  int i = 0;
  for (TNode *n = Palette().FirstChild(); n; n = n->Next(), ++i)
    if (n == group)
      return i;
  return -1;
}

TEST(TextorFormatPalette, TheFormatGroupWithBoldItalicAndUnderline) {
  const TTextorFormatPalette &f = TextorFormatPalette();
  ASSERT_NE(f.Format, nullptr);
  EXPECT_EQ(f.Format->Owner(), &Palette());
  EXPECT_EQ(f.Format->CaptionId(), sidGroupFormat);
  EXPECT_EQ(f.Format->Caption(), QStringLiteral("Format"));
  EXPECT_EQ(f.Format->Weight(), 2000);
  // Registered after the framework's groups.
  EXPECT_GT(GroupIndex(f.Format), GroupIndex(FrameworkPalette().Additional));
  EXPECT_GE(GroupIndex(FrameworkPalette().Additional), 0);

  const struct {
    TSchemePaletteItem *Item;
    const char *Caption, *Hint;
    int Weight;
  } items[] = {{f.Bold, "Bold", "Bold.", 40}, {f.Italic, "Italic", "Italic.", 30},
               {f.Underline, "Underline", "Underline.", 20}};
  TNode *n = f.Format->FirstChild();
  for (const auto &i : items) {
    SCOPED_TRACE(i.Caption);
    ASSERT_EQ(n, i.Item);
    EXPECT_EQ(i.Item->Caption(), QString::fromUtf8(i.Caption));
    EXPECT_EQ(i.Item->Description(), QString::fromUtf8(i.Hint));
    EXPECT_EQ(i.Item->Weight(), i.Weight);
    EXPECT_EQ(i.Item->Tune(), 0x0240);
    EXPECT_EQ(i.Item->SmallImage(), ClassesImages().Small);  // the framework's default command image
    EXPECT_EQ(i.Item->LargeImage(), -1);
    EXPECT_EQ(i.Item->RadioGroup(), 0);
    EXPECT_TRUE(i.Item->Shortcut().isEmpty());
    EXPECT_FALSE(i.Item->HasSubItems());
    EXPECT_EQ(i.Item->GetSoundName(true), QStringLiteral("diClassesItemSound"));
    n = n->Next();
  }
  EXPECT_EQ(n, nullptr);
  // Registration happens once.
  EXPECT_EQ(&TextorFormatPalette(), &f);
  EXPECT_EQ(f.Format->ChildCount(), 3);
}

}  // namespace
