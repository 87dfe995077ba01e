#include "diSheetSettings.h"

#include "diThemes.h"

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

TSheetSettings::~TSheetSettings() = default;

namespace {
// Font steps and percentages of the font sizes.
constexpr int kFontSteps[] = {0, 2, 4};
constexpr int kPercents[] = {100, 140, 180};
}  // namespace

int TSheetSettings::ScaleValue(int n) const { return n * kPercents[FFontSize->Value()] / 100; }

void TSheetSettings::FollowProperties() {
  const int size = FFontSize->Value();
  if (FThemeCache && FThemeCacheName != FTheme->Value()) {
    FThemeCache.reset();
    for (auto &a : FAttributes)
      a.Assign(nullptr);
  }
  if (FThemeCache && FThemeCacheSize != size) {
    FThemeCache->SetScale(kFontSteps[size], kPercents[size]);
    FThemeCacheSize = size;
  }
  if (FAttributesSize != size) {
    for (auto &a : FAttributes)
      a.Assign(nullptr);
    FAttributesSize = size;
  }
}

void TSheetSettings::Notify(int code, TNotifyArg a, TNotifyArg b) {
  if (code == ncChanged)
    FollowProperties();
  TProperty::Notify(code, a, b);
}

TSheetTheme &TSheetSettings::GetTheme() {
  FollowProperties();
  if (!FThemeCache) {
    auto theme = std::make_unique<TSheetTheme>();
    theme->LoadByName(FTheme->Value());
    const int size = FFontSize->Value();
    theme->SetScale(kFontSteps[size], kPercents[size]);
    FThemeCache = std::move(theme);
    FThemeCacheName = FTheme->Value();
    FThemeCacheSize = size;
  }
  return *FThemeCache;
}

TRichTextAttributes &TSheetSettings::FontAttributesOf(int i) {
  static constexpr TSheetThemeFont fonts[] = {stfValue, stfFixed, stfArt, stfComment};
  TSheetTheme &theme = GetTheme();
  if (!FAttributes[i]) {
    const TSheetThemeFontData &font = theme.Fonts(fonts[i]);
    FAttributes[i].Assign(FontAttributes(font.Name, font.Size, font.Color, font.Style));
  }
  return *FAttributes[i].Get();
}

TPrintSettings::TPrintSettings(TProperty *owner)
    : TProperty(owner, QStringLiteral("Print")),
      FTheme(new TStringProperty(this, QStringLiteral("Theme"), QStringLiteral("Default"))),
      FFontSize(new TEnumProperty(this, QStringLiteral("FontSize"), FontSizeNames())),
      FScale(new TIntegerProperty(this, QStringLiteral("Scale"), 50, 1, 500)) {}
