// A small queued notifier: painters and stylers tell their clients that their appearance changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TNotifier;

// One notification; it refers to the notifier that sent it.
class TNotify {
public:
  explicit TNotify(TNotifier *notifier) : FNotifier(notifier) {}
  virtual ~TNotify() = default;
  TNotifier *Notifier() const { return FNotifier; }

private:
  TNotifier *FNotifier;
};

class TFlagsNotify : public TNotify {
public:
  TFlagsNotify(TNotifier *notifier, std::uint32_t flags) : TNotify(notifier), FFlags(flags) {}
  std::uint32_t Flags() const { return FFlags; }

private:
  std::uint32_t FFlags;
};

// The callback gets (target, sender, notification); a null notification means the notifier is going away.
using TNotifierCallback = void (*)(void *target, TNotifier *sender, const TNotify *notification);

class TNotifier {
public:
  TNotifier() = default;
  TNotifier(const TNotifier &) = delete;
  TNotifier &operator=(const TNotifier &) = delete;
  // Calls every subscription once with no notification, newest first, stopping early when the
  // subscriptions are all gone.
  ~TNotifier();

  void Subscribe(TNotifierCallback callback, void *target);
  // Removes the last occurrence of the pair.
  void Unsubscribe(TNotifierCallback callback, void *target);
  int Count() const { return int(FHandlers.size()); }

  // Sends one TFlagsNotify to every subscription, newest first.
  void PostFlags(std::uint32_t flags);

private:
  struct Handler {
    TNotifierCallback Callback;
    void *Target;
    bool operator==(const Handler &) const = default;
  };
  std::vector<Handler> FHandlers;
};
