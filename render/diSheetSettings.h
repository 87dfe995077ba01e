// The settings of how a sheet looks and edits ("Sheet") and of how the document prints ("Print").
#pragma once

#include "cuProps.h"
#include "diTextorAttributes.h"

#include <array>
#include <memory>

class TSheetTheme;

// The font sizes of a theme: normal (the empty name), "Large" (+2 points, 140 %), "Great" (+4 points, 180 %).
QStringList FontSizeNames();

// Besides its properties a sheet settings node keeps, made on first use, the theme its sheets draw with
// and the text attributes of four theme fonts. They follow the properties: a change of "Theme" drops the
// theme and the attributes, a change of "FontSize" rescales the theme and drops the attributes, before the
// node's subscribers (the sheets, which then reload their canvas fonts and relayout) hear of the change.
class TSheetSettings : public TProperty {
public:
  // The application settings make one named "Sheet"; printing makes an unnamed, unattached one.
  TSheetSettings(TProperty *owner, QString name);
  ~TSheetSettings() override;

  // The theme named by "Theme" (Default: the built-in one; a theme that fails to load falls back to it),
  // scaled by "FontSize".
  TSheetTheme &GetTheme();
  // n for the normal font size, n x 140 / 100 for "Large", n x 180 / 100 for "Great" (truncated).
  int ScaleValue(int n) const;
  // The shared attributes of the theme fonts stfValue, stfFixed, stfArt and stfComment (face, size,
  // colour, style); the node holds a reference to each while it keeps them.
  TRichTextAttributes &ValueAttributes() { return FontAttributesOf(0); }
  TRichTextAttributes &FixedAttributes() { return FontAttributesOf(1); }
  TRichTextAttributes &ArtAttributes() { return FontAttributesOf(2); }
  TRichTextAttributes &CommentAttributes() { return FontAttributesOf(3); }

  void Notify(int code, TNotifyArg a = 0, TNotifyArg b = 0) override;

  // "Default" or the name of a theme file without its extension.
  TStringProperty &Theme() const { return *FTheme; }
  TEnumProperty &FontSize() const { return *FFontSize; }
  // The text shows paragraph and tab marks.
  TBooleanProperty &NonPrintingCharacters() const { return *FNonPrintingCharacters; }
  // Caret width in pixels, 1 to 20; the default is the desktop's thin border width, 1 pixel.
  TIntegerProperty &CaretSize() const { return *FCaretSize; }
  // A newly inserted element takes the focus.
  TBooleanProperty &FocusNew() const { return *FFocusNew; }
  // A newly focused drop-down element opens its list.
  TBooleanProperty &DropDownOnFocusNew() const { return *FDropDownOnFocusNew; }
  // The document root keeps extra empty room below its content.
  TBooleanProperty &IncreaseWorkspaceHeight() const { return *FIncreaseWorkspaceHeight; }

private:
  TRichTextAttributes &FontAttributesOf(int i);
  // Drops or rescales what no longer matches the properties.
  void FollowProperties();

  TStringProperty *FTheme;
  TEnumProperty *FFontSize;
  TBooleanProperty *FNonPrintingCharacters;
  TIntegerProperty *FCaretSize;
  TBooleanProperty *FFocusNew;
  TBooleanProperty *FDropDownOnFocusNew;
  TBooleanProperty *FIncreaseWorkspaceHeight;

  std::unique_ptr<TSheetTheme> FThemeCache;
  QString FThemeCacheName;  // the "Theme" value FThemeCache was loaded for
  int FThemeCacheSize = 0;  // the "FontSize" value it is scaled for
  std::array<TAttributesRef<TRichTextAttributes>, 4> FAttributes;
  int FAttributesSize = 0;  // the "FontSize" value FAttributes were made for
};

class TPrintSettings : public TProperty {
public:
  // Named "Print".
  explicit TPrintSettings(TProperty *owner);

  TStringProperty &Theme() const { return *FTheme; }
  TEnumProperty &FontSize() const { return *FFontSize; }
  // Per cent of the printed size, 1 to 500.
  TIntegerProperty &Scale() const { return *FScale; }

private:
  TStringProperty *FTheme;
  TEnumProperty *FFontSize;
  TIntegerProperty *FScale;
};
