#include "baAppCmpns.h"

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
