// Installs the Qt implementations of every desktop interface of cuDesktop for the lifetime of the object.
// Create it after the QApplication and let it go before: the implementations use the event loop.
#pragma once

class TPlatformServices {
public:
  TPlatformServices();
  ~TPlatformServices();
  TPlatformServices(const TPlatformServices &) = delete;
  TPlatformServices &operator=(const TPlatformServices &) = delete;
};
