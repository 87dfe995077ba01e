#include "diSheetSettings.h"

QStringList FontSizeNames() { return {QString(), QStringLiteral("Large"), QStringLiteral("Great")}; }

// The children are created in the order in which the settings file lists them.
TSheetSettings::TSheetSettings(TProperty *owner, QString name)
    : TProperty(owner, std::move(name)),
      FTheme(new TStringProperty(this, QStringLiteral("Theme"), QStringLiteral("Default"))),
      FFontSize(new TEnumProperty(this, QStringLiteral("FontSize"), FontSizeNames())),
      FNonPrintingCharacters(new TBooleanProperty(this, QStringLiteral("NonPrintingCharacters"), false)),
      FCaretSize(new TIntegerProperty(this, QStringLiteral("CaretSize"), 1, 1, 20)),
      FFocusNew(new TBooleanProperty(this, QStringLiteral("FocusNew"), false)),
      FDropDownOnFocusNew(new TBooleanProperty(this, QStringLiteral("DropDownOnFocusNew"), true)),
      FIncreaseWorkspaceHeight(new TBooleanProperty(this, QStringLiteral("IncreaseWorkspaceHeight"), true)) {}

TPrintSettings::TPrintSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("Print")),
      FTheme(new TStringProperty(this, QStringLiteral("Theme"), QStringLiteral("Default"))),
      FFontSize(new TEnumProperty(this, QStringLiteral("FontSize"), FontSizeNames())),
      FScale(new TIntegerProperty(this, QStringLiteral("Scale"), 50, 1, 500)) {}
