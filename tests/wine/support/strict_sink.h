// A protocol sink that answers S_OK to everything and records every call
// but the reference counting. The test names the calls it expects when it
// makes the sink; when the sink goes away, any other call, a missing one or
// a reference still held fails the test.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <string>
#include <vector>

namespace vrpph::wine_tests {

class StrictSink final : public IInternetProtocolSink {
 public:
  // Start answers the browser by its result alone: it reports nothing.
  static std::vector<std::string> NoCalls() { return {}; }

  explicit StrictSink(std::vector<std::string> expected) : expected_(std::move(expected)) {}
  StrictSink(const StrictSink&) = delete;
  StrictSink& operator=(const StrictSink&) = delete;
  ~StrictSink();

  // Each call as "Switch", "ReportProgress <status> <text>",
  // "ReportData <flags> <progress> <max>" or "ReportResult <hex result> <error> <text>".
  [[nodiscard]] const std::vector<std::string>& calls() const { return calls_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references_ + 1); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references_ + 1); }
  STDMETHODIMP Switch(PROTOCOLDATA* data) override;
  STDMETHODIMP ReportProgress(ULONG status, LPCWSTR text) override;
  STDMETHODIMP ReportData(DWORD flags, ULONG progress, ULONG progressMax) override;
  STDMETHODIMP ReportResult(HRESULT result, DWORD error, LPCWSTR text) override;

 private:
  std::vector<std::string> expected_;
  std::vector<std::string> calls_;
  // References taken and not given back; the sink lives on its test's
  // stack, so the count is what it checks, not what keeps it alive.
  LONG references_ = 0;
};

}  // namespace vrpph::wine_tests
