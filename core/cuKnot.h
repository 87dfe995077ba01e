// Knots: the in-memory form of every file, clipboard text and undo snapshot, and their XML-like text.
//
// A knot is a named node with an ordered list of named parameters and ordered child knots. Its text form
// has elements and attributes only. The writer is exact (see cuCodeWriters); the reader is lenient: it
// never throws on bad text, keeps what it parsed, and marks the root with ksParseError instead.
#pragma once

#include "cuClasses.h"
#include "cuFileSystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QRect>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

class QIODevice;
class TKnot;

// Option bits. Effective options = (inherited and not removed) or added.
enum : uint16_t {
  koPositionalChildren = 0x01,  // children addressed by position ("[n]" in paths); empty only without children
  koUniqueParams = 0x02,        // writing a parameter replaces the value of an existing one of that name
  koSkipEmptyChildren = 0x04,   // the writer leaves out empty children
  koBareValues = 0x08,          // values that need no quotes are written without them
  koNoIndent = 0x10,            // the knot's tags are not indented
  koNoLineBreaks = 0x20,        // no line break after the start tag nor after the knot
  koSameLine = 0x40,            // the knot is written on the line of its previous sibling
  koRawValues = 0x80,           // no character references; a quote inside a value is doubled
};
// The options of the settings and session files' roots.
constexpr uint16_t koSettingsFileOptions = koUniqueParams | koSkipEmptyChildren | koBareValues | koRawValues;

// State bits.
enum : uint8_t {
  ksAccessed = 0x01,    // reached by a read accessor
  ksParseError = 0x02,  // set on the root: the text parsed into this tree was damaged
};

// Nesting depth (the root counts as 1) beyond which the reader stops and marks the text damaged.
constexpr int KnotMaxDepth = 4096;

enum TKnotParamKind : uint8_t { pkNone, pkText, pkBinary, pkBinaryRef };

// How a knot text is turned into bytes. teDefault: UTF-8 without byte order mark (settings, session);
// teUtf8: UTF-8 with the byte order mark EF BB BF first (data files, exports).
enum TTextEncoding { teDefault, teUtf8 };

// One named parameter; owned by one knot, singly linked in the knot's list.
class TKnotParam {
public:
  const QString &Name() const { return FName; }
  TKnotParamKind Kind() const { return TKnotParamKind(FValue.index()); }
  // The text of a pkText parameter (empty for the other kinds).
  const QString &Text() const;
  // The bytes of a binary parameter (empty for the other kinds); a pkBinaryRef answers its referent.
  const QByteArray &Bytes() const;
  // The value as text: the text, the bytes as upper-case hexadecimal digits, or "" without value.
  QString TextValue() const;

  // Setting a value changes the kind; an owned stream is released and the text emptied.
  void SetNone() { FValue = std::monostate(); }
  void SetText(const QString &text) { FValue = text; }
  void SetBinary(const QByteArray &bytes) { FValue = bytes; }
  // Refers to `bytes` without copying; they must outlive every write of the tree.
  void SetBinaryRef(const QByteArray &bytes) { FValue = &bytes; }

  bool Accessed() const { return FAccessed; }
  void SetAccessed(bool accessed) { FAccessed = accessed; }

  TKnot *Knot() const { return FKnot; }
  TKnotParam *Next() const { return FNext; }

  // Parameters and knots are made by the hundred thousand and come from pools of their own (cuSlotPool).
  static void *operator new(std::size_t size);
  static void operator delete(void *object, std::size_t size);
  // The knot's path, "." and the name.
  QString Path() const;

private:
  friend class TKnot;
  TKnotParam(TKnot *knot, const QString &name) : FKnot(knot), FName(name) {}

  struct Links {
    static TKnotParam *Next(const TKnotParam *p) { return p->FNext; }
    static void SetNext(TKnotParam *p, TKnotParam *next) { p->FNext = next; }
  };
  using List = TUnidirectionalList<TKnotParam, Links>;

  TKnotParam *FNext = nullptr;
  TKnot *FKnot;
  QString FName;
  std::variant<std::monostate, QString, QByteArray, const QByteArray *> FValue;
  bool FAccessed = false;
};

