#include "diFiling.h"

#include "cuLocalization.h"
#include "cuUtils.h"
#include "diVisualElements.h"

#include <QDir>

#include <algorithm>
#include <limits>

// ---------------------------------------------------------------------------------------------------------
// Format version

QString FormatVersionText() {
  QString minor = QString::number(FormatVersionMinor);
  while (minor.size() > 1 && minor.endsWith(QLatin1Char('0')))
    minor.chop(1);
  return QString::number(FormatVersionMajor) + QLatin1Char('.') + minor;
}

namespace {
int ToIntOr(QStringView text, int defaultValue) {
  int value = 0;
  return KnotStrToInt(text, value) ? value : defaultValue;
}
}  // namespace

int FormatVersionNumber(const QString &text) {
  const qsizetype dot = text.indexOf(QLatin1Char('.'));
  const QStringView major = dot < 0 ? QStringView(text) : QStringView(text).left(dot);
  const QStringView minor = dot < 0 ? QStringView() : QStringView(text).mid(dot + 1);
  // In 64 bits and saturated, so that an absurd major number reads as a very new format, not as garbage.
  const qint64 number = qint64(ToIntOr(major, 1)) * 1000 + ToIntOr(minor, 0);
  return int(std::clamp<qint64>(number, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// ---------------------------------------------------------------------------------------------------------
// Filers

TSchemeFiler::TSchemeFiler(TFilerMode mode, std::uint8_t options, TKnot *knot)
    : FMode(mode), FOptions(options), FOwnedKnot(knot ? nullptr : MakeNode<TKnot>()),
      FKnot(knot ? knot : FOwnedKnot.get()) {}

TSchemeFiler::~TSchemeFiler() = default;

void TSchemeSaver::WriteFormatVersion() { Knot().WriteStr(QStringLiteral("FormatVersion"), FormatVersionText()); }

TSchemeLoader::TSchemeLoader(TScheme &scheme, TElementMessages *messages, TKnot *knot, std::uint8_t options,
                             TFilerMode mode)
    : TSchemeFiler(mode, options, knot), FScheme(scheme), FMessages(messages),
      FVersion(FormatVersionNumber(Knot().ReadStr(QStringLiteral("FormatVersion"), QString()))) {
  FScheme.BeginLoad();
  // The damage is told first: whatever else is reported may stem from it.
  if (static_cast<TKnot *>(Knot().Root())->HasParseError())
    Warn(sidDataCorrupt, {});
  if (FVersion > FormatVersionNumberWritten)
    Warn(sidNewerFormatVersion, {});
}

TSchemeLoader::~TSchemeLoader() {
  if (FFinished)
    return;
  try {
    FScheme.EndLoad();
  } catch (...) {
    // The load that failed is already on its way to the caller; its error is the one to show.
  }
}

void TSchemeLoader::Finish() {
  if (FFinished)
    return;
  FFinished = true;
  // The unread parts are collected before anything else runs, because writing a knot marks what it reads.
  std::vector<TKnot *> knots;
  std::vector<TKnotParam *> params;
  const bool report = FMessages && Mode() != fmSnapshot;
  if (report)
    Knot().CollectUnaccessed(knots, params, false);
  FScheme.EndLoad();
  if (!report)
    return;
  for (TKnot *k : knots)
    Warn(sidNodeNotRead, k->Path());
  for (TKnotParam *p : params)
    Warn(sidAttributeNotRead, p->Path());
}

void TSchemeLoader::RecordIdPair(std::int32_t storedId, std::int32_t newId) {
  if (storedId != newId)
    FIdMap.emplace_back(storedId, newId);
}

void TSchemeLoader::Warn(int stringId, const QString &argument) {
  if (!FMessages)
    return;
  const QString text = argument.isNull() ? LoadString(stringId)
                                         : FormatString(stringId, {TElementMessages::CleanArgument(argument)});
  FMessages->AddText(mkWarning, text);
}

// ---------------------------------------------------------------------------------------------------------
// The framework's share of element filing

bool TElement::ShouldFilePart(TSchemeFiler &filer, TElement *part) {
  if (filer.Mode() != fmSnapshot && (part->Options() & efTransient))
    return false;
  return !(filer.HasOption(foSkipComments) && (part->Options() & efComment));
}

bool TElement::IsFiledInline(TSchemeFiler &filer) {
  return IsPart() && (FOptions & efInlinePart) && filer.Mode() != fmSnapshot;
}

void TElement::Load(TSchemeLoader &filer, TKnot &knot) {
  const std::int32_t oldId = FID;
  if (filer.Mode() == fmSnapshot) {
    const std::int32_t id = knot.ReadInt(QStringLiteral("ID"), 0, 0, 0);
    SetID(id);
    RaiseElementIdCounter(id);
  } else if (FOptions & efKeepsId) {
    filer.RecordIdPair(knot.ReadInt(QStringLiteral("ID"), 0, 0, 0), FID);
  }
  if (filer.HasOption(foInsert))
    FState |= esInserted;
  if (FID != oldId)
    IdChanged(oldId);
  for (TElement *part = FirstChildElement(); part; part = part->NextElement()) {
    if (!part->IsPart() || (filer.Mode() != fmSnapshot && (part->Options() & efTransient)))
      continue;
    if (part->IsFiledInline(filer)) {
      part->Load(filer, knot);
      continue;
    }
    QString name;
    part->GetKnotName(filer.Mode(), name);
    if (TKnot *partKnot = knot.FindChild(name))
      part->Load(filer, *partKnot);
  }
}

void TElement::Save(TSchemeSaver &filer, TKnot &knot) {
  if (filer.Mode() == fmSnapshot || (FOptions & efKeepsId))
    knot.WriteInt(QStringLiteral("ID"), FID);
  for (TElement *part = FirstChildElement(); part; part = part->NextElement()) {
    if (!part->IsPart() || !ShouldFilePart(filer, part))
      continue;
    if (filer.HasOption(foAskEachElement) && part->ExcludeFromFiling(filer, knot))
      continue;
    if (part->IsFiledInline(filer)) {
      part->Save(filer, knot);
      continue;
    }
    QString name;
    part->GetKnotName(filer.Mode(), name);
    TKnot *partKnot = knot.AddChild(name);
    part->Save(filer, *partKnot);
    // An empty knot says nothing, unless it stands for a checked part that has content.
    if (!partKnot->FirstParam() && !partKnot->HasChildren() &&
        !((part->Options() & efChecked) && !part->IsEmptyState()))
      partKnot->Free();
  }
}

void TElement::SaveToKnot(TKnot &knot, TFilerMode mode, std::uint8_t options) {
  TSchemeSaver saver(mode, &knot, options);
  Save(saver, knot);
}

// ---------------------------------------------------------------------------------------------------------
// Scheme filing

void TScheme::LoadFromKnot(TElement &element, TFilerMode mode, TKnot &knot) {
  TSchemeLoader loader(*this, FMessages, &knot, 0, mode);
  element.Load(loader, knot);
  loader.Finish();
}

void TScheme::SaveToKnot(TElement &element, TFilerMode mode, TKnot &knot, std::uint8_t options) {
  TSchemeSaver saver(mode, &knot, options);
  knot.SetName(FRootName);
  saver.WriteFormatVersion();
  element.Save(saver, knot);
}

void TScheme::LoadFromFile(const QString &fileName) {
  TWaitCursor wait;
  SetFileName(fileName);
  TNodePtr<TKnot> tree = MakeNode<TKnot>();
  tree->LoadFromFile(fileName);
  if (FRoot)
    LoadFromKnot(*FRoot, fmDocument, *tree);
}

void TScheme::SaveToFile(const QString &fileName, bool restoreName) {
  TWaitCursor wait;
  const QString remembered = FFileName;
  SetFileName(fileName);
  try {
    TNodePtr<TKnot> tree = MakeNode<TKnot>();
    if (FRoot) {
      SaveToKnot(*FRoot, fmDocument, *tree, foDocumentSave);
    } else {
      tree->SetName(FRootName);
      TSchemeSaver(fmDocument, tree.get(), foDocumentSave).WriteFormatVersion();
    }
    // One temporary file, created exclusively beside the target and renamed over it in one step; the old
    // file stays whole until the rename, and a failure removes the temporary file.
    tree->SaveToFile(fileName, teUtf8, [](const QString &folder, const QString &, int attempt) {
      return QDir(folder).filePath(QStringLiteral("Rplc%1.tmp").arg(attempt));
    });
  } catch (...) {
    SetFileName(remembered);
    throw;
  }
  if (restoreName)
    SetFileName(remembered);
}
