#include "diMessages.h"

TElementMessage *TElementMessages::Add(std::unique_ptr<TElementMessage> message) {
  bool accept = true;
  if (OnAccept)
    OnAccept(*this, *message, accept);
  if (!accept)
    return nullptr;
  FItems.push_back(std::move(message));
  TElementMessage *added = FItems.back().get();
  if (OnAdd)
    OnAdd(*this, *added);
  return added;
}

TElementMessage *TElementMessages::AddText(std::uint8_t kind, const QString &text) {
  auto message = std::make_unique<TElementMessage>(kind);
  message->Parts.push_back({mpText, text, {}});
  return Add(std::move(message));
}

TElementMessage *TElementMessages::AddElementMessage(std::uint8_t kind, const QString &text,
                                                     const QString &elementIdText) {
  auto message = std::make_unique<TElementMessage>(kind);
  const qsizetype open = text.indexOf(QLatin1Char('['));
  QString before, inside, after;
  if (open < 0) {
    inside = text;
  } else {
    before = text.left(open);
    const qsizetype close = text.indexOf(QLatin1Char(']'), open + 1);
    if (close < 0) {
      inside = text.mid(open + 1);
    } else {
      inside = text.mid(open + 1, close - open - 1);
      after = text.mid(close + 1);
    }
  }
  if (!before.isEmpty())
    message->Parts.push_back({mpText, before, {}});
  message->Parts.push_back({mpElement, inside, elementIdText});
  if (!after.isEmpty())
    message->Parts.push_back({mpText, after, {}});
  return Add(std::move(message));
}

void TElementMessages::Clear() {
  FItems.clear();
  if (OnClear)
    OnClear(*this);
}

void TElementMessages::BeginUpdate() {
  if (FUpdateCount == 0)
    Clear();
  ++FUpdateCount;
}

void TElementMessages::EndUpdate() {
  if (FUpdateCount > 0)
    --FUpdateCount;
}

bool TElementMessages::HasKind(std::uint8_t mask) const {
  for (const auto &m : FItems)
    if (m->Kind < 8 && (mask & (1u << m->Kind)))
      return true;
  return false;
}

int TElementMessages::Level() const {
  if (HasKind(1u << mkHighest))
    return 3;
  if (HasKind((1u << mkWarning) | (1u << mkRequired) | (1u << mkError)))
    return 2;
  if (HasKind(1u << mkHint))
    return 1;
  return 0;
}

void TElementMessages::ReplaceElementReference(const QString &oldIdText, const QString &newIdText) {
  for (const auto &m : FItems)
    for (TElementMessagePart &part : m->Parts)
      if (part.PartKind == mpElement && part.Data == oldIdText)
        part.Data = newIdText;
}

QString TElementMessages::MessageText(const TElementMessage &message) {
  QString text;
  for (const TElementMessagePart &part : message.Parts)
    text += part.Text;
  return text;
}

QString TElementMessages::CleanArgument(const QString &text) {
  QString result = text.size() > 200 ? text.left(197) + QStringLiteral("...") : text;
  for (QChar &c : result)
    if (c.unicode() < 32 || c == QLatin1Char('[') || c == QLatin1Char(']'))
      c = QChar(QChar::ReplacementCharacter);
  return result;
}
