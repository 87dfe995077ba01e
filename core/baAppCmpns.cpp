#include "baAppCmpns.h"

#include "cuDesktop.h"

#include <QFileInfo>

TSessionFile::TSessionFile() : FKnot(MakeNode<TKnot>()) { FKnot->SetInheritedOptions(koSettingsFileOptions); }

TSessionFile::~TSessionFile() { Notify(snSessionFileFreeing); }

void TSessionFile::Load() {
  try {
    FKnot->LoadFromFile(FFileName);
    FLoadState = lsLoaded;
  } catch (const EException &) {
    FLoadState = QFileInfo::exists(FFileName) ? lsUnreadable : lsNotFound;
  }
}

void TSessionFile::Save() {
  FKnot->SetName(QFileInfo(FFileName).completeBaseName());
  try {
    FKnot->SaveToFile(FFileName);
  } catch (const EException &) {
    // The file keeps its previous content; the next save tries again.
  }
}

TFormPlace::TFormPlace(TFormGeometry *form, const QString &formName) : FForm(form), FFormName(formName) {}

TFormPlace::~TFormPlace() { SetSessionFile(nullptr); }

void TFormPlace::SetSessionFile(TSessionFile *sessionFile) {
  constexpr TNotifyCallback callback = NotifyMethod<&TFormPlace::SessionFileNotified>;
  if (FSessionFile == sessionFile)
    return;
  if (FSessionFile)
    FSessionFile->Unsubscribe(callback, this);
  FSessionFile = sessionFile;
  if (FSessionFile)
    FSessionFile->Subscribe(callback, this);
}

void TFormPlace::SessionFileNotified(TItfObject *sender, int code, TNotifyArg, TNotifyArg) {
  if (code == snSessionFileFreeing && sender == FSessionFile)
    SetSessionFile(nullptr);
}

TKnot *TFormPlace::PlaceKnot() {
  if (!FForm || !FSessionFile)
    return nullptr;
  TKnot *under = &FSessionFile->Knot();
  if (!FKnotPath.isEmpty())
    under = under->FindPath(FKnotPath, true);
  return under->GetKnot(FFormName);
}

void TFormPlace::FormCreated() {
  if (TKnot *knot = PlaceKnot())
    knot->RestorePlacement(*FForm);
}

void TFormPlace::FormCloseQuery() {
  if (TKnot *knot = PlaceKnot())
    knot->SavePlacement(*FForm);
}

// ---------------------------------------------------------------------------------------------------------
// File filters and the open/save dialog

QString TFileFilter::Description() const { return Text.isEmpty() ? FileExt.toUpper() : Text; }

QString TFileFilter::DisplayName() const {
  return Description() + QStringLiteral(" (*.") + FileExt.toLower() + QLatin1Char(')');
}

TFileFilter &TFileFilters::Add() { return FItems.emplace_back(); }

TFileFilter &TFileFilters::Add(const QString &ext, const QString &text) {
  TFileFilter &filter = FItems.emplace_back();
  filter.FileExt = ext;
  filter.Text = text;
  return filter;
}

namespace {
// The "All Files" entry is English in every language.
const QString AllFilesEntry = QStringLiteral("All Files (*.*)|*.*");
}  // namespace

TBuiltFilter TOpenSaveDialog::BuildFilter(bool forOpen, bool merge, bool addAllFirst, bool addAllLast) const {
  struct TEntry {
    QString Description;
    QStringList Exts;
  };
  std::vector<TEntry> entries;
  for (int i = 0; i < FFileFilters.Count(); ++i) {
    const TFileFilter &filter = FFileFilters.Items(i);
    if (!(forOpen ? filter.UseForOpen : filter.UseForSave))
      continue;
    const QString description = filter.Description();
    TEntry *entry = nullptr;
    if (merge)
      for (TEntry &e : entries)
        if (e.Description.compare(description, Qt::CaseInsensitive) == 0) {
          entry = &e;
          break;
        }
    if (!entry)
      entry = &entries.emplace_back(TEntry{description, {}});
    entry->Exts.append(filter.FileExt.toLower());
  }

  TBuiltFilter result;
  auto append = [&result](const QString &part, const QString &defaultExt) {
    if (!result.Filter.isEmpty())
      result.Filter += QLatin1Char('|');
    result.Filter += part;
    result.DefaultExts.append(defaultExt);
  };
  if (addAllFirst)
    append(AllFilesEntry, QString());
  for (const TEntry &e : entries) {
    QStringList patterns;
    for (const QString &ext : e.Exts)
      patterns.append(QStringLiteral("*.") + ext);
    append(QStringLiteral("%1 (%2)|%3").arg(e.Description, patterns.join(QStringLiteral(", ")),
                                            patterns.join(QLatin1Char(';'))),
           e.Exts.first());
  }
  if (addAllLast)
    append(AllFilesEntry, QString());
  return result;
}

bool TOpenSaveDialog::ExecuteOpen() {
  const bool allFiles = !(FOptions & osoOpenNoAllFiles);
  const bool allFirst = allFiles && (FOptions & osoDefaultFilterAll);
  const TBuiltFilter built = BuildFilter(true, !(FOptions & osoNoMergeOpenFilters), allFirst, allFiles && !allFirst);
  TFileDialogRequest request;
  request.Title = FTitle;
  request.Filter = ToQtFileFilter(built.Filter);
  request.FileName = FFileName;
  return FileDialogs().ChooseFileToOpen(request, FFileName);
}

bool TOpenSaveDialog::ExecuteSave() {
  const TBuiltFilter built = BuildFilter(false, false, false, !(FOptions & osoSaveNoAllFiles));
  TFileDialogRequest request;
  request.Title = FTitle;
  request.Filter = ToQtFileFilter(built.Filter);
  request.FileName = FFileName;
  if (!built.DefaultExts.isEmpty())
    request.DefaultSuffix = built.DefaultExts.first();
  return FileDialogs().ChooseFileToSave(request, FFileName);
}

QString ToQtFileFilter(const QString &filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString trimmed = pattern.trimmed();
      patterns.append(trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (!patterns.isEmpty())
      entries.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
  }
  return entries.join(QStringLiteral(";;"));
}
