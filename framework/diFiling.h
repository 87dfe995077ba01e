// Filing of element trees into knot trees and back: the filers that carry mode, options and knot, the file
// envelope with its "FormatVersion", and the problems a load reports.
#pragma once

#include "diClasses.h"

#include "cuKnot.h"

#include <utility>
#include <vector>

// The version this program writes ("1.1") and the number above which a file is of a newer format.
constexpr int FormatVersionMajor = 1;
constexpr int FormatVersionMinor = 100;
constexpr int FormatVersionNumberWritten = FormatVersionMajor * 1000 + FormatVersionMinor;
// Major, a dot, the minor number in decimal with trailing zeros removed while more than one digit remains.
QString FormatVersionText();
// The major part (up to the first dot, default 1) times 1000 plus the part after the dot (default 0):
// no attribute gives 1000, "1.1" gives 1001, "1.101" 1101.
int FormatVersionNumber(const QString &text);

class TSchemeFiler {
public:
  // Uses `knot` when given (not owned); otherwise makes an empty knot of its own.
  TSchemeFiler(TFilerMode mode, std::uint8_t options, TKnot *knot);
  TSchemeFiler(const TSchemeFiler &) = delete;
  TSchemeFiler &operator=(const TSchemeFiler &) = delete;
  virtual ~TSchemeFiler();

  TFilerMode Mode() const { return FMode; }
  std::uint8_t FilerOptions() const { return FOptions; }
  bool HasOption(std::uint8_t option) const { return FOptions & option; }
  TKnot &Knot() const { return *FKnot; }

private:
  TFilerMode FMode;
  std::uint8_t FOptions;
  TNodePtr<TKnot> FOwnedKnot;
  TKnot *FKnot;
};

class TSchemeSaver : public TSchemeFiler {
public:
  TSchemeSaver(TFilerMode mode, TKnot *knot, std::uint8_t options) : TSchemeFiler(mode, options, knot) {}
  // Sets "FormatVersion" on the saver's knot.
  void WriteFormatVersion();
};

// A load into a scheme. Creating it reads the version, opens the scheme's load (checks wait until the last
// loader finishes) and reports a damaged text and a newer format. Finish ends the load: the scheme's
// deferred checks run and, outside snapshot mode, every knot and attribute that nothing read is reported.
// A loader destroyed without Finish (its load raised) only closes the scheme's load.
class TSchemeLoader : public TSchemeFiler {
public:
  // Elements nested deeper than this below the loaded element load as unaccepted elements.
  static constexpr int MaxNesting = 512;

  TSchemeLoader(TScheme &scheme, TElementMessages *messages, TKnot *knot, std::uint8_t options, TFilerMode mode);
  ~TSchemeLoader() override;
  void Finish();

  TScheme &Scheme() const { return FScheme; }
  TElementMessages *Messages() const { return FMessages; }
  int Version() const { return FVersion; }
  // Records (stored ID, new ID) when they differ; for elements with efKeepsId.
  void RecordIdPair(std::int32_t storedId, std::int32_t newId);
  const std::vector<std::pair<std::int32_t, std::int32_t>> &IdMap() const { return FIdMap; }
  // How many LoadChild calls are open.
  int Nesting() const { return FNesting; }

private:
  friend class TVisualElement;
  void Warn(int stringId, const QString &argument);

  TScheme &FScheme;
  TElementMessages *FMessages;
  int FVersion;
  std::vector<std::pair<std::int32_t, std::int32_t>> FIdMap;
  int FNesting = 0;
  bool FFinished = false;
};
