// The settings of how a sheet looks and edits ("Sheet") and of how the document prints ("Print").
#pragma once

#include "cuProps.h"

// The font sizes of a theme: normal (the empty name), "Large" (+2 points, 140 %), "Great" (+4 points, 180 %).
QStringList FontSizeNames();

class TSheetSettings : public TProperty {
public:
  // The application settings make one named "Sheet"; printing makes an unnamed, unattached one.
  TSheetSettings(TProperty *owner, QString name);

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
  TStringProperty *FTheme;
  TEnumProperty *FFontSize;
  TBooleanProperty *FNonPrintingCharacters;
  TIntegerProperty *FCaretSize;
  TBooleanProperty *FFocusNew;
  TBooleanProperty *FDropDownOnFocusNew;
  TBooleanProperty *FIncreaseWorkspaceHeight;
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
