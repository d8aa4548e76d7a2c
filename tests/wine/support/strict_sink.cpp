#include "wine/support/strict_sink.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vrpph::wine_tests {
namespace {

std::string Narrow(LPCWSTR text) {
  std::string narrow;
  for (; text && *text; ++text) narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
  return text ? narrow : "(null)";
}

std::string Hex(HRESULT value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

}  // namespace

StrictSink::~StrictSink() {
  EXPECT_EQ(calls_, expected_) << "the calls the protocol sink received";
  EXPECT_EQ(references_, 0) << "references to the protocol sink still held";
}

HRESULT StrictSink::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IInternetProtocolSink)) {
    *out = static_cast<IInternetProtocolSink*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT StrictSink::Switch(PROTOCOLDATA*) {
  calls_.push_back("Switch");
  return S_OK;
}

HRESULT StrictSink::ReportProgress(ULONG status, LPCWSTR text) {
  calls_.push_back("ReportProgress " + std::to_string(status) + " " + Narrow(text));
  return S_OK;
}

HRESULT StrictSink::ReportData(DWORD flags, ULONG progress, ULONG progressMax) {
  calls_.push_back("ReportData " + std::to_string(flags) + " " + std::to_string(progress) + " " +
                   std::to_string(progressMax));
  return S_OK;
}

HRESULT StrictSink::ReportResult(HRESULT result, DWORD error, LPCWSTR text) {
  calls_.push_back("ReportResult " + Hex(result) + " " + std::to_string(error) + " " + Narrow(text));
  return S_OK;
}

}  // namespace vrpph::wine_tests
