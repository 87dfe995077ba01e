#include "cuNotifier.h"

TNotifier::~TNotifier() {
  // A callback may unsubscribe while being told; walk on copies so nothing is read past the end.
  for (int i = int(FHandlers.size()) - 1; i >= 0 && !FHandlers.empty(); --i) {
    if (i >= int(FHandlers.size()))
      i = int(FHandlers.size()) - 1;
    Handler h = FHandlers[size_t(i)];
    h.Callback(h.Target, this, nullptr);
  }
}

void TNotifier::Subscribe(TNotifierCallback callback, void *target) { FHandlers.push_back({callback, target}); }

void TNotifier::Unsubscribe(TNotifierCallback callback, void *target) {
  for (int i = int(FHandlers.size()) - 1; i >= 0; --i)
    if (FHandlers[size_t(i)] == Handler{callback, target}) {
      FHandlers.erase(FHandlers.begin() + i);
      return;
    }
}

void TNotifier::PostFlags(std::uint32_t flags) {
  // The notification lives on the stack, so it goes also when a callback throws.
  TFlagsNotify notify(this, flags);
  std::vector<Handler> handlers = FHandlers;
  for (auto it = handlers.rbegin(); it != handlers.rend(); ++it)
    it->Callback(it->Target, this, &notify);
}
