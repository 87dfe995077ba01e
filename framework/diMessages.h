// Validation and load messages: a kind and a sequence of parts, of which one may refer to an element by its
// identity number; the lists that elements own while they have problems and that a scheme reports into.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Message kinds; HasKind masks use bit (1 << kind).
enum TElementMessageKind : std::uint8_t {
  mkInformation = 0,
  mkHint = 1,
  mkWarning = 2,
  mkHighest = 3,
  mkRequired = 4,  // a required value is missing
  mkError = 5,
};
constexpr std::uint8_t mkProblemsMask = 0x3C;  // kinds 2 to 5

enum TElementMessagePartKind : std::uint8_t {
  mpText = 0,
  mpElement = 1,  // a link to an element; Data is its ID in decimal
};

struct TElementMessagePart {
  TElementMessagePartKind PartKind = mpText;
  QString Text;
  QString Data;
};

class TElementMessage {
public:
  explicit TElementMessage(std::uint8_t kind) : Kind(kind) {}
  std::uint8_t Kind;
  std::vector<TElementMessagePart> Parts;
};

class TElementMessages {
public:
  TElementMessages() = default;
  TElementMessages(const TElementMessages &) = delete;
  TElementMessages &operator=(const TElementMessages &) = delete;

  // Events; only the log's list sets them.
  std::function<void(TElementMessages &list)> OnClear;
  std::function<void(TElementMessages &list, TElementMessage &message)> OnAdd;
  std::function<void(TElementMessages &list, TElementMessage &message, bool &accept)> OnAccept;

  // Appends the message unless OnAccept refuses it (then it is freed); answers the stored message or null.
  TElementMessage *Add(std::unique_ptr<TElementMessage> message);
  // A message of one plain part.
  TElementMessage *AddText(std::uint8_t kind, const QString &text);
  // A message whose bracketed phrase links to the element: the text before the first "[" (when not empty),
  // the phrase up to the first "]" as a reference with `elementIdText` as its data (always present), the
  // text after it (when not empty). A text without "[" becomes one reference part.
  TElementMessage *AddElementMessage(std::uint8_t kind, const QString &text, const QString &elementIdText);

  // Frees every message, then OnClear.
  void Clear();
  // The outermost BeginUpdate clears the list first.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  int Count() const { return int(FItems.size()); }
  TElementMessage *Items(int index) const { return FItems[size_t(index)].get(); }
  // True when some message's kind bit (1 << kind) is in `mask`.
  bool HasKind(std::uint8_t mask) const;
  // 3 with a message of kind 3; else 2 with one of kinds 2, 4 or 5; else 1 with a hint; else 0.
  int Level() const;
  // Points every element reference whose data is `oldIdText` at `newIdText`.
  void ReplaceElementReference(const QString &oldIdText, const QString &newIdText);

  // The concatenated texts of the message's parts.
  static QString MessageText(const TElementMessage &message);
  // Prepares a value inserted into a message text: cut to 197 characters and "..." when longer than 200,
  // then every control character (0 to 31), "[" and "]" replaced by U+FFFD, so that a value can never break
  // the bracket structure of the text it goes into.
  static QString CleanArgument(const QString &text);

private:
  std::vector<std::unique_ptr<TElementMessage>> FItems;
  int FUpdateCount = 0;
};