// The few window facts that placement needs; `ui` binds it to a widget, tests to a fake.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
class TFormGeometry {
public:
  virtual ~TFormGeometry() = default;
  virtual TFormBorderStyle BorderStyle() const = 0;
  virtual bool HasMaximizeButton() const = 0;
  virtual bool IsMaximized() const = 0;
  virtual void Maximize() = 0;
  // The frame's position and size in virtual-desktop coordinates (of the normal, not maximized, window).
  virtual QRect Bounds() const = 0;
  // Places the window exactly there; the window system must not centre or cascade it afterwards.
  virtual void SetBounds(const QRect &bounds) = 0;
  // The rectangle covering all monitors; left and top are negative when a monitor lies left of or above
  // the primary one.
  virtual QRect VirtualDesktop() const = 0;
};

class TKnot : public TNode {
public:
  explicit TKnot(const QString &name = QString()) : FName(name) {}

  static void *operator new(std::size_t size);
  static void operator delete(void *object, std::size_t size);

  const QString &Name() const { return FName; }
  void SetName(const QString &name) { FName = name; }

  uint16_t InheritedOptions() const { return FInheritedOptions; }
  // Sets the value on this knot and every descendant (nothing happens when it is unchanged).
  void SetInheritedOptions(uint16_t options);
  uint16_t AddedOptions() const { return FAddedOptions; }
  void SetAddedOptions(uint16_t options) { FAddedOptions = options; }
  uint16_t RemovedOptions() const { return FRemovedOptions; }
  void SetRemovedOptions(uint16_t options) { FRemovedOptions = options; }
  uint16_t Options() const { return uint16_t((FInheritedOptions & ~FRemovedOptions) | FAddedOptions); }

  uint8_t State() const { return FState; }
  bool HasParseError() const { return FState & ksParseError; }
  bool IsAccessed() const { return FState & ksAccessed; }
  void SetAccessed(bool accessed);
  // The knot, its parameters and all descendants.
  void SetAccessedDeep(bool accessed);

  // Structure. The accessors that answer a knot mark it accessed, except AddChild.
  TKnot *AddChild(const QString &name);
  // The first child of that name, appended when there is none.
  TKnot *GetKnot(const QString &name);
  // The first child of that name (exact comparison), or nullptr.
  TKnot *FindChild(const QString &name);
  // The first child of that name after `after` (from the first child when `after` is nullptr).
  TKnot *FindChildAfter(const QString &name, const TKnot *after);
  // The next sibling of that name (nullptr for a knot without owner).
  TKnot *FindNextNamed(const QString &name);
  // Names separated by "."; each is looked up with FindChild, or GetKnot when `create` is set.
  TKnot *FindPath(const QString &path, bool create);
  TKnot *FirstChild();
  TKnot *LastChild();
  TKnot *NextSibling();
  TKnot *Owner();
  // Navigation that leaves the accessed marks alone.
  TKnot *FirstKnot() const { return static_cast<TKnot *>(TNode::FirstChild()); }
  TKnot *NextKnot() const { return static_cast<TKnot *>(TNode::Next()); }
  TKnot *OwnerKnot() const { return static_cast<TKnot *>(TNode::Owner()); }

  // Empties name, added and removed options, parameters, children and state; inherited options stay.
  void Clear();
  void ClearParams();
  // Replaces this knot's name, added and removed options, parameters and children by a deep copy of
  // `source`'s (a pkBinary stream is copied, a pkBinaryRef refers to the same stream).
  void Assign(const TKnot &source);
  // No parameters, and no children (koPositionalChildren) or only empty children (otherwise).
  bool IsEmpty() const;
  // "owner path.name", with "[n]" (1-based) when the owner has koPositionalChildren.
  QString Path() const;
  // Adds unaccessed knots (whose content is then not examined) to `knots` and unaccessed parameters of
  // the examined knots to `params`; this knot itself is tested only when `testSelf` is set. Answers
  // whether anything was added.
  bool CollectUnaccessed(std::vector<TKnot *> &knots, std::vector<TKnotParam *> &params, bool testSelf);

