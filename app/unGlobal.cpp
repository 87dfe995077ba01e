#include "unGlobal.h"

#include "cuLocalization.h"
#include "cuUtils.h"
#include "diDataElementSettings.h"
#include "diLogSettings.h"
#include "diNamingSettings.h"
#include "diPaletteFormSettings.h"
#include "diSheetFormSettings.h"
#include "unSettings.h"

#include <QDir>
#include <QFileInfo>

namespace {

TGlobal *Instance = nullptr;

// The other units' settings nodes and their owners in this tree, in the order they are attached.
struct TAttachment {
  TProperty *Node;
  TProperty *Owner;
};
std::vector<TAttachment> Attachments(TSettings &settings) {
  return {
      {&DataElementSettings(), &settings.Sheet()}, {&NamingSettings(), &settings.Sheet()},
      {&SheetFormSettings(), &settings},           {&PaletteFormSettings(), &settings},
      {&LogSettings(), &settings.Sheet()},
  };
}

}  // namespace

TGlobal &Global() {
  if (!Instance)
    throw EException(QStringLiteral("The application data module does not exist"));
  return *Instance;
}

TGlobal::TGlobal(TFileLayout layout) : FLayout(std::move(layout)) {
  if (Instance)
    throw EException(QStringLiteral("The application data module exists already"));
  TLocalization &localization = Localization();
  localization.SetFallbackLanguage(langEnglish);
  localization.SetLanguage(localization.FallbackLanguage());

  FSettings = MakeNode<TSettings>();
  for (const TAttachment &a : Attachments(*FSettings))
    a.Node->SetOwner(a.Owner);

  FSettingsFile.SetCommandLineSearchExt(QStringLiteral("settings"));
  FSettingsFile.SetFileName(FLayout.SettingsFileName);
  FSessionFile.SetCommandLineSearchExt(QStringLiteral("session"));
  FSessionFile.SetFileName(FLayout.SessionFileName);
  TGeneralSettings &general = FSettings->General();
  general.SetFileDefaults(FLayout.DataFolder(), FLayout.BaseName);

  FSettingsFile.Load();
  FSessionFile.Load();
  if (FSettingsFile.LoadState() == lsNotFound) {
    FSettings->ResetToDefaults();
    FSettingsModified = true;
  } else {
    // An unreadable file left an empty tree: every value keeps its default.
    FSettings->LoadFromKnot(FSettingsFile.Knot());
  }
  if (general.DataFileName().Value().isEmpty())
    general.DataFileName().SetValue(general.DataFileName().Default());
  if (general.BackupFileName().Value().isEmpty())
    general.BackupFileName().SetValue(general.BackupFileName().Default());
  // A missing folder shows up later as a failure to save, so the result is not tested here.
  QDir().mkpath(QFileInfo(DataFileName()).absolutePath());
  QDir().mkpath(QFileInfo(BackupFileName()).absolutePath());
  FSettingsFile.Knot().Clear();

  general.Language().Subscribe(NotifyMethod<&TGlobal::LanguageNotified>, this);
  ApplyLanguage();
  Instance = this;
}

TGlobal::~TGlobal() {
  Instance = nullptr;
  FSettings->General().Language().Unsubscribe(NotifyMethod<&TGlobal::LanguageNotified>, this);
  const std::vector<TAttachment> attached = Attachments(*FSettings);
  for (auto it = attached.rbegin(); it != attached.rend(); ++it)
    it->Node->SetOwner(nullptr);
}

void TGlobal::LanguageNotified(TItfObject *, int code, TNotifyArg, TNotifyArg) {
  if (code == TProperty::ncChanged)
    ApplyLanguage();
}

void TGlobal::ApplyLanguage() { Localization().SetLanguageCode(FSettings->General().Language().Value()); }

void TGlobal::SaveSettings() {
  FSettings->SaveToKnot(FSettingsFile.Knot());
  QDir().mkpath(QFileInfo(FSettingsFile.FileName()).absolutePath());
  FSettingsFile.Save();
  FSettingsFile.Knot().Clear();
  FSettingsModified = false;
}

void TGlobal::SaveSessionFile() {
  QDir().mkpath(QFileInfo(FSessionFile.FileName()).absolutePath());
  FSessionFile.Save();
}

QString TGlobal::DataFileName() const { return FLayout.ResolveDataPath(FSettings->General().DataFileName().Value()); }

QString TGlobal::BackupFileName() const {
  return FLayout.ResolveDataPath(FSettings->General().BackupFileName().Value());
}

bool FindRunningInstance(const TFileLayout &layout) { return !SingleInstance().Acquire(layout.InstanceKey()); }
