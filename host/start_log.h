// What each handler's Start answered, in call order, with the sink urlmon
// gave it: a taken navigation is ended through that sink, since nothing else
// will ever end it.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/com_ref.h"

namespace browser_host {

using vrpph::platform::ComRef;

class StartLog {
 public:
  struct Answer {
    std::wstring url;
    HRESULT result = E_UNEXPECTED;
  };

  void Add(const wchar_t* url, HRESULT result, IInternetProtocolSink* sink);
  [[nodiscard]] std::size_t Count() const;
  // The answer at `index`, none while there is none.
  [[nodiscard]] std::optional<Answer> At(std::size_t index) const;
  // Hands over the sink of the answer at `index` (once).
  ComRef<IInternetProtocolSink> TakeSink(std::size_t index);

 private:
  struct Entry {
    Answer answer;
    ComRef<IInternetProtocolSink> sink;
  };
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace browser_host
