#include "navigator.h"

#include "bind_callback.h"
#include "message_pump.h"
#include "platform/win32/held_keys.h"

namespace browser_host {
namespace {

using vrpph::platform::HeldKeys;

// How long an ended bind may take to say so.
constexpr DWORD kStopTimeoutMs = 5000;

}  // namespace

NavigationReport Navigate(const Navigation& navigation, StartLog& log, DWORD startTimeoutMs) {
  NavigationReport report;
  ComRef<BindCallback> callback = BindCallback::Create(navigation.postBody);
  ComRef<IMoniker> moniker;
  ComRef<IBindCtx> bindContext;
  if (!callback) {
    report.bindResult = E_OUTOFMEMORY;
    return report;
  }
  report.bindResult = CreateURLMonikerEx(nullptr, navigation.url.c_str(), moniker.put(), URL_MK_UNIFORM);
  if (SUCCEEDED(report.bindResult)) {
    report.bindResult = CreateAsyncBindCtx(0, callback.get(), nullptr, bindContext.put());
  }
  if (FAILED(report.bindResult)) return report;

  const std::size_t answerIndex = log.Count();
  {
    HeldKeys keys(navigation.heldCodes);
    ComRef<IStream> stream;
    report.bindResult =
        moniker->BindToStorage(bindContext.get(), nullptr, IID_IStream, reinterpret_cast<void**>(stream.put()));
    PumpMessagesUntil([&] { return log.Count() > answerIndex || callback->Stopped(); }, startTimeoutMs);
  }
  if (auto answer = log.At(answerIndex)) report.startResult = answer->result;

  ComRef<IInternetProtocolSink> sink = log.TakeSink(answerIndex);
  if (report.startResult && !callback->Stopped() && sink) {
    sink->ReportResult(E_ABORT, ERROR_SUCCESS, nullptr);
    PumpMessagesUntil([&] { return callback->Stopped(); }, kStopTimeoutMs);
  }
  report.bindEnded = callback->Stopped();
  report.stopResult = callback->StopResult();
  RevokeBindStatusCallback(bindContext.get(), callback.get());
  return report;
}

}  // namespace browser_host