  // Parameters.
  TKnotParam *FirstParam() const { return FFirstParam; }
  int ParamCount() const;
  // The first parameter of that name, or nullptr; does not mark it.
  TKnotParam *FindParam(QStringView name) const;
  // Marks the parameter accessed.
  bool HasParam(QStringView name);
  // With koUniqueParams the first parameter of that name if any; otherwise a new one appended.
  TKnotParam *ParamForWrite(const QString &name);
  // Appends a parameter without value (names may repeat).
  TKnotParam *AddParam(const QString &name);

  QString ReadStr(QStringView name, const QString &defaultValue = QString());
  // Signed 32-bit decimal, or hexadecimal after "$", "x" or "0x"; `defaultValue` when missing, not a
  // number, too large, or, when min differs from max, outside [min, max] (replaced, not clamped).
  int ReadInt(QStringView name, int defaultValue, int min = 0, int max = 0);
  // "1" true, "0" false, anything else the default.
  bool ReadBool(QStringView name, bool defaultValue);
  // A missing parameter or one without value answers true and leaves `bytes` alone; a binary one copies
  // its bytes; a text is read as pairs of hexadecimal digits (either case): an odd length answers false
  // and leaves `bytes` alone, a pair that does not convert empties `bytes` and answers false.
  bool ReadBinary(QStringView name, QByteArray &bytes);
  void WriteStr(const QString &name, const QString &text);
  void WriteInt(const QString &name, int value);
  void WriteBool(const QString &name, bool value);
  void WriteBinary(const QString &name, const QByteArray &bytes);
  void WriteBinaryRef(const QString &name, const QByteArray &bytes);

  // Window placement ("Maximized", "Left", "Top", "Width", "Height").
  void SavePlacement(const TFormGeometry &form);
  void RestorePlacement(TFormGeometry &form);

  // Text. Lines are joined and each, the last included, ended by CR LF.
  QString GetText() const;
  QByteArray ToBytes(TTextEncoding encoding = teDefault) const;
  void SaveToStream(QIODevice &stream, TTextEncoding encoding = teDefault) const;
  // Written through AtomicWriteFile (cuFileSystem.h); raises EException when the file cannot be replaced.
  void SaveToFile(const QString &fileName, TTextEncoding encoding = teDefault,
                  const TTempFileNamer &namer = DefaultTempFileName) const;

  // Replace the knot's content (after Clear) by the parsed tree; never fail. Damaged text sets
  // ksParseError on this knot. A tree whose options hold koRawValues decodes no character references.
  void ParseText(const QChar *characters, qsizetype count);
  void ParseString(const QString &text) { ParseText(text.constData(), text.size()); }
  // Detects the encoding by byte order mark (UTF-8, UTF-16 LE, UTF-16 BE); without one the bytes are
  // UTF-8 when the whole text is valid UTF-8, else Windows-1252. Then parses.
  void LoadFromBytes(QByteArrayView bytes);
  // Reads the rest of the stream, then as LoadFromBytes.
  void LoadFromStream(QIODevice &stream);
  // Raises EException with string 2066 for a missing file and with the system's reason when it cannot
  // be read.
  void LoadFromFile(const QString &fileName);

protected:
  ~TKnot() override;
  void OwnerChanged() override;
  void ChildInserting(TNode *child, TNode *before) override;

private:
  friend struct TKnotReader;

  TKnotParam *AppendParam(const QString &name);
  TKnot *MarkAccessed() {
    FState |= ksAccessed;
    return this;
  }
  void CopyFrom(const TKnot &source);

  QString FName;
  TKnotParam *FFirstParam = nullptr;
  TKnotParam *FLastParam = nullptr;
  uint16_t FInheritedOptions = 0;
  uint16_t FAddedOptions = 0;
  uint16_t FRemovedOptions = 0;
  uint8_t FState = 0;
};

// Converts like ReadInt: optional leading spaces and sign, then decimal digits or hexadecimal digits after
// "$", "x" or "0x". Answers false for anything else and for a value that does not fit 32 bits.
bool KnotStrToInt(QStringView text, int &value);

// Windows-1252 as the reader decodes files without byte order mark that are not UTF-8; the five bytes the
// code page leaves undefined map to the C1 controls of the same value.
char16_t Windows1252ToUnicode(uint8_t byte);
// True when the whole of `bytes` is well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF).
bool IsValidUtf8(QByteArrayView bytes);
