// vrpph.dll beside this test program registered for the life of the object
// the way an installer registers it: regsvr32 runs its DllRegisterServer,
// which writes the class entries and the Name-Space Handler entries that
// the browser host reads; regsvr32 /u takes them away again.
#pragma once

#include <string>

namespace vrpph::wine_tests {

class HandlerRegistration {
 public:
  HandlerRegistration();
  HandlerRegistration(const HandlerRegistration&) = delete;
  HandlerRegistration& operator=(const HandlerRegistration&) = delete;
  ~HandlerRegistration();

  // regsvr32's exit code for the registration (0: registered; -1: it did
  // not run to its end).
  [[nodiscard]] long RegisterResult() const { return registerResult_; }
  // The module path the class was registered with: InprocServer32's
  // default value, "" when there is none.
  [[nodiscard]] static std::string RegisteredModule();
  // Unregisters before the object goes; regsvr32 /u's exit code.
  long Remove();

 private:
  long registerResult_;
  bool registered_ = false;
};

}  // namespace vrpph::wine_tests
